#include "win_std_command.h"

#include <map>

namespace quarn {

namespace {

// Timers of the main thread by id; SetTimer without a window gives no context.
std::map<UINT_PTR, WinStartTimer*>& Timers() {
  static std::map<UINT_PTR, WinStartTimer*> timers;
  return timers;
}

}  // namespace

WinStartTimer::~WinStartTimer() {
  Disable();
}

void WinStartTimer::Restart(std::uint32_t milliseconds, std::function<void()> fire) {
  Disable();
  fire_ = std::move(fire);
  id_ = SetTimer(nullptr, 0, milliseconds, &WinStartTimer::TimerProc);
  if (id_ != 0) Timers()[id_] = this;
}

void WinStartTimer::Disable() {
  if (id_ != 0) {
    KillTimer(nullptr, id_);
    Timers().erase(id_);
  }
  id_ = 0;
}

void CALLBACK WinStartTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Timers().find(id);
  if (it == Timers().end()) {
    KillTimer(nullptr, id);
    return;
  }
  WinStartTimer* timer = it->second;
  timer->Disable();  // one shot
  std::function<void()> fire = timer->fire_;
  try {
    if (fire) fire();
  } catch (...) {
    // No exception leaves the message loop.
  }
}

WinSTDCommand::WinSTDCommand(const IniFile& config) {
  const DriverPackageConfig info = ReadDriverPackageConfig(config);
  channel_ = std::make_unique<WinDriverChannel>(u"\\\\.\\" + info.DeviceName);
  command_ = std::make_unique<TvnSTDCommand>(config, StdCommandSystem{*channel_, setup_, timer_});
  FHIDEvent = std::make_unique<TvnHIDEvent>();
  FHIDEvent->OnDeviceArrival = [this](TvnHIDEvent* sender) {
    command_->HIDEventDeviceArrival(sender);
  };
  FHIDEvent->OnDeviceRemove = [this](TvnHIDEvent* sender) {
    command_->HIDEventDeviceRemove(sender);
  };
}

WinSTDCommand::~WinSTDCommand() {
  // The notifier goes first, so no arrival reaches a component being torn down.
  FHIDEvent.reset();
  timer_.Disable();
  command_.reset();
}

DriverInstallResult WinSTDCommand::HidInstallDriver(bool Install) {
  WinServiceManager services;
  WinDriverFiles files;
  WinInstallerRunner runner;
  WinSystemInfo system;
  return command_->HidInstallDriver(
      Install, DriverInstallSystem{setup_, services, files, runner, system, ProgramFolderWithBackslash()});
}

}  // namespace quarn
