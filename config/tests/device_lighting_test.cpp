// The lighting of a profile as the mouse receives it: the feature reports
// byte for byte through the recording transport, alone and behind the
// window's deferred write.
#include "device_lighting.h"

#include <gtest/gtest.h>

#include "config_fixture.h"
#include "recording_hid_transport.h"

namespace quarn::testing {
namespace {

constexpr USAGE_AND_PAGE kVendor{0x0001, 0xFFA0};
using Strings = std::vector<std::string>;

std::string Short(int command, int a) {
  char b[64];
  std::snprintf(b, sizeof b, "02 %02X %02X 00 00 00 00 00 00 00 00 00 00 00 00 00", command, a);
  return b;
}

// A mouse whose vendor collection takes 16-byte feature reports, beside an
// ordinary mouse collection that must get nothing.
struct Mouse {
  RecordingHidTransport t;
  std::unique_ptr<TvnHIDData> link;
  USAGE_AND_PAGE saved = DeviceUsageAndPage;
  Mouse() {
    t.Add(u"vendor", {u"HID\\VID_1&PID_2"}, 0xFFA0, 1, 16);
    t.Add(u"pointer", {u"HID\\VID_1&PID_2"}, 0x0001, 2, 16);
    link = std::make_unique<TvnHIDData>(t, std::vector<std::u16string>{});
    DeviceUsageAndPage = kVendor;
  }
  ~Mouse() { DeviceUsageAndPage = saved; }
  Strings Sent() const {
    Strings r;
    for (const auto& f : t.interfaces[0].features) r.push_back(Hex(f));
    return r;
  }
};

struct LightingRow {
  const char* why;
  int index;
  std::uint8_t r, g, b, bright, breath, seconds;
  std::int32_t breathing;
  std::int8_t wheelLed;
  std::uint16_t lines;
  Strings expected;
};

TEST(LedSettingsToDevice, ReportsByteForByte) {
  const LightingRow rows[] = {
      {"orange on profile 2, wheel LED on, 3 lines",
       1,
       0xFF,
       0x80,
       0x00,
       3,
       0,
       0,
       0,
       1,
       3,
       {Short(6, 0), "02 02 F1 01 06 00 FA FA 7F FF 00 03 00 00 00 00",
        "02 02 3E 00 01 00 FA FA 83 00 00 00 00 00 00 00", Short(1, 1), Short(6, 1)}},
      {"first profile, breathing and its seconds sent as stored",
       0,
       0x10,
       0x20,
       0x30,
       2,
       5,
       9,
       1,
       0,
       7,
       {Short(6, 0), "02 02 F1 00 06 00 FA FA DF CF EF 02 05 09 00 00",
        "02 02 3D 00 01 00 FA FA 07 00 00 00 00 00 00 00", Short(1, 1), Short(6, 1)}},
      {"last profile, black",
       4,
       0,
       0,
       0,
       1,
       0,
       0,
       0,
       1,
       20,
       {Short(6, 0), "02 02 F1 04 06 00 FA FA FF FF FF 01 00 00 00 00",
        "02 02 41 00 01 00 FA FA 94 00 00 00 00 00 00 00", Short(1, 1), Short(6, 1)}},
      {"pure green, wheel LED off, 10 lines",
       2,
       0x00,
       0xFF,
       0x00,
       3,
       0,
       0,
       0,
       0,
       10,
       {Short(6, 0), "02 02 F1 02 06 00 FA FA 00 FF FF 03 00 00 00 00",
        "02 02 3F 00 01 00 FA FA 0A 00 00 00 00 00 00 00", Short(1, 1), Short(6, 1)}},
      {"brightness and speed beyond the page's range go as stored",
       3,
       0xFF,
       0xFF,
       0xFF,
       7,
       200,
       0,
       1,
       1,
       1,
       {Short(6, 0), "02 02 F1 03 06 00 FA FA 00 00 00 07 C8 00 00 00",
        "02 02 40 00 01 00 FA FA 81 00 00 00 00 00 00 00", Short(1, 1), Short(6, 1)}},
      {"wheel lines the byte cannot carry: no wheel byte, the sequence still closed",
       1,
       0xFF,
       0x80,
       0x00,
       3,
       0,
       0,
       0,
       1,
       200,
       {Short(6, 0), "02 02 F1 01 06 00 FA FA 7F FF 00 03 00 00 00 00", Short(1, 1), Short(6, 1)}},
      {"negative wheel switch: no wheel byte",
       0,
       1,
       2,
       3,
       0,
       0,
       0,
       0,
       -1,
       3,
       {Short(6, 0), "02 02 F1 00 06 00 FA FA FD FC FE 00 00 00 00 00", Short(1, 1), Short(6, 1)}},
      {"wheel switch 2 keeps to the byte: the LED bit is off",
       0,
       1,
       2,
       3,
       0,
       0,
       0,
       0,
       2,
       3,
       {Short(6, 0), "02 02 F1 00 06 00 FA FA FD FC FE 00 00 00 00 00",
        "02 02 3D 00 01 00 FA FA 03 00 00 00 00 00 00 00", Short(1, 1), Short(6, 1)}},
      {"profile index beyond the mouse's five: nothing", 5, 1, 2, 3, 0, 0, 0, 0, 1, 3, {}},
      {"negative profile index: nothing", -1, 1, 2, 3, 0, 0, 0, 0, 1, 3, {}},
  };
  for (const LightingRow& row : rows) {
    SCOPED_TRACE(row.why);
    Mouse mouse;
    HidLightingDevice device(*mouse.link);
    auto p = ProfileWith([&](TMOUSECONFIGINFO& c) {
      c.LEDConfig = TLEDCONFIG{row.r, row.g, row.b, row.bright, row.breath, row.seconds};
      c.BreathingOnOff = row.breathing;
      c.WheelLedOnOff = row.wheelLed;
      c.VWheelSpeed = row.lines;
    });
    const auto before = BytesOf(*p);
    device.WriteLedSettingsToDevice(row.index, *p);
    EXPECT_EQ(mouse.Sent(), row.expected);
    EXPECT_TRUE(mouse.t.interfaces[1].features.empty());
    EXPECT_EQ(device.Writes(), row.expected.empty() ? 0 : 1);
    EXPECT_EQ(BytesOf(*p), before) << "the profile is only read";
    // One search of the interfaces per sequence.
    EXPECT_EQ(mouse.t.enumerations, row.expected.empty() ? 0 : 1);
  }
}

TEST(LedSettingsToDevice, NoMouseIsSilent) {
  RecordingHidTransport none;
  TvnHIDData link(none, {});
  HidLightingDevice device(link);
  device.WriteLedSettingsToDevice(0, *ProfileWith([](TMOUSECONFIGINFO&) {}));
  none.setUnavailable = true;
  device.WriteLedSettingsToDevice(1, *ProfileWith([](TMOUSECONFIGINFO&) {}));
  EXPECT_EQ(device.Writes(), 2);
  EXPECT_TRUE(none.AllFeatures().empty());
}

// The window's logic over the real lighting write and a manual timer.
class DeferredLightingTest : public ConfigFixture {
 public:
  Mouse mouse;
  HidLightingDevice hid{*mouse.link};
  ConfigSeams hidSeams{monitor, mouseSettings, worker,  hid,    timer,
                       dialogs, window,        checked, nullptr};

  ConfigMainController& StartWithMouse() {
    for (int s = 0; s < 5; ++s)
      StoreProfile(s, *ProfileWith([s](TMOUSECONFIGINFO& c) {
                     c.LEDConfig =
                         TLEDCONFIG{static_cast<std::uint8_t>(0x10 * s), 0x80, 0xFF, 3, 0, 0};
                     c.WheelLedOnOff = 1;
                     c.VWheelSpeed = static_cast<std::uint16_t>(s + 1);
                   }));
    StoreCurrentIndex(0);
    dm = std::make_unique<TDM>(checked.Registry(), checked.Files(), env);
    controller = std::make_unique<ConfigMainController>(*dm, hidSeams);
    controller->FormCreate();
    return *controller;
  }
  // The timer comes due, as the window's timer message would run it.
  void Fire() {
    if (timer.running) controller->TimerDoActionTimer();
  }
};

TEST_F(DeferredLightingTest, CreationSendsNothingAProfileClickSendsItsLightingOnceWhenDue) {
  auto& c = StartWithMouse();
  EXPECT_TRUE(mouse.Sent().empty()) << "creation writes nothing";
  EXPECT_FALSE(timer.running);

  c.BtnProfileClick(1);
  EXPECT_TRUE(mouse.Sent().empty()) << "nothing before the delay";
  EXPECT_TRUE(timer.running);
  Fire();
  EXPECT_EQ(mouse.Sent(),
            (Strings{Short(6, 0), "02 02 F1 01 06 00 FA FA 7F 00 EF 03 00 00 00 00",
                     "02 02 3E 00 01 00 FA FA 82 00 00 00 00 00 00 00", Short(1, 1), Short(6, 1)}));
  EXPECT_FALSE(timer.running);
  Fire();
  EXPECT_EQ(mouse.Sent().size(), 5u) << "one write per settled click";
}

TEST_F(DeferredLightingTest, QuickClicksGiveOneWriteOfTheLastProfile) {
  auto& c = StartWithMouse();
  c.BtnProfileClick(1);
  c.BtnProfileClick(2);
  c.BtnProfileClick(3);
  Fire();
  const Strings sent = mouse.Sent();
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[1], "02 02 F1 03 06 00 FA FA 7F 00 CF 03 00 00 00 00");
  EXPECT_EQ(sent[2], "02 02 40 00 01 00 FA FA 84 00 00 00 00 00 00 00");
}

TEST_F(DeferredLightingTest, AMonitorSwitchWritesAtOnceAfterTheReplyAndOnceMoreWhenDue) {
  auto& c = StartWithMouse();
  std::vector<std::string> order;
  window.onReply = [&] { order.push_back("reply after " + std::to_string(mouse.Sent().size())); };
  c.WMProfileSwitched(4);
  EXPECT_EQ(order, (Strings{"reply after 0"}));
  ASSERT_EQ(mouse.Sent().size(), 5u);
  EXPECT_EQ(mouse.Sent()[1], "02 02 F1 04 06 00 FA FA 7F 00 BF 03 00 00 00 00");
  Fire();
  EXPECT_EQ(mouse.Sent().size(), 10u);
}

TEST_F(DeferredLightingTest, APendingWriteIsSentBeforeTheProgramEnds) {
  struct Ending {
    const char* why;
    std::function<void(ConfigMainController&)> end;
  } endings[] = {
      {"close box", [](ConfigMainController& c) { c.BtnCloseClick(); }},
      {"CANCEL",
       [](ConfigMainController& c) { c.OnMainButtonClick(ConfigMainController::kCancel); }},
      {"terminate message", [](ConfigMainController& c) { c.WMTerminateConfig(); }},
  };
  for (const Ending& e : endings) {
    SCOPED_TRACE(e.why);
    mouse.t.interfaces[0].features.clear();
    auto& c = StartWithMouse();
    c.BtnProfileClick(2);
    e.end(c);
    ASSERT_EQ(mouse.Sent().size(), 5u);
    EXPECT_EQ(mouse.Sent()[1], "02 02 F1 02 06 00 FA FA 7F 00 DF 03 00 00 00 00");
    EXPECT_FALSE(timer.running);
    Fire();
    EXPECT_EQ(mouse.Sent().size(), 5u) << "not twice";
  }
}

}  // namespace
}  // namespace quarn::testing
