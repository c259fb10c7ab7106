// The apply behind OK and APPLY, CANCEL, RESET and the Windows mouse settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "config_fixture.h"
#include "mouse_apply_params.h"
#include "serial_worker.h"
#include "text_field.h"
#include "window_messages.h"

namespace quarn::testing {
namespace {

using Strings = std::vector<std::string>;

// Every write of an apply, in order, for current profile index `current`.
Strings ApplyWrites(int current) {
  const auto name = [](int s) { return Narrow(SlotFileName(s)); };
  Strings r{"reg:zykPROFILE.pfd", "reg:" + name(current), "file:" + name(current)};
  for (int s = 0; s < 5; ++s) r.push_back("file:" + name(s));
  for (int s = 0; s < 5; ++s) r.push_back("reg:" + name(s));
  r.push_back("reg:zykProfileSettingGroup.pfd");
  r.push_back("worker:post");
  r.push_back("monitor:send 7035 0 0");
  return r;
}

class ApplyTest : public ConfigFixture {};

TEST_F(ApplyTest, EverythingIsWrittenBeforeTheWorkerAndTheMonitorHearOfIt) {
  auto& c = Start();
  c.BtnProfileClick(3);
  dm->FCurrentProfileInfo.ConfigInfo.PointerSpeed = 7;  // an edit of the shown profile
  dm->SaveBackToCurrentProfileInfo();
  c.MarkSettingsChanged();
  log.Clear();
  // The monitor reads the stored current index when it hears of the apply.
  std::vector<std::uint8_t> seenByMonitor;
  monitor.onSend = [&](std::uint32_t m) {
    if (m == WM_SETTINGS_APPLIED) seenByMonitor = StoredValue(u"zykPROFILE.pfd");
  };
  EXPECT_TRUE(c.ApplySettings());
  EXPECT_EQ(log.Entries(), ApplyWrites(3));
  EXPECT_FALSE(c.SettingsChanged);
  ASSERT_GE(seenByMonitor.size(), 30956u);
  EXPECT_EQ(seenByMonitor[30952], 3);
  // What is stored is what the data module holds, byte for byte.
  for (int s = 0; s < 5; ++s) {
    EXPECT_EQ(StoredFile(s), Stream(s)) << s;
    EXPECT_EQ(StoredValue(SlotFileName(s)), Stream(s)) << s;
  }
  auto edited = std::make_unique<TMouseProfileInfo>();
  const auto file = StoredFile(3);
  ASSERT_EQ(file.size(), sizeof *edited);
  std::memcpy(edited.get(), file.data(), file.size());
  EXPECT_EQ(edited->ConfigInfo.PointerSpeed, 7);
}

TEST_F(ApplyTest, AnApplyWithoutEditsStillWritesAndTellsTheMonitor) {
  auto& c = Start();
  EXPECT_TRUE(c.ApplySettings());
  EXPECT_TRUE(c.ApplySettings());
  auto twice = ApplyWrites(0);
  const auto once = twice;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(log.Entries(), twice);
}

TEST_F(ApplyTest, ASlotWithoutAFolderIsWrittenToTheRegistryOnly) {
  auto group = std::make_unique<TProfileSettingGroup>();
  std::memset(group.get(), 0, sizeof *group);
  RestoreSettingGroupDefaults(*group, kData);
  group->ProfileSettingList[1].StorageType = STORAGE_REGISTRY;
  WriteText(group->ProfileSettingList[1].FilePath, u"");
  memRegistry.Put(kHKeyCurrentUser, kKey, u"zykProfileSettingGroup.pfd", BytesOf(*group));
  auto& c = Start();
  EXPECT_TRUE(c.ApplySettings());
  auto expected = ApplyWrites(0);
  expected.erase(std::find(expected.begin(), expected.end(), "file:zykProfile2.pfd"));
  EXPECT_EQ(log.Entries(), expected);
  EXPECT_EQ(memFiles.Get(ProfileFile(1)), nullptr);
  EXPECT_EQ(StoredValue(u"zykProfile2.pfd"), Stream(1));
}

struct FailureCase {
  const char* name;
  std::function<void(ConfigFixture&)> breakStore;
};
void PrintTo(const FailureCase& row, std::ostream* os) {
  *os << row.name;
}

class ApplyFailureTest : public ConfigFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ApplyFailureTest, AFailedWriteIsReportedTheMonitorStillReloadsAndOkKeepsTheWindow) {
  auto& c = Start();
  c.MarkSettingsChanged();
  GetParam().breakStore(*this);
  log.Clear();
  c.OnMainButtonClick(ConfigMainController::kOk);
  // The whole sequence ran, the monitor was told, then the user was.
  const auto entries = log.Entries();
  const int send = log.IndexOf("monitor:send 7035");
  const int note = log.IndexOf("dialog:note");
  ASSERT_GE(send, 0);
  ASSERT_GT(note, send);
  EXPECT_EQ(log.IndexOf("window:close"), -1);
  ASSERT_EQ(dialogs.calls.size(), 1u);
  EXPECT_EQ(dialogs.calls[0].text, u"The settings could not be saved.");
  EXPECT_EQ(dialogs.calls[0].title, u"Warning");
  EXPECT_TRUE(dialogs.calls[0].warning);
  EXPECT_TRUE(c.SettingsChanged);
  EXPECT_FALSE(c.Ending());

  // APPLY reports it too; once the store works again, OK closes.
  log.Clear();
  c.OnMainButtonClick(ConfigMainController::kApply);
  EXPECT_EQ(dialogs.calls.size(), 2u);
  memRegistry.unavailable.clear();
  memFiles.readOnly.clear();
  memFiles.AddFolder(kData);
  log.Clear();
  c.OnMainButtonClick(ConfigMainController::kOk);
  EXPECT_EQ(dialogs.calls.size(), 2u);
  EXPECT_EQ(log.Entries().back(), "window:close");
  EXPECT_FALSE(c.SettingsChanged);
}

const FailureCase kFailures[] = {
    {"RegistryKeyUnavailable",
     [](ConfigFixture& f) { f.memRegistry.unavailable.insert(Fold(kKey)); }},
    {"OneProfileFileReadOnly",
     [](ConfigFixture& f) { f.memFiles.readOnly.insert(Fold(ProfileFile(4))); }},
    {"DataFolderGone", [](ConfigFixture& f) { f.memFiles.folders.erase(Fold(kData)); }},
};

INSTANTIATE_TEST_SUITE_P(Stores, ApplyFailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApplyTest, OkAppliesWaitsForTheWorkerAndCloses) {
  auto& c = Start();
  c.OnMainButtonClick(ConfigMainController::kOk);
  auto expected = ApplyWrites(0);
  for (const char* e : {"worker:wait 3000", "spi:mouse 0 0 0", "spi:speed 10", "spi:lines 3",
                        "spi:trails 0", "window:close"})
    expected.push_back(e);
  EXPECT_EQ(log.Entries(), expected);
  EXPECT_TRUE(c.Ending());
}

TEST_F(ApplyTest, CancelClosesWithoutSavingOrAsking) {
  auto& c = Start();
  c.MarkSettingsChanged();
  c.OnMainButtonClick(ConfigMainController::kCancel);
  EXPECT_EQ(log.Entries(), (Strings{"worker:wait 3000", "window:close"}));
  EXPECT_TRUE(dialogs.calls.empty());
}

TEST_F(ApplyTest, ApplyKeepsTheWindowAndUnknownTagsDoNothing) {
  auto& c = Start();
  for (int tag : {-1, 3, 99}) c.OnMainButtonClick(tag);
  EXPECT_TRUE(log.Entries().empty());
  c.OnMainButtonClick(ConfigMainController::kApply);
  EXPECT_EQ(log.Entries(), ApplyWrites(0));
}

TEST_F(ApplyTest, TheWorkerGetsTheValuesOfItsOwnApply) {
  auto& c = Start();
  c.MouseApplyParams = {4, 20, 2, 5};
  c.ApplySettings();
  c.MouseApplyParams = {9, 1, 1, 0};  // a later edit
  log.Clear();
  worker.RunAll();
  EXPECT_EQ(log.Entries(),
            (Strings{"spi:mouse 4 6 2", "spi:speed 4", "spi:lines 20", "spi:trails 5"}));
}

TEST_F(ApplyTest, OverlappingAppliesRunInOrderAndTheLastValuesStay) {
  SerialWorker real;
  Start();
  ConfigMainController c(*dm, ConfigSeams{monitor, mouseSettings, real, device, timer, dialogs,
                                          window, checked, nullptr});
  int job = 0;
  mouseSettings.beforeEachJob = [&] {
    // The first job is slow: the second is posted while it runs.
    if (job++ == 0) std::this_thread::sleep_for(std::chrono::milliseconds(80));
  };
  c.MouseApplyParams = {3, 5, 1, 0};
  c.OnMainButtonClick(ConfigMainController::kApply);
  c.MouseApplyParams = {17, 8, 3, 5};
  c.OnMainButtonClick(ConfigMainController::kApply);
  log.Clear();
  c.OnMainButtonClick(ConfigMainController::kCancel);  // waits for both before the window goes
  EXPECT_EQ(log.With("spi"),
            (Strings{"spi:mouse 7 0 1", "spi:speed 3", "spi:lines 5", "spi:trails 0",
                     "spi:mouse 4 0 1", "spi:speed 17", "spi:lines 8", "spi:trails 5"}));
  EXPECT_EQ(log.Entries().back(), "window:close");
}

struct SettingsCase {
  const char* name;
  TMouseApplyParams params;
  Strings calls;
};
void PrintTo(const SettingsCase& row, std::ostream* os) {
  *os << row.name;
}

class WindowsMouseSettings : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(WindowsMouseSettings, EachValidSettingIsMadeAndOnlyTheInvalidOnesAreSkipped) {
  EventLog log;
  RecordingMouseSettings writer(log);
  const auto& row = GetParam();
  const int skipped = ApplyWindowsMouseSettings(row.params, writer);
  EXPECT_EQ(log.Entries(), row.calls);
  EXPECT_EQ(skipped, 4 - static_cast<int>(row.calls.size()));
}

const SettingsCase kSettings[] = {
    {"Acceleration0",
     {10, 3, 0, 0},
     {"spi:mouse 0 0 0", "spi:speed 10", "spi:lines 3", "spi:trails 0"}},
    {"Acceleration1",
     {1, 1, 1, 5},
     {"spi:mouse 7 0 1", "spi:speed 1", "spi:lines 1", "spi:trails 5"}},
    {"Acceleration2OnePage",
     {11, 20, 2, 0},
     {"spi:mouse 4 6 2", "spi:speed 11", "spi:lines 20", "spi:trails 0"}},
    {"Acceleration3FastestSpeed",
     {20, 19, 3, 0},
     {"spi:mouse 4 0 1", "spi:speed 20", "spi:lines 19", "spi:trails 0"}},
    {"AccelerationBeyondTheTable", {10, 3, 7, 0}, {"spi:speed 10", "spi:lines 3", "spi:trails 0"}},
    {"AccelerationNegative", {10, 3, -1, 0}, {"spi:speed 10", "spi:lines 3", "spi:trails 0"}},
    {"WheelLinesZero", {10, 0, 1, 0}, {"spi:mouse 7 0 1", "spi:speed 10", "spi:trails 0"}},
    {"WheelLinesAbovePage", {10, 21, 1, 0}, {"spi:mouse 7 0 1", "spi:speed 10", "spi:trails 0"}},
    {"SpeedZero", {0, 3, 0, 0}, {"spi:mouse 0 0 0", "spi:lines 3", "spi:trails 0"}},
    {"SpeedAboveTwenty", {21, 3, 0, 0}, {"spi:mouse 0 0 0", "spi:lines 3", "spi:trails 0"}},
    {"TrailsNegative", {10, 3, 0, -1}, {"spi:mouse 0 0 0", "spi:speed 10", "spi:lines 3"}},
    {"AllInvalid", {-5, -5, 4, -5}, {}},
};

INSTANTIATE_TEST_SUITE_P(Table, WindowsMouseSettings, ::testing::ValuesIn(kSettings),
                         [](const auto& info) { return std::string(info.param.name); });

class ResetTest : public ConfigFixture {};

TEST_F(ResetTest, DeclinedResetChangesNothing) {
  for (int s = 0; s < 5; ++s) StoreProfile(s, *PatternProfile(static_cast<std::uint8_t>(s + 3)));
  auto& c = Start();
  window.originX = 100;
  window.originY = 10;
  std::vector<std::vector<std::uint8_t>> before;
  for (int s = 0; s < 5; ++s) before.push_back(Stream(s));
  for (int answer : {2, 0, 3, -1}) {
    dialogs.answer = answer;
    c.BSBTNRESTOREDEFAULTSClick();
  }
  for (int s = 0; s < 5; ++s) EXPECT_EQ(Stream(s), before[s]) << s;
  EXPECT_FALSE(c.SettingsChanged);
  EXPECT_EQ(log.With("dialog").size(), 4u);
  EXPECT_TRUE(log.With("timer").empty());
  ASSERT_FALSE(dialogs.calls.empty());
  const NoteCall& call = dialogs.calls[0];
  EXPECT_EQ(call.title, u"Reset All");
  EXPECT_EQ(call.text, u"Are you sure want to reset all Profiles back to factory settings?");
  EXPECT_EQ(call.text1, u"");
  EXPECT_TRUE(call.warning);
  EXPECT_EQ(call.rect, (ScreenRect{760, 129, 1084, 600}));
}

TEST_F(ResetTest, ConfirmedResetSetsFactoryValuesInMemoryOnly) {
  for (int s = 0; s < 5; ++s) StoreProfile(s, *PatternProfile(static_cast<std::uint8_t>(s + 3)));
  auto& c = Start();
  c.BtnProfileClick(2);
  log.Clear();
  dialogs.answer = 1;
  c.BSBTNRESTOREDEFAULTSClick();
  auto factory = ProfileWith([](TMOUSECONFIGINFO&) {});
  for (int s = 0; s < 5; ++s) {
    auto p = std::make_unique<TMouseProfileInfo>();
    dm->ReadProfileInfo(*p, s);
    const auto& led = p->ConfigInfo.LEDConfig;
    EXPECT_EQ((std::array<int, 3>{led.R, led.G, led.B}), (std::array<int, 3>{255, 0, 0})) << s;
    EXPECT_EQ(p->ConfigInfo.PointerSpeed, factory->ConfigInfo.PointerSpeed) << s;
    EXPECT_EQ(p->ConfigInfo.ReportRate, factory->ConfigInfo.ReportRate) << s;
  }
  EXPECT_TRUE(StoreWrites().empty());
  EXPECT_TRUE(c.SettingsChanged);
  EXPECT_EQ(c.FPreSavedLedConfig.R, 255);
  EXPECT_EQ(c.MouseApplyParams.PointerSpeed, factory->ConfigInfo.PointerSpeed);
  EXPECT_EQ(log.With("timer"), (Strings{"timer:start 200"}));
  c.TimerDoActionTimer();
  EXPECT_EQ(log.With("device"), (Strings{"device:led 2 255 0 0"}));
}

TEST_F(ResetTest, TextsAreTranslated) {
  seams.Translate = [](std::u16string_view t) { return u"[" + std::u16string(t) + u"]"; };
  auto& c = Start();
  c.BSBTNRESTOREDEFAULTSClick();
  ASSERT_EQ(dialogs.calls.size(), 1u);
  EXPECT_EQ(dialogs.calls[0].title, u"[Reset All]");
  EXPECT_EQ(dialogs.calls[0].text1, u"");
}

}  // namespace
}  // namespace quarn::testing
