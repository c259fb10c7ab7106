// The editor's rows of a macro: which actions have rows, and edits through a
// row reaching the action it shows when some actions have none.
#include "macro_rows.h"

#include <gtest/gtest.h>

#include <vector>

#include "macro_test_helpers.h"
#include "vn_macro.h"

namespace {

using namespace quarn::testing;
using quarn::MacroRow;
using Kind = quarn::MacroRowKind;

TEST(MacroRows, WhichActionsHaveRows) {
  struct Case {
    const char* why;
    std::vector<TMACROKEY> actions;
    std::uint16_t autoAddDelay;
    std::vector<MacroRow> rows;
  };
  const Case cases[] = {
      {"recorded keys with their delays",
       {Down('A'), Delay(120), Up('A')},
       1,
       {{Kind::KeyDown, 0}, {Kind::Delay, 1}, {Kind::KeyUp, 2}}},
      {"delays have no rows unless the macro shows them",
       {Down('A'), Delay(120), Up('A')},
       0,
       {{Kind::KeyDown, 0}, {Kind::KeyUp, 2}}},
      {"only the value 1 shows delays", {Delay(5)}, 2, {}},
      {"mouse buttons in either state",
       {MouseDown(1), MouseUp(1)},
       1,
       {{Kind::Mouse, 0}, {Kind::Mouse, 1}}},
      {"other states have no rows",
       {Step(MACROKEY_KEYBOARD, 2, 'A', 0), Step(MACROKEY_MOUSE, 7, 1, 0), Up('B')},
       1,
       {{Kind::KeyUp, 2}}},
      {"kinds without a text",
       {MediaDown(0xE9), Step(MACROKEY_WHEEL, 1, 1, 0), Step(9, 1, 0, 0)},
       1,
       {}},
      {"no actions", {}, 1, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(quarn::MacroRowsOf(c.actions, c.autoAddDelay), c.rows) << c.why;
}

TEST(MacroRows, MappingBothWays) {
  const auto rows = quarn::MacroRowsOf({Down('A'), Delay(50), MediaDown(1), Up('A')}, 0);
  EXPECT_EQ(quarn::ActionOfRow(rows, 0), 0);
  EXPECT_EQ(quarn::ActionOfRow(rows, 1), 3);
  EXPECT_EQ(quarn::ActionOfRow(rows, 2), -1);
  EXPECT_EQ(quarn::ActionOfRow(rows, -1), -1);
  EXPECT_EQ(quarn::RowOfAction(rows, 3), 1);
  EXPECT_EQ(quarn::RowOfAction(rows, 1), -1) << "a delay without a row";
  EXPECT_EQ(quarn::RowOfAction(rows, 9), -1);
}

TEST(MacroRows, EditsThroughARowReachTheActionShown) {
  // Recorded into a macro that does not show its delays: rows 0..3 show
  // actions 0, 2, 4 and 5.
  auto list = MacroList(0);
  list->MacroInfos[0] = Macro({Down('A'), Delay(50), Down('B'), Delay(60), Up('B'), Up('A')});
  list->MacroInfos[0].nAutoAddDelay = 0;
  list->nMacroInfoCount = 1;
  TvnMacroClass model;
  model.CtlCreate(*list);
  model.SetMacroListIndex(0);
  auto& a = *model.GetCurrentMacroAction();

  auto rows = quarn::MacroRowsOf(a.Actions(), 0);
  a.SetActionIndex(quarn::ActionOfRow(rows, 2));  // the user selects "B up"
  a.DeleteAction(a.ActionsIndex());
  EXPECT_EQ(a.Actions(),
            (std::vector<TMACROKEY>{Down('A'), Delay(50), Down('B'), Delay(60), Up('A')}))
      << "the release of B is gone, not the delay in row-number position 2";

  rows = quarn::MacroRowsOf(a.Actions(), 0);
  a.MoveUpAction(quarn::ActionOfRow(rows, 1));  // "B down" up one action
  EXPECT_EQ(a.Actions()[1], Down('B'));
  EXPECT_EQ(a.Actions()[2], Delay(50));
}

}  // namespace
