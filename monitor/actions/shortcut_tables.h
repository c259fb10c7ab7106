// The four fixed key-combination tables of the shortcut functions: browser
// keys, Win+letter shortcuts, media keys and Office Ctrl+letter shortcuts.
// Each has 50 rows; rows not listed are all zero.
#pragma once

#include <cstdint>

#include "macro_records.h"

constexpr int SHORTCUT_TABLE_ROWS = 50;

void MakeComboKey(std::uint16_t AModifier, std::uint16_t AKey1, std::uint16_t AKey1Extended,
                  std::uint16_t AKey2, std::uint16_t AKey2Extended, TCOMBOKEYINFO& AComboKey);

// Builds all four tables; does nothing once they are built.
void InitShortcutKeyTables();

// One row, building the tables first when needed. A row outside 0 to 49 leaves
// AComboKey unchanged.
void GetBrowserKey(int ARow, TCOMBOKEYINFO& AComboKey);  // row = MenuID - 1003
void GetWin8Key(int ARow, TCOMBOKEYINFO& AComboKey);     // row = MenuID - 1101
void GetMediaKey(int ARow, TCOMBOKEYINFO& AComboKey);    // row = MenuID - 1201
void GetOfficeKey(int ARow, TCOMBOKEYINFO& AComboKey);   // row = MenuID - 1303
