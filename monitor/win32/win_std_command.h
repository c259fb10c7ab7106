// The monitor's driver support component on Windows: the component with its
// control channel, the HID device-setup functions, its own arrival notifier
// and the start timer on the main thread.
#pragma once

#include <windows.h>

#include <memory>

#include "ini_file.h"
#include "vn_hid_event.h"
#include "vn_std_command.h"
#include "win_driver_channel.h"
#include "win_driver_system.h"

namespace quarn {

// A one-shot timer of the main thread's message loop.
class WinStartTimer : public StartTimer {
 public:
  ~WinStartTimer() override;
  void Restart(std::uint32_t milliseconds, std::function<void()> fire) override;
  void Disable() override;

 private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
  UINT_PTR id_ = 0;
  std::function<void()> fire_;
};

class WinSTDCommand {
 public:
  // Reads config.ini from `config`; creates the notifier (its window and registration).
  explicit WinSTDCommand(const IniFile& config);
  ~WinSTDCommand();
  WinSTDCommand(const WinSTDCommand&) = delete;
  WinSTDCommand& operator=(const WinSTDCommand&) = delete;

  TvnSTDCommand& Command() { return *command_; }
  TvnHIDEvent& Notifier() { return *FHIDEvent; }
  // Installs or removes the filter driver with the real system, from this program's folder.
  DriverInstallResult HidInstallDriver(bool Install);

 private:
  std::unique_ptr<WinDriverChannel> channel_;
  WinDeviceSetup setup_;
  WinStartTimer timer_;
  std::unique_ptr<TvnSTDCommand> command_;
  std::unique_ptr<TvnHIDEvent> FHIDEvent;
};

}  // namespace quarn
