#include "profile_defaults.h"

#include <cstring>

#include "dpi_helpers.h"
#include "shared_tables.h"
#include "text_field.h"

namespace quarn {
namespace {

constexpr std::uint16_t kDefaultDpi[4] = {500, 1000, 1750, 3500};

void SetButton(TBUTTONFUNCINFO& b, std::uint16_t index, std::uint16_t code, std::int32_t action,
               std::int32_t menu, std::uint8_t kind) {
  b.ButtonIndex = index;
  b.FunctionCode = code;
  b.FunctionKind = kind;
  b.ActionCode = action;
  b.MenuID = menu;
}

void SetDpiLevels(TMOUSECONFIGINFO& c) {
  for (int i = 0; i <= 5; ++i) {
    c.CPIState[i].X = c.CPIState[i].Y = c.CPIState[i].Enabled = 0;
    c.HWCPIState[i].X = c.HWCPIState[i].Y = c.HWCPIState[i].Enabled = 0;
  }
  for (int i = 0; i < 4; ++i) {
    c.CPIState[i].X = c.CPIState[i].Y = kDefaultDpi[i];
    c.CPIState[i].Enabled = 1;
    auto hw = static_cast<std::uint16_t>(
        GetNearestHWCPI(GetMaxValue(c.CPIState[i].X, c.CPIState[i].Y)));
    c.HWCPIState[i].X = c.HWCPIState[i].Y = hw;
    c.HWCPIState[i].Enabled = c.CPIState[i].Enabled;
  }
  c.CurrentCPIIndex = 1;
  for (int i = 0; i < 4; ++i) c.UseDiffentXY[i] = 0;
}

}  // namespace

std::u16string SlotFileName(int slot) {
  return u"zykProfile" + std::u16string(1, static_cast<char16_t>(u'1' + slot)) + u".pfd";
}

void RestoreProfileDefaults(TMouseProfileInfo& p) {
  p.ProfileHeader.FFileVersion = PROFILE_FILE_VERSION;
  TMOUSECONFIGINFO& c = p.ConfigInfo;
  std::memset(c.ApplicationList, 0, sizeof c.ApplicationList);
  c.ButtonCount = 5;
  for (int i = 0; i < 10; ++i)
    std::memset(&c.ButtonFuncInfo[i], 0, offsetof(TBUTTONFUNCINFO, ButtonIndex));
  for (int i = 0; i < 5; ++i) {
    const auto& row = FunctionCodeTable[i];
    SetButton(c.ButtonFuncInfo[i], static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(i),
              row.ActionCode, row.MenuID, FUNCKIND_BASIC);
  }
  SetButton(c.VWheelButtonFuncInfo[0], 0, 0, 11, 1, FUNCKIND_BASIC);
  SetButton(c.VWheelButtonFuncInfo[1], 1, 1, 12, 2, FUNCKIND_BASIC);
  c.HWVWheelValue = 1;
  c.VWheelSpeed = 3;
  c.DoubleClickSpeed = 5;
  c.PointerSpeed = 10;
  c.PointerAcceleration = 0;
  c.ReportRate = 125;
  c.CPILevel = 4;
  c.WheelLedOnOff = 1;
  c.LEDConfig.R = 255;
  c.LEDConfig.G = 0;
  c.LEDConfig.B = 0;
  c.LEDConfig.BRIGHT_LEVEL = 3;
  c.LEDConfig.BREATH_SPEED = 3;
  c.BreathingOnOff = 1;
  SetDpiLevels(c);
  p.MacroKeyInfoList.nMacroInfoCount = 0;
  c.ApplyCPISettingEachProfile = 1;
  c.ApplyAccelaration = 0;
  c.ApplyDiffirentXY = 0;
  c.DisplayPointerTrails = 0;
  c.FireKeySpeed = 10;
  c.FireKeyCount = 2;
  c.FeedBackSetting.DPI_Changed = 1;
  c.FeedBackSetting.PROFILE_Changed = 1;
  c.FeedBackSetting.Volumn = 5;
}

void RestoreAllSettingDefaults(TALLGAMESINFO& a, std::uint16_t systemLangID) {
  for (auto& slot : a.Allgameset) {
    slot.SlotFlag = 0;
    slot.StorageType = STORAGE_REGISTRY;
    slot.FilePath[0] = 0;
  }
  a.Allgameset[0].SlotFlag = 1;
  a.CurrentProfileIndex = 0;
  a.CurrentLanguage = LangIDText(systemLangID) == u"0804" ? 1 : 0;
}

bool RestoreSettingGroupDefaults(TProfileSettingGroup& g, std::u16string_view dataFolder) {
  bool fits = true;
  for (int i = 0; i < PROFILE_COUNT; ++i) {
    TProfileSlotInfo& s = g.ProfileSettingList[i];
    s.SlotFlag = 0;
    s.StorageType = STORAGE_FILE;
    fits &= WriteText(s.FileName, SlotFileName(i));
    fits &= WriteText(s.KeyPath, kProfileKeyPath);
    // A folder that does not fit is left empty: the slot is then not stored in a file.
    if (!WriteText(s.FilePath, dataFolder)) {
      s.FilePath[0] = 0;
      fits = false;
    }
    std::u16string macroPath;
    if (!dataFolder.empty())
      macroPath = std::u16string(dataFolder) + u"\\zykProfile" +
                  std::u16string(1, static_cast<char16_t>(u'1' + i)) + u"_Macros";
    if (!WriteText(s.MacroPath, macroPath)) {
      s.MacroPath[0] = 0;
      fits = false;
    }
  }
  g.CurrentProfileGroup = 0;
  g.ProfileIndexOfProfileGroup[0] = 0;
  g.ProfileIndexOfProfileGroup[1] = 1;
  return fits;
}

void RestoreTestProfileDefaults(TMouseProfileInfo& p) {
  std::memset(&p, 0, sizeof p);
  p.ProfileHeader.FFileVersion = PROFILE_FILE_VERSION;
  TMOUSECONFIGINFO& c = p.ConfigInfo;
  c.ButtonCount = 7;
  for (int i = 0; i < 5; ++i)
    SetButton(c.ButtonFuncInfo[i], static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(i),
              FunctionCodeTable[i].ActionCode, 0, FUNCKIND_BASIC);
  for (int i = 5; i <= 6; ++i) {
    TBUTTONFUNCINFO& b = c.ButtonFuncInfo[i];
    SetButton(b, static_cast<std::uint16_t>(i), 14, 19, 0, FUNCKIND_OTHER);
    // Bytes 3872..3874 of the entry carry the button's mask.
    std::memcpy(&b.Reserved3100[3872 - 3100], &ButtonMaskTable[i][1], 3);
  }
}

void RestoreCPIDefaults(TMouseProfileInfo& p) {
  SetDpiLevels(p.ConfigInfo);
  p.ConfigInfo.ApplyCPISettingEachProfile = 1;
  p.ConfigInfo.ApplyAccelaration = 0;
  p.ConfigInfo.ApplyDiffirentXY = 0;
}

void RestoreLightAndReportAdvancedDefaults(TMouseProfileInfo& p) {
  TMOUSECONFIGINFO& c = p.ConfigInfo;
  c.ApplyCPISettingEachProfile = 1;
  c.ApplyAccelaration = 1;
  c.ApplyDiffirentXY = 0;
  c.FireKeySpeed = 5;
  c.FireKeyCount = 2;
  c.ReportRate = 125;
  c.LEDConfig.BRIGHT_LEVEL = 3;
  c.LEDConfig.BREATH_SPEED = 3;
  c.LEDConfig.R = 255;
  c.LEDConfig.G = 0;
  c.LEDConfig.B = 0;
  c.WheelLedOnOff = 1;
}

void RestoreReportRateDefaults(TMouseProfileInfo& p) { p.ConfigInfo.ReportRate = 125; }

void SetProfileDefaultLEDColor(int AProfileIndex, TMouseProfileInfo& AProfileInfo) {
  static constexpr std::uint8_t kColours[PROFILE_COUNT][3] = {
      {0, 255, 0}, {255, 0, 0}, {0, 0, 255}, {255, 255, 0}, {255, 0, 255}};
  if (AProfileIndex < 0 || AProfileIndex >= PROFILE_COUNT) return;
  TLEDCONFIG& led = AProfileInfo.ConfigInfo.LEDConfig;
  led.R = kColours[AProfileIndex][0];
  led.G = kColours[AProfileIndex][1];
  led.B = kColours[AProfileIndex][2];
}

std::u16string LangIDText(std::uint16_t langID) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string s(4, u'0');
  for (int i = 3; i >= 0; --i) {
    s[i] = kHex[langID & 0xF];
    langID >>= 4;
  }
  return s;
}

}  // namespace quarn
