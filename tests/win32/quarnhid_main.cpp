// quarnhid: a test helper (not shipped) that shows what the device link sees
// and sends.
//   quarnhid list                      present HID interfaces and capabilities
//   quarnhid exists PAGE USAGE         whether a collection is present (hex),
//                                      with config.ini's hardware-ID list
//   quarnhid lighting --profile N --rgb RR,GG,BB --bright B --breath S
//            --wheel-led L --lines W (--dry-run | --send)
//                                      the lighting write of profile N (1 to 5)
//   quarnhid write --length N --dry-run  the report of an N-byte data write
//   quarnhid watch SECONDS             device arrival notifications
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "config_ini.h"
#include "device_commands.h"
#include "module_path.h"
#include "vn_hid_data.h"
#include "vn_hid_event.h"
#include "wide.h"
#include "win_file_store.h"
#include "win_hid_transport.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr USAGE_AND_PAGE kVendor{0x0001, 0xFFA0};

std::string Narrow(const std::u16string& s) {
  return std::string(s.begin(), s.end());
}

void PrintReport(const std::vector<std::uint8_t>& r) {
  for (std::size_t i = 0; i < r.size(); ++i) std::printf(i ? " %02X" : "%02X", r[i]);
  std::printf("\n");
}

std::vector<std::u16string> ConfiguredIds() {
  quarn::WinFileStore files;
  auto ini = quarn::LoadConfigIni(files, quarn::FolderPart(quarn::ExecutableFilePath()));
  return quarn::ReadIdList(ini, u"IncludeHIDDeviceList");
}

// Value of "--name" in args, or def.
std::wstring Option(const std::vector<std::wstring>& args, const wchar_t* name,
                    const wchar_t* def = L"") {
  for (std::size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == name) return args[i + 1];
  return def;
}
bool Flag(const std::vector<std::wstring>& args, const wchar_t* name) {
  for (const auto& a : args)
    if (a == name) return true;
  return false;
}
long Number(const std::wstring& s, int base = 10) {
  wchar_t* end = nullptr;
  long v = std::wcstol(s.c_str(), &end, base);
  return (s.empty() || *end) ? -1000000 : v;
}

int List() {
  quarn::WinHidTransport transport;
  std::vector<quarn::HidInterfaceInfo> list;
  if (!transport.EnumerateInterfaces(list)) {
    std::printf("HID interfaces unavailable\n");
    return 1;
  }
  bool vendor = false;
  for (const auto& info : list) {
    // The device's own ID: the hardware ID without the instance part.
    std::u16string id = info.hardwareIds.size() > 1 ? info.hardwareIds[1]
                        : info.hardwareIds.empty()  ? info.path
                                                    : info.hardwareIds[0];
    auto device = transport.Open(info.path, false);
    quarn::HidCaps caps;
    if (!device || !device->GetAttributes() || !device->LoadPreparsedData() ||
        !device->GetCaps(caps)) {
      std::printf("%s (cannot be opened)\n", Narrow(id).c_str());
      continue;
    }
    vendor = vendor || (caps.UsagePage == kVendor.UsagePage && caps.Usage == kVendor.Usage);
    std::printf("%s (page 0x%04X, usage 0x%04X, input %u, output %u, feature %u)\n",
                Narrow(id).c_str(), caps.UsagePage, caps.Usage, caps.InputReportByteLength,
                caps.OutputReportByteLength, caps.FeatureReportByteLength);
  }
  std::printf("vendor collection FFA0/0001: %s\n", vendor ? "present" : "none");
  return 0;
}

int Exists(const std::vector<std::wstring>& args) {
  if (args.size() < 3) return 2;
  const long page = Number(args[1], 16);
  const long usage = Number(args[2], 16);
  if (page < 0 || page > 0xFFFF || usage < 0 || usage > 0xFFFF) return 2;
  quarn::WinHidTransport transport;
  TvnHIDData link(transport, ConfiguredIds());
  auto p = std::make_unique<THIDDataParam>();
  p->UsageAndPage = {static_cast<std::uint16_t>(usage), static_cast<std::uint16_t>(page)};
  std::printf("%s\n", link.IsDeviceExist(*p) ? "present" : "absent");
  return 0;
}

int Send(const std::vector<std::vector<std::uint8_t>>& reports) {
  quarn::WinHidTransport transport;
  TvnHIDData link(transport, ConfiguredIds());
  const auto t0 = Clock::now();
  // One interface search for the whole sequence.
  const auto results = SendDeviceReports(link, reports, kVendor);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  for (const auto result : results)
    std::printf("%d interfaces, result %u\n", result == quarn::kErrorDeviceNotConnected ? 0 : 1,
                result);
  std::printf("total %.1f ms\n", ms);
  return 0;
}

int Lighting(const std::vector<std::wstring>& args) {
  const long profile = Number(Option(args, L"--profile", L"1"));
  const std::wstring rgb = Option(args, L"--rgb", L"00,00,00");
  unsigned r = 0, g = 0, b = 0;
  if (std::swscanf(rgb.c_str(), L"%x,%x,%x", &r, &g, &b) != 3 || r > 255 || g > 255 || b > 255)
    return 2;
  const long bright = Number(Option(args, L"--bright", L"0"));
  const long breath = Number(Option(args, L"--breath", L"0"));
  const long wheelLed = Number(Option(args, L"--wheel-led", L"0"));
  const long lines = Number(Option(args, L"--lines", L"3"));
  if (bright < 0 || bright > 255 || breath < 0 || breath > 255) return 2;
  TLEDCONFIG led{static_cast<std::uint8_t>(r),      static_cast<std::uint8_t>(g),
                 static_cast<std::uint8_t>(b),      static_cast<std::uint8_t>(bright),
                 static_cast<std::uint8_t>(breath), 0};
  auto reports =
      LightingWriteReports(static_cast<int>(profile - 1), led, static_cast<std::int32_t>(lines),
                           static_cast<std::int32_t>(wheelLed));
  if (!reports) {
    std::printf("rejected\n");
    return 1;
  }
  if (Flag(args, L"--send")) return Send(*reports);
  for (const auto& report : *reports) PrintReport(report);
  return 0;
}

int Write(const std::vector<std::wstring>& args) {
  const long length = Number(Option(args, L"--length", L"0"));
  if (length <= 0 || length > 2048) {
    std::printf("rejected\n");
    return 1;
  }
  std::vector<std::uint8_t> data(static_cast<std::size_t>(length));
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
  const std::uint8_t header[8] = {2,
                                  0,
                                  0,
                                  static_cast<std::uint8_t>(length & 0xFF),
                                  static_cast<std::uint8_t>(length >> 8),
                                  0xFA,
                                  0xFA,
                                  0xFA};
  auto packet = std::make_unique<TDeviceCommandPacket>(MakeCommandPacket(header));
  std::memcpy(packet->Payload, data.data(), data.size());
  auto report = FrameCommandPacket(*packet);
  if (!report) {
    std::printf("rejected\n");
    return 1;
  }
  std::printf("report ID %u, %zu bytes\n", (*report)[0], report->size());
  if (Flag(args, L"--send")) return Send({*report});
  PrintReport(*report);
  return 0;
}

int Watch(const std::vector<std::wstring>& args) {
  const long seconds = args.size() > 1 ? Number(args[1]) : 5;
  if (seconds < 0 || seconds > 3600) return 2;
  const auto start = Clock::now();
  auto stamp = [&](const char* what) {
    const double s = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%.2f %s\n", s, what);
    std::fflush(stdout);
  };
  TvnHIDEvent notifier;
  notifier.OnDeviceArrival = [&](TvnHIDEvent*) { stamp("DeviceArrival"); };
  notifier.OnDeviceRemove = [&](TvnHIDEvent*) { stamp("DeviceRemove"); };
  notifier.OnDeviceChange = [&](TvnHIDEvent*) { stamp("DeviceChange"); };
  const auto end = start + std::chrono::seconds(seconds);
  while (Clock::now() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::printf("usage: quarnhid list | exists PAGE USAGE | lighting ... | write ... | watch S\n");
    return 2;
  }
  const std::wstring& command = args[0];
  if (command == L"list") return List();
  if (command == L"exists") return Exists(args);
  if (command == L"lighting") return Lighting(args);
  if (command == L"write") return Write(args);
  if (command == L"watch") return Watch(args);
  std::printf("unknown command\n");
  return 2;
}
