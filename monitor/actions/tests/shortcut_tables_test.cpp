// The four shortcut tables: their listed rows, empty rows and row bounds.
#include "shortcut_tables.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Getter = void (*)(int, TCOMBOKEYINFO&);

bool operator==(const TCOMBOKEYINFO& a, const TCOMBOKEYINFO& b) {
  return a.nKeyValue1 == b.nKeyValue1 && a.nKey1Extended == b.nKey1Extended &&
         a.nKeyValue2 == b.nKeyValue2 && a.nKey2Extended == b.nKey2Extended &&
         a.nModifier == b.nModifier;
}

struct Table {
  const char* name;
  Getter get;
  std::uint16_t modifier;
  std::uint16_t extended;
  std::vector<std::uint16_t> keys;
};

const Table kTables[] = {
    {"browser", GetBrowserKey, 0, 1, {0xAA, 0xAC, 0xA8, 0xB6, 0xA9, 0xA6, 0xA7, 0xAB, 0xB4, 0xB7}},
    {"win8", GetWin8Key, 8, 0, {'Q', 'U', 'I', 'R', 'X', 'F', 'D', 'E', 'C'}},
    {"media", GetMediaKey, 0, 1, {0xAD, 0xAF, 0xAE, 0xB0, 0xB1, 0xB2, 0xB3, 0xB5}},
    {"office", GetOfficeKey, 2, 0, {'X', 'V', 'C', 'A', 'P'}},
};

TEST(ShortcutTables, ListedRowsThenZeroRowsUpTo49) {
  InitShortcutKeyTables();
  for (const auto& t : kTables) {
    SCOPED_TRACE(t.name);
    for (int row = 0; row < SHORTCUT_TABLE_ROWS; ++row) {
      TCOMBOKEYINFO got{7, 7, 7, 7, 7};
      t.get(row, got);
      TCOMBOKEYINFO want{};
      if (row < static_cast<int>(t.keys.size())) want = {t.keys[row], t.extended, 0, 0, t.modifier};
      EXPECT_TRUE(got == want) << "row " << row;
    }
  }
}

TEST(ShortcutTables, OfficeRow4IsCtrlP) {
  TCOMBOKEYINFO got{};
  GetOfficeKey(4, got);
  EXPECT_TRUE((got == TCOMBOKEYINFO{'P', 0, 0, 0, 2}));
}

TEST(ShortcutTables, RowsOutsideTheTableLeaveTheRecordUnchanged) {
  for (const auto& t : kTables) {
    for (int row : {50, 51, 1000, -1, -50}) {
      TCOMBOKEYINFO got{1, 2, 3, 4, 5};
      t.get(row, got);
      EXPECT_TRUE((got == TCOMBOKEYINFO{1, 2, 3, 4, 5})) << t.name << " row " << row;
    }
  }
}

TEST(ShortcutTables, MakeComboKeyFillsEveryField) {
  TCOMBOKEYINFO c{};
  MakeComboKey(6, 0x41, 1, 0x42, 225, c);
  EXPECT_TRUE((c == TCOMBOKEYINFO{0x41, 1, 0x42, 225, 6}));
}

}  // namespace
