// Macro, key and DPI records shared by the profile model, the macro editor and
// the monitor. Their bytes are file formats (macro files, profile files), so
// every field keeps its offset and width; the layout is checked below.
#pragma once

#include <cstddef>
#include <cstdint>

// Kinds of a macro step (TMACROKEY.nKeyType).
enum : std::uint16_t {
  MACROKEY_GENERIC = 0,
  MACROKEY_MOUSE = 1,
  MACROKEY_MOUSEMOVE = 2,
  MACROKEY_WHEEL = 3,
  MACROKEY_KEYBOARD = 4,
  MACROKEY_MEDIA = 5,
  MACROKEY_DELAY = 6,
  MACROKEY_LOOP = 7,
};

// Modifier bits of TCOMBOKEYINFO.nModifier and THID_CODE_INFO.nModifier.
enum : std::uint16_t {
  MODIFIER_ALT = 1,
  MODIFIER_CTRL = 2,
  MODIFIER_SHIFT = 4,
  MODIFIER_WIN = 8,
};

constexpr std::uint32_t MACRO_FORMAT_VERSION = 258;
constexpr int MAX_MACRO_STEPS = 128;

// One macro step. The two value bytes are read under the names of the step's kind.
struct TMACROKEY {
  std::uint16_t nKeyType;
  std::uint16_t nKeyState;  // 1 press, anything else release
  union {
    struct { std::uint8_t VALUE1, VALUE2; };
    struct { std::uint8_t MouseKeyValue, MouseKey_Index; };
    struct { std::uint8_t MOUSE_X, MOUSE_Y; };
    struct { std::uint8_t WHEEL_VALUE, WHEEL_Index; };
    struct { std::uint8_t nKeyValue, nKeyExtended; };
    struct { std::uint8_t MediaKey_L, MediaKey_H; };
    struct { std::uint8_t DELAY_L, DELAY_H; };
    struct { std::uint8_t LOOP_L, LOOP_H; };
  };
};
static_assert(sizeof(TMACROKEY) == 6);
static_assert(offsetof(TMACROKEY, nKeyState) == 2);

// One macro of at most 128 steps; also the whole content of a macro file.
struct TMACROKEYINFO {
  TMACROKEY MacroList[MAX_MACRO_STEPS];
  std::int32_t MacroListCount;
  std::uint16_t nAutoAddDelay;
  std::uint16_t nLoopCount;  // extra repetitions
  std::uint16_t nMacroIndex;
  std::uint8_t MacroUse;
  std::uint8_t Filler779;
  char16_t szMacroName[50];
  std::uint32_t Version;
  std::int32_t HaveErrors;
  std::int32_t ErrorCount;
};
static_assert(sizeof(TMACROKEYINFO) == 892);
static_assert(offsetof(TMACROKEYINFO, MacroListCount) == 768);
static_assert(offsetof(TMACROKEYINFO, nAutoAddDelay) == 772);
static_assert(offsetof(TMACROKEYINFO, nLoopCount) == 774);
static_assert(offsetof(TMACROKEYINFO, nMacroIndex) == 776);
static_assert(offsetof(TMACROKEYINFO, MacroUse) == 778);
static_assert(offsetof(TMACROKEYINFO, szMacroName) == 780);
static_assert(offsetof(TMACROKEYINFO, Version) == 880);
static_assert(offsetof(TMACROKEYINFO, HaveErrors) == 884);
static_assert(offsetof(TMACROKEYINFO, ErrorCount) == 888);

constexpr int MACRO_LIST_CAPACITY = 21;

struct TMACROKEYINFOLIST {
  TMACROKEYINFO MacroInfos[MACRO_LIST_CAPACITY];
  std::uint16_t nMacroInfoCount;
  std::uint8_t Filler18734[2];
};
static_assert(sizeof(TMACROKEYINFOLIST) == 18736);
static_assert(offsetof(TMACROKEYINFOLIST, nMacroInfoCount) == 18732);

// Macros for the device; carried inside a profile unchanged.
struct TMACROINFOLIST_TO_DEVICE {
  TMACROKEYINFO MacroInfos[5];
  std::uint16_t nMacroInfoCount;
  std::uint8_t Filler4462[2];
};
static_assert(sizeof(TMACROINFOLIST_TO_DEVICE) == 4464);
static_assert(offsetof(TMACROINFOLIST_TO_DEVICE, nMacroInfoCount) == 4460);

struct TCOMBOKEYINFO {
  std::uint16_t nKeyValue1;
  std::uint16_t nKey1Extended;
  std::uint16_t nKeyValue2;  // 0: a one-key combination
  std::uint16_t nKey2Extended;
  std::uint16_t nModifier;
};
static_assert(sizeof(TCOMBOKEYINFO) == 10);
static_assert(offsetof(TCOMBOKEYINFO, nKey1Extended) == 2);
static_assert(offsetof(TCOMBOKEYINFO, nKeyValue2) == 4);
static_assert(offsetof(TCOMBOKEYINFO, nKey2Extended) == 6);
static_assert(offsetof(TCOMBOKEYINFO, nModifier) == 8);

struct TFIREKEYINFO {
  std::uint16_t nLoopCount;  // number of clicks
  std::uint16_t DelyValue;   // pause between clicks, ms
};
static_assert(sizeof(TFIREKEYINFO) == 4);
static_assert(offsetof(TFIREKEYINFO, DelyValue) == 2);

// A key given by HID usage: nKeyValue2 * 256 + nKeyValue1.
struct THID_CODE_INFO {
  std::uint16_t nKeyValue1;
  std::uint16_t nKeyValue2;
  std::uint16_t nModifier;
};
static_assert(sizeof(THID_CODE_INFO) == 6);
static_assert(offsetof(THID_CODE_INFO, nKeyValue2) == 2);
static_assert(offsetof(THID_CODE_INFO, nModifier) == 4);

// DPI levels with their user/hardware rates; in memory only. The level record
// has no gaps, so these two are packed.
#pragma pack(push, 1)
struct CPI_LEVEL {
  std::uint8_t Enabled;
  std::uint32_t X;
  std::uint32_t Y;
};

struct XY {
  std::int16_t X;
  std::int16_t Y;
};

constexpr std::uint16_t CPI_UNIT_PASSWORD = 0x6E4B;

struct CPI_UNIT {
  std::uint16_t password;
  std::uint16_t NeedApplyNewCPI;
  std::uint16_t ReportLength;
  std::uint8_t X_LowByte;
  std::uint8_t X_HighByte;
  std::uint8_t Y_LowByte;
  std::uint8_t Y_HighByte;
  std::int16_t X_Counter;
  std::int16_t Y_Counter;
  std::uint16_t CpiCount;
  std::uint16_t CurrentCpi;
  CPI_LEVEL HWCpi[10];
  CPI_LEVEL STCpi[10];
  XY XYCpiRate[10];
};
#pragma pack(pop)
static_assert(sizeof(CPI_LEVEL) == 9);
static_assert(offsetof(CPI_LEVEL, X) == 1);
static_assert(offsetof(CPI_LEVEL, Y) == 5);
static_assert(sizeof(XY) == 4);
static_assert(sizeof(CPI_UNIT) == 238);
static_assert(offsetof(CPI_UNIT, NeedApplyNewCPI) == 2);
static_assert(offsetof(CPI_UNIT, ReportLength) == 4);
static_assert(offsetof(CPI_UNIT, X_LowByte) == 6);
static_assert(offsetof(CPI_UNIT, Y_HighByte) == 9);
static_assert(offsetof(CPI_UNIT, X_Counter) == 10);
static_assert(offsetof(CPI_UNIT, Y_Counter) == 12);
static_assert(offsetof(CPI_UNIT, CpiCount) == 14);
static_assert(offsetof(CPI_UNIT, CurrentCpi) == 16);
static_assert(offsetof(CPI_UNIT, HWCpi) == 18);
static_assert(offsetof(CPI_UNIT, STCpi) == 108);
static_assert(offsetof(CPI_UNIT, XYCpiRate) == 198);
