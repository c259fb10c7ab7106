// Pop-up rules, without windows: where a pop-up opens relative to its target, and
// which open pop-ups close when activation moves. The Win32 host applies both to its
// pop-up windows.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "ui/graphics.h"

namespace quarn::ui {

// Placement kinds, numbered as stored in the designs. Only Bottom, Right,
// RightCenter, Absolute and Mouse are used; every other value places as Bottom.
enum class Placement : int {
  Bottom = 0,
  Top = 1,
  Left = 2,
  Right = 3,
  Center = 4,
  BottomCenter = 5,
  TopCenter = 6,
  LeftCenter = 7,
  RightCenter = 8,
  Absolute = 9,
  Mouse = 10,
  MouseCenter = 11,
};

struct PlacementRequest {
  RectF target;   // the target's box in screen pixels
  PointF cursor;  // the pointer in screen pixels
  Placement kind = Placement::Bottom;
  std::optional<RectF> rectangle;  // Absolute: its left and top are the position
  SizeF popup;                     // the pop-up's size
};

// The pop-up's top-left in screen pixels:
//   Bottom: the target's left, below it;   Right: right of the target, top aligned;
//   RightCenter: right of the target, centred on it vertically;
//   Absolute: the rectangle's left and top (Bottom without a rectangle);
//   Mouse: the pointer.
PointF PlacePopup(const PlacementRequest& request);

// The open pop-ups in opening order. A pop-up is known by any non-zero id the host
// chooses (a window handle); 0 stands for "no pop-up" (no window, another program).
class PopupStack {
 public:
  using Id = std::uintptr_t;

  // Adds a pop-up as the latest; one already open moves to the end.
  void Opened(Id popup);
  // Removes a pop-up closed by other means (not open: nothing happens).
  void Closed(Id popup);
  bool IsOpen(Id popup) const;
  const std::vector<Id>& Open() const { return open_; }

  // `popup` lost activation to `activated`. Returns the pop-ups to close, in closing
  // order, and forgets them:
  //   `activated` is not an open pop-up: all of them, the latest first;
  //   `activated` was opened before `popup`: `popup` alone;
  //   `activated` was opened after `popup`: none.
  // A deactivation of a pop-up that is not open (it is being hidden) closes nothing.
  std::vector<Id> Deactivated(Id popup, Id activated);

 private:
  std::vector<Id> open_;
};

}  // namespace quarn::ui
