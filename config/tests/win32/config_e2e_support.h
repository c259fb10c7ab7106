// What the end-to-end tests of the configuration window share: the installed
// programs started and ended, their windows found, clicks at the window's
// controls with real X input, and the stored profile values read back.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "main_window_scene.h"
#include "mon_commands.h"

namespace quarn::config_e2e {

using namespace quarn::e2e;

inline constexpr const wchar_t* kConfigClass = L"TQUARNCfgMain";
inline constexpr const wchar_t* kMonitorClass = L"TQUARNMonMain";

// quarncfg.exe started by the test.
class Config : public InstalledProgram {
 public:
  Config() : InstalledProgram(L"quarncfg.exe") {}
};

// Every top-level window of a class, with its process.
struct Found {
  HWND hwnd;
  DWORD pid;
};
struct WindowSearch {
  const wchar_t* name;
  std::vector<Found> found;
};

inline BOOL CALLBACK CollectWindow(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<WindowSearch*>(p);
  wchar_t name[64] = {};
  GetClassNameW(h, name, 64);
  if (lstrcmpW(name, s->name) == 0) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    s->found.push_back({h, pid});
  }
  return TRUE;
}

inline std::vector<Found> WindowsOf(const wchar_t* className) {
  WindowSearch search{className, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A visible top-level window of class `className` (of process `pid`, any when 0),
// waited for.
inline HWND WaitForVisibleWindow(const wchar_t* className, DWORD pid, int ms) {
  HWND found = nullptr;
  PumpUntil(
      [&] {
        for (const Found& f : WindowsOf(className))
          if ((pid == 0 || f.pid == pid) && IsWindowVisible(f.hwnd)) found = f.hwnd;
        return found != nullptr;
      },
      ms);
  return found;
}

// The visible configuration window (of `pid` when given), waited for.
inline HWND WaitForConfigWindow(DWORD pid = 0, int ms = 15000) {
  return WaitForVisibleWindow(kConfigClass, pid, ms);
}

// Waits for the process that owns `hwnd` to end.
inline bool WaitOwnerExit(HWND hwnd, int ms) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return !IsWindow(hwnd);
  const bool ended = WaitForSingleObject(process, ms) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

// Ends whatever configuration window and monitor a test left behind.
inline void EndLeftovers() {
  for (const Found& f : WindowsOf(kConfigClass)) {
    if (f.pid == GetCurrentProcessId()) continue;
    PostMessageW(f.hwnd, WM_TERMINATE_CONFIG, 0, 0);
    WaitOwnerExit(f.hwnd, 5000);
  }
  for (const Found& f : WindowsOf(kMonitorClass)) {
    if (f.pid == GetCurrentProcessId()) continue;
    PostMessageW(f.hwnd, WM_COMMAND, IDM_EXIT, 0);
    WaitOwnerExit(f.hwnd, 5000);
  }
}

// Screen position of the centre of a control of the configuration window.
inline std::wstring ScreenCentre(HWND config, const quarn::ui::RectF& r) {
  POINT p{LONG(r.x + r.width / 2), LONG(r.y + r.height / 2)};
  ClientToScreen(config, &p);
  return std::to_wstring(p.x) + L" " + std::to_wstring(p.y);
}

inline void ClickAt(HWND config, const quarn::ui::RectF& r) {
  Xdotool(L"mousemove " + ScreenCentre(config, r));
  Xdotool(L"click 1");
}

// Bytes of a stored profile value ("zykProfile1.pfd" ...); empty when unreadable.
inline std::vector<BYTE> StoredProfileBytes(const wchar_t* name) {
  std::vector<BYTE> data(200000);
  DWORD size = DWORD(data.size());
  if (RegGetValueW(HKEY_CURRENT_USER, L"software\\QUARNMouse", name, RRF_RT_REG_BINARY, nullptr,
                   data.data(), &size) != ERROR_SUCCESS)
    return {};
  data.resize(size);
  return data;
}

// A visible dialog on the dialog frame (a note, a function's parameters) of
// program `pid`, waited for.
inline HWND WaitForFrameDialog(DWORD pid, int ms = 5000) {
  return WaitForVisibleWindow(L"TQuarnFrameDialog", pid, ms);
}

// The note dialog of the configuration program `pid`, visible, waited for.
inline HWND WaitForNoteDialog(DWORD pid) {
  return WaitForFrameDialog(pid);
}

// Waits for a dialog to close (its window gone or hidden).
inline bool WaitClosed(HWND window, int ms = 5000) {
  return PumpUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, ms);
}

// Waits for a dialog's window to be destroyed. Under Wine without a window
// manager its owner comes forward again only some 2 seconds after the dialog
// was hidden, about when the window goes: a test that focuses a window of its
// own after a dialog waits for this first.
inline bool WaitGone(HWND window, int ms = 10000) {
  return PumpUntil([&] { return !IsWindow(window); }, ms);
}

// A real left click at a screen position.
inline void ClickScreen(LONG x, LONG y) {
  Xdotool(L"mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y));
  Xdotool(L"click 1");
}

// A real left click on an OK (ok = true) or CANCEL button of a frame dialog.
inline void ClickFrameButton(HWND dialog, bool ok) {
  RECT r{};
  GetWindowRect(dialog, &r);
  // 86 x 40 buttons, 50 or 160 from the left, centred in the 60-pixel bottom strip
  // above the 5-pixel margin.
  ClickScreen(r.left + (ok ? 50 : 160) + 43, r.bottom - 5 - 30);
}

// Screen point `(x, y)` pixels from the top-left corner of window `hwnd`, as xdotool
// takes it.
inline std::wstring WindowPoint(HWND hwnd, int x, int y) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return std::to_wstring(r.left + x) + L" " + std::to_wstring(r.top + y);
}

// Runs an xdotool command line that ends with the pointer moved to `end` (a free
// screen point over a Wine window), and waits until the pointer is there: the
// events before it have then all been sent, in order.
inline bool XdotoolAndWait(const std::wstring& args, POINT end, int ms = 15000) {
  POINT now{};
  if (GetCursorPos(&now) && now.x == end.x && now.y == end.y) {
    // Already there: away first, or the wait would end before the command ran.
    Xdotool(L"mousemove " + std::to_wstring(end.x + 1) + L" " + std::to_wstring(end.y));
    PumpUntil([&] { return GetCursorPos(&now) && now.x != end.x; }, 5000);
  }
  Xdotool(args + L" mousemove " + std::to_wstring(end.x) + L" " + std::to_wstring(end.y));
  return PumpUntil(
      [&] {
        POINT p{};
        return GetCursorPos(&p) && p.x == end.x && p.y == end.y;
      },
      ms);
}

class ConfigE2E : public ::testing::Test {
 protected:
  void SetUp() override { EndLeftovers(); }
  void TearDown() override { EndLeftovers(); }
};

// A stored button entry of profile value `name`; false when unreadable.
inline bool StoredButton(const wchar_t* name, int index, TBUTTONFUNCINFO& entry) {
  const std::vector<BYTE> stored = StoredProfileBytes(name);
  const std::size_t at = offsetof(TMouseProfileInfo, ConfigInfo) +
                         offsetof(TMOUSECONFIGINFO, ButtonFuncInfo) +
                         std::size_t(index) * sizeof(TBUTTONFUNCINFO);
  if (stored.size() < at + sizeof entry) return false;
  memcpy(&entry, stored.data() + at, sizeof entry);
  return true;
}

// A visible pop-up of a menu of program `pid`, waited for.
inline HWND WaitForMenuPopup(DWORD pid, int ms = 5000) {
  return WaitForVisibleWindow(L"TQuarnMenuPopup", pid, ms);
}

// Row `row` (from 0) of the function menu's pop-up window, clicked with a real
// click: 21 rows of 30 pixels fill the window between equal margins.
inline void ClickFunctionMenuRow(HWND popup, int row) {
  constexpr int kRows = 21, kRowHeight = 30;
  RECT r{};
  GetWindowRect(popup, &r);
  const LONG margin = ((r.bottom - r.top) - kRows * kRowHeight) / 2;
  ClickScreen(r.left + 60, r.top + margin + row * kRowHeight + kRowHeight / 2);
}

}  // namespace quarn::config_e2e
