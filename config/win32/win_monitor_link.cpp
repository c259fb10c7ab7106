#include "win_monitor_link.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "shared_tables.h"
#include "wide.h"

namespace quarn {

WinMonitorLink::WinMonitorLink(std::u16string programFolder, std::uint32_t timeoutMs)
    : WinMonitorLink(std::move(programFolder), std::u16string(ProgramNames[MON_MAIN_CLASS_NAME]),
                     std::u16string(ProgramNames[MON_EXE_NAME]), timeoutMs) {}

WinMonitorLink::WinMonitorLink(std::u16string programFolder, std::u16string className,
                               std::u16string exeName, std::uint32_t timeoutMs)
    : folder_(std::move(programFolder)),
      className_(std::move(className)),
      exeName_(std::move(exeName)),
      timeoutMs_(timeoutMs) {}

bool WinMonitorLink::ActivateMonitor() {
  HWND monitor = FindWindowW(ToWide(className_).c_str(), nullptr);
  if (monitor == nullptr) return false;
  SetForegroundWindow(monitor);
  return true;
}

bool WinMonitorLink::StartMonitor() {
  // Only by full path: without the program's folder nothing is started.
  if (folder_.empty() || folder_.find(u'"') != std::u16string::npos) return false;
  const std::wstring folder = ToWide(folder_);
  const std::wstring file = folder + ToWide(exeName_);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpDirectory = folder.c_str();
  info.nShow = SW_SHOW;
  return ShellExecuteExW(&info) != FALSE;
}

bool WinMonitorLink::SendToMonitor(std::uint32_t message, std::uint64_t wParam,
                                   std::int64_t lParam) {
  HWND monitor = FindWindowW(ToWide(className_).c_str(), nullptr);
  if (monitor == nullptr) return false;
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(monitor, message, static_cast<WPARAM>(wParam),
                             static_cast<LPARAM>(lParam), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                             timeoutMs_, &result) != 0;
}

}  // namespace quarn
