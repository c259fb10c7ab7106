// Where pop-ups open, and which open pop-ups close when activation moves.
#include "ui/popup.h"

#include <gtest/gtest.h>

namespace {

using namespace quarn::ui;

TEST(PopupPlacement, Table) {
  const RectF target{100, 50, 80, 20};
  const SizeF popup{120, 60};
  const PointF cursor{300, 400};
  struct Case {
    const char* why;
    int kind;
    std::optional<RectF> rect;
    PointF at;
  } cases[] = {
      {"Bottom: below the target, left aligned", 0, {}, {100, 70}},
      {"Right: right of the target, top aligned", 3, {}, {180, 50}},
      {"RightCenter: centred on the target's height (may go above it)", 8, {}, {180, 30}},
      {"Absolute: the rectangle's left and top", 9, RectF{500, 600, 0, 0}, {500, 600}},
      {"Absolute without a rectangle: as Bottom", 9, {}, {100, 70}},
      {"Mouse: at the pointer", 10, {}, {300, 400}},
      {"Top is not used: as Bottom", 1, {}, {100, 70}},
      {"Center is not used: as Bottom", 4, {}, {100, 70}},
      {"MouseCenter is not used: as Bottom", 11, {}, {100, 70}},
      {"a stored value out of range: as Bottom", 42, {}, {100, 70}},
      {"a negative stored value: as Bottom", -1, {}, {100, 70}},
  };
  for (const auto& c : cases) {
    PlacementRequest r{target, cursor, static_cast<Placement>(c.kind), c.rect, popup};
    EXPECT_EQ(PlacePopup(r), c.at) << c.why;
  }
  // Half pixels are kept; the host rounds.
  PlacementRequest odd{{0, 0, 10, 21}, {}, Placement::RightCenter, {}, {5, 10}};
  EXPECT_EQ(PlacePopup(odd), (PointF{10, 5.5f}));
}

TEST(PopupStack, DeactivationTable) {
  using Ids = std::vector<PopupStack::Id>;
  constexpr PopupStack::Id A = 0x100, B = 0x200, C = 0x300, Other = 0x999;
  struct Case {
    const char* why;
    PopupStack::Id lost, activated;
    Ids closed, left;
  } cases[] = {
      {"another window: all close, latest first", C, Other, {C, B, A}, {}},
      {"no window or another program: all close", C, 0, {C, B, A}, {}},
      {"the same, whichever pop-up lost it", A, 0, {C, B, A}, {}},
      {"an earlier pop-up: the one that lost activation alone", C, B, {C}, {A, B}},
      {"the first pop-up: still only the one that lost it", C, A, {C}, {A, B}},
      {"an earlier one from the middle: the middle alone", B, A, {B}, {A, C}},
      {"a later pop-up (a sub-level opening): none", A, C, {}, {A, B, C}},
      {"a later one, next in line: none", B, C, {}, {A, B, C}},
      {"a pop-up that is not open (being hidden): none", Other, 0, {}, {A, B, C}},
      {"activation to itself is no change", B, B, {}, {A, B, C}},
      {"no pop-up lost it: none", 0, 0, {}, {A, B, C}},
  };
  for (const auto& c : cases) {
    PopupStack s;
    for (auto id : {A, B, C}) s.Opened(id);
    EXPECT_EQ(s.Deactivated(c.lost, c.activated), c.closed) << c.why;
    EXPECT_EQ(s.Open(), c.left) << c.why;
  }
}

TEST(PopupStack, HidingAClosedPopupClosesNothingMore) {
  // The host hides each pop-up it is told to close; the hidden window then reports
  // its own loss of activation. That report must not close the rest.
  PopupStack s;
  s.Opened(1);
  s.Opened(2);
  EXPECT_EQ(s.Deactivated(2, 1), (std::vector<PopupStack::Id>{2}));
  EXPECT_TRUE(s.Deactivated(2, 0).empty());
  EXPECT_EQ(s.Open(), (std::vector<PopupStack::Id>{1}));
}

TEST(PopupStack, OpeningTwiceAndClosingByHand) {
  PopupStack s;
  s.Opened(1);
  s.Opened(2);
  s.Opened(1);
  EXPECT_EQ(s.Open(), (std::vector<PopupStack::Id>{2, 1})) << "reopened: now the latest, once";
  s.Opened(0);
  EXPECT_EQ(s.Open().size(), 2u) << "0 is never a pop-up";
  s.Closed(2);
  s.Closed(7);
  EXPECT_EQ(s.Open(), (std::vector<PopupStack::Id>{1}));
  EXPECT_TRUE(s.IsOpen(1));
  EXPECT_FALSE(s.IsOpen(2));
  EXPECT_FALSE(s.IsOpen(0));
}

}  // namespace
