// The function dialogs without windows: what each shows for stored values,
// what OK and CANCEL hand back, the keyboard recording's lifetime (stopped on
// every way out and by destruction) and the hook reports that only store and
// post, and the path that does not fit.
#include "function_dialogs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>

#include "fake_hook_platform.h"

namespace quarn::dialogs {
namespace {

using namespace quarn::ui;
using quarn::testing::FakeHookPlatform;
using quarn::testing::KeyDown;
using quarn::testing::KeyUp;

constexpr ScreenRect kArea{760, 169, 1084, 640};

// Stands in for the window: records where the dialog went and lets the test act
// as the user; the result is what the scene's buttons set, else `fallback`.
class ScriptedRunner : public DialogRunner {
 public:
  std::function<void(FrameDialog&)> script;
  int fallback = kModalCancel;
  ScreenPoint at{};
  int runs = 0;
  int Run(FrameDialog& dialog, ScreenPoint where) override {
    ++runs;
    at = where;
    dialog.GetScene().SetModalResult(kModalNone);
    if (script) script(dialog);
    const int r = dialog.GetScene().ModalResult();
    return r != kModalNone ? r : fallback;
  }
};

void Click(Button* b) {
  ASSERT_NE(b, nullptr);
  b->Click();
}

TEST(FireKeyDialog, OpensClampedAndOkStoresWhatTheBoxesShow) {
  struct Row {
    const char* why;
    TFIREKEYINFO stored;
    std::u16string shownFire, shownDelay;
    const char16_t* typedFire;  // null: untouched
    const char16_t* typedDelay;
    TFIREKEYINFO ok;
  } rows[] = {
      {"no clicks yet", {0, 7}, u"2", u"60", nullptr, nullptr, {2, 60}},
      {"own values", {5, 40}, u"5", u"40", nullptr, nullptr, {5, 40}},
      {"delay 0 shown as 1", {3, 0}, u"3", u"1", nullptr, nullptr, {3, 1}},
      {"wide values shown as 255", {65535, 1000}, u"255", u"255", nullptr, nullptr, {255, 255}},
      {"typed at the ends", {5, 40}, u"5", u"40", u"255", u"255", {255, 255}},
      {"typed beyond the ends", {5, 40}, u"5", u"40", u"300", u"0", {255, 1}},
      {"typed junk keeps what was shown", {5, 40}, u"5", u"40", u"abc", u"", {5, 40}},
      {"typed 3 and 60", {0, 0}, u"2", u"60", u"3", u"60", {3, 60}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    ScriptedRunner runner;
    runner.script = [&](FrameDialog& d) {
      auto& f = static_cast<FireKeyDialog&>(d);
      EXPECT_EQ(f.NumBoxFire->Text(), r.shownFire);
      EXPECT_EQ(f.NumboxDelay->Text(), r.shownDelay);
      EXPECT_EQ(f.FirstInputBox(), f.NumBoxFire);
      if (r.typedFire) f.NumBoxFire->EditText(r.typedFire);
      if (r.typedDelay) f.NumboxDelay->EditText(r.typedDelay);
      Click(f.Ok());
    };
    TFIREKEYINFO values = r.stored;
    EXPECT_EQ(ShowFireKeyDialog(values, kArea, runner), kModalOk);
    EXPECT_EQ(values.nLoopCount, r.ok.nLoopCount);
    EXPECT_EQ(values.DelyValue, r.ok.DelyValue);
    EXPECT_EQ(runner.at, (ScreenPoint{768, 306}));
  }
}

TEST(FireKeyDialog, CancelAndCloseReturnTheOriginalBytes) {
  for (bool viaButton : {true, false}) {
    ScriptedRunner runner;
    runner.script = [&](FrameDialog& d) {
      auto& f = static_cast<FireKeyDialog&>(d);
      f.NumBoxFire->EditText(u"9");
      f.NumboxDelay->EditText(u"99");
      if (viaButton) Click(f.Cancel());
    };
    TFIREKEYINFO values{0, 65535};  // not what the dialog shows
    EXPECT_EQ(ShowFireKeyDialog(values, kArea, runner), kModalCancel);
    EXPECT_EQ(values.nLoopCount, 0);
    EXPECT_EQ(values.DelyValue, 65535);
  }
}

class ComboKeyDialogTest : public ::testing::Test {
 protected:
  bool KeyboardHooked() const { return platform.library.keyboardCallback != nullptr; }
  FakeHookPlatform platform;
  int posts = 0;
};

TEST_F(ComboKeyDialogTest, OpeningTextFromTheStoredValues) {
  struct Row {
    TCOMBOKEYINFO stored;
    const char16_t* text;
  } rows[] = {
      {{0x43, 0, 0, 0, MODIFIER_CTRL}, u"Ctrl+C"},
      {{'A', 0, 'B', 0, MODIFIER_CTRL | MODIFIER_SHIFT}, u"Ctrl+Shift+A+B"},
      {{0, 0, 'B', 0, MODIFIER_ALT}, u"+B"},
      {{0, 0, 0, 0, MODIFIER_WIN}, u""},
      {{999, 7, 999, 7, 0xFFFF}, u""},
  };
  for (const Row& r : rows) {
    ComboKeyDialog d(platform, [] {});
    d.fields = r.stored;
    d.Load();
    EXPECT_EQ(d.TextCombo->Text(), r.text);
    EXPECT_TRUE(d.TextCombo->swallowTyping);
  }
}

TEST_F(ComboKeyDialogTest, ReportsAreStoredAndPostedThenShownAndOkStoresThem) {
  ScriptedRunner runner;
  bool hookedWhileOpen = false;
  ComboKeyDialog* dialog = nullptr;
  ComboKeyDialog d(platform, [&] { ++posts; });
  dialog = &d;
  runner.script = [&](FrameDialog&) {
    hookedWhileOpen = KeyboardHooked();
    platform.keysDown = {0xA2, 0xA0};  // left Ctrl and Shift held
    EXPECT_TRUE(platform.Key(KeyDown('K', 1000))) << "the recorded key is swallowed";
    platform.Key(KeyUp('K', 1050));
    // In the hook: only stored and posted; the dialog shows it on the message.
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(dialog->TextCombo->Text(), u"");
    dialog->ApplyRecorded();
    EXPECT_EQ(dialog->TextCombo->Text(), u"Ctrl+Shift+K");
    EXPECT_EQ(dialog->GetScene().Focused(), dialog->TextCombo);
    Click(dialog->Ok());
  };
  TCOMBOKEYINFO values{};
  EXPECT_EQ(RunComboKeyDialog(d, values, kArea, runner), kModalOk);
  EXPECT_TRUE(hookedWhileOpen);
  EXPECT_FALSE(KeyboardHooked()) << "closing ends the recording";
  const TCOMBOKEYINFO expected{'K', 0, 0, 0, MODIFIER_CTRL | MODIFIER_SHIFT};
  EXPECT_EQ(std::memcmp(&values, &expected, sizeof values), 0);
}

TEST_F(ComboKeyDialogTest, SeveralReportsBeforeTheMessagePostOnceAndTheLastWins) {
  ComboKeyDialog d(platform, [&] { ++posts; });
  d.StartRecording();
  platform.keysDown = {0xA2};
  platform.Key(KeyDown('A', 1000));
  platform.Key(KeyUp('A', 1010));
  platform.Key(KeyDown('X', 2000));
  platform.Key(KeyUp('X', 2010));
  EXPECT_EQ(posts, 1);
  d.ApplyRecorded();
  EXPECT_EQ(d.TextCombo->Text(), u"Ctrl+X");
  EXPECT_EQ(d.FComboKey().nKeyValue1, 'X');
  d.ApplyRecorded();  // a stale message changes nothing
  EXPECT_EQ(d.FComboKey().nKeyValue1, 'X');
  platform.Key(KeyDown('Y', 3000));
  EXPECT_EQ(posts, 2);
}

TEST_F(ComboKeyDialogTest, EveryWayOutRemovesTheHookAndOnlyOkCommits) {
  const TCOMBOKEYINFO stored{0x43, 0, 0, 0, MODIFIER_CTRL};
  struct Way {
    const char* why;
    std::function<void(ComboKeyDialog&)> leave;
    int result;
  } ways[] = {
      {"CANCEL", [](ComboKeyDialog& d) { Click(d.Cancel()); }, kModalCancel},
      {"closed", [](ComboKeyDialog&) {}, kModalCancel},
      {"OK without a report", [](ComboKeyDialog& d) { Click(d.Ok()); }, kModalOk},
  };
  for (const Way& w : ways) {
    SCOPED_TRACE(w.why);
    ScriptedRunner runner;
    ComboKeyDialog d(platform, [] {});
    runner.script = [&](FrameDialog&) {
      EXPECT_TRUE(KeyboardHooked());
      if (w.result == kModalCancel) {
        platform.keysDown = {0xA4};
        platform.Key(KeyDown('Q', 1000));
        d.ApplyRecorded();
        EXPECT_EQ(d.TextCombo->Text(), u"Alt+Q");
      }
      w.leave(d);
    };
    TCOMBOKEYINFO values = stored;
    EXPECT_EQ(RunComboKeyDialog(d, values, kArea, runner), w.result);
    EXPECT_FALSE(KeyboardHooked());
    EXPECT_EQ(std::memcmp(&values, &stored, sizeof values), 0);
    // A key after the close is not swallowed (no hook is left to see it).
    EXPECT_FALSE(platform.Key(KeyDown('Z', 5000)));
  }
}

TEST_F(ComboKeyDialogTest, TheRecordingEndsWithTheAnswerWhileTheWindowIsStillThere) {
  struct Way {
    const char* why;
    std::function<void(ComboKeyDialog&)> answer;
  } ways[] = {
      {"CANCEL", [](ComboKeyDialog& d) { Click(d.Cancel()); }},
      {"OK", [](ComboKeyDialog& d) { Click(d.Ok()); }},
      {"a close request", [](ComboKeyDialog& d) { d.GetScene().SetModalResult(kModalCancel); }},
  };
  for (const Way& w : ways) {
    SCOPED_TRACE(w.why);
    ScriptedRunner runner;
    ComboKeyDialog d(platform, [] {});
    int told = 0;
    d.GetScene().OnModalResult = [&](int) { ++told; };
    runner.script = [&](FrameDialog&) {
      ASSERT_TRUE(KeyboardHooked());
      w.answer(d);
      // The runner still has the window (hiding it comes next): keys pass already.
      EXPECT_FALSE(KeyboardHooked());
      EXPECT_FALSE(platform.Key(KeyDown('Z', 5000)));
    };
    TCOMBOKEYINFO values{};
    RunComboKeyDialog(d, values, kArea, runner);
    EXPECT_GE(told, 1) << "the scene's own listener still hears the answer";
    const int before = told;
    d.GetScene().SetModalResult(kModalNone);
    d.GetScene().SetModalResult(kModalOk);
    EXPECT_EQ(told, before + 2) << "and has it back once the run is over";
  }
}

TEST_F(ComboKeyDialogTest, DestroyedWhileRecordingLeavesNoHook) {
  {
    auto d = std::make_unique<ComboKeyDialog>(platform, [] {});
    d->StartRecording();
    ASSERT_TRUE(KeyboardHooked());
  }
  EXPECT_FALSE(KeyboardHooked());
  // The runner throwing out of the run: the dialog's end still removes it.
  struct Throwing : DialogRunner {
    int Run(FrameDialog&, ScreenPoint) override { throw 1; }
  } throwing;
  try {
    ComboKeyDialog d(platform, [] {});
    TCOMBOKEYINFO v{};
    RunComboKeyDialog(d, v, kArea, throwing);
  } catch (int) {
  }
  EXPECT_FALSE(KeyboardHooked());
}

class Chooser : public FileChooser {
 public:
  bool ChooseFile(std::u16string& path) override {
    ++calls;
    if (!answer) return false;
    path = *answer;
    return true;
  }
  std::optional<std::u16string> answer;
  int calls = 0;
};

TEST(QuickLaunchDialog, PathsInAndOut) {
  const std::u16string longest(1023, u'p');
  const std::u16string tooLong(1024, u'q');
  struct Row {
    const char* why;
    std::u16string stored;
    std::optional<std::u16string> chosen;  // browse first when set
    const char16_t* typed;                 // null: untouched
    bool ok;
    int result;
    std::u16string returned;
    int refusals;
  } rows[] = {
      {"no program yet shows an empty box", u"", std::nullopt, nullptr, true, 1, u"", 0},
      {"browse then CANCEL keeps the old path", u"C:\\old.exe", u"C:\\new.exe", nullptr, false, 2,
       u"C:\\old.exe", 0},
      {"browse then OK takes the chosen path", u"C:\\old.exe", u"C:\\new.exe", nullptr, true, 1,
       u"C:\\new.exe", 0},
      {"OK with an empty box", u"C:\\old.exe", std::nullopt, u"", true, 1, u"", 0},
      {"typed path taken unchanged", u"", std::nullopt, u"\"C:\\a b\\x.exe\" ", true, 1,
       u"\"C:\\a b\\x.exe\" ", 0},
      {"longest path fits", u"", longest, nullptr, true, 1, longest, 0},
      {"too long a choice is refused, box unchanged", u"C:\\old.exe", tooLong, nullptr, true, 1,
       u"C:\\old.exe", 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    Chooser chooser;
    chooser.answer = r.chosen;
    int refusals = 0;
    QuickLaunchDialog d(chooser, [&] { ++refusals; });
    ScriptedRunner runner;
    runner.script = [&](FrameDialog&) {
      EXPECT_EQ(d.QuickLaunchExeFile->Text(), r.stored);
      if (r.chosen) Click(d.BTNSelectExeFile);
      if (r.typed) d.QuickLaunchExeFile->EditText(r.typed);
      Click(r.ok ? d.Ok() : d.Cancel());
    };
    std::u16string values = r.stored;
    EXPECT_EQ(RunQuickLaunchDialog(d, values, kArea, runner), r.result);
    EXPECT_EQ(values, r.returned);
    EXPECT_EQ(refusals, r.refusals);
  }
}

TEST(QuickLaunchDialog, OkWithATypedPathTooLongStaysOpen) {
  Chooser chooser;
  int refusals = 0;
  QuickLaunchDialog d(chooser, [&] { ++refusals; });
  ScriptedRunner runner;
  runner.fallback = kModalCancel;
  runner.script = [&](FrameDialog&) {
    d.QuickLaunchExeFile->EditText(std::u16string(1024, u'x'));
    Click(d.Ok());
    EXPECT_EQ(d.GetScene().ModalResult(), kModalNone) << "still open";
    EXPECT_EQ(refusals, 1);
    d.QuickLaunchExeFile->EditText(std::u16string(1023, u'x'));
    Click(d.Ok());
  };
  std::u16string values = u"C:\\old.exe";
  EXPECT_EQ(RunQuickLaunchDialog(d, values, kArea, runner), kModalOk);
  EXPECT_EQ(values, std::u16string(1023, u'x'));
  EXPECT_EQ(refusals, 1);
}

}  // namespace
}  // namespace quarn::dialogs
