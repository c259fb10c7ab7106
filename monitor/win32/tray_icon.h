// The monitor's icon in the notification area, with its hint; it comes back
// when the shell restarts.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace quarn {

class TrayIcon {
 public:
  TrayIcon(HWND owner, UINT callbackMessage, HICON icon);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  void SetHint(const std::wstring& hint);
  // Adds the icon again; for the shell's "TaskbarCreated" broadcast.
  void Restore();
  static UINT TaskbarCreatedMessage();

 private:
  NOTIFYICONDATAW data_{};
};

// The program's icon, drawn at the size asked for: a mouse with its wheel.
HICON CreateMouseIcon(int size);

}  // namespace quarn
