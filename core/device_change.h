// What a device-change message means to the arrival notifier: an interface
// arrived, an interface left, the device tree changed, or nothing to report.
#pragma once

#include <cstdint>

namespace quarn {

enum class DeviceChangeEvent { None, Arrival, Remove, Change };

constexpr std::uintptr_t kDbtDevNodesChanged = 0x0007;
constexpr std::uintptr_t kDbtDeviceArrival = 0x8000;
constexpr std::uintptr_t kDbtDeviceRemoveComplete = 0x8004;
constexpr std::uint32_t kDbtDevTypDeviceInterface = 5;

// `hasHeader`: the message carries a broadcast header, whose device type is `deviceType`.
constexpr DeviceChangeEvent ClassifyDeviceChange(std::uintptr_t wParam, bool hasHeader,
                                                 std::uint32_t deviceType) {
  switch (wParam) {
    case kDbtDevNodesChanged:
      return DeviceChangeEvent::Change;
    case kDbtDeviceArrival:
      return hasHeader && deviceType == kDbtDevTypDeviceInterface ? DeviceChangeEvent::Arrival
                                                                  : DeviceChangeEvent::None;
    case kDbtDeviceRemoveComplete:
      return hasHeader && deviceType == kDbtDevTypDeviceInterface ? DeviceChangeEvent::Remove
                                                                  : DeviceChangeEvent::None;
    default:
      return DeviceChangeEvent::None;
  }
}

}  // namespace quarn
