#include "key_tables.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Description(int vk, int extended) {
  std::u16string text = u"left over";
  GetKeyDescription(vk, extended, text);
  return text;
}

bool IsPlaceholder(const TKeyboardInfoTable& row) {
  return row.VKName.rfind(u"VK_UNDEFINED_", 0) == 0 && row.VKName.size() == 16;
}

TEST(KeyTables, EveryRowSitsAtItsOwnCode) {
  BuildKeyTables();
  const auto& e0 = KeyboardTableE0();
  const auto& e1 = KeyboardTableE1();
  ASSERT_EQ(e0.size(), 255u);
  ASSERT_EQ(e1.size(), 255u);
  for (int i = 0; i < 255; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(e0[i].VKCode, i);
    EXPECT_EQ(e1[i].VKCode, i);
    EXPECT_EQ(e0[i].ScanCode, 0);
    EXPECT_EQ(e1[i].ScanCode, 0);
  }
  // Built once: later calls hand out the same rows.
  BuildKeyTables();
  EXPECT_EQ(&KeyboardTableE0(), &e0);
}

TEST(KeyTables, PlaceholdersFillExactlyTheCodesWithoutARow) {
  const auto& e0 = KeyboardTableE0();
  const auto& e1 = KeyboardTableE1();
  auto expectPlaceholder = [](const TKeyboardInfoTable& row, int code, int group) {
    static const char16_t hex[] = u"0123456789ABCDEF";
    const std::u16string digits{hex[code >> 8], hex[(code >> 4) & 15], hex[code & 15]};
    EXPECT_EQ(row.VKName, u"VK_UNDEFINED_" + digits);
    EXPECT_EQ(row.KeyDescription, u"UNDEFINED_" + digits);
    EXPECT_EQ(row.Extended, group);
    EXPECT_EQ(row.HIDCode, -1);
  };
  int e0Placeholders = 0;
  for (int i = 0; i < 255; ++i) {
    SCOPED_TRACE(i);
    const bool unset = i == 184 || i == 185 || (i >= 193 && i <= 218) || i >= 227;
    if (unset) expectPlaceholder(e0[i], i, 224);
    e0Placeholders += IsPlaceholder(e0[i]);
    const bool e1Key = i == 13 || i == 45 || i == 46 || (i >= 33 && i <= 40);
    if (e1Key) {
      EXPECT_FALSE(IsPlaceholder(e1[i]));
      EXPECT_EQ(e1[i].Extended, 225);
    } else {
      expectPlaceholder(e1[i], i, 225);
    }
  }
  EXPECT_EQ(e0Placeholders, 2 + 26 + 28);
  expectPlaceholder(e0[0xB8], 0xB8, 224);  // VK_UNDEFINED_0B8
}

TEST(KeyTables, RuleRowsFollowTheirFormulas) {
  const auto& e0 = KeyboardTableE0();
  struct Case {
    int code;
    const char16_t* name;
    int hid;
    const char16_t* text;
  };
  const Case cases[] = {
      {48, u"VK_0", 39, u"0"},
      {49, u"VK_1", 30, u"1"},
      {57, u"VK_9", 38, u"9"},
      {65, u"VK_A", 4, u"A"},
      {90, u"VK_Z", 29, u"Z"},
      {96, u"VK_NUMPAD0", 98, u"NUMPAD 0"},
      {97, u"VK_NUMPAD1", 89, u"NUMPAD 1"},
      {105, u"VK_NUMPAD9", 97, u"NUMPAD 9"},
      {112, u"VK_F1", 58, u"F1"},
      {123, u"VK_F12", 69, u"F12"},
      {124, u"VK_F13", 104, u"F13"},
      {135, u"VK_F24", 115, u"F24"},
      {5, u"VK_UNDEFINED_05", -1, u"Undefined"},
      {31, u"VK_UNDEFINED_1F", -1, u"Undefined"},
      {95, u"VK_UNDEFINED_5F", -1, u"Undefined"},
      {143, u"VK_UNDEFINED_8F", -1, u"Undefined"},
      {159, u"VK_UNDEFINED_9F", -1, u"Undefined"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(e0[c.code].VKName, c.name);
    EXPECT_EQ(e0[c.code].HIDCode, c.hid);
    EXPECT_EQ(e0[c.code].KeyDescription, c.text);
    EXPECT_EQ(e0[c.code].Extended, 224);
  }
  // Every letter maps to its HID usage, A = 4 ... Z = 29.
  for (int code = 65; code <= 90; ++code) EXPECT_EQ(e0[code].HIDCode, code - 61) << code;
}

TEST(KeyTables, NamedRowsKeepTheirGroupUsageAndText) {
  const auto& e0 = KeyboardTableE0();
  const auto& e1 = KeyboardTableE1();
  struct Case {
    const char* why;
    const TKeyboardInfoTable& row;
    const char16_t* name;
    int group;
    int hid;
    const char16_t* text;
  };
  const Case cases[] = {
      {"code 0 has an empty text", e0[0], u"VK_NULL", 224, -1, u""},
      {"print screen is in the extended group", e0[44], u"VK_SNAPSHOT", 225, 70, u"PRINT SCREEN"},
      {"keypad insert in E0", e0[45], u"VK_NUMPAD0_INSERT", 224, 98, u"Keypad 0 Insert"},
      {"insert in E1", e1[45], u"VK_INSERT", 225, 73, u"INS"},
      {"keypad enter in E1", e1[13], u"VK_RETURN", 225, 88, u"ENTER"},
      {"E0 page up", e0[33], u"VK_PRIOR", 224, 97, u"PAGE UP"},
      {"E1 page up", e1[33], u"VK_PRIOR", 225, 75, u"PAGE UP"},
      {"E1 down arrow", e1[40], u"VK_DOWN", 225, 81, u"DOWN ARROW"},
      {"left Windows key", e0[91], u"VK_LWIN", 225, 227, u"L WIN"},
      {"consumer-page usage", e0[166], u"VK_BROWSER_BACK", 225, 548, u"BROWSER_BACK"},
      {"last standard row", e0[183], u"VK_LAUNCH_APP2", 225, 402, u"LAUNCH_APP2"},
      {"tilde and backtick", e0[192], u"VK_OEM_3", 224, 53, u"~`"},
      {"backslash and bar", e0[220], u"VK_OEM_5", 224, 49, u"\\|"},
      {"apostrophe and quote", e0[222], u"VK_OEM_7", 224, 52, u"'\""},
      {"E0 row of code 224", e0[224], u"VK_UNDEFINED_E0", 224, -1, u"Undefined"},
      {"last OEM row", e0[226], u"VK_OEM_102", 224, -1, u"\\|"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(c.row.VKName, c.name);
    EXPECT_EQ(c.row.Extended, c.group);
    EXPECT_EQ(c.row.HIDCode, c.hid);
    EXPECT_EQ(c.row.KeyDescription, c.text);
  }
}

TEST(KeyTables, GetKeyDescriptionAcceptsGroupMarkersAndExtendedFlags) {
  struct Case {
    const char* why;
    int vk;
    int extended;
    const char16_t* text;
  };
  const Case cases[] = {
      {"page up from the E0 row", 33, 224, u"PAGE UP"},
      {"page up from the E1 row", 33, 225, u"PAGE UP"},
      {"E0 row already in the extended group", 91, 225, u"L WIN"},
      {"extended flag reads the E0 row of an extended-group key", 44, 1, u"PRINT SCREEN"},
      {"placeholder text", 200, 224, u"UNDEFINED_0C8"},
      {"last row", 254, 224, u"UNDEFINED_0FE"},
      {"beyond the table", 300, 224, u""},
      {"just beyond the table", 255, 0, u""},
      {"negative code", -1, 0, u""},
      {"flag 0 reads E0", 65, 0, u"A"},
      {"marker 224 reads E0", 65, 224, u"A"},
      {"other values read E1", 65, 2, u"UNDEFINED_041"},
      {"flag 1 on an ordinary key reads E1", 65, 1, u"UNDEFINED_041"},
      {"extended insert", 45, 1, u"INS"},
      {"keypad insert", 45, 0, u"Keypad 0 Insert"},
      {"extended delete by marker", 46, 225, u"DEL"},
      {"keypad enter", 13, 1, u"ENTER"},
  };
  for (const Case& c : cases) EXPECT_EQ(Description(c.vk, c.extended), c.text) << c.why;
}

TEST(KeyTables, ModifierTextInFixedOrder) {
  struct Case {
    int modifier;
    const char16_t* text;
  };
  const Case cases[] = {
      {0, u""},
      {1, u"Alt+"},
      {6, u"Ctrl+Shift+"},
      {8, u"WIN+"},
      {15, u"Alt+Ctrl+Shift+WIN+"},
      {16, u""},  // higher bits are ignored
      {0x7FFFFFF3, u"Alt+Ctrl+"},
  };
  for (const Case& c : cases) {
    std::u16string text = u"left over";
    GetModifierText(c.modifier, text);
    EXPECT_EQ(text, c.text) << c.modifier;
  }
}

}  // namespace
