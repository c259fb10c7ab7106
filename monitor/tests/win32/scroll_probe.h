// Windows of a chosen class name for the sideways-scroll tests of the installed
// monitor: each records the scroll, wheel, key and click messages it receives
// with their parameters and arrival times, and gives its class name back when
// it goes, so that another test can register the same name in another letter
// case. Also starts xdotool without waiting, for tests that time its effect.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace quarn::e2e {

class ScrollProbe {
 public:
  struct Seen {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    std::chrono::steady_clock::time_point at;
  };

  ScrollProbe(const wchar_t* className, DWORD style, int x, int y, int w, int h)
      : className_(className) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ScrollProbe::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, className, L"Budget.xlsx - probe", style, x, y, w, h, nullptr,
                            nullptr, wc.hInstance, this);
  }
  ~ScrollProbe() {
    if (hwnd_) DestroyWindow(hwnd_);
    UnregisterClassW(className_.c_str(), GetModuleHandleW(nullptr));
  }
  ScrollProbe(const ScrollProbe&) = delete;
  ScrollProbe& operator=(const ScrollProbe&) = delete;

  HWND hwnd() const { return hwnd_; }
  std::vector<Seen> received;

  int Count(UINT msg) const {
    int n = 0;
    for (const auto& s : received) n += s.msg == msg;
    return n;
  }
  int Count(UINT msg, WPARAM wParam) const {
    int n = 0;
    for (const auto& s : received) n += s.msg == msg && s.wParam == wParam;
    return n;
  }
  const Seen* First(UINT msg) const {
    for (const auto& s : received)
      if (s.msg == msg) return &s;
    return nullptr;
  }
  // The class name as the system reports it.
  std::wstring ClassName() const {
    wchar_t name[256] = {};
    GetClassNameW(hwnd_, name, 256);
    return name;
  }

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
      SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<ScrollProbe*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self &&
        (m == WM_MOUSEHWHEEL || m == WM_MOUSEWHEEL || m == WM_HSCROLL || m == WM_KEYDOWN ||
         m == WM_KEYUP || m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN))
      self->received.push_back({m, w, l, std::chrono::steady_clock::now()});
    return DefWindowProcW(h, m, w, l);
  }

  std::wstring className_;
  HWND hwnd_ = nullptr;
};

// Starts xdotool with `args` and returns at once; false when it could not start.
inline bool LaunchXdotool(const std::wstring& args) {
  std::wstring cmd = L"Z:\\usr\\bin\\xdotool " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(L"Z:\\usr\\bin\\xdotool", cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

}  // namespace quarn::e2e
