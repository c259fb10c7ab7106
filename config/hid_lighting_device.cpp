#include "hid_lighting_device.h"

#include "device_commands.h"

namespace quarn {

void HidLightingDevice::WriteLedSettingsToDevice(int profileIndex,
                                                 const TMouseProfileInfo& profile) {
  const TMOUSECONFIGINFO& c = profile.ConfigInfo;
  // An index or a wheel value out of range sends nothing at all.
  const auto reports =
      LightingWriteReports(profileIndex, c.LEDConfig, c.VWheelSpeed, c.WheelLedOnOff);
  if (!reports) return;
  SendDeviceReports(hid_, *reports);
  sent_ += static_cast<int>(reports->size());
}

}  // namespace quarn
