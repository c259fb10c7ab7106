// Installing and removing the mouse's kernel filter driver on the present HID
// devices listed in [usbdevicelist]: through the driver package's installer or
// by hand (driver file, kernel service, the device's filter list, a restart).
// The system sits behind small seams so the procedure is tested with fakes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config_ini.h"
#include "windows_version.h"

namespace quarn {

// One present device of the HID device setup class.
struct SetupDevice {
  std::u16string instanceId;
  std::vector<std::u16string> hardwareIds;
  std::vector<std::u16string> upperFilters;
  std::vector<std::u16string> lowerFilters;
};

// The device-setup functions.
class DeviceSetup {
 public:
  virtual ~DeviceSetup() = default;
  // The present devices of the HID device setup class; false when the set cannot be obtained.
  virtual bool Enumerate(std::vector<SetupDevice>& devices) = 0;
  // The device node reports a problem.
  virtual bool HasProblem(const SetupDevice& device) = 0;
  // Writes the upper or lower filter list; an empty list removes the property.
  virtual bool SetFilterList(const SetupDevice& device, bool upper,
                             const std::vector<std::u16string>& list) = 0;
  // Disables or enables the device; false when the system refused.
  virtual bool SetEnabled(const SetupDevice& device, bool enable) = 0;
};

// The service control manager, for demand-start kernel driver services.
class ServiceManager {
 public:
  virtual ~ServiceManager() = default;
  // The manager could be opened with all access.
  virtual bool Open() = 0;
  virtual bool Exists(const std::u16string& name) = 0;
  // 0 when created, else the system's error code.
  virtual std::uint32_t Create(const std::u16string& name, const std::u16string& displayName,
                               const std::u16string& path) = 0;
  virtual bool Change(const std::u16string& name, const std::u16string& displayName,
                      const std::u16string& path) = 0;
  virtual bool Delete(const std::u16string& name) = 0;
};

class DriverFiles {
 public:
  virtual ~DriverFiles() = default;
  // The Windows folder, without a final backslash.
  virtual std::u16string WindowsFolder() = 0;
  // Puts a copy of `source` at `target` in one step: the old target stays
  // whole until the new copy replaces it.
  virtual bool ReplaceFile(const std::u16string& source, const std::u16string& target) = 0;
};

class InstallerRunner {
 public:
  virtual ~InstallerRunner() = default;
  // Starts `program` hidden, with no error UI, in `folder`, and waits for it to
  // end (without a time-out, servicing the caller's messages). False when it
  // could not be started.
  virtual bool RunHiddenAndWait(const std::u16string& program, const std::u16string& parameters,
                                const std::u16string& folder) = 0;
  // A pause that keeps the caller's messages serviced.
  virtual void Pause(std::uint32_t milliseconds) = 0;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  virtual bool Is64BitProcess() = 0;
  // Nothing when the system has no IsWow64Process.
  virtual bool HasWow64Query() = 0;
  virtual bool IsWow64() = 0;
  virtual bool HasNativeSystemInfo() = 0;
  virtual std::uint16_t NativeArchitecture() = 0;
  virtual TWindowsVersion Version() = 0;
};

// 64-bit Windows: this process is 64-bit, or it runs under WOW64 on an x64 (9)
// or IA-64 (6) system.
bool IsWindows64(SystemInfo& system);

// A plain file or device name: non-empty, at most 128 characters of letters,
// digits, '_', '-' and '.', not made of dots only; with `extension` given
// (".sys"), it must end in it (any case).
bool IsPlainName(std::u16string_view name, std::u16string_view extension = {});

// Empty when the [DEVICE] values may be used as file names and command-line
// parts; else the first refused value, for the report.
std::u16string RefusedDriverValue(const DriverPackageConfig& config);

// `list` with `name` appended when no entry equals it (any case); the others keep their order.
std::vector<std::u16string> WithFilter(const std::vector<std::u16string>& list,
                                       std::u16string_view name);
// `list` without the entries equal to `name` (any case).
std::vector<std::u16string> WithoutFilter(const std::vector<std::u16string>& list,
                                          std::u16string_view name);
// Some ID of `ids` equals an entry of `list`, ignoring ASCII case.
bool AnyIdInList(const std::vector<std::u16string>& ids, const std::vector<std::u16string>& list);

struct InstallerCommand {
  std::u16string folder;  // ends in a backslash
  std::u16string program;
  std::u16string parameters;
};
// The driver installer's program and command line. `programFolder` ends in a backslash.
InstallerCommand MakeInstallerCommand(const std::u16string& programFolder,
                                      const DriverPackageConfig& config, bool install,
                                      bool windows64, TWindowsVersion version);

enum class DriverStep : std::uint8_t {
  None,              // nothing to do (already installed, or not installed on removal)
  InstallerRun,      // the installer ran and ended
  InstallerMissing,  // the installer could not be started
  Installed,         // by hand: file, service and filter entry in place
  Removed,           // by hand: filter entry gone (and the service, when it could be deleted)
  CopyFailed,
  ServiceFailed,
  FilterFailed,
};

struct DeviceOutcome {
  std::u16string instanceId;
  DriverStep step = DriverStep::None;
  bool restartFailed = false;  // disabling or enabling the device failed
  bool serviceLeft = false;    // removal: the service could not be deleted
};

struct DriverInstallResult {
  std::u16string refused;  // a refused [DEVICE] value: nothing was touched
  bool setUnavailable = false;
  std::vector<DeviceOutcome> devices;  // the listed devices, in enumeration order
};

struct DriverInstallSystem {
  DeviceSetup& setup;
  ServiceManager& services;
  DriverFiles& files;
  InstallerRunner& runner;
  SystemInfo& system;
  std::u16string programFolder;  // ends in a backslash
};

// Installs (or removes) the filter driver on every present device whose
// hardware IDs are in `usbDeviceList`.
DriverInstallResult HidInstallDriver(bool Install, const DriverPackageConfig& config,
                                     const std::vector<std::u16string>& usbDeviceList,
                                     const DriverInstallSystem& sys);

}  // namespace quarn
