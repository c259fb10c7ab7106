// Slider positions and the note dialog's layout and centring.
#include "page_models.h"

#include <gtest/gtest.h>

#include <limits>

#include "note_dialog_layout.h"

namespace quarn {
namespace {

TEST(SliderPosition, NearestStepHalfToTheEvenStepWithinTheRange) {
  struct Row {
    std::int32_t value, expected;
  } rows[] = {
      {1750, 1800},
      {1650, 1600},
      {1749, 1700},
      {1751, 1800},
      {3500, 3500},
      {0, 100},
      {50, 100},
      {4000, 4000},
      {4050, 4000},
      {65535, 4000},
      {-1, 100},
      {std::numeric_limits<std::int32_t>::min(), 100},
      {std::numeric_limits<std::int32_t>::max(), 4000},
  };
  for (const Row& r : rows)
    EXPECT_EQ(SliderPosition(r.value, 100, 4000, 100), r.expected) << r.value;
}

TEST(NoteDialogLayout, TheWarningPictureMovesTheTextAndNarrowsIt) {
  const NoteDialogLayout plain = LayoutNoteDialog(false);
  EXPECT_FALSE(plain.WarningShown);
  EXPECT_EQ(plain.Text, (ControlRect{44, 6, 251, 44}));
  const NoteDialogLayout warn = LayoutNoteDialog(true);
  EXPECT_TRUE(warn.WarningShown);
  EXPECT_EQ(warn.Text, (ControlRect{60, 6, 226, 44}));
  EXPECT_EQ(warn.Warning, (ControlRect{19, 24, 40, 40}));
  EXPECT_EQ(warn.Text1, plain.Text1);
  // The text never reaches past the dialog's client area.
  EXPECT_LE(warn.Text.X + warn.Text.Width, kNoteDialogWidth);
  EXPECT_LE(plain.Text.X + plain.Text.Width, kNoteDialogWidth);
}

TEST(NoteDialogLayout, CentredInAnyRectangle) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  struct Row {
    const char* why;
    ScreenRect area;
    ScreenPoint expected;
  } rows[] = {
      {"options area", {660, 119, 984, 590}, {670, 257}},
      {"larger", {0, 0, 1000, 1000}, {348, 402}},
      {"smaller sticks out evenly", {0, 0, 100, 100}, {-102, -47}},
      {"negative coordinates", {-500, -400, -100, -100}, {-452, -348}},
      {"empty", {10, 10, 10, 10}, {-142, -87}},
      {"inverted", {100, 100, 0, 0}, {-102, -47}},
      {"at the far edge", {kMax - 10, kMax - 10, kMax, kMax}, {kMax - 157, kMax - 102}},
      {"whole range", {kMin, kMin, kMax, kMax}, {-153, -98}},
  };
  for (const Row& r : rows)
    EXPECT_EQ(CentreInRect(r.area, kNoteDialogWidth, kNoteDialogHeight), r.expected) << r.why;
}

}  // namespace
}  // namespace quarn
