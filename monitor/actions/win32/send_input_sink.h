// The program's input sink: every event goes to the system through SendInput,
// one event per call, so that each reaches the focused window or the window
// under the pointer in its own time. Mouse events never move the pointer.
#pragma once

#include "input_sink.h"

namespace quarn {

class SendInputSink : public InputSink {
 public:
  std::uint16_t ScanCodeOf(std::uint16_t vk) override;
  void SendKey(const KeyInput& key) override;
  void SendButton(MouseButton button, bool up) override;
  void SendWheel(std::int32_t delta) override;
  void SendHWheel(std::int32_t delta) override;
};

}  // namespace quarn
