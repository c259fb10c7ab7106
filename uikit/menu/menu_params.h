// The look parameters of a menu level, and the one rule that decides which values a
// level reads: its root menu's parameters, its own, or the fixed defaults when the
// menu does not use custom parameters. Parameters are plain values: assigning one, or
// any of its fills, fonts or pictures, copies the value.
#pragma once

#include <cstdint>
#include <string>

#include "ui/graphics.h"
#include "ui/object.h"

namespace quarn::menu {

// Four edges, as the designs write them: "(12,7,12,7)" is Left, Top, Right, Bottom.
struct MenuBounds {
  float Left = 0, Top = 0, Right = 0, Bottom = 0;
  friend bool operator==(const MenuBounds&, const MenuBounds&) = default;
};

inline ui::Fill BlackFill() {
  return ui::Fill::Solid(0xFF000000);
}

// The cursor code of a pointing hand; every other code but 0 shows the arrow.
constexpr std::uint16_t kHandCursorCode = 0xFFEB;

struct TMenuParams {
  ui::Fill BGFill = BlackFill();
  ui::PictureRef BGImage = ui::EmptyPicture();
  MenuBounds BGMargins{0, 0, 0, 0};
  MenuBounds MenuTextPadding{3, 1, 3, 1};
  std::u16string BGResource;  // no named fills exist in the style book: stored only
  ui::Fill ItemNormalFill = BlackFill();
  ui::Fill ItemOverFill = BlackFill();
  ui::Fill ItemDownFill = BlackFill();
  ui::Fill ItemCheckFill = BlackFill();
  ui::Fill ItemExtenderFill = BlackFill();
  ui::Fill ItemFontFill = BlackFill();
  ui::FontSpec ItemFont{};  // the toolkit's default font
  std::int32_t ItemHeight = 30;
  std::int32_t ItemWidth = 0;
  bool ItemShowCheck = true;
  bool ItemAutoSize = true;
  std::uint16_t ItemCursor = 0;
  ui::PictureRef ItemCheckImage = ui::EmptyPicture();
  bool MenuShowCheckbox = false;      // stored only
  bool MenuShowSelectedState = true;  // stored only
  bool MenuShowSelectedCheckMark = true;
  std::int32_t CustomWidth = 0;
  std::int32_t CustomHeight = 0;
};

// A picture counts only with more than one pixel.
inline bool HasPicture(const ui::PictureRef& p) {
  return p && !p->Empty() && std::int64_t(p->width) * p->height > 1;
}

ui::Cursor CursorOf(std::uint16_t code);

// What one level reads when it is built and painted.
struct MenuLevelLook {
  // rows and their cursor
  float rowHeight = 40;  // rows without a height of their own; at least 1
  ui::Cursor cursor = ui::Cursor::Arrow;
  // pop-up height: rows + (5 when own parameters) + heightMargins; customHeight wins
  bool ownSizing = false;  // own parameters: +5, never shrinks, CustomHeight limited too
  MenuBounds sizeMargins;
  std::int32_t customHeight = 0;
  // pop-up width: caption + 100 (autoSize) or itemWidth, + sizeMargins; customWidth wins
  bool autoSize = true;
  std::int32_t itemWidth = 0;
  std::int32_t customWidth = 0;
  ui::FontSpec measureFont;
  // box
  bool custom = false;  // fills below come from parameters; else the box look's
  ui::Fill bgFill, normalFill, overFill, downFill;
  ui::PictureRef bgImage = ui::EmptyPicture();
  MenuBounds boxMargins;
  // rows
  ui::FontSpec rowFont;
  ui::Fill rowFontFill;
  MenuBounds textPadding;
  ui::Fill checkFill, extenderFill;
  ui::PictureRef checkImage = ui::EmptyPicture();
  bool showCheck = true;
  bool showSelectedCheckMark = true;
};

// The defaults of a level: its own font and colour for menus without custom parameters.
struct LevelDefaults {
  ui::FontSpec font{u"\u6977\u4F53_GB2312", 18, true, false, false};
  ui::Fill fontFill = BlackFill();
};

// The look of a level from the two switches: `customOn` (the root menu's
// UseCustomMenuParams) and `useParent` (the level's UseParentParameter). Rows always
// take the root's font and row values when custom parameters are on; the root's row
// height is at least 20; MenuShowSelectedCheckMark always comes from the root. The
// widest caption is measured in the font the rows are drawn with.
MenuLevelLook ResolveLevelLook(bool customOn, bool useParent, const TMenuParams& root,
                               const TMenuParams& own, const LevelDefaults& defaults);

}  // namespace quarn::menu
