// The painter through the recording canvas: highlight fills per row, check marks,
// sub-menu arrows, icons and captions where the row parts are.
#include "menu/menu_paint.h"

#include <gtest/gtest.h>

#include "fake_menu_host.h"

namespace {

using namespace quarn::menu;
using namespace quarn::menu::testing;
using quarn::ui::Fill;
using quarn::ui::MouseButton;
using quarn::ui::Placement;
using quarn::ui::RectF;
using quarn::ui::testing::FakeCanvas;

constexpr quarn::ui::Color kBg = 0xFF101010, kNormal = 0xFF202020, kOver = 0xFF303030,
                           kDown = 0xFF404040, kCheck = 0xFF505050, kArrow = 0xFF606060,
                           kText = 0xFF707070;

struct Painted {
  FakeHost host;
  TvnMenuEx menu;
  Painted() {
    menu.Host = &host;
    menu.UseCustomMenuParams = true;
    TMenuParams& p = menu.Parameters;
    p.BGFill = Fill::Solid(kBg);
    p.ItemNormalFill = Fill::Solid(kNormal);
    p.ItemOverFill = Fill::Solid(kOver);
    p.ItemDownFill = Fill::Solid(kDown);
    p.ItemCheckFill = Fill::Solid(kCheck);
    p.ItemExtenderFill = Fill::Solid(kArrow);
    p.ItemFontFill = Fill::Solid(kText);
    p.BGMargins = {4, 6, 4, 6};
    AddItems(menu.Items(), {u"Alpha", u"Beta", u"Gamma", u"Delta", u"Epsilon"});
  }
  TvnMenuBox& Box() { return *menu.Items().Box(); }
  FakeCanvas Paint() {
    FakeCanvas c;
    PaintMenuBox(c, Box());
    return c;
  }
  static int Count(const FakeCanvas& c, const std::string& what, quarn::ui::Color color) {
    int n = 0;
    for (const auto& call : c.calls) n += call.what == what && call.fill.color == color;
    return n;
  }
};

bool Inside(const RectF& inner, const RectF& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.Right() <= outer.Right() + 0.01f &&
         inner.Bottom() <= outer.Bottom() + 0.01f;
}

TEST(MenuPaint, RowsTakeTheirHighlightFills) {
  Painted p;
  p.menu.ShowMainMenu(3, TargetAt(0, 0), Placement::Bottom);  // marks row 2
  p.Box().MouseMove(RowCentre(p.menu.Items(), 0));
  FakeCanvas c = p.Paint();
  ASSERT_FALSE(c.calls.empty());
  EXPECT_EQ(c.calls[0].what, "rect");
  EXPECT_EQ(c.calls[0].fill.color, kBg);
  EXPECT_EQ(c.calls[0].rect, (RectF{0, 0, p.Box().PopupWidth(), p.Box().PopupHeight()}));
  std::vector<quarn::ui::Color> fills;
  for (const auto& call : c.calls)
    if (call.what == "rect" && call.fill.color != kBg) {
      fills.push_back(call.fill.color);
      EXPECT_EQ(call.clip, p.Box().ContentRect()) << "rows stay inside the margins";
    }
  EXPECT_EQ(fills, (std::vector<quarn::ui::Color>{kOver, kNormal, kDown, kNormal, kNormal}));
  EXPECT_EQ(p.Box().RowRect(0).y, 6) << "rows start below the top margin";
}

TEST(MenuPaint, CheckMarks) {
  struct Row {
    const char* why;
    bool selectedMark;
    bool picture;
    int paths, pictures;
  } rows[] = {
      {"three checked rows, selected mark off: three marks", false, false, 3, 0},
      {"selected mark on: the marked row shows one too", true, false, 4, 0},
      {"a check picture replaces the figure", true, true, 0, 4},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    Painted p;
    p.menu.Parameters.MenuShowSelectedCheckMark = r.selectedMark;
    if (r.picture) {
      auto pic = std::make_shared<quarn::ui::Picture>();
      pic->width = pic->height = 2;
      pic->pixels.assign(4, 0xFFFF0000);
      p.menu.Parameters.ItemCheckImage = pic;
    }
    for (int i : {0, 1, 4}) p.menu.Items().Items(i)->Checked = true;
    p.menu.ShowMainMenu(3, TargetAt(0, 0), Placement::Bottom);
    FakeCanvas c = p.Paint();
    EXPECT_EQ(Painted::Count(c, "path", kCheck), r.paths);
    int pictures = 0;
    for (const auto& call : c.calls) pictures += call.what == "picture";
    EXPECT_EQ(pictures, r.pictures);
    for (const auto& call : c.calls)
      if ((call.what == "path" && call.fill.color == kCheck) || call.what == "picture") {
        bool inAColumn = false;
        for (int i = 0; i < 5; ++i) inAColumn |= Inside(call.rect, RowParts(p.Box(), i).check);
        EXPECT_TRUE(inAColumn) << "marks only in check columns";
      }
  }
}

TEST(MenuPaint, NoCheckColumnWhenSwitchedOff) {
  Painted p;
  p.menu.Parameters.ItemShowCheck = false;
  p.menu.Items().Items(0)->Checked = true;
  p.menu.ShowMainMenu(TargetAt(0, 0), Placement::Bottom);
  EXPECT_EQ(Painted::Count(p.Paint(), "path", kCheck), 0);
  EXPECT_EQ(RowParts(p.Box(), 0).text.x, RowParts(p.Box(), 0).row.x + 3) << "text moves left";
}

TEST(MenuPaint, ArrowsOnlyOnRowsWithSubItems) {
  Painted p;
  p.menu.Items().Items(1)->SubItems().Add();
  p.menu.Items().Items(3)->SubItems().Add();
  p.menu.ShowMainMenu(TargetAt(0, 0), Placement::Bottom);
  FakeCanvas c = p.Paint();
  std::vector<int> rows;
  for (const auto& call : c.calls)
    if (call.what == "path" && call.fill.color == kArrow)
      for (int i = 0; i < 5; ++i)
        if (Inside(call.rect, RowParts(p.Box(), i).extender)) rows.push_back(i);
  EXPECT_EQ(rows, (std::vector<int>{1, 3}));
}

TEST(MenuPaint, CaptionsInTheirTextRectangles) {
  Painted p;
  p.menu.ShowMainMenu(TargetAt(0, 0), Placement::Bottom);
  FakeCanvas c = p.Paint();
  int i = 0;
  for (const auto& call : c.calls)
    if (call.what == "text") {
      EXPECT_EQ(call.rect, RowParts(p.Box(), i).text) << i;
      EXPECT_EQ(call.fill.color, kText);
      ++i;
    }
  EXPECT_EQ(c.Texts(),
            (std::vector<std::u16string>{u"Alpha", u"Beta", u"Gamma", u"Delta", u"Epsilon"}));
}

TEST(MenuPaint, IconsByImageIndexWithinTheList) {
  Painted p;
  auto pic = std::make_shared<quarn::ui::Picture>();
  pic->width = pic->height = 4;
  pic->pixels.assign(16, 0xFF00FF00);
  const MenuImageList images{pic, nullptr};
  p.menu.Items().Images = &images;
  p.menu.Items().Items(0)->ImageIndex = 0;
  p.menu.Items().Items(1)->ImageIndex = 1;   // a null picture
  p.menu.Items().Items(2)->ImageIndex = 2;   // beyond the list
  p.menu.Items().Items(3)->ImageIndex = -5;  // negative
  p.menu.ShowMainMenu(TargetAt(0, 0), Placement::Bottom);
  FakeCanvas c = p.Paint();
  int pictures = 0;
  for (const auto& call : c.calls)
    if (call.what == "picture") {
      ++pictures;
      EXPECT_TRUE(Inside(call.rect, RowParts(p.Box(), 0).icon));
    }
  EXPECT_EQ(pictures, 1);
}

TEST(MenuPaint, StoredOnlySwitchesChangeNothing) {
  auto calls = [](bool checkbox, bool selectedState) {
    Painted p;
    p.menu.Parameters.MenuShowCheckbox = checkbox;
    p.menu.Parameters.MenuShowSelectedState = selectedState;
    p.menu.Items().Items(1)->Checked = true;
    p.menu.ShowMainMenu(2, TargetAt(0, 0), Placement::Bottom);
    std::string r;
    for (const auto& call : p.Paint().calls)
      r += call.what + std::to_string(call.rect.y) + std::to_string(call.fill.color) + ";";
    return r;
  };
  const std::string base = calls(false, true);
  EXPECT_EQ(calls(true, true), base);
  EXPECT_EQ(calls(false, false), base);
}

TEST(MenuPaint, WithoutCustomParametersTheBoxLookIsUsed) {
  FakeHost host;
  TvnMenuEx menu;
  menu.Host = &host;
  menu.Parameters.ItemOverFill = Fill::Solid(kOver);
  AddItems(menu.Items(), {u"One", u"Two"});
  menu.ShowMainMenu(TargetAt(0, 0), Placement::Bottom);
  menu.Items().Box()->MouseMove(RowCentre(menu.Items(), 1));
  FakeCanvas c;
  PaintMenuBox(c, *menu.Items().Box());
  EXPECT_EQ(c.calls[0].fill.color, menu.BoxLook.background.color);
  int over = 0;
  for (const auto& call : c.calls) {
    EXPECT_NE(call.fill.color, kOver) << "parameters are ignored";
    over += call.what == "rect" && call.fill.color == menu.BoxLook.blurOver.color;
  }
  EXPECT_EQ(over, 1);
  for (const auto& call : c.calls) {
    if (call.what == "text") {
      EXPECT_EQ(call.fill.color, 0xFF000000u);
    }
  }
}

}  // namespace
