// A top-level test window that records the keyboard and mouse messages it
// receives, and helpers to bring it to the front and pump its messages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace quarn::testing {

struct WindowMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class RecordingWindow {
 public:
  RecordingWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &RecordingWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuarnActionTestWindow";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);  // fails harmlessly when already registered
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"action test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           100, 100, 400, 300, nullptr, nullptr, wc.hInstance, this);
  }
  ~RecordingWindow() {
    if (hwnd) DestroyWindow(hwnd);
  }
  RecordingWindow(const RecordingWindow&) = delete;
  RecordingWindow& operator=(const RecordingWindow&) = delete;

  // Foreground, focused, with the pointer over its middle.
  bool BringToFront() {
    for (int attempt = 0; attempt < 50; ++attempt) {
      SetForegroundWindow(hwnd);
      SetActiveWindow(hwnd);
      SetFocus(hwnd);
      Pump(20);
      if (GetForegroundWindow() == hwnd && GetFocus() == hwnd) break;
    }
    RECT r;
    GetWindowRect(hwnd, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Pump(50);
    return GetForegroundWindow() == hwnd && GetFocus() == hwnd;
  }

  // Dispatches this thread's messages for `ms` milliseconds.
  static void Pump(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      const ULONGLONG now = GetTickCount64();
      if (now >= end) return;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
  }

  // Pumps until `done` holds or `ms` have passed.
  static bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
      if (GetTickCount64() >= end) return false;
      Pump(5);
    }
    return true;
  }

  HWND hwnd = nullptr;
  std::vector<WindowMessage> received;
  std::function<void(UINT)> onMessage;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
      const bool input = (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) ||
                         (msg >= WM_LBUTTONDOWN && msg <= WM_MOUSELAST) || msg >= WM_APP;
      if (input) self->received.push_back({msg, wp, lp});
      if (self->onMessage) self->onMessage(msg);
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
};

}  // namespace quarn::testing
