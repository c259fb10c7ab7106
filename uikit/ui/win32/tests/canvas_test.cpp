// The GDI+ canvas drawn offscreen, checked by regions rather than golden images (fonts and
// anti-aliasing differ between systems): fills, corners, gradients, tiling, clipping,
// translation, fonts that are missing and texts a family has no glyphs for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "gdiplus_canvas.h"
#include "gdiplus_session.h"
#include "offscreen.h"

namespace {

using namespace quarn::ui;

constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kRed = Rgb(220, 30, 40);
constexpr Color kBlue = Rgb(20, 40, 200);

bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 2) {
  for (int s = 0; s < 24; s += 8)
    if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > tolerance) return false;
  return true;
}

PictureRef Render(int w, int h, const std::function<void(Canvas&)>& paint) {
  return RenderToPicture(w, h, [&](Canvas& c) {
    c.FillRect({0, 0, float(w), float(h)}, Fill::Solid(kWhite));
    paint(c);
  });
}

// Pixels in `area` that are not the white background.
int Ink(const Picture& p, RectF area) {
  int n = 0;
  for (int y = int(area.y); y < int(area.Bottom()); ++y)
    for (int x = int(area.x); x < int(area.Right()); ++x)
      if (x >= 0 && y >= 0 && x < p.width && y < p.height && !Near(p.At(x, y), kWhite, 8)) ++n;
  return n;
}

bool SamePixels(const Picture& a, const Picture& b) {
  return a.pixels == b.pixels;
}

PictureRef Checker(int w, int h) {
  auto p = std::make_shared<Picture>();
  p->width = w;
  p->height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p->pixels.push_back(0xFF000000u | std::uint32_t(x * 30) << 16 | std::uint32_t(y * 40) << 8 |
                          0x80u);
  return p;
}

TEST(GdiplusCanvas, SolidRoundedAndTranslatedFills) {
  auto p = Render(200, 120, [](Canvas& c) {
    c.FillRect({10, 10, 80, 60}, Fill::Solid(kRed));
    c.FillRect({110, 10, 80, 60}, Fill::Solid(kBlue), 20);
    c.Translate(30, 80);
    c.FillRect({0, 0, 10, 10}, Fill::Solid(kRed));
    c.Translate(-30, -80);
    c.FillEllipse({150, 80, 40, 40}, Fill::Solid(kBlue));
  });
  ASSERT_FALSE(p->Empty());
  EXPECT_TRUE(Near(p->At(50, 40), kRed));
  EXPECT_TRUE(Near(p->At(10, 10), kRed)) << "top-left pixel belongs to the rectangle";
  EXPECT_TRUE(Near(p->At(89, 69), kRed)) << "bottom-right pixel too";
  EXPECT_TRUE(Near(p->At(90, 40), kWhite)) << "right edge is outside";
  EXPECT_TRUE(Near(p->At(150, 40), kBlue));
  EXPECT_TRUE(Near(p->At(111, 11), kWhite)) << "rounded corner keeps the background";
  EXPECT_TRUE(Near(p->At(188, 68), kWhite));
  EXPECT_TRUE(Near(p->At(150, 11), kBlue)) << "the edge between corners is filled";
  EXPECT_TRUE(Near(p->At(35, 85), kRed)) << "translated";
  EXPECT_TRUE(Near(p->At(5, 85), kWhite));
  EXPECT_TRUE(Near(p->At(170, 100), kBlue));
  EXPECT_TRUE(Near(p->At(151, 81), kWhite)) << "ellipse leaves its box's corners";
}

TEST(GdiplusCanvas, GradientRunsFromStartColourToEndColour) {
  Fill down = Fill::Gradient(Rgb(0, 0, 0), Rgb(200, 100, 250));
  Fill across = Fill::Gradient(kRed, kBlue, {0, 0}, {1, 0});
  auto p = Render(100, 100, [&](Canvas& c) {
    c.FillRect({0, 0, 50, 100}, down);
    c.FillRect({50, 0, 50, 100}, across);
  });
  EXPECT_TRUE(Near(p->At(20, 0), Rgb(0, 0, 0), 6));
  EXPECT_TRUE(Near(p->At(20, 99), Rgb(200, 100, 250), 6));
  int previous = -1;
  for (int y = 0; y < 100; y += 9) {
    int red = (p->At(20, y) >> 16) & 0xFF;
    EXPECT_GE(red, previous) << "row " << y;
    previous = red;
  }
  EXPECT_TRUE(Near(p->At(50, 50), kRed, 8));
  EXPECT_TRUE(Near(p->At(99, 50), kBlue, 8));
  EXPECT_TRUE(Near(p->At(75, 10), p->At(75, 90), 1)) << "horizontal gradient is the same down";
}

TEST(GdiplusCanvas, PicturesTileAtTheirPeriodAndStretchToTheBox) {
  PictureRef tile = Checker(7, 5);
  // Four 10 x 10 quadrants, stretched to twice their size.
  auto quad = std::make_shared<Picture>();
  quad->width = quad->height = 20;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      quad->pixels.push_back(y < 10 ? (x < 10 ? kRed : kBlue)
                                    : (x < 10 ? Rgb(0, 200, 0) : Rgb(250, 250, 0)));
  auto p = Render(200, 100, [&](Canvas& c) {
    c.DrawPicture(tile, {3, 2, 70, 50}, WrapMode::Tile);
    c.DrawPicture(quad, {100, 0, 40, 40}, WrapMode::Stretch);
    c.FillRect({150, 0, 30, 30}, Fill::Image(tile, WrapMode::Tile), 0);
    c.DrawPicture(tile, {100, 60, 4, 3}, WrapMode::Original);
  });
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      std::uint32_t expected = tile->At(x, y);
      ASSERT_TRUE(Near(p->At(3 + x, 2 + y), expected)) << x << "," << y;
      ASSERT_TRUE(Near(p->At(3 + x + 7 * 9, 2 + y + 5 * 9), expected)) << x << "," << y;
      ASSERT_TRUE(Near(p->At(150 + x + 7, y + 15), expected)) << "fill starts at its box";
    }
  EXPECT_TRUE(Near(p->At(73, 20), kWhite)) << "tiling stops at the box";
  EXPECT_TRUE(Near(p->At(110, 10), kRed, 6));
  EXPECT_TRUE(Near(p->At(130, 10), kBlue, 6));
  EXPECT_TRUE(Near(p->At(110, 30), Rgb(0, 200, 0), 6));
  EXPECT_TRUE(Near(p->At(130, 30), Rgb(250, 250, 0), 6));
  EXPECT_TRUE(Near(p->At(141, 20), kWhite)) << "stretching stops at the box";
  EXPECT_TRUE(Near(p->At(103, 62), tile->At(3, 2))) << "original size at the corner";
  EXPECT_TRUE(Near(p->At(104, 62), kWhite)) << "original size clipped to the box";
}

TEST(GdiplusCanvas, TextLeavesInkOnlyInsideItsClip) {
  FontSpec font{u"Verdana", 28, true};
  RectF clip{40, 10, 60, 30};
  auto p = Render(240, 60, [&](Canvas& c) {
    c.PushClip(clip);
    c.PushClip({0, 0, 70, 60});  // nested: only the overlap remains
    c.DrawText(u"WWWWWWWWWW", {0, 0, 240, 60}, font, Fill::Solid(Rgb(0, 0, 0)), {});
    c.PopClip();
    c.FillRect({0, 45, 240, 15}, Fill::Solid(kRed));  // only the outer clip now
    c.PopClip();
  });
  EXPECT_GT(Ink(*p, {40, 10, 30, 30}), 20);
  EXPECT_EQ(Ink(*p, {0, 0, 40, 60}), 0);
  EXPECT_EQ(Ink(*p, {70, 0, 170, 45}), 0);
  EXPECT_EQ(Ink(*p, {0, 40, 240, 20}), 0) << "the fill after the inner pop stays in the outer clip";
}

TEST(GdiplusCanvas, TextIsAlignedWrappedAndShadowed) {
  FontSpec font{u"Verdana", 14};
  Fill black = Fill::Solid(Rgb(0, 0, 0));
  auto p = Render(300, 200, [&](Canvas& c) {
    c.DrawText(u"OK", {0, 0, 300, 30}, font, black, {AlignH::Trailing, AlignV::Center});
    c.DrawText(u"OK", {0, 40, 300, 30}, font, black, {AlignH::Center, AlignV::Center});
    c.DrawText(u"one two three four five six seven", {0, 80, 90, 120}, font, black,
               {AlignH::Leading, AlignV::Leading, true});
    TextFormat shadowed{AlignH::Leading, AlignV::Leading};
    shadowed.shadow = true;
    shadowed.shadowColor = 0xFFFF0000u;
    c.DrawText(u"I", {200, 100, 60, 40}, FontSpec{u"Verdana", 30, true}, Fill::Solid(kWhite),
               shadowed);
  });
  EXPECT_GT(Ink(*p, {250, 0, 50, 30}), 10);
  EXPECT_EQ(Ink(*p, {0, 0, 200, 30}), 0);
  EXPECT_GT(Ink(*p, {130, 40, 40, 30}), 10);
  EXPECT_EQ(Ink(*p, {0, 40, 110, 30}), 0);
  EXPECT_EQ(Ink(*p, {200, 40, 100, 30}), 0);
  EXPECT_GT(Ink(*p, {0, 120, 90, 80}), 10) << "wrapped onto later lines";
  EXPECT_EQ(Ink(*p, {90, 80, 100, 120}), 0) << "and not past the box's width";
  EXPECT_GT(Ink(*p, {200, 100, 60, 40}), 5) << "the shadow shows beside white text";
}

// Chinese captions in a family without Chinese glyphs must not come out as identical boxes,
// and a family nobody has must still draw.
TEST(GdiplusCanvas, MissingFamiliesAndMissingGlyphsStillDrawRealText) {
  const std::u16string families[] = {u"Verdana", u"\u6977\u4F53_GB2312", u"\u9ED1\u4F53",
                                     u"NoSuchFont"};
  for (const auto& family : families) {
    SCOPED_TRACE(std::string(family.begin(), family.end()));
    FontSpec font{family, 16};
    auto draw = [&](std::u16string_view text) {
      return Render(120, 30, [&](Canvas& c) {
        c.DrawText(text, {0, 0, 120, 30}, font, Fill::Solid(Rgb(0, 0, 0)), {});
      });
    };
    auto first = draw(u"\u9F20\u6807\u8BBE\u7F6E");   // four characters
    auto second = draw(u"\u914D\u7F6E\u6587\u4EF6");  // four others
    auto latin = draw(u"Profile 1");
    EXPECT_GT(Ink(*first, {0, 0, 120, 30}), 30);
    EXPECT_GT(Ink(*second, {0, 0, 120, 30}), 30);
    EXPECT_FALSE(SamePixels(*first, *second)) << "boxes instead of glyphs";
    EXPECT_GT(Ink(*latin, {0, 0, 120, 30}), 30);
  }
  auto& fonts = GdiplusSession::Current()->Fonts();
  EXPECT_FALSE(fonts.ResolvedFamily(u"NoSuchFont").empty());
  EXPECT_NE(fonts.ResolvedFamily(u"NoSuchFont"), u"NoSuchFont");
  EXPECT_NE(fonts.ResolvedFamily(u"Verdana", u"\u9F20\u6807"), fonts.ResolvedFamily(u"Verdana"))
      << "Chinese text in a Latin family switches family";
}

TEST(GdiplusCanvas, MeasuredWidthGrowsWithTextAndFollowsTheFont) {
  RenderToPicture(10, 10, [](Canvas& c) {
    FontSpec small{u"Verdana", 12}, big{u"Verdana", 24};
    SizeF one = c.MeasureText(u"OK", small);
    SizeF two = c.MeasureText(u"OK OK OK", small);
    SizeF large = c.MeasureText(u"OK", big);
    EXPECT_GT(one.width, 5);
    EXPECT_GT(two.width, one.width * 2.5f);
    EXPECT_GT(large.width, one.width * 1.6f);
    EXPECT_GT(large.height, one.height);
    EXPECT_EQ(c.MeasureText(u"", small), SizeF{});
    EXPECT_GT(c.MeasureText(u"\u9F20\u6807", FontSpec{u"NoSuchFont", 12}).width, 5);
  });
}

// Nonsense geometry and empty inputs draw nothing and never fail.
TEST(GdiplusCanvas, HostileInputsDrawNothingAndDoNotFail) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  Fill badGradient = Fill::Gradient(kRed, kBlue, {0.5f, 0.5f}, {0.5f, 0.5f});
  Fill noStops = badGradient;
  noStops.stops.clear();
  Fill nanStops = Fill::Gradient(kRed, kBlue);
  nanStops.stops.push_back({nan, kBlue});
  auto broken = std::make_shared<Picture>();
  broken->width = 100;
  broken->height = 100;  // claims pixels it does not have
  auto p = Render(60, 60, [&](Canvas& c) {
    c.FillRect({nan, 0, 10, 10}, Fill::Solid(kRed));
    c.FillRect({0, 0, inf, 10}, Fill::Solid(kRed));
    c.FillRect({0, 0, -5, 10}, Fill::Solid(kRed));
    c.StrokeRect({0, 0, 10, 10}, Fill::Solid(kRed), nan);
    c.DrawPicture(EmptyPicture(), {0, 0, 60, 60}, WrapMode::Tile);
    c.DrawPicture(nullptr, {0, 0, 60, 60}, WrapMode::Stretch);
    c.DrawPicture(broken, {0, 0, 60, 60}, WrapMode::Stretch);
    c.FillRect({0, 0, 60, 60}, Fill::Image(broken, WrapMode::Tile));
    c.DrawText(u"x", {0, 0, 60, 60}, FontSpec{u"", 0}, Fill::None(), {});
    c.Translate(nan, inf);
    c.PopClip();  // more pops than pushes
    c.PushClip({0, 0, 0, 0});
    c.FillRect({0, 0, 60, 60}, Fill::Solid(kRed));  // clipped away entirely
    c.PopClip();
    c.FillRect({0, 0, 20, 20}, badGradient, 1e9f);
    c.FillRect({20, 0, 20, 20}, noStops);
    c.FillRect({40, 0, 20, 20}, nanStops);
  });
  ASSERT_FALSE(p->Empty());
  EXPECT_TRUE(Near(p->At(30, 40), kWhite));
  EXPECT_TRUE(Near(p->At(10, 10), kBlue)) << "a gradient without length is its last colour";
  EXPECT_TRUE(Near(p->At(30, 10), kWhite)) << "no stops, no paint";
  EXPECT_EQ(RenderToPicture(0, 10, nullptr), EmptyPicture());
  EXPECT_EQ(RenderToPicture(60000, 60000, nullptr), EmptyPicture());
  EXPECT_EQ(RenderToPicture(5, 5, nullptr)->At(0, 0), 0xFF000000u) << "starts black, opaque";
}

}  // namespace
