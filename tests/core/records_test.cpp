#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "macro_records.h"
#include "profile_records.h"
#include "shared_tables.h"
#include "text_field.h"

namespace {

using quarn::ReadText;
using quarn::WriteText;

struct TextCase {
  const char* why;
  std::u16string value;
  bool accepted;
};

TEST(TextField, BoundedWriterAndReaderOnA21UnitField) {
  const TextCase cases[] = {
      {"empty value zero-fills", u"", true},
      {"short value gets a terminator", u"zykProfile1.pfd", true},
      {"value exactly as long as the array has no terminator", u"123456789012345678901", true},
      {"one unit too long is refused", u"1234567890123456789012", false},
      {"embedded zero unit would be cut by readers", std::u16string(u"ab\0cd", 5), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    TProfileSlotInfo slot;
    std::memset(&slot, 0xAB, sizeof slot);
    const auto before = slot;
    EXPECT_EQ(WriteText(slot.FileName, c.value), c.accepted);
    if (!c.accepted) {
      EXPECT_EQ(std::memcmp(&slot, &before, sizeof slot), 0) << "a refused value changes nothing";
      continue;
    }
    EXPECT_EQ(ReadText(slot.FileName), c.value);
    for (std::size_t i = c.value.size(); i < 21; ++i) EXPECT_EQ(slot.FileName[i], 0) << i;
    // Neighbouring fields are untouched.
    EXPECT_EQ(slot.KeyPath[1023], before.KeyPath[1023]);
    EXPECT_EQ(slot.MacroPath[0], before.MacroPath[0]);
  }
}

TEST(TextField, FullArraysReadBackWholeWithoutTerminator) {
  auto entry = std::make_unique<TBUTTONFUNCINFO>();
  std::memset(entry.get(), 0, sizeof *entry);
  const std::u16string name31(31, u'M');
  const std::u16string path1024(1024, u'p');
  ASSERT_TRUE(WriteText(entry->MacroName, name31));
  ASSERT_TRUE(WriteText(entry->ProgramPath, path1024));
  EXPECT_EQ(ReadText(entry->MacroName), name31);
  EXPECT_EQ(ReadText(entry->ProgramPath), path1024);
  // The next field after the full name array starts right after it.
  EXPECT_EQ(entry->MacroKeyInfo.MacroList[0].nKeyType, 0);
}

TEST(Records, MacroUsesEveryStepUpToOffset767) {
  static_assert(offsetof(TMACROKEYINFO, MacroList[127]) + sizeof(TMACROKEY) - 1 == 767);
  TMACROKEYINFO macro{};
  macro.MacroListCount = 128;
  macro.Version = MACRO_FORMAT_VERSION;
  macro.MacroList[127].nKeyType = MACROKEY_DELAY;
  macro.MacroList[127].DELAY_L = 0x34;
  macro.MacroList[127].DELAY_H = 0x12;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&macro);
  EXPECT_EQ(bytes[762], MACROKEY_DELAY);
  EXPECT_EQ(bytes[766], 0x34);
  EXPECT_EQ(bytes[767], 0x12);
  EXPECT_EQ(bytes[768], 128);  // MacroListCount follows at once
  EXPECT_EQ(bytes[880] | bytes[881] << 8, 258);
}

TEST(Records, MacroStepValueBytesUnderEveryKindName) {
  TMACROKEY step{};
  step.VALUE1 = 0x5A;
  step.VALUE2 = 0xA5;
  EXPECT_EQ(step.nKeyValue, 0x5A);
  EXPECT_EQ(step.nKeyExtended, 0xA5);
  EXPECT_EQ(step.MediaKey_L * 256 + step.MediaKey_H, 0x5AA5);
  EXPECT_EQ(step.DELAY_L + 256 * step.DELAY_H, 0xA55A);
  EXPECT_EQ(step.MouseKeyValue, 0x5A);
  EXPECT_EQ(step.LOOP_H, 0xA5);
}

TEST(SharedTables, FunctionCodeTable) {
  ASSERT_EQ(FunctionCodeTable.size(), 44u);
  std::set<int> menuIds;
  for (int row = 0; row < FUNCTION_CODE_COUNT; ++row) {
    EXPECT_EQ(FunctionCodeTable[row].FunctionCode, row);
    menuIds.insert(FunctionCodeTable[row].MenuID);
  }
  EXPECT_EQ(menuIds.size(), 44u) << "every row has its own menu ID";
  struct Row { int row, action, menu; };
  const Row spot[] = {{0, 1, 1},        {3, 5, 4},        {4, 4, 5},       {11, 15, 110101},
                      {18, 15, 110108}, {19, 15, 110201}, {25, 14, 110301}, {31, 14, 110307},
                      {32, 17, 12},     {33, 17, 1201},   {36, 10, 1303},  {39, 21, 1403},
                      {40, 19, 15},     {43, 14, 18}};
  for (const auto& r : spot) {
    EXPECT_EQ(FunctionCodeTable[r.row].ActionCode, r.action) << r.row;
    EXPECT_EQ(FunctionCodeTable[r.row].MenuID, r.menu) << r.row;
  }
  EXPECT_EQ(FindFunctionCode(-1), nullptr);
  EXPECT_EQ(FindFunctionCode(44), nullptr);
  EXPECT_EQ(FindFunctionCode(43)->MenuID, 18);
}

TEST(SharedTables, HardwareDpiStepsAndProgramNames) {
  EXPECT_EQ(HWCPITable.front(), 250u);
  EXPECT_EQ(HWCPITable.back(), 4000u);
  for (int k = 1; k < HW_CPI_STEP_COUNT; ++k) EXPECT_EQ(HWCPITable[k] - HWCPITable[k - 1], 250u);
  EXPECT_EQ(ProgramNames[CFG_MAIN_CLASS_NAME], u"TQUARNCfgMain");
  EXPECT_EQ(ProgramNames[MON_MAIN_CLASS_NAME], u"TQUARNMonMain");
  EXPECT_EQ(ProgramNames[CFG_EXE_NAME], u"quarncfg.exe");
  EXPECT_EQ(ProgramNames[MON_EXE_NAME], u"quarnmon.exe");
  EXPECT_EQ(ProgramNames[DRIVER_TITLE], u"QUARN Mouse Driver");
}

}  // namespace
