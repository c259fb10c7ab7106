#include "key_tables.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace {

// A constant row as written in the source tables below.
struct KeyRow {
  std::int32_t VKCode;
  std::u16string_view VKName;
  std::int32_t Extended;
  std::int32_t HIDCode;
  std::u16string_view KeyDescription;
};

constexpr std::int32_t E0 = KEY_GROUP_E0;
constexpr std::int32_t E1 = KEY_GROUP_E1;

// Rows of codes 0 to 183 that follow no naming rule (the rule rows are made by
// StandardKeyRow below).
constexpr KeyRow kStandardNamedRows[] = {
    {0, u"VK_NULL", E0, -1, u""},
    {1, u"VK_LBUTTON", E0, -1, u"Mouse Left Click"},
    {2, u"VK_RBUTTON", E0, -1, u"Mouse Right Click"},
    {3, u"VK_CANCEL", E0, -1, u"Control Break"},
    {4, u"VK_MBUTTON", E0, -1, u"Mouse Middle Click"},
    {8, u"VK_BACK", E0, 42, u"BACKSPACE"},
    {9, u"VK_TAB", E0, 43, u"TAB"},
    {12, u"VK_CLEAR", E0, 156, u"CLEAR"},
    {13, u"VK_RETURN", E0, 40, u"ENTER"},
    {16, u"VK_SHIFT", E0, -1, u"SHIFT"},
    {17, u"VK_CONTROL", E0, -1, u"CTRL"},
    {18, u"VK_MENU", E0, -1, u"ALT"},
    {19, u"VK_PAUSE", E0, 72, u"PAUSE"},
    {20, u"VK_CAPITAL", E0, 57, u"CAPS LOCK"},
    {27, u"VK_ESCAPE", E0, 41, u"ESC"},
    {32, u"VK_SPACE", E0, 44, u"SPACEBAR"},
    {33, u"VK_PRIOR", E0, 97, u"PAGE UP"},
    {34, u"VK_NEXT", E0, 91, u"PAGE DOWN"},
    {35, u"VK_END", E0, 89, u"END"},
    {36, u"VK_HOME", E0, 95, u"HOME"},
    {37, u"VK_LEFT", E0, 92, u"LEFT ARROW"},
    {38, u"VK_UP", E0, 96, u"UP ARROW"},
    {39, u"VK_RIGHT", E0, 94, u"RIGHT ARROW"},
    {40, u"VK_DOWN", E0, 90, u"DOWN ARROW"},
    {41, u"VK_SELECT", E0, -1, u"SELECT"},
    {42, u"VK_PRINT", E0, -1, u"PRINT"},
    {43, u"VK_EXECUTE", E0, -1, u"EXECUTE"},
    {44, u"VK_SNAPSHOT", E1, 70, u"PRINT SCREEN"},
    {45, u"VK_NUMPAD0_INSERT", E0, 98, u"Keypad 0 Insert"},
    {46, u"VK_DELETE", E0, 99, u"Keypad DEL"},
    {47, u"VK_HELP", E0, -1, u"HELP"},
    {91, u"VK_LWIN", E1, 227, u"L WIN"},
    {92, u"VK_RWIN", E1, 231, u"R WIN"},
    {93, u"VK_APP", E1, 101, u"APP"},
    {106, u"VK_MULTIPLY", E0, 85, u"Multiply"},
    {107, u"VK_ADD", E0, 87, u"Add"},
    {108, u"VK_SEPARATOR", E0, 151, u"Separator"},
    {109, u"VK_SUBTRACT", E0, 86, u"Subtract"},
    {110, u"VK_DECIMAL", E0, 99, u"Decimal"},
    {111, u"VK_DIVIDE", E1, 84, u"Divide"},
    {144, u"VK_NUMLOCK", E1, 83, u"NUM LOCK"},
    {145, u"VK_SCROLL", E0, 71, u"Scroll Lock"},
    {160, u"VK_LSHIFT", E0, 225, u"L SHIFT"},
    {161, u"VK_RSHIFT", E1, 229, u"R SHIFT"},
    {162, u"VK_LCONTROL", E0, 224, u"L CTRL"},
    {163, u"VK_RCONTROL", E1, 228, u"R CTRL"},
    {164, u"VK_LMENU", E0, 226, u"L ALT"},
    {165, u"VK_RMENU", E1, 230, u"R ALT"},
    {166, u"VK_BROWSER_BACK", E1, 548, u"BROWSER_BACK"},
    {167, u"VK_BROWSER_FORWARD", E1, 549, u"BROWSER_FORWARD"},
    {168, u"VK_BROWSER_REFRESH", E1, 551, u"BROWSER_REFRESH"},
    {169, u"VK_BROWSER_STOP", E1, 550, u"BROWSER_STOP"},
    {170, u"VK_BROWSER_SEARCH", E1, 545, u"BROWSER_SEARCH"},
    {171, u"VK_BROWSER_FAVORITES", E1, 554, u"BROWSER_FAVORITES"},
    {172, u"VK_BROWSER_HOME", E1, 547, u"BROWSER_HOME"},
    {173, u"VK_VOLUME_MUTE", E1, 226, u"VOLUME_MUTE"},
    {174, u"VK_VOLUME_DOWN", E1, 234, u"VOLUME_DOWN"},
    {175, u"VK_VOLUME_UP", E1, 233, u"VOLUME_UP"},
    {176, u"VK_MEDIA_NEXT_TRACK", E1, 181, u"MEDIA_NEXT_TRACK"},
    {177, u"VK_MEDIA_PREV_TRACK", E1, 182, u"MEDIA_PREV_TRACK"},
    {178, u"VK_MEDIA_STOP", E1, 183, u"MEDIA_STOP"},
    {179, u"VK_MEDIA_PLAY_PAUSE", E1, 205, u"MEDIA_PLAY_PAUSE"},
    {180, u"VK_LAUNCH_MAIL", E1, 394, u"LAUNCH_MAIL"},
    {181, u"VK_LAUNCH_MEDIA_SELECT", E1, 387, u"LAUNCH_MEDIA_SELECT"},
    {182, u"VK_LAUNCH_APP1", E1, 404, u"LAUNCH_APP1"},
    {183, u"VK_LAUNCH_APP2", E1, 402, u"LAUNCH_APP2"},
};

constexpr KeyRow kOemKeyRowsA[] = {
    {186, u"VK_OEM_1", E0, 51, u";:"},      {187, u"VK_OEM_PLUS", E0, 46, u"+="},
    {188, u"VK_OEM_COMMA", E0, 54, u",<"},  {189, u"VK_OEM_MINUS", E0, 45, u"-_"},
    {190, u"VK_OEM_PERIOD", E0, 55, u".>"}, {191, u"VK_OEM_2", E0, 56, u"/?"},
    {192, u"VK_OEM_3", E0, 53, u"~`"},
};

constexpr KeyRow kOemKeyRowsB[] = {
    {219, u"VK_OEM_4", E0, 47, u"[{"},   {220, u"VK_OEM_5", E0, 49, u"\\|"},
    {221, u"VK_OEM_6", E0, 48, u"]}"},   {222, u"VK_OEM_7", E0, 52, u"'\""},
    {223, u"VK_OEM_8", E0, -1, u"None"}, {224, u"VK_UNDEFINED_E0", E0, -1, u"Undefined"},
    {225, u"VK_OEM_AX", E0, -1, u"AX"},  {226, u"VK_OEM_102", E0, -1, u"\\|"},
};

constexpr KeyRow kExtendedEditKeyRows[] = {
    {13, u"VK_RETURN", E1, 88, u"ENTER"},
    {45, u"VK_INSERT", E1, 73, u"INS"},
    {46, u"VK_DELETE", E1, 76, u"DEL"},
};

constexpr KeyRow kExtendedNavKeyRows[] = {
    {33, u"VK_PRIOR", E1, 75, u"PAGE UP"},     {34, u"VK_NEXT", E1, 78, u"PAGE DOWN"},
    {35, u"VK_END", E1, 77, u"END"},           {36, u"VK_HOME", E1, 74, u"HOME"},
    {37, u"VK_LEFT", E1, 80, u"LEFT ARROW"},   {38, u"VK_UP", E1, 82, u"UP ARROW"},
    {39, u"VK_RIGHT", E1, 79, u"RIGHT ARROW"}, {40, u"VK_DOWN", E1, 81, u"DOWN ARROW"},
};

constexpr int kStandardRowCount = 184;  // codes 0 to 183

std::u16string Hex(unsigned value, int digits) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string s(static_cast<std::size_t>(digits), u'0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4)
    s[static_cast<std::size_t>(i)] = kDigits[value & 15];
  return s;
}

std::u16string Decimal(int value) {
  std::u16string s;
  do {
    s.insert(s.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value > 0);
  return s;
}

TKeyboardInfoTable Row(const KeyRow& r) {
  return {std::u16string(r.VKName),        r.VKCode, 0, r.Extended, r.HIDCode,
          std::u16string(r.KeyDescription)};
}

bool InRange(int code, int first, int last) {
  return code >= first && code <= last;
}

// Codes without a key of their own inside 0 to 183.
bool IsUndefinedStandardCode(int c) {
  return c == 5 || c == 6 || c == 7 || c == 10 || c == 11 || c == 14 || c == 15 ||
         InRange(c, 21, 26) || InRange(c, 28, 31) || InRange(c, 58, 64) || c == 94 || c == 95 ||
         InRange(c, 136, 143) || InRange(c, 146, 159);
}

// Row `code` (0 to 183) of the standard table: a rule row or a named row.
TKeyboardInfoTable StandardKeyRow(int code) {
  TKeyboardInfoTable row{u"", code, 0, E0, -1, u""};
  if (IsUndefinedStandardCode(code)) {
    row.VKName = u"VK_UNDEFINED_" + Hex(static_cast<unsigned>(code), 2);
    row.KeyDescription = u"Undefined";
  } else if (InRange(code, 48, 57)) {
    const int digit = code - 48;
    row.VKName = u"VK_" + Decimal(digit);
    row.HIDCode = digit == 0 ? 39 : 29 + digit;
    row.KeyDescription = Decimal(digit);
  } else if (InRange(code, 65, 90)) {
    const char16_t letter = static_cast<char16_t>(code);
    row.VKName = std::u16string(u"VK_") + letter;
    row.HIDCode = code - 61;
    row.KeyDescription = std::u16string(1, letter);
  } else if (InRange(code, 96, 105)) {
    const int digit = code - 96;
    row.VKName = u"VK_NUMPAD" + Decimal(digit);
    row.HIDCode = digit == 0 ? 98 : 88 + digit;
    row.KeyDescription = u"NUMPAD " + Decimal(digit);
  } else if (InRange(code, 112, 135)) {
    const int n = code - 111;
    row.VKName = u"VK_F" + Decimal(n);
    row.HIDCode = n <= 12 ? 57 + n : 91 + n;
    row.KeyDescription = u"F" + Decimal(n);
  } else {
    for (const KeyRow& r : kStandardNamedRows)
      if (r.VKCode == code) return Row(r);
  }
  return row;
}

std::vector<TKeyboardInfoTable> Placeholders(std::int32_t group) {
  std::vector<TKeyboardInfoTable> table;
  table.reserve(KEY_TABLE_ROWS);
  for (int i = 0; i < KEY_TABLE_ROWS; ++i) {
    const std::u16string digits = Hex(static_cast<unsigned>(i), 3);
    table.push_back({u"VK_UNDEFINED_" + digits, i, 0, group, -1, u"UNDEFINED_" + digits});
  }
  return table;
}

// Each row goes to the row of its own code; a later row replaces an earlier one.
template <std::size_t N>
void CopyRows(std::vector<TKeyboardInfoTable>& table, const KeyRow (&rows)[N]) {
  for (const KeyRow& r : rows)
    if (r.VKCode >= 0 && r.VKCode < KEY_TABLE_ROWS)
      table[static_cast<std::size_t>(r.VKCode)] = Row(r);
}

struct KeyTables {
  std::vector<TKeyboardInfoTable> E0;
  std::vector<TKeyboardInfoTable> E1;

  KeyTables() : E0(Placeholders(KEY_GROUP_E0)), E1(Placeholders(KEY_GROUP_E1)) {
    for (int code = 0; code < kStandardRowCount; ++code)
      E0[static_cast<std::size_t>(code)] = StandardKeyRow(code);
    CopyRows(E0, kOemKeyRowsA);
    CopyRows(E0, kOemKeyRowsB);
    CopyRows(E1, kExtendedEditKeyRows);
    CopyRows(E1, kExtendedNavKeyRows);
  }
};

// Built on first use, once (thread-safe static initialisation).
const KeyTables& Tables() {
  static const KeyTables tables;
  return tables;
}

}  // namespace

void BuildKeyTables() {
  (void)Tables();
}

const std::vector<TKeyboardInfoTable>& KeyboardTableE0() {
  return Tables().E0;
}
const std::vector<TKeyboardInfoTable>& KeyboardTableE1() {
  return Tables().E1;
}

void GetKeyDescription(std::int32_t VKCode, std::int32_t Extended, std::u16string& Text) {
  Text.clear();
  if (VKCode < 0 || VKCode >= KEY_TABLE_ROWS) return;
  const auto index = static_cast<std::size_t>(VKCode);
  const KeyTables& t = Tables();
  if (Extended == KEY_GROUP_E0 || Extended == 0) {
    Text = t.E0[index].KeyDescription;
  } else if (Extended == KEY_GROUP_E1 || Extended == 1) {
    Text = t.E0[index].Extended == KEY_GROUP_E1 ? t.E0[index].KeyDescription
                                                : t.E1[index].KeyDescription;
  } else {
    Text = t.E1[index].KeyDescription;
  }
}

void GetModifierText(std::int32_t Modifier, std::u16string& Text) {
  Text.clear();
  if (Modifier & 1) Text += u"Alt+";
  if (Modifier & 2) Text += u"Ctrl+";
  if (Modifier & 4) Text += u"Shift+";
  if (Modifier & 8) Text += u"WIN+";
}
