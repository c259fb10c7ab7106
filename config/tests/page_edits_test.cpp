// Edits of the performance and lighting pages: what each stores into the
// current profile and its stream, what it refuses, and its outside effects
// (double-click time, lighting now or after the deferral).
#include "page_edits.h"

#include <gtest/gtest.h>

#include "config_fixture.h"

namespace quarn::testing {
namespace {

using Strings = std::vector<std::string>;

class RecordingDoubleClick final : public DoubleClickTimeSetter {
 public:
  explicit RecordingDoubleClick(EventLog& log) : log_(log) {}
  bool SetDoubleClickTime(std::uint32_t ms) override {
    log_.Add("doubleclick " + std::to_string(ms));
    return true;
  }

 private:
  EventLog& log_;
};

class PageEditsTest : public ConfigFixture {
 public:
  // Slot 1 holds `p` and is shown; the log starts empty.
  PageEditor& StartWith(const TMouseProfileInfo& p, bool create = true) {
    for (int s = 0; s < 5; ++s) StoreProfile(s, *ProfileWith([](TMOUSECONFIGINFO&) {}));
    StoreProfile(1, p);
    StoreCurrentIndex(1);
    Start(create);
    editor = std::make_unique<PageEditor>(*dm, *controller, device, doubleClick);
    return *editor;
  }
  const TMOUSECONFIGINFO& Shown() const { return dm->FCurrentProfileInfo.ConfigInfo; }
  // The current profile reached its stream.
  void ExpectSavedBack() {
    const auto bytes = BytesOf(dm->FCurrentProfileInfo);
    const auto stream = Stream(1);
    ASSERT_GE(stream.size(), bytes.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), stream.begin()));
  }

  RecordingDoubleClick doubleClick{log};
  std::unique_ptr<PageEditor> editor;
};

// ---- DPI ----

struct DpiValueRow {
  const char* why;
  bool linked;
  int level;
  DpiAxis axis;
  std::int32_t value;
  EditResult result;
  std::uint16_t x, y, hardware;
};

TEST_F(PageEditsTest, DpiValuesFollowTheLinkAndTheHardwareFollowsTheLargerAxis) {
  const DpiValueRow rows[] = {
      {"linked: both axes", true, 1, DpiAxis::X, 1600, EditResult::Done, 1600, 1600, 1500},
      {"linked through Y", true, 1, DpiAxis::Y, 1200, EditResult::Done, 1200, 1200, 1250},
      {"unlinked: only X", false, 1, DpiAxis::X, 800, EditResult::Done, 800, 1200, 1250},
      {"unlinked: Y above X", false, 2, DpiAxis::Y, 3900, EditResult::Done, 1000, 3900, 4000},
      {"lowest value", false, 0, DpiAxis::X, 100, EditResult::Done, 100, 1200, 1250},
      {"a tie goes to the lower step", true, 3, DpiAxis::X, 1625, EditResult::Done, 1625, 1625,
       1500},
      {"below the box", true, 1, DpiAxis::X, 99, EditResult::Refused, 1000, 1200, 0},
      {"above the box", true, 1, DpiAxis::X, 4001, EditResult::Refused, 1000, 1200, 0},
      {"negative", true, 1, DpiAxis::Y, -1600, EditResult::Refused, 1000, 1200, 0},
      {"the largest integer", true, 1, DpiAxis::X, 2147483647, EditResult::Refused, 0, 0, 0},
      {"the smallest integer", true, 1, DpiAxis::X, -2147483647 - 1, EditResult::Refused, 0, 0,
       0},
      {"a value that wraps to 1600 in 16 bits", true, 1, DpiAxis::X, 65536 + 1600,
       EditResult::Refused, 0, 0, 0},
      {"level 4 does not exist", true, 4, DpiAxis::X, 1600, EditResult::Refused, 0, 0, 0},
      {"negative level", true, -1, DpiAxis::X, 1600, EditResult::Refused, 0, 0, 0},
  };
  for (const DpiValueRow& r : rows) {
    SCOPED_TRACE(r.why);
    auto p = ProfileWith([&](TMOUSECONFIGINFO& c) {
      for (int i = 0; i < 4; ++i) {
        c.CPIState[i] = {1000, 1200, 1, {}};
        c.HWCPIState[i] = {0, 0, 0, {}};
        c.UseDiffentXY[i] = r.linked ? 0 : 1;
      }
      c.CPIState[2].Enabled = 0;
    });
    auto& e = StartWith(*p);
    const auto before = BytesOf(dm->FCurrentProfileInfo);
    const auto stream = Stream(1);
    EXPECT_EQ(e.SetDpiLevelValue(r.level, r.axis, r.value), r.result);
    if (r.result != EditResult::Done) {
      EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), before);
      EXPECT_EQ(Stream(1), stream);
      EXPECT_FALSE(controller->SettingsChanged);
      continue;
    }
    const auto& c = Shown();
    EXPECT_EQ(c.CPIState[r.level].X, r.x);
    EXPECT_EQ(c.CPIState[r.level].Y, r.y);
    EXPECT_EQ(c.HWCPIState[r.level].X, r.hardware);
    EXPECT_EQ(c.HWCPIState[r.level].Y, r.hardware);
    EXPECT_EQ(c.HWCPIState[r.level].Enabled, c.CPIState[r.level].Enabled);
    EXPECT_EQ(controller->DpiPage.Levels[static_cast<std::size_t>(r.level)].X, r.x);
    EXPECT_EQ(controller->DpiPage.Levels[static_cast<std::size_t>(r.level)].Hardware, r.hardware);
    EXPECT_EQ(controller->EditedDPILevel, r.level);
    EXPECT_TRUE(controller->SettingsChanged);
    ExpectSavedBack();
    // Nothing else of the profile moved.
    for (int i = 0; i < 4; ++i) {
      if (i == r.level) continue;
      EXPECT_EQ(c.CPIState[i].X, 1000) << i;
    }
  }
}

TEST_F(PageEditsTest, TheLastEnabledLevelCannotBeSwitchedOff) {
  auto p = ProfileWith([](TMOUSECONFIGINFO& c) {
    for (int i = 0; i < 4; ++i) c.CPIState[i].Enabled = 0;
    c.CPIState[2].Enabled = 1;
    c.CurrentCPIIndex = 2;
    c.CPILevel = 2;
  });
  auto& e = StartWith(*p);
  const auto before = BytesOf(dm->FCurrentProfileInfo);
  EXPECT_EQ(e.SetDpiLevelEnabled(2, false), EditResult::Refused);
  EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), before);
  EXPECT_FALSE(controller->SettingsChanged);

  // Another level on: the first enabled one becomes current, then 2 may go off.
  EXPECT_EQ(e.SetDpiLevelEnabled(3, true), EditResult::Done);
  EXPECT_EQ(Shown().CurrentCPIIndex, 2);
  EXPECT_EQ(Shown().CPILevel, 4);
  EXPECT_EQ(e.SetDpiLevelEnabled(2, false), EditResult::Done);
  EXPECT_EQ(Shown().CPIState[2].Enabled, 0);
  EXPECT_EQ(Shown().CurrentCPIIndex, 3);
  EXPECT_FALSE(controller->DpiPage.Levels[2].LookEnabled);
  EXPECT_TRUE(controller->SettingsChanged);
  ExpectSavedBack();
  EXPECT_EQ(e.SetDpiLevelEnabled(3, false), EditResult::Refused);
  EXPECT_EQ(e.SetDpiLevelEnabled(4, true), EditResult::Refused);
}

TEST_F(PageEditsTest, AnOddlyEnabledLevelCountsAsOnButIsNeverTheCurrentOne) {
  // Enabled 2 is "not 0" for switching off and not "1" for the current level.
  auto p = ProfileWith([](TMOUSECONFIGINFO& c) {
    for (int i = 0; i < 4; ++i) c.CPIState[i].Enabled = 0;
    c.CPIState[0].Enabled = 2;
    c.CPIState[1].Enabled = 1;
    c.CurrentCPIIndex = 7;
  });
  auto& e = StartWith(*p);
  EXPECT_EQ(e.SetDpiLevelEnabled(1, false), EditResult::Done);
  EXPECT_EQ(Shown().CurrentCPIIndex, 7) << "no level has exactly 1: unchanged";
}

TEST_F(PageEditsTest, LinkSelectAndReportRate) {
  auto& e = StartWith(*ProfileWith([](TMOUSECONFIGINFO& c) { c.ReportRate = 300; }));
  EXPECT_EQ(e.SetDpiLinked(1, false), EditResult::Done);
  EXPECT_EQ(Shown().UseDiffentXY[1], 1);
  EXPECT_FALSE(controller->DpiPage.Levels[1].Linked);
  EXPECT_EQ(e.SetDpiLinked(1, true), EditResult::Done);
  EXPECT_EQ(Shown().UseDiffentXY[1], 0);
  EXPECT_EQ(e.SetDpiLinked(11, true), EditResult::Refused);
  ExpectSavedBack();

  EXPECT_EQ(e.SelectDpiLevel(3), EditResult::Done);
  EXPECT_EQ(controller->DpiPage.HighlightedLevel, 3);
  EXPECT_EQ(controller->EditedDPILevel, 3);
  EXPECT_EQ(e.SelectDpiLevel(-1), EditResult::Refused);
  // An edit keeps the highlight where the user put it.
  e.SetDpiLevelValue(0, DpiAxis::X, 500);
  EXPECT_EQ(controller->DpiPage.HighlightedLevel, 3);

  for (std::int32_t rate : {250, 1000, 125, 500}) {
    EXPECT_EQ(e.SetReportRate(rate), EditResult::Done);
    EXPECT_EQ(Shown().ReportRate, rate);
  }
  EXPECT_EQ(controller->AdvancedPage.ReportRateRadio, 2);
  for (std::int32_t rate : {300, 0, -125, 2000})
    EXPECT_EQ(e.SetReportRate(rate), EditResult::Refused);
  EXPECT_EQ(Shown().ReportRate, 500);
  ExpectSavedBack();
}

TEST(ShownApplyParams, SpeedAsTheSliderHoldsItTheRestAsStored) {
  struct Row {
    const char* why;
    std::uint16_t speed, lines, acceleration;
    std::int32_t trails;
    TMouseApplyParams expected;
  } rows[] = {
      {"speed 0 is the slider's lowest", 0, 3, 0, 0, {1, 3, 0, 0}},
      {"speed 1", 1, 3, 0, 0, {1, 3, 0, 0}},
      {"speed 11", 11, 3, 0, 0, {11, 3, 0, 0}},
      {"speed 15 is the slider's highest", 15, 3, 0, 0, {11, 3, 0, 0}},
      {"speed 20", 20, 3, 0, 0, {11, 3, 0, 0}},
      {"speed 65535", 65535, 3, 0, 0, {11, 3, 0, 0}},
      {"one page", 5, 20, 0, 0, {5, 20, 0, 0}},
      {"lines 0 left for the apply to refuse", 5, 0, 0, 0, {5, 0, 0, 0}},
      {"lines beyond one page", 5, 65535, 0, 0, {5, 65535, 0, 0}},
      {"acceleration 3", 5, 3, 3, 0, {5, 3, 3, 0}},
      {"acceleration 9 left for the apply to refuse", 5, 3, 9, 0, {5, 3, 9, 0}},
      {"trails 5", 5, 3, 0, 5, {5, 3, 0, 5}},
      {"trails -1", 5, 3, 0, -1, {5, 3, 0, -1}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    auto p = ProfileWith([&](TMOUSECONFIGINFO& c) {
      c.PointerSpeed = r.speed;
      c.VWheelSpeed = r.lines;
      c.PointerAcceleration = r.acceleration;
      c.DisplayPointerTrails = r.trails;
    });
    const TMouseApplyParams got = ShownApplyParams(*p);
    EXPECT_EQ(got.PointerSpeed, r.expected.PointerSpeed);
    EXPECT_EQ(got.VWheelSpeed, r.expected.VWheelSpeed);
    EXPECT_EQ(got.PointerAcceleration, r.expected.PointerAcceleration);
    EXPECT_EQ(got.DisplayPointerTrails, r.expected.DisplayPointerTrails);
  }
}

// ---- pointer ----

struct PointerRow {
  const char* why;
  std::function<EditResult(PageEditor&)> edit;
  EditResult result;
  std::uint16_t lines;      // VWheelSpeed afterwards
  std::int32_t applySpeed;  // MouseApplyParams afterwards
  std::int32_t applyAcc, applyTrails;
  Strings effects;  // double-click times set
};

TEST_F(PageEditsTest, PointerEditsStoreTheScrollChoiceEveryTimeAndFeedTheNextApply) {
  const PointerRow rows[] = {
      {"one page",
       [](PageEditor& e) { return e.SetScrollOnePage(true); },
       EditResult::Done,
       20,
       11,
       0,
       0,
       {}},
      {"lines box",
       [](PageEditor& e) { return e.SetScrollLines(7); },
       EditResult::Done,
       7,
       11,
       0,
       0,
       {}},
      {"lines 20 is not a box value",
       [](PageEditor& e) { return e.SetScrollLines(20); },
       EditResult::Refused,
       3,
       11,
       0,
       0,
       {}},
      {"lines 0",
       [](PageEditor& e) { return e.SetScrollLines(0); },
       EditResult::Refused,
       3,
       11,
       0,
       0,
       {}},
      {"double-click 7 sets 500 ms at once",
       [](PageEditor& e) { return e.SetDoubleClickSpeed(7); },
       EditResult::Done,
       3,
       11,
       0,
       0,
       {"doubleclick 500"}},
      {"double-click 1",
       [](PageEditor& e) { return e.SetDoubleClickSpeed(1); },
       EditResult::Done,
       3,
       11,
       0,
       0,
       {"doubleclick 1100"}},
      {"double-click 10",
       [](PageEditor& e) { return e.SetDoubleClickSpeed(10); },
       EditResult::Done,
       3,
       11,
       0,
       0,
       {"doubleclick 200"}},
      {"double-click 11 touches nothing",
       [](PageEditor& e) { return e.SetDoubleClickSpeed(11); },
       EditResult::Refused,
       3,
       11,
       0,
       0,
       {}},
      {"speed",
       [](PageEditor& e) { return e.SetPointerSpeed(4); },
       EditResult::Done,
       3,
       4,
       0,
       0,
       {}},
      {"speed 12",
       [](PageEditor& e) { return e.SetPointerSpeed(12); },
       EditResult::Refused,
       3,
       11,
       0,
       0,
       {}},
      {"acceleration",
       [](PageEditor& e) { return e.SetAcceleration(true); },
       EditResult::Done,
       3,
       11,
       1,
       0,
       {}},
      {"trails",
       [](PageEditor& e) { return e.SetPointerTrails(true); },
       EditResult::Done,
       3,
       11,
       0,
       5,
       {}},
      {"volume",
       [](PageEditor& e) { return e.SetFeedbackVolume(10); },
       EditResult::Done,
       3,
       11,
       0,
       0,
       {}},
      {"volume 0",
       [](PageEditor& e) { return e.SetFeedbackVolume(0); },
       EditResult::Refused,
       3,
       11,
       0,
       0,
       {}},
  };
  for (const PointerRow& r : rows) {
    SCOPED_TRACE(r.why);
    // Stored speed 15 is shown as 11; stored acceleration 2 and trails 9 stay until edited.
    auto& e = StartWith(*ProfileWith([](TMOUSECONFIGINFO& c) {
      c.VWheelSpeed = 3;
      c.PointerSpeed = 15;
      c.PointerAcceleration = 0;
      c.DisplayPointerTrails = 0;
    }));
    const auto before = BytesOf(dm->FCurrentProfileInfo);
    EXPECT_EQ(r.edit(e), r.result);
    EXPECT_EQ(Shown().VWheelSpeed, r.lines);
    EXPECT_EQ(controller->MouseApplyParams.VWheelSpeed, r.lines);
    EXPECT_EQ(controller->MouseApplyParams.PointerSpeed, r.applySpeed);
    EXPECT_EQ(controller->MouseApplyParams.PointerAcceleration, r.applyAcc);
    EXPECT_EQ(controller->MouseApplyParams.DisplayPointerTrails, r.applyTrails);
    EXPECT_EQ(log.With("doubleclick"), r.effects);
    EXPECT_FALSE(controller->SettingsChanged) << "pointer edits do not mark the window";
    if (r.result == EditResult::Done)
      ExpectSavedBack();
    else
      EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), before);
    log.Clear();
  }
}

TEST_F(PageEditsTest, TheLinesBoxIsClosedWhileOnePageIsChosen) {
  auto& e = StartWith(*ProfileWith([](TMOUSECONFIGINFO& c) { c.VWheelSpeed = 20; }));
  EXPECT_EQ(e.SetScrollLines(5), EditResult::Refused);
  EXPECT_EQ(e.SetScrollOnePage(false), EditResult::Done);
  EXPECT_TRUE(controller->PointerPage.ScrollLinesEnabled);
  EXPECT_EQ(Shown().VWheelSpeed, 3) << "the box keeps its last value";
  EXPECT_EQ(e.SetScrollLines(5), EditResult::Done);
  EXPECT_EQ(Shown().VWheelSpeed, 5);
}

TEST_F(PageEditsTest, FeedbackBoxesMarkTheWindowAndWaitForTheNextSave) {
  auto& e = StartWith(*ProfileWith([](TMOUSECONFIGINFO& c) {
    c.FeedBackSetting.DPI_Changed = 0;
    c.FeedBackSetting.PROFILE_Changed = 1;
  }));
  const auto stream = Stream(1);
  EXPECT_EQ(e.SetFeedbackDpiChange(true), EditResult::Done);
  EXPECT_EQ(e.SetFeedbackProfileSwitch(false), EditResult::Done);
  EXPECT_EQ(Shown().FeedBackSetting.DPI_Changed, 1);
  EXPECT_EQ(Shown().FeedBackSetting.PROFILE_Changed, 0);
  EXPECT_TRUE(controller->SettingsChanged);
  EXPECT_EQ(Stream(1), stream);
}

// ---- lighting ----

TEST_F(PageEditsTest, ColourEditsCollapseIntoOneDeferredWriteOfTheLastColour) {
  auto& e = StartWith(*ProfileWith([](TMOUSECONFIGINFO& c) { c.LEDConfig = {1, 2, 3, 3, 0, 0}; }));
  EXPECT_EQ(e.SetColour(0xFF, 0x80, 0x00), EditResult::Done);
  EXPECT_EQ(e.SetColourPercent(0, 50), EditResult::Done);
  EXPECT_EQ(e.SetColourPercent(2, 100), EditResult::Done);
  EXPECT_TRUE(log.With("device").empty()) << "nothing before the deferral";
  EXPECT_EQ(log.With("timer").size(), 3u);
  // The panel gave FF 80 00 = 100 % 50 % 0 %; red typed as 50 %, blue as 100 %.
  EXPECT_EQ(Shown().LEDConfig.R, 127);
  EXPECT_EQ(Shown().LEDConfig.G, 127);
  EXPECT_EQ(Shown().LEDConfig.B, 255);
  EXPECT_EQ(controller->LightingPage.Percent, (std::array<std::int32_t, 3>{50, 50, 100}));
  EXPECT_TRUE(controller->SettingsChanged);
  ExpectSavedBack();
  controller->TimerDoActionTimer();
  EXPECT_EQ(log.With("device"), (Strings{"device:led 1 127 127 255"}));

  for (auto [channel, percent] :
       {std::pair{3, 50}, {-1, 50}, {0, 101}, {1, -1}, {2, 2147483647}, {0, -2147483647 - 1}})
    EXPECT_EQ(e.SetColourPercent(channel, percent), EditResult::Refused);
}

TEST_F(PageEditsTest, LightingSettingsAreWrittenAtOnce) {
  auto& e = StartWith(*ProfileWith([](TMOUSECONFIGINFO& c) {
    c.BreathingOnOff = 1;
    c.LEDConfig = {10, 20, 30, 2, 6, 4};
    c.WheelLedOnOff = 0;
  }));
  EXPECT_EQ(e.SetBreathing(false), EditResult::Done);
  EXPECT_EQ(Shown().BreathingOnOff, 0);
  EXPECT_EQ(Shown().LEDConfig.BREATH_SPEED, 0);
  EXPECT_EQ(e.SetBreathSpeed(4), EditResult::Refused) << "the slider is off with breathing";
  EXPECT_EQ(e.SetBreathing(true), EditResult::Done);
  EXPECT_EQ(Shown().LEDConfig.BREATH_SPEED, 6) << "the slider's position comes back";
  EXPECT_EQ(e.SetBreathSpeed(9), EditResult::Done);
  EXPECT_EQ(e.SetBreathSpeed(10), EditResult::Refused);
  EXPECT_EQ(e.SetWheelLed(true), EditResult::Done);
  EXPECT_EQ(e.SetBrightness(0), EditResult::Done);
  EXPECT_EQ(e.SetBrightness(4), EditResult::Refused);
  EXPECT_EQ(log.With("device").size(), 5u);
  EXPECT_TRUE(log.With("timer").empty());
  EXPECT_EQ(Shown().LEDConfig.BREATH_SPEED, 9);
  EXPECT_EQ(Shown().LEDConfig.BRIGHT_LEVEL, 0);
  EXPECT_EQ(Shown().LEDConfig.BREATH_SECOND, 4) << "never changed";
  EXPECT_EQ(Shown().WheelLedOnOff, 1);
  EXPECT_FALSE(controller->SettingsChanged);
  ExpectSavedBack();
}

TEST_F(PageEditsTest, NothingRunsBeforeTheWindowIsMadeOrOnceItEnds) {
  auto& e = StartWith(*ProfileWith([](TMOUSECONFIGINFO&) {}), /*create=*/false);
  const auto before = BytesOf(dm->FCurrentProfileInfo);
  const std::function<EditResult(PageEditor&)> edits[] = {
      [](PageEditor& e) { return e.SetDpiLevelValue(0, DpiAxis::X, 800); },
      [](PageEditor& e) { return e.SetDpiLevelEnabled(1, false); },
      [](PageEditor& e) { return e.SetReportRate(250); },
      [](PageEditor& e) { return e.SetDoubleClickSpeed(3); },
      [](PageEditor& e) { return e.SetColour(1, 2, 3); },
      [](PageEditor& e) { return e.SetBrightness(1); },
      [](PageEditor& e) { return e.SetScrollOnePage(true); },
  };
  for (const auto& edit : edits) EXPECT_EQ(edit(e), EditResult::Ignored);
  EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), before);
  EXPECT_TRUE(log.With("device").empty());
  EXPECT_TRUE(log.With("doubleclick").empty());

  controller->FormCreate();
  controller->BtnCloseClick();
  log.Clear();
  for (const auto& edit : edits) EXPECT_EQ(edit(e), EditResult::Ignored);
  EXPECT_EQ(e.SetDpiLinked(0, false), EditResult::Ignored);
  EXPECT_EQ(e.SetFeedbackDpiChange(true), EditResult::Ignored);
  EXPECT_TRUE(log.Entries().empty());
}

}  // namespace
}  // namespace quarn::testing
