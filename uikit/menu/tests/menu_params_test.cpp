// Look parameters: defaults, value semantics, and which source a level reads under
// the two switches.
#include "menu/menu_params.h"

#include <gtest/gtest.h>

namespace {

using namespace quarn::menu;
using quarn::ui::Fill;

TEST(MenuParams, FreshParametersHoldTheDefaults) {
  TMenuParams p;
  EXPECT_EQ(p.ItemHeight, 30);
  EXPECT_EQ(p.MenuTextPadding, (MenuBounds{3, 1, 3, 1}));
  EXPECT_EQ(p.BGMargins, (MenuBounds{0, 0, 0, 0}));
  EXPECT_TRUE(p.ItemShowCheck && p.ItemAutoSize && p.MenuShowSelectedState &&
              p.MenuShowSelectedCheckMark);
  EXPECT_FALSE(p.MenuShowCheckbox);
  EXPECT_EQ(p.ItemWidth + p.CustomWidth + p.CustomHeight + p.ItemCursor, 0);
  for (const Fill* f : {&p.BGFill, &p.ItemNormalFill, &p.ItemOverFill, &p.ItemDownFill,
                        &p.ItemCheckFill, &p.ItemExtenderFill, &p.ItemFontFill}) {
    EXPECT_EQ(f->kind, Fill::Kind::Solid);
    EXPECT_EQ(f->color, 0xFF000000u);
  }
  EXPECT_FALSE(HasPicture(p.BGImage));
  EXPECT_FALSE(HasPicture(p.ItemCheckImage));
}

TEST(MenuParams, AssigningCopiesTheValue) {
  Fill source = Fill::Gradient(0xFF112233, 0xFF445566);
  TMenuParams p;
  p.ItemOverFill = source;
  source.stops[0].color = 0xFFFFFFFF;
  source.kind = Fill::Kind::None;
  EXPECT_EQ(p.ItemOverFill.kind, Fill::Kind::LinearGradient);
  EXPECT_EQ(p.ItemOverFill.stops[0].color, 0xFF112233u);

  TMenuParams copy = p;
  copy.BGMargins.Left = 12;
  copy.ItemFont.size = 40;
  EXPECT_EQ(p.BGMargins.Left, 0) << "bounds are values, never shared";
  EXPECT_NE(p.ItemFont.size, 40);
}

TEST(MenuParams, OnePixelPicturesCountAsNone) {
  auto one = std::make_shared<quarn::ui::Picture>();
  one->width = one->height = 1;
  one->pixels = {0xFF000000};
  auto two = std::make_shared<quarn::ui::Picture>(*one);
  two->width = 2;
  two->pixels.push_back(0xFF000000);
  EXPECT_FALSE(HasPicture(one));
  EXPECT_TRUE(HasPicture(two));
  EXPECT_FALSE(HasPicture(nullptr));
}

// Root and own parameters told apart by every value a level reads.
struct Sources {
  TMenuParams root, own;
  LevelDefaults defaults;
  Sources() {
    root.ItemHeight = 15;
    own.ItemHeight = 15;
    root.ItemCursor = kHandCursorCode;
    root.BGMargins = {12, 7, 12, 7};
    own.BGMargins = {1, 2, 3, 4};
    root.CustomWidth = 250;
    own.CustomWidth = 300;
    root.CustomHeight = 154;
    own.CustomHeight = 155;
    root.ItemFont.family = u"Root";
    own.ItemFont.family = u"Own";
    root.BGFill = Fill::Solid(0xFF000001);
    own.BGFill = Fill::Solid(0xFF000002);
    root.ItemCheckFill = Fill::Solid(0xFF000011);
    own.ItemCheckFill = Fill::Solid(0xFF000012);
    root.ItemFontFill = Fill::Solid(0xFF000021);
    own.ItemFontFill = Fill::Solid(0xFF000022);
    root.MenuTextPadding = {9, 9, 9, 9};
    own.MenuTextPadding = {8, 8, 8, 8};
    root.MenuShowSelectedCheckMark = false;
    own.MenuShowSelectedCheckMark = true;
    own.ItemAutoSize = false;
    own.ItemWidth = 77;
  }
};

TEST(MenuParams, LevelReadsTheSourceOfEachSwitchPair) {
  Sources s;
  struct Row {
    const char* why;
    bool custom, parent;
    float rowHeight;
    quarn::ui::Cursor cursor;
    float sizeLeft;
    int customWidth, customHeight;
    const char16_t* rowFont;
    quarn::ui::Color bg, check, text;
    bool ownSizing, autoSize;
  };
  const auto kArrow = quarn::ui::Cursor::Arrow, kHand = quarn::ui::Cursor::Hand;
  const char16_t* kDefault = s.defaults.font.family.c_str();
  const Row rows[] = {
      {"custom off, follows root: fixed 40, root custom sizes, no margins, level font", false, true,
       40, kArrow, 0, 250, 154, kDefault, 0, 0, 0xFF000000, false, true},
      {"custom off, own: own sizes and margins, level font", false, false, 40, kArrow, 1, 300, 155,
       kDefault, 0, 0, 0xFF000000, true, false},
      {"custom on, follows root: root height raised to 20, root everything", true, true, 20, kHand,
       12, 250, 154, u"Root", 0xFF000001, 0xFF000011, 0xFF000021, false, true},
      {"custom on, own: own height unbounded, own box, root rows", true, false, 15, kArrow, 1, 300,
       155, u"Root", 0xFF000002, 0xFF000011, 0xFF000021, true, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    MenuLevelLook l = ResolveLevelLook(r.custom, r.parent, s.root, s.own, s.defaults);
    EXPECT_EQ(l.rowHeight, r.rowHeight);
    EXPECT_EQ(l.cursor, r.cursor);
    EXPECT_EQ(l.sizeMargins.Left, r.sizeLeft);
    EXPECT_EQ(l.customWidth, r.customWidth);
    EXPECT_EQ(l.customHeight, r.customHeight);
    EXPECT_EQ(l.rowFont.family, r.rowFont);
    EXPECT_EQ(l.measureFont.family, r.rowFont) << "measured in the font the rows show";
    EXPECT_EQ(l.custom, r.custom);
    if (r.custom) {
      EXPECT_EQ(l.bgFill.color, r.bg);
      EXPECT_EQ(l.checkFill.color, r.check);
      EXPECT_EQ(l.textPadding, s.root.MenuTextPadding);
    }
    EXPECT_EQ(l.rowFontFill.color, r.text);
    EXPECT_FALSE(l.showSelectedCheckMark) << "always the root's";
    EXPECT_EQ(l.ownSizing, r.ownSizing);
    EXPECT_EQ(l.autoSize, r.autoSize);
  }
}

TEST(MenuParams, RowHeightBounds) {
  TMenuParams root, own;
  const LevelDefaults d;
  struct Row {
    const char* why;
    int rootHeight, ownHeight;
    bool parent;
    float expected;
  } rows[] = {
      {"root 15 is raised to 20", 15, 0, true, 20},
      {"root 10 is raised to 20", 10, 0, true, 20},
      {"root 33 kept", 33, 0, true, 33},
      {"own 15 kept", 0, 15, false, 15},
      {"own 0 would hide the rows: at least 1", 0, 0, false, 1},
      {"own negative: at least 1", 0, -40, false, 1},
  };
  for (const Row& r : rows) {
    root.ItemHeight = r.rootHeight;
    own.ItemHeight = r.ownHeight;
    EXPECT_EQ(ResolveLevelLook(true, r.parent, root, own, d).rowHeight, r.expected) << r.why;
  }
}

TEST(MenuParams, CursorCodes) {
  EXPECT_EQ(CursorOf(0), quarn::ui::Cursor::Arrow);
  EXPECT_EQ(CursorOf(kHandCursorCode), quarn::ui::Cursor::Hand);
  EXPECT_EQ(CursorOf(0x1234), quarn::ui::Cursor::Arrow);
}

}  // namespace
