// The two mouse callbacks: filter hooking and mouse macro recording.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "fake_hook_platform.h"
#include "vn_hook.h"

namespace {

using quarn::MouseHookRecord;
using quarn::testing::FakeHookPlatform;
using quarn::testing::MouseAt;

constexpr std::uintptr_t WM_MOUSEMOVE_ = 0x200, WM_LBUTTONDOWN_ = 0x201, WM_LBUTTONUP_ = 0x202,
                         WM_LBUTTONDBLCLK_ = 0x203, WM_RBUTTONDOWN_ = 0x204, WM_RBUTTONUP_ = 0x205,
                         WM_MBUTTONDOWN_ = 0x207, WM_MBUTTONUP_ = 0x208, WM_MOUSEWHEEL_ = 0x20A,
                         WM_XBUTTONDOWN_ = 0x20B, WM_XBUTTONUP_ = 0x20C, WM_XBUTTONDBLCLK_ = 0x20D,
                         WM_MOUSEHWHEEL_ = 0x20E;

std::unique_ptr<TMouseHookDetailObject> Filter(TMouseButtons button, TMouseButtonStateSet states,
                                               TMouseButtons modified = BUTTON_NONE) {
  auto f = std::make_unique<TMouseHookDetailObject>();
  f->FMouseHookDetail.MouseButton = button;
  f->FMouseHookDetail.MouseStateSet = states;
  f->FMouseHookDetail.ModifiedFunction = modified;
  return f;
}

struct Reported {
  TMouseButtons button;
  std::int32_t state;
  std::int16_t ex;
  bool operator==(const Reported&) const = default;
};

class MouseHook : public ::testing::Test {
 protected:
  MouseHook() : hook(platform) {}

  // The monitor's filter list, every button given another function.
  void MonitorFilters() {
    hook.AddMouseHookObject(Filter(LCLICK, {LBUTTONDOWN, LBUTTONUP}));
    hook.AddMouseHookObject(Filter(RCLICK, {RBUTTONDOWN, RBUTTONUP}));
    hook.AddMouseHookObject(Filter(MCLICK, {MBUTTONDOWN, MBUTTONUP}));
    hook.AddMouseHookObject(Filter(XCLICK5, {XBUTTONDOWN, XBUTTONUP}));
    hook.AddMouseHookObject(Filter(XCLICK4, {XBUTTONDOWN, XBUTTONUP}));
  }
  void ReportAndBlock() {
    hook.OnHookMouseButton = [this](TvnHook& sender, TMouseButtons b, std::int32_t state,
                                    bool& blocked) {
      EXPECT_EQ(&sender, &hook);
      reported.push_back({b, state, 0});
      blocked = true;
    };
  }

  FakeHookPlatform platform;
  TvnHook hook;
  std::vector<Reported> reported;
};

TEST_F(MouseHook, MessagesMapToButtonsStatesAndExtraValues) {
  struct Case {
    const char* why;
    std::uintptr_t message;
    std::int16_t high;
    Reported expected;
  };
  const Case cases[] = {
      {"left press", WM_LBUTTONDOWN_, 0, {LCLICK, 1, 0}},
      {"left release", WM_LBUTTONUP_, 0, {LCLICK, 0, 0}},
      {"right press", WM_RBUTTONDOWN_, 0, {RCLICK, 1, 0}},
      {"right release", WM_RBUTTONUP_, 0, {RCLICK, 0, 0}},
      {"middle press", WM_MBUTTONDOWN_, 0, {MCLICK, 1, 0}},
      {"middle release", WM_MBUTTONUP_, 0, {MCLICK, 0, 0}},
      {"XBUTTON1 press", WM_XBUTTONDOWN_, 1, {XCLICK4, 1, 1}},
      {"XBUTTON1 release", WM_XBUTTONUP_, 1, {XCLICK4, 0, 1}},
      {"XBUTTON2 press", WM_XBUTTONDOWN_, 2, {XCLICK5, 1, 2}},
      {"unknown X button", WM_XBUTTONDOWN_, 3, {BUTTON_NONE, 1, 3}},
      {"wheel step up", WM_MOUSEWHEEL_, 120, {WHEELUP, 1, 120}},
      {"wheel step down", WM_MOUSEWHEEL_, -120, {WHEELDOWN, 1, -120}},
      {"two steps up at once", WM_MOUSEWHEEL_, 240, {WHEELUP, 1, 240}},
      {"a fine wheel step", WM_MOUSEWHEEL_, 8, {WHEELUP, 1, 8}},
      {"a zero wheel delta", WM_MOUSEWHEEL_, 0, {BUTTON_NONE, 1, 0}},
      {"double click", WM_LBUTTONDBLCLK_, 0, {BUTTON_NONE, 1, 0}},
      {"X double click", WM_XBUTTONDBLCLK_, 1, {BUTTON_NONE, 1, 0}},
      {"horizontal wheel", WM_MOUSEHWHEEL_, 120, {BUTTON_NONE, 1, 0}},
  };
  std::vector<Reported> all;
  hook.OnHookMouseAllButton = [&](TvnHook&, TMouseButtons b, std::int32_t state, std::int16_t ex,
                                  bool&) {
    all.push_back({b, state, ex});
  };
  hook.StartHookMouse();
  for (const Case& c : cases) {
    all.clear();
    platform.Mouse(c.message, MouseAt(1000, c.high));
    ASSERT_EQ(all.size(), 1u) << c.why;
    EXPECT_EQ(all[0], c.expected) << c.why;
  }
}

TEST_F(MouseHook, FirstApplicableFilterDecides) {
  struct Case {
    const char* why;
    std::vector<std::pair<TMouseButtons, TMouseButtons>> filters;  // button, modified
    std::uintptr_t message;
    std::int16_t high;
    bool reported;
  };
  const Case cases[] = {
      {"XBUTTON1 is decided by the XCLICK4 filter behind XCLICK5",
       {{LCLICK, BUTTON_NONE},
        {RCLICK, BUTTON_NONE},
        {MCLICK, BUTTON_NONE},
        {XCLICK5, XCLICK5},
        {XCLICK4, BUTTON_NONE}},
       WM_XBUTTONDOWN_,
       1,
       true},
      {"XBUTTON2 keeps its own function",
       {{XCLICK4, BUTTON_NONE}, {XCLICK5, XCLICK5}},
       WM_XBUTTONDOWN_,
       2,
       false},
      {"wheel up passes with only a wheel-down filter",
       {{WHEELDOWN, BUTTON_NONE}},
       WM_MOUSEWHEEL_,
       120,
       false},
      {"wheel down meets its filter", {{WHEELDOWN, BUTTON_NONE}}, WM_MOUSEWHEEL_, -120, true},
      {"a button that keeps its own function passes",
       {{LCLICK, LCLICK}},
       WM_LBUTTONDOWN_,
       0,
       false},
      {"the same button twice: the first claims",
       {{XCLICK4, BUTTON_NONE}, {XCLICK4, XCLICK4}},
       WM_XBUTTONUP_,
       1,
       true},
      {"the same button twice: the first passes",
       {{XCLICK4, XCLICK4}, {XCLICK4, BUTTON_NONE}},
       WM_XBUTTONUP_,
       1,
       false},
      {"a filter for another button does not apply",
       {{RCLICK, BUTTON_NONE}},
       WM_LBUTTONDOWN_,
       0,
       false},
      {"no filters", {}, WM_LBUTTONDOWN_, 0, false},
  };
  ReportAndBlock();
  hook.StartHookMouse();
  for (const Case& c : cases) {
    hook.RemoveAllMouseHookObject();
    for (auto [button, modified] : c.filters) {
      const TMouseButtonStateSet states =
          button == WHEELUP || button == WHEELDOWN ? TMouseButtonStateSet{MOUSEWHEEL}
          : button == LCLICK                       ? TMouseButtonStateSet{LBUTTONDOWN, LBUTTONUP}
          : button == RCLICK                       ? TMouseButtonStateSet{RBUTTONDOWN, RBUTTONUP}
          : button == MCLICK                       ? TMouseButtonStateSet{MBUTTONDOWN, MBUTTONUP}
                                                   : TMouseButtonStateSet{XBUTTONDOWN, XBUTTONUP};
      hook.AddMouseHookObject(Filter(button, states, modified));
    }
    reported.clear();
    const bool blocked = platform.Mouse(c.message, MouseAt(1000, c.high));
    EXPECT_EQ(!reported.empty(), c.reported) << c.why;
    EXPECT_EQ(blocked, c.reported) << c.why;
  }
}

TEST_F(MouseHook, FilterClaimsOnlyTheMessagesInItsStateSet) {
  hook.AddMouseHookObject(Filter(XCLICK4, {XBUTTONDOWN}));
  ReportAndBlock();
  hook.StartHookMouse();
  EXPECT_TRUE(platform.Mouse(WM_XBUTTONDOWN_, MouseAt(1, 1)));
  EXPECT_FALSE(platform.Mouse(WM_XBUTTONUP_, MouseAt(2, 1)));
  EXPECT_EQ(reported, (std::vector<Reported>{{XCLICK4, 1, 0}}));
}

TEST_F(MouseHook, MessagesOutsideTheMouseRangeNeverMatch) {
  // A catch-all filter for events without a button: only real mouse
  // messages may reach it; a message number beyond the set is no member.
  TMouseButtonStateSet all;
  all.Bits = 0xFFFF;
  hook.AddMouseHookObject(Filter(BUTTON_NONE, all, /*modified=*/LCLICK));
  ReportAndBlock();
  hook.StartHookMouse();
  EXPECT_TRUE(platform.Mouse(WM_LBUTTONDBLCLK_, MouseAt(1)));
  for (std::uintptr_t message : {std::uintptr_t{0x210}, std::uintptr_t{0x1FF},
                                 std::uintptr_t{0x10210}, ~std::uintptr_t{0}}) {
    EXPECT_FALSE(platform.Mouse(message, MouseAt(2))) << message;
  }
  EXPECT_EQ(reported.size(), 1u);
}

TEST_F(MouseHook, ReleasesOfAClaimedButtonAreReportedWithState0) {
  MonitorFilters();
  ReportAndBlock();
  hook.StartHookMouse();
  EXPECT_TRUE(platform.Mouse(WM_RBUTTONDOWN_, MouseAt(1)));
  EXPECT_TRUE(platform.Mouse(WM_RBUTTONUP_, MouseAt(2)));
  EXPECT_TRUE(platform.Mouse(WM_XBUTTONDOWN_, MouseAt(3, 2)));
  EXPECT_TRUE(platform.Mouse(WM_XBUTTONUP_, MouseAt(4, 2)));
  EXPECT_EQ(reported, (std::vector<Reported>{
                          {RCLICK, 1, 0}, {RCLICK, 0, 0}, {XCLICK5, 1, 0}, {XCLICK5, 0, 0}}));
}

TEST_F(MouseHook, InjectedEventsPassUntouched) {
  MonitorFilters();
  ReportAndBlock();
  int all = 0, moves = 0;
  hook.OnHookMouseAllButton = [&](TvnHook&, TMouseButtons, std::int32_t, std::int16_t, bool&) {
    ++all;
  };
  hook.OnHookMouseMove = [&](TvnHook&, std::int32_t, std::int32_t, double) { ++moves; };
  hook.StartHookMouse();
  for (std::uintptr_t m : {WM_MOUSEMOVE_, WM_LBUTTONDOWN_, WM_LBUTTONUP_, WM_XBUTTONDOWN_}) {
    EXPECT_FALSE(platform.Mouse(m, MouseAt(10, 1, 5, 5, /*injected=*/true)));
  }
  EXPECT_TRUE(reported.empty());
  EXPECT_EQ(all, 0);
  EXPECT_EQ(moves, 0);
}

TEST_F(MouseHook, MovesRaiseOnlyTheMoveEvent) {
  MonitorFilters();
  ReportAndBlock();
  int all = 0;
  hook.OnHookMouseAllButton = [&](TvnHook&, TMouseButtons, std::int32_t, std::int16_t, bool&) {
    ++all;
  };
  hook.StartHookMouse();

  // Without a move handler the Blocked byte stays as the library passed it.
  const MouseHookRecord move = MouseAt(77, 0, -3, 1500);
  for (std::uint8_t passed : {0, 1}) {
    std::uint8_t blocked = passed;
    TvnHook::MouseHookProc(&hook, 0, WM_MOUSEMOVE_, reinterpret_cast<std::intptr_t>(&move),
                           &blocked);
    EXPECT_EQ(blocked, passed);
  }

  std::vector<std::tuple<int, int, double>> moves;
  hook.OnHookMouseMove = [&](TvnHook&, std::int32_t x, std::int32_t y, double time) {
    moves.emplace_back(x, y, time);
  };
  std::uint8_t blocked = 1;
  TvnHook::MouseHookProc(&hook, 0, WM_MOUSEMOVE_, reinterpret_cast<std::intptr_t>(&move), &blocked);
  EXPECT_EQ(blocked, 0) << "a reported move is passed on";
  EXPECT_EQ(moves, (std::vector<std::tuple<int, int, double>>{{-3, 1500, 77.0}}));
  EXPECT_EQ(all, 0);
  EXPECT_TRUE(reported.empty());
}

TEST_F(MouseHook, AllButtonHandlerMayBlockEventsNoFilterClaims) {
  hook.OnHookMouseAllButton = [](TvnHook&, TMouseButtons b, std::int32_t, std::int16_t,
                                 bool& blocked) { blocked = b == WHEELDOWN; };
  hook.StartHookMouse();
  EXPECT_TRUE(platform.Mouse(WM_MOUSEWHEEL_, MouseAt(1, -120)));
  EXPECT_FALSE(platform.Mouse(WM_MOUSEWHEEL_, MouseAt(2, 120)));
}

TEST_F(MouseHook, AThrowingHandlerDoesNotCrossTheHookAndItsDecisionStands) {
  MonitorFilters();
  hook.OnHookMouseButton = [](TvnHook&, TMouseButtons, std::int32_t, bool& blocked) {
    blocked = true;
    throw std::runtime_error("handler failed");
  };
  hook.StartHookMouse();
  EXPECT_TRUE(platform.Mouse(WM_LBUTTONDOWN_, MouseAt(1)));
}

// --- mouse macro recording ---------------------------------------------------

struct MacroEvent {
  std::int32_t type;
  TMouseButtons button;
  std::int32_t state;
  std::uint16_t x, y;
  double time;
  std::u16string text, stateText;
  std::size_t listCount;
  bool operator==(const MacroEvent&) const = default;
};

class MouseMacro : public MouseHook {
 protected:
  MouseMacro() {
    hook.OnRecordMouseMacroKey =
        [this](TvnHook&, std::int32_t type, TMouseButtons b, std::int32_t state, std::uint16_t x,
               std::uint16_t y, double time, const std::u16string& text,
               const std::u16string& stateText, const TvnMouseMacroKeyList& list) {
          events.push_back({type, b, state, x, y, time, text, stateText, list.Count()});
        };
    hook.RecordMouseMacro();
  }
  std::vector<TMOUSEMACROKEY> Entries() const {
    std::vector<TMOUSEMACROKEY> out;
    for (const auto& item : hook.MouseMacroKeys()) out.push_back(item.Object->FMOUSEMacroKey);
    return out;
  }
  std::vector<MacroEvent> events;
};

TEST_F(MouseMacro, RecordsButtonsWithTheDelaysAndPositionsBetweenThem) {
  platform.Mouse(WM_XBUTTONDOWN_, MouseAt(1000, 1, 10, 20));    // first: no delay
  platform.Mouse(WM_MOUSEMOVE_, MouseAt(1010, 0, 70000, -1));   // delay 10, low 16 bits
  platform.Mouse(WM_XBUTTONUP_, MouseAt(1010, 1, 11, 21));      // delay 0 is recorded too
  platform.Mouse(WM_MOUSEWHEEL_, MouseAt(1500, 240, 12, 22));   // delay 490, wheel up
  platform.Mouse(WM_LBUTTONDBLCLK_, MouseAt(1600, 0, 13, 23));  // delay only

  const std::vector<MacroEvent> expected = {
      {1, XCLICK4, 1, 10, 20, 1000, u"Backward(Mouse) ", u"Down", 1},
      {0, BUTTON_NONE, 0, 4464, 65535, 1010, u"10", u"ms", 2},
      {0, BUTTON_NONE, 0, 11, 21, 1010, u"0", u"ms", 3},
      {1, XCLICK4, 0, 11, 21, 1010, u"Backward(Mouse) ", u"Up", 4},
      {0, BUTTON_NONE, 0, 12, 22, 1500, u"490", u"ms", 5},
      {1, WHEELUP, 1, 12, 22, 1500, u"Wheel up(Mouse)", u"Down", 6},
      {0, BUTTON_NONE, 0, 13, 23, 1600, u"100", u"ms", 7},
  };
  EXPECT_EQ(events, expected);

  const auto entries = Entries();
  ASSERT_EQ(entries.size(), 7u);
  EXPECT_EQ(hook.MouseMacroKeys().Strings(6), u"6");
  struct Expect {
    std::uint16_t type, state;
    TMouseButtons button;
    std::uint16_t x, y, timeValue;
  };
  const Expect rows[] = {{1, 1, XCLICK4, 10, 20, 0},       {0, 0, BUTTON_NONE, 4464, 65535, 10},
                         {0, 0, BUTTON_NONE, 11, 21, 0},   {1, 0, XCLICK4, 11, 21, 0},
                         {0, 0, BUTTON_NONE, 12, 22, 490}, {1, 1, WHEELUP, 12, 22, 0},
                         {0, 0, BUTTON_NONE, 13, 23, 100}};
  for (std::size_t i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(entries[i].nKeyType, rows[i].type);
    EXPECT_EQ(entries[i].nKeyState, rows[i].state);
    EXPECT_EQ(entries[i].MouseButton, rows[i].button);
    EXPECT_EQ(entries[i].X, rows[i].x);
    EXPECT_EQ(entries[i].Y, rows[i].y);
    EXPECT_EQ(entries[i].TimeValue, rows[i].timeValue);
    EXPECT_EQ(entries[i].Time, 0);
    EXPECT_TRUE(entries[i].MacroKeyString.empty());
  }
}

TEST_F(MouseMacro, DelaysSaturateAndStampsAreComparedAcrossTheWrap) {
  struct Case {
    const char* why;
    std::uint32_t first, second;
    std::uint16_t delay;
    const char16_t* text;
  };
  const Case cases[] = {
      {"70 s is kept as the longest delay, not wrapped", 1000, 71000, 65535, u"70000"},
      {"exactly 65535", 1000, 66535, 65535, u"65535"},
      {"the counter wraps between the events", 0xFFFFFFF0u, 0x10, 32, u"32"},
  };
  for (const Case& c : cases) {
    hook.RecordMouseMacro();
    events.clear();
    platform.Mouse(WM_LBUTTONDOWN_, MouseAt(c.first));
    platform.Mouse(WM_LBUTTONUP_, MouseAt(c.second));
    const auto entries = Entries();
    ASSERT_EQ(entries.size(), 3u) << c.why;
    EXPECT_EQ(entries[1].nKeyType, 0) << c.why;
    EXPECT_EQ(entries[1].TimeValue, c.delay) << c.why;
    EXPECT_EQ(events[1].text, c.text) << c.why;
  }
}

TEST_F(MouseMacro, AnEarlierStampIsDroppedAndResynchronises) {
  platform.Mouse(WM_LBUTTONDOWN_, MouseAt(5000));
  platform.Mouse(WM_LBUTTONUP_, MouseAt(4000));    // dropped
  platform.Mouse(WM_RBUTTONDOWN_, MouseAt(4025));  // 25 after the dropped one
  const auto entries = Entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].MouseButton, LCLICK);
  EXPECT_EQ(entries[1].TimeValue, 25);
  EXPECT_EQ(entries[2].MouseButton, RCLICK);
}

TEST_F(MouseMacro, InjectedEventsAreNotRecordedAndNothingIsSwallowed) {
  platform.Mouse(WM_LBUTTONDOWN_, MouseAt(100, 0, 0, 0, /*injected=*/true));
  EXPECT_TRUE(events.empty());
  // The recorder never writes Blocked, whatever the library passed.
  const MouseHookRecord press = MouseAt(200);
  for (std::uint8_t passed : {0, 1}) {
    std::uint8_t blocked = passed;
    TvnHook::MouseMacroRecordProc(&hook, 0, WM_LBUTTONDOWN_,
                                  reinterpret_cast<std::intptr_t>(&press), &blocked);
    EXPECT_EQ(blocked, passed);
  }
  EXPECT_EQ(Entries().size(), 3u);  // press, delay 0, press
}

TEST_F(MouseMacro, NothingIsRecordedWithoutAHandler) {
  hook.OnRecordMouseMacroKey = nullptr;
  platform.Mouse(WM_LBUTTONDOWN_, MouseAt(100));
  EXPECT_TRUE(Entries().empty());
}

}  // namespace
