// The rows the macro editor shows for a macro's actions. Not every action has
// a row (delays are shown only in macros that carry them as their own rows,
// and kinds without a text have none), so every row names the position of its
// action: selection, deletion, moves and delay edits go through that position,
// never through the row number.
#pragma once

#include <cstdint>
#include <vector>

#include "macro_records.h"

namespace quarn {

enum class MacroRowKind { Delay, KeyDown, KeyUp, Mouse };

struct MacroRow {
  MacroRowKind kind;
  int action;  // position of the action in the macro
  bool operator==(const MacroRow&) const = default;
};

// One row per shown action, in order: a delay row for a delay action when
// `autoAddDelay` is 1; a key-down or key-up row for a key action in state 1 or
// 0; a mouse row for a mouse-button action in state 0 or 1; nothing otherwise.
std::vector<MacroRow> MacroRowsOf(const std::vector<TMACROKEY>& actions,
                                  std::uint16_t autoAddDelay);

// The row showing action `action`; -1 when that action has no row.
int RowOfAction(const std::vector<MacroRow>& rows, int action);

// The action shown by row `row`; -1 for a row number outside the rows.
int ActionOfRow(const std::vector<MacroRow>& rows, int row);

}  // namespace quarn
