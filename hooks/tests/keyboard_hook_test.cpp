// The five keyboard callbacks: filter hooking, single key, key combination and
// the two keyboard macro modes.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "fake_hook_platform.h"
#include "vn_hook.h"

namespace {

using quarn::KeyboardHookRecord;
using quarn::testing::FakeHookPlatform;
using quarn::testing::KeyDown;
using quarn::testing::KeyUp;

constexpr std::uint32_t VK_A = 'A', VK_B = 'B', VK_C = 'C';
constexpr std::uint32_t VK_INSERT_ = 0x2D, VK_HOME_ = 0x24;
constexpr std::uint8_t VK_LCONTROL_ = 0xA2, VK_RMENU_ = 0xA5, VK_LWIN_ = 0x5B, VK_RSHIFT_ = 0xA1;

class KeyboardHook : public ::testing::Test {
 protected:
  KeyboardHook() : hook(platform) {}
  FakeHookPlatform platform;
  TvnHook hook;
};

// --- filter hooking -----------------------------------------------------------

std::unique_ptr<TKeyBoardHookDetailObject> KeyFilter(std::int32_t vk, std::int32_t scan,
                                                     std::int32_t extended, std::int32_t block) {
  auto f = std::make_unique<TKeyBoardHookDetailObject>();
  f->FKeyBoardHookDetail = {vk, scan, extended, block};
  return f;
}

TEST_F(KeyboardHook, FiltersMatchByKeyOrScanCodeWithTheExtendedFlag) {
  hook.AddKeyboardHookObject(KeyFilter(VK_A, 0, 0, 1));
  hook.AddKeyboardHookObject(KeyFilter(0, 0x30, 0, 0));
  hook.AddKeyboardHookObject(KeyFilter(VK_INSERT_, 0, 1, 1));
  hook.AddKeyboardHookObject(KeyFilter(-1, 0, 0, 0));
  hook.AddKeyboardHookObject(KeyFilter(VK_C, 0, 0, 1));  // behind the end marker
  std::vector<std::int32_t> hooked;
  hook.OnHookKeyboardKey = [&](TvnHook&, std::int32_t key, std::int32_t, std::int32_t, bool&,
                               std::uint32_t) { hooked.push_back(key); };
  hook.StartHookKeyboard();

  struct Case {
    const char* why;
    KeyboardHookRecord event;
    bool reported, blocked;
  };
  const Case cases[] = {
      {"by virtual key, blocking filter", KeyDown(VK_A, 1), true, true},
      {"release of the same key", KeyUp(VK_A, 2), true, true},
      {"by scan code, passing filter", KeyDown(VK_B, 3, false, 0x30), true, false},
      {"extended flag must match", KeyDown(VK_A, 4, true), false, false},
      {"extended key with its flag", KeyDown(VK_INSERT_, 5, true), true, true},
      {"keypad insert has no flag", KeyDown(VK_INSERT_, 6, false), false, false},
      {"filters behind the end marker are not read", KeyDown(VK_C, 7), false, false},
      {"a zero key in a filter matches nothing", KeyDown(0, 8), false, false},
  };
  for (const Case& c : cases) {
    hooked.clear();
    EXPECT_EQ(platform.Key(c.event), c.blocked) << c.why;
    EXPECT_EQ(hooked.size(), c.reported ? 1u : 0u) << c.why;
  }
}

TEST_F(KeyboardHook, AllKeyHandlerSeesEveryEventButOnlyWithHookCode0) {
  struct Seen {
    std::int32_t key, state, extended;
    std::uint32_t scan;
    bool operator==(const Seen&) const = default;
  };
  std::vector<Seen> seen;
  hook.OnHookKeyboardAllKey = [&](TvnHook&, std::int32_t key, std::int32_t state,
                                  std::int32_t extended, bool& blocked, std::uint32_t scan) {
    seen.push_back({key, state, extended, scan});
    blocked = key == VK_B;
  };
  hook.StartHookKeyboard();
  EXPECT_FALSE(platform.Key(KeyDown(VK_A, 1, true, 0x1E)));
  EXPECT_TRUE(platform.Key(KeyUp(VK_B, 2, false, 0x30)));
  EXPECT_FALSE(platform.Key(KeyDown(VK_B, 3), /*nCode=*/3));
  EXPECT_EQ(seen, (std::vector<Seen>{{'A', 1, 1, 0x1E}, {'B', 0, 0, 0x30}}));
}

TEST_F(KeyboardHook, SingleKeyReportsEveryKeyWithItsTextAndTheHandlerDecides) {
  std::vector<std::u16string> texts;
  hook.OnRecordKeyboardSingleKey = [&](TvnHook&, std::int32_t key, std::uint32_t,
                                       std::int32_t state, std::int32_t extended,
                                       const std::u16string& text, bool& blocked) {
    texts.push_back(text + (state ? u" down" : u" up") + (extended ? u" ext" : u""));
    blocked = key == VK_INSERT_;
  };
  hook.RecordKeyboardSingleKey();
  EXPECT_TRUE(platform.Key(KeyDown(VK_INSERT_, 1, true)));
  EXPECT_TRUE(platform.Key(KeyUp(VK_INSERT_, 2, true)));
  EXPECT_FALSE(platform.Key(KeyDown(VK_A, 3)));
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"INS down ext", u"INS up ext", u"A down"}));
}

// --- key combination ----------------------------------------------------------

struct Combo {
  std::int32_t key1, ext1, key2, ext2, modifier;
  std::u16string text;
  bool operator==(const Combo&) const = default;
};

void PrintTo(const Combo& c, std::ostream* os) {
  *os << "{" << c.key1 << "/" << c.ext1 << " + " << c.key2 << "/" << c.ext2 << " mod " << c.modifier
      << " \"" << std::string(c.text.begin(), c.text.end()) << "\"}";
}

class ComboKey : public KeyboardHook {
 protected:
  ComboKey() {
    hook.OnRecordKeyboardComboKey = [this](TvnHook&, std::int32_t k1, std::int32_t e1,
                                           std::int32_t k2, std::int32_t e2, std::int32_t mod,
                                           const std::u16string& text) {
      combos.push_back({k1, e1, k2, e2, mod, text});
    };
    hook.RecordKeyboardComboKey();
  }
  Combo Last() const { return combos.empty() ? Combo{} : combos.back(); }
  std::vector<Combo> combos;
};

TEST_F(ComboKey, PressesWithin100msPairUp) {
  struct Press {
    std::uint32_t vk, time;
    bool extended;
  };
  struct Case {
    const char* why;
    std::vector<Press> presses;
    Combo last;
  };
  const Case cases[] = {
      {"two keys 50 ms apart",
       {{VK_A, 1000, false}, {VK_B, 1050, false}},
       {'A', 0, 'B', 0, 0, u"A+B"}},
      {"exactly 100 ms still pairs",
       {{VK_A, 1000, false}, {VK_B, 1100, false}},
       {'A', 0, 'B', 0, 0, u"A+B"}},
      {"150 ms apart: a one-key combination of the second",
       {{VK_A, 1000, false}, {VK_B, 1150, false}},
       {'B', 0, 0, 0, 0, u"B"}},
      {"the same key twice stays one key",
       {{VK_A, 1000, false}, {VK_A, 1050, false}},
       {'A', 0, 0, 0, 0, u"A"}},
      {"a third key after a pair starts anew",
       {{VK_A, 1000, false}, {VK_B, 1050, false}, {VK_C, 1100, false}},
       {'C', 0, 0, 0, 0, u"C"}},
      {"a third key after an extended pair has no stale flag",
       {{VK_INSERT_, 1000, true}, {VK_HOME_, 1050, true}, {VK_A, 1100, false}},
       {'A', 0, 0, 0, 0, u"A"}},
      {"an extended second key keeps its flag",
       {{VK_A, 1000, false}, {VK_INSERT_, 1040, true}},
       {'A', 0, VK_INSERT_, 1, 0, u"A+INS"}},
      {"the same key again clears the extended second key",
       {{VK_A, 1000, false}, {VK_INSERT_, 1040, true}, {VK_C, 1080, false}, {VK_C, 1120, false}},
       {'C', 0, 0, 0, 0, u"C"}},
      {"the counter wraps between the presses",
       {{VK_A, 0xFFFFFFD0u, false}, {VK_B, 0x10, false}},
       {'A', 0, 'B', 0, 0, u"A+B"}},
      {"a stamp slightly earlier still pairs",
       {{VK_A, 1000, false}, {VK_B, 950, false}},
       {'A', 0, 'B', 0, 0, u"A+B"}},
  };
  for (const Case& c : cases) {
    hook.RecordKeyboardComboKey();
    combos.clear();
    // Each case starts from a fresh pair, not from the previous case's keys.
    platform.Key(KeyDown(VK_C, 1));
    platform.Key(KeyDown(VK_C, 1000000));
    for (const Press& p : c.presses) platform.Key(KeyDown(p.vk, p.time, p.extended));
    EXPECT_EQ(Last(), c.last) << c.why;
  }
}

TEST_F(ComboKey, ModifiersHeldAreReadFromTheKeyStateInFixedOrder) {
  platform.keysDown = {VK_LCONTROL_};
  platform.Key(KeyDown(VK_A, 1000));
  platform.Key(KeyDown(VK_B, 1050));
  EXPECT_EQ(Last(), (Combo{'A', 0, 'B', 0, 2, u"Ctrl+A+B"}));

  platform.keysDown = {VK_RSHIFT_, VK_LWIN_, VK_RMENU_, VK_LCONTROL_};
  platform.Key(KeyDown(VK_C, 5000));
  EXPECT_EQ(Last(), (Combo{'C', 0, 0, 0, 15, u"Ctrl+Alt+Win+Shift+C"}));
}

TEST_F(ComboKey, ModifierPressesAndReleasesPassUntouched) {
  for (std::uint32_t vk : {0xA0u, 0xA1u, 0xA2u, 0xA3u, 0xA4u, 0xA5u, 0x5Bu, 0x5Cu}) {
    EXPECT_FALSE(platform.Key(KeyDown(vk, 1000))) << vk;
  }
  EXPECT_FALSE(platform.Key(KeyUp(VK_A, 1010)));
  EXPECT_TRUE(combos.empty());
  EXPECT_TRUE(platform.Key(KeyDown(VK_A, 1020))) << "other presses are swallowed";
  ASSERT_EQ(combos.size(), 1u);
}

TEST_F(ComboKey, RestartingTheRecordingForgetsThePreviousPressTime) {
  platform.Key(KeyDown(VK_A, 50));
  hook.StopRecordKeyboardComboKey();
  hook.RecordKeyboardComboKey();
  platform.Key(KeyDown(VK_B, 80));  // 30 ms later, but a new recording
  EXPECT_EQ(Last(), (Combo{'B', 0, 0, 0, 0, u"B"}));
}

TEST_F(ComboKey, WithoutAHandlerNothingIsSwallowed) {
  hook.OnRecordKeyboardComboKey = nullptr;
  EXPECT_FALSE(platform.Key(KeyDown(VK_A, 1000)));
}

TEST_F(ComboKey, AKeyCodeBeyondTheKeyRangeIsPassedOn) {
  EXPECT_FALSE(platform.Key(KeyDown(0x141, 1000)));
  EXPECT_TRUE(combos.empty());
}

TEST_F(ComboKey, KeyCodeZeroIsNoKeyAndLeavesTheCombinationAlone) {
  // Code 0 is an empty key field: taken as a key it left an extended flag without its key.
  EXPECT_TRUE(platform.Key(KeyDown(0x41, 1000)));
  EXPECT_FALSE(platform.Key(KeyDown(0, 1010, true)));
  EXPECT_FALSE(platform.Key(KeyDown(0, 1020)));
  ASSERT_EQ(combos.size(), 1u);
  EXPECT_TRUE(platform.Key(KeyDown(0x42, 1030)));
  EXPECT_EQ(Last().key1, 0x41);
  EXPECT_EQ(Last().key2, 0x42);
  EXPECT_EQ(Last().ext2, 0);
}

// --- keyboard macros --------------------------------------------------------

struct Entry {
  std::uint16_t type, state, value, extended;
  bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* os) {
  *os << (e.type ? "key " : "delay ") << e.value << (e.type ? (e.state ? " down" : " up") : "")
      << (e.extended ? " ext" : "");
}

std::vector<Entry> EntriesOf(const TvnHook& hook) {
  std::vector<Entry> out;
  for (const auto& item : hook.MacroKeys()) {
    const TMACROKEYHOOK& k = item.Object->FMacroKey;
    out.push_back({k.nKeyType, k.nKeyState, k.nKeyValue, k.nKeyValueExtended});
  }
  return out;
}

Entry Delay(std::uint16_t ms) {
  return {0, 0, ms, 0};
}
Entry Down(std::uint16_t vk, std::uint16_t ext = 0) {
  return {1, 1, vk, ext};
}
Entry Up(std::uint16_t vk, std::uint16_t ext = 0) {
  return {1, 0, vk, ext};
}

class MacroKey : public KeyboardHook {
 protected:
  MacroKey() {
    hook.OnRecordKeyboardMacroKey =
        [this](TvnHook&, std::int32_t type, std::int32_t key, std::int32_t state, std::int32_t,
               double, const std::u16string& text, const std::u16string& stateText,
               const TvnMacroKeyList&) {
          texts.push_back(text + u"|" + stateText);
          (void)type, (void)key, (void)state;
        };
    hook.RecordKeyboardMacroKey();
  }
  std::vector<std::u16string> texts;
};

TEST_F(MacroKey, OnlyPausesBetween10And2000msBecomeDelays) {
  struct Case {
    const char* why;
    std::uint32_t second;
    bool delay;
  };
  const Case cases[] = {
      {"5 ms", 1005, false},   {"10 ms", 1010, false},   {"11 ms", 1011, true},
      {"1999 ms", 2999, true}, {"2000 ms", 3000, false}, {"earlier stamp", 900, false},
  };
  for (const Case& c : cases) {
    hook.RecordKeyboardMacroKey();
    EXPECT_TRUE(platform.Key(KeyDown(VK_A, 1000)));
    EXPECT_TRUE(platform.Key(KeyUp(VK_A, c.second)));
    std::vector<Entry> expected = {Down('A')};
    if (c.delay) expected.push_back(Delay(static_cast<std::uint16_t>(c.second - 1000)));
    expected.push_back(Up('A'));
    EXPECT_EQ(EntriesOf(hook), expected) << c.why;
  }
}

TEST_F(MacroKey, AKeyWhoseCodeEqualsThePrecedingDelayIsStillRecorded) {
  platform.Key(KeyDown(VK_B, 1000));
  platform.Key(KeyDown(VK_A, 1065));  // delay 65, then the key with code 65
  EXPECT_EQ(EntriesOf(hook), (std::vector<Entry>{Down('B'), Delay(65), Down('A')}));
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"B|Down", u"65|ms", u"A|Down"}));
}

TEST_F(MacroKey, TheCounterWrapBetweenKeysGivesTheTrueDelay) {
  platform.Key(KeyDown(VK_A, 0xFFFFFF00u));
  platform.Key(KeyUp(VK_A, 0x40));
  EXPECT_EQ(EntriesOf(hook), (std::vector<Entry>{Down('A'), Delay(320), Up('A')}));
}

struct ExEvent {
  std::int32_t key, state, extended;
  std::uint32_t total;
  std::u16string text, stateText;
  bool operator==(const ExEvent&) const = default;
};

class MacroKeyEx : public KeyboardHook {
 protected:
  MacroKeyEx() {
    hook.OnRecordKeyboardMacroKeyEx =
        [this](TvnHook&, std::int32_t type, std::int32_t key, std::int32_t state,
               std::int32_t extended, double, std::uint32_t total, const std::u16string& text,
               const std::u16string& stateText, const TvnMacroKeyList&) {
          EXPECT_EQ(type, 1);
          events.push_back({key, state, extended, total, text, stateText});
        };
    hook.RecordKeyboardMacroKeyEx();
  }
  std::vector<ExEvent> events;
};

TEST_F(MacroKeyEx, AutoRepeatRecordsOnePressTheHoldTimeAndOneRelease) {
  EXPECT_TRUE(platform.Key(KeyDown(VK_A, 1000)));
  for (std::uint32_t t : {1500u, 1530u, 1560u}) EXPECT_TRUE(platform.Key(KeyDown(VK_A, t)));
  EXPECT_TRUE(platform.Key(KeyUp(VK_A, 2000)));
  EXPECT_EQ(EntriesOf(hook), (std::vector<Entry>{Down('A'), Delay(1000), Up('A')}));
  EXPECT_EQ(events,
            (std::vector<ExEvent>{{'A', 1, 0, 0, u"A", u"Down"}, {'A', 0, 0, 1000, u"A", u"Up"}}));
}

TEST_F(MacroKeyEx, DelaysBetweenKeys) {
  struct Case {
    const char* why;
    std::uint32_t first, second;
    std::vector<Entry> entries;
  };
  const Case cases[] = {
      {"a 70 s pause is kept as 65535", 1000, 71000, {Down('A'), Delay(65535), Down('B')}},
      {"no pause, no delay entry", 1000, 1000, {Down('A'), Down('B')}},
      {"the counter wraps", 0xFFFFFF00u, 0x100, {Down('A'), Delay(512), Down('B')}},
      {"an earlier stamp is no pause", 1000, 400, {Down('A'), Down('B')}},
  };
  for (const Case& c : cases) {
    hook.RecordKeyboardMacroKeyEx();
    events.clear();
    platform.Key(KeyDown(VK_A, c.first));
    platform.Key(KeyDown(VK_B, c.second));
    EXPECT_EQ(EntriesOf(hook), c.entries) << c.why;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].total, c.entries.size() == 3 ? c.entries[1].value : 0u) << c.why;
  }
}

TEST_F(MacroKeyEx, ExtendedKeysKeepTheirFlagAndAreTheirOwnRepeat) {
  platform.Key(KeyDown(VK_INSERT_, 1000, true));
  platform.Key(KeyDown(VK_INSERT_, 1010, false));  // the keypad key, not a repeat
  EXPECT_EQ(EntriesOf(hook), (std::vector<Entry>{Down(VK_INSERT_, 1), Delay(10)}))
      << "the key is already held, so only the delay is recorded";
  EXPECT_EQ(events[0].text, u"INS");
}

TEST_F(MacroKeyEx, StopsRecordingAndSwallowingOnceTheListIsFull) {
  std::uint32_t t = 1000;
  platform.Key(KeyDown(1, t));                   // 1 entry
  for (std::uint32_t i = 0; i < 249; ++i) {      // +2 each: 499 entries
    const std::uint32_t vk = 2 + (i / 2) % 120;  // each press followed by its release
    t += 10;
    platform.Key(i % 2 ? KeyUp(vk, t) : KeyDown(vk, t));
  }
  ASSERT_EQ(hook.MacroKeys().Count(), 499u);
  EXPECT_TRUE(platform.Key(KeyDown(250, t)));  // no pause: 500 entries
  ASSERT_EQ(hook.MacroKeys().Count(), 500u);
  EXPECT_TRUE(platform.Key(KeyDown(251, t + 10)));  // 500 still records
  EXPECT_EQ(hook.MacroKeys().Count(), 502u);
  const std::size_t raised = events.size();
  EXPECT_FALSE(platform.Key(KeyDown(252, t + 20))) << "a full list swallows nothing";
  EXPECT_EQ(hook.MacroKeys().Count(), 502u);
  EXPECT_EQ(events.size(), raised);
  EXPECT_EQ(hook.MacroKeys().Strings(501), u"501");
}

TEST_F(MacroKeyEx, OnlyTheReleaseOfASwallowedPressIsSwallowed) {
  constexpr std::uint8_t VK_LSHIFT_ = 0xA0;
  struct Event {
    KeyboardHookRecord key;
    bool swallowed;
  };
  struct Case {
    const char* why;
    std::set<std::uint8_t> heldAtStart;
    std::vector<Event> events;
    std::vector<Entry> entries;
  };
  const Case cases[] = {
      {"a key pressed while recording: press and release swallowed",
       {},
       {{KeyDown(VK_A, 100), true}, {KeyUp(VK_A, 150), true}},
       {Down('A'), Delay(50), Up('A')}},
      {"Shift held when recording starts: its release reaches the system",
       {VK_LSHIFT_},
       {{KeyDown(VK_A, 100), true}, {KeyUp(VK_A, 150), true}, {KeyUp(VK_LSHIFT_, 200), false}},
       {Down('A'), Delay(50), Up('A'), Delay(50), Up(VK_LSHIFT_)}},
      {"the repeats of a held key are swallowed, its release is not",
       {VK_LSHIFT_},
       {{KeyDown(VK_LSHIFT_, 100), true},
        {KeyDown(VK_LSHIFT_, 130), true},
        {KeyUp(VK_LSHIFT_, 300), false}},
       {Down(VK_LSHIFT_), Delay(200), Up(VK_LSHIFT_)}},
      {"once released, a new press of that key is the recording's own",
       {VK_LSHIFT_},
       {{KeyUp(VK_LSHIFT_, 100), false},
        {KeyDown(VK_LSHIFT_, 200), true},
        {KeyUp(VK_LSHIFT_, 300), true}},
       {Up(VK_LSHIFT_), Delay(100), Down(VK_LSHIFT_), Delay(100), Up(VK_LSHIFT_)}},
      {"a release whose press was never seen passes",
       {},
       {{KeyUp(VK_B, 100), false}, {KeyDown(VK_B, 120), true}, {KeyUp(VK_B, 140), true}},
       {Up('B'), Delay(20), Down('B'), Delay(20), Up('B')}},
  };
  for (const Case& c : cases) {
    platform.keysDown = c.heldAtStart;
    hook.RecordKeyboardMacroKeyEx();
    int n = 0;
    for (const Event& e : c.events)
      EXPECT_EQ(platform.Key(e.key), e.swallowed) << c.why << " #" << n++;
    EXPECT_EQ(EntriesOf(hook), c.entries) << c.why << ": still recorded";
    hook.StopRecordKeyboardMacroKeyEx();
  }
}

TEST_F(MacroKeyEx, AKeyCodeBeyondTheKeyTableIsNeitherRecordedNorSwallowed) {
  EXPECT_FALSE(platform.Key(KeyDown(0x1234, 1000)));
  EXPECT_FALSE(platform.Key(KeyUp(0xFFFFFFFFu, 1010)));
  EXPECT_TRUE(EntriesOf(hook).empty());
}

TEST_F(MacroKeyEx, StartingAgainForgetsTheHeldKeysAndThePreviousKey) {
  platform.Key(KeyDown(VK_A, 1000));
  hook.StopRecordKeyboardMacroKeyEx();
  hook.RecordKeyboardMacroKeyEx();
  events.clear();
  platform.Key(KeyDown(VK_A, 5000));
  EXPECT_EQ(EntriesOf(hook), (std::vector<Entry>{Down('A')}));
  EXPECT_EQ(events, (std::vector<ExEvent>{{'A', 1, 0, 0, u"A", u"Down"}}));
}

}  // namespace
