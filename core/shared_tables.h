// Constant tables shared by both programs: the program identity strings, the
// default function of each function code and the hardware DPI steps.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

enum ProgramNameIndex {
  CFG_MAIN_CLASS_NAME,
  CFG_MAIN_CAPTION,
  CFG_EXE_NAME,
  CFG_APP_TITLE,
  MON_MAIN_CLASS_NAME,
  MON_MAIN_CAPTION,
  MON_EXE_NAME,
  MON_APP_TITLE,
  DRIVER_TITLE,
  PROGRAM_NAME_COUNT
};

inline constexpr std::array<std::u16string_view, PROGRAM_NAME_COUNT> ProgramNames = {
    u"TQUARNCfgMain",       u"QUARN_CONFIG_EX", u"quarncfg.exe",
    u"QUARN Mouse Config",  u"TQUARNMonMain",   u"QUARN_MONITOR_EX",
    u"quarnmon.exe",        u"QUARN Mouse Monitor", u"QUARN Mouse Driver",
};

struct TFunctionCodeEntry {
  std::int32_t FunctionCode;
  std::int32_t ActionCode;
  std::int32_t MenuID;
};

constexpr int FUNCTION_CODE_COUNT = 44;

// Row r has FunctionCode r. Rows 0 to 4 are the default functions of buttons 0 to 4.
inline constexpr std::array<TFunctionCodeEntry, FUNCTION_CODE_COUNT> FunctionCodeTable = {{
    {0, 1, 1},        {1, 2, 2},        {2, 3, 3},        {3, 5, 4},        {4, 4, 5},
    {5, 11, 6},       {6, 12, 7},       {7, 16, 8},       {8, 15, 9},       {9, 18, 10},
    {10, 17, 11},     {11, 15, 110101}, {12, 15, 110102}, {13, 15, 110103}, {14, 15, 110104},
    {15, 15, 110105}, {16, 15, 110106}, {17, 15, 110107}, {18, 15, 110108}, {19, 15, 110201},
    {20, 15, 110202}, {21, 15, 110203}, {22, 15, 110204}, {23, 15, 110205}, {24, 15, 110206},
    {25, 14, 110301}, {26, 14, 110302}, {27, 14, 110303}, {28, 14, 110304}, {29, 14, 110305},
    {30, 14, 110306}, {31, 14, 110307}, {32, 17, 12},     {33, 17, 1201},   {34, 8, 1301},
    {35, 9, 1302},    {36, 10, 1303},   {37, 13, 1401},   {38, 20, 1402},   {39, 21, 1403},
    {40, 19, 15},     {41, 16, 16},     {42, 19, 17},     {43, 14, 18},
}};

constexpr int HW_CPI_STEP_COUNT = 16;

// Hardware DPI steps 250, 500, ..., 4000.
inline constexpr std::array<std::uint32_t, HW_CPI_STEP_COUNT> HWCPITable = [] {
  std::array<std::uint32_t, HW_CPI_STEP_COUNT> t{};
  for (int k = 0; k < HW_CPI_STEP_COUNT; ++k) t[k] = 250u * static_cast<std::uint32_t>(k + 1);
  return t;
}();

// Bounded lookups: nullptr / 0 outside the table.
inline const TFunctionCodeEntry* FindFunctionCode(int code) {
  return code >= 0 && code < FUNCTION_CODE_COUNT ? &FunctionCodeTable[code] : nullptr;
}

// Button masks: entry n is the byte 7 and a 24-bit little-endian mask with bit n set.
constexpr int BUTTON_MASK_COUNT = 24;
inline constexpr std::array<std::array<std::uint8_t, 4>, BUTTON_MASK_COUNT> ButtonMaskTable = [] {
  std::array<std::array<std::uint8_t, 4>, BUTTON_MASK_COUNT> t{};
  for (int n = 0; n < BUTTON_MASK_COUNT; ++n) {
    std::uint32_t mask = 1u << n;
    t[n] = {7, static_cast<std::uint8_t>(mask), static_cast<std::uint8_t>(mask >> 8),
            static_cast<std::uint8_t>(mask >> 16)};
  }
  return t;
}();

// A HID collection: usage page and usage.
struct USAGE_AND_PAGE {
  std::uint16_t Usage;
  std::uint16_t UsagePage;
};

// The collection every device command addresses; set when the profile data module is created.
extern USAGE_AND_PAGE DeviceUsageAndPage;
