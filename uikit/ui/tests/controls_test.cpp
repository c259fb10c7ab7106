// Controls: the face a button shows in each state, toggling, modal results, and the
// rules of the text and number box models.
#include "ui/controls.h"

#include <gtest/gtest.h>

#include <limits>

#include "fake_canvas.h"
#include "scene_helpers.h"
#include "ui/scene.h"

namespace {

using namespace quarn::ui;
using quarn::LanguageContext;
using quarn::ui::testing::FakeCanvas;
using quarn::ui::testing::Put;

constexpr auto L = MouseButton::Left;

struct ButtonScene {
  LanguageContext context;
  Scene scene{200, 100, context};
  Button& button = Put<Button>(scene.Root(), u"btn", {10, 10, 80, 30});
  ButtonScene() {
    ButtonLook look;
    look.normal.fill = Fill::Solid(Rgb(1, 0, 0));
    look.hover.fill = Fill::Solid(Rgb(2, 0, 0));
    look.pressed.fill = Fill::Solid(Rgb(3, 0, 0));
    look.disabled.fill = Fill::Solid(Rgb(4, 0, 0));
    scene.Styles().Add(u"TestButton", look);
    button.SetStyleLookup(u"TestButton");
    button.SetText(u"OK");
  }
  // The colour of the face painted now.
  Color Face() {
    FakeCanvas canvas;
    scene.Paint(canvas);
    for (const auto& c : canvas.calls)
      if (c.what == "rect" && c.rect == button.AbsoluteRect()) return c.fill.color;
    return 0;
  }
};

TEST(ButtonState, FaceFollowsMouseAndProgramState) {
  const PointF over{20, 20}, away{150, 80};
  struct Case {
    const char* why;
    std::function<void(ButtonScene&)> act;
    Button::State state;
    Color face;
  } cases[] = {
      {"untouched", [](ButtonScene&) {}, Button::State::Normal, Rgb(1, 0, 0)},
      {"hovered", [&](ButtonScene& s) { s.scene.MouseMove(over); }, Button::State::Hover,
       Rgb(2, 0, 0)},
      {"held down over it",
       [&](ButtonScene& s) {
         s.scene.MouseMove(over);
         s.scene.MouseDown(L, over);
       },
       Button::State::Pressed, Rgb(3, 0, 0)},
      {"held down, pointer dragged away: not pressed-looking",
       [&](ButtonScene& s) {
         s.scene.MouseDown(L, over);
         s.scene.MouseMove(away);
       },
       Button::State::Normal, Rgb(1, 0, 0)},
      {"pressed by the program, not hovered", [](ButtonScene& s) { s.button.SetPressed(true); },
       Button::State::Pressed, Rgb(3, 0, 0)},
      {"disabled wins over pressed",
       [](ButtonScene& s) {
         s.button.SetPressed(true);
         s.button.SetEnabled(false);
       },
       Button::State::Disabled, Rgb(4, 0, 0)},
      {"disabled through its container", [](ButtonScene& s) { s.scene.Root().SetEnabled(false); },
       Button::State::Disabled, Rgb(4, 0, 0)},
  };
  for (const auto& c : cases) {
    ButtonScene s;
    c.act(s);
    EXPECT_EQ(s.button.CurrentState(), c.state) << c.why;
    EXPECT_EQ(s.Face(), c.face) << c.why;
  }
}

TEST(ButtonState, PictureFaceReplacesTheFill) {
  ButtonScene s;
  auto pic = std::make_shared<Picture>();
  pic->width = pic->height = 2;
  pic->pixels.assign(4, 0xFF00FF00);
  ButtonLook look = s.button.Look();
  look.hover.picture = pic;
  s.scene.Styles().Add(u"TestButton", look);
  s.scene.MouseMove({20, 20});
  FakeCanvas canvas;
  s.scene.Paint(canvas);
  ASSERT_GE(canvas.calls.size(), 2u);
  EXPECT_EQ(canvas.calls[0].what, "picture");
  EXPECT_EQ(canvas.calls[0].rect, s.button.AbsoluteRect());
  EXPECT_EQ(canvas.Texts(), (std::vector<std::u16string>{u"OK"})) << "the text is drawn over it";
}

TEST(ButtonClick, TogglesWhenStaysPressed) {
  ButtonScene s;
  std::vector<bool> atClick;
  s.button.OnClick = [&](Object&) { atClick.push_back(s.button.IsPressed()); };
  auto click = [&] {
    s.scene.MouseDown(L, {20, 20});
    s.scene.MouseUp(L, {20, 20});
  };
  click();
  EXPECT_FALSE(s.button.IsPressed()) << "a push button does not stay pressed";
  s.button.staysPressed = true;
  click();
  click();
  click();
  EXPECT_EQ(atClick, (std::vector<bool>{false, true, false, true}))
      << "toggled before OnClick runs";
  s.scene.MouseDown(L, {20, 20});
  s.scene.MouseUp(L, {150, 80});
  EXPECT_TRUE(s.button.IsPressed()) << "a release elsewhere does not toggle";
}

TEST(ButtonClick, ModalResultIsSetBeforeOnClick) {
  ButtonScene s;
  std::vector<int> told;
  s.scene.OnModalResult = [&](int r) { told.push_back(r); };
  int seen = -1;
  s.button.modalResult = kModalCancel;
  s.button.OnClick = [&](Object&) { seen = s.scene.ModalResult(); };
  s.scene.MouseDown(L, {20, 20});
  s.scene.MouseUp(L, {20, 20});
  EXPECT_EQ(s.scene.ModalResult(), kModalCancel);
  EXPECT_EQ(seen, kModalCancel);
  EXPECT_EQ(told, (std::vector<int>{kModalCancel}));

  // A handler may take the result back (e.g. a check failed).
  s.scene.SetModalResult(kModalNone);
  s.button.modalResult = kModalOk;
  s.button.OnClick = [&](Object&) { s.scene.SetModalResult(kModalNone); };
  s.scene.MouseDown(L, {20, 20});
  s.scene.MouseUp(L, {20, 20});
  EXPECT_EQ(s.scene.ModalResult(), kModalNone);

  // Without a modal result the scene's is left alone.
  s.button.modalResult = kModalNone;
  s.button.OnClick = nullptr;
  s.scene.SetModalResult(7);
  s.scene.MouseDown(L, {20, 20});
  s.scene.MouseUp(L, {20, 20});
  EXPECT_EQ(s.scene.ModalResult(), 7);
}

TEST(TextBoxModel, UserEditsFireOnChangeProgramSetsDoNot) {
  TextBox box;
  int changes = 0;
  box.OnChange = [&](Object&) { ++changes; };
  box.SetText(u"C:\\Program Files\\x.exe");
  EXPECT_EQ(changes, 0) << "program set";
  EXPECT_TRUE(box.EditText(u"C:\\y.exe"));
  EXPECT_EQ(box.Text(), u"C:\\y.exe");
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(box.EditText(u"C:\\y.exe"));
  EXPECT_EQ(changes, 1) << "same text: no change";
  box.readOnly = true;
  EXPECT_FALSE(box.EditText(u"typed"));
  EXPECT_EQ(box.Text(), u"C:\\y.exe") << "read-only refuses user edits";
  EXPECT_EQ(changes, 1);
  box.SetText(u"set by the program");
  EXPECT_EQ(box.Text(), u"set by the program") << "the program may still set it";
  std::u16string huge(1 << 20, u'9');
  box.readOnly = false;
  EXPECT_TRUE(box.EditText(huge));
  EXPECT_EQ(box.Text().size(), huge.size());
}

TEST(NumberBoxModel, ParseTable) {
  constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
  constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
  struct Case {
    const char* why;
    std::u16string text;
    std::int64_t min, max, value;
  } cases[] = {
      {"in range", u"42", 1, 255, 42},
      {"above the maximum", u"999", 1, 255, 255},
      {"below the minimum", u"0", 1, 255, 1},
      {"negative below", u"-5", 1, 255, 1},
      {"negative in a negative range", u"-5", -10, 10, -5},
      {"plus sign", u"+7", 1, 255, 7},
      {"surrounding blanks", u" 7\t", 1, 255, 7},
      {"leading zeros", u"007", 1, 255, 7},
      {"empty reads as min", u"", 1, 255, 1},
      {"blanks only read as min", u"   ", 10, 65535, 10},
      {"sign only reads as min", u"-", 1, 255, 1},
      {"letters read as min", u"abc", 1, 255, 1},
      {"digits then junk (pasted) read as min", u"12a", 1, 255, 1},
      {"inner blank reads as min", u"1 2", 1, 255, 1},
      {"two signs read as min", u"--3", -10, 10, -10},
      {"full-width digits are not digits", u"\uFF14\uFF12", 1, 255, 1},
      {"too long for any integer reads as max", std::u16string(400, u'9'), 1, 255, 255},
      {"hugely negative reads as min", u"-" + std::u16string(400, u'9'), -10, 10, -10},
      {"the largest integer", u"9223372036854775807", kMin, kMax, kMax},
      {"one past the largest saturates", u"9223372036854775808", kMin, kMax, kMax},
      {"the smallest integer", u"-9223372036854775808", kMin, kMax, kMin},
      {"one past the smallest saturates", u"-9223372036854775809", kMin, kMax, kMin},
      {"a maximum below the minimum is raised to it", u"3", 10, 5, 10},
  };
  for (const auto& c : cases) EXPECT_EQ(NumberBox::Parse(c.text, c.min, c.max), c.value) << c.why;
}

TEST(NumberBoxModel, TextKeptWhileTypingAndClampedAtFocusLoss) {
  LanguageContext context;
  Scene scene(200, 100, context);
  auto& box = Put<NumberBox>(scene.Root(), u"delay", {0, 0, 80, 20});
  std::vector<std::string> events;
  box.OnChange = [&](Object& o) {
    events.push_back("change " + quarn::ui::testing::Narrow(static_cast<NumberBox&>(o).Text()));
  };
  box.OnKillFocus = [&](Object&) { events.push_back("kill"); };
  box.SetRange(10, 65535);
  EXPECT_EQ(box.Text(), u"10") << "a new box's 0 is clamped into the range";
  box.SetValue(70000);
  EXPECT_EQ(box.Text(), u"65535");
  EXPECT_TRUE(events.empty()) << "program sets fire nothing";

  struct Case {
    const char* why;
    std::u16string typed;
    std::u16string after;
    std::vector<std::string> events;
  } cases[] = {
      {"too large: written back as the maximum",
       u"999999",
       u"65535",
       {"change 999999", "change 65535", "kill"}},
      {"too small while typing is kept, then raised",
       u"5",
       u"10",
       {"change 5", "change 10", "kill"}},
      {"emptied: the minimum", u"", u"10", {"change ", "change 10", "kill"}},
      {"in range: no second change", u"500", u"500", {"change 500", "kill"}},
      {"leading zeros are tidied", u"0500", u"500", {"change 0500", "change 500", "kill"}},
  };
  for (const auto& c : cases) {
    box.SetValue(20);
    ASSERT_TRUE(scene.SetFocus(&box));
    events.clear();
    box.EditText(c.typed);
    EXPECT_EQ(box.Text(), c.typed) << c.why << ": kept as typed while focused";
    scene.SetFocus(nullptr);
    EXPECT_EQ(box.Text(), c.after) << c.why;
    EXPECT_EQ(events, c.events) << c.why;
  }
  box.SetRange(100, 200);
  EXPECT_EQ(box.Text(), u"200") << "a new range clamps the text at once";
  box.SetRange(300, 100);
  EXPECT_EQ(box.Max(), 300);
  EXPECT_EQ(box.Value(), 300);
}

TEST(NumberBoxModel, KillFocusHandlerThatRemovesTheBox) {
  LanguageContext context;
  Scene scene(200, 100, context);
  auto& box = Put<NumberBox>(scene.Root(), u"delay", {0, 0, 80, 20});
  box.SetRange(1, 9);
  box.OnChange = [&](Object& o) { o.Parent()->RemoveChild(o); };
  box.OnKillFocus = [&](Object&) { ADD_FAILURE() << "a removed box hears nothing more"; };
  ASSERT_TRUE(scene.SetFocus(&box));
  box.OnChange = nullptr;
  box.EditText(u"50");
  box.OnChange = [&](Object& o) { o.Parent()->RemoveChild(o); };
  scene.SetFocus(nullptr);  // ASan reports any touch of the freed box
  EXPECT_EQ(scene.Root().ChildCount(), 0u);
}

}  // namespace
