#include "mouse_filters.h"

#include "function_ids.h"

namespace quarn {
namespace {

// A damaged or cut profile (zeros where the entry should be) must not take
// the button away: an entry no writer produces counts as the factory function.
bool KeepsOwnFunction(const TBUTTONFUNCINFO& entry, std::int32_t menuId) {
  if (!IsStoredButtonFunction(entry)) return true;
  return entry.FunctionKind == FUNCKIND_BASIC && entry.MenuID == menuId;
}

bool WheelKeepsOwnFunction(const TBUTTONFUNCINFO& entry, std::uint16_t code) {
  if (entry.FunctionKind != FUNCKIND_BASIC) return !IsStoredButtonFunction(entry);
  return entry.FunctionCode == code;
}

TMouseHookDetail Filter(TMouseButtons button, TMouseButtonStateSet states, TMouseButtons modified) {
  TMouseHookDetail d;
  d.MouseButton = button;
  d.MouseStateSet = states;
  d.ModifiedFunction = modified;
  return d;
}

}  // namespace

bool IsStoredButtonFunction(const TBUTTONFUNCINFO& entry) {
  switch (entry.FunctionKind) {
    case FUNCKIND_BASIC:
      return IsBasicFunctionMenuID(entry.MenuID);
    case FUNCKIND_QUICKLAUNCH:
    case FUNCKIND_COMBOKEY:
    case FUNCKIND_MACRO:
    case FUNCKIND_FIREKEY:
    case FUNCKIND_SINGLEKEY:
    case FUNCKIND_HIDKEY:
      return true;
    default:
      return false;
  }
}

std::vector<TMouseHookDetail> BuildMouseFilters(const TMOUSECONFIGINFO& c) {
  struct ButtonRow {
    TMouseButtons button;
    TMouseButtonStateSet states;
  };
  static constexpr ButtonRow kRows[kPhysicalButtonCount] = {
      {LCLICK, {LBUTTONDOWN, LBUTTONUP}},
      {RCLICK, {RBUTTONDOWN, RBUTTONUP}},
      {MCLICK, {MBUTTONDOWN, MBUTTONUP}},
      {XCLICK5, {XBUTTONDOWN, XBUTTONUP}},
      {XCLICK4, {XBUTTONDOWN, XBUTTONUP}},
  };
  std::vector<TMouseHookDetail> filters;
  filters.reserve(7);
  for (int i = 0; i < kPhysicalButtonCount; ++i) {
    const bool own = KeepsOwnFunction(c.ButtonFuncInfo[i], i + 1);
    filters.push_back(Filter(kRows[i].button, kRows[i].states, own ? kRows[i].button : BUTTON_NONE));
  }
  if (!WheelKeepsOwnFunction(c.VWheelButtonFuncInfo[0], 0))
    filters.push_back(Filter(WHEELUP, {MOUSEWHEEL}, BUTTON_NONE));
  if (!WheelKeepsOwnFunction(c.VWheelButtonFuncInfo[1], 1))
    filters.push_back(Filter(WHEELDOWN, {MOUSEWHEEL}, BUTTON_NONE));
  return filters;
}

int ButtonIndexOf(TMouseButtons button) {
  switch (button) {
    case LCLICK: return 0;
    case RCLICK: return 1;
    case MCLICK: return 2;
    case XCLICK5: return 3;
    case XCLICK4: return 4;
    default: return -1;
  }
}

void MouseButtonGate::OnAnyButton(TMouseButtons button, std::int32_t state, bool& blocked) {
  consumed_ = false;
  const int index = ButtonIndexOf(button);
  if (index < 0 || !held_[index]) return;
  if (state != 0) {
    // A new press while a swallowed press still waits for its release: that
    // release was lost. The monitor lets go now, and this press is judged by
    // the filters on its own, so a press that passes gets its release passed.
    held_[index] = false;
    post_(index, 0);
    return;
  }
  // The release of a swallowed press: swallowed and reported, whatever the filters say now.
  held_[index] = false;
  consumed_ = true;
  blocked = true;
  post_(index, 0);
}

void MouseButtonGate::OnClaimedButton(TMouseButtons button, std::int32_t state, bool& blocked) {
  if (consumed_) {
    consumed_ = false;
    blocked = true;
    return;
  }
  const int index = ButtonIndexOf(button);
  if (index < 0) return;  // wheel directions pass untouched
  if (state != 0) {
    held_[index] = true;
    blocked = true;
    post_(index, state);
    return;
  }
  // A release whose press passed (the filters changed in between) passes too.
}

}  // namespace quarn
