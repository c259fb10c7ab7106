// The monitor's side of the mouse hook: the filter list built from a profile,
// and the gate that turns the events the filters claim into button actions.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "hook_records.h"
#include "profile_records.h"

namespace quarn {

// True for an entry the monitor can act on: a basic function of the
// configuration program's function menu, or one of the kinds that carry their
// own data (program start, key combination, macro, fire key, single key, HID
// key). Kind 0, MenuID 0 (what a cut or zeroed profile holds), sub-menu IDs and
// unknown kinds are not.
bool IsStoredButtonFunction(const TBUTTONFUNCINFO& entry);

// The seven filters of a profile, in match order: the five buttons always
// (passing when the button keeps its own function, or when its entry is not a
// stored function at all), a wheel direction only when its function is
// another stored one.
std::vector<TMouseHookDetail> BuildMouseFilters(const TMOUSECONFIGINFO& config);

constexpr int kPhysicalButtonCount = 5;

// The index of a button in ButtonFuncInfo: 0 left, 1 right, 2 middle, 3 XBUTTON2,
// 4 XBUTTON1; -1 for anything else (the wheel directions).
int ButtonIndexOf(TMouseButtons button);

// Decides, inside the hook callback, which button events are swallowed and
// reported. A release is swallowed exactly when its press was, whatever the
// filters say by the time it comes, so the applications never see half a click
// and the monitor always sees the release of what it started (a press that
// finds its button still held reports the lost release first). Wheel events
// are never taken: a wheel direction a profile reassigns scrolls as a wheel.
// No allocation, no waiting: it only calls `post`.
class MouseButtonGate {
 public:
  using Post = std::function<void(int buttonIndex, int state)>;
  explicit MouseButtonGate(Post post) : post_(std::move(post)) {}

  // Raised for every non-injected button or wheel event, before the filters.
  void OnAnyButton(TMouseButtons button, std::int32_t state, bool& blocked);
  // Raised when a filter claims the event for another function.
  void OnClaimedButton(TMouseButtons button, std::int32_t state, bool& blocked);

  bool IsHeld(int index) const { return index >= 0 && index < kPhysicalButtonCount && held_[index]; }

 private:
  Post post_;
  std::array<bool, kPhysicalButtonCount> held_{};  // press swallowed, release not yet seen
  bool consumed_ = false;  // the current event was already taken by OnAnyButton
};

}  // namespace quarn
