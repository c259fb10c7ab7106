// Device commands as HID feature reports on the mouse's vendor collection:
// the command packet, the report ID and size chosen by length, the builders of
// commands 1, 2 (write) and 6, the lighting block and the wheel byte, their
// device addresses, and the five-report lighting write.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "profile_records.h"
#include "shared_tables.h"
#include "vn_hid_data.h"

// A command as the builders assemble it. Only Header[0..6] and the payload go
// to the device; the marker, the spare byte and Header[7] never do.
struct TDeviceCommandPacket {
  std::uint8_t Marker[2];  // 0x6E4B, low byte first
  std::uint8_t Spare;
  std::uint8_t Header[8];  // Header[0] is the command
  std::uint8_t Payload[2048];
};
static_assert(sizeof(TDeviceCommandPacket) == 2059);
static_assert(offsetof(TDeviceCommandPacket, Spare) == 2);
static_assert(offsetof(TDeviceCommandPacket, Header) == 3);
static_assert(offsetof(TDeviceCommandPacket, Payload) == 11);

constexpr std::uint32_t kDevicePayloadCapacity = 2048;
constexpr std::uint32_t kDeviceCommandPacketSize = sizeof(TDeviceCommandPacket);

// Lighting addresses of profile index p (0 to 4).
constexpr std::uint16_t kLEDConfigBaseAddress = 0x00F1;
constexpr std::uint16_t kWheelSettingBaseAddress = 0x003D;
// Where the restore-lighting write puts the block when the profile group index is not 0.
constexpr std::uint16_t kGroupLEDConfigAddress = 0x1181;
constexpr int kDeviceProfileCount = 5;

// Report ID for n bytes of header and payload, and the report size of an ID
// (report ID byte included).
std::uint32_t GetReportIDBySize(std::uint32_t n);
std::uint32_t GetReportSizeByID(std::uint32_t id);

#pragma push_macro("CTL_CODE")
#undef CTL_CODE
constexpr std::uint32_t CTL_CODE(std::uint32_t DeviceType, std::uint32_t Function,
                                 std::uint32_t Method, std::uint32_t Access) {
  return (DeviceType << 16) | (Access << 14) | (Function << 2) | Method;
}
#pragma pop_macro("CTL_CODE")
constexpr std::uint32_t kDeviceCommandControlCode = 0x80004000u;

// Out = [ID, h0, h1, ..., h6].
void InsertReportID(std::uint8_t ID, const std::uint8_t Header[8], std::uint8_t Out[8]);

// Payload length by the command (Header[0] & 0x7F): 0 -> h2, 2 or 3 -> h3 + 256 h4, else 0.
std::uint32_t CommandPayloadLength(const TDeviceCommandPacket& Packet);

// The feature report of a packet (report-size bytes); nothing when its payload
// length is above the packet's 2048 bytes.
std::optional<std::vector<std::uint8_t>> FrameCommandPacket(const TDeviceCommandPacket& Packet);

// A packet with the marker, spare byte and header set and an empty payload.
TDeviceCommandPacket MakeCommandPacket(const std::uint8_t (&header)[8]);

// Frames and sends one packet to `collection` (by default the mouse's vendor
// collection). The packet is left as it was. 87 when it cannot be framed;
// otherwise the link's result (1167 when no interface took it). PacketSize and
// ControlCode are accepted and not used.
std::uint32_t SendCommandPacket(TvnHIDData& HIDData, const TDeviceCommandPacket& Packet,
                                std::uint32_t PacketSize, std::uint32_t ControlCode,
                                USAGE_AND_PAGE collection = DeviceUsageAndPage);

// Command 2: Length (1 to 2048) bytes of Data to Address. Length 0 or above
// 2048, or no data, sends nothing and gives 87.
std::uint32_t WriteDeviceData(TvnHIDData& HIDData, const void* Data, std::uint32_t Length,
                              std::uint16_t Address,
                              USAGE_AND_PAGE collection = DeviceUsageAndPage);
std::uint32_t SendDeviceCommand1(TvnHIDData& HIDData, std::uint8_t P0, std::uint8_t P1,
                                 USAGE_AND_PAGE collection = DeviceUsageAndPage);
std::uint32_t SendDeviceCommand6(TvnHIDData& HIDData, std::uint8_t P1, std::uint8_t P2,
                                 USAGE_AND_PAGE collection = DeviceUsageAndPage);
std::uint32_t WriteDeviceLEDConfig(TvnHIDData& HIDData, const std::uint8_t LED[6],
                                   std::uint16_t Address,
                                   USAGE_AND_PAGE collection = DeviceUsageAndPage);
// The wheel byte to Address; a speed outside 0..127 or a negative LedOn sends
// nothing and gives 87.
std::uint32_t WriteDeviceWheelSetting(TvnHIDData& HIDData, std::int32_t Speed, std::int8_t LedOn,
                                      std::uint16_t Address,
                                      USAGE_AND_PAGE collection = DeviceUsageAndPage);

// Out := In, then Out[0] := B, Out[1] := C, Out[2] := A.
void PackLEDConfigForDevice(std::uint8_t A, std::uint8_t B, std::uint8_t C, std::uint8_t Out[6],
                            const TLEDCONFIG& In);
// The device's lighting block: [not G, not B, not R, brightness, breathing speed, breathing
// seconds].
std::array<std::uint8_t, 6> DeviceLEDBlock(const TLEDCONFIG& led);
// Bit 7 the wheel LED switch, bits 0-6 the speed (LedOn kept to 8 bits after
// the shift). Nothing for a speed outside 0..127 or a negative LedOn.
std::optional<std::uint8_t> WheelSettingByte(std::int32_t Speed, std::int32_t LedOn);

// The five reports of a profile's lighting write: command 6 (0, 0), the
// lighting block, the wheel byte, command 1 (1, 0), command 6 (1, 0). All are
// built and checked first: a profile index outside 0..4 or an invalid wheel
// value gives nothing at all.
std::optional<std::vector<std::vector<std::uint8_t>>> LightingWriteReports(int profileIndex,
                                                                           const TLEDCONFIG& led,
                                                                           std::int32_t wheelSpeed,
                                                                           std::int32_t wheelLed);

// Sends reports built above after one search of the interfaces; one result per report.
std::vector<std::uint32_t> SendDeviceReports(TvnHIDData& HIDData,
                                             const std::vector<std::vector<std::uint8_t>>& reports,
                                             USAGE_AND_PAGE collection = DeviceUsageAndPage);
