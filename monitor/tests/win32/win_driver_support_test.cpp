// The driver support adapters against Wine's real device-setup functions,
// service manager and drivers folder, in the throwaway prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver_install.h"
#include "ini_file.h"
#include "wide.h"
#include "win_driver_channel.h"
#include "win_driver_system.h"
#include "win_std_command.h"

namespace {

using Strings = std::vector<std::u16string>;
const std::u16string kMouseId = u"HID\\VID_845E&PID_0001";

std::wstring ServiceKey(const std::wstring& name) {
  return L"System\\CurrentControlSet\\Services\\" + name;
}

bool ServiceKeyExists(const std::wstring& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ServiceKey(name).c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

DWORD ServiceDword(const std::wstring& name, const wchar_t* value) {
  DWORD data = 0xFFFFFFFF;
  DWORD size = sizeof data;
  RegGetValueW(HKEY_LOCAL_MACHINE, ServiceKey(name).c_str(), value, RRF_RT_REG_DWORD, nullptr,
               &data, &size);
  return data;
}

std::wstring ServiceText(const std::wstring& name, const wchar_t* value) {
  wchar_t data[1024] = {};
  DWORD size = sizeof data;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, ServiceKey(name).c_str(), value,
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, data,
                   &size) != ERROR_SUCCESS)
    return L"<missing>";
  return data;
}

bool EndsWith(const std::wstring& s, const std::wstring& end) {
  return s.size() >= end.size() &&
         CompareStringOrdinal(s.c_str() + s.size() - end.size(), int(end.size()), end.c_str(),
                              int(end.size()), TRUE) == CSTR_EQUAL;
}

std::wstring TempFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + name + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void WriteFile(const std::wstring& path, const std::string& text) {
  std::ofstream(std::filesystem::path(path), std::ios::binary) << text;
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream f(std::filesystem::path(path), std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// The listed device's entry, from a fresh enumeration.
bool FindMouse(quarn::WinDeviceSetup& setup, quarn::SetupDevice& out) {
  std::vector<quarn::SetupDevice> devices;
  if (!setup.Enumerate(devices)) return false;
  for (const auto& d : devices)
    if (quarn::AnyIdInList(d.hardwareIds, {kMouseId})) {
      out = d;
      return true;
    }
  return false;
}

std::u16string WindowsFolder() {
  return quarn::WinDriverFiles().WindowsFolder();
}

TEST(WinDeviceSetup, EnumeratesAndWritesFilterLists) {
  quarn::WinDeviceSetup setup;
  std::vector<quarn::SetupDevice> devices;
  ASSERT_TRUE(setup.Enumerate(devices));
  EXPECT_GE(devices.size(), 2u);
  quarn::SetupDevice mouse;
  ASSERT_TRUE(FindMouse(setup, mouse));
  EXPECT_FALSE(setup.HasProblem(mouse));

  ASSERT_TRUE(setup.SetFilterList(mouse, false, {u"otherflt", u"quarntst"}));
  ASSERT_TRUE(FindMouse(setup, mouse));
  EXPECT_EQ(mouse.lowerFilters, (Strings{u"otherflt", u"quarntst"}));
  EXPECT_TRUE(mouse.upperFilters.empty());
  ASSERT_TRUE(setup.SetFilterList(mouse, false, {}));
  ASSERT_TRUE(FindMouse(setup, mouse));
  EXPECT_TRUE(mouse.lowerFilters.empty()) << "an empty list removes the property";

  // This system cannot restart a device: the failure is reported, not hidden.
  EXPECT_FALSE(setup.SetEnabled(mouse, false));
  EXPECT_FALSE(setup.SetEnabled(mouse, true));
}

TEST(WinServiceManager, CreatesChangesAndDeletesAKernelService) {
  const std::wstring name = L"quarnsvctest";
  quarn::WinServiceManager services;
  ASSERT_TRUE(services.Open());
  ASSERT_FALSE(services.Exists(u"quarnsvctest"));
  ASSERT_EQ(services.Create(u"quarnsvctest", u"quarnsvctest_Display", u"C:\\x\\a.sys"), 0u);
  EXPECT_TRUE(services.Exists(u"quarnsvctest"));
  EXPECT_EQ(ServiceDword(name, L"Type"), 1u);
  EXPECT_EQ(ServiceDword(name, L"Start"), 3u);
  EXPECT_EQ(ServiceDword(name, L"ErrorControl"), 1u);
  EXPECT_TRUE(EndsWith(ServiceText(name, L"ImagePath"), L"a.sys"))
      << ServiceText(name, L"ImagePath");
  EXPECT_EQ(ServiceText(name, L"DisplayName"), L"quarnsvctest_Display");
  EXPECT_EQ(services.Create(u"quarnsvctest", u"x", u"C:\\x\\a.sys"), 1073u);
  EXPECT_TRUE(services.Change(u"quarnsvctest", u"quarnsvctest_DisplayChange", u"C:\\x\\b.sys"));
  EXPECT_EQ(ServiceText(name, L"DisplayName"), L"quarnsvctest_DisplayChange");
  EXPECT_TRUE(EndsWith(ServiceText(name, L"ImagePath"), L"b.sys"));
  EXPECT_TRUE(services.Delete(u"quarnsvctest"));
  EXPECT_FALSE(services.Exists(u"quarnsvctest"));
  EXPECT_FALSE(services.Delete(u"quarnsvctest"));
}

TEST(WinDriverFiles, ReplacesAFileInTheDriversFolder) {
  const std::wstring folder = TempFolder(L"quarn_drvfiles");
  const std::wstring source = folder + L"a.sys";
  const std::wstring target =
      quarn::ToWide(WindowsFolder()) + L"\\System32\\Drivers\\quarnfile.sys";
  quarn::WinDriverFiles files;
  WriteFile(source, "one");
  ASSERT_TRUE(files.ReplaceFile(quarn::FromWide(source), quarn::FromWide(target)));
  EXPECT_EQ(ReadFile(target), "one");
  WriteFile(source, "second");
  ASSERT_TRUE(files.ReplaceFile(quarn::FromWide(source), quarn::FromWide(target)));
  EXPECT_EQ(ReadFile(target), "second");
  // A missing source leaves the old file whole.
  EXPECT_FALSE(
      files.ReplaceFile(quarn::FromWide(folder + L"missing.sys"), quarn::FromWide(target)));
  EXPECT_EQ(ReadFile(target), "second");
  EXPECT_EQ(GetFileAttributesW((target + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileW(target.c_str());
  DeleteFileW(source.c_str());
}

TEST(WinSystemInfo, SixtyFourBitProgramOnSixtyFourBitSystem) {
  quarn::WinSystemInfo system;
  EXPECT_TRUE(quarn::IsWindows64(system));
  EXPECT_EQ(system.NativeArchitecture(), 9);
}

struct InstallRig {
  quarn::WinDeviceSetup setup;
  quarn::WinServiceManager services;
  quarn::WinDriverFiles files;
  quarn::WinInstallerRunner runner;
  quarn::WinSystemInfo system;
  quarn::DriverPackageConfig config;
  std::wstring folder;
  explicit InstallRig(const wchar_t* name) : folder(TempFolder(name)) {
    config.InfFileName = u"quarntst.inf";
    config.FileName = u"quarntst.sys";
    config.ServiceName = u"quarntst";
    CreateDirectoryW((folder + L"DRIVERX64").c_str(), nullptr);
  }
  quarn::DriverInstallResult Run(bool install) {
    return quarn::HidInstallDriver(
        install, config, {kMouseId},
        {setup, services, files, runner, system, quarn::FromWide(folder)});
  }
};

TEST(WinDriverInstall, ManualWayKeepsOtherFiltersAndCleansUp) {
  InstallRig r(L"quarn_manual");
  WriteFile(r.folder + L"DRIVERX64\\quarntst.sys", "driver");
  const std::wstring target = quarn::ToWide(WindowsFolder()) + L"\\System32\\Drivers\\quarntst.sys";
  quarn::SetupDevice mouse;
  ASSERT_TRUE(FindMouse(r.setup, mouse));
  ASSERT_TRUE(r.setup.SetFilterList(mouse, false, {u"otherflt"}));

  auto result = r.Run(true);
  ASSERT_EQ(result.devices.size(), 1u);
  EXPECT_EQ(result.devices[0].step, quarn::DriverStep::Installed);
  EXPECT_TRUE(result.devices[0].restartFailed) << "this system cannot restart a device";
  EXPECT_TRUE(ServiceKeyExists(L"quarntst"));
  EXPECT_EQ(ServiceDword(L"quarntst", L"Type"), 1u);
  EXPECT_EQ(ServiceDword(L"quarntst", L"Start"), 3u);
  EXPECT_EQ(ServiceDword(L"quarntst", L"ErrorControl"), 1u);
  EXPECT_TRUE(EndsWith(ServiceText(L"quarntst", L"ImagePath"), L"\\drivers\\quarntst.sys"));
  EXPECT_EQ(ServiceText(L"quarntst", L"DisplayName"), L"quarntst_Display");
  EXPECT_EQ(ReadFile(target), "driver");
  ASSERT_TRUE(FindMouse(r.setup, mouse));
  EXPECT_EQ(mouse.lowerFilters, (Strings{u"otherflt", u"quarntst"}));

  result = r.Run(true);
  ASSERT_EQ(result.devices.size(), 1u);
  EXPECT_EQ(result.devices[0].step, quarn::DriverStep::None) << "a second install changes nothing";
  EXPECT_EQ(ServiceText(L"quarntst", L"DisplayName"), L"quarntst_Display");

  result = r.Run(false);
  ASSERT_EQ(result.devices.size(), 1u);
  EXPECT_EQ(result.devices[0].step, quarn::DriverStep::Removed);
  EXPECT_FALSE(result.devices[0].serviceLeft);
  EXPECT_FALSE(ServiceKeyExists(L"quarntst"));
  ASSERT_TRUE(FindMouse(r.setup, mouse));
  EXPECT_EQ(mouse.lowerFilters, (Strings{u"otherflt"}));
  EXPECT_EQ(ReadFile(target), "driver") << "the driver file stays";

  ASSERT_TRUE(r.setup.SetFilterList(mouse, false, {}));
  DeleteFileW(target.c_str());
}

TEST(WinDriverInstall, RefusedAndFailedCopyTouchNothing) {
  InstallRig r(L"quarn_refused");
  r.config.FileName = u"..\\evil.sys";
  EXPECT_EQ(r.Run(true).refused, u"FileName");
  r.config.FileName = u"quarnnone.sys";  // no such source file
  const auto result = r.Run(true);
  ASSERT_EQ(result.devices.size(), 1u);
  EXPECT_EQ(result.devices[0].step, quarn::DriverStep::CopyFailed);
  EXPECT_FALSE(ServiceKeyExists(L"quarntst"));
  quarn::SetupDevice mouse;
  ASSERT_TRUE(FindMouse(r.setup, mouse));
  EXPECT_TRUE(mouse.lowerFilters.empty());
}

TEST(WinDriverInstall, InstallerWayRunsHiddenAndIsWaitedFor) {
  InstallRig r(L"quarn_installer");
  r.config.WHQL = 1;
  const std::wstring log = r.folder + L"DRIVERX64\\difxcmd.log";
  DeleteFileW(log.c_str());
  DeleteFileW((r.folder + L"DRIVERX64\\DIFxCmd.exe").c_str());

  auto t0 = std::chrono::steady_clock::now();
  auto result = r.Run(true);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));
  ASSERT_EQ(result.devices.size(), 1u);
  EXPECT_EQ(result.devices[0].step, quarn::DriverStep::InstallerMissing);

  ASSERT_TRUE(
      CopyFileW(QUARN_DIFXCMD_STANDIN_W, (r.folder + L"DRIVERX64\\DIFxCmd.exe").c_str(), FALSE));
  t0 = std::chrono::steady_clock::now();
  result = r.Run(true);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1400))
      << "returns only after the installer ended";
  ASSERT_EQ(result.devices.size(), 1u);
  EXPECT_EQ(result.devices[0].step, quarn::DriverStep::InstallerRun);
  const std::string text = ReadFile(log);
  EXPECT_NE(text.find("args=/i quarntst.inf DRIVER_PACKAGE_SILENT DRIVER_PACKAGE_FORCE\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("DRIVERX64\r\n"), std::string::npos) << "working folder: " << text;
  EXPECT_NE(text.find("show=0\r\n"), std::string::npos) << "hidden: " << text;

  // Removal runs only where the service is listed.
  quarn::SetupDevice mouse;
  ASSERT_TRUE(FindMouse(r.setup, mouse));
  ASSERT_TRUE(r.setup.SetFilterList(mouse, false, {u"quarntst"}));
  DeleteFileW(log.c_str());
  result = r.Run(false);
  EXPECT_EQ(result.devices.at(0).step, quarn::DriverStep::InstallerRun);
  EXPECT_NE(ReadFile(log).find("args=/u quarntst.inf DRIVER_PACKAGE_SILENT DRIVER_PACKAGE_FORCE "
                               "DRIVER_PACKAGE_DELETE_FILES\r\n"),
            std::string::npos);
  ASSERT_TRUE(FindMouse(r.setup, mouse));
  ASSERT_TRUE(r.setup.SetFilterList(mouse, false, {}));
}

TEST(WinSTDCommand, QueriesAndMissingChannel) {
  const quarn::IniFile ini = quarn::IniFile::ParseText(
      u"[devicelist]\nid1=HID\\VID_845E&PID_0001\n[usbdevicelist]\nid1=HID\\VID_845E&PID_0001\n");
  quarn::WinSTDCommand std(ini);
  EXPECT_TRUE(std.Command().IsHIDDeviceExist());
  EXPECT_TRUE(std.Command().ISHIDDeviceExist(u"hid\\vid_845e&pid_0002"));
  EXPECT_FALSE(std.Command().ISHIDDeviceExist(u"HID\\VID_845E"));
  std::uint8_t buffer[8] = {};
  EXPECT_EQ(std.Command().DeviceRW(buffer, 8, 0x222000), 21u) << "no filter driver here";
  EXPECT_FALSE(std.Command().CanOpenDevice());

  quarn::WinSTDCommand prefixOnly(quarn::IniFile::ParseText(u"[devicelist]\nid1=HID\\VID_845E\n"));
  EXPECT_FALSE(prefixOnly.Command().IsHIDDeviceExist());
}

}  // namespace
