#include "macro_rows.h"

namespace quarn {

std::vector<MacroRow> MacroRowsOf(const std::vector<TMACROKEY>& actions,
                                  std::uint16_t autoAddDelay) {
  std::vector<MacroRow> rows;
  rows.reserve(actions.size());
  for (std::size_t i = 0; i < actions.size(); ++i) {
    const TMACROKEY& a = actions[i];
    const int at = static_cast<int>(i);
    switch (a.nKeyType) {
      case MACROKEY_DELAY:
        if (autoAddDelay == 1) rows.push_back({MacroRowKind::Delay, at});
        break;
      case MACROKEY_KEYBOARD:
        if (a.nKeyState == 1) rows.push_back({MacroRowKind::KeyDown, at});
        if (a.nKeyState == 0) rows.push_back({MacroRowKind::KeyUp, at});
        break;
      case MACROKEY_MOUSE:
        if (a.nKeyState == 0 || a.nKeyState == 1) rows.push_back({MacroRowKind::Mouse, at});
        break;
      default:
        break;
    }
  }
  return rows;
}

int RowOfAction(const std::vector<MacroRow>& rows, int action) {
  for (std::size_t r = 0; r < rows.size(); ++r)
    if (rows[r].action == action) return static_cast<int>(r);
  return -1;
}

int ActionOfRow(const std::vector<MacroRow>& rows, int row) {
  if (row < 0 || row >= static_cast<int>(rows.size())) return -1;
  return rows[static_cast<std::size_t>(row)].action;
}

}  // namespace quarn
