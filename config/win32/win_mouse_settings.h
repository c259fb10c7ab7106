// The Windows pointer settings made for real: each one is set and stored in
// the user's profile, and every window is told of the change.
#pragma once

#include "config_seams.h"

namespace quarn {

class WinMouseSettingsWriter final : public MouseSettingsWriter {
 public:
  bool SetMouseAcceleration(const MouseAccelerationTriple& triple) override;
  // The speed goes in both parameters: Wine reads the first, Windows the second.
  bool SetMouseSpeed(std::int32_t speed) override;
  bool SetWheelScrollLines(std::int32_t lines) override;
  bool SetMouseTrails(std::int32_t trails) override;
};

}  // namespace quarn
