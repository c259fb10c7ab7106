// Menu levels painted by the GDI+ canvas into an offscreen picture and checked by
// regions (fonts and anti-aliasing differ between systems): each row's highlight fill,
// ink only where the caption, check mark and arrow belong, the background picture in
// the margins, Chinese captions drawn as distinct glyphs.
#include <gtest/gtest.h>

#include <cstdlib>

#include "fake_menu_host.h"
#include "menu/menu_paint.h"
#include "offscreen.h"

namespace {

using namespace quarn::menu;
using namespace quarn::menu::testing;
using quarn::ui::Color;
using quarn::ui::Fill;
using quarn::ui::Picture;
using quarn::ui::PictureRef;
using quarn::ui::Placement;
using quarn::ui::RectF;
using quarn::ui::Rgb;

constexpr Color kBg = Rgb(250, 250, 250), kNormal = Rgb(200, 220, 255), kOver = Rgb(255, 200, 120),
                kDown = Rgb(120, 230, 120), kCheck = Rgb(200, 0, 0), kArrow = Rgb(0, 0, 200),
                kMargin = Rgb(255, 0, 255);

bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 6) {
  for (int s = 0; s < 24; s += 8)
    if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > tolerance) return false;
  return true;
}

// Pixels of `area` that are not `background`.
int Ink(const Picture& p, RectF area, Color background) {
  int n = 0;
  for (int y = int(area.y); y < int(area.Bottom()); ++y)
    for (int x = int(area.x); x < int(area.Right()); ++x)
      if (x >= 0 && y >= 0 && x < p.width && y < p.height && !Near(p.At(x, y), background, 24)) ++n;
  return n;
}

// Pixels of `area` outside `keep` that are not `background`.
int InkOutside(const Picture& p, RectF area, RectF keep, Color background) {
  int n = 0;
  for (int y = int(area.y); y < int(area.Bottom()); ++y)
    for (int x = int(area.x); x < int(area.Right()); ++x) {
      if (keep.Contains({float(x) + 0.5f, float(y) + 0.5f})) continue;
      if (x < p.width && y < p.height && !Near(p.At(x, y), background, 24)) ++n;
    }
  return n;
}

struct Rendered {
  FakeHost host;
  TvnMenuEx menu;
  Rendered() {
    menu.Host = &host;
    menu.UseCustomMenuParams = true;
    TMenuParams& p = menu.Parameters;
    p.BGFill = Fill::Solid(kBg);
    p.ItemNormalFill = Fill::Solid(kNormal);
    p.ItemOverFill = Fill::Solid(kOver);
    p.ItemDownFill = Fill::Solid(kDown);
    p.ItemCheckFill = Fill::Solid(kCheck);
    p.ItemExtenderFill = Fill::Solid(kArrow);
    p.ItemFontFill = Fill::Solid(Rgb(0, 0, 0));
    p.ItemFont = {u"Tahoma", 13, false, false, false};
    p.BGMargins = {6, 6, 6, 6};
    p.MenuShowSelectedCheckMark = false;
  }
  TvnMenuBox& Box() { return *menu.Items().Box(); }
  PictureRef Render() {
    TvnMenuBox& b = Box();
    return quarn::ui::RenderToPicture(int(b.PopupWidth()), int(b.PopupHeight()),
                                      [&](quarn::ui::Canvas& c) { PaintMenuBox(c, b); });
  }
};

TEST(MenuRender, RowFillsMarksArrowsAndText) {
  Rendered r;
  AddItems(r.menu.Items(), {u"Click", u"Media Shortcut", u"Scroll Up", u"Scroll Down"});
  r.menu.Items().Items(1)->SubItems().Add()->Caption = u"Play";
  r.menu.Items().Items(3)->Checked = true;
  r.menu.ShowMainMenu(3, TargetAt(0, 0), Placement::Bottom);  // marks "Scroll Up"
  r.Box().MouseMove(RowCentre(r.menu.Items(), 0));
  r.menu.Items().Items(1)->SubItems().CloseSubMenus();
  PictureRef pic = r.Render();
  ASSERT_FALSE(pic->Empty());
  const Color fills[] = {kOver, kNormal, kDown, kNormal};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const MenuRowParts parts = RowParts(r.Box(), i);
    // A pixel of the row that nothing but the highlight covers: the check column's corner.
    EXPECT_TRUE(Near(pic->At(int(parts.row.x) + 1, int(parts.row.y) + 1), fills[i]));
    EXPECT_GT(Ink(*pic, parts.text, fills[i]), 10) << "the caption is drawn";
    const int checkInk = Ink(*pic, parts.check, fills[i]);
    if (i == 3)
      EXPECT_GT(checkInk, 10) << "the checked row shows its mark";
    else
      EXPECT_EQ(checkInk, 0) << "no mark (the selected mark is switched off)";
    const int arrowInk = Ink(*pic, parts.extender, fills[i]);
    if (i == 1)
      EXPECT_GT(arrowInk, 5) << "the row with sub-items has its arrow";
    else
      EXPECT_EQ(arrowInk, 0);
    RectF around = parts.text.Inflate(1, 1);
    RectF rowOnly = parts.row;
    rowOnly.width -= parts.extender.width;
    rowOnly.x += parts.check.width;
    rowOnly.width -= parts.check.width;
    EXPECT_EQ(InkOutside(*pic, rowOnly, around, fills[i]), 0) << "ink only in the text box";
  }
  // The marked check colour where the mark is.
  const RectF check = RowParts(r.Box(), 3).check;
  bool red = false;
  for (int y = int(check.y); y < int(check.Bottom()); ++y)
    for (int x = int(check.x); x < int(check.Right()); ++x) red |= Near(pic->At(x, y), kCheck, 40);
  EXPECT_TRUE(red);
  EXPECT_TRUE(Near(pic->At(2, 2), kBg)) << "the background in the margin";
}

TEST(MenuRender, BackgroundPictureShowsInTheMargins) {
  Rendered r;
  auto bg = std::make_shared<Picture>();
  bg->width = bg->height = 4;
  bg->pixels.assign(16, kMargin);
  r.menu.Parameters.BGImage = bg;
  AddItems(r.menu.Items(), {u"Click", u"Stop"});
  r.menu.ShowMainMenu(TargetAt(0, 0), Placement::Bottom);
  PictureRef pic = r.Render();
  EXPECT_TRUE(Near(pic->At(2, 2), kMargin));
  EXPECT_TRUE(
      Near(pic->At(int(r.Box().PopupWidth()) - 3, int(r.Box().PopupHeight()) - 3), kMargin));
}

TEST(MenuRender, StoredOnlySwitchesChangeNoPixel) {
  auto render = [](bool checkbox, bool selectedState) {
    Rendered r;
    r.menu.Parameters.MenuShowCheckbox = checkbox;
    r.menu.Parameters.MenuShowSelectedState = selectedState;
    AddItems(r.menu.Items(), {u"Click", u"Stop"});
    r.menu.Items().Items(0)->Checked = true;
    r.menu.ShowMainMenu(2, TargetAt(0, 0), Placement::Bottom);
    return r.Render();
  };
  PictureRef base = render(false, true);
  EXPECT_EQ(render(true, true)->pixels, base->pixels);
  EXPECT_EQ(render(false, false)->pixels, base->pixels);
}

TEST(MenuRender, ChineseCaptionsAreDistinctGlyphs) {
  Rendered r;
  // The level's default font family, which no system here has: resolved by fallback.
  r.menu.UseCustomMenuParams = false;
  AddItems(r.menu.Items(), {u"X", u"\u505C\u6B62", u"\u64AD\u653E", u"\u505C\u6B62"});
  r.menu.ShowMainMenu(TargetAt(0, 0), Placement::Bottom);
  PictureRef pic = r.Render();
  auto crop = [&](int row) {
    const RectF t = RowParts(r.Box(), row).text;
    std::vector<std::uint32_t> px;
    for (int y = int(t.y); y < int(t.Bottom()); ++y)
      for (int x = int(t.x); x < int(t.Right()); ++x) px.push_back(pic->At(x, y));
    return px;
  };
  const Color bg = r.menu.BoxLook.background.color;
  EXPECT_GT(Ink(*pic, RowParts(r.Box(), 1).text, bg), 20) << "something is drawn";
  EXPECT_NE(crop(1), crop(2)) << "different captions, different glyphs (no boxes)";
  EXPECT_EQ(crop(1), crop(3)) << "the same caption draws the same";
}

}  // namespace
