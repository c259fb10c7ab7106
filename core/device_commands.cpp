#include "device_commands.h"

#include <algorithm>
#include <cstring>
#include <memory>

using quarn::kErrorInvalidParameter;

std::uint32_t GetReportIDBySize(std::uint32_t n) {
  if (n <= 16) return 2;
  if (n <= 64) return 3;
  if (n <= 1024) return 4;
  if (n <= 2048) return 5;
  if (n <= 4096) return 6;
  return 2;
}

std::uint32_t GetReportSizeByID(std::uint32_t id) {
  switch (id) {
    case 3:
      return 64;
    case 4:
      return 1024;
    case 5:
      return 2048;
    case 6:
      return 4096;
    default:
      return 16;
  }
}

void InsertReportID(std::uint8_t ID, const std::uint8_t Header[8], std::uint8_t Out[8]) {
  std::uint8_t shifted[8];
  shifted[0] = ID;
  std::memcpy(shifted + 1, Header, 7);
  std::memcpy(Out, shifted, 8);  // Out may be Header itself
}

std::uint32_t CommandPayloadLength(const TDeviceCommandPacket& Packet) {
  switch (Packet.Header[0] & 0x7F) {
    case 0:
      return Packet.Header[2];
    case 2:
    case 3:
      return Packet.Header[3] + 256u * Packet.Header[4];
    default:
      return 0;
  }
}

std::optional<std::vector<std::uint8_t>> FrameCommandPacket(const TDeviceCommandPacket& Packet) {
  const std::uint32_t length = CommandPayloadLength(Packet);
  if (length > kDevicePayloadCapacity) return std::nullopt;
  const std::uint32_t n = length + 8;
  const std::uint32_t id = GetReportIDBySize(n);
  std::vector<std::uint8_t> report(GetReportSizeByID(id), 0);
  InsertReportID(static_cast<std::uint8_t>(id), Packet.Header, report.data());
  std::memcpy(report.data() + 8, Packet.Payload, length);
  return report;
}

TDeviceCommandPacket MakeCommandPacket(const std::uint8_t (&header)[8]) {
  TDeviceCommandPacket packet{};
  packet.Marker[0] = 0x4B;
  packet.Marker[1] = 0x6E;
  packet.Spare = 0;
  std::memcpy(packet.Header, header, 8);
  return packet;
}

namespace {

std::uint32_t SendReport(TvnHIDData& HIDData, const std::vector<std::uint8_t>& report,
                         USAGE_AND_PAGE collection) {
  auto param = std::make_unique<THIDDataParam>();
  param->UsageAndPage = collection;
  param->DeviceHandle = 0;
  param->Data.DATASIZE = static_cast<std::uint32_t>(report.size());
  std::memcpy(&param->Data.ReportID, report.data(), report.size());
  return HIDData.HidFindAndSetFeatureReport(*param);
}

std::optional<std::vector<std::uint8_t>> WriteReport(const void* Data, std::uint32_t Length,
                                                     std::uint16_t Address) {
  if (Length == 0 || Length > kDevicePayloadCapacity || Data == nullptr) return std::nullopt;
  const std::uint8_t header[8] = {2,
                                  static_cast<std::uint8_t>(Address & 0xFF),
                                  static_cast<std::uint8_t>(Address >> 8),
                                  static_cast<std::uint8_t>(Length & 0xFF),
                                  static_cast<std::uint8_t>(Length >> 8),
                                  0xFA,
                                  0xFA,
                                  0xFA};
  // 2 KB: on the heap, not on the caller's stack.
  auto packet = std::make_unique<TDeviceCommandPacket>(MakeCommandPacket(header));
  std::memcpy(packet->Payload, Data, Length);
  return FrameCommandPacket(*packet);
}

std::vector<std::uint8_t> ShortCommandReport(std::uint8_t command, std::uint8_t a, std::uint8_t b) {
  const std::uint8_t header[8] = {command, a, b, 0, 0, 0, 0, 0};
  auto packet = std::make_unique<TDeviceCommandPacket>(MakeCommandPacket(header));
  return *FrameCommandPacket(*packet);  // no payload: always framed
}

}  // namespace

std::uint32_t SendCommandPacket(TvnHIDData& HIDData, const TDeviceCommandPacket& Packet,
                                std::uint32_t, std::uint32_t, USAGE_AND_PAGE collection) {
  auto report = FrameCommandPacket(Packet);
  if (!report) return kErrorInvalidParameter;
  return SendReport(HIDData, *report, collection);
}

std::uint32_t WriteDeviceData(TvnHIDData& HIDData, const void* Data, std::uint32_t Length,
                              std::uint16_t Address, USAGE_AND_PAGE collection) {
  auto report = WriteReport(Data, Length, Address);
  if (!report) return kErrorInvalidParameter;
  return SendReport(HIDData, *report, collection);
}

std::uint32_t SendDeviceCommand1(TvnHIDData& HIDData, std::uint8_t P0, std::uint8_t P1,
                                 USAGE_AND_PAGE collection) {
  return SendReport(HIDData, ShortCommandReport(1, P0, P1), collection);
}

std::uint32_t SendDeviceCommand6(TvnHIDData& HIDData, std::uint8_t P1, std::uint8_t P2,
                                 USAGE_AND_PAGE collection) {
  return SendReport(HIDData, ShortCommandReport(6, P1, P2), collection);
}

std::uint32_t WriteDeviceLEDConfig(TvnHIDData& HIDData, const std::uint8_t LED[6],
                                   std::uint16_t Address, USAGE_AND_PAGE collection) {
  return WriteDeviceData(HIDData, LED, 6, Address, collection);
}

std::uint32_t WriteDeviceWheelSetting(TvnHIDData& HIDData, std::int32_t Speed, std::int8_t LedOn,
                                      std::uint16_t Address, USAGE_AND_PAGE collection) {
  auto wheel = WheelSettingByte(Speed, LedOn);
  if (!wheel) return kErrorInvalidParameter;
  const std::uint8_t byte = *wheel;
  return WriteDeviceData(HIDData, &byte, 1, Address, collection);
}

void PackLEDConfigForDevice(std::uint8_t A, std::uint8_t B, std::uint8_t C, std::uint8_t Out[6],
                            const TLEDCONFIG& In) {
  std::memcpy(Out, &In, sizeof(TLEDCONFIG));
  Out[0] = B;
  Out[1] = C;
  Out[2] = A;
}

std::array<std::uint8_t, 6> DeviceLEDBlock(const TLEDCONFIG& led) {
  TLEDCONFIG complemented = led;
  complemented.R = static_cast<std::uint8_t>(~led.R);
  complemented.G = static_cast<std::uint8_t>(~led.G);
  complemented.B = static_cast<std::uint8_t>(~led.B);
  std::array<std::uint8_t, 6> out{};
  PackLEDConfigForDevice(complemented.R, complemented.G, complemented.B, out.data(), complemented);
  return out;
}

std::optional<std::uint8_t> WheelSettingByte(std::int32_t Speed, std::int32_t LedOn) {
  if (Speed < 0 || Speed > 127 || LedOn < 0) return std::nullopt;
  return static_cast<std::uint8_t>(((static_cast<std::uint32_t>(LedOn) << 7) & 0xFF) |
                                   (static_cast<std::uint32_t>(Speed) & 0x7F));
}

std::optional<std::vector<std::vector<std::uint8_t>>> LightingWriteReports(int profileIndex,
                                                                           const TLEDCONFIG& led,
                                                                           std::int32_t wheelSpeed,
                                                                           std::int32_t wheelLed) {
  if (profileIndex < 0 || profileIndex >= kDeviceProfileCount) return std::nullopt;
  auto wheel = WheelSettingByte(wheelSpeed, wheelLed);
  if (!wheel) return std::nullopt;
  const auto p = static_cast<std::uint16_t>(profileIndex);
  const auto block = DeviceLEDBlock(led);
  auto blockReport =
      WriteReport(block.data(), 6, static_cast<std::uint16_t>(kLEDConfigBaseAddress + 0x100 * p));
  auto wheelReport =
      WriteReport(&*wheel, 1, static_cast<std::uint16_t>(kWheelSettingBaseAddress + p));
  if (!blockReport || !wheelReport) return std::nullopt;
  std::vector<std::vector<std::uint8_t>> reports;
  reports.push_back(ShortCommandReport(6, 0, 0));
  reports.push_back(std::move(*blockReport));
  reports.push_back(std::move(*wheelReport));
  reports.push_back(ShortCommandReport(1, 1, 0));
  reports.push_back(ShortCommandReport(6, 1, 0));
  return reports;
}

std::vector<std::uint32_t> SendDeviceReports(TvnHIDData& HIDData,
                                             const std::vector<std::vector<std::uint8_t>>& reports,
                                             USAGE_AND_PAGE collection) {
  return HIDData.HidFindAndSetFeatureReports(collection, reports);
}
