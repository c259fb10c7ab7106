// quarndrv: a command-line helper for tests and by-hand checks of the filter
// driver installation. It reads config.ini beside itself and prints what it
// did. Commands:
//   query [hardware-id]          IsHIDDeviceExist, or ISHIDDeviceExist for the ID
//   filters                      upper and lower filters of the [usbdevicelist] devices
//   set-filters lower|upper [n]  sets (or clears) that list on those devices
//   install | uninstall          HidInstallDriver
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "config_ini.h"
#include "driver_install.h"
#include "ini_file.h"
#include "wide.h"
#include "win_driver_system.h"
#include "win_file_store.h"
#include "win_std_command.h"

namespace {

std::string Narrow(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) out.push_back(c < 128 ? char(c) : '?');
  return out;
}

std::string Join(const std::vector<std::u16string>& list) {
  std::string out;
  for (const auto& s : list) out += (out.empty() ? "" : ",") + Narrow(s);
  return out.empty() ? "(none)" : out;
}

const char* StepText(quarn::DriverStep step) {
  switch (step) {
    case quarn::DriverStep::None:
      return "already installed or nothing to remove";
    case quarn::DriverStep::InstallerRun:
      return "installer ran";
    case quarn::DriverStep::InstallerMissing:
      return "installer could not be started";
    case quarn::DriverStep::Installed:
      return "installed";
    case quarn::DriverStep::Removed:
      return "removed";
    case quarn::DriverStep::CopyFailed:
      return "failed: driver file copy";
    case quarn::DriverStep::ServiceFailed:
      return "failed: service";
    case quarn::DriverStep::FilterFailed:
      return "failed: filter list";
  }
  return "?";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::printf(
        "usage: quarndrv query [id] | filters | set-filters lower|upper [names] | install | "
        "uninstall\n");
    return 2;
  }
  const std::wstring command = argv[1];
  quarn::WinFileStore files;
  const quarn::IniFile ini = quarn::LoadConfigIni(files, quarn::ProgramFolderWithBackslash());
  const auto usbList = quarn::ReadIdList(ini, u"usbdevicelist");
  if (command == L"query") {
    quarn::WinSTDCommand std(ini);
    if (argc > 2) {
      const bool yes = std.Command().ISHIDDeviceExist(quarn::FromWide(argv[2]));
      std::printf("ISHIDDeviceExist: %s\n", yes ? "yes" : "no");
    } else {
      std::printf("IsHIDDeviceExist: %s\n", std.Command().IsHIDDeviceExist() ? "yes" : "no");
    }
    return 0;
  }
  if (command == L"filters" || command == L"set-filters") {
    quarn::WinDeviceSetup setup;
    std::vector<quarn::SetupDevice> devices;
    if (!setup.Enumerate(devices)) {
      std::printf("device set unavailable\n");
      return 1;
    }
    bool upper = false;
    std::vector<std::u16string> names;
    if (command == L"set-filters") {
      if (argc < 3) return 2;
      upper = std::wstring(argv[2]) == L"upper";
      for (int i = 3; i < argc; ++i) names.push_back(quarn::FromWide(argv[i]));
    }
    int failures = 0;
    for (const auto& d : devices) {
      if (!quarn::AnyIdInList(d.hardwareIds, usbList)) continue;
      if (command == L"filters") {
        std::printf("%s upper=%s lower=%s\n", Narrow(d.instanceId).c_str(),
                    Join(d.upperFilters).c_str(), Join(d.lowerFilters).c_str());
      } else {
        const bool ok = setup.SetFilterList(d, upper, names);
        std::printf("%s %s=%s %s\n", Narrow(d.instanceId).c_str(), upper ? "upper" : "lower",
                    Join(names).c_str(), ok ? "set" : "failed");
        if (!ok) ++failures;
      }
    }
    return failures == 0 ? 0 : 1;
  }
  if (command == L"install" || command == L"uninstall") {
    quarn::WinSTDCommand std(ini);
    const auto result = std.HidInstallDriver(command == L"install");
    if (!result.refused.empty()) {
      std::printf("refused: [DEVICE] %s is not a plain file name\n",
                  Narrow(result.refused).c_str());
      return 1;
    }
    if (result.setUnavailable) {
      std::printf("device set unavailable\n");
      return 1;
    }
    if (result.devices.empty()) std::printf("no listed device present\n");
    int failures = 0;
    for (const auto& d : result.devices) {
      std::printf("%s: %s%s%s\n", Narrow(d.instanceId).c_str(), StepText(d.step),
                  d.restartFailed ? "; device restart failed (not supported here)" : "",
                  d.serviceLeft ? "; service could not be deleted" : "");
      if (d.step >= quarn::DriverStep::CopyFailed || d.step == quarn::DriverStep::InstallerMissing)
        ++failures;
    }
    return failures == 0 ? 0 : 1;
  }
  std::printf("unknown command\n");
  return 2;
}
