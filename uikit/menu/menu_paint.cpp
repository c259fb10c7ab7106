#include "menu/menu_paint.h"

#include <algorithm>

#include "menu/menu_box.h"
#include "menu/vn_menu_ex.h"

namespace quarn::menu {

namespace {

// The largest square centred in `r`, less a small inset.
ui::RectF Square(const ui::RectF& r, float inset) {
  const float side = std::max(0.0f, std::min(r.width, r.height) - 2 * inset);
  return {r.x + (r.width - side) / 2, r.y + (r.height - side) / 2, side, side};
}

}  // namespace

static void PaintRows(ui::Canvas& canvas, const TvnMenuBox& box, const ui::RectF& content);

MenuRowParts RowParts(const TvnMenuBox& box, int row) {
  const MenuLevelLook& look = box.Look();
  const TvnMenuItemsEx& level = box.Level();
  const TvnMenuEx& menu = level.RootMenu();
  MenuRowParts parts;
  parts.row = box.RowRect(row);
  const ui::RectF& r = parts.row;
  float x = r.x;
  const bool showCheck = look.custom ? look.showCheck : true;
  if (showCheck) {
    parts.check = {x, r.y, menu.BoxLook.checkColumnWidth, r.height};
    x += parts.check.width;
  }
  if (level.Images) {
    parts.icon = {x, r.y, menu.BoxLook.iconWidth, r.height};
    x += parts.icon.width;
  }
  const float right = r.Right() - menu.BoxLook.extenderWidth;
  parts.extender = {right, r.y, menu.BoxLook.extenderWidth, r.height};
  const MenuBounds pad = look.custom ? look.textPadding : menu.RowLook.textPadding;
  parts.text = {x + pad.Left, r.y + pad.Top, right - x - pad.Left - pad.Right,
                r.height - pad.Top - pad.Bottom};
  return parts;
}

void PaintMenuBox(ui::Canvas& canvas, const TvnMenuBox& box) {
  const MenuLevelLook& look = box.Look();
  const TvnMenuItemsEx& level = box.Level();
  const TvnMenuEx& menu = level.RootMenu();
  const MenuBoxLook& boxLook = menu.BoxLook;
  const ui::RectF whole{0, 0, box.PopupWidth(), box.PopupHeight()};

  canvas.FillRect(whole, look.custom ? look.bgFill : boxLook.background);
  if (look.custom && HasPicture(look.bgImage))
    canvas.DrawPicture(look.bgImage, whole, ui::WrapMode::Stretch);

  const ui::RectF content = box.ContentRect();
  if (!content.Empty()) {
    canvas.PushClip(content);
    PaintRows(canvas, box, content);
    canvas.PopClip();
  }
  // The fixed look's frame, over the rows' edges.
  if (!look.custom && boxLook.border.Visible()) canvas.StrokeRect(whole, boxLook.border, 1);
}

static void PaintRows(ui::Canvas& canvas, const TvnMenuBox& box, const ui::RectF& content) {
  const MenuLevelLook& look = box.Look();
  const TvnMenuItemsEx& level = box.Level();
  const TvnMenuEx& menu = level.RootMenu();
  const MenuBoxLook& boxLook = menu.BoxLook;
  const MenuRowLook& rowLook = menu.RowLook;
  const ui::Fill& checkFill = look.custom ? look.checkFill : rowLook.checkFill;
  const ui::Fill& extenderFill = look.custom ? look.extenderFill : rowLook.extenderFill;
  ui::TextFormat format;
  format.alignH = ui::AlignH::Leading;
  format.alignV = ui::AlignV::Center;
  format.shadow = look.custom && rowLook.textShadow;

  for (int i = 0; i < box.Count(); ++i) {
    const TvnMenuBoxItem& row = *box.ItemByIndex(i);
    const MenuRowParts parts = RowParts(box, i);
    if (!parts.row.Intersects(content)) continue;
    const RowHighlight h = box.HighlightOf(i);
    const ui::Fill& fill =
        h == RowHighlight::Over   ? (look.custom ? look.overFill : boxLook.blurOver)
        : h == RowHighlight::Down ? (look.custom ? look.downFill : boxLook.blurDown)
                                  : (look.custom ? look.normalFill : boxLook.blurNormal);
    if (fill.Visible()) canvas.FillRect(parts.row, fill);

    const bool mark = row.IsChecked || (row.IsSelected && look.showSelectedCheckMark);
    if (mark && !parts.check.Empty()) {
      const ui::RectF sq = Square(parts.check, 3);
      if (look.custom && HasPicture(look.checkImage))
        canvas.DrawPicture(look.checkImage, sq, ui::WrapMode::Stretch);
      else
        canvas.FillPath(rowLook.checkMark, sq, checkFill);
    }
    if (level.Images && !parts.icon.Empty() && row.imageIndex >= 0 &&
        std::size_t(row.imageIndex) < level.Images->size()) {
      const ui::PictureRef& icon = (*level.Images)[std::size_t(row.imageIndex)];
      if (icon && !icon->Empty())
        canvas.DrawPicture(icon, Square(parts.icon, 1), ui::WrapMode::Stretch);
    }
    if (row.IsExtender)
      canvas.FillPath(rowLook.extenderMark, Square(parts.extender, 3), extenderFill);
    if (!row.Text.empty() && !parts.text.Empty())
      canvas.DrawText(row.Text, parts.text, look.rowFont, look.rowFontFill, format);
  }
}

}  // namespace quarn::menu
