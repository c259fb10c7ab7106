#include "driver_install.h"

#include "ini_file.h"

namespace quarn {

namespace {

bool EndsWithIgnoreCase(std::u16string_view s, std::u16string_view end) {
  return s.size() >= end.size() && EqualsIgnoreCase(s.substr(s.size() - end.size()), end);
}

constexpr std::uint32_t kErrorServiceExists = 1073;
constexpr std::uint32_t kRestartPauseMs = 100;

// Disables and enables the device; enabling is tried even when disabling failed.
bool RestartDevice(const DriverInstallSystem& sys, const SetupDevice& device) {
  const bool disabled = sys.setup.SetEnabled(device, false);
  sys.runner.Pause(kRestartPauseMs);
  const bool enabled = sys.setup.SetEnabled(device, true);
  return disabled && enabled;
}

std::u16string DriverTarget(const DriverInstallSystem& sys, const DriverPackageConfig& config) {
  return sys.files.WindowsFolder() + u"\\System32\\Drivers\\" + config.FileName;
}

bool InstallKernelService(ServiceManager& services, const std::u16string& name,
                          const std::u16string& path) {
  if (services.Exists(name)) return services.Change(name, name + u"_DisplayChange", path);
  const std::uint32_t error = services.Create(name, name + u"_Display", path);
  return error == 0 || error == kErrorServiceExists;
}

void InstallFilterManually(const DriverInstallSystem& sys, const DriverPackageConfig& config,
                           const SetupDevice& device, DeviceOutcome& out) {
  const std::u16string source = sys.programFolder +
                                (IsWindows64(sys.system) ? u"DRIVERX64\\" : u"DRIVERX86\\") +
                                config.FileName;
  const std::u16string target = DriverTarget(sys, config);
  if (!sys.files.ReplaceFile(source, target)) {
    out.step = DriverStep::CopyFailed;
    return;
  }
  if (!sys.services.Open() || !InstallKernelService(sys.services, config.ServiceName, target)) {
    out.step = DriverStep::ServiceFailed;
    return;
  }
  const bool upper = config.UpperFilter == 1;
  const auto& list = upper ? device.upperFilters : device.lowerFilters;
  if (!sys.setup.SetFilterList(device, upper, WithFilter(list, config.ServiceName))) {
    out.step = DriverStep::FilterFailed;
    return;
  }
  out.step = DriverStep::Installed;
  out.restartFailed = !RestartDevice(sys, device);
}

// The filter entry goes first, then the device restarts without it, and only
// then the service: a device never names a service that no longer exists.
void UninstallFilterManually(const DriverInstallSystem& sys, const DriverPackageConfig& config,
                             const SetupDevice& device, DeviceOutcome& out) {
  const bool upper = config.UpperFilter == 1;
  const auto& list = upper ? device.upperFilters : device.lowerFilters;
  if (!sys.setup.SetFilterList(device, upper, WithoutFilter(list, config.ServiceName))) {
    out.step = DriverStep::FilterFailed;
    return;
  }
  out.step = DriverStep::Removed;
  out.restartFailed = !RestartDevice(sys, device);
  if (!sys.services.Open())
    out.serviceLeft = true;
  else if (sys.services.Exists(config.ServiceName))
    out.serviceLeft = !sys.services.Delete(config.ServiceName);
}

}  // namespace

bool IsWindows64(SystemInfo& system) {
  if (system.Is64BitProcess()) return true;
  if (!system.HasWow64Query() || !system.IsWow64() || !system.HasNativeSystemInfo()) return false;
  const std::uint16_t arch = system.NativeArchitecture();
  return arch == 9 || arch == 6;
}

bool IsPlainName(std::u16string_view name, std::u16string_view extension) {
  if (name.empty() || name.size() > 128) return false;
  bool onlyDots = true;
  for (char16_t c : name) {
    const bool ok = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                    (c >= u'0' && c <= u'9') || c == u'_' || c == u'-' || c == u'.';
    if (!ok) return false;
    if (c != u'.') onlyDots = false;
  }
  if (onlyDots) return false;
  if (!extension.empty() &&
      (name.size() <= extension.size() || !EndsWithIgnoreCase(name, extension)))
    return false;
  return true;
}

std::u16string RefusedDriverValue(const DriverPackageConfig& config) {
  if (!IsPlainName(config.InfFileName, u".inf")) return u"InfFileName";
  if (!IsPlainName(config.FileName, u".sys")) return u"FileName";
  if (!IsPlainName(config.ServiceName)) return u"ServiceName";
  return {};
}

std::vector<std::u16string> WithFilter(const std::vector<std::u16string>& list,
                                       std::u16string_view name) {
  std::vector<std::u16string> out = list;
  for (const auto& entry : list)
    if (EqualsIgnoreCase(entry, name)) return out;
  out.emplace_back(name);
  return out;
}

std::vector<std::u16string> WithoutFilter(const std::vector<std::u16string>& list,
                                          std::u16string_view name) {
  std::vector<std::u16string> out;
  for (const auto& entry : list)
    if (!EqualsIgnoreCase(entry, name)) out.push_back(entry);
  return out;
}

bool AnyIdInList(const std::vector<std::u16string>& ids, const std::vector<std::u16string>& list) {
  for (const auto& id : ids)
    for (const auto& entry : list)
      if (EqualsIgnoreCase(id, entry)) return true;
  return false;
}

InstallerCommand MakeInstallerCommand(const std::u16string& programFolder,
                                      const DriverPackageConfig& config, bool install,
                                      bool windows64, TWindowsVersion version) {
  InstallerCommand c;
  const bool xp64 = windows64 && version == wvWinXP64;
  c.folder = programFolder + (!windows64 ? u"DRIVERX86\\" : xp64 ? u"XP64\\" : u"DRIVERX64\\");
  c.program = c.folder + u"DIFxCmd.exe";
  c.parameters = (install ? u"/i " : u"/u ") + config.InfFileName;
  if (!xp64) {
    c.parameters += u" DRIVER_PACKAGE_SILENT DRIVER_PACKAGE_FORCE";
    if (!install) c.parameters += u" DRIVER_PACKAGE_DELETE_FILES";
  }
  return c;
}

DriverInstallResult HidInstallDriver(bool Install, const DriverPackageConfig& config,
                                     const std::vector<std::u16string>& usbDeviceList,
                                     const DriverInstallSystem& sys) {
  DriverInstallResult result;
  result.refused = RefusedDriverValue(config);
  if (!result.refused.empty()) return result;
  std::vector<SetupDevice> devices;
  if (!sys.setup.Enumerate(devices)) {
    result.setUnavailable = true;
    return result;
  }
  const bool useInstaller = config.WHQL != 0 && (config.X32WHQL != 0 || IsWindows64(sys.system));
  for (const auto& device : devices) {
    if (!AnyIdInList(device.hardwareIds, usbDeviceList)) continue;
    DeviceOutcome out;
    out.instanceId = device.instanceId;
    const auto& list = config.UpperFilter == 1 ? device.upperFilters : device.lowerFilters;
    bool installed = false;
    for (const auto& entry : list)
      if (EqualsIgnoreCase(entry, config.ServiceName)) installed = true;
    const bool problem = installed && sys.setup.HasProblem(device);
    const bool act = Install ? (!installed || problem) : installed;
    if (act && useInstaller) {
      const InstallerCommand c = MakeInstallerCommand(
          sys.programFolder, config, Install, IsWindows64(sys.system), sys.system.Version());
      out.step = sys.runner.RunHiddenAndWait(c.program, c.parameters, c.folder)
                     ? DriverStep::InstallerRun
                     : DriverStep::InstallerMissing;
    } else if (act && Install) {
      InstallFilterManually(sys, config, device, out);
    } else if (act) {
      UninstallFilterManually(sys, config, device, out);
    }
    result.devices.push_back(std::move(out));
  }
  return result;
}

}  // namespace quarn
