// Dialog centring in a screen rectangle, and how a modal run ends.
#include "ui/modal.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace quarn::ui;

TEST(CenterIn, Table) {
  constexpr std::int32_t kLo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kHi = std::numeric_limits<std::int32_t>::max();
  struct Case {
    const char* why;
    ScreenRect area;
    std::int32_t w, h;
    ScreenPoint at;
  } cases[] = {
      {"centred inside", {100, 100, 500, 400}, 200, 100, {200, 200}},
      {"odd positive difference rounds down", {0, 0, 301, 300}, 100, 100, {100, 100}},
      {"area smaller than the dialog: negative offsets", {0, 0, 100, 100}, 308, 197, {-104, -48}},
      {"odd negative difference truncates toward zero (-205/2 = -102)",
       {0, 0, 100, 100},
       305,
       305,
       {-102, -102}},
      {"area at negative screen coordinates", {-1280, -200, 0, 824}, 308, 197, {-794, 213}},
      {"negative coordinates and an odd negative difference",
       {-101, -101, 0, 0},
       200,
       200,
       {-150, -150}},
      {"empty area", {50, 60, 50, 60}, 10, 11, {45, 55}},
      {"inverted area (right left of left)", {100, 100, 0, 0}, 0, 0, {50, 50}},
      {"the widest area: no overflow", {kLo, kLo, kHi, kHi}, 0, 0, {-1, -1}},
      {"a result past the range is held at its end",
       {kHi - 10, kLo + 10, kHi, kLo + 20},
       kLo,
       kHi,
       {kHi, kLo}},
  };
  for (const auto& c : cases) EXPECT_EQ(CenterIn(c.area, c.w, c.h), c.at) << c.why;
}

TEST(ModalRun, EndingTable) {
  enum Op { Ok, Cancel, Zero, Close, Quit };
  struct Case {
    const char* why;
    std::vector<Op> ops;
    int result;
    bool quit;
  } cases[] = {
      {"still running", {}, 0, false},
      {"a result of 0 does not end it", {Zero}, 0, false},
      {"OK", {Ok}, 1, false},
      {"CANCEL", {Cancel}, 2, false},
      {"closing the window cancels", {Close}, 2, false},
      {"closing after OK keeps OK", {Ok, Close}, 1, false},
      {"a quit cancels and is passed on", {Quit}, 2, true},
      {"a quit after OK still cancels: nothing is stored", {Ok, Quit}, 2, true},
      {"nothing after a quit changes the result", {Quit, Ok}, 2, true},
  };
  for (const auto& c : cases) {
    ModalRun run;
    for (Op op : c.ops) {
      switch (op) {
        case Ok:
          run.SetResult(1);
          break;
        case Cancel:
          run.SetResult(2);
          break;
        case Zero:
          run.SetResult(0);
          break;
        case Close:
          run.Close();
          break;
        case Quit:
          run.Quit(5);
          break;
      }
    }
    EXPECT_EQ(run.Result(), c.result) << c.why;
    EXPECT_EQ(run.Ended(), c.result != 0) << c.why;
    EXPECT_EQ(run.QuitPending(), c.quit) << c.why;
    if (c.quit) {
      EXPECT_EQ(run.QuitCode(), 5) << c.why;
    }
  }
}

}  // namespace
