// The button-action dispatcher over a recording sink, a virtual clock and a
// fake monitor window: what each function does at press and release, the
// external commands, nesting, aborts and what stays held.
#include "button_action_dispatcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "action_fakes.h"
#include "function_ids.h"
#include "text_field.h"

namespace {

using quarn::testing::ActionLog;
using quarn::testing::DelayStep;
using quarn::testing::FakeHost;
using quarn::testing::KeyStep;
using quarn::testing::MouseStep;
using quarn::testing::RecordingSink;
using quarn::testing::SetMacro;
using quarn::testing::VirtualWaiter;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

using Events = std::vector<std::string>;

struct Rig {
  ActionLog log;
  VirtualWaiter waiter;
  RecordingSink sink{log, waiter};
  FakeHost host{log, waiter};
  ButtonActionDispatcher dispatcher{host, sink, waiter};

  TBUTTONFUNCINFO& Basic(int button, std::int32_t menuId) {
    auto& e = host.Button(button);
    e.FunctionKind = FUNCKIND_BASIC;
    e.MenuID = menuId;
    return e;
  }
  TBUTTONFUNCINFO& Kind(int button, std::uint8_t kind) {
    auto& e = host.Button(button);
    e.FunctionKind = kind;
    return e;
  }
  Events Act(int button, std::intptr_t state) {
    const std::size_t before = log.entries.size();
    dispatcher.WMButtonAction(static_cast<std::uintptr_t>(button), state);
    Events out = log.Texts();
    out.erase(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(before));
    return out;
  }
  double NowMs() { return static_cast<double>(waiter.NowMicros()) / 1000.0; }
};

Events Tap(const char* key) {
  return {std::string("key ") + key + " down", std::string("key ") + key + " up"};
}
Events WithModifier(const char* mod, const char* key) {
  return {std::string("key ") + mod + " down", std::string("key ") + key + " down",
          std::string("key ") + key + " up", std::string("key ") + mod + " up"};
}

TEST(ButtonAction, BasicFunctionsByMenuIdAtPressAndRelease) {
  struct Case {
    std::int32_t menuId;
    Events press;
    Events release;
    bool win8 = false;
  };
  const Case cases[] = {
      {MENUID_CLICK, {"left down"}, {"left up"}},
      {MENUID_RIGHT_CLICK, {"right down"}, {"right up"}},
      {MENUID_MIDDLE_CLICK, {"middle down"}, {"middle up"}},
      {MENUID_FORWARD, {"x2 down"}, {"x2 up"}},
      {MENUID_BACKWARD, {"x1 down"}, {"x1 up"}},
      {MENUID_SCROLL_UP, {"wheel +120"}, {}},
      {MENUID_SCROLL_DOWN, {"wheel -120"}, {}},
      {MENUID_SCROLL_LEFT, {"scroll left"}, {}},
      {MENUID_SCROLL_RIGHT, {"scroll right"}, {}},
      {MENUID_PROFILE_CYCLE, {}, {"next profile 1"}},
      {MENUID_OPEN_DRIVER, {"config"}, {}},
      {MENUID_DOUBLE_CLICK, {"left down", "left up", "left down", "left up"}, {}},
      {MENUID_SHUT_DOWN, {"shut down"}, {}},
      {MENUID_HIBERNATE, {"suspend"}, {}},
      {MENUID_BROWSER_SEARCH, Tap("AA ext"), {}},
      {MENUID_HOMEPAGE, Tap("AC ext"), {}},
      {MENUID_REFRESH, Tap("A8 ext"), {}},
      {MENUID_MY_COMPUTER, {"my computer"}, {}},
      {MENUID_BROWSER_STOP, Tap("A9 ext"), {}},
      {MENUID_BROWSER_BACKWARD, Tap("A6 ext"), {}},
      {MENUID_BROWSER_FORWARD, Tap("A7 ext"), {}},
      {MENUID_MY_FAVORITE, Tap("AB ext"), {}},
      {MENUID_EMAIL, Tap("B4 ext"), {}},
      {MENUID_EMAIL, {"mail"}, {}, true},
      {MENUID_CALCULATOR, Tap("B7 ext"), {}},
      {MENUID_CALCULATOR, {"calculator"}, {}, true},
      {MENUID_WIN_Q, WithModifier("5B", "51"), {}},
      {MENUID_WIN_U, WithModifier("5B", "55"), {}},
      {MENUID_WIN_I, WithModifier("5B", "49"), {}},
      {MENUID_WIN_R, WithModifier("5B", "52"), {}},
      {MENUID_WIN_X, WithModifier("5B", "58"), {}},
      {MENUID_WIN_F, WithModifier("5B", "46"), {}},
      {MENUID_WIN_D, WithModifier("5B", "44"), {}},
      {MENUID_WIN_E, WithModifier("5B", "45"), {}},
      {MENUID_WIN_C, WithModifier("5B", "43"), {}},
      {MENUID_MUTE, Tap("AD ext"), {}},
      {MENUID_VOLUME_UP, Tap("AF ext"), {}},
      {MENUID_VOLUME_DOWN, Tap("AE ext"), {}},
      {MENUID_NEXT_TRACK, Tap("B0 ext"), {}},
      {MENUID_PREVIOUS_TRACK, Tap("B1 ext"), {}},
      {MENUID_MEDIA_STOP, Tap("B2 ext"), {}},
      {MENUID_PLAY_PAUSE, Tap("B3 ext"), {}},
      {MENUID_MEDIA_PLAYER, Tap("B5 ext"), {}},
      {MENUID_OPEN_WORD, {"word"}, {}},
      {MENUID_OPEN_EXCEL, {"excel"}, {}},
      {MENUID_CUT, WithModifier("A2", "58"), {}},
      {MENUID_PASTE, WithModifier("A2", "56"), {}},
      {MENUID_COPY, WithModifier("A2", "43"), {}},
      {MENUID_SELECT_ALL, WithModifier("A2", "41"), {}},
      {MENUID_PRINT, WithModifier("A2", "50"), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "MenuID " << c.menuId << (c.win8 ? " on Windows 8" : ""));
    for (int state : {1, 0}) {
      Rig rig;  // each state on its own: a release without its press
      rig.host.win8 = c.win8;
      rig.Basic(3, c.menuId);
      EXPECT_THAT(rig.Act(3, state), ElementsAreArray(state == 1 ? c.press : c.release))
          << "state " << state;
    }
  }
}

TEST(ButtonAction, MenuIdsWithoutAFunctionDoNothing) {
  for (std::int32_t id : std::initializer_list<std::int32_t>{0,
                                                             10,
                                                             11,
                                                             12,
                                                             13,
                                                             MENUID_VIRTUAL_KEYBOARD,
                                                             MENUID_QUICK_LAUNCH,
                                                             MENUID_FIRE_KEY,
                                                             MENUID_MACRO_KEY,
                                                             MENUID_DISABLED,
                                                             22,
                                                             1000,
                                                             1013,
                                                             1100,
                                                             1110,
                                                             1200,
                                                             1209,
                                                             1300,
                                                             1308,
                                                             110101,
                                                             -1,
                                                             INT32_MAX,
                                                             INT32_MIN}) {
    for (int state : {1, 0, 2}) {
      Rig rig;
      rig.Basic(0, id);
      EXPECT_THAT(rig.Act(0, state), IsEmpty()) << "MenuID " << id << " state " << state;
    }
  }
}

TEST(ButtonAction, FunctionKindsAtPressAndRelease) {
  struct Case {
    const char* why;
    std::function<void(TBUTTONFUNCINFO&)> set;
    Events press;
    Events release;
  };
  const Case cases[] = {
      {"program start on the press",
       [](TBUTTONFUNCINFO& e) {
         e.FunctionKind = FUNCKIND_QUICKLAUNCH;
         quarn::WriteText(e.ProgramPath, u"C:\\Tools\\app.exe");
       },
       {"open C:\\Tools\\app.exe"},
       {}},
      {"program start with an empty path does nothing",
       [](TBUTTONFUNCINFO& e) { e.FunctionKind = FUNCKIND_QUICKLAUNCH; },
       {},
       {}},
      {"key combination on the release",
       [](TBUTTONFUNCINFO& e) {
         e.FunctionKind = FUNCKIND_COMBOKEY;
         e.ComboKey = {'C', 0, 0, 0, MODIFIER_CTRL};
       },
       {},
       WithModifier("A2", "43")},
      {"macro on the release",
       [](TBUTTONFUNCINFO& e) {
         e.FunctionKind = FUNCKIND_MACRO;
         SetMacro(e.MacroKeyInfo, {KeyStep('M', true), KeyStep('M', false)});
       },
       {},
       Tap("4D")},
      {"fire key on the release",
       [](TBUTTONFUNCINFO& e) {
         e.FunctionKind = FUNCKIND_FIREKEY;
         e.FireKeyInfo = {2, 30};
       },
       {},
       {"left down", "left up", "left down", "left up"}},
      {"single key: down on the press, up on the release",
       [](TBUTTONFUNCINFO& e) {
         e.FunctionKind = FUNCKIND_SINGLEKEY;
         e.SingleKey = 'A';
       },
       {"key 41 down"},
       {"key 41 up"}},
      {"single key with the marker 225 is extended",
       [](TBUTTONFUNCINFO& e) {
         e.FunctionKind = FUNCKIND_SINGLEKEY;
         e.SingleKey = 0x2E;
         e.SingleKeyExtended = 225;
       },
       {"key 2E ext down"},
       {"key 2E ext up"}},
      {"single key with the marker 224 is not extended",
       [](TBUTTONFUNCINFO& e) {
         e.FunctionKind = FUNCKIND_SINGLEKEY;
         e.SingleKey = 0x2E;
         e.SingleKeyExtended = 224;
       },
       {"key 2E down"},
       {"key 2E up"}},
      {"single key 0 sends nothing",
       [](TBUTTONFUNCINFO& e) { e.FunctionKind = FUNCKIND_SINGLEKEY; },
       {},
       {}},
      {"single key above 254 sends nothing",
       [](TBUTTONFUNCINFO& e) {
         e.FunctionKind = FUNCKIND_SINGLEKEY;
         e.SingleKey = 0x1041;
       },
       {},
       {}},
      {"HID key tapped on the release",
       [](TBUTTONFUNCINFO& e) {
         e.FunctionKind = FUNCKIND_HIDKEY;
         e.HidKey = {0xE9, 0, 0};
       },
       {},
       Tap("AF ext")},
      {"HID key without a table row sends nothing",
       [](TBUTTONFUNCINFO& e) {
         e.FunctionKind = FUNCKIND_HIDKEY;
         e.HidKey = {0x04, 0, 0};
       },
       {},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    for (int state : {1, 0}) {
      Rig rig;
      c.set(rig.host.Button(4));
      EXPECT_THAT(rig.Act(4, state), ElementsAreArray(state == 1 ? c.press : c.release))
          << "state " << state;
    }
  }
}

TEST(ButtonAction, KindsWithoutAnActionDoNothingWhateverTheirMenuId) {
  for (int kind : {0, 6, 7, 9, 11, 12, 255}) {
    for (int state : {1, 0}) {
      Rig rig;
      auto& e = rig.Kind(1, static_cast<std::uint8_t>(kind));
      e.MenuID = MENUID_CLICK;
      e.SingleKey = 'A';
      e.FireKeyInfo = {1, 1};
      EXPECT_THAT(rig.Act(1, state), IsEmpty()) << "kind " << kind << " state " << state;
    }
  }
}

TEST(ButtonAction, StatesAbove1AreNeitherPressNorReleaseOfThePhysicalButton) {
  struct Case {
    const char* why;
    std::function<void(Rig&)> set;
    Events events;
  };
  const Case cases[] = {
      {"button emulation: anything but 1 is up",
       [](Rig& r) { r.Basic(0, MENUID_CLICK); },
       {"left up"}},
      {"scroll runs when the state is not 0",
       [](Rig& r) { r.Basic(0, MENUID_SCROLL_UP); },
       {"wheel +120"}},
      {"horizontal scroll only on 1", [](Rig& r) { r.Basic(0, MENUID_SCROLL_LEFT); }, {}},
      {"profile cycle only on 0", [](Rig& r) { r.Basic(0, MENUID_PROFILE_CYCLE); }, {}},
      {"double click only on 1", [](Rig& r) { r.Basic(0, MENUID_DOUBLE_CLICK); }, {}},
      {"shortcut when the state is not 0", [](Rig& r) { r.Basic(0, MENUID_MUTE); }, Tap("AD ext")},
      {"combination when the state is not 1",
       [](Rig& r) {
         r.Kind(0, FUNCKIND_COMBOKEY).ComboKey = {'Z', 0, 0, 0, 0};
       },
       Tap("5A")},
      {"single key: up",
       [](Rig& r) { r.Kind(0, FUNCKIND_SINGLEKEY).SingleKey = 'Z'; },
       {"key 5A up"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    Rig rig;
    c.set(rig);
    EXPECT_THAT(rig.Act(0, 2), ElementsAreArray(c.events));
  }
}

TEST(ButtonAction, IndexesAndStatesOutOfRangeDoNothing) {
  struct Case {
    std::uintptr_t wParam;
    std::intptr_t lParam;
    double pausedMs;  // the pause before an action happens for byte values only
  };
  const Case cases[] = {
      {11, 1, 10},         {11, 0, 10}, {14, 1, 10}, {255, 1, 10},       {256, 1, 0},
      {UINTPTR_MAX, 1, 0}, {0, -1, 0},  {0, 256, 0}, {0, INTPTR_MAX, 0}, {0, INTPTR_MIN, 0},
  };
  for (const auto& c : cases) {
    Rig rig;
    for (int i = 0; i < BUTTON_FUNC_COUNT; ++i) rig.Basic(i, MENUID_CLICK);
    rig.dispatcher.WMButtonAction(c.wParam, c.lParam);
    EXPECT_THAT(rig.log.entries, IsEmpty()) << c.wParam << ", " << c.lParam;
    EXPECT_EQ(rig.NowMs(), c.pausedMs) << c.wParam << ", " << c.lParam;
  }
}

TEST(ButtonAction, HighestIndex10IsDispatched) {
  Rig rig;
  rig.Basic(10, MENUID_SCROLL_DOWN);
  EXPECT_THAT(rig.Act(10, 1), ElementsAre("wheel -120"));
}

TEST(ButtonAction, FireKeyThreeTimesSixtyPressesAt0_120_240AfterTheTenMillisecondPause) {
  Rig rig;
  auto& e = rig.Kind(2, FUNCKIND_FIREKEY);
  e.FireKeyInfo = {3, 60};
  rig.dispatcher.WMButtonAction(2, 0);
  EXPECT_THAT(rig.log.Timed(10'000), ElementsAre("0 left down", "60 left up", "120 left down",
                                                 "180 left up", "240 left down", "300 left up"));
  EXPECT_EQ(rig.NowMs(), 370);
}

TEST(ButtonAction, CombinationOfAButtonAndShortcutTimings) {
  Rig rig;
  rig.Kind(0, FUNCKIND_COMBOKEY).ComboKey = {'C', 0, 0, 0, MODIFIER_CTRL | MODIFIER_WIN};
  rig.Basic(1, MENUID_COPY);
  rig.dispatcher.WMButtonAction(0, 0);
  EXPECT_THAT(rig.log.Timed(), ElementsAre("10 key A2 down", "10 key 5B down", "10 key 43 down",
                                           "50 key 43 up", "70 key A2 up", "70 key 5B up"));
  rig.log.entries.clear();
  const std::int64_t start = rig.waiter.NowMicros();
  rig.dispatcher.WMButtonAction(1, 1);
  EXPECT_THAT(rig.log.Timed(start),
              ElementsAre("10 key A2 down", "10 key 43 down", "50 key 43 up", "90 key A2 up"));
}

TEST(ButtonAction, ThePressRunsBeforeItsAlreadyQueuedRelease) {
  Rig rig;
  rig.Basic(0, MENUID_CLICK);
  rig.waiter.Post([&] { rig.dispatcher.WMButtonAction(0, 0); });
  rig.dispatcher.WMButtonAction(0, 1);
  EXPECT_THAT(rig.log.Texts(), ElementsAre("left down"));
  EXPECT_EQ(rig.waiter.pumps, 0) << "no queued message runs before an action";
  rig.waiter.ProcessPendingMessages();
  EXPECT_THAT(rig.log.Texts(), ElementsAre("left down", "left up"));
}

TEST(ButtonAction, MessagesSentDuringThePrePauseAreServiced) {
  Rig rig;
  rig.Basic(0, MENUID_CLICK);
  bool serviced = false;
  rig.waiter.SendAt(4, [&] { serviced = true; });
  rig.dispatcher.WMButtonAction(0, 1);
  EXPECT_TRUE(serviced);
  EXPECT_THAT(rig.log.Timed(), ElementsAre("10 left down"));
}

TEST(ButtonAction, OtherButtonsRunNestedAtMacroStepsInArrivalOrder) {
  Rig rig;
  SetMacro(rig.Kind(0, FUNCKIND_MACRO).MacroKeyInfo,
           {KeyStep('A', true), DelayStep(30), KeyStep('A', false), DelayStep(30)});
  rig.Basic(1, MENUID_RIGHT_CLICK);
  rig.waiter.Post([&] { rig.dispatcher.WMButtonAction(1, 1); });
  rig.waiter.Post([&] { rig.dispatcher.WMButtonAction(1, 0); });
  rig.dispatcher.WMButtonAction(0, 0);
  // The two nested actions each pause 10 ms first; the macro's next delay then
  // starts from where they left it.
  EXPECT_THAT(rig.log.Timed(),
              ElementsAre("10 key 41 down", "20 right down", "30 right up", "60 key 41 up"));
  EXPECT_EQ(rig.NowMs(), 90);
}

TEST(ButtonAction, TheActionKeepsItsCopyWhenTheProfileChangesMeanwhile) {
  Rig rig;
  SetMacro(rig.Kind(0, FUNCKIND_MACRO).MacroKeyInfo,
           {KeyStep('A', true), KeyStep('A', false), KeyStep('B', true), KeyStep('B', false)});
  rig.waiter.Post([&] {
    SetMacro(rig.host.Button(0).MacroKeyInfo, {KeyStep('Z', true), KeyStep('Z', false)});
    rig.host.Button(0).MacroKeyInfo.MacroListCount = 0;
  });
  rig.dispatcher.WMButtonAction(0, 0);
  EXPECT_THAT(rig.log.Texts(), ElementsAre("key 41 down", "key 41 up", "key 42 down", "key 42 up"));
}

TEST(ButtonAction, AbortFromASentMessageStopsAMacroAndReleasesItsKeys) {
  Rig rig;
  SetMacro(rig.Kind(0, FUNCKIND_MACRO).MacroKeyInfo,
           {KeyStep(0xA0, true), KeyStep('W', true), DelayStep(60000), KeyStep('W', false),
            KeyStep(0xA0, false)});
  rig.waiter.SendAt(510, [&] { rig.dispatcher.SetAbort(); });  // new settings applied
  rig.dispatcher.WMButtonAction(0, 0);
  EXPECT_THAT(rig.log.Timed(),
              ElementsAre("10 key A0 down", "10 key 57 down", "510 key 57 up", "510 key A0 up"));
  // The next action is not affected.
  rig.log.entries.clear();
  EXPECT_THAT(rig.Act(0, 0), ElementsAre("key A0 down", "key 57 down", "key 57 up", "key A0 up"));
}

TEST(ButtonAction, AbortStopsAFireKey) {
  Rig rig;
  rig.Kind(0, FUNCKIND_FIREKEY).FireKeyInfo = {65535, 65535};
  rig.waiter.SendAt(140'000, [&] { rig.dispatcher.SetAbort(); });
  rig.dispatcher.WMButtonAction(0, 0);
  EXPECT_THAT(rig.log.Timed(),
              ElementsAre("10 left down", "65545 left up", "131080 left down", "140000 left up"));
  EXPECT_EQ(rig.NowMs(), 140'000);
}

TEST(ButtonAction, ANestedActionDoesNotClearTheAbortOfTheOneItInterrupted) {
  Rig rig;
  SetMacro(rig.Kind(0, FUNCKIND_MACRO).MacroKeyInfo, {KeyStep('A', true), KeyStep('A', false)},
           1000);
  rig.Basic(1, MENUID_SCROLL_UP);
  rig.waiter.Post([&] {
    rig.dispatcher.SetAbort();            // Exit chosen in the tray menu
    rig.dispatcher.WMButtonAction(1, 1);  // and another button pressed
  });
  rig.dispatcher.WMButtonAction(0, 0);
  EXPECT_THAT(rig.log.Texts(), ElementsAre("key 41 down", "wheel +120", "key 41 up"));
}

TEST(ButtonAction, SingleKeyIsReleasedWithItsButton) {
  Rig rig;
  auto& e = rig.Kind(0, FUNCKIND_SINGLEKEY);
  e.SingleKey = 0x26;
  e.SingleKeyExtended = 1;
  rig.dispatcher.WMButtonAction(0, 1);
  rig.dispatcher.WMButtonAction(0, 0);
  EXPECT_THAT(rig.log.Texts(), ElementsAre("key 26 ext down", "key 26 ext up"));
  for (const auto& k : rig.log.keys) EXPECT_EQ(k.scan, quarn::testing::FakeScanCode(0x26));
}

TEST(ButtonAction, AReleaseLetsGoOfWhatItsPressHeldAfterAProfileChange) {
  struct Case {
    const char* why;
    std::function<void(TBUTTONFUNCINFO&)> pressed;
    std::function<void(TBUTTONFUNCINFO&)> released;
    Events events;
  };
  auto basic = [](std::int32_t id) {
    return [id](TBUTTONFUNCINFO& e) {
      e.FunctionKind = FUNCKIND_BASIC;
      e.MenuID = id;
    };
  };
  const Case cases[] = {
      {"right click becomes left click: only the right button goes up",
       basic(MENUID_RIGHT_CLICK),
       basic(MENUID_CLICK),
       {"right down", "right up"}},
      {"click becomes a macro: the button goes up, then the macro plays",
       basic(MENUID_CLICK),
       [](TBUTTONFUNCINFO& e) {
         e.FunctionKind = FUNCKIND_MACRO;
         SetMacro(e.MacroKeyInfo, {KeyStep('A', true), KeyStep('A', false)});
       },
       {"left down", "left up", "key 41 down", "key 41 up"}},
      {"single key becomes disabled: the key goes up",
       [](TBUTTONFUNCINFO& e) {
         e.FunctionKind = FUNCKIND_SINGLEKEY;
         e.SingleKey = 'Q';
       },
       basic(MENUID_DISABLED),
       {"key 51 down", "key 51 up"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    Rig rig;
    c.pressed(rig.host.Button(3));
    rig.dispatcher.WMButtonAction(3, 1);
    c.released(rig.host.Button(3));
    rig.dispatcher.WMButtonAction(3, 0);
    EXPECT_THAT(rig.log.Texts(), ElementsAreArray(c.events));
  }
}

TEST(ButtonAction, ASecondPressWithoutReleaseLetsGoFirst) {
  Rig rig;
  rig.Basic(0, MENUID_MIDDLE_CLICK);
  rig.dispatcher.WMButtonAction(0, 1);
  rig.dispatcher.WMButtonAction(0, 1);
  rig.dispatcher.WMButtonAction(0, 0);
  EXPECT_THAT(rig.log.Texts(), ElementsAre("middle down", "middle up", "middle down", "middle up"));
}

TEST(ButtonAction, AbortReleasesWhatPressedButtonsHold) {
  Rig rig;
  rig.Basic(0, MENUID_CLICK);
  rig.Kind(2, FUNCKIND_SINGLEKEY).SingleKey = 'S';
  rig.dispatcher.WMButtonAction(0, 1);
  rig.dispatcher.WMButtonAction(2, 1);
  rig.dispatcher.SetAbort();
  EXPECT_THAT(rig.log.Texts(), ElementsAre("left down", "key 53 down", "left up", "key 53 up"));
  rig.log.entries.clear();
  rig.dispatcher.SetAbort();
  EXPECT_THAT(rig.log.entries, IsEmpty()) << "released once";
}

// Keys and buttons still down after the events of `log`, as the system keeps them.
std::set<std::string> HeldAfter(const ActionLog& log) {
  std::set<std::string> held;
  for (const auto& text : log.Texts()) {
    const auto space = text.rfind(' ');
    const std::string what = text.substr(0, space);
    const std::string how = text.substr(space + 1);
    if (how == "down") held.insert(what);
    if (how == "up") held.erase(what);
  }
  return held;
}

int CountOf(const ActionLog& log, const std::string& text) {
  const auto texts = log.Texts();
  return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

TEST(ButtonActionNesting, ThousandsOfQueuedReleasesRunInTurnWithBoundedNesting) {
  struct Case {
    const char* why;
    std::function<void(TBUTTONFUNCINFO&)> set;
    const char* press;  // what each action presses once
  };
  const Case cases[] = {
      {"macro: A down, 20 ms, A up",
       [](TBUTTONFUNCINFO& e) {
         e.FunctionKind = FUNCKIND_MACRO;
         SetMacro(e.MacroKeyInfo, {KeyStep('A', true), DelayStep(20), KeyStep('A', false)});
       },
       "key 41 down"},
      {"HID key: volume up",
       [](TBUTTONFUNCINFO& e) {
         e.FunctionKind = FUNCKIND_HIDKEY;
         e.HidKey = {0xE9, 0, 0};
       },
       "key AF ext down"},
  };
  constexpr int kQueued = 2500;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    Rig rig;
    c.set(rig.host.Button(3));
    for (int i = 0; i < kQueued; ++i) rig.waiter.Post([&] { rig.dispatcher.WMButtonAction(3, 0); });
    rig.dispatcher.WMButtonAction(3, 0);
    EXPECT_EQ(CountOf(rig.log, c.press), kQueued + 1) << "every release played, none lost";
    EXPECT_THAT(HeldAfter(rig.log), IsEmpty());
    EXPECT_LE(rig.waiter.maxPumpDepth, ButtonActionDispatcher::MAX_NESTED_ACTIONS);
    EXPECT_GE(rig.waiter.maxPumpDepth, 2) << "actions still run inside a running one";
    EXPECT_EQ(rig.dispatcher.RunningActions(), 0);
    EXPECT_EQ(rig.dispatcher.QueuedActions(), 0u);
  }
}

TEST(ButtonActionNesting, QueuedActionsKeepArrivalOrderSoNoReleaseOvertakesItsPress) {
  Rig rig;
  SetMacro(rig.Kind(0, FUNCKIND_MACRO).MacroKeyInfo,
           {KeyStep('A', true), DelayStep(5), KeyStep('A', false)});
  rig.Basic(1, MENUID_RIGHT_CLICK);
  constexpr int kRounds = 600;
  for (int i = 0; i < kRounds; ++i) {
    rig.waiter.Post([&] { rig.dispatcher.WMButtonAction(0, 0); });
    rig.waiter.Post([&] { rig.dispatcher.WMButtonAction(1, 1); });
    rig.waiter.Post([&] { rig.dispatcher.WMButtonAction(1, 0); });
  }
  rig.dispatcher.WMButtonAction(0, 0);
  std::vector<std::string> right;
  for (const auto& t : rig.log.Texts())
    if (t.rfind("right ", 0) == 0) right.push_back(t);
  ASSERT_EQ(right.size(), 2u * kRounds);
  for (std::size_t i = 0; i < right.size(); ++i)
    ASSERT_EQ(right[i], i % 2 == 0 ? "right down" : "right up") << "event " << i;
  EXPECT_THAT(HeldAfter(rig.log), IsEmpty());
  EXPECT_LE(rig.waiter.maxPumpDepth, ButtonActionDispatcher::MAX_NESTED_ACTIONS);
}

TEST(ButtonActionNesting, AButtonMessageHandledWhileAnActionWaitsRunsAtItsNextStepBoundary) {
  // A modal loop (the tray menu) that runs inside a wait hands the action on.
  Rig rig;
  SetMacro(rig.Kind(0, FUNCKIND_MACRO).MacroKeyInfo,
           {KeyStep('A', true), DelayStep(100), KeyStep('A', false)});
  rig.Basic(1, MENUID_RIGHT_CLICK);
  rig.waiter.SendAt(50, [&] { rig.dispatcher.WMButtonAction(1, 1); });
  rig.dispatcher.WMButtonAction(0, 0);
  EXPECT_THAT(rig.log.Timed(), ElementsAre("10 key 41 down", "120 right down", "120 key 41 up"));
}

TEST(ButtonActionNesting, AbortDropsTheQueuedActionsAndReleasesWhatTheRunningOnesHold) {
  Rig rig;
  SetMacro(rig.Kind(0, FUNCKIND_MACRO).MacroKeyInfo,
           {KeyStep('A', true), DelayStep(5000), KeyStep('A', false)});
  rig.Basic(1, MENUID_RIGHT_CLICK);
  rig.Kind(2, FUNCKIND_SINGLEKEY).SingleKey = 'S';
  rig.dispatcher.WMButtonAction(2, 1);  // S held by its button
  rig.waiter.SendAt(50, [&] { rig.dispatcher.WMButtonAction(1, 1); });
  rig.waiter.SendAt(60, [&] { rig.dispatcher.SetAbort(); });  // Exit
  rig.log.entries.clear();
  rig.dispatcher.WMButtonAction(0, 0);
  EXPECT_THAT(rig.log.Timed(), ElementsAre("20 key 41 down", "60 key 53 up", "60 key 41 up"));
  EXPECT_EQ(rig.dispatcher.QueuedActions(), 0u);
}

TEST(ExternalCommand, ProfileCommands21To25) {
  struct Case {
    const char* why;
    int current;
    std::uintptr_t command;
    std::int32_t feedback;
    Events events;
  };
  const Case cases[] = {
      {"profile 3 from profile 1, with feedback", 0, 23, 1, {"sound", "select profile 2"}},
      {"profile 3 while profile 3 is current", 2, 23, 1, {}},
      {"profile 1 from profile 5, no feedback", 4, 21, 0, {"select profile 0"}},
      {"profile 5, feedback other than 1 plays nothing", 1, 25, 2, {"select profile 4"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    Rig rig;
    rig.host.index = c.current;
    rig.host.profile->ConfigInfo.FeedBackSetting.PROFILE_Changed = c.feedback;
    rig.dispatcher.WMExternalCommand(c.command);
    EXPECT_THAT(rig.log.Texts(), ElementsAreArray(c.events));
    EXPECT_EQ(rig.NowMs(), 0);
  }
}

TEST(ExternalCommand, StoredButtonFunctions) {
  struct Case {
    const char* why;
    std::uintptr_t command;
    std::uint8_t kind;
    std::uint16_t code;
    std::u16string path;
    bool exists;
    Events events;
  };
  const std::u16string tool = u"C:\\Tools\\run me.exe";
  const Case cases[] = {
      {"an existing program",
       3,
       FUNCKIND_QUICKLAUNCH,
       46,
       tool,
       true,
       {"open C:\\Tools\\run me.exe"}},
      {"a program that does not exist", 3, FUNCKIND_QUICKLAUNCH, 46, tool, false, {}},
      {"an empty path", 3, FUNCKIND_QUICKLAUNCH, 46, u"", true, {}},
      {"a program start stored with another code", 3, FUNCKIND_QUICKLAUNCH, 45, tool, true, {}},
      {"the configuration program", 0, FUNCKIND_OTHER, 48, u"", false, {"config"}},
      {"kind 11 with the program code", 0, FUNCKIND_OTHER, 46, tool, true, {}},
      {"a basic function with code 48", 0, FUNCKIND_BASIC, 48, u"", false, {}},
      {"the last entry, 14", 14, FUNCKIND_OTHER, 48, u"", false, {"config"}},
      {"15 is past the list", 15, FUNCKIND_OTHER, 48, u"", false, {}},
      {"20 is past the list", 20, FUNCKIND_OTHER, 48, u"", false, {}},
      {"26", 26, FUNCKIND_OTHER, 48, u"", false, {}},
      {"the largest command", UINTPTR_MAX, FUNCKIND_OTHER, 48, u"", false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    Rig rig;
    for (int i = 0; i < BUTTON_FUNC_COUNT; ++i) {
      auto& e = rig.Kind(i, c.kind);
      e.FunctionCode = c.code;
      quarn::WriteText(e.ProgramPath, c.path);
    }
    if (c.exists) rig.host.existing.insert(c.path);
    rig.dispatcher.WMExternalCommand(c.command);
    EXPECT_THAT(rig.log.Texts(), ElementsAreArray(c.events));
    EXPECT_EQ(rig.NowMs(), 10) << "the pause comes first";
  }
}

TEST(ExternalCommand, AProgramPathThatFillsItsFieldIsReadWithoutOverrun) {
  Rig rig;
  auto& e = rig.Kind(5, FUNCKIND_QUICKLAUNCH);
  e.FunctionCode = FUNCCODE_EXT_RUN_PROGRAM;
  for (auto& unit : e.ProgramPath) unit = u'p';
  for (auto& b : e.Reserved3100) b = 'x';  // what lies behind the field
  const std::u16string full(1024, u'p');
  rig.host.existing.insert(full);
  rig.dispatcher.WMExternalCommand(5);
  ASSERT_EQ(rig.host.openedPaths.size(), 1u);
  EXPECT_EQ(rig.host.openedPaths[0], full);

  rig.dispatcher.WMButtonAction(5, 1);  // the same field as a button's program start
  ASSERT_EQ(rig.host.openedPaths.size(), 2u);
  EXPECT_EQ(rig.host.openedPaths[1], full);
}

}  // namespace
