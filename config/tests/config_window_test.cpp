// Creation, display-only refresh, profile buttons, pages and the window's
// small duties.
#include <gtest/gtest.h>

#include <limits>

#include "config_fixture.h"
#include "text_field.h"

namespace quarn::testing {
namespace {

using Strings = std::vector<std::string>;

class ConfigWindowTest : public ConfigFixture {};

TEST_F(ConfigWindowTest, CreationTellsNothingToTheMouseAndStartsAMissingMonitorLast) {
  StoreCurrentIndex(3);
  monitor.running = false;
  auto& c = Start(false);
  c.OnFillLanguageBox = [this] { log.Add("language:fill"); };
  c.OnApplyLanguageAndBranding = [this] { log.Add("language:apply"); };
  log.Clear();
  c.FormCreate();
  EXPECT_EQ(log.Entries(), (Strings{"language:fill", "language:apply", "captions",
                                    "monitor:activate", "monitor:start"}));
  EXPECT_FALSE(c.SettingsChanged);
  EXPECT_TRUE(c.FFinishedInitlizing);
  EXPECT_EQ(c.EditedDPILevel, 0);
  EXPECT_FALSE(timer.running);
  EXPECT_EQ(c.ProfileButtonsPressed(), (std::array<bool, 5>{false, false, false, true, false}));
  EXPECT_EQ(c.PageIndex(), 0);
  EXPECT_EQ(c.FProfilePath, kData);
  EXPECT_EQ(c.MouseApplyParams.PointerSpeed, 10);
  EXPECT_EQ(c.MouseApplyParams.VWheelSpeed, 3);
  // Each profile has its own colour; the one kept is the shown profile's.
  EXPECT_EQ(c.FPreSavedLedConfig.R, dm->FCurrentProfileInfo.ConfigInfo.LEDConfig.R);
  EXPECT_EQ(c.FPreSavedLedConfig.G, dm->FCurrentProfileInfo.ConfigInfo.LEDConfig.G);
}

TEST_F(ConfigWindowTest, ARunningMonitorIsBroughtForwardNotStartedAgain) {
  monitor.running = true;
  Start(false);
  controller->FormCreate();
  EXPECT_EQ(log.With("monitor"), (Strings{"monitor:activate"}));
}

// Profiles whose values no control can show as they are. Showing them, by any
// route, must leave every stored and in-memory byte as it was.
struct OddProfile {
  const char* name;
  std::function<void(TMOUSECONFIGINFO&)> edit;
  TMouseApplyParams apply;  // what the next apply hands to Windows
  std::function<void(const ConfigMainController&)> shown;
};
void PrintTo(const OddProfile& row, std::ostream* os) {
  *os << row.name;
}

class RefreshOnlyDisplays : public ConfigFixture,
                            public ::testing::WithParamInterface<OddProfile> {};

TEST_P(RefreshOnlyDisplays, NoRouteOfShowingAProfileChangesAByte) {
  const OddProfile& row = GetParam();
  // Slot 2 holds the odd profile; the others hold every byte distinct.
  for (int s = 0; s < 5; ++s) {
    if (s == 2)
      StoreProfile(s, *ProfileWith(row.edit));
    else
      StoreProfile(s, *PatternProfile(static_cast<std::uint8_t>(s * 40 + 1)));
  }
  StoreCurrentIndex(2);
  auto& c = Start();
  std::vector<std::vector<std::uint8_t>> streams, files;
  for (int s = 0; s < 5; ++s) {
    streams.push_back(Stream(s));
    files.push_back(StoredFile(s));
  }
  const auto current = BytesOf(dm->FCurrentProfileInfo);
  ASSERT_EQ(std::vector<std::uint8_t>(streams[2].begin(), streams[2].begin() + current.size()),
            current);

  // Shown at creation, then after another profile, by a refresh, by the
  // monitor, after a reload and after a reset that was declined.
  EXPECT_EQ(c.MouseApplyParams.PointerSpeed, row.apply.PointerSpeed) << "at creation";
  c.BtnProfileClick(0);
  c.BtnProfileClick(2);
  c.RefreshAllControls();
  c.WMProfileSwitched(4);
  c.WMProfileSwitched(2);
  c.WMReloadCurrentProfile();
  dialogs.answer = 2;
  c.BSBTNRESTOREDEFAULTSClick();
  c.TimerDoActionTimer();

  for (int s = 0; s < 5; ++s) {
    EXPECT_EQ(Stream(s), streams[s]) << "stream of slot " << s;
    EXPECT_EQ(StoredFile(s), files[s]) << "file of slot " << s;
  }
  EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), current);
  // The monitor's switches store the current index, nothing else.
  for (const auto& w : StoreWrites()) EXPECT_EQ(w, "reg:zykPROFILE.pfd");

  EXPECT_EQ(c.MouseApplyParams.PointerSpeed, row.apply.PointerSpeed);
  EXPECT_EQ(c.MouseApplyParams.VWheelSpeed, row.apply.VWheelSpeed);
  EXPECT_EQ(c.MouseApplyParams.PointerAcceleration, row.apply.PointerAcceleration);
  EXPECT_EQ(c.MouseApplyParams.DisplayPointerTrails, row.apply.DisplayPointerTrails);
  if (row.shown) row.shown(c);
}

const OddProfile kOddProfiles[] = {
    {"DpiOffTheSliderStep",
     [](TMOUSECONFIGINFO& c) { c.CPIState[2].X = c.CPIState[2].Y = 1750; },
     {10, 3, 0, 0},
     [](const ConfigMainController& c) {
       EXPECT_EQ(c.DpiPage.Levels[2].X, 1750);
       EXPECT_EQ(c.DpiPage.Levels[2].SliderX, 1800);
     }},
    {"LinkedLevelWithXUnlikeY",
     [](TMOUSECONFIGINFO& c) {
       c.UseDiffentXY[1] = 0;
       c.CPIState[1].X = 800;
       c.CPIState[1].Y = 1600;
     },
     {10, 3, 0, 0},
     [](const ConfigMainController& c) {
       EXPECT_TRUE(c.DpiPage.Levels[1].Linked);
       EXPECT_EQ(c.DpiPage.Levels[1].X, 800);
       EXPECT_EQ(c.DpiPage.Levels[1].Y, 1600);
     }},
    {"LevelEnabledByAnOddValue",
     [](TMOUSECONFIGINFO& c) { c.CPIState[0].Enabled = 2; },
     {10, 3, 0, 0},
     [](const ConfigMainController& c) {
       EXPECT_FALSE(c.DpiPage.Levels[0].LookEnabled);
       EXPECT_TRUE(c.DpiPage.Levels[0].BoxesEnabled);
     }},
    {"ReportRateNoRadioHas",
     [](TMOUSECONFIGINFO& c) { c.ReportRate = 300; },
     {10, 3, 0, 0},
     [](const ConfigMainController& c) { EXPECT_EQ(c.AdvancedPage.ReportRateRadio, 0); }},
    {"BreathingOffWithSpeedZero",
     [](TMOUSECONFIGINFO& c) {
       c.BreathingOnOff = 0;
       c.LEDConfig.BREATH_SPEED = 0;
     },
     {10, 3, 0, 0},
     [](const ConfigMainController& c) {
       EXPECT_FALSE(c.LightingPage.BreathingOn);
       EXPECT_FALSE(c.LightingPage.BreathSpeedEnabled);
       EXPECT_EQ(c.LightingPage.BreathSpeed, 1);
     }},
    {"BrightnessBeyondFull",
     [](TMOUSECONFIGINFO& c) { c.LEDConfig.BRIGHT_LEVEL = 7; },
     {10, 3, 0, 0},
     [](const ConfigMainController& c) { EXPECT_EQ(c.LightingPage.BrightnessRadio, 3); }},
    {"PointerSpeedAboveTheSlider",
     [](TMOUSECONFIGINFO& c) { c.PointerSpeed = 15; },
     {11, 3, 0, 0},
     [](const ConfigMainController& c) { EXPECT_EQ(c.PointerPage.PointerSpeed, 11); }},
    {"WheelLinesZero",
     [](TMOUSECONFIGINFO& c) { c.VWheelSpeed = 0; },
     {10, 0, 0, 0},
     [](const ConfigMainController& c) { EXPECT_FALSE(c.PointerPage.ScrollOnePage); }},
    {"WheelOnePage",
     [](TMOUSECONFIGINFO& c) { c.VWheelSpeed = 20; },
     {10, 20, 0, 0},
     [](const ConfigMainController& c) {
       EXPECT_TRUE(c.PointerPage.ScrollOnePage);
       EXPECT_FALSE(c.PointerPage.ScrollLinesEnabled);
     }},
    {"StoredAccelerationAndTrails",
     [](TMOUSECONFIGINFO& c) {
       c.PointerAcceleration = 2;
       c.DisplayPointerTrails = 5;
       c.FeedBackSetting.Volumn = 0;
     },
     {10, 3, 2, 5},
     [](const ConfigMainController& c) {
       EXPECT_TRUE(c.PointerPage.Acceleration);
       EXPECT_TRUE(c.PointerPage.PointerTrails);
       EXPECT_EQ(c.AdvancedPage.FeedbackVolume, 1);
     }},
    {"ColourNotOnAPercentStep",
     [](TMOUSECONFIGINFO& c) {
       c.LEDConfig.R = 0x80;
       c.LEDConfig.G = 1;
       c.LEDConfig.B = 254;
     },
     {10, 3, 0, 0},
     [](const ConfigMainController& c) {
       EXPECT_EQ(c.LightingPage.Percent, (std::array<std::int32_t, 3>{50, 0, 99}));
       EXPECT_EQ(c.LightingPage.R, 0x80);
     }},
};

INSTANTIATE_TEST_SUITE_P(Odd, RefreshOnlyDisplays, ::testing::ValuesIn(kOddProfiles),
                         [](const auto& info) { return std::string(info.param.name); });

class ProfileButtons : public ConfigFixture, public ::testing::WithParamInterface<int> {};

TEST_P(ProfileButtons, AClickShowsThatProfileStoresNothingAndLightsTheMouseLater) {
  const int tag = GetParam();
  auto& c = Start();
  const auto beforeValue = StoredValue(u"zykPROFILE.pfd");
  c.BtnProfileClick(tag);
  std::array<bool, 5> pressed{};
  pressed[tag] = true;
  EXPECT_EQ(c.ProfileButtonsPressed(), pressed);
  EXPECT_EQ(dm->FProfileIndex, tag);
  EXPECT_EQ(dm->FAllProfileSettingInfo.CurrentProfileIndex, tag);
  EXPECT_TRUE(StoreWrites().empty());
  EXPECT_EQ(StoredValue(u"zykPROFILE.pfd"), beforeValue);
  EXPECT_TRUE(log.With("monitor").empty());
  // The lighting goes to the mouse when the timer fires, not before.
  EXPECT_TRUE(log.With("device").empty());
  EXPECT_EQ(log.With("timer"), (Strings{"timer:start 200"}));
  c.TimerDoActionTimer();
  const auto& led = dm->FCurrentProfileInfo.ConfigInfo.LEDConfig;
  EXPECT_EQ(log.With("device"),
            (Strings{"device:led " + std::to_string(tag) + " " + std::to_string(led.R) + " " +
                     std::to_string(led.G) + " " + std::to_string(led.B)}));
  EXPECT_FALSE(timer.running);
  EXPECT_EQ(c.FPreSavedLedConfig.R, led.R);
  EXPECT_EQ(c.FPreSavedLedConfig.B, led.B);
}

INSTANTIATE_TEST_SUITE_P(Tags, ProfileButtons, ::testing::Range(0, 5));

TEST_F(ConfigWindowTest, ProfileButtonTagsOutsideTheFiveChangeNothing) {
  auto& c = Start();
  c.BtnProfileClick(1);
  log.Clear();
  for (int tag : {-1, 5, 6, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
    c.BtnProfileClick(tag);
    EXPECT_EQ(dm->FProfileIndex, 1) << tag;
  }
  EXPECT_TRUE(log.Entries().empty());
  EXPECT_EQ(c.ProfileButtonsPressed(), (std::array<bool, 5>{false, true, false, false, false}));
}

TEST_F(ConfigWindowTest, ManyColourChangesGiveOneWriteOfTheLastProfile) {
  auto& c = Start();
  for (int tag : {1, 2, 3, 4, 3}) c.BtnProfileClick(tag);
  EXPECT_EQ(log.With("timer").size(), 5u);
  c.TimerDoActionTimer();
  c.TimerDoActionTimer();  // a late tick finds nothing to do
  ASSERT_EQ(log.With("device").size(), 1u);
  EXPECT_EQ(log.With("device")[0].rfind("device:led 3 ", 0), 0u);
}

TEST_F(ConfigWindowTest, PagesOutsideTheFiveAreIgnored) {
  auto& c = Start();
  c.SelectPage(3);
  for (int page : {-1, 5, 100}) c.SelectPage(page);
  EXPECT_EQ(c.PageIndex(), 3);
  EXPECT_EQ(c.PageButtonsPressed(), (std::array<bool, 5>{false, false, false, true, false}));
}

TEST_F(ConfigWindowTest, OptionsRectangleIsTheOptionsAreaOnTheScreen) {
  auto& c = Start();
  struct Row {
    std::int32_t x, y;
    ScreenRect expected;
  } rows[] = {
      {0, 0, {660, 119, 984, 590}},
      {100, 50, {760, 169, 1084, 640}},
      {-2000, -300, {-1340, -181, -1016, 290}},
      // A window far off the screen does not wrap around.
      {std::numeric_limits<std::int32_t>::max() - 700,
       0,
       {std::numeric_limits<std::int32_t>::max() - 40, 119,
        std::numeric_limits<std::int32_t>::max(), 590}},
  };
  for (const Row& r : rows) {
    window.originX = r.x;
    window.originY = r.y;
    EXPECT_EQ(c.GetOptionsShowRect(), r.expected) << r.x << "," << r.y;
  }
}

TEST_F(ConfigWindowTest, MinimiseActivationAndClose) {
  auto& c = Start();
  c.BSBTNMINClick();
  c.WindowActivated(false);
  c.WindowActivated(true);
  EXPECT_EQ(log.Entries(), (Strings{"window:post 274 61472 0", "window:restore"}));
  log.Clear();
  c.BtnProfileClick(1);  // a lighting write pending
  log.Clear();
  c.BtnCloseClick();
  // Nothing saved or asked; the pending lighting goes out before the window.
  EXPECT_EQ(log.Entries()[0].rfind("device:led 1", 0), 0u);
  EXPECT_EQ(log.Entries().back(), "window:close");
  EXPECT_TRUE(StoreWrites().empty());
  EXPECT_TRUE(dialogs.calls.empty());
  c.BtnProfileClick(2);  // after the end nothing acts
  c.BtnCloseClick();
  EXPECT_EQ(log.With("window:close").size(), 1u);
  EXPECT_EQ(dm->FProfileIndex, 1);
}

TEST(StripImages, EachEventShowsItsPicture) {
  using E = StripEvent;
  EXPECT_EQ(ConfigMainController::StripImage(E::Enter, u"BTNOK"), u"BTNOK-D.png");
  EXPECT_EQ(ConfigMainController::StripImage(E::Down, u"BTNAPPLY"), u"BTNAPPLY-D.png");
  EXPECT_EQ(ConfigMainController::StripImage(E::Leave, u"BTNCANCEL"), u"OKCANCELAPPLY-N.png");
  EXPECT_EQ(ConfigMainController::StripImage(E::Up, u"BTNOK"), u"OKCANCELAPPLY-O.png");
}

}  // namespace
}  // namespace quarn::testing
