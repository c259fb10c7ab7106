#include "shortcut_tables.h"

#include <array>

namespace {

using Table = std::array<TCOMBOKEYINFO, SHORTCUT_TABLE_ROWS>;

struct ShortcutTables {
  Table browser{};
  Table win8{};
  Table media{};
  Table office{};
};

constexpr std::uint16_t kNone = 0;

ShortcutTables BuildTables() {
  ShortcutTables t;
  const std::uint16_t browser[] = {0xAA, 0xAC, 0xA8, 0xB6, 0xA9, 0xA6, 0xA7, 0xAB, 0xB4, 0xB7};
  for (std::size_t r = 0; r < std::size(browser); ++r)
    MakeComboKey(kNone, browser[r], 1, 0, 0, t.browser[r]);
  const std::uint16_t win8[] = {'Q', 'U', 'I', 'R', 'X', 'F', 'D', 'E', 'C'};
  for (std::size_t r = 0; r < std::size(win8); ++r)
    MakeComboKey(MODIFIER_WIN, win8[r], 0, 0, 0, t.win8[r]);
  const std::uint16_t media[] = {0xAD, 0xAF, 0xAE, 0xB0, 0xB1, 0xB2, 0xB3, 0xB5};
  for (std::size_t r = 0; r < std::size(media); ++r)
    MakeComboKey(kNone, media[r], 1, 0, 0, t.media[r]);
  const std::uint16_t office[] = {'X', 'V', 'C', 'A', 'P'};
  for (std::size_t r = 0; r < std::size(office); ++r)
    MakeComboKey(MODIFIER_CTRL, office[r], 0, 0, 0, t.office[r]);
  return t;
}

const ShortcutTables& Tables() {
  static const ShortcutTables tables = BuildTables();
  return tables;
}

void GetRow(const Table& table, int row, TCOMBOKEYINFO& out) {
  if (row < 0 || row >= SHORTCUT_TABLE_ROWS) return;
  out = table[static_cast<std::size_t>(row)];
}

}  // namespace

void MakeComboKey(std::uint16_t AModifier, std::uint16_t AKey1, std::uint16_t AKey1Extended,
                  std::uint16_t AKey2, std::uint16_t AKey2Extended, TCOMBOKEYINFO& AComboKey) {
  AComboKey.nKeyValue1 = AKey1;
  AComboKey.nKey1Extended = AKey1Extended;
  AComboKey.nKeyValue2 = AKey2;
  AComboKey.nKey2Extended = AKey2Extended;
  AComboKey.nModifier = AModifier;
}

void InitShortcutKeyTables() {
  (void)Tables();
}

void GetBrowserKey(int ARow, TCOMBOKEYINFO& AComboKey) {
  GetRow(Tables().browser, ARow, AComboKey);
}
void GetWin8Key(int ARow, TCOMBOKEYINFO& AComboKey) {
  GetRow(Tables().win8, ARow, AComboKey);
}
void GetMediaKey(int ARow, TCOMBOKEYINFO& AComboKey) {
  GetRow(Tables().media, ARow, AComboKey);
}
void GetOfficeKey(int ARow, TCOMBOKEYINFO& AComboKey) {
  GetRow(Tables().office, ARow, AComboKey);
}
