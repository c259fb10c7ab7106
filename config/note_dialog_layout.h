// Where the parts of the note dialog go (title, text, second line, warning
// picture) and where the dialog itself goes: centred in a screen rectangle.
#pragma once

#include <cstdint>

#include "config_seams.h"

namespace quarn {

constexpr std::int32_t kNoteDialogWidth = 304;
constexpr std::int32_t kNoteDialogHeight = 195;

struct ControlRect {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  friend bool operator==(const ControlRect&, const ControlRect&) = default;
};

struct NoteDialogLayout {
  ControlRect Text;
  ControlRect Text1;
  ControlRect Warning;
  bool WarningShown = false;
};

// The warning picture takes room at the left of the text.
NoteDialogLayout LayoutNoteDialog(bool showWarning);

struct ScreenPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Top-left corner of a width x height window centred in `area` (it may stick
// out on any side, also for an area smaller than the window).
ScreenPoint CentreInRect(const ScreenRect& area, std::int32_t width, std::int32_t height);

}  // namespace quarn
