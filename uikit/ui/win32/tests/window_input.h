// Helpers of the toolkit's window tests under Wine: message pumping with a time-out,
// real X input through xdotool (it reaches Wine only over a Wine window), and a plain
// window of another kind to click on.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

namespace quarn::ui::testing {

// Dispatches messages until `done` holds or `timeoutMs` passed; true when done.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(int(msg.wParam));  // left for the test to see
        return done && done();
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done && done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE,
                              static_cast<DWORD>(std::min<ULONGLONG>(end - now, 10)), QS_ALLINPUT);
  }
}

inline void Pump(DWORD ms) {
  PumpUntil(nullptr, ms);
}

// Starts xdotool with these arguments and returns at once (Wine gives no handle to
// wait on); the caller waits for the effect.
inline bool Xdotool(const std::wstring& args) {
  std::wstring cmd = L"Z:\\usr\\bin\\xdotool " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
  return true;
}

inline bool CursorAt(int x, int y) {
  POINT p;
  return GetCursorPos(&p) && p.x == x && p.y == y;
}

// Moves the real pointer and waits until the system has it there.
inline bool MoveTo(int x, int y) {
  if (!Xdotool(L"mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y))) return false;
  return PumpUntil([&] { return CursorAt(x, y); }, 3000);
}

// A plain window of another class: somewhere else to click.
class OtherWindow {
 public:
  OtherWindow(int x, int y, int w, int h) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuarnUiTestOther";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    RegisterClassW(&wc);  // fails harmlessly when registered before
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"other window", WS_POPUP | WS_VISIBLE, x, y, w, h,
                           nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(hwnd);
  }
  ~OtherWindow() { DestroyWindow(hwnd); }
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;
  HWND hwnd = nullptr;
};

}  // namespace quarn::ui::testing
