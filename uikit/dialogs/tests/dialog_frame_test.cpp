#include "dialog_frame.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace quarn::dialogs {
namespace {

using namespace quarn::ui;

// A dialog with the frame and two boxes, like the parameter dialogs: a number and a path.
struct Values {
  std::int64_t count = 0;
  std::u16string path;
  bool operator==(const Values&) const = default;
};

class TwoBoxDialog : public FrameDialog {
 public:
  TwoBoxDialog() : FrameDialog(308, 197, u"Fire Key...") {
    count = &GetScene().Root().Add<NumberBox>();
    count->name = u"NumBoxCount";
    count->SetBounds(40, 60, 100, 24);
    count->SetRange(1, 255);
    path = &GetScene().Root().Add<TextBox>();
    path->name = u"TextPath";
    path->SetBounds(40, 90, 220, 24);
  }
  TextBox* FirstInputBox() override { return count; }
  void Load() override {
    count->SetValue(fields.count);
    path->SetText(fields.path);
  }
  void Store() override {
    fields.count = count->Value();
    fields.path = path->Text();
  }

  Values fields;
  NumberBox* count = nullptr;
  TextBox* path = nullptr;
};

// Stands in for the window: records where the dialog was put, lets the test act on it
// as a user would, and ends as the window system would.
class ScriptedRunner : public DialogRunner {
 public:
  std::function<int(TwoBoxDialog&)> script;
  ScreenPoint at{};
  int Run(FrameDialog& dialog, ScreenPoint where) override {
    at = where;
    return script(static_cast<TwoBoxDialog&>(dialog));
  }
};

// Presses and releases the left button over an object, as the window feeds the scene.
void ClickOn(Scene& scene, Object& o) {
  const RectF r = o.AbsoluteRect();
  const PointF c{r.x + r.width / 2, r.y + r.height / 2};
  scene.MouseMove(c);
  scene.MouseDown(MouseButton::Left, c);
  scene.MouseUp(MouseButton::Left, c);
}

void UserEdits(TwoBoxDialog& d) {
  d.count->EditText(u"999");  // typed past the range
  d.path->EditText(u"C:\\Games\\new.exe");
}

TEST(FrameDialog, BuildsTheSharedFrame) {
  TwoBoxDialog d;
  EXPECT_EQ(d.Width(), 308);
  EXPECT_EQ(d.Height(), 197);
  EXPECT_EQ(d.WindowTitle(), u"Fire Key...");

  EXPECT_EQ(d.Background().AbsoluteRect(), (RectF{5, 5, 298, 187}));
  EXPECT_FALSE(d.Background().hitTest);

  Label& title = d.Title();
  EXPECT_EQ(title.Height(), 45);
  EXPECT_EQ(title.font.family, u"Verdana");
  EXPECT_EQ(title.font.size, 15);
  EXPECT_TRUE(title.font.bold);
  EXPECT_EQ(title.format.alignH, AlignH::Center);
  EXPECT_TRUE(SameName(title.StyleLookup(), u"mylabel"));

  ASSERT_NE(d.Ok(), nullptr);
  ASSERT_NE(d.Cancel(), nullptr);
  const RectF strip = d.BottomStrip().AbsoluteRect();
  EXPECT_FLOAT_EQ(strip.y + strip.height, 197 - 5);  // the strip ends at the inset
  struct Row {
    Button* button;
    float left;
    int result;
    std::u16string text;
  } rows[] = {{d.Ok(), 50, kModalOk, u"OK"}, {d.Cancel(), 160, kModalCancel, u"CANCEL"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.text.begin(), r.text.end()));
    EXPECT_EQ(r.button->Bounds().x, r.left);
    EXPECT_EQ(r.button->Width(), 86);
    EXPECT_EQ(r.button->Height(), 40);
    EXPECT_EQ(r.button->modalResult, r.result);
    EXPECT_EQ(r.button->Text(), r.text);
    EXPECT_TRUE(SameName(r.button->StyleLookup(), u"MyMAINOKButtonStyle"));
    EXPECT_EQ(r.button->font.size, 15);
    EXPECT_TRUE(r.button->font.bold);
    // The buttons lie inside the visible part (the window region).
    const RectF a = r.button->AbsoluteRect();
    EXPECT_GE(a.y, 5);
    EXPECT_LE(a.y + a.height, 197 - 5);
  }
  // Its own looks are found by those names, not the kinds' defaults.
  EXPECT_TRUE(d.GetScene().Styles().HasButton(u"mymainokbuttonstyle"));
  EXPECT_NE(d.Ok()->Look().normal.fill.stops.front().color,
            ButtonLook::Default().normal.fill.stops.front().color);
}

TEST(FrameDialog, ClickingTheButtonsSetsTheResultAndOnlyOkStores) {
  struct Case {
    const char* name;
    bool ok;
    int result;
  } cases[] = {{"OK stores", true, kModalOk}, {"CANCEL does not", false, kModalCancel}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TwoBoxDialog d;
    d.fields = {7, u"C:\\a.exe"};
    d.Load();
    UserEdits(d);
    ClickOn(d.GetScene(), c.ok ? *d.Ok() : *d.Cancel());
    EXPECT_EQ(d.GetScene().ModalResult(), c.result);
    if (c.ok)
      EXPECT_EQ(d.fields, (Values{255, u"C:\\Games\\new.exe"}));
    else
      EXPECT_EQ(d.fields, (Values{7, u"C:\\a.exe"}));
  }
}

TEST(ShowFrameDialog, HandsBackEditsOnlyWhenConfirmed) {
  const Values passed{42, u"C:\\Program Files\\game.exe"};
  struct Case {
    const char* name;
    std::function<int(TwoBoxDialog&)> script;
    int result;
    Values out;
  } cases[] = {
      {"OK after edits: the edits, clamped",
       [](TwoBoxDialog& d) {
         UserEdits(d);
         ClickOn(d.GetScene(), *d.Ok());
         return d.GetScene().ModalResult();
       },
       kModalOk,
       {255, u"C:\\Games\\new.exe"}},
      {"CANCEL after edits: exactly what was passed",
       [](TwoBoxDialog& d) {
         UserEdits(d);
         ClickOn(d.GetScene(), *d.Cancel());
         return d.GetScene().ModalResult();
       },
       kModalCancel, passed},
      {"closed or ended by a quit after edits: what was passed",
       [](TwoBoxDialog& d) {
         UserEdits(d);
         return kModalCancel;  // the runner's answer to WM_CLOSE / WM_QUIT
       },
       kModalCancel, passed},
      {"OK without edits: the values loaded",
       [](TwoBoxDialog& d) {
         ClickOn(d.GetScene(), *d.Ok());
         return d.GetScene().ModalResult();
       },
       kModalOk, passed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedRunner runner;
    runner.script = c.script;
    Values v = passed;
    EXPECT_EQ((ShowFrameDialog<TwoBoxDialog>(v, {100, 50, 700, 450}, runner)), c.result);
    EXPECT_EQ(v, c.out);
  }
}

TEST(ShowFrameDialog, CentresInTheCallersRectangleTruncatingTowardZero) {
  struct Case {
    const char* name;
    ScreenRect area;
    ScreenPoint at;
  } cases[] = {
      {"normal", {100, 50, 700, 450}, {100 + 146, 50 + 101}},
      {"smaller than the dialog, odd differences", {0, 0, 103, 100}, {-102, -48}},
      {"negative screen coordinates", {-1280, -300, -280, 300}, {-1280 + 346, -300 + 201}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedRunner runner;
    runner.script = [](TwoBoxDialog&) { return kModalCancel; };
    Values v;
    ShowFrameDialog<TwoBoxDialog>(v, c.area, runner);
    EXPECT_EQ(runner.at, c.at);
  }
}

}  // namespace
}  // namespace quarn::dialogs
