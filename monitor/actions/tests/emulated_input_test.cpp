// The input sequences played by the button actions, on a virtual clock: the
// exact events, their times, aborts and what is let go at the end.
#include "emulated_input.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "action_fakes.h"

namespace {

using quarn::ActionRun;
using quarn::ComboTiming;
using quarn::testing::ActionLog;
using quarn::testing::DelayStep;
using quarn::testing::KeyStep;
using quarn::testing::MouseStep;
using quarn::testing::RawStep;
using quarn::testing::RecordingSink;
using quarn::testing::SetMacro;
using quarn::testing::VirtualWaiter;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

struct Rig {
  ActionLog log;
  VirtualWaiter waiter;
  RecordingSink sink{log, waiter};
  bool abort = false;
  ActionRun Run() {
    return ActionRun(sink, waiter, [this] { return abort; });
  }
  double NowMs() { return static_cast<double>(waiter.NowMicros()) / 1000.0; }
};

TCOMBOKEYINFO Combo(std::uint16_t modifier, std::uint16_t key1, std::uint16_t ext1,
                    std::uint16_t key2 = 0, std::uint16_t ext2 = 0) {
  return {key1, ext1, key2, ext2, modifier};
}

TEST(ComboKey, PlaysModifiersKeysAndPausesInOrder) {
  struct Case {
    const char* why;
    TCOMBOKEYINFO combo;
    ComboTiming timing;
    std::vector<std::string> events;
    double endMs;
  };
  const Case cases[] = {
      {"Ctrl and Win with C: two pauses after each key event of key 1",
       Combo(10, 'C', 0),
       ComboTiming::Shortcut,
       {"0 key A2 down", "0 key 5B down", "0 key 43 down", "40 key 43 up", "80 key A2 up",
        "80 key 5B up"},
       80},
      {"a button's own combination has no pause after the release of key 2",
       Combo(10, 'C', 0),
       ComboTiming::Button,
       {"0 key A2 down", "0 key 5B down", "0 key 43 down", "40 key 43 up", "60 key A2 up",
        "60 key 5B up"},
       60},
      {"all four modifiers go down and up as Ctrl, Shift, Alt, Win",
       Combo(15, 'A', 0),
       ComboTiming::Shortcut,
       {"0 key A2 down", "0 key A0 down", "0 key A4 down", "0 key 5B down", "0 key 41 down",
        "40 key 41 up", "80 key A2 up", "80 key A0 up", "80 key A4 up", "80 key 5B up"},
       80},
      {"two keys, each with its own extended marker (225 and flag 1 extended, 224 not)",
       Combo(2, 0x27, 225, 'A', 224),
       ComboTiming::Shortcut,
       {"0 key A2 down", "0 key 27 ext down", "20 key 41 down", "40 key 27 ext up", "60 key 41 up",
        "80 key A2 up"},
       80},
      {"key 2 with the extended flag 1 while key 1 has none",
       Combo(0, 'A', 0, 0x2E, 1),
       ComboTiming::Button,
       {"0 key 41 down", "20 key 2E ext down", "40 key 41 up", "60 key 2E ext up"},
       60},
      {"the marker 224 of the key tables is not the extended flag",
       Combo(0, 'A', 224),
       ComboTiming::Shortcut,
       {"0 key 41 down", "40 key 41 up"},
       80},
      {"modifier bits above Win are ignored",
       Combo(0xF8, 'A', 0),
       ComboTiming::Button,
       {"0 key 5B down", "0 key 41 down", "40 key 41 up", "60 key 5B up"},
       60},
      {"no key 1: only the modifiers and the pauses",
       Combo(2, 0, 0),
       ComboTiming::Shortcut,
       {"0 key A2 down", "80 key A2 up"},
       80},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    Rig rig;
    {
      ActionRun run = rig.Run();
      SendComboKey(run, c.combo, c.timing);
    }
    EXPECT_THAT(rig.log.Timed(), ElementsAreArray(c.events));
    EXPECT_EQ(rig.NowMs(), c.endMs);
  }
}

TEST(ComboKey, KeyEventsCarryTheScanCodeOfTheirVirtualKey) {
  Rig rig;
  {
    ActionRun run = rig.Run();
    SendComboKey(run, Combo(15, 0x27, 225, 'Z', 0));
  }
  ASSERT_EQ(rig.log.keys.size(), 12u);
  for (const auto& k : rig.log.keys) EXPECT_EQ(k.scan, quarn::testing::FakeScanCode(k.vk)) << k.vk;
}

TEST(ComboKey, AbortMidwayLetsGoOfEveryKeyStillDown) {
  Rig rig;
  rig.waiter.SendAt(30, [&] { rig.abort = true; });
  {
    ActionRun run = rig.Run();
    SendComboKey(run, Combo(6, 'A', 0, 'B', 0));
  }
  EXPECT_THAT(rig.log.Timed(),
              ElementsAre("0 key A2 down", "0 key A0 down", "0 key 41 down", "20 key 42 down",
                          "30 key 42 up", "30 key 41 up", "30 key A0 up", "30 key A2 up"));
}

TEST(DoubleClick, TwoClicksTenAndTwentyMillisecondsApartOnPressOnly) {
  Rig rig;
  {
    ActionRun run = rig.Run();
    DoubleClickLeftButton(run, 1);
  }
  EXPECT_THAT(rig.log.Timed(),
              ElementsAre("0 left down", "10 left up", "30 left down", "40 left up"));
  for (int state : {0, 2}) {
    Rig other;
    ActionRun run = other.Run();
    DoubleClickLeftButton(run, state);
    EXPECT_THAT(other.log.entries, IsEmpty()) << state;
  }
}

TEST(FireKey, ThreeClicksOfSixtyMillisecondsPressAtZero120And240) {
  Rig rig;
  {
    ActionRun run = rig.Run();
    PlayFireKey(run, {3, 60});
  }
  EXPECT_THAT(rig.log.Timed(), ElementsAre("0 left down", "60 left up", "120 left down",
                                           "180 left up", "240 left down", "300 left up"));
  EXPECT_EQ(rig.NowMs(), 360);
}

TEST(FireKey, NoClicksForACountOfZero) {
  Rig rig;
  {
    ActionRun run = rig.Run();
    PlayFireKey(run, {0, 60});
  }
  EXPECT_THAT(rig.log.entries, IsEmpty());
  EXPECT_EQ(rig.NowMs(), 0);
}

TEST(FireKey, AbortWhileTheButtonIsDownReleasesItAndStops) {
  Rig rig;
  rig.waiter.SendAt(150, [&] { rig.abort = true; });
  {
    ActionRun run = rig.Run();
    PlayFireKey(run, {1000, 60});
  }
  EXPECT_THAT(rig.log.Timed(),
              ElementsAre("0 left down", "60 left up", "120 left down", "150 left up"));
  EXPECT_EQ(rig.NowMs(), 150);
}

TEST(HidKey, TapsTheKeyOfTheUsageWithItsExtendedFlag) {
  Rig rig;
  {
    ActionRun run = rig.Run();
    TapHidKey(run, 0xE9);  // volume up, consumer page
  }
  EXPECT_THAT(rig.log.Timed(), ElementsAre("0 key AF ext down", "20 key AF ext up"));
  EXPECT_EQ(rig.waiter.pumps, 1) << "queued messages run between down and up";
}

TEST(HidKey, AUsageWithoutAKeySendsNothing) {
  for (std::int32_t usage : {0, 4 /* A, ordinary key group */, 0xFFFF, 0x1234}) {
    Rig rig;
    {
      ActionRun run = rig.Run();
      TapHidKey(run, usage);
    }
    EXPECT_THAT(rig.log.entries, IsEmpty()) << usage;
    EXPECT_EQ(rig.NowMs(), 0) << usage;
  }
}

TEST(HidKey, UsageIsHighValueTimes256PlusLowValue) {
  EXPECT_EQ(HidUsageOf({0xE9, 0x00, 0}), 0xE9);
  EXPECT_EQ(HidUsageOf({0x23, 0x02, 0}), 0x223);
  EXPECT_EQ(HidUsageOf({0x00, 0x01, 5}), 0x100) << "the modifier is ignored";
}

TEST(Macro, EveryStepKindAsStored) {
  struct Case {
    const char* why;
    TMACROKEY step;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {"mouse 1 is the left button, state 1 down", MouseStep(1, true), {"0 left down"}},
      {"mouse 2 right, state 0 up", MouseStep(2, false), {"0 right up"}},
      {"mouse 4 middle", MouseStep(4, true), {"0 middle down"}},
      {"mouse 8 is XBUTTON1", MouseStep(8, true), {"0 x1 down"}},
      {"mouse 16 is XBUTTON2", MouseStep(16, true), {"0 x2 down"}},
      {"mouse state other than 1 is up", RawStep(MACROKEY_MOUSE, 7, 1, 0), {"0 left up"}},
      {"mouse value 3 names no button", MouseStep(3, true), {}},
      {"wheel value 0 is one notch away", RawStep(MACROKEY_WHEEL, 1, 0, 0), {"0 wheel +120"}},
      {"wheel value 1 is one notch away", RawStep(MACROKEY_WHEEL, 1, 1, 0), {"0 wheel +120"}},
      {"wheel value 0xFF is one notch toward the user",
       RawStep(MACROKEY_WHEEL, 1, 0xFF, 0),
       {"0 wheel -120"}},
      {"wheel value 0x80 is one notch toward the user",
       RawStep(MACROKEY_WHEEL, 1, 0x80, 0),
       {"0 wheel -120"}},
      {"key down", KeyStep('A', true), {"0 key 41 down"}},
      {"key up", KeyStep('A', false), {"0 key 41 up"}},
      {"key with the extended flag 1", KeyStep(0x27, true, 1), {"0 key 27 ext down"}},
      {"key with the marker 225", KeyStep(0x27, true, 225), {"0 key 27 ext down"}},
      {"key with the marker 224 is not extended", KeyStep(0x27, true, 224), {"0 key 27 down"}},
      {"key state other than 1 is up", RawStep(MACROKEY_KEYBOARD, 3, 'B', 0), {"0 key 42 up"}},
      {"key code 0 is not sent", KeyStep(0, true), {}},
      {"key code 255 is not sent", KeyStep(255, true), {}},
      {"media step: low byte first, a tap of the key",
       RawStep(MACROKEY_MEDIA, 0, 0xE9, 0x00),
       {"0 key AF ext down", "20 key AF ext up"}},
      {"media step two-byte usage (mail)",
       RawStep(MACROKEY_MEDIA, 1, 0x8A, 0x01),
       {"0 key B4 ext down", "20 key B4 ext up"}},
      {"media step without a key sends nothing", RawStep(MACROKEY_MEDIA, 1, 0x04, 0x00), {}},
      {"generic step", RawStep(MACROKEY_GENERIC, 1, 1, 1), {}},
      {"mouse-move step", RawStep(MACROKEY_MOUSEMOVE, 1, 1, 1), {}},
      {"loop step", RawStep(MACROKEY_LOOP, 1, 1, 1), {}},
      {"unknown kind", RawStep(99, 1, 1, 1), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    Rig rig;
    TMACROKEYINFO macro;
    SetMacro(macro, {c.step});
    ActionRun run = rig.Run();
    PlayMacro(run, macro);
    EXPECT_THAT(rig.log.Timed(), ElementsAreArray(c.events));
  }
}

TEST(Macro, DelayStepWaitsItsMillisecondsHighByteTimes256) {
  Rig rig;
  TMACROKEYINFO macro;
  SetMacro(macro, {KeyStep('A', true), DelayStep(300), KeyStep('A', false), DelayStep(0),
                   KeyStep('B', true), DelayStep(65535), KeyStep('B', false)});
  {
    ActionRun run = rig.Run();
    PlayMacro(run, macro);
  }
  EXPECT_THAT(rig.log.Timed(),
              ElementsAre("0 key 41 down", "300 key 41 up", "300 key 42 down", "65835 key 42 up"));
}

TEST(Macro, LoopCountTwoPlaysThreeStepsThreeTimes) {
  Rig rig;
  TMACROKEYINFO macro;
  SetMacro(macro, {KeyStep('A', true), DelayStep(10), KeyStep('A', false)}, 2);
  {
    ActionRun run = rig.Run();
    PlayMacro(run, macro);
  }
  EXPECT_THAT(rig.log.Timed(), ElementsAre("0 key 41 down", "10 key 41 up", "10 key 41 down",
                                           "20 key 41 up", "20 key 41 down", "30 key 41 up"));
  EXPECT_EQ(rig.waiter.pumps, 9) << "queued messages run after every step";
}

TEST(Macro, StepCountIsBoundedByTheListAndNothingPlaysBelowOne) {
  struct Case {
    std::int32_t count;
    std::size_t events;
  };
  for (const Case c : {Case{0, 0}, Case{-1, 0}, Case{INT32_MIN, 0}, Case{1, 1}, Case{128, 128},
                       Case{129, 128}, Case{INT32_MAX, 128}}) {
    Rig rig;
    TMACROKEYINFO macro{};
    for (auto& step : macro.MacroList) step = RawStep(MACROKEY_WHEEL, 1, 0, 0);
    macro.MacroListCount = c.count;
    ActionRun run = rig.Run();
    PlayMacro(run, macro);
    EXPECT_EQ(rig.log.entries.size(), c.events) << c.count;
  }
}

TEST(Macro, KeysAndButtonsLeftDownAreReleasedAtTheEndLastFirst) {
  Rig rig;
  TMACROKEYINFO macro;
  SetMacro(macro, {KeyStep(0xA2, true), KeyStep(0x27, true, 1), MouseStep(2, true),
                   KeyStep('A', true), KeyStep('A', false), DelayStep(50)});
  {
    ActionRun run = rig.Run();
    PlayMacro(run, macro);
  }
  EXPECT_THAT(rig.log.Timed(),
              ElementsAre("0 key A2 down", "0 key 27 ext down", "0 right down", "0 key 41 down",
                          "0 key 41 up", "50 right up", "50 key 27 ext up", "50 key A2 up"));
}

TEST(Macro, AKeyPressedTwiceIsReleasedOnce) {
  Rig rig;
  TMACROKEYINFO macro;
  SetMacro(macro, {KeyStep('A', true)}, 2);
  {
    ActionRun run = rig.Run();
    PlayMacro(run, macro);
  }
  EXPECT_THAT(rig.log.Texts(),
              ElementsAre("key 41 down", "key 41 down", "key 41 down", "key 41 up"));
}

TEST(Macro, AbortDuringADelayStopsAtOnceAndReleasesHeldKeys) {
  Rig rig;
  TMACROKEYINFO macro;
  SetMacro(macro, {KeyStep('W', true), DelayStep(1000), KeyStep('W', false)}, 100);
  rig.waiter.SendAt(2500, [&] { rig.abort = true; });
  {
    ActionRun run = rig.Run();
    PlayMacro(run, macro);
  }
  EXPECT_THAT(rig.log.Timed(), ElementsAre("0 key 57 down", "1000 key 57 up", "1000 key 57 down",
                                           "2000 key 57 up", "2000 key 57 down", "2500 key 57 up"));
}

TEST(Macro, AbortSetByAQueuedMessageStopsBeforeTheNextStep) {
  Rig rig;
  TMACROKEYINFO macro;
  SetMacro(macro, {MouseStep(1, true), MouseStep(1, false), KeyStep('A', true)});
  rig.waiter.Post([&] { rig.abort = true; });
  {
    ActionRun run = rig.Run();
    PlayMacro(run, macro);
  }
  EXPECT_THAT(rig.log.Texts(), ElementsAre("left down", "left up"));
}

TEST(Macro, StopsWhenTheProgramIsQuitting) {
  Rig rig;
  rig.waiter.quitting = true;
  TMACROKEYINFO macro;
  SetMacro(macro, {KeyStep(0xA0, true), KeyStep('A', true), KeyStep('A', false)});
  {
    ActionRun run = rig.Run();
    PlayMacro(run, macro);
  }
  EXPECT_THAT(rig.log.Texts(), ElementsAre("key A0 down", "key A0 up"));
}

TEST(Macro, QueuedMessagesRunBetweenStepsInArrivalOrder) {
  Rig rig;
  std::vector<std::string> order;
  TMACROKEYINFO macro;
  SetMacro(macro, {KeyStep('A', true), DelayStep(20), KeyStep('A', false)});
  rig.waiter.Post([&] {
    order.push_back("first");
    rig.waiter.Post([&] { order.push_back("third"); });
  });
  rig.waiter.Post([&] { order.push_back("second"); });
  ActionRun run = rig.Run();
  PlayMacro(run, macro);
  EXPECT_THAT(order, ElementsAre("first", "second", "third"));
}

TEST(ActionSchedule, PausesKeepTheirPlaceWhenASentMessageTakesTimeAndResyncWhenFarBehind) {
  Rig rig;
  // A short handler during the first pause does not push the second pause back.
  rig.waiter.SendAt(5, [&] { rig.waiter.Advance(3); });
  // A long one (a nested reload) makes the schedule start again from its end.
  rig.waiter.SendAt(45, [&] { rig.waiter.Advance(40); });
  {
    ActionRun run = rig.Run();
    PlayFireKey(run, {3, 20});
  }
  EXPECT_THAT(rig.log.Timed(), ElementsAre("0 left down", "20 left up", "40 left down",
                                           "85 left up", "105 left down", "125 left up"));
}

TEST(ExtendedMarker, OnlyTheMarker225AndTheFlag1AreExtended) {
  for (std::int32_t v : {1, 225}) EXPECT_TRUE(quarn::IsExtendedKeyMarker(v)) << v;
  for (std::int32_t v : {0, 2, 224, 226, 255, -1}) EXPECT_FALSE(quarn::IsExtendedKeyMarker(v)) << v;
}

}  // namespace
