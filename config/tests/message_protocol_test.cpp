// The messages of the monitor: profile switched, reload, terminate, language;
// untrusted parameters, deferral while a dialog or menu is open, and the
// reply before any mouse I/O.
#include <gtest/gtest.h>

#include <limits>

#include "config_fixture.h"
#include "window_messages.h"

namespace quarn::testing {
namespace {

using Strings = std::vector<std::string>;

class MessageTest : public ConfigFixture {};

std::int32_t StoredCurrentIndex(const std::vector<std::uint8_t>& v) {
  std::int32_t r = -1;
  if (v.size() >= 30956) std::memcpy(&r, v.data() + 30952, 4);
  return r;
}

TEST_F(MessageTest, ASwitchStoresTheIndexRepliesThenWritesTheLighting) {
  auto& c = Start();
  c.WMProfileSwitched(2);
  EXPECT_EQ(log.Entries(), (Strings{"reg:zykPROFILE.pfd", "window:reply", "captions",
                                    "timer:start 200", "device:led 2 0 0 255"}));
  EXPECT_EQ(StoredCurrentIndex(StoredValue(u"zykPROFILE.pfd")), 2);
  EXPECT_EQ(dm->FProfileIndex, 2);
  EXPECT_EQ(c.ProfileButtonsPressed(), (std::array<bool, 5>{false, false, true, false, false}));
  EXPECT_EQ(c.FPreSavedLedConfig.B, 255);
  // And once more when the deferred write comes due.
  c.TimerDoActionTimer();
  EXPECT_EQ(log.With("device").size(), 2u);
}

TEST_F(MessageTest, ASwitchToTheShownProfileDoesNothing) {
  auto& c = Start();
  c.BtnProfileClick(3);
  log.Clear();
  c.WMProfileSwitched(3);
  EXPECT_TRUE(log.Entries().empty());
}

TEST_F(MessageTest, ParametersOutsideTheFiveProfilesAreIgnoredEntirely) {
  auto& c = Start();
  c.BtnProfileClick(1);
  log.Clear();
  const auto stored = StoredValue(u"zykPROFILE.pfd");
  for (std::uint64_t w :
       {std::uint64_t{5}, std::uint64_t{7}, (std::uint64_t{1} << 32) + 2,
        (std::uint64_t{1} << 63) + 3, std::numeric_limits<std::uint64_t>::max()}) {
    c.WMProfileSwitched(w);
    EXPECT_EQ(dm->FProfileIndex, 1) << w;
  }
  EXPECT_TRUE(log.Entries().empty());
  EXPECT_EQ(StoredValue(u"zykPROFILE.pfd"), stored);
}

TEST_F(MessageTest, ASwitchWhileAModalEditIsOpenWaitsForItAndTheLatestWins) {
  auto& c = Start();
  c.BeginModal();  // a menu
  c.BeginModal();  // a dialog opened from it
  c.WMProfileSwitched(3);
  c.WMProfileSwitched(9);  // bad: does not replace the waiting one
  c.WMProfileSwitched(4);
  c.EndModal();
  EXPECT_TRUE(log.Entries().empty());
  EXPECT_EQ(dm->FProfileIndex, 0);
  c.EndModal();
  EXPECT_EQ(log.Entries(), (Strings{"window:post 7040 4 0"}));
  c.EndModal();  // unbalanced: harmless
  EXPECT_EQ(window.posted.size(), 1u);
  log.Clear();
  c.WMProfileSwitched(window.posted[0].second);  // the posted message comes back
  EXPECT_EQ(dm->FProfileIndex, 4);
  EXPECT_EQ(log.With("device").size(), 1u);
}

TEST_F(MessageTest, AnEditMadeInADialogLandsInTheProfileItWasOpenedFor) {
  auto& c = Start();
  c.BtnProfileClick(1);
  log.Clear();
  // A dialog of profile 1 is open when the monitor switches to profile 3;
  // the user finishes the edit, which goes into the shown profile.
  {
    ConfigMainController::ModalScope dialog(c);
    c.WMProfileSwitched(3);
    dm->FCurrentProfileInfo.ConfigInfo.PointerSpeed = 2;
    dm->SaveBackToCurrentProfileInfo();
  }
  ASSERT_EQ(window.posted.size(), 1u);
  c.WMProfileSwitched(window.posted[0].second);
  EXPECT_EQ(dm->FProfileIndex, 3);
  auto p = std::make_unique<TMouseProfileInfo>();
  dm->ReadProfileInfo(*p, 1);
  EXPECT_EQ(p->ConfigInfo.PointerSpeed, 2);
  dm->ReadProfileInfo(*p, 3);
  EXPECT_EQ(p->ConfigInfo.PointerSpeed, 10);
}

TEST_F(MessageTest, ASwitchDuringTheResetQuestionWaitsUntilItIsAnswered) {
  auto& c = Start();
  dialogs.answer = 1;
  dialogs.whileOpen = [&] { c.WMProfileSwitched(4); };
  c.BSBTNRESTOREDEFAULTSClick();
  // The reset ran on the profile it was asked for; the switch comes after.
  EXPECT_EQ(dm->FProfileIndex, 0);
  EXPECT_TRUE(c.SettingsChanged);
  EXPECT_EQ(log.Entries().back(), "window:post 7040 4 0");
  EXPECT_EQ(log.IndexOf("reg"), -1);
}

TEST_F(MessageTest, AReloadShowsWhatIsStoredWithoutWritingAnything) {
  auto& c = Start();
  c.BtnProfileClick(2);
  c.ApplySettings();
  // Someone stores another profile 3 and asks for a reload.
  auto changed = ProfileWith([](TMOUSECONFIGINFO& cfg) {
    cfg.PointerSpeed = 4;
    cfg.ReportRate = 1000;
  });
  memRegistry.Put(kHKeyCurrentUser, kKey, SlotFileName(2), BytesOf(*changed));
  dm->FCurrentProfileInfo.ConfigInfo.PointerSpeed = 9;  // unsaved edit, replaced
  log.Clear();
  c.WMReloadCurrentProfile();
  EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), BytesOf(*changed));
  EXPECT_EQ(c.AdvancedPage.ReportRateRadio, 3);
  EXPECT_EQ(c.MouseApplyParams.PointerSpeed, 4);
  EXPECT_EQ(log.Entries(), (Strings{"window:reply", "captions", "timer:start 200"}));
}

TEST_F(MessageTest, AReloadWhileModalWaitsAndComesBeforeAWaitingSwitch) {
  auto& c = Start();
  c.BeginModal();
  c.WMProfileSwitched(2);
  c.WMReloadCurrentProfile();
  EXPECT_TRUE(log.Entries().empty());
  c.EndModal();
  EXPECT_EQ(log.Entries(), (Strings{"window:post 7038 0 0", "window:post 7040 2 0"}));
}

TEST_F(MessageTest, TerminateClosesTheDialogFlushesTheLightingJoinsTheWorkerAndEnds) {
  auto& c = Start();
  c.BtnProfileClick(1);  // lighting write pending
  c.ApplySettings();     // a worker job queued
  log.Clear();
  dialogs.answer = 1;
  dialogs.whileOpen = [&] { c.WMTerminateConfig(); };
  c.BSBTNRESTOREDEFAULTSClick();
  EXPECT_EQ(
      log.Entries(),
      (Strings{"dialog:note Reset All", "dialogs:close", "device:led 1 255 0 0", "worker:wait 3000",
               "spi:mouse 0 0 0", "spi:speed 10", "spi:lines 3", "spi:trails 0", "window:close"}));
  // The answer came too late: nothing was reset, and nothing acts any more.
  EXPECT_FALSE(c.SettingsChanged);
  log.Clear();
  c.WMProfileSwitched(3);
  c.WMReloadCurrentProfile();
  c.WMTerminateConfig();
  c.OnMainButtonClick(ConfigMainController::kApply);
  EXPECT_TRUE(log.Entries().empty());
  EXPECT_EQ(dm->FProfileIndex, 1);
}

TEST_F(MessageTest, TerminateWithNothingOpenEndsWithoutSavingOrAsking) {
  auto& c = Start();
  c.MarkSettingsChanged();
  c.WMTerminateConfig();
  EXPECT_EQ(log.Entries(), (Strings{"worker:wait 3000", "window:close"}));
}

TEST_F(MessageTest, LanguageChangedAppliesTheLanguageWhateverItsParameter) {
  auto& c = Start();
  int applied = 0;
  c.OnApplyLanguageAndBranding = [&] { ++applied; };
  for (std::uint64_t w :
       {std::uint64_t{0}, std::uint64_t{2}, std::numeric_limits<std::uint64_t>::max()})
    c.WMLanguageChanged(w);
  EXPECT_EQ(applied, 3);
  EXPECT_TRUE(log.Entries().empty());
}

}  // namespace
}  // namespace quarn::testing
