// The two key tables: one row per Windows virtual-key code 0 to 254, giving each
// key its constant name, display text and HID usage. KeyboardTableE0 holds the
// ordinary keys (group marker 224), KeyboardTableE1 the keys Windows reports with
// the extended-key flag where they differ from the E0 row (marker 225).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One row of a key table.
struct TKeyboardInfoTable {
  std::u16string VKName;  // name of the virtual-key constant, e.g. "VK_LBUTTON"
  std::int32_t VKCode;    // equals the row index
  std::int32_t ScanCode;  // 0 in every row
  std::int32_t Extended;  // group marker: 224 or 225
  std::int32_t HIDCode;   // keyboard or consumer page usage, -1 when the key has none
  std::u16string KeyDescription;
};

constexpr int KEY_TABLE_ROWS = 255;
constexpr std::int32_t KEY_GROUP_E0 = 224;
constexpr std::int32_t KEY_GROUP_E1 = 225;

// Builds both tables. They are built once, on first use, and live until the
// program ends; calling this early (at start-up) keeps the first lookup out of
// a hook callback. Calling it again changes nothing.
void BuildKeyTables();

// The built tables, KEY_TABLE_ROWS rows each (built on first use).
const std::vector<TKeyboardInfoTable>& KeyboardTableE0();
const std::vector<TKeyboardInfoTable>& KeyboardTableE1();

// Display text of a key. Extended is a group marker (224, 225) or the
// extended-key flag of a keyboard event (0, 1); any other value reads the E1
// table. A code outside 0 to 254 gives the empty text.
void GetKeyDescription(std::int32_t VKCode, std::int32_t Extended, std::u16string& Text);

// Modifier prefix of a key combination: "Alt+", "Ctrl+", "Shift+", "WIN+" for
// the bits 1, 2, 4, 8, in that order; higher bits are ignored.
void GetModifierText(std::int32_t Modifier, std::u16string& Text);
