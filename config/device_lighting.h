// The mouse's lighting written through the HID device link: the five feature
// reports of a profile's colour, brightness, breathing and wheel LED, all
// built and checked before the first one leaves.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "config_seams.h"
#include "device_commands.h"
#include "profile_records.h"

namespace quarn {

// The reports that carry `profile`'s lighting as profile `profileIndex`:
// command 6 (0, 0), the lighting block, the wheel byte, command 1 (1, 0),
// command 6 (1, 0). A wheel speed or switch the wheel byte cannot carry leaves
// out the wheel byte only, so the sequence is still closed; a profile index
// outside the mouse's five gives nothing.
std::optional<std::vector<std::vector<std::uint8_t>>> LedSettingsReports(
    int profileIndex, const TMouseProfileInfo& profile);

// LightingDevice over the device link. Results are not reported: no mouse,
// or one that refuses a report, is silent.
class HidLightingDevice final : public LightingDevice {
 public:
  explicit HidLightingDevice(TvnHIDData& link) : link_(link) {}
  void WriteLedSettingsToDevice(int profileIndex, const TMouseProfileInfo& profile) override;
  // Sequences sent, for whoever wants to know (a write with nothing to send counts not).
  int Writes() const { return writes_; }

 private:
  TvnHIDData& link_;
  int writes_ = 0;
};

}  // namespace quarn
