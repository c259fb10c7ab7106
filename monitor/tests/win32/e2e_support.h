// Helpers of the monitor's end-to-end tests: the installed quarnmon.exe as a
// child process, windows that record what they receive, real X input through
// xdotool, and profiles stored as the configuration program stores them.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data_module.h"
#include "window_messages.h"

namespace quarn::e2e {

inline std::wstring DistFolder() {
  std::wstring unixPath = QUARN_DIST_DIR_W;  // a Unix path, seen through Wine's Z: drive
  for (auto& c : unixPath)
    if (c == L'/') c = L'\\';
  return L"Z:" + unixPath + L"\\";
}

// Handles messages of this thread until `done` holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

inline HWND MonitorWindow() {
  return FindWindowW(L"TQUARNMonMain", nullptr);
}

// A program of the install folder started by the test (from that folder); a
// run still going at the end is ended.
class InstalledProgram {
 public:
  explicit InstalledProgram(const wchar_t* exeName) {
    const std::wstring exe = DistFolder() + exeName;
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    started_ = CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              DistFolder().c_str(), &si, &pi_);
  }
  ~InstalledProgram() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(pi_.hProcess, 9);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }
  InstalledProgram(const InstalledProgram&) = delete;
  InstalledProgram& operator=(const InstalledProgram&) = delete;
  bool started() const { return started_; }
  // Waits for the process to end; true with its exit code when it did.
  bool WaitExit(int ms, DWORD* code) {
    if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(pi_.hProcess, code);
    return true;
  }
  DWORD pid() const { return pi_.dwProcessId; }

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
};

// The installed monitor, quarnmon.exe.
class Monitor : public InstalledProgram {
 public:
  Monitor() : InstalledProgram(L"quarnmon.exe") {}
};

inline HWND WaitForMonitorWindow(DWORD pid) {
  HWND found = nullptr;
  PumpUntil(
      [&] {
        HWND w = MonitorWindow();
        DWORD owner = 0;
        if (w) GetWindowThreadProcessId(w, &owner);
        if (w && owner == pid) found = w;
        return found != nullptr;
      },
      15000);
  return found;
}

// A window that records the messages it receives.
class Recorder {
 public:
  Recorder(const wchar_t* className, DWORD style, int x, int y, int w, int h) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Recorder::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, className, L"recorder", style, x, y, w, h, nullptr, nullptr,
                            wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Recorder() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }
  struct Received {
    UINT msg;
    WPARAM wParam;
    std::chrono::steady_clock::time_point at;
  };
  std::vector<Received> received;
  bool Got(UINT msg, WPARAM wParam) const {
    for (const auto& r : received)
      if (r.msg == msg && r.wParam == wParam) return true;
    return false;
  }
  int Count(UINT msg, WPARAM wParam) const {
    int n = 0;
    for (const auto& r : received) n += r.msg == msg && r.wParam == wParam;
    return n;
  }
  // Times of the messages `msg` with `wParam`, in arrival order.
  std::vector<std::chrono::steady_clock::time_point> Times(UINT msg, WPARAM wParam) const {
    std::vector<std::chrono::steady_clock::time_point> t;
    for (const auto& r : received)
      if (r.msg == msg && r.wParam == wParam) t.push_back(r.at);
    return t;
  }
  bool GotMessage(UINT msg) const {
    for (const auto& r : received)
      if (r.msg == msg) return true;
    return false;
  }

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<Recorder*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self && (m == WM_PROFILE_SWITCHED || m == WM_TERMINATE_CONFIG || m == WM_LANGUAGE_CHANGED ||
                 m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_RBUTTONUP ||
                 m == WM_KEYDOWN || m == WM_KEYUP))
      self->received.push_back({m, w, std::chrono::steady_clock::now()});
    return DefWindowProcW(h, m, w, l);
  }
  HWND hwnd_;
};

inline void Xdotool(const std::wstring& args) {
  std::wstring cmd = L"Z:\\usr\\bin\\xdotool " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(L"Z:\\usr\\bin\\xdotool", cmd.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, nullptr, &si, &pi));
  // A Unix process gives no handle to wait on: let it run.
  PumpUntil([] { return false; }, 300);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

// Clicks the window at (x, y) with a real left click and brings it forward
// with the keyboard focus.
inline void FocusByClick(HWND hwnd, int x, int y) {
  Xdotool(L"mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y));
  Xdotool(L"click 1");
  SetForegroundWindow(hwnd);
  SetFocus(hwnd);
  PumpUntil([] { return false; }, 200);
}

// The installed monitor started over a focused target window of this test
// (100,100 300x300, the pointer on it at 250,250), beside a hidden window of
// the configuration program's class that records what the monitor tells it.
class MonitorOverTarget : public ::testing::Test {
 protected:
  void StartMonitorOver(const wchar_t* targetClass) {
    target = std::make_unique<Recorder>(targetClass, WS_POPUP | WS_VISIBLE, 100, 100, 300, 300);
    config = std::make_unique<Recorder>(L"TQUARNCfgMain", WS_POPUP, 0, 0, 10, 10);
    PumpUntil([] { return false; }, 200);
    monitor = std::make_unique<Monitor>();
    mon = WaitForMonitorWindow(monitor->pid());
    ASSERT_NE(mon, nullptr);
    PumpUntil([] { return false; }, 500);
    FocusByClick(target->hwnd(), 250, 250);
    target->received.clear();
  }
  bool MonitorAlive() {
    DWORD code = 0;
    return !monitor->WaitExit(0, &code) && IsWindow(mon);
  }
  void TearDown() override {
    monitor.reset();
    target.reset();
    config.reset();
  }
  std::unique_ptr<Recorder> target, config;
  std::unique_ptr<Monitor> monitor;
  HWND mon = nullptr;
};

// Stores the profiles as the configuration program's apply would, with an edit
// of profile 1 (the current one).
inline void StoreProfiles(const std::function<void(TMouseProfileInfo&)>& edit) {
  quarn::DataModuleHost host;
  DM->SwitchToProfile(0);
  DM->RestoreCurrentProfileInfoToDefault();
  edit(DM->FCurrentProfileInfo);
  DM->SaveCurrentProfileInfoToRegistry();
  DM->SaveCurrentProfileInfoToFile();
  DM->SaveBackAllProfileSettingInfo();
}

}  // namespace quarn::e2e
