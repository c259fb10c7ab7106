// Helpers for the hook tests under Wine: a visible window that logs the mouse
// and key messages it receives, message pumping with a time-out, synthesised
// input, and starting xdotool (X input reaches Wine only over a Wine window).
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace quarn::testing {

struct LoggedMessage {
  UINT message;
  WPARAM wParam;
};

// A plain top-level window at a fixed place on the screen. Tests share one
// (TestWindow below): Wine takes about two seconds to hide or destroy the
// active window when there is no window manager to hand the focus to.
class InputWindow {
 public:
  static constexpr int kLeft = 100, kTop = 100, kWidth = 400, kHeight = 300;
  static constexpr int kCenterX = kLeft + kWidth / 2, kCenterY = kTop + kHeight / 2;

  InputWindow() {
    static const wchar_t* kClass = L"QuarnHookTestWindow";
    WNDCLASSW wc{};
    wc.lpfnWndProc = &InputWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    RegisterClassW(&wc);  // fails harmlessly when already registered
    hwnd = CreateWindowExW(WS_EX_TOPMOST, kClass, L"hook test", WS_POPUP | WS_VISIBLE, kLeft, kTop,
                           kWidth, kHeight, nullptr, nullptr, wc.hInstance, this);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    UpdateWindow(hwnd);
  }
  ~InputWindow() { DestroyWindow(hwnd); }
  InputWindow(const InputWindow&) = delete;
  InputWindow& operator=(const InputWindow&) = delete;

  int Count(UINT message, int xbutton = 0) const {
    int n = 0;
    for (const LoggedMessage& m : log)
      if (m.message == message && (xbutton == 0 || HIWORD(m.wParam) == xbutton)) ++n;
    return n;
  }

  HWND hwnd = nullptr;
  std::vector<LoggedMessage> log;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<InputWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self != nullptr && ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEMOVE) ||
                            msg == WM_KEYDOWN || msg == WM_KEYUP)) {
      self->log.push_back({msg, wp});
    }
    if (msg == WM_XBUTTONDOWN || msg == WM_XBUTTONUP) return TRUE;
    return DefWindowProcW(h, msg, wp, lp);
  }
};

// Dispatches messages until `done` holds or `timeoutMs` passed; true when done.
// The shared window, shown and active, with an empty log.
inline InputWindow& TestWindow() {
  static InputWindow* window = new InputWindow;  // lives until the process ends
  SetForegroundWindow(window->hwnd);
  window->log.clear();
  return *window;
}

inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
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

inline void SendMouse(DWORD flags, DWORD data = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  in.mi.mouseData = data;
  SendInput(1, &in, sizeof in);
}

// Starts xdotool with the given arguments (X input on the test's display) and
// returns at once; the caller pumps messages until the input has arrived.
inline bool StartXdotool(const std::wstring& args) {
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

}  // namespace quarn::testing
