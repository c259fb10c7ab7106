// The input sink: where the monitor's synthesised keys, mouse buttons and wheel
// notches go. The program's sink sends them to the system; tests record them.
#pragma once

#include <cstdint>

namespace quarn {

enum class MouseButton : std::uint8_t { Left, Right, Middle, X1, X2 };

// One key event as the system receives it.
struct KeyInput {
  std::uint16_t vk = 0;    // virtual key, 1 to 254
  std::uint16_t scan = 0;  // scan code of that virtual key on the current layout
  bool extended = false;   // the extended-key flag
  bool up = false;         // key release
};

class InputSink {
 public:
  virtual ~InputSink() = default;
  // Scan code that the current keyboard layout gives a virtual key (0 when none).
  virtual std::uint16_t ScanCodeOf(std::uint16_t vk) = 0;
  virtual void SendKey(const KeyInput& key) = 0;
  // A button event at the current pointer position; the pointer does not move.
  virtual void SendButton(MouseButton button, bool up) = 0;
  // A vertical wheel event; positive turns away from the user.
  virtual void SendWheel(std::int32_t delta) = 0;
  // A horizontal wheel event at the current pointer; positive tilts right.
  virtual void SendHWheel(std::int32_t delta) = 0;
};

}  // namespace quarn
