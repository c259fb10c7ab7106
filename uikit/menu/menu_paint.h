// Draws one menu level (its box and rows) into a canvas, in the pop-up window's client
// pixels: background, each visible row's highlight, check column, icon, caption and
// sub-menu arrow. The same painter serves the pop-up windows and offscreen checks.
#pragma once

#include "ui/graphics.h"

namespace quarn::menu {

class TvnMenuBox;

// The parts of a row in client pixels, as the painter places them.
struct MenuRowParts {
  ui::RectF row, check, icon, text, extender;
};
MenuRowParts RowParts(const TvnMenuBox& box, int row);

void PaintMenuBox(ui::Canvas& canvas, const TvnMenuBox& box);

}  // namespace quarn::menu
