// Device command framing: report IDs and sizes, the exact bytes of every
// builder, refusals, and the five-report lighting write.
#include "device_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "recording_hid_transport.h"

namespace {

using quarn::testing::Bytes;
using quarn::testing::Decode;
using quarn::testing::Hex;
using quarn::testing::RecordingHidTransport;

constexpr USAGE_AND_PAGE kVendor{0x0001, 0xFFA0};

Bytes FromHex(const char* text) {
  Bytes b;
  for (const char* p = text; *p;) {
    if (*p == ' ') {
      ++p;
      continue;
    }
    b.push_back(static_cast<std::uint8_t>(std::stoi(std::string(p, 2), nullptr, 16)));
    p += 2;
  }
  return b;
}

Bytes Short(std::uint8_t a, std::uint8_t b, std::uint8_t c) {
  Bytes r(16, 0);
  r[0] = 2;
  r[1] = a;
  r[2] = b;
  r[3] = c;
  return r;
}

TLEDCONFIG Led(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t bright = 0,
               std::uint8_t speed = 0, std::uint8_t seconds = 0) {
  return TLEDCONFIG{r, g, b, bright, speed, seconds};
}

// A vendor collection that takes every report size.
struct Mouse {
  RecordingHidTransport t;
  std::unique_ptr<TvnHIDData> link;
  Mouse() {
    t.Add(u"vendor", {u"HID\\VID_1&PID_2"}, 0xFFA0, 1, 4096);
    link = std::make_unique<TvnHIDData>(t, std::vector<std::u16string>{});
  }
  const Bytes& Only() {
    EXPECT_EQ(t.AllFeatures().size(), 1u);
    static Bytes none;
    return t.interfaces[0].features.empty() ? none : t.interfaces[0].features.back();
  }
};

TEST(DeviceFraming, ReportIdAndSizeTables) {
  struct Case {
    std::uint32_t n, id;
  } byLength[] = {{0, 2},    {16, 2},   {17, 3},   {64, 3},   {65, 4},   {1024, 4},
                  {1025, 5}, {2048, 5}, {2049, 6}, {4096, 6}, {4097, 2}, {0xFFFFFFFF, 2}};
  for (const auto& c : byLength) EXPECT_EQ(GetReportIDBySize(c.n), c.id) << c.n;
  struct Size {
    std::uint32_t id, size;
  } byId[] = {{0, 16},   {1, 16},   {2, 16}, {3, 64},  {4, 1024},
              {5, 2048}, {6, 4096}, {7, 16}, {255, 16}};
  for (const auto& c : byId) EXPECT_EQ(GetReportSizeByID(c.id), c.size) << c.id;
  static_assert(CTL_CODE(0x8000, 0x1000, 0, 0) == kDeviceCommandControlCode);

  const std::uint8_t header[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  std::uint8_t out[8];
  InsertReportID(9, header, out);
  EXPECT_EQ(Bytes(out, out + 8), (Bytes{9, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(DeviceFraming, WriteLengthChoosesTheReport) {
  struct Case {
    std::uint32_t length, id, size;
  } cases[] = {{1, 2, 16},      {8, 2, 16},      {9, 3, 64},      {56, 3, 64},     {57, 4, 1024},
               {1016, 4, 1024}, {1017, 5, 2048}, {2040, 5, 2048}, {2041, 6, 4096}, {2048, 6, 4096}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    Mouse m;
    Bytes data(c.length);
    for (std::uint32_t i = 0; i < c.length; ++i) data[i] = static_cast<std::uint8_t>(0x80 | i);
    EXPECT_EQ(WriteDeviceData(*m.link, data.data(), c.length, 0x1234, kVendor), 0u);
    const Bytes& r = m.Only();
    ASSERT_EQ(r.size(), c.size);
    auto d = Decode(r);
    EXPECT_EQ(d.reportId, c.id);
    EXPECT_EQ(d.command, 2);
    EXPECT_EQ(d.address, 0x1234);
    EXPECT_EQ(d.length, c.length);
    EXPECT_EQ(r[6], 0xFA);
    EXPECT_EQ(r[7], 0xFA);  // the third FA (h7) is not sent: byte 8 is data
    EXPECT_EQ(d.payload, data);
    EXPECT_TRUE(d.tailZero);
  }
}

TEST(DeviceFraming, RefusedWritesSendNothing) {
  Mouse m;
  Bytes data(4096, 1);
  EXPECT_EQ(WriteDeviceData(*m.link, data.data(), 0, 0x10, kVendor), quarn::kErrorInvalidParameter);
  EXPECT_EQ(WriteDeviceData(*m.link, data.data(), 2049, 0x10, kVendor),
            quarn::kErrorInvalidParameter);
  EXPECT_EQ(WriteDeviceData(*m.link, nullptr, 4, 0x10, kVendor), quarn::kErrorInvalidParameter);
  EXPECT_EQ(WriteDeviceWheelSetting(*m.link, 128, 1, 0x3D, kVendor), quarn::kErrorInvalidParameter);
  EXPECT_EQ(WriteDeviceWheelSetting(*m.link, 3, -1, 0x3D, kVendor), quarn::kErrorInvalidParameter);
  EXPECT_EQ(m.t.enumerations, 0);
  EXPECT_TRUE(m.t.AllFeatures().empty());
}

TEST(DeviceFraming, GenericPacketsAndTheCallersPacketIsLeftAlone) {
  Mouse m;
  auto packet = std::make_unique<TDeviceCommandPacket>(
      MakeCommandPacket({0, 0xA1, 5, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7}));
  for (int i = 0; i < 5; ++i) packet->Payload[i] = static_cast<std::uint8_t>(0xB0 + i);
  const auto before = *packet;
  EXPECT_EQ(SendCommandPacket(*m.link, *packet, kDeviceCommandPacketSize, kDeviceCommandControlCode,
                              kVendor),
            0u);
  EXPECT_EQ(SendCommandPacket(*m.link, *packet, kDeviceCommandPacketSize, kDeviceCommandControlCode,
                              kVendor),
            0u);
  EXPECT_EQ(std::memcmp(&before, packet.get(), sizeof before), 0);
  auto sent = m.t.AllFeatures();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0], sent[1]);  // sending twice frames it the same way
  EXPECT_EQ(Hex(sent[0]), "02 00 A1 05 A3 A4 A5 A6 B0 B1 B2 B3 B4 00 00 00");
  EXPECT_EQ(before.Marker[0], 0x4B);
  EXPECT_EQ(before.Marker[1], 0x6E);

  // 0x82 is framed like a write: its length comes from h3, h4.
  auto write = MakeCommandPacket({0x82, 0, 0, 9, 0, 0, 0, 0});
  EXPECT_EQ(Decode(*FrameCommandPacket(write)).reportId, 3);
  // A header claiming more than the packet holds is refused, not truncated.
  auto big = MakeCommandPacket({2, 0, 0, 0xB8, 0x0B, 0, 0, 0});  // 3000
  EXPECT_FALSE(FrameCommandPacket(big).has_value());
  EXPECT_EQ(SendCommandPacket(*m.link, big, 0, 0, kVendor), quarn::kErrorInvalidParameter);
  EXPECT_EQ(m.t.AllFeatures().size(), 2u);
  // Other commands carry no payload.
  EXPECT_EQ(CommandPayloadLength(MakeCommandPacket({7, 0, 9, 9, 9, 0, 0, 0})), 0u);
}

TEST(DeviceFraming, ShortCommands) {
  Mouse m;
  SendDeviceCommand1(*m.link, 1, 0, kVendor);
  SendDeviceCommand6(*m.link, 0xAB, 0xCD, kVendor);
  EXPECT_EQ(m.t.AllFeatures(), (std::vector<Bytes>{Short(1, 1, 0), Short(6, 0xAB, 0xCD)}));
}

TEST(DeviceFraming, LightingBlock) {
  struct Case {
    const char* why;
    TLEDCONFIG led;
    const char* block;
  } cases[] = {
      {"black", Led(0, 0, 0, 1, 2, 3), "FF FF FF 01 02 03"},
      {"green", Led(0, 0xFF, 0), "00 FF FF 00 00 00"},
      {"red", Led(0xFF, 0, 0), "FF FF 00 00 00 00"},
      {"orange", Led(0xFF, 0x80, 0, 3, 0, 9), "7F FF 00 03 00 09"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    auto block = DeviceLEDBlock(c.led);
    EXPECT_EQ(Hex(Bytes(block.begin(), block.end())), c.block);
  }
  std::uint8_t out[6];
  PackLEDConfigForDevice(0xA0, 0xB0, 0xC0, out, Led(1, 2, 3, 4, 5, 6));
  EXPECT_EQ(Hex(Bytes(out, out + 6)), "B0 C0 A0 04 05 06");
}

TEST(DeviceFraming, WheelByte) {
  struct Case {
    std::int32_t led, speed;
    int expected;  // -1: refused
  } cases[] = {{0, 10, 0x0A}, {1, 10, 0x8A}, {1, 3, 0x83}, {1, 20, 0x94}, {1, 127, 0xFF},
               {0, 0, 0x00},  {0, 128, -1},  {-1, 3, -1},  {2, 3, 0x03},  {1, -1, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.led) + "/" + std::to_string(c.speed));
    auto b = WheelSettingByte(c.speed, c.led);
    if (c.expected < 0) {
      EXPECT_FALSE(b.has_value());
    } else {
      ASSERT_TRUE(b.has_value());
      EXPECT_EQ(*b, c.expected);
    }
  }
}

TEST(DeviceLighting, FiveReportsForEveryProfile) {
  for (int p = 0; p < 5; ++p) {
    SCOPED_TRACE(p);
    auto reports = LightingWriteReports(p, Led(0x10, 0x20, 0x30, 1, 2, 3), 5, 0);
    ASSERT_TRUE(reports.has_value());
    char block[64], wheel[64];
    std::snprintf(block, sizeof block, "02 02 F1 %02X 06 00 FA FA DF CF EF 01 02 03 00 00", p);
    std::snprintf(wheel, sizeof wheel, "02 02 %02X 00 01 00 FA FA 05 00 00 00 00 00 00 00",
                  0x3D + p);
    std::vector<Bytes> expected = {Short(6, 0, 0), FromHex(block), FromHex(wheel), Short(1, 1, 0),
                                   Short(6, 1, 0)};
    EXPECT_EQ(*reports, expected);
  }
}

TEST(DeviceLighting, WorkedExamplesByteForByte) {
  auto red = LightingWriteReports(1, Led(0xFF, 0, 0, 3, 3, 0), 3, 1);
  ASSERT_TRUE(red.has_value());
  EXPECT_EQ(Hex((*red)[1]), "02 02 F1 01 06 00 FA FA FF FF 00 03 03 00 00 00");
  EXPECT_EQ(Hex((*red)[2]), "02 02 3E 00 01 00 FA FA 83 00 00 00 00 00 00 00");
  auto orange = LightingWriteReports(1, Led(0xFF, 0x80, 0, 3, 0, 0), 3, 1);
  ASSERT_TRUE(orange.has_value());
  EXPECT_EQ(Hex((*orange)[1]), "02 02 F1 01 06 00 FA FA 7F FF 00 03 00 00 00 00");
}

TEST(DeviceLighting, AnInvalidValueSendsNoReportAtAll) {
  struct Case {
    const char* why;
    int profile;
    std::int32_t speed, led;
  } cases[] = {
      {"wheel speed 128", 0, 128, 1}, {"negative wheel LED", 0, 3, -1}, {"profile 5", 5, 3, 1},
      {"profile -1", -1, 3, 1},       {"negative speed", 2, -5, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_FALSE(LightingWriteReports(c.profile, Led(1, 2, 3), c.speed, c.led).has_value());
  }
}

TEST(DeviceLighting, SentToTheDeviceCollectionAfterOneSearch) {
  RecordingHidTransport t;
  t.Add(u"vendor", {u"HID\\VID_1&PID_2"}, 0xFFA0, 1, 16);
  t.Add(u"mouse", {u"HID\\VID_1&PID_2"}, 0x0001, 2, 16);
  TvnHIDData link(t, {});
  const USAGE_AND_PAGE saved = DeviceUsageAndPage;
  DeviceUsageAndPage = kVendor;
  auto reports = LightingWriteReports(2, Led(0, 0, 0), 10, 1);
  ASSERT_TRUE(reports.has_value());
  auto results = SendDeviceReports(link, *reports);
  DeviceUsageAndPage = saved;
  EXPECT_EQ(results, std::vector<std::uint32_t>(5, 0));
  EXPECT_EQ(t.enumerations, 1);
  EXPECT_EQ(t.interfaces[0].features, *reports);
  EXPECT_TRUE(t.interfaces[1].features.empty());

  // Nothing qualifies: every step says so.
  EXPECT_EQ(SendDeviceReports(link, *reports, {9, 0xFFA0}), std::vector<std::uint32_t>(5, 1167));
}

}  // namespace
