// The macro editor's logic driven through a fake hook library: rows of a macro,
// recording in both modes with live rows drawn on the posted message, the
// conversion of a recording, the delay edit, the action menu and the hand-back.
#include "macro_editor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fake_hook_platform.h"
#include "key_tables.h"
#include "macro_test_helpers.h"

namespace {

using quarn::MacroEditor;
using quarn::MacroEditorRow;
using quarn::MacroRecordMode;
using quarn::MacroRowKind;
using quarn::RecordIndicatorState;
using quarn::testing::Delay;
using quarn::testing::Down;
using quarn::testing::FakeHookPlatform;
using quarn::testing::Macro;
using quarn::testing::MacroOf;
using quarn::testing::MouseDown;
using quarn::testing::MouseUp;
using quarn::testing::RawBytes;
using quarn::testing::Step;
using quarn::testing::Up;
namespace ev = quarn::testing;

// Rows as a short picture: v key down, ^ key up, d delay, m mouse; the action
// position follows each mark ("v0 d1 ^2"), '*' for a live row.
std::string Picture(const std::vector<MacroEditorRow>& rows) {
  std::string s;
  for (const MacroEditorRow& r : rows) {
    if (!s.empty()) s += ' ';
    switch (r.kind) {
      case MacroRowKind::KeyDown:
        s += 'v';
        break;
      case MacroRowKind::KeyUp:
        s += '^';
        break;
      case MacroRowKind::Delay:
        s += 'd';
        break;
      case MacroRowKind::Mouse:
        s += 'm';
        break;
    }
    s += r.action < 0 ? std::string("*") : std::to_string(r.action);
  }
  return s;
}

std::string Utf8(const std::u16string& t) {
  return std::string(t.begin(), t.end());
}

std::vector<std::string> Texts(const std::vector<MacroEditorRow>& rows) {
  std::vector<std::string> v;
  for (const MacroEditorRow& r : rows) v.push_back(Utf8(r.text));
  return v;
}

std::vector<TMACROKEY> StepsOf(const TMACROKEYINFO& m) {
  return std::vector<TMACROKEY>(m.MacroList, m.MacroList + m.MacroListCount);
}

class Editor : public ::testing::Test {
 protected:
  Editor() : hook(platform), editor(hook) {
    editor.PostLiveRows = [this] { ++posts; };
    editor.OnLiveRow = [this](int row) { liveRows.push_back(row); };
  }

  TMACROKEYINFO Edited() const {
    TMACROKEYINFO m{};
    EXPECT_TRUE(editor.Result(m));
    return m;
  }
  // Presses or releases a key through the hook, as the system would.
  bool Key(bool down, std::uint32_t vk, std::uint32_t time) {
    return platform.Key(down ? ev::KeyDown(vk, time) : ev::KeyUp(vk, time));
  }
  // What the message loop does with the posted message.
  void RunPosted() {
    if (posts > 0) editor.DrawLiveRows();
    posts = 0;
  }

  FakeHookPlatform platform;
  TvnHook hook;
  MacroEditor editor;
  int posts = 0;
  std::vector<int> liveRows;
};

// --- rows of a macro --------------------------------------------------------------

TEST_F(Editor, RowsShowTheStepsThatHaveOneAndNameTheirAction) {
  struct Case {
    const char* why;
    TMACROKEYINFO macro;
    std::uint16_t autoAddDelay;
    std::string rows;
  };
  const Case cases[] = {
      {"delays shown as rows", Macro({Down('A'), Delay(120), Up('A')}), 1, "v0 d1 ^2"},
      {"delays without rows when the macro does not show them",
       Macro({Down('A'), Delay(120), Up('A')}), 0, "v0 ^2"},
      {"mouse steps have a row; other kinds and states none",
       Macro({MouseDown(1), Step(MACROKEY_WHEEL, 0, 1, 0), Step(MACROKEY_KEYBOARD, 7, 'A', 0),
              MouseUp(1)}),
       1, "m0 m3"},
      {"an empty macro has no rows", Macro({}), 1, ""},
  };
  for (Case c : cases) {
    c.macro.nAutoAddDelay = c.autoAddDelay;
    editor.Load(c.macro);
    EXPECT_EQ(Picture(editor.Rows()), c.rows) << c.why;
    EXPECT_EQ(editor.SelectedRow(), c.rows.empty() ? -1 : 0) << c.why;
  }
}

TEST_F(Editor, RowTextsAreTheDelayAndBlankPrefixedDescriptionsOnlyMouseRowsTranslated) {
  editor.Translate = [](std::u16string_view t) { return u"<" + std::u16string(t) + u">"; };
  TMACROKEYINFO m = Macro({Down('A'), Delay(300), Up(0x2D, 1), MouseDown(1)});
  m.nAutoAddDelay = 1;
  editor.Load(m);
  std::u16string left;
  GetKeyDescription(1, 0, left);
  EXPECT_EQ(Texts(editor.Rows()),
            (std::vector<std::string>{" A", "300", " INS", " <" + Utf8(left) + ">"}));
}

// --- recording ------------------------------------------------------------------

TEST_F(Editor, RecordingAKeyPressAndReleaseReplacesTheMacro) {
  TMACROKEYINFO m = Macro({Down('Z'), Up('Z')});
  m.nLoopCount = 4;
  editor.Load(m);
  editor.RecordButtonClick();
  EXPECT_TRUE(editor.IsRecording());
  EXPECT_FALSE(editor.ControlsEnabled());
  EXPECT_EQ(editor.Indicator(), (RecordIndicatorState{true, true}));
  EXPECT_EQ(Picture(editor.Rows()), "") << "replace mode starts with no rows";

  EXPECT_TRUE(Key(true, 'A', 1000));
  EXPECT_TRUE(Key(false, 'A', 1120));
  RunPosted();
  EXPECT_EQ(Picture(editor.Rows()), "v* d* ^*");
  EXPECT_EQ(Texts(editor.Rows()), (std::vector<std::string>{"A", "120", "A"}));

  editor.RecordButtonClick();
  EXPECT_FALSE(editor.IsRecording());
  EXPECT_TRUE(editor.ControlsEnabled());
  EXPECT_EQ(editor.Indicator(), (RecordIndicatorState{true, false})) << "stays visible";
  const TMACROKEYINFO out = Edited();
  EXPECT_EQ(StepsOf(out), (std::vector<TMACROKEY>{Down('A'), Delay(120), Up('A')}));
  EXPECT_EQ(out.nAutoAddDelay, 1);
  EXPECT_EQ(out.nLoopCount, 0);
  EXPECT_EQ(Picture(editor.Rows()), "v0 d1 ^2");
  EXPECT_FALSE(Key(true, 'B', 2000)) << "the hook is gone once stopped";
}

TEST_F(Editor, HookHandlersOnlyStoreAndPostRowsAreDrawnOnThePostedMessage) {
  editor.Load(Macro({}));
  int changes = 0;
  editor.OnRowsChanged = [&] { ++changes; };
  editor.RecordButtonClick();
  changes = 0;
  Key(true, 'A', 1000);
  Key(false, 'A', 1050);
  Key(true, 'B', 1100);
  EXPECT_EQ(posts, 1) << "one post for the waiting rows";
  EXPECT_EQ(changes, 0) << "nothing drawn inside the hook";
  EXPECT_TRUE(editor.Rows().empty());
  RunPosted();
  EXPECT_EQ(Picture(editor.Rows()), "v* d* ^* d* v*");
  EXPECT_EQ(liveRows, (std::vector<int>{0, 1, 2, 3, 4})) << "each drawn row scrolls the list";
  editor.DrawLiveRows();  // a second, stale message draws nothing more
  EXPECT_EQ(editor.Rows().size(), 5u);
}

TEST_F(Editor, LiveRows) {
  struct Case {
    const char* why;
    int presses;        // alternating press and release of distinct keys
    std::uint32_t gap;  // milliseconds between them
    std::size_t rows;
  };
  const Case cases[] = {
      {"a pause of 10 s or more draws no delay row", 3, 10000, 3},
      {"a pause just below draws one", 3, 9999, 5},
      {"rows stop at 59", 70, 20, 59},
      {"no pause, no delay row", 4, 0, 4},
  };
  for (const Case& c : cases) {
    editor.Load(Macro({}));
    editor.RecordButtonClick();
    std::uint32_t t = 1000;
    for (int i = 0; i < c.presses; ++i, t += c.gap) Key(i % 2 == 0, 'A' + (i / 2) % 26, t);
    RunPosted();
    EXPECT_EQ(editor.Rows().size(), c.rows) << c.why;
    editor.RecordButtonClick();
  }
}

TEST_F(Editor, ConversionOfRecordedEntries) {
  // The entries as the hook component hands them over at the stop.
  struct E {
    std::uint16_t type, state, value, extended;
  };
  struct Case {
    const char* why;
    std::vector<E> entries;
    std::vector<TMACROKEY> steps;
  };
  std::vector<E> seventy;
  for (int i = 0; i < 70; ++i)
    seventy.push_back({1, std::uint16_t(i % 2 == 0), std::uint16_t('A' + i / 2), 0});
  std::vector<TMACROKEY> first59;
  for (int i = 0; i < 59; ++i) first59.push_back(i % 2 == 0 ? Down('A' + i / 2) : Up('A' + i / 2));
  const Case cases[] = {
      {"a 3 ms pause becomes 10",
       {{1, 1, 'A', 0}, {0, 0, 3, 0}, {1, 0, 'A', 0}},
       {Down('A'), Delay(10), Up('A')}},
      {"the longest pause stays", {{1, 1, 'A', 0}, {0, 0, 65535, 0}}, {Down('A'), Delay(65535)}},
      {"an identical key entry is dropped, delays between do not matter",
       {{1, 0, 'B', 0}, {0, 0, 40, 0}, {1, 0, 'B', 0}, {1, 1, 'B', 0}},
       {Up('B'), Delay(40), Down('B')}},
      {"the extended flag makes another key",
       {{1, 1, 0x2D, 1}, {1, 1, 0x2D, 0}},
       {Down(0x2D, 1), Down(0x2D, 0)}},
      {"other entry kinds are skipped", {{7, 1, 'A', 0}, {1, 1, 'A', 0}}, {Down('A')}},
      {"70 keys keep their first 59", seventy, first59},
      {"nothing recorded empties the macro", {}, {}},
  };
  for (const Case& c : cases) {
    TMACROKEYINFO m = Macro({Down('Q'), Up('Q')});
    m.nLoopCount = 3;
    m.MacroList[100] = Down('X');  // beyond the count: kept as held
    editor.Load(m);
    editor.RecordButtonClick();
    TvnMacroKeyList list;
    for (const E& e : c.entries) {
      auto o = std::make_unique<TMacroKeyObject>();
      o->FMacroKey.nKeyType = e.type;
      o->FMacroKey.nKeyState = e.state;
      o->FMacroKey.nKeyValue = e.value;
      o->FMacroKey.nKeyValueExtended = e.extended;
      list.Add(u"", std::move(o));
    }
    hook.OnStopRecordKeyboardMacroKey(hook, list);
    const TMACROKEYINFO out = Edited();
    EXPECT_EQ(StepsOf(out), c.steps) << c.why;
    EXPECT_EQ(out.nAutoAddDelay, 1) << c.why;
    EXPECT_EQ(out.nLoopCount, 0) << c.why;
    EXPECT_EQ(out.MacroList[100], Down('X')) << c.why;
    editor.RecordButtonClick();
  }
}

TEST_F(Editor, InsertAfterRecordingLandsAfterTheSelectedRowAndKeepsTheLoopCount) {
  TMACROKEYINFO m = Macro({Down('A'), Delay(50), Up('A'), Down('B'), Up('B')});
  m.nAutoAddDelay = 1;
  m.nLoopCount = 5;
  editor.Load(m);
  editor.SelectRow(2);  // ^A
  editor.ActionMenuClick(quarn::kMenuRecordNewAction);
  ASSERT_TRUE(editor.IsRecording());
  EXPECT_EQ(editor.Mode(), MacroRecordMode::InsertAfter);
  EXPECT_EQ(Picture(editor.Rows()), "v0 d1 ^2 v3 ^4") << "the rows stay";
  Key(true, 'C', 1000);
  Key(false, 'C', 1030);
  RunPosted();
  EXPECT_EQ(Picture(editor.Rows()), "v0 d1 ^2 v* d* ^* v3 ^4");
  EXPECT_EQ(editor.Ok(), 1);
  const TMACROKEYINFO out = Edited();
  EXPECT_EQ(StepsOf(out), (std::vector<TMACROKEY>{Down('A'), Delay(50), Up('A'), Down('C'),
                                                  Delay(30), Up('C'), Down('B'), Up('B')}));
  EXPECT_EQ(out.nLoopCount, 5);
}

TEST_F(Editor, RowsActOnTheActionTheyShowWhenSomeStepsHaveNoRow) {
  // Delays without rows (the macro does not show them) after an insert-after recording.
  TMACROKEYINFO m = Macro({Down('A'), Up('A')});
  m.nAutoAddDelay = 0;
  editor.Load(m);
  editor.SelectRow(1);
  editor.ActionMenuClick(quarn::kMenuRecordNewAction);
  Key(true, 'B', 1000);
  Key(false, 'B', 1040);
  editor.RecordButtonClick();
  ASSERT_EQ(StepsOf(Edited()),
            (std::vector<TMACROKEY>{Down('A'), Up('A'), Down('B'), Delay(40), Up('B')}));
  ASSERT_EQ(Picture(editor.Rows()), "v0 ^1 v2 ^4");

  editor.SelectRow(3);  // the release of B, action 4
  editor.ActionMenuClick(quarn::kMenuDeleteAction);
  EXPECT_EQ(StepsOf(Edited()), (std::vector<TMACROKEY>{Down('A'), Up('A'), Down('B'), Delay(40)}))
      << "the step shown selected is the one deleted";
  editor.SelectRow(2);
  editor.ActionMenuClick(quarn::kMenuMoveUpAction);
  EXPECT_EQ(StepsOf(Edited()), (std::vector<TMACROKEY>{Down('A'), Down('B'), Up('A'), Delay(40)}));
  EXPECT_EQ(Picture(editor.Rows()), "v0 v1 ^2");
  EXPECT_EQ(editor.SelectedRow(), 1) << "the selection follows the moved step";
}

TEST(EditorWithoutHookLibrary, RecordingDoesNothingAndTheMacroStaysByteIdentical) {
  // No other component holds the library: it is bound once per process.
  FakeHookPlatform missing;
  missing.loadResult = quarn::HookLibraryLoad::FileMissing;
  TvnHook noHook(missing);
  ASSERT_FALSE(noHook.DLLLoaded());
  MacroEditor e(noHook);
  const TMACROKEYINFO m = Macro({Down('A'), Delay(20), Up('A')});
  e.Load(m);
  e.RecordButtonClick();
  EXPECT_FALSE(e.IsRecording());
  e.SelectRow(0);
  e.ActionMenuClick(quarn::kMenuRecordNewAction);
  EXPECT_FALSE(e.IsRecording());
  e.RecordButtonClick();
  EXPECT_EQ(e.Ok(), 1);
  TMACROKEYINFO out{};
  ASSERT_TRUE(e.Result(out));
  EXPECT_EQ(RawBytes(out), RawBytes(m)) << "balanced: the check finds what the macro held";
  EXPECT_EQ(Picture(e.Rows()), "v0 ^2");
  EXPECT_EQ(missing.messages.size(), 1u) << "the component told the user once";
}

TEST_F(Editor, HostileHookTraffic) {
  editor.Load(Macro({Down('A')}));
  editor.RecordButtonClick();
  // Far more keys than wait for one posted message.
  for (std::uint32_t i = 0; i < 600; ++i) Key(i % 2 == 0, 'A' + (i / 2) % 26, 1000 + i);
  EXPECT_EQ(posts, 1);
  RunPosted();
  EXPECT_LE(editor.Rows().size(), 60u);
  // Stopping with rows still waiting: they are dropped, the message that comes late
  // draws nothing over the converted macro's rows.
  Key(true, 'Z', 5000);
  editor.RecordButtonClick();
  const std::string rows = Picture(editor.Rows());
  editor.DrawLiveRows();
  EXPECT_EQ(Picture(editor.Rows()), rows);
  EXPECT_EQ(Edited().MacroListCount, 59);
  // Menu clicks while recording are ignored; the editor goes away while recording.
  editor.RecordButtonClick();
  editor.ActionMenuClick(quarn::kMenuDeleteAction);
  EXPECT_TRUE(editor.IsRecording());
}

TEST_F(Editor, DestroyedWhileRecordingLeavesNoHookBehind) {
  {
    MacroEditor e(hook);
    e.Load(Macro({Down('A')}));
    e.RecordButtonClick();
    ASSERT_TRUE(platform.library.keyboardCallback != nullptr);
  }
  EXPECT_TRUE(platform.library.keyboardCallback == nullptr);
  EXPECT_TRUE(hook.OnStopRecordKeyboardMacroKey == nullptr);
}

// --- delay edit -----------------------------------------------------------------

TEST_F(Editor, DelayEditClampsStoresAndShowsWithoutCheckOrRefill) {
  struct Case {
    std::int64_t typed;
    int stored;
  };
  const Case cases[] = {{5, 10}, {70000, 65535}, {250, 250}, {-3, 10}, {10, 10}, {65535, 65535}};
  for (const Case& c : cases) {
    // Unbalanced keys with stale error fields: a check would change them.
    TMACROKEYINFO m = Macro({Down('A'), Delay(120), Down('A')});
    m.nAutoAddDelay = 1;
    editor.Load(m);
    int changes = 0;
    editor.OnRowsChanged = [&] { ++changes; };
    editor.SelectRow(1);
    std::int64_t shown = 0;
    ASSERT_TRUE(editor.BeginDelayEdit(shown));
    EXPECT_EQ(shown, 120);
    editor.CommitDelay(c.typed);
    const TMACROKEYINFO out = Edited();
    EXPECT_EQ(StepsOf(out)[1], Delay(static_cast<std::uint16_t>(c.stored))) << c.typed;
    EXPECT_EQ(Utf8(editor.Rows()[1].text), std::to_string(c.stored)) << c.typed;
    EXPECT_EQ(out.HaveErrors, 0) << "no check";
    EXPECT_EQ(editor.EditingRow(), -1);
    EXPECT_EQ(editor.SelectedRow(), 1) << "no refill";
    EXPECT_EQ(changes, 1);
    editor.OnRowsChanged = nullptr;
  }
}

TEST_F(Editor, OnlyADelayRowOpensTheDelayEditAndACommitAfterLeavingChangesNothing) {
  TMACROKEYINFO m = Macro({Down('A'), Delay(120), Up('A')});
  m.nAutoAddDelay = 1;
  editor.Load(m);
  std::int64_t v = 0;
  editor.SelectRow(0);
  EXPECT_FALSE(editor.BeginDelayEdit(v));
  editor.SelectRow(-1);
  EXPECT_FALSE(editor.BeginDelayEdit(v));
  editor.SelectRow(1);
  ASSERT_TRUE(editor.BeginDelayEdit(v));
  editor.EndDelayEdit();
  editor.CommitDelay(999);
  EXPECT_EQ(StepsOf(Edited())[1], Delay(120));
}

// --- action menu ------------------------------------------------------------------

TEST_F(Editor, ActionMenuItemsActOnTheSelectedActionThenCheckAndRefill) {
  struct Case {
    const char* why;
    std::vector<std::int64_t> ids;
    std::vector<TMACROKEY> steps;
    int selectedRow;
    std::int32_t errors;
  };
  // Start: A down, A up, B down (unbalanced: one error), row 1 selected.
  const Case cases[] = {
      {"delete", {2}, {Down('A'), Down('B')}, 1, 2},
      {"move up", {3}, {Up('A'), Down('A'), Down('B')}, 0, 3},
      {"move down", {4}, {Down('A'), Down('B'), Up('A')}, 2, 1},
      {"copy then paste in front", {5, 7}, {Down('A'), Up('A'), Up('A'), Down('B')}, 2, 2},
      {"cut then paste twice gives one copy", {6, 7, 7}, {Down('A'), Up('A'), Down('B')}, 2, 1},
      {"an unknown ID still checks", {99}, {Down('A'), Up('A'), Down('B')}, 1, 1},
      {"paste with an empty clipboard", {7}, {Down('A'), Up('A'), Down('B')}, 1, 1},
  };
  for (const Case& c : cases) {
    editor.Load(MacroOf({Down('A'), Up('A'), Down('B')}));  // error fields 0: stale
    editor.SelectRow(1);
    int refills = 0;
    editor.OnRowsChanged = [&] { ++refills; };
    for (std::int64_t id : c.ids) editor.ActionMenuClick(id);
    const TMACROKEYINFO out = Edited();
    EXPECT_EQ(StepsOf(out), c.steps) << c.why;
    EXPECT_EQ(editor.SelectedRow(), c.selectedRow) << c.why;
    EXPECT_EQ(out.ErrorCount, c.errors) << c.why;
    EXPECT_EQ(out.HaveErrors, 1) << c.why;
    EXPECT_EQ(refills, static_cast<int>(c.ids.size())) << c.why;
    editor.OnRowsChanged = nullptr;
  }
}

TEST_F(Editor, RecordNewActionNeedsARow) {
  editor.Load(Macro({}));
  editor.ActionMenuClick(quarn::kMenuRecordNewAction);
  EXPECT_FALSE(editor.IsRecording());
  EXPECT_FALSE(editor.CanOpenActionMenu());
  editor.Load(Macro({Down('A')}));
  EXPECT_TRUE(editor.CanOpenActionMenu());
  editor.RecordButtonClick();
  EXPECT_FALSE(editor.CanOpenActionMenu()) << "not while recording";
}

// --- OK, CANCEL and the show step ------------------------------------------------

TEST_F(Editor, OkWhileRecordingConvertsThenHandsTheMacroBack) {
  TMACROKEYINFO caller = Macro({Down('Q'), Up('Q')}, u"mine");
  const int result = quarn::ShowMacroEditor(caller, editor, [&] {
    editor.RecordButtonClick();
    Key(true, 'A', 1000);
    Key(false, 'A', 1200);
    return editor.Ok();
  });
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(editor.IsRecording());
  EXPECT_EQ(StepsOf(caller), (std::vector<TMACROKEY>{Down('A'), Delay(200), Up('A')}));
  EXPECT_EQ(caller.szMacroName[0], u'm') << "the other fields are the macro's";
  EXPECT_FALSE(Key(true, 'B', 2000)) << "no hook left behind";
}

TEST_F(Editor, AnythingButOkLeavesTheCallersMacroByteIdentical) {
  for (int closeResult : {2, 0, 7}) {
    TMACROKEYINFO caller = Macro({Down('Q'), Delay(30), Up('Q')});
    caller.nAutoAddDelay = 1;
    const auto before = RawBytes(caller);
    const int result = quarn::ShowMacroEditor(caller, editor, [&] {
      editor.SelectRow(0);
      editor.ActionMenuClick(quarn::kMenuDeleteAction);
      editor.SelectRow(0);
      std::int64_t v;
      if (editor.BeginDelayEdit(v)) editor.CommitDelay(999);
      editor.RecordButtonClick();
      Key(true, 'A', 1000);
      return closeResult == 2 ? editor.Cancel() : closeResult;
    });
    EXPECT_EQ(result, 2) << closeResult;
    EXPECT_EQ(RawBytes(caller), before) << closeResult;
    editor.Cancel();
  }
}

}  // namespace
