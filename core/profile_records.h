// The stored profile model: one profile (TMouseProfileInfo, a .pfd file or a
// registry value), the all-profiles record and the profile group table. Both
// programs read and write these bytes, so every field keeps its offset and
// width; reserved and filler bytes are members and are written as zero.
#pragma once

#include <cstddef>
#include <cstdint>

#include "macro_records.h"

constexpr std::int32_t PROFILE_FILE_VERSION = 0x102;
constexpr int PROFILE_COUNT = 5;
constexpr int PROFILE_GROUP_COUNT = 2;
constexpr int BUTTON_FUNC_COUNT = 15;
constexpr int CPI_STATE_COUNT = 11;

// TBUTTONFUNCINFO.FunctionKind
enum : std::uint8_t {
  FUNCKIND_BASIC = 1,
  FUNCKIND_QUICKLAUNCH = 2,
  FUNCKIND_COMBOKEY = 3,
  FUNCKIND_MACRO = 4,
  FUNCKIND_FIREKEY = 5,
  FUNCKIND_SINGLEKEY = 8,
  FUNCKIND_HIDKEY = 10,
  FUNCKIND_OTHER = 11,
};

struct TProfileHeader {
  std::int32_t FFileVersion;
  std::uint8_t FFileType[8];
  char16_t FFileName[22];
  std::uint32_t FProfileSize;
};
static_assert(sizeof(TProfileHeader) == 60);
static_assert(offsetof(TProfileHeader, FFileType) == 4);
static_assert(offsetof(TProfileHeader, FFileName) == 12);
static_assert(offsetof(TProfileHeader, FProfileSize) == 56);

struct TFUNCTIONLIST {
  std::uint8_t FunctionInfo[800];
};
static_assert(sizeof(TFUNCTIONLIST) == 800);

// The function of one button or wheel direction.
struct TBUTTONFUNCINFO {
  std::uint8_t Reserved0[2];
  std::uint16_t SingleKey;
  std::uint16_t SingleKeyExtended;
  TCOMBOKEYINFO ComboKey;
  THID_CODE_INFO HidKey;
  std::uint8_t Reserved22[2];
  char16_t MacroSetName[31];
  char16_t MacroName[31];
  TMACROKEYINFO MacroKeyInfo;
  TFIREKEYINFO FireKeyInfo;
  std::uint8_t Reserved1044[8];
  char16_t ProgramPath[1024];
  std::uint8_t Reserved3100[1552];
  std::uint16_t ButtonIndex;
  std::uint16_t FunctionCode;
  std::uint8_t FunctionKind;
  std::uint8_t Filler4657[3];
  std::int32_t ActionCode;
  std::int32_t MenuID;
  std::uint8_t Reserved4668[4];
};
static_assert(sizeof(TBUTTONFUNCINFO) == 4672);
static_assert(offsetof(TBUTTONFUNCINFO, SingleKey) == 2);
static_assert(offsetof(TBUTTONFUNCINFO, SingleKeyExtended) == 4);
static_assert(offsetof(TBUTTONFUNCINFO, ComboKey) == 6);
static_assert(offsetof(TBUTTONFUNCINFO, HidKey) == 16);
static_assert(offsetof(TBUTTONFUNCINFO, Reserved22) == 22);
static_assert(offsetof(TBUTTONFUNCINFO, MacroSetName) == 24);
static_assert(offsetof(TBUTTONFUNCINFO, MacroName) == 86);
static_assert(offsetof(TBUTTONFUNCINFO, MacroKeyInfo) == 148);
static_assert(offsetof(TBUTTONFUNCINFO, FireKeyInfo) == 1040);
static_assert(offsetof(TBUTTONFUNCINFO, Reserved1044) == 1044);
static_assert(offsetof(TBUTTONFUNCINFO, ProgramPath) == 1052);
static_assert(offsetof(TBUTTONFUNCINFO, Reserved3100) == 3100);
static_assert(offsetof(TBUTTONFUNCINFO, ButtonIndex) == 4652);
static_assert(offsetof(TBUTTONFUNCINFO, FunctionCode) == 4654);
static_assert(offsetof(TBUTTONFUNCINFO, FunctionKind) == 4656);
static_assert(offsetof(TBUTTONFUNCINFO, ActionCode) == 4660);
static_assert(offsetof(TBUTTONFUNCINFO, MenuID) == 4664);
static_assert(offsetof(TBUTTONFUNCINFO, Reserved4668) == 4668);

// One DPI level.
struct TCPISTATE {
  std::uint16_t X;
  std::uint16_t Y;
  std::uint16_t Enabled;
  std::uint8_t Reserved6[4];
};
static_assert(sizeof(TCPISTATE) == 10);
static_assert(offsetof(TCPISTATE, Y) == 2);
static_assert(offsetof(TCPISTATE, Enabled) == 4);

struct TLEDCONFIG {
  std::uint8_t R;
  std::uint8_t G;
  std::uint8_t B;
  std::uint8_t BRIGHT_LEVEL;
  std::uint8_t BREATH_SPEED;
  std::uint8_t BREATH_SECOND;
};
static_assert(sizeof(TLEDCONFIG) == 6);
static_assert(offsetof(TLEDCONFIG, BREATH_SECOND) == 5);

struct TSENSORLIFT {
  std::uint8_t SensorLift;
};
static_assert(sizeof(TSENSORLIFT) == 1);

struct TPROFILE_MACRO_PATH {
  char16_t FilePath[513];
};
static_assert(sizeof(TPROFILE_MACRO_PATH) == 1026);

struct TFeedBack_Setting {
  std::int32_t DPI_Changed;
  std::int32_t PROFILE_Changed;
  std::int32_t Volumn;
};
static_assert(sizeof(TFeedBack_Setting) == 12);

constexpr int APPLICATION_LIST_COUNT = 10;
constexpr int APPLICATION_PATH_LENGTH = 513;

// All settings of one profile.
struct TMOUSECONFIGINFO {
  TBUTTONFUNCINFO ButtonFuncInfo[BUTTON_FUNC_COUNT];
  TBUTTONFUNCINFO VWheelButtonFuncInfo[2];  // 0 wheel up, 1 wheel down
  TBUTTONFUNCINFO HWheelButtonFuncInfo[2];
  std::uint16_t VWheelType;
  std::uint16_t HWheelType;
  std::uint16_t VWheelSpeed;
  std::uint16_t HWheelSpeed;
  std::int8_t HWVWheelValue;
  std::int8_t WheelLedOnOff;
  std::uint16_t DoubleClickSpeed;
  std::uint16_t PointerSpeed;
  std::uint16_t PointerAcceleration;
  std::uint16_t UseSystemPointerSpeedSetting;
  std::uint16_t ReportRate;
  std::int32_t CurrentCPIIndex;
  std::uint16_t CurrentCPIX;
  std::uint16_t CurrentCPIY;
  std::uint16_t MinCPI;
  std::uint16_t MaxCPI;
  std::uint16_t UseDiffentXY[CPI_STATE_COUNT];
  std::uint16_t UseCPIOnScreenFlyShow;
  TCPISTATE CPIState[CPI_STATE_COUNT];
  TCPISTATE HWCPIState[CPI_STATE_COUNT];
  std::uint16_t CPILevel;
  std::uint16_t AutoSwitchProfileWhenAppRun;
  char16_t ApplicationList[APPLICATION_LIST_COUNT][APPLICATION_PATH_LENGTH];
  TLEDCONFIG LEDConfig;
  TSENSORLIFT Sensorlift;
  std::uint8_t Filler99315;
  std::int32_t ButtonCount;
  TPROFILE_MACRO_PATH ProfilePath;
  TPROFILE_MACRO_PATH MacroPath;
  std::int32_t ApplyCPISettingEachProfile;
  std::int32_t ApplyAccelaration;
  std::int32_t ApplyDiffirentXY;
  std::int32_t DisplayPointerTrails;
  std::int32_t FireKeySpeed;
  std::int32_t FireKeyCount;
  TFeedBack_Setting FeedBackSetting;
  std::int32_t BreathingOnOff;
};
static_assert(sizeof(TMOUSECONFIGINFO) == 101412);
static_assert(offsetof(TMOUSECONFIGINFO, VWheelButtonFuncInfo) == 70080);
static_assert(offsetof(TMOUSECONFIGINFO, HWheelButtonFuncInfo) == 79424);
static_assert(offsetof(TMOUSECONFIGINFO, VWheelType) == 88768);
static_assert(offsetof(TMOUSECONFIGINFO, HWheelType) == 88770);
static_assert(offsetof(TMOUSECONFIGINFO, VWheelSpeed) == 88772);
static_assert(offsetof(TMOUSECONFIGINFO, HWheelSpeed) == 88774);
static_assert(offsetof(TMOUSECONFIGINFO, HWVWheelValue) == 88776);
static_assert(offsetof(TMOUSECONFIGINFO, WheelLedOnOff) == 88777);
static_assert(offsetof(TMOUSECONFIGINFO, DoubleClickSpeed) == 88778);
static_assert(offsetof(TMOUSECONFIGINFO, PointerSpeed) == 88780);
static_assert(offsetof(TMOUSECONFIGINFO, PointerAcceleration) == 88782);
static_assert(offsetof(TMOUSECONFIGINFO, UseSystemPointerSpeedSetting) == 88784);
static_assert(offsetof(TMOUSECONFIGINFO, ReportRate) == 88786);
static_assert(offsetof(TMOUSECONFIGINFO, CurrentCPIIndex) == 88788);
static_assert(offsetof(TMOUSECONFIGINFO, CurrentCPIX) == 88792);
static_assert(offsetof(TMOUSECONFIGINFO, CurrentCPIY) == 88794);
static_assert(offsetof(TMOUSECONFIGINFO, MinCPI) == 88796);
static_assert(offsetof(TMOUSECONFIGINFO, MaxCPI) == 88798);
static_assert(offsetof(TMOUSECONFIGINFO, UseDiffentXY) == 88800);
static_assert(offsetof(TMOUSECONFIGINFO, UseCPIOnScreenFlyShow) == 88822);
static_assert(offsetof(TMOUSECONFIGINFO, CPIState) == 88824);
static_assert(offsetof(TMOUSECONFIGINFO, HWCPIState) == 88934);
static_assert(offsetof(TMOUSECONFIGINFO, CPILevel) == 89044);
static_assert(offsetof(TMOUSECONFIGINFO, AutoSwitchProfileWhenAppRun) == 89046);
static_assert(offsetof(TMOUSECONFIGINFO, ApplicationList) == 89048);
static_assert(offsetof(TMOUSECONFIGINFO, LEDConfig) == 99308);
static_assert(offsetof(TMOUSECONFIGINFO, Sensorlift) == 99314);
static_assert(offsetof(TMOUSECONFIGINFO, Filler99315) == 99315);
static_assert(offsetof(TMOUSECONFIGINFO, ButtonCount) == 99316);
static_assert(offsetof(TMOUSECONFIGINFO, ProfilePath) == 99320);
static_assert(offsetof(TMOUSECONFIGINFO, MacroPath) == 100346);
static_assert(offsetof(TMOUSECONFIGINFO, ApplyCPISettingEachProfile) == 101372);
static_assert(offsetof(TMOUSECONFIGINFO, ApplyAccelaration) == 101376);
static_assert(offsetof(TMOUSECONFIGINFO, ApplyDiffirentXY) == 101380);
static_assert(offsetof(TMOUSECONFIGINFO, DisplayPointerTrails) == 101384);
static_assert(offsetof(TMOUSECONFIGINFO, FireKeySpeed) == 101388);
static_assert(offsetof(TMOUSECONFIGINFO, FireKeyCount) == 101392);
static_assert(offsetof(TMOUSECONFIGINFO, FeedBackSetting) == 101396);
static_assert(offsetof(TMOUSECONFIGINFO, BreathingOnOff) == 101408);

constexpr std::size_t OTHER_CONFIG_STORED_SIZE = 36;

// One profile: the exact bytes of a profile file and of a per-profile registry value.
struct TMouseProfileInfo {
  TProfileHeader ProfileHeader;
  TFUNCTIONLIST FunctionList;
  TMOUSECONFIGINFO ConfigInfo;
  TFUNCTIONLIST HWheelFunctionList;
  TFUNCTIONLIST VWheelFunctionList;
  TMACROKEYINFOLIST MacroKeyInfoList;
  TMACROINFOLIST_TO_DEVICE MacroInfoToDevice;
  // The in-memory configuration slot. It carries no data in a stored profile:
  // see ClearStoredOtherConfig.
  std::uint8_t OtherConfig[OTHER_CONFIG_STORED_SIZE];
};
static_assert(sizeof(TMouseProfileInfo) == 127108);
static_assert(offsetof(TMouseProfileInfo, FunctionList) == 60);
static_assert(offsetof(TMouseProfileInfo, ConfigInfo) == 860);
static_assert(offsetof(TMouseProfileInfo, HWheelFunctionList) == 102272);
static_assert(offsetof(TMouseProfileInfo, VWheelFunctionList) == 103072);
static_assert(offsetof(TMouseProfileInfo, MacroKeyInfoList) == 103872);
static_assert(offsetof(TMouseProfileInfo, MacroInfoToDevice) == 122608);
static_assert(offsetof(TMouseProfileInfo, OtherConfig) == 127072);
static_assert(offsetof(TMouseProfileInfo, ConfigInfo) + offsetof(TMOUSECONFIGINFO, ApplicationList) == 89908);
static_assert(offsetof(TMouseProfileInfo, ConfigInfo) + offsetof(TMOUSECONFIGINFO, BreathingOnOff) == 102268);

// Zeroes the OtherConfig bytes of a profile that was just loaded or is about to
// be stored: they are never interpreted.
inline void ClearStoredOtherConfig(TMouseProfileInfo& profile) {
  for (auto& b : profile.OtherConfig) b = 0;
}

// TProfileSlotInfo.StorageType
enum : std::uint8_t {
  STORAGE_REGISTRY = 0,
  STORAGE_FILE = 1,
};

// Where and how one profile slot is stored.
struct TProfileSlotInfo {
  std::uint16_t SlotFlag;
  char16_t FilePath[1024];
  char16_t KeyPath[1024];
  char16_t FileName[21];
  char16_t MacroPath[1024];
  std::uint8_t StorageType;
  std::uint8_t Filler6189;
};
static_assert(sizeof(TProfileSlotInfo) == 6190);
static_assert(offsetof(TProfileSlotInfo, FilePath) == 2);
static_assert(offsetof(TProfileSlotInfo, KeyPath) == 2050);
static_assert(offsetof(TProfileSlotInfo, FileName) == 4098);
static_assert(offsetof(TProfileSlotInfo, MacroPath) == 4140);
static_assert(offsetof(TProfileSlotInfo, StorageType) == 6188);

// Registry value "zykPROFILE.pfd".
struct TALLGAMESINFO {
  TProfileSlotInfo Allgameset[PROFILE_COUNT];
  std::uint8_t Filler30950[2];
  std::int32_t CurrentProfileIndex;
  std::int32_t CurrentLanguage;
};
static_assert(sizeof(TALLGAMESINFO) == 30960);
static_assert(offsetof(TALLGAMESINFO, CurrentProfileIndex) == 30952);
static_assert(offsetof(TALLGAMESINFO, CurrentLanguage) == 30956);

// Registry value "zykProfileSettingGroup.pfd".
struct TProfileSettingGroup {
  std::int32_t CurrentProfileGroup;
  std::int32_t ProfileIndexOfProfileGroup[PROFILE_GROUP_COUNT];
  TProfileSlotInfo ProfileSettingList[PROFILE_COUNT];
  std::uint8_t Filler30962[2];
};
static_assert(sizeof(TProfileSettingGroup) == 30964);
static_assert(offsetof(TProfileSettingGroup, ProfileIndexOfProfileGroup) == 4);
static_assert(offsetof(TProfileSettingGroup, ProfileSettingList) == 12);
static_assert(offsetof(TProfileSettingGroup, Filler30962) == 30962);

constexpr std::size_t PROFILE_INFO_SIZE = sizeof(TMouseProfileInfo);
constexpr std::size_t ALL_GAMES_INFO_SIZE = sizeof(TALLGAMESINFO);
constexpr std::size_t PROFILE_SETTING_GROUP_SIZE = sizeof(TProfileSettingGroup);
