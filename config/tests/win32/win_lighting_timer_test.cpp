// The deferred lighting write on a real Win32 timer and message loop: the
// five reports of the clicked profile reach the recording transport about
// 200 ms after the last click, and nothing at creation.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "config_fixture.h"
#include "device_lighting.h"
#include "recording_hid_transport.h"
#include "win_action_timer.h"

namespace quarn::testing {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr USAGE_AND_PAGE kVendor{0x0001, 0xFFA0};

class WinDeferredLightingTest : public ConfigFixture {
 public:
  WinDeferredLightingTest() {
    t.Add(u"vendor", {u"HID\\VID_1&PID_2"}, 0xFFA0, 1, 16);
    link = std::make_unique<TvnHIDData>(t, std::vector<std::u16string>{});
    hid = std::make_unique<HidLightingDevice>(*link);
    saved = DeviceUsageAndPage;
    DeviceUsageAndPage = kVendor;
    for (int s = 0; s < 5; ++s)
      StoreProfile(s, *ProfileWith([s](TMOUSECONFIGINFO& c) {
                     c.LEDConfig =
                         TLEDCONFIG{static_cast<std::uint8_t>(0x10 * s), 0x80, 0xFF, 3, 0, 0};
                     c.WheelLedOnOff = 1;
                     c.VWheelSpeed = 3;
                   }));
    StoreCurrentIndex(0);
    dm = std::make_unique<TDM>(checked.Registry(), checked.Files(), env);
    ConfigSeams s{monitor, mouseSettings, worker,  *hid,   winTimer,
                  dialogs, window,        checked, nullptr};
    controller = std::make_unique<ConfigMainController>(*dm, s);
  }
  ~WinDeferredLightingTest() override { DeviceUsageAndPage = saved; }

  // Runs the thread's messages until `count` reports arrived or `limit` passed.
  void PumpUntil(std::size_t count, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      if (t.interfaces[0].features.size() >= count) {
        if (!arrived) arrived = Clock::now();
        return;
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }

  RecordingHidTransport t;
  std::unique_ptr<TvnHIDData> link;
  std::unique_ptr<HidLightingDevice> hid;
  WinActionTimer winTimer{[this] { controller->TimerDoActionTimer(); }};
  USAGE_AND_PAGE saved{};
  std::optional<Clock::time_point> arrived;
};

TEST_F(WinDeferredLightingTest, AProfileClickIsWrittenAbout200msLaterCreationNever) {
  controller->FormCreate();
  PumpUntil(1, 500ms);
  EXPECT_TRUE(t.interfaces[0].features.empty()) << "creation writes nothing";

  const auto click = Clock::now();
  controller->BtnProfileClick(1);
  EXPECT_TRUE(t.interfaces[0].features.empty());
  PumpUntil(5, 3000ms);
  ASSERT_EQ(t.interfaces[0].features.size(), 5u);
  const auto after = std::chrono::duration_cast<std::chrono::milliseconds>(*arrived - click);
  std::printf("lighting written %lld ms after the click\n", static_cast<long long>(after.count()));
  EXPECT_GE(after.count(), 190);
  EXPECT_LE(after.count(), 1500);
  EXPECT_EQ(Hex(t.interfaces[0].features[1]), "02 02 F1 01 06 00 FA FA 7F 00 EF 03 00 00 00 00");
  EXPECT_FALSE(winTimer.Running());
  // No second write follows.
  PumpUntil(6, 400ms);
  EXPECT_EQ(t.interfaces[0].features.size(), 5u);
}

TEST_F(WinDeferredLightingTest, QuickClicksGiveOneWriteOfTheLastSettledOne) {
  controller->FormCreate();
  controller->BtnProfileClick(1);
  PumpUntil(1, 80ms);
  controller->BtnProfileClick(2);
  PumpUntil(1, 80ms);
  const auto last = Clock::now();
  controller->BtnProfileClick(3);
  PumpUntil(5, 3000ms);
  ASSERT_EQ(t.interfaces[0].features.size(), 5u);
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(*arrived - last).count(), 190);
  EXPECT_EQ(Hex(t.interfaces[0].features[1]), "02 02 F1 03 06 00 FA FA 7F 00 CF 03 00 00 00 00");
  PumpUntil(6, 400ms);
  EXPECT_EQ(t.interfaces[0].features.size(), 5u);
}

TEST_F(WinDeferredLightingTest, ClosingWithAWritePendingSendsItFirst) {
  controller->FormCreate();
  controller->BtnProfileClick(4);
  controller->BtnCloseClick();
  ASSERT_EQ(t.interfaces[0].features.size(), 5u);
  EXPECT_EQ(Hex(t.interfaces[0].features[1]), "02 02 F1 04 06 00 FA FA 7F 00 BF 03 00 00 00 00");
  EXPECT_FALSE(winTimer.Running());
  PumpUntil(6, 400ms);
  EXPECT_EQ(t.interfaces[0].features.size(), 5u);
}

}  // namespace
}  // namespace quarn::testing
