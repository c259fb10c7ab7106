#include "menu/menu_params.h"

#include <algorithm>

namespace quarn::menu {

ui::Cursor CursorOf(std::uint16_t code) {
  return code == kHandCursorCode ? ui::Cursor::Hand : ui::Cursor::Arrow;
}

MenuLevelLook ResolveLevelLook(bool customOn, bool useParent, const TMenuParams& root,
                               const TMenuParams& own, const LevelDefaults& defaults) {
  MenuLevelLook l;
  const TMenuParams& p = useParent ? root : own;
  // Sizes.
  if (customOn) {
    l.rowHeight =
        useParent ? float(std::max(root.ItemHeight, 20)) : float(std::max(own.ItemHeight, 1));
    l.cursor = CursorOf(p.ItemCursor);
  }
  l.ownSizing = !useParent;
  if (!useParent || customOn) l.sizeMargins = p.BGMargins;
  l.customHeight = p.CustomHeight;
  l.customWidth = p.CustomWidth;
  l.autoSize = useParent ? true : own.ItemAutoSize;
  l.itemWidth = useParent ? 0 : own.ItemWidth;
  // Rows: the root's values with custom parameters, the level's defaults without.
  l.rowFont = customOn ? root.ItemFont : defaults.font;
  l.rowFontFill = customOn ? root.ItemFontFill : defaults.fontFill;
  l.measureFont = l.rowFont;
  l.showSelectedCheckMark = root.MenuShowSelectedCheckMark;
  l.custom = customOn;
  if (customOn) {
    l.bgFill = p.BGFill;
    l.normalFill = p.ItemNormalFill;
    l.overFill = p.ItemOverFill;
    l.downFill = p.ItemDownFill;
    l.bgImage = p.BGImage;
    l.boxMargins = p.BGMargins;
    l.textPadding = root.MenuTextPadding;
    l.checkFill = root.ItemCheckFill;
    l.extenderFill = root.ItemExtenderFill;
    l.checkImage = root.ItemCheckImage;
    l.showCheck = root.ItemShowCheck;
  }
  return l;
}

}  // namespace quarn::menu
