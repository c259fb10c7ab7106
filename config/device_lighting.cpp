#include "device_lighting.h"

namespace quarn {

namespace {
constexpr std::size_t kWheelReport = 2;  // position of the wheel byte in the sequence
}

std::optional<std::vector<std::vector<std::uint8_t>>> LedSettingsReports(
    int profileIndex, const TMouseProfileInfo& profile) {
  const TMOUSECONFIGINFO& c = profile.ConfigInfo;
  auto reports = LightingWriteReports(profileIndex, c.LEDConfig, c.VWheelSpeed, c.WheelLedOnOff);
  if (reports) return reports;
  // Either the profile index or the wheel byte was refused. With a wheel byte
  // that always fits, only the index can be wrong.
  reports = LightingWriteReports(profileIndex, c.LEDConfig, 0, 0);
  if (!reports) return std::nullopt;
  reports->erase(reports->begin() + kWheelReport);
  return reports;
}

void HidLightingDevice::WriteLedSettingsToDevice(int profileIndex,
                                                 const TMouseProfileInfo& profile) {
  auto reports = LedSettingsReports(profileIndex, profile);
  if (!reports) return;
  ++writes_;
  SendDeviceReports(link_, *reports);
}

}  // namespace quarn
