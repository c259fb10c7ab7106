// The macro model: the action list operations with their selection and
// write-back, the clipboard, the press/release check and the macro list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "macro_test_helpers.h"
#include "vn_macro.h"

namespace {

using namespace quarn::testing;

// A model holding one macro with those steps, selected, with its action object.
struct OneMacro {
  explicit OneMacro(const std::vector<TMACROKEY>& steps, int selected = 0) {
    auto list = MacroList(0);
    list->MacroInfos[0] = MacroOf(steps);
    list->nMacroInfoCount = 1;
    model.SetMacroKeyInfoList(*list);
    model.SetMacroListIndex(0);
    actions().SetActionIndex(selected);
  }
  TvnActionsClass& actions() { return *model.GetCurrentMacroAction(); }
  TMACROKEYINFO entry() const {
    TMACROKEYINFO e{};
    model.GetCurrentMacroKeyItem(e);
    return e;
  }
  // The model's entry is the action object's macro after every change.
  void ExpectWrittenBack(const char* why) {
    TMACROKEYINFO edited;
    actions().GetMacroKeyInfo(edited);
    EXPECT_EQ(RawBytes(entry()), RawBytes(edited)) << why;
  }
  TvnMacroClass model;
};

// --- action list operations ---------------------------------------------------

TEST(MacroActions, OperationsMoveTheListAndTheSelection) {
  using Actions = TvnActionsClass;
  const auto X = Down('X');
  struct Case {
    const char* why;
    const char* start;
    int selected;
    std::function<void(Actions&)> op;
    const char* expected;
    int expectedSelected;
  };
  std::vector<TMACROKEY> full(MAX_MACRO_STEPS, Down('F'));
  const Case cases[] = {
      {"delete the selected last action: the new last is selected", "ABC", 2,
       [](Actions& a) { a.DeleteAction(2); }, "AB", 1},
      {"delete the only action: nothing selected", "A", 0, [](Actions& a) { a.DeleteAction(0); },
       "", -1},
      {"delete the first while the last is selected", "ABC", 2,
       [](Actions& a) { a.DeleteAction(0); }, "BC", 1},
      {"delete in front of the selection keeps its position", "ABC", 1,
       [](Actions& a) { a.DeleteAction(0); }, "BC", 1},
      {"delete past the end does nothing", "AB", 0, [](Actions& a) { a.DeleteAction(2); }, "AB", 0},
      {"delete -1 does nothing", "AB", 1, [](Actions& a) { a.DeleteAction(-1); }, "AB", 1},
      {"move the selected action up twice: two places", "ABC", 2,
       [](Actions& a) {
         a.MoveUpAction(2);
         a.MoveUpAction(1);
       },
       "CAB", 0},
      {"a selected neighbour takes the vacated place (up)", "ABC", 1,
       [](Actions& a) { a.MoveUpAction(2); }, "ACB", 2},
      {"a selected neighbour takes the vacated place (down)", "ABC", 1,
       [](Actions& a) { a.MoveDownAction(0); }, "BAC", 0},
      {"moving down carries the selection", "ABC", 0, [](Actions& a) { a.MoveDownAction(0); },
       "BAC", 1},
      {"move that does not touch the selection", "ABCD", 0, [](Actions& a) { a.MoveUpAction(3); },
       "ABDC", 0},
      {"the first cannot move up", "ABC", 0, [](Actions& a) { a.MoveUpAction(0); }, "ABC", 0},
      {"the last cannot move down", "ABC", 2, [](Actions& a) { a.MoveDownAction(2); }, "ABC", 2},
      {"move of an invalid index", "ABC", 1,
       [](Actions& a) {
         a.MoveUpAction(3);
         a.MoveDownAction(-1);
       },
       "ABC", 1},
      {"insert in front of the selected action: the selection stays on it", "AB", 1,
       [X](Actions& a) { EXPECT_TRUE(a.InsertAction(X, 1)); }, "AXB", 2},
      {"insert in front of another action", "AB", 0,
       [X](Actions& a) { EXPECT_TRUE(a.InsertAction(X, 1)); }, "AXB", 0},
      {"insert at the count is refused", "AB", 0,
       [X](Actions& a) { EXPECT_FALSE(a.InsertAction(X, 2)); }, "AB", 0},
      {"insert at -1 is refused", "AB", 0, [X](Actions& a) { EXPECT_FALSE(a.InsertAction(X, -1)); },
       "AB", 0},
      {"insert into an empty macro has no anchor", "", -1,
       [X](Actions& a) { EXPECT_FALSE(a.InsertAction(X, 0)); }, "", -1},
      {"after-insert at the count appends", "AB", 0,
       [X](Actions& a) { EXPECT_TRUE(a.InsertActionAfter(X, 2)); }, "ABX", 0},
      {"after-insert behind the first", "AB", 1,
       [X](Actions& a) { EXPECT_TRUE(a.InsertActionAfter(X, 0)); }, "AXB", 1},
      {"after-insert into an empty macro", "", -1,
       [X](Actions& a) { EXPECT_TRUE(a.InsertActionAfter(X, 0)); }, "X", -1},
      {"after-insert past the count is refused", "AB", 0,
       [X](Actions& a) { EXPECT_FALSE(a.InsertActionAfter(X, 3)); }, "AB", 0},
      {"after-insert at -1 is refused", "AB", 0,
       [X](Actions& a) { EXPECT_FALSE(a.InsertActionAfter(X, -1)); }, "AB", 0},
      {"invalid selections are ignored", "AB", 1,
       [](Actions& a) {
         a.SetActionIndex(2);
         a.SetActionIndex(-1);
       },
       "AB", 1},
  };
  for (const Case& c : cases) {
    OneMacro m(Presses(c.start), c.selected);
    ASSERT_EQ(m.actions().ActionsIndex(), c.selected) << c.why;
    c.op(m.actions());
    EXPECT_EQ(Letters(m.actions().Actions()), c.expected) << c.why;
    EXPECT_EQ(m.actions().ActionsIndex(), c.expectedSelected) << c.why;
    m.ExpectWrittenBack(c.why);
    EXPECT_EQ(m.entry().MacroListCount, static_cast<std::int32_t>(std::strlen(c.expected)))
        << c.why;
  }
}

TEST(MacroActions, AFullMacroTakesNoMoreActions) {
  OneMacro m(std::vector<TMACROKEY>(MAX_MACRO_STEPS, Down('F')));
  ASSERT_TRUE(m.actions().GetIsActionsFull());
  EXPECT_FALSE(m.actions().InsertAction(Down('X'), 0));
  EXPECT_FALSE(m.actions().InsertActionAfter(Down('X'), MAX_MACRO_STEPS));
  EXPECT_EQ(m.actions().GetCount(), MAX_MACRO_STEPS);
  m.actions().DeleteAction(5);
  EXPECT_TRUE(m.actions().InsertActionAfter(Down('X'), MAX_MACRO_STEPS - 1));
  EXPECT_EQ(m.entry().MacroListCount, MAX_MACRO_STEPS);
  EXPECT_EQ(m.entry().MacroList[MAX_MACRO_STEPS - 1], Down('X'));
}

TEST(MacroActions, LaterStepsOfTheRecordSurviveAShorterList) {
  // Steps past the count are not actions but stay in the record as they were.
  OneMacro m(Presses("ABC"));
  m.actions().DeleteAction(0);
  const TMACROKEYINFO e = m.entry();
  EXPECT_EQ(e.MacroListCount, 2);
  EXPECT_EQ(Letters({e.MacroList[0], e.MacroList[1], e.MacroList[2]}), "BCC");
}

TEST(MacroActions, DelayValues) {
  OneMacro m({Down('A'), Delay(300), Up('A'), Delay(1000)});
  auto& a = m.actions();
  EXPECT_EQ(a.GetDelayValue(1), 300);
  EXPECT_EQ(a.GetDelayValue(0), 'A') << "the value bytes of any kind";
  EXPECT_EQ(a.GetDelayValue(4), 0);
  EXPECT_EQ(a.GetDelayValue(-1), 0);
  EXPECT_EQ(a.GetTotalDelay(), 1300);

  struct Case {
    const char* why;
    int value, stored;
  } cases[] = {{"low byte only", 250, 250},
               {"both bytes", 0x1234, 0x1234},
               {"the largest", 65535, 65535},
               {"above the field is the largest", 70000, 65535},
               {"below zero is zero", -5, 0}};
  for (const auto& c : cases) {
    a.SetDelayValue(1, c.value);
    EXPECT_EQ(a.GetDelayValue(1), c.stored) << c.why;
    EXPECT_EQ(m.entry().MacroList[1].DELAY_L, c.stored & 0xFF) << c.why;
    EXPECT_EQ(m.entry().MacroList[1].DELAY_H, c.stored >> 8) << c.why;
  }
  a.SetDelayValue(9, 100);
  m.ExpectWrittenBack("an invalid index changes nothing");
}

TEST(MacroActions, SetMacroKeyInfoReplacesTheActionsAndTheRecord) {
  OneMacro m(Presses("ABC"), 2);
  TMACROKEYINFO other = MacroOf(Presses("XY"), u"other");
  other.nLoopCount = 3;
  m.actions().SetMacroKeyInfo(other);
  EXPECT_EQ(Letters(m.actions().Actions()), "XY");
  EXPECT_EQ(m.actions().ActionsIndex(), 0);
  EXPECT_EQ(RawBytes(m.entry()), RawBytes(other));

  m.actions().SetMacroKeyInfo(MacroOf({}));
  EXPECT_EQ(m.actions().ActionsIndex(), -1) << "an empty macro has nothing selected";
}

// --- clipboard ------------------------------------------------------------------

TEST(MacroClipboard, CutPastesOnceCopyPastesAgain) {
  struct Case {
    const char* why;
    bool cut;
    const char* expected;
    bool secondPaste;
  } cases[] = {{"cut, paste, paste: one copy", true, "BAC", false},
               {"copy, paste, paste: two copies", false, "AAABC", true}};
  for (const auto& c : cases) {
    OneMacro m(Presses("ABC"));
    if (c.cut)
      m.actions().CutAction(0);
    else
      m.actions().CopyAction(0);
    EXPECT_TRUE(m.actions().PasteAction(1)) << c.why;
    EXPECT_EQ(m.actions().PasteAction(0), c.secondPaste) << c.why;
    EXPECT_EQ(Letters(m.actions().Actions()), c.expected) << c.why;
    m.ExpectWrittenBack(c.why);
  }
}

TEST(MacroClipboard, ARefusedPasteKeepsTheCutAction) {
  OneMacro m(Presses("A"));
  auto& a = m.actions();
  a.CutAction(0);
  EXPECT_EQ(a.GetCount(), 0);
  EXPECT_FALSE(a.PasteAction(0)) << "an empty macro has nowhere to paste in front of";
  EXPECT_TRUE(a.HasClipboard());
  a.InsertActionAfter(Down('B'), 0);
  EXPECT_TRUE(a.PasteAction(0));
  EXPECT_EQ(Letters(a.Actions()), "AB");
  EXPECT_FALSE(a.HasClipboard());

  // A full macro refuses the paste too.
  OneMacro full(std::vector<TMACROKEY>(MAX_MACRO_STEPS, Down('F')));
  auto& f = full.actions();
  f.CutAction(0);
  f.InsertActionAfter(Down('G'), 0);
  EXPECT_FALSE(f.PasteAction(0));
  EXPECT_TRUE(f.HasClipboard() && f.IsCutOnClipboard());
  f.DeleteAction(0);
  EXPECT_TRUE(f.PasteAction(0));
  EXPECT_EQ(f.Actions()[0], Down('F'));
}

TEST(MacroClipboard, InvalidIndicesLeaveTheClipboardAlone) {
  OneMacro m(Presses("AB"));
  m.actions().CopyAction(0);
  m.actions().CutAction(5);
  m.actions().CopyAction(-1);
  EXPECT_TRUE(m.actions().PasteAction(0));
  EXPECT_EQ(Letters(m.actions().Actions()), "AAB") << "still the copy of A, not a cut";
  EXPECT_TRUE(m.actions().HasClipboard());
}

// --- press/release check ----------------------------------------------------------

TEST(MacroCheck, CountsUnbalancedPressesAndReleases) {
  struct Case {
    const char* why;
    std::vector<TMACROKEY> steps;
    int errors;
  };
  const Case cases[] = {
      {"balanced key", {Down('A'), Delay(50), Up('A')}, 0},
      {"A, A, release A", {Down('A'), Down('A'), Up('A')}, 1},
      {"a press alone", {Down('A')}, 1},
      {"a release alone", {Up('A')}, 1},
      {"nested presses", {Down(0xA0), Down('A'), Up('A'), Up(0xA0)}, 0},
      {"interleaved presses", {Down('A'), Down('B'), Up('A'), Up('B')}, 0},
      {"two keys left down", {Down('A'), Down('B')}, 2},
      {"a release before its press", {Up('A'), Down('A')}, 2},
      {"released twice", {Down('A'), Up('A'), Up('A')}, 1},
      {"the extended flag makes another key", {Down(0x2D, 1), Up(0x2D, 0)}, 2},
      {"any state but 1 is a release", {Down('A'), Step(MACROKEY_KEYBOARD, 7, 'A', 0)}, 0},
      {"mouse press and release", {MouseDown(1), MouseUp(1)}, 0},
      {"mouse release without a press", {MouseUp(2)}, 1},
      {"a mouse button left down is not counted", {MouseDown(1)}, 0},
      {"a media key left down is not counted", {MediaDown(0xE9)}, 0},
      {"media key pressed twice", {MediaDown(0xE9), MediaDown(0xE9)}, 1},
      {"keys and buttons share one table", {Down(1), MouseUp(1)}, 0},
      {"other kinds are skipped", {Step(MACROKEY_WHEEL, 1, 1, 0), Step(9, 0, 'A', 0)}, 0},
      {"empty macro", {}, 0},
  };
  for (const Case& c : cases) {
    OneMacro m(c.steps);
    m.actions().CheckErrors();
    EXPECT_EQ(m.entry().ErrorCount, c.errors) << c.why;
    EXPECT_EQ(m.entry().HaveErrors, c.errors > 0 ? 1 : 0) << c.why;
  }
}

TEST(MacroCheck, ResultSurvivesTheNextWriteBack) {
  OneMacro m({Down('A'), Delay(20)});
  m.actions().CheckErrors();
  ASSERT_EQ(m.entry().ErrorCount, 1);
  m.actions().SetDelayValue(1, 40);
  EXPECT_EQ(m.entry().HaveErrors, 1) << "a delay edit keeps the check's result";
  EXPECT_EQ(m.entry().ErrorCount, 1);

  m.actions().InsertActionAfter(Up('A'), 1);
  m.actions().CheckErrors();
  m.actions().DeleteAction(1);
  EXPECT_EQ(m.entry().HaveErrors, 0);
  EXPECT_EQ(m.entry().ErrorCount, 0);
  m.ExpectWrittenBack("the check's result is part of the written macro");
}

TEST(MacroCheck, AllMacrosAreChecked) {
  auto list = MacroList(3);
  list->MacroInfos[1] = Macro({Down('A')}, u"broken");
  list->MacroInfos[2].HaveErrors = 1;  // stale
  list->MacroInfos[2].ErrorCount = 9;
  TvnMacroClass model;
  model.CtlCreate(*list);
  model.SetMacroListIndex(1);
  model.CheckAllErrors();
  auto out = std::make_unique<TMACROKEYINFOLIST>();
  model.GetMacroKeyInfoList(*out);
  EXPECT_EQ(out->MacroInfos[0].ErrorCount, 0);
  EXPECT_EQ(out->MacroInfos[1].ErrorCount, 1);
  EXPECT_EQ(out->MacroInfos[1].HaveErrors, 1);
  EXPECT_EQ(out->MacroInfos[2].ErrorCount, 0);
  EXPECT_EQ(out->MacroInfos[2].HaveErrors, 0);
  // The selected macro's action object knows the result too.
  model.GetCurrentMacroAction()->SetDelayValue(0, 'A');
  model.GetMacroKeyInfoList(*out);
  EXPECT_EQ(out->MacroInfos[1].ErrorCount, 1);
}

// --- randomized write-back against a plain reference ------------------------------

// The action list as a std::vector with the selection and clipboard rules.
struct Reference {
  std::vector<TMACROKEY> list;
  int sel = -1;
  std::vector<TMACROKEY> clip;
  bool cut = false;
  int n() const { return static_cast<int>(list.size()); }
  bool valid(int i) const { return i >= 0 && i < n(); }
  void swap(int p, int q) {
    std::swap(list[p], list[q]);
    sel = sel == p ? q : sel == q ? p : sel;
  }
};

TEST(MacroActions, EveryOperationWritesBackLikeAPlainList) {
  std::mt19937 rng(1234);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto randomStep = [&] {
    return Step(static_cast<std::uint16_t>(pick(0, 7)), static_cast<std::uint16_t>(pick(0, 2)),
                static_cast<std::uint8_t>(pick(0, 4)), static_cast<std::uint8_t>(pick(0, 1)));
  };
  for (int run = 0; run < 3000; ++run) {
    std::vector<TMACROKEY> start;
    const int len = pick(0, 5) == 0 ? pick(120, 128) : pick(0, 6);
    for (int i = 0; i < len; ++i) start.push_back(randomStep());
    OneMacro m(start);
    Reference ref{start, start.empty() ? -1 : 0, {}, false};
    std::int32_t haveErrors = 0, errorCount = 0;
    for (int step = 0; step < 25; ++step) {
      auto& a = m.actions();
      const int i = pick(-1, ref.n() + 1);
      const TMACROKEY s = randomStep();
      switch (pick(0, 11)) {
        case 0:
          a.DeleteAction(i);
          if (ref.valid(i)) {
            ref.list.erase(ref.list.begin() + i);
            if (ref.sel >= ref.n()) ref.sel = ref.n() - 1;
          }
          break;
        case 1:
          a.InsertAction(s, i);
          if (ref.n() < MAX_MACRO_STEPS && ref.valid(i)) {
            ref.list.insert(ref.list.begin() + i, s);
            if (ref.sel == i) ref.sel = i + 1;
          }
          break;
        case 2:
          a.InsertActionAfter(s, i);
          if (ref.n() < MAX_MACRO_STEPS && i >= 0 && i <= ref.n())
            ref.list.insert(ref.list.begin() + (i == ref.n() ? i : i + 1), s);
          break;
        case 3:
          a.MoveUpAction(i);
          if (ref.valid(i) && i > 0) ref.swap(i, i - 1);
          break;
        case 4:
          a.MoveDownAction(i);
          if (ref.valid(i) && i < ref.n() - 1) ref.swap(i, i + 1);
          break;
        case 5:
          a.CopyAction(i);
          if (ref.valid(i)) ref.clip = {ref.list[i]}, ref.cut = false;
          break;
        case 6:
          a.CutAction(i);
          if (ref.valid(i)) {
            ref.clip = {ref.list[i]};
            ref.cut = true;
            ref.list.erase(ref.list.begin() + i);
            if (ref.sel >= ref.n()) ref.sel = ref.n() - 1;
          }
          break;
        case 7:
          a.PasteAction(i);
          if (!ref.clip.empty() && ref.n() < MAX_MACRO_STEPS && ref.valid(i)) {
            ref.list.insert(ref.list.begin() + i, ref.clip[0]);
            if (ref.sel == i) ref.sel = i + 1;
            if (ref.cut) ref.clip.clear(), ref.cut = false;
          }
          break;
        case 8: {
          const int value = pick(-10, 70000);
          a.SetDelayValue(i, value);
          if (ref.valid(i)) {
            const int v = std::clamp(value, 0, 65535);
            ref.list[i].VALUE1 = static_cast<std::uint8_t>(v & 0xFF);
            ref.list[i].VALUE2 = static_cast<std::uint8_t>(v >> 8);
          }
          break;
        }
        case 9:
          a.SetActionIndex(i);
          if (ref.valid(i)) ref.sel = i;
          break;
        default:
          a.CheckErrors();
          haveErrors = m.entry().HaveErrors;
          errorCount = m.entry().ErrorCount;
          break;
      }
      ASSERT_EQ(a.Actions(), ref.list) << "run " << run << " step " << step;
      ASSERT_EQ(a.ActionsIndex(), ref.sel) << "run " << run << " step " << step;
      ASSERT_EQ(a.HasClipboard(), !ref.clip.empty()) << "run " << run << " step " << step;
      const TMACROKEYINFO e = m.entry();
      ASSERT_EQ(e.MacroListCount, ref.n());
      ASSERT_EQ(std::vector<TMACROKEY>(e.MacroList, e.MacroList + ref.n()), ref.list);
      ASSERT_EQ(e.HaveErrors, haveErrors) << "run " << run << " step " << step;
      ASSERT_EQ(e.ErrorCount, errorCount) << "run " << run << " step " << step;
      TMACROKEYINFO edited;
      a.GetMacroKeyInfo(edited);
      ASSERT_EQ(RawBytes(e), RawBytes(edited)) << "run " << run << " step " << step;
    }
  }
}

// --- the macro list ---------------------------------------------------------------

std::vector<std::u16string> Names(TvnMacroClass& model) {
  auto out = std::make_unique<TMACROKEYINFOLIST>();
  model.GetMacroKeyInfoList(*out);
  std::vector<std::u16string> names;
  for (int i = 0; i < out->nMacroInfoCount; ++i) {
    names.push_back(quarn::ReadText(out->MacroInfos[i].szMacroName));
    EXPECT_EQ(out->MacroInfos[i].nMacroIndex, i) << "numbered by position";
  }
  return names;
}

TEST(MacroList, ExportCarriesEveryEditOfTheSelectedMacro) {
  auto list = MacroList(1);
  TvnMacroClass model;
  model.SetMacroKeyInfoList(*list);
  EXPECT_EQ(model.GetCurrentMacroAction(), nullptr) << "selected, but not built yet";
  EXPECT_EQ(model.MacroListIndex(), 0);
  model.SetMacroListIndex(0);
  auto& a = *model.GetCurrentMacroAction();
  a.SetDelayValue(1, 500);
  a.InsertActionAfter(Down('B'), 2);
  a.InsertActionAfter(Up('B'), 3);
  a.CheckErrors();
  model.SetMacroLoopValue(0, 70000);

  TMACROKEYINFO edited;
  model.GetCurrentMacroAction()->GetMacroKeyInfo(edited);
  auto out = MacroList(21);  // entries beyond the count keep what they hold
  const auto untouched = RawBytes(out->MacroInfos[1]);
  model.GetMacroKeyInfoList(*out);
  EXPECT_EQ(out->nMacroInfoCount, 1);
  EXPECT_EQ(RawBytes(out->MacroInfos[0]), RawBytes(edited));
  EXPECT_EQ(out->MacroInfos[0].MacroListCount, 5);
  EXPECT_EQ(out->MacroInfos[0].nLoopCount, 65535);
  EXPECT_EQ(RawBytes(out->MacroInfos[1]), untouched);
}

TEST(MacroList, HoldsAtMost21Macros) {
  struct Case {
    const char* why;
    std::uint16_t storedCount;
    int held;
  } cases[] = {{"a full record", 21, 21},
               {"a count past the record's entries", 30, 21},
               {"the largest count", 65535, 21},
               {"none", 0, 0}};
  for (const auto& c : cases) {
    auto list = MacroList(21, c.storedCount);
    TvnMacroClass model;
    model.CtlCreate(*list);
    EXPECT_EQ(model.GetMacroListCount(), c.held) << c.why;
    EXPECT_EQ(model.MacroListIndex(), c.held > 0 ? 0 : -1) << c.why;
    auto out = MacroList(0);
    model.GetMacroKeyInfoList(*out);
    EXPECT_EQ(out->nMacroInfoCount, c.held) << c.why;
  }

  TvnMacroClass model;
  auto twenty = MacroList(20);
  EXPECT_TRUE(model.SetMacroKeyInfoList(*twenty));
  EXPECT_TRUE(model.GetIsFull()) << "full at 20";
  EXPECT_TRUE(model.CreateNewMacro(u"21st")) << "creating ignores the 20";
  EXPECT_FALSE(model.CreateNewMacro(u"22nd"));
  EXPECT_EQ(model.GetMacroListCount(), 21);
  EXPECT_FALSE(model.SetMacroKeyInfoList(*twenty)) << "appending has no room left";
  EXPECT_EQ(model.GetMacroListCount(), 21);

  TvnMacroClass appended;
  appended.SetMacroKeyInfoList(*MacroList(15));
  EXPECT_FALSE(appended.SetMacroKeyInfoList(*MacroList(10)));
  EXPECT_EQ(appended.GetMacroListCount(), 21) << "appends up to the room left";
}

TEST(MacroList, StoredStepCountsAreBroughtIntoRange) {
  struct Case {
    const char* why;
    std::int32_t count;
    int actions;
  } cases[] = {{"negative", -1, 0},
               {"the lowest", INT32_MIN, 0},
               {"past the steps", 500, 128},
               {"the highest", INT32_MAX, 128},
               {"in range", 3, 3}};
  for (const auto& c : cases) {
    auto list = MacroList(1);
    list->MacroInfos[0].MacroListCount = c.count;
    TvnMacroClass model;
    model.CtlCreate(*list);
    model.SetMacroListIndex(0);
    auto& a = *model.GetCurrentMacroAction();
    EXPECT_EQ(a.GetCount(), c.actions) << c.why;
    a.CheckErrors();
    a.SaveBack();
    TMACROKEYINFO e;
    model.GetCurrentMacroKeyItem(e);
    EXPECT_EQ(e.MacroListCount, c.actions) << c.why << ": written back in range";
    model.CheckAllErrors();
  }
}

TEST(MacroList, NamesFindCreateAndRename) {
  TvnMacroClass model;
  EXPECT_TRUE(model.CreateNewMacro(u"jump"));
  EXPECT_TRUE(model.CreateNewMacro(u"Jump"));
  EXPECT_TRUE(model.CreateNewMacro(u"jump"));
  EXPECT_EQ(model.MacroListIndex(), 2) << "a new macro is selected";
  ASSERT_NE(model.GetCurrentMacroAction(), nullptr);
  EXPECT_EQ(model.GetCurrentMacroAction()->MacroIndex(), 2);
  EXPECT_EQ(model.IndexOfMacroName(u"jump"), 0) << "the first match";
  EXPECT_EQ(model.IndexOfMacroName(u"Jump"), 1) << "case counts";
  EXPECT_FALSE(model.MacroExists(u"JUMP"));
  EXPECT_FALSE(model.MacroExists(u""));

  const std::u16string fifty(50, u'x');
  EXPECT_TRUE(model.CreateNewMacro(fifty)) << "50 units fill the field";
  EXPECT_EQ(model.IndexOfMacroName(fifty), 3);
  EXPECT_FALSE(model.CreateNewMacro(fifty + u"y")) << "51 do not fit";
  EXPECT_FALSE(model.CreateNewMacro(std::u16string(u"a\0b", 3))) << "an embedded NUL";
  EXPECT_EQ(model.GetMacroListCount(), 4);

  EXPECT_TRUE(model.ReNameMacro(u"run", 1));
  EXPECT_FALSE(model.ReNameMacro(fifty + u"y", 1));
  EXPECT_FALSE(model.ReNameMacro(u"walk", 4));
  EXPECT_EQ(Names(model), (std::vector<std::u16string>{u"jump", u"run", u"jump", fifty}));

  model.DeleteMacro(u"jump");
  EXPECT_EQ(Names(model), (std::vector<std::u16string>{u"run", u"jump", fifty}));
  model.DeleteMacro(u"absent");
  EXPECT_EQ(model.GetMacroListCount(), 3);
}

TEST(MacroList, SelectionFollowsDeleteAndMove) {
  using Model = TvnMacroClass;
  struct Case {
    const char* why;
    int selected;
    std::function<void(Model&)> op;
    const char* order;  // macro numbers of the list afterwards
    int expectedSelected;
  };
  const Case cases[] = {
      {"delete the selected last: the new last", 3, [](Model& m) { m.DeleteMacro(3); }, "012", 2},
      {"delete in front of the selection", 2, [](Model& m) { m.DeleteMacro(0); }, "123", 2},
      {"delete an invalid index", 1, [](Model& m) { m.DeleteMacro(4); }, "0123", 1},
      {"move the selected up", 2, [](Model& m) { m.MoveUpMacro(2); }, "0213", 1},
      {"a selected neighbour swaps places", 1, [](Model& m) { m.MoveDownMacro(0); }, "1023", 0},
      {"the first cannot move up", 0, [](Model& m) { m.MoveUpMacro(0); }, "0123", 0},
      {"the last cannot move down", 3, [](Model& m) { m.MoveDownMacro(3); }, "0123", 3},
      {"deselect", 2, [](Model& m) { m.SetMacroListIndex(-1); }, "0123", -1},
      {"an invalid selection is ignored", 2, [](Model& m) { m.SetMacroListIndex(4); }, "0123", 2},
  };
  for (const Case& c : cases) {
    TvnMacroClass model;
    model.CtlCreate(*MacroList(4));
    model.SetMacroListIndex(c.selected);
    c.op(model);
    std::string order;
    for (const auto& n : Names(model)) order.push_back(static_cast<char>(n[1]));
    EXPECT_EQ(order, c.order) << c.why;
    EXPECT_EQ(model.MacroListIndex(), c.expectedSelected) << c.why;
    TvnActionsClass* a = model.GetCurrentMacroAction();
    if (c.expectedSelected < 0) {
      EXPECT_EQ(a, nullptr) << c.why;
      continue;
    }
    ASSERT_NE(a, nullptr) << c.why;
    EXPECT_EQ(a->MacroIndex(), c.expectedSelected) << c.why;
    TMACROKEYINFO item, edited;
    model.GetCurrentMacroKeyItem(item);
    a->GetMacroKeyInfo(edited);
    EXPECT_EQ(RawBytes(item), RawBytes(edited))
        << c.why << ": the action object is the selected macro";
  }

  TvnMacroClass one;
  one.CtlCreate(*MacroList(1));
  one.SetMacroListIndex(0);
  one.DeleteMacro(0);
  EXPECT_EQ(one.MacroListIndex(), -1);
  EXPECT_EQ(one.GetCurrentMacroAction(), nullptr);
  TMACROKEYINFO untouched = Macro({Down('Q')});
  const auto before = RawBytes(untouched);
  EXPECT_FALSE(one.GetCurrentMacroKeyItem(untouched));
  EXPECT_EQ(RawBytes(untouched), before);
}

TEST(MacroList, InsertingAMacroIntoTheSelectedOne) {
  const TMACROKEYINFO recorded = Macro({Down('X'), Delay(30), Up('X')});
  struct Case {
    const char* why;
    bool after;
    int anchor;
    bool accepted;
    const char* expected;  // letters; delays show as their low byte
  };
  const Case cases[] = {
      {"in front of the first", false, 0, true,
       "X\x1eX"
       "AB"},
      {"in front of the last", false, 1, true,
       "AX\x1eX"
       "B"},
      {"after the first", true, 0, true,
       "AX\x1eX"
       "B"},
      {"after the last", true, 1, true, "ABX\x1eX"},
      {"after: the count appends", true, 2, true, "ABX\x1eX"},
      {"in front of the count: no anchor", false, 2, false, "AB"},
      {"anchor -1 changes nothing", false, -1, false, "AB"},
      {"after -1 changes nothing", true, -1, false, "AB"},
      {"after past the count", true, 3, false, "AB"},
  };
  for (const Case& c : cases) {
    OneMacro m(Presses("AB"));
    const bool ok = c.after ? m.model.InsertMacroAfter(recorded, c.anchor)
                            : m.model.InsertMacro(recorded, c.anchor);
    EXPECT_EQ(ok, c.accepted) << c.why;
    EXPECT_EQ(Letters(m.actions().Actions()), c.expected) << c.why;
    m.ExpectWrittenBack(c.why);
  }

  OneMacro nearlyFull(std::vector<TMACROKEY>(MAX_MACRO_STEPS - 2, Down('F')));
  EXPECT_TRUE(nearlyFull.model.InsertMacroAfter(recorded, 0));
  EXPECT_EQ(nearlyFull.entry().MacroListCount, MAX_MACRO_STEPS) << "the steps that fit";
  EXPECT_EQ(nearlyFull.entry().MacroList[1], Down('X'));
  EXPECT_EQ(nearlyFull.entry().MacroList[2], Delay(30));

  TvnMacroClass none;
  EXPECT_FALSE(none.InsertMacro(recorded, 0)) << "no macro selected";
  EXPECT_FALSE(none.InsertMacroAfter(recorded, 0));
}

TEST(MacroList, SaveBackReplacesTheSelectedMacro) {
  TvnMacroClass model;
  model.CtlCreate(*MacroList(2));
  model.SetMacroListIndex(1);
  TMACROKEYINFO replacement = Macro({Down('Z'), Up('Z')}, u"z");
  replacement.Version = MACRO_FORMAT_VERSION;
  model.SaveBackCurrentMacroKeyInfo(replacement);
  TMACROKEYINFO item;
  ASSERT_TRUE(model.GetCurrentMacroKeyItem(item));
  EXPECT_EQ(RawBytes(item), RawBytes(replacement));
  EXPECT_EQ(Letters(model.GetCurrentMacroAction()->Actions()), "ZZ");
  EXPECT_TRUE(TvnMacroClass::IsValidMacroVersion(item));
  item.Version = 257;
  EXPECT_FALSE(TvnMacroClass::IsValidMacroVersion(item));
}

}  // namespace
