// Looks found by name: letter case, the window's book before the program's, the
// kind's default for unknown names, and a change of style name at run time.
#include <gtest/gtest.h>

#include "fake_canvas.h"
#include "scene_helpers.h"
#include "ui/looks.h"
#include "ui/scene.h"

namespace {

using namespace quarn::ui;
using quarn::LanguageContext;
using quarn::ui::testing::FakeCanvas;
using quarn::ui::testing::Put;

ButtonLook Marked(float radius) {
  ButtonLook l = ButtonLook::Default();
  l.radius = radius;
  return l;
}

TEST(StyleBook, LookupTable) {
  StyleBook program;
  program.Add(u"ProgramOnly", Marked(9));
  program.Add(u"Shared", Marked(8));
  StyleBook window(&program);
  window.Add(u"MyMAINOKButtonStyle", Marked(7));
  window.Add(u"shared", Marked(6));
  const float kDefault = ButtonLook::Default().radius;
  struct Case {
    const char* why;
    std::u16string name;
    float radius;
  } cases[] = {
      {"as registered", u"MyMAINOKButtonStyle", 7},
      {"lower case", u"mymainokbuttonstyle", 7},
      {"upper case", u"MYMAINOKBUTTONSTYLE", 7},
      {"only in the program's book", u"programonly", 9},
      {"the window's book shadows the program's", u"SHARED", 6},
      {"unknown name: the kind's default, never a failure", u"NoSuchStyle", kDefault},
      {"a near name is not the name", u"MyMAINOKButtonStyle ", kDefault},
      {"empty name: the kind's default name, not defined here", u"", kDefault},
  };
  for (const auto& c : cases) EXPECT_EQ(window.Button(c.name).radius, c.radius) << c.why;

  program.Add(u"ButtonStyle", Marked(5));
  EXPECT_EQ(window.Button(u"").radius, 5) << "empty name uses the book's buttonstyle";
  EXPECT_TRUE(window.HasButton(u"PROGRAMONLY"));
  EXPECT_FALSE(window.HasButton(u"nothing"));
}

TEST(StyleBook, KindsAreSeparateAndAddReplaces) {
  StyleBook book;
  LabelLook label;
  label.shadow = true;
  book.Add(u"MyLabel", label);
  EXPECT_FALSE(book.HasButton(u"MyLabel")) << "a label look is not a button look";
  EXPECT_TRUE(book.Label(u"mylabel").shadow);
  EXPECT_FALSE(book.TextBox(u"MyLabel").radius > 0);
  label.shadow = false;
  book.Add(u"MYLABEL", label);
  EXPECT_FALSE(book.Label(u"MyLabel").shadow) << "same name in other letter case replaces";
}

TEST(StyleBook, FallbackLoopsAreRefused) {
  StyleBook a, b, c;
  EXPECT_TRUE(b.SetFallback(&a));
  EXPECT_TRUE(c.SetFallback(&b));
  EXPECT_FALSE(a.SetFallback(&c)) << "a -> c -> b -> a";
  EXPECT_FALSE(a.SetFallback(&a)) << "itself";
  EXPECT_EQ(a.Fallback(), nullptr);
  EXPECT_EQ(c.Button(u"unknown").radius, ButtonLook::Default().radius) << "lookup ends";
}

TEST(StyleBook, SceneFallsBackToTheProgramBookAndSwitchesAtRunTime) {
  ProgramStyles().Add(u"StyleBookTestProgramLook", Marked(11));
  LanguageContext context;
  Scene scene(200, 100, context);
  ButtonLook a, b;
  a.normal.fill = Fill::Solid(Rgb(0xA0, 0, 0));
  b.normal.fill = Fill::Solid(Rgb(0xB0, 0, 0));
  scene.Styles().Add(u"MyDPIBtnA", a);
  scene.Styles().Add(u"MyDPIBtn", b);
  auto& btn = Put<Button>(scene.Root(), u"dpi", {10, 10, 40, 20});
  auto face = [&] {
    FakeCanvas canvas;
    scene.Paint(canvas);
    return canvas.calls.at(0).fill.color;
  };
  btn.SetStyleLookup(u"MyDPIBtnA");
  EXPECT_EQ(face(), Rgb(0xA0, 0, 0));
  scene.TakeDirty();
  btn.SetStyleLookup(u"mydpibtn");
  EXPECT_EQ(scene.TakeDirty(), (RectF{10, 10, 40, 20})) << "a new style name repaints";
  EXPECT_EQ(face(), Rgb(0xB0, 0, 0));
  btn.SetStyleLookup(u"StyleBookTestProgramLook");
  EXPECT_EQ(btn.Look().radius, 11) << "the program-wide book behind the window's";
  // A look replaced in the book is seen at the next paint.
  b.normal.fill = Fill::Solid(Rgb(0xC0, 0, 0));
  scene.Styles().Add(u"MyDPIBtn", b);
  btn.SetStyleLookup(u"MyDPIBtn");
  EXPECT_EQ(face(), Rgb(0xC0, 0, 0));
}

}  // namespace
