// The filter driver installation's system on Windows: the device-setup
// functions (bound at run time from the system folder) and the device node
// status, the service control manager, the drivers folder, the hidden
// installer start, and what the process knows about the system it runs on.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <setupapi.h>

#include <memory>
#include <string>
#include <vector>

#include "driver_install.h"

namespace quarn {

// Waits for `handle` (or only the time, with none) while servicing messages
// sent to this thread; posted messages stay queued. INFINITE waits forever.
void WaitServicingSentMessages(HANDLE handle, DWORD milliseconds);

class WinDeviceSetup : public DeviceSetup {
 public:
  WinDeviceSetup();
  ~WinDeviceSetup() override;
  WinDeviceSetup(const WinDeviceSetup&) = delete;
  WinDeviceSetup& operator=(const WinDeviceSetup&) = delete;

  // Keeps the device set until the next enumeration: the other calls use it.
  bool Enumerate(std::vector<SetupDevice>& devices) override;
  bool HasProblem(const SetupDevice& device) override;
  bool SetFilterList(const SetupDevice& device, bool upper,
                     const std::vector<std::u16string>& list) override;
  bool SetEnabled(const SetupDevice& device, bool enable) override;

 private:
  SP_DEVINFO_DATA* Find(const SetupDevice& device);
  void Release();

  HDEVINFO set_ = INVALID_HANDLE_VALUE;
  std::vector<std::pair<std::u16string, SP_DEVINFO_DATA>> devices_;
};

class WinServiceManager : public ServiceManager {
 public:
  ~WinServiceManager() override;
  bool Open() override;
  bool Exists(const std::u16string& name) override;
  std::uint32_t Create(const std::u16string& name, const std::u16string& displayName,
                       const std::u16string& path) override;
  bool Change(const std::u16string& name, const std::u16string& displayName,
              const std::u16string& path) override;
  bool Delete(const std::u16string& name) override;

 private:
  SC_HANDLE manager_ = nullptr;
};

class WinDriverFiles : public DriverFiles {
 public:
  std::u16string WindowsFolder() override;
  // Copies beside the target under a temporary name, then moves it over the
  // target. A 32-bit process on 64-bit Windows writes through "Sysnative", so
  // the file lands where the service's path points.
  bool ReplaceFile(const std::u16string& source, const std::u16string& target) override;
};

class WinInstallerRunner : public InstallerRunner {
 public:
  bool RunHiddenAndWait(const std::u16string& program, const std::u16string& parameters,
                        const std::u16string& folder) override;
  void Pause(std::uint32_t milliseconds) override;
};

class WinSystemInfo : public SystemInfo {
 public:
  bool Is64BitProcess() override { return sizeof(void*) == 8; }
  bool HasWow64Query() override;
  bool IsWow64() override;
  bool HasNativeSystemInfo() override;
  std::uint16_t NativeArchitecture() override;
  TWindowsVersion Version() override;
};

// The folder of this program, with a final backslash.
std::u16string ProgramFolderWithBackslash();

}  // namespace quarn
