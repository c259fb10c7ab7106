// The monitor carries the driver support component: with the mouse's IDs in
// config.ini it starts, outlives the arrival-and-start chain, installs nothing
// and still ends promptly on "Exit". Runs from a copy of the install folder.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "e2e_support.h"
#include "mon_commands.h"
#include "win_driver_system.h"

namespace {

using namespace quarn::e2e;

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

bool ServiceKeyExists(const wchar_t* name) {
  HKEY key = nullptr;
  const std::wstring path = std::wstring(L"System\\CurrentControlSet\\Services\\") + name;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// The upper and lower filters of every HID-class device, as one text.
std::u16string FilterSnapshot() {
  quarn::WinDeviceSetup setup;
  std::vector<quarn::SetupDevice> devices;
  if (!setup.Enumerate(devices)) return u"<no device set>";
  std::u16string out;
  for (const auto& d : devices) {
    out += d.instanceId + u":";
    for (const auto& f : d.upperFilters) out += u" u=" + f;
    for (const auto& f : d.lowerFilters) out += u" l=" + f;
    out += u"\n";
  }
  return out;
}

TEST(MonitorDriverE2E, MonitorWithListedDevicesInstallsNothingAndExitsPromptly) {
  StoreProfiles([](TMouseProfileInfo&) {});
  namespace fs = std::filesystem;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const fs::path folder = fs::path(temp) / L"quarn_monitor_driver";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path dist = DistFolder();
  for (const wchar_t* name : {L"quarnmon.exe", L"vnHook.dll", L"vn.local"})
    fs::copy_file(dist / name, folder / name);
  if (fs::exists(dist / L"images"))
    fs::copy(dist / L"images", folder / L"images", fs::copy_options::recursive);
  std::string ini = ReadText(dist / L"config.ini");
  ini = Replace(ini, "[devicelist]", "[devicelist]\r\nid1=HID\\VID_845E&PID_0001");
  ini = Replace(ini, "[usbdevicelist]", "[usbdevicelist]\r\nid1=HID\\VID_845E&PID_0001");
  std::ofstream(folder / L"config.ini", std::ios::binary) << ini;
  fs::create_directories(folder / L"DRIVERX64");
  std::ofstream(folder / L"DRIVERX64" / L"tavoflt00001.sys", std::ios::binary) << "driver";
  const std::u16string filtersBefore = FilterSnapshot();

  const std::wstring exe = (folder / L"quarnmon.exe").wstring();
  std::wstring cmd = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             folder.wstring().c_str(), &si, &pi));
  HWND mon = WaitForMonitorWindow(pi.dwProcessId);
  ASSERT_NE(mon, nullptr);
  // The notifier's start-up arrival (1.5 s) and the component's start timer (1.5 s more).
  PumpUntil([] { return false; }, 5000);
  EXPECT_TRUE(IsWindow(mon)) << "still running after the chain";
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));

  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_FALSE(ServiceKeyExists(L"tavoflt00001")) << "the monitor installs nothing";
  EXPECT_FALSE(fs::exists(fs::path(windows) / L"System32" / L"Drivers" / L"tavoflt00001.sys"));
  EXPECT_EQ(FilterSnapshot(), filtersBefore);

  const auto t0 = std::chrono::steady_clock::now();
  PostMessageW(mon, WM_COMMAND, IDM_EXIT, 0);
  const bool ended =
      PumpUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 10000);
  const auto exitMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
          .count();
  EXPECT_TRUE(ended);
  // The process end itself takes about 2 s under this Wine, with or without
  // the component; the component's own stop is measured by its unit tests.
  EXPECT_LT(exitMs, 5000) << "ends promptly";
  std::printf("[ monitor exit ] %lld ms\n", static_cast<long long>(exitMs));
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  if (!ended) TerminateProcess(pi.hProcess, 9);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  fs::remove_all(folder);
}

}  // namespace
