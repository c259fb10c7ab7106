// Which device-change messages the arrival notifier reports.
#include "device_change.h"

#include <gtest/gtest.h>

namespace {

using quarn::ClassifyDeviceChange;
using quarn::DeviceChangeEvent;

TEST(DeviceChange, Classification) {
  struct Case {
    const char* why;
    std::uintptr_t wParam;
    bool header;
    std::uint32_t type;
    DeviceChangeEvent expected;
  } cases[] = {
      {"interface arrived", 0x8000, true, 5, DeviceChangeEvent::Arrival},
      {"volume arrived", 0x8000, true, 2, DeviceChangeEvent::None},
      {"arrival without data", 0x8000, false, 5, DeviceChangeEvent::None},
      {"interface removed", 0x8004, true, 5, DeviceChangeEvent::Remove},
      {"removal without data", 0x8004, false, 0, DeviceChangeEvent::None},
      {"query remove", 0x8001, true, 5, DeviceChangeEvent::None},
      {"remove pending", 0x8003, true, 5, DeviceChangeEvent::None},
      {"tree changed, data ignored", 7, false, 0, DeviceChangeEvent::Change},
      {"tree changed with anything", 7, true, 99, DeviceChangeEvent::Change},
      {"other", 0x0018, true, 5, DeviceChangeEvent::None},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ClassifyDeviceChange(c.wParam, c.header, c.type), c.expected) << c.why;
}

}  // namespace
