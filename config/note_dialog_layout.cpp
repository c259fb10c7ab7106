#include "note_dialog_layout.h"

#include <algorithm>
#include <limits>

namespace quarn {

NoteDialogLayout LayoutNoteDialog(bool showWarning) {
  NoteDialogLayout l;
  l.Text = {44, 6, 251, 44};
  l.Text1 = {23, 53, 255, 24};
  l.Warning = {19, 24, 40, 40};
  l.WarningShown = showWarning;
  if (showWarning) l.Text = {60, 6, 251 - 25, 44};
  return l;
}

namespace {

std::int32_t Centre(std::int32_t low, std::int32_t high, std::int32_t size) {
  const std::int64_t pos =
      low + (static_cast<std::int64_t>(high) - low - size) / 2;  // truncates toward zero
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      pos, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

ScreenPoint CentreInRect(const ScreenRect& area, std::int32_t width, std::int32_t height) {
  return {Centre(area.Left, area.Right, width), Centre(area.Top, area.Bottom, height)};
}

}  // namespace quarn
