#include "profile_defaults.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "record_builders.h"
#include "shared_tables.h"
#include "text_field.h"

namespace {

using quarn::testing::BytesOf;
using quarn::testing::PatternProfile;

bool AllZero(const void* p, std::size_t n) {
  const auto* b = static_cast<const std::uint8_t*>(p);
  for (std::size_t i = 0; i < n; ++i)
    if (b[i] != 0) return false;
  return true;
}

TEST(ProfileDefaults, NewProfileHasExactlyTheDefaultValues) {
  auto p = std::make_unique<TMouseProfileInfo>();
  std::memset(p.get(), 0, sizeof *p);
  quarn::RestoreProfileDefaults(*p);
  auto& c = p->ConfigInfo;
  EXPECT_EQ(p->ProfileHeader.FFileVersion, 258);
  EXPECT_EQ(c.ButtonCount, 5);
  const int actions[5] = {1, 2, 3, 5, 4}, menus[5] = {1, 2, 3, 4, 5};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(c.ButtonFuncInfo[i].ButtonIndex, i);
    EXPECT_EQ(c.ButtonFuncInfo[i].FunctionCode, i);
    EXPECT_EQ(c.ButtonFuncInfo[i].FunctionKind, FUNCKIND_BASIC);
    EXPECT_EQ(c.ButtonFuncInfo[i].ActionCode, actions[i]);
    EXPECT_EQ(c.ButtonFuncInfo[i].MenuID, menus[i]);
  }
  EXPECT_EQ(c.VWheelButtonFuncInfo[0].ActionCode, 11);
  EXPECT_EQ(c.VWheelButtonFuncInfo[0].MenuID, 1);
  EXPECT_EQ(c.VWheelButtonFuncInfo[1].ButtonIndex, 1);
  EXPECT_EQ(c.VWheelButtonFuncInfo[1].FunctionCode, 1);
  EXPECT_EQ(c.VWheelButtonFuncInfo[1].ActionCode, 12);
  EXPECT_EQ(c.VWheelButtonFuncInfo[1].MenuID, 2);
  const std::uint16_t dpi[4] = {500, 1000, 1750, 3500};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(c.CPIState[i].X, dpi[i]);
    EXPECT_EQ(c.CPIState[i].Y, dpi[i]);
    EXPECT_EQ(c.CPIState[i].Enabled, 1);
    EXPECT_EQ(c.HWCPIState[i].X, dpi[i]);
    EXPECT_EQ(c.HWCPIState[i].Enabled, 1);
  }
  EXPECT_EQ(c.LEDConfig.R, 255);
  EXPECT_EQ(c.LEDConfig.BREATH_SECOND, 0);

  // Clear every field the defaults own: nothing else may have been written.
  for (int i = 0; i < 5; ++i) {
    auto& b = c.ButtonFuncInfo[i];
    b.ButtonIndex = b.FunctionCode = 0;
    b.FunctionKind = 0;
    b.ActionCode = b.MenuID = 0;
  }
  for (auto& w : c.VWheelButtonFuncInfo) {
    w.ButtonIndex = w.FunctionCode = 0;
    w.FunctionKind = 0;
    w.ActionCode = w.MenuID = 0;
  }
  p->ProfileHeader.FFileVersion = 0;
  c.ButtonCount = 0;
  c.HWVWheelValue = 0;
  c.VWheelSpeed = c.DoubleClickSpeed = c.PointerSpeed = c.ReportRate = c.CPILevel = 0;
  c.WheelLedOnOff = 0;
  c.LEDConfig = {};
  c.BreathingOnOff = 0;
  for (int i = 0; i < 4; ++i) c.CPIState[i] = c.HWCPIState[i] = {};
  c.CurrentCPIIndex = 0;
  c.ApplyCPISettingEachProfile = 0;
  c.FireKeySpeed = c.FireKeyCount = 0;
  c.FeedBackSetting = {};
  EXPECT_TRUE(AllZero(p.get(), sizeof *p));
}

TEST(ProfileDefaults, ResetKeepsWhatItDoesNotOwn) {
  auto p = PatternProfile(5);
  const auto before = BytesOf(*p);
  ASSERT_TRUE(quarn::WriteText(p->ProfileHeader.FFileName, u"My profile"));
  p->MacroKeyInfoList.nMacroInfoCount = 3;
  quarn::RestoreProfileDefaults(*p);
  auto& c = p->ConfigInfo;
  EXPECT_EQ(quarn::ReadText(p->ProfileHeader.FFileName), u"My profile");
  EXPECT_EQ(p->MacroKeyInfoList.nMacroInfoCount, 0);
  EXPECT_EQ(std::memcmp(&p->MacroKeyInfoList.MacroInfos, &before[offsetof(TMouseProfileInfo, MacroKeyInfoList)],
                        sizeof p->MacroKeyInfoList.MacroInfos), 0)
      << "macro bodies behind the zero count stay";
  for (int i = 5; i < 10; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(AllZero(&c.ButtonFuncInfo[i], offsetof(TBUTTONFUNCINFO, ButtonIndex)));
    const auto at = offsetof(TMouseProfileInfo, ConfigInfo) + i * sizeof(TBUTTONFUNCINFO);
    EXPECT_EQ(std::memcmp(&c.ButtonFuncInfo[i].ButtonIndex, &before[at + 4652], 20), 0);
  }
  for (int i = 10; i < 15; ++i) {
    const auto at = offsetof(TMouseProfileInfo, ConfigInfo) + i * sizeof(TBUTTONFUNCINFO);
    EXPECT_EQ(std::memcmp(&c.ButtonFuncInfo[i], &before[at], sizeof(TBUTTONFUNCINFO)), 0) << i;
  }
  const auto led = offsetof(TMouseProfileInfo, ConfigInfo) + offsetof(TMOUSECONFIGINFO, LEDConfig);
  EXPECT_EQ(c.LEDConfig.BREATH_SECOND, before[led + 5]);
  const auto level6 = offsetof(TMouseProfileInfo, ConfigInfo) + offsetof(TMOUSECONFIGINFO, CPIState) + 6 * 10;
  EXPECT_EQ(std::memcmp(&c.CPIState[6], &before[level6], 5 * 10), 0) << "levels 6 to 10 stay";
  EXPECT_EQ(c.CPIState[5].X, 0) << "levels 4 and 5 are cleared";
}

TEST(ProfileDefaults, PartialResets) {
  auto p = PatternProfile(9);
  auto& c = p->ConfigInfo;
  const auto pointerSpeed = c.PointerSpeed;
  quarn::RestoreLightAndReportAdvancedDefaults(*p);
  EXPECT_EQ(c.FireKeySpeed, 5);
  EXPECT_EQ(c.ApplyAccelaration, 1);
  EXPECT_EQ(c.ReportRate, 125);
  EXPECT_EQ(c.LEDConfig.R, 255);
  EXPECT_EQ(c.LEDConfig.G, 0);
  EXPECT_EQ(c.WheelLedOnOff, 1);
  EXPECT_EQ(c.PointerSpeed, pointerSpeed);
  quarn::RestoreCPIDefaults(*p);
  EXPECT_EQ(c.ApplyAccelaration, 0);
  EXPECT_EQ(c.CPIState[2].X, 1750);
  EXPECT_EQ(c.CurrentCPIIndex, 1);
  EXPECT_EQ(c.FireKeySpeed, 5) << "the DPI reset leaves the fire key";
  c.ReportRate = 1000;
  quarn::RestoreReportRateDefaults(*p);
  EXPECT_EQ(c.ReportRate, 125);
}

TEST(ProfileDefaults, SlotColours) {
  const std::uint8_t expected[5][3] = {{0, 255, 0}, {255, 0, 0}, {0, 0, 255}, {255, 255, 0}, {255, 0, 255}};
  auto p = PatternProfile(1);
  for (int i = 0; i < 5; ++i) {
    quarn::SetProfileDefaultLEDColor(i, *p);
    EXPECT_EQ(p->ConfigInfo.LEDConfig.R, expected[i][0]) << i;
    EXPECT_EQ(p->ConfigInfo.LEDConfig.G, expected[i][1]) << i;
    EXPECT_EQ(p->ConfigInfo.LEDConfig.B, expected[i][2]) << i;
  }
  const auto before = BytesOf(*p);
  quarn::SetProfileDefaultLEDColor(5, *p);
  quarn::SetProfileDefaultLEDColor(-1, *p);
  EXPECT_EQ(BytesOf(*p), before);
}

TEST(ProfileDefaults, AllSettingsAndLanguage) {
  struct Case { std::uint16_t lang; std::int32_t index; const char16_t* text; };
  const Case cases[] = {{0x0804, 1, u"0804"}, {0x0409, 0, u"0409"}, {0x0404, 0, u"0404"}, {0x0C04, 0, u"0C04"}};
  for (const auto& c : cases) {
    TALLGAMESINFO a;
    std::memset(&a, 0x5A, sizeof a);
    quarn::RestoreAllSettingDefaults(a, c.lang);
    EXPECT_EQ(a.CurrentLanguage, c.index) << c.lang;
    EXPECT_EQ(quarn::LangIDText(c.lang), c.text);
    EXPECT_EQ(a.CurrentProfileIndex, 0);
    EXPECT_EQ(a.Allgameset[0].SlotFlag, 1);
    for (int i = 1; i < 5; ++i) EXPECT_EQ(a.Allgameset[i].SlotFlag, 0);
    for (const auto& s : a.Allgameset) {
      EXPECT_EQ(s.StorageType, STORAGE_REGISTRY);
      EXPECT_EQ(s.FilePath[0], 0);
      EXPECT_EQ(s.FilePath[1], 0x5A5A) << "only the first unit is written";
    }
  }
}

TEST(ProfileDefaults, GroupTable) {
  TProfileSettingGroup g{};
  EXPECT_TRUE(quarn::RestoreSettingGroupDefaults(g, u"C:\\Docs\\QUARN Mouse Driver"));
  EXPECT_EQ(g.ProfileIndexOfProfileGroup[0], 0);
  EXPECT_EQ(g.ProfileIndexOfProfileGroup[1], 1);
  for (int i = 0; i < 5; ++i) {
    const auto& s = g.ProfileSettingList[i];
    const std::u16string n(1, static_cast<char16_t>(u'1' + i));
    EXPECT_EQ(s.StorageType, STORAGE_FILE);
    EXPECT_EQ(quarn::ReadText(s.FileName), u"zykProfile" + n + u".pfd");
    EXPECT_EQ(quarn::ReadText(s.KeyPath), u"software\\QUARNMouse");
    EXPECT_EQ(quarn::ReadText(s.FilePath), u"C:\\Docs\\QUARN Mouse Driver");
    EXPECT_EQ(quarn::ReadText(s.MacroPath), u"C:\\Docs\\QUARN Mouse Driver\\zykProfile" + n + u"_Macros");
  }
  EXPECT_FALSE(quarn::RestoreSettingGroupDefaults(g, std::u16string(1100, u'x')))
      << "a folder longer than the field is not cut";
  EXPECT_EQ(g.ProfileSettingList[0].FilePath[0], 0);
}

TEST(ProfileDefaults, FactoryTestProfile) {
  auto p = PatternProfile(3);
  quarn::RestoreTestProfileDefaults(*p);
  const auto& c = p->ConfigInfo;
  EXPECT_EQ(c.ButtonCount, 7);
  EXPECT_EQ(c.ButtonFuncInfo[3].ActionCode, 5);
  EXPECT_EQ(c.ButtonFuncInfo[3].MenuID, 0);
  for (int i : {5, 6}) {
    const auto& b = c.ButtonFuncInfo[i];
    EXPECT_EQ(b.FunctionKind, FUNCKIND_OTHER);
    EXPECT_EQ(b.FunctionCode, 14);
    EXPECT_EQ(b.ActionCode, 19);
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&b);
    EXPECT_EQ(raw[3872], i == 5 ? 0x20 : 0x40);
    EXPECT_EQ(raw[3873], 0);
    EXPECT_EQ(raw[3874], 0);
  }
  EXPECT_EQ(c.ReportRate, 0) << "everything else is zero";
  EXPECT_EQ(ButtonMaskTable[0], (std::array<std::uint8_t, 4>{7, 1, 0, 0}));
  EXPECT_EQ(ButtonMaskTable[8], (std::array<std::uint8_t, 4>{7, 0, 1, 0}));
  EXPECT_EQ(ButtonMaskTable[23], (std::array<std::uint8_t, 4>{7, 0, 0, 0x80}));
}

}  // namespace
