#include "mouse_buttons.h"

namespace quarn {

namespace {
constexpr std::uintptr_t kLButtonDown = 0x201, kLButtonUp = 0x202;
constexpr std::uintptr_t kRButtonDown = 0x204, kRButtonUp = 0x205;
constexpr std::uintptr_t kMButtonDown = 0x207, kMButtonUp = 0x208;
constexpr std::uintptr_t kMouseWheel = 0x20A;
constexpr std::uintptr_t kXButtonDown = 0x20B, kXButtonUp = 0x20C;
constexpr std::uint16_t kXButton1 = 1, kXButton2 = 2;
}  // namespace

MouseEventButton DecodeMouseEvent(std::uintptr_t message, std::uint32_t mouseData) {
  const auto high = static_cast<std::uint16_t>(mouseData >> 16);
  const std::int32_t state = (message == kLButtonUp || message == kRButtonUp ||
                              message == kMButtonUp || message == kXButtonUp)
                                 ? 0
                                 : 1;
  switch (message) {
    case kLButtonDown:
    case kLButtonUp:
      return {LCLICK, state, 0};
    case kRButtonDown:
    case kRButtonUp:
      return {RCLICK, state, 0};
    case kMButtonDown:
    case kMButtonUp:
      return {MCLICK, state, 0};
    case kXButtonDown:
    case kXButtonUp: {
      const TMouseButtons b = high == kXButton1   ? XCLICK4
                              : high == kXButton2 ? XCLICK5
                                                  : BUTTON_NONE;
      return {b, state, static_cast<std::int16_t>(high)};
    }
    case kMouseWheel: {
      const auto delta = static_cast<std::int16_t>(high);
      const TMouseButtons b = delta > 0 ? WHEELUP : delta < 0 ? WHEELDOWN : BUTTON_NONE;
      return {b, state, delta};
    }
    default:
      return {BUTTON_NONE, state, 0};
  }
}

}  // namespace quarn

const std::array<TMouseButtonString, 7> MouseButtonDescriptions = {{
    {LCLICK, u"Mouse Click"},
    {RCLICK, u"Mouse Right Click"},
    {MCLICK, u"Mouse Middle Click"},
    {XCLICK4, u"Backward(Mouse) "},
    {XCLICK5, u"Forward(Mouse)"},
    {WHEELUP, u"Wheel up(Mouse)"},
    {WHEELDOWN, u"Wheel Down(Mouse)"},
}};

void LookUpMouseButtonDescription(TMouseButtons AButton, std::u16string& AText) {
  AText.clear();
  for (const TMouseButtonString& row : MouseButtonDescriptions) {
    if (row.MouseButton == AButton) {
      AText = row.ButtonDescription;
      return;
    }
  }
}
