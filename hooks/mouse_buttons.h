// How a low-level mouse event maps to a TMouseButtons value, and the display
// texts of recorded mouse buttons. Shared by the mouse filter and the mouse
// macro recorder.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "hook_records.h"

namespace quarn {

struct MouseEventButton {
  TMouseButtons Button;
  std::int32_t State;    // 0 for a button release, 1 for everything else
  std::int16_t ExValue;  // X button number or wheel delta, else 0
};

// message is the mouse message number, mouseData the event record's field.
MouseEventButton DecodeMouseEvent(std::uintptr_t message, std::uint32_t mouseData);

}  // namespace quarn

// Display texts of recorded mouse buttons, kept exactly so (not translated here).
extern const std::array<TMouseButtonString, 7> MouseButtonDescriptions;

// The description of the first row for the button; empty when it has none.
void LookUpMouseButtonDescription(TMouseButtons AButton, std::u16string& AText);
