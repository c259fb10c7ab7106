// The macro editor's dialog scene driven as its window drives it: clicks at the
// designed places, keys through a fake hook library, the posted live-row message,
// the delay box and the action menu; and the show step's hand-back.
#include "macro_editor_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_hook_platform.h"
#include "macro_test_helpers.h"

namespace {

using quarn::MacroEditorForm;
using quarn::testing::Delay;
using quarn::testing::Down;
using quarn::testing::FakeHookPlatform;
using quarn::testing::Macro;
using quarn::testing::RawBytes;
using quarn::testing::Up;
using quarn::ui::MouseButton;
using quarn::ui::PointF;
namespace ev = quarn::testing;

// Designed places, in the dialog's client pixels.
constexpr PointF kRecord{51, 373};
constexpr PointF kOk{143, 370};
constexpr PointF kCancel{243, 370};
PointF RowAt(int row) {
  return {100, 76.f + 22.f * row};
}

std::vector<TMACROKEY> StepsOf(const TMACROKEYINFO& m) {
  return std::vector<TMACROKEY>(m.MacroList, m.MacroList + m.MacroListCount);
}

// Runs the form "modally": `script` plays the user, then the scene's modal result is
// the run's result (2 when the script set none, as a closed window).
struct ScriptedRunner : quarn::dialogs::DialogRunner {
  std::function<void(MacroEditorForm&)> script;
  quarn::ui::ScreenPoint at;
  int Run(quarn::dialogs::FrameDialog& d, quarn::ui::ScreenPoint where) override {
    at = where;
    script(static_cast<MacroEditorForm&>(d));
    const int r = d.GetScene().ModalResult();
    return r == 0 ? 2 : r;
  }
};

void Click(MacroEditorForm& f, PointF p, MouseButton b = MouseButton::Left) {
  f.GetScene().MouseDown(b, p);
  f.GetScene().MouseUp(b, p);
}
// The second click of a double click: its press comes as the double click.
void DoubleClick(MacroEditorForm& f, PointF p) {
  Click(f, p);
  f.GetScene().DoubleClick(MouseButton::Left, p);
  f.GetScene().MouseUp(MouseButton::Left, p);
}

std::vector<std::string> ListTexts(MacroEditorForm& f) {
  std::vector<std::string> v;
  for (int i = 0; i < f.List().Count(); ++i) {
    const auto& t = static_cast<quarn::ui::TextObject*>(f.List().Row(i))->Text();
    v.emplace_back(t.begin(), t.end());
  }
  return v;
}

class Form : public ::testing::Test {
 protected:
  int Show(TMACROKEYINFO& macro, std::function<void(MacroEditorForm&)> script) {
    runner.script = std::move(script);
    return quarn::ShowMacroDialog(macro, {100, 100, 700, 600}, platform, runner,
                                  [this](MacroEditorForm& f) {
                                    f.Editor().PostLiveRows = [this] { ++posts; };
                                    f.Clock = [this] { return now; };
                                  });
  }
  FakeHookPlatform platform;
  ScriptedRunner runner;
  int posts = 0;
  std::uint64_t now = 0;
};

TEST_F(Form, RecordWithTheButtonSeeLiveRowsStopAndOkHandsTheMacroBack) {
  TMACROKEYINFO macro = Macro({Down('Q'), Up('Q')});
  const int result = Show(macro, [&](MacroEditorForm& f) {
    EXPECT_EQ(ListTexts(f), (std::vector<std::string>{" Q", " Q"}));
    Click(f, kRecord);
    EXPECT_TRUE(f.Editor().IsRecording());
    EXPECT_FALSE(f.List().Enabled());
    EXPECT_FALSE(f.Ok()->Enabled());
    EXPECT_FALSE(f.Cancel()->Enabled());
    EXPECT_TRUE(f.RecordAnimation().Running());
    EXPECT_TRUE(f.List().Count() == 0);

    platform.Key(ev::KeyDown('A', 1000));
    platform.Key(ev::KeyUp('A', 1150));
    EXPECT_EQ(f.List().Count(), 0) << "drawn on the posted message only";
    EXPECT_EQ(posts, 1);
    f.Editor().DrawLiveRows();
    EXPECT_EQ(ListTexts(f), (std::vector<std::string>{"A", "150", "A"}));

    now = 1500;  // half way from white to red
    f.AnimationTick(now);
    EXPECT_EQ(f.RecordIndicator().fill.color, quarn::ui::Rgb(0xFF, 0x80, 0x80));
    Click(f, kOk);
    EXPECT_EQ(f.GetScene().ModalResult(), 0) << "OK is disabled while recording";
    Click(f, kRecord);  // stop
    EXPECT_FALSE(f.RecordAnimation().Running());
    EXPECT_TRUE(f.RecordIndicator().Visible());
    EXPECT_TRUE(f.Ok()->Enabled());
    EXPECT_EQ(ListTexts(f), (std::vector<std::string>{" A", "150", " A"}));
    Click(f, kOk);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(StepsOf(macro), (std::vector<TMACROKEY>{Down('A'), Delay(150), Up('A')}));
  EXPECT_EQ(macro.nAutoAddDelay, 1);
  // Centred in the area: 100 + (600 - 311) / 2, 100 + (500 - 424) / 2.
  EXPECT_EQ(runner.at, (quarn::ui::ScreenPoint{244, 138}));
}

TEST_F(Form, DoubleClickOnADelayRowEditsItInTheRow) {
  TMACROKEYINFO macro = Macro({Down('A'), Delay(120), Up('A')});
  macro.nAutoAddDelay = 1;
  struct Case {
    const char16_t* typed;
    std::uint16_t key;  // 0: the box loses the focus instead
    std::uint16_t stored;
  };
  const Case cases[] = {
      {u"5", quarn::ui::SpinBox::kKeyEnter, 10},
      {u"70000", quarn::ui::SpinBox::kKeyEnter, 65535},
      {u"250", 0, 250},
      {u"249", quarn::ui::SpinBox::kKeyUp, 250},
  };
  for (const Case& c : cases) {
    TMACROKEYINFO m = macro;
    EXPECT_EQ(Show(m,
                   [&](MacroEditorForm& f) {
                     DoubleClick(f, RowAt(0));
                     EXPECT_FALSE(f.DelayBox().Visible()) << "a key row has no delay box";
                     DoubleClick(f, RowAt(1));
                     ASSERT_TRUE(f.DelayBox().Visible());
                     EXPECT_EQ(f.DelayBox().Value(), 120);
                     EXPECT_EQ(f.GetScene().Focused(), &f.DelayBox());
                     f.DelayBox().EditText(c.typed);
                     if (c.key != 0) {
                       std::uint16_t key = c.key;
                       char16_t ch = 0;
                       f.GetScene().KeyDown(key, ch);
                     } else {
                       f.GetScene().SetFocus(nullptr);
                     }
                     EXPECT_FALSE(f.DelayBox().Visible());
                     EXPECT_EQ(ListTexts(f)[1], std::to_string(c.stored));
                     Click(f, kOk);
                   }),
              1);
    EXPECT_EQ(StepsOf(m)[1], Delay(c.stored)) << std::string(c.typed, c.typed + 1);
  }
}

TEST_F(Form, RightReleaseOverASelectedRowAsksForTheActionMenuWhoseItemsEdit) {
  TMACROKEYINFO macro = Macro({Down('A'), Up('A'), Down('B')});
  std::vector<PointF> asked;
  EXPECT_EQ(Show(macro,
                 [&](MacroEditorForm& f) {
                   f.OnShowActionMenu = [&](PointF p) { asked.push_back(p); };
                   Click(f, RowAt(2), MouseButton::Right);
                   ASSERT_EQ(asked.size(), 1u);
                   EXPECT_EQ(f.List().ItemIndex(), 2) << "the right press selected the row";
                   // The menu's items carry IDs 1..7 and report to the editor.
                   auto& items = f.ActionMenu().Items();
                   ASSERT_EQ(items.Count(), 7);
                   EXPECT_EQ(items.Items(1)->Caption, u"Delete Action");
                   EXPECT_EQ(items.Items(1)->ItemID(), 2u);
                   items.Items(1)->DispatchClick();
                   EXPECT_EQ(ListTexts(f), (std::vector<std::string>{" A", " A"}));
                   Click(f, kOk);
                 }),
            1);
  EXPECT_EQ(StepsOf(macro), (std::vector<TMACROKEY>{Down('A'), Up('A')}));
  EXPECT_EQ(macro.HaveErrors, 0);
}

TEST_F(Form, CancelOrClosingAfterEditsLeavesTheMacroByteIdentical) {
  for (bool viaCancel : {true, false}) {
    TMACROKEYINFO macro = Macro({Down('A'), Delay(120), Up('A')});
    macro.nAutoAddDelay = 1;
    const auto before = RawBytes(macro);
    EXPECT_EQ(Show(macro,
                   [&](MacroEditorForm& f) {
                     Click(f, RowAt(0), MouseButton::Right);
                     f.ActionMenu().Items().Items(1)->DispatchClick();
                     Click(f, kRecord);
                     platform.Key(ev::KeyDown('Z', 10));
                     if (viaCancel) {
                       Click(f, kRecord);
                       Click(f, kCancel);
                     }
                   }),
              2);
    EXPECT_EQ(RawBytes(macro), before) << viaCancel;
    EXPECT_TRUE(platform.library.keyboardCallback == nullptr) << "no hook left behind";
  }
}

}  // namespace
