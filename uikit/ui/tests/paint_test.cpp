// Painting a scene into a canvas: only what meets the dirty rectangle is drawn, in
// paint order, at its absolute place, with clips and translations balanced.
#include <gtest/gtest.h>

#include "fake_canvas.h"
#include "scene_helpers.h"
#include "ui/controls.h"
#include "ui/scene.h"

namespace {

using namespace quarn::ui;
using quarn::LanguageContext;
using quarn::ui::testing::FakeCanvas;
using quarn::ui::testing::Put;

// What a paint drew: the rectangles of its fill calls, named by the scene's objects.
std::vector<std::string> Drawn(Scene& scene, const RectF& clip, FakeCanvas* out = nullptr) {
  FakeCanvas canvas;
  scene.Paint(canvas, clip);
  EXPECT_EQ(canvas.ClipDepth(), 0u) << "clips balanced";
  EXPECT_EQ(canvas.Origin(), (PointF{0, 0})) << "translations balanced";
  std::vector<std::string> names;
  for (const auto& c : canvas.calls) {
    EXPECT_TRUE(c.clip.width > 0 && clip.Intersect(c.clip) == c.clip)
        << "every call is clipped to the dirty rectangle";
    std::string name = "?";
    scene.Root().ForEach<Object>([&](Object& o) {
      if (o.AbsoluteRect() == c.rect && name == "?") name = quarn::ui::testing::Narrow(o.name);
    });
    if (c.what == "text") name += " text";
    names.push_back(name);
  }
  if (out) *out = canvas;
  return names;
}

struct Face {
  LanguageContext context;
  Scene scene{300, 200, context};
  Face() {
    Object& r = scene.Root();
    Put<RectShape>(r, u"bg", {0, 0, 300, 200});
    Put<RectShape>(r, u"left", {10, 10, 50, 50});
    auto& right = Put<Layout>(r, u"right", {200, 10, 80, 80});
    Put<EllipseShape>(right, u"dot", {5, 5, 20, 20});
    Put<TextView>(right, u"caption", {0, 40, 80, 20}).SetText(u"Apply");
    Put<RectShape>(r, u"hidden", {10, 10, 50, 50}).SetVisible(false);
    auto& clipping = Put<Layout>(r, u"clipping", {100, 150, 20, 20});
    clipping.clipChildren = true;
    Put<RectShape>(clipping, u"clipped", {-90, -140, 30, 30});
    auto& open = Put<Layout>(r, u"open", {150, 150, 20, 20});
    Put<RectShape>(open, u"hanging", {-140, -130, 30, 30});
  }
};

TEST(ScenePaint, OnlyObjectsMeetingTheClipAreDrawn) {
  Face f;
  using Names = std::vector<std::string>;
  struct Case {
    const char* why;
    RectF clip;
    Names drawn;
  } cases[] = {
      {"the whole face, in paint order",
       {0, 0, 300, 200},
       {"bg", "left", "dot", "caption text", "hanging"}},
      {"a hover repaint of one object: it, what is behind it, and a child hanging there "
       "from a container that does not clip",
       {10, 10, 50, 50},
       {"bg", "left", "hanging"}},
      {"the right side only", {190, 0, 110, 100}, {"bg", "dot", "caption text"}},
      {"a child of a clipping container is not drawn outside the container",
       {10, 10, 5, 5},
       {"bg", "left"}},
      {"outside the face: nothing", {400, 400, 10, 10}, {}},
      {"empty clip: nothing", {10, 10, 0, 0}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Drawn(f.scene, c.clip), c.drawn) << c.why;
}

TEST(ScenePaint, ChildrenOfAClippingContainerAreClippedToIt) {
  Face f;
  Object& clipping = *f.scene.Root().Find(u"clipping");
  f.scene.Root().Find(u"clipped")->SetPosition(10, 10);  // half in, half out
  FakeCanvas canvas;
  Drawn(f.scene, {0, 0, 300, 200}, &canvas);
  bool found = false;
  for (const auto& c : canvas.calls) {
    if (c.rect == RectF{110, 160, 30, 30}) {
      found = true;
      EXPECT_EQ(c.clip, clipping.AbsoluteRect());
    }
  }
  EXPECT_TRUE(found);
}

TEST(ScenePaint, ButtonAndBoxDrawTheirTextsInsideTheirBoxes) {
  LanguageContext context;
  Scene scene(200, 100, context);
  auto& b = Put<Button>(scene.Root(), u"ok", {10, 10, 86, 40});
  b.SetText(u"OK");
  b.padding = {4, 0, 4, 0};
  auto& box = Put<NumberBox>(scene.Root(), u"n", {110, 10, 60, 20});
  box.SetRange(1, 255);
  box.SetValue(42);
  auto& empty = Put<ImageView>(scene.Root(), u"img", {0, 60, 10, 10});
  empty.SetPicture(nullptr);
  EXPECT_TRUE(empty.Picture() && empty.Picture()->Empty()) << "null is the empty picture";
  FakeCanvas canvas;
  scene.Paint(canvas);
  std::vector<std::pair<std::u16string, RectF>> texts;
  for (const auto& c : canvas.calls)
    if (c.what == "text") texts.emplace_back(c.text, c.rect);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], (std::pair<std::u16string, RectF>{u"OK", {14, 10, 78, 40}}))
      << "inside the padding";
  EXPECT_EQ(texts[1].first, u"42");
  EXPECT_TRUE(box.AbsoluteRect().Intersect(texts[1].second) == texts[1].second);
  for (const auto& c : canvas.calls)
    EXPECT_NE(c.what, "picture") << "an empty picture draws nothing";
}

TEST(FakeCanvas, MeasuresLatinAndCjkDeterministically) {
  FakeCanvas canvas;
  FontSpec f13;
  f13.size = 13;
  FontSpec f26 = f13;
  f26.size = 26;
  struct Case {
    const char* why;
    std::u16string text;
    const FontSpec& font;
    float width;
  } cases[] = {
      {"Latin, 7 each", u"Apply", f13, 35},
      {"CJK, 13 each", u"应用", f13, 26},
      {"mixed", u"A应", f13, 20},
      {"scaled by size", u"OK", f26, 28},
      {"empty", u"", f13, 0},
  };
  for (const auto& c : cases)
    EXPECT_FLOAT_EQ(canvas.MeasureText(c.text, c.font).width, c.width) << c.why;
}

}  // namespace
