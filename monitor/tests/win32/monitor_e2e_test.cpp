// quarnmon.exe from the install folder, driven from outside as a user and the
// configuration program would: a stand-in configuration window receives its
// messages, real X mouse clicks (xdotool) land on a window of this test.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "data_module.h"
#include "mon_commands.h"
#include "window_messages.h"

namespace {

std::wstring DistFolder() {
  std::wstring unixPath = QUARN_DIST_DIR_W;  // a Unix path, seen through Wine's Z: drive
  for (auto& c : unixPath)
    if (c == L'/') c = L'\\';
  return L"Z:" + unixPath + L"\\";
}

// Handles messages of this thread until `done` holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
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

HWND MonitorWindow() { return FindWindowW(L"TQUARNMonMain", nullptr); }

class Monitor {
 public:
  Monitor() {
    const std::wstring exe = DistFolder() + L"quarnmon.exe";
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    started_ = CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              DistFolder().c_str(), &si, &pi_);
  }
  ~Monitor() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(pi_.hProcess, 9);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }
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

HWND WaitForMonitorWindow(DWORD pid) {
  HWND found = nullptr;
  PumpUntil([&] {
    HWND w = MonitorWindow();
    DWORD owner = 0;
    if (w) GetWindowThreadProcessId(w, &owner);
    if (w && owner == pid) found = w;
    return found != nullptr;
  }, 15000);
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
  };
  std::vector<Received> received;
  bool Got(UINT msg, WPARAM wParam) const {
    for (const auto& r : received)
      if (r.msg == msg && r.wParam == wParam) return true;
    return false;
  }
  bool GotMessage(UINT msg) const {
    for (const auto& r : received)
      if (r.msg == msg) return true;
    return false;
  }

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<Recorder*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self && (m == WM_PROFILE_SWITCHED || m == WM_TERMINATE_CONFIG || m == WM_LBUTTONDOWN ||
                 m == WM_RBUTTONDOWN || m == WM_RBUTTONUP))
      self->received.push_back({m, w});
    return DefWindowProcW(h, m, w, l);
  }
  HWND hwnd_;
};

void Xdotool(const std::wstring& args) {
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

// Stores the profiles as the configuration program's apply would, with an edit
// of profile 1 (the current one).
void StoreProfiles(const std::function<void(TMouseProfileInfo&)>& edit) {
  quarn::DataModuleHost host;
  DM->SwitchToProfile(0);
  DM->RestoreCurrentProfileInfoToDefault();
  edit(DM->FCurrentProfileInfo);
  DM->SaveCurrentProfileInfoToRegistry();
  DM->SaveCurrentProfileInfoToFile();
  DM->SaveBackAllProfileSettingInfo();
}

TEST(MonitorE2E, SecondStartEndsAtOnceAndLeavesTheFirst) {
  StoreProfiles([](TMouseProfileInfo&) {});
  Monitor first;
  ASSERT_TRUE(first.started());
  HWND window = WaitForMonitorWindow(first.pid());
  ASSERT_NE(window, nullptr);
  Monitor second;
  ASSERT_TRUE(second.started());
  DWORD code = 99;
  ASSERT_TRUE(second.WaitExit(10000, &code)) << "a second monitor ends by itself";
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(MonitorWindow(), window) << "the first one runs on";
}

TEST(MonitorE2E, MenuSwitchesProfilesAndExitEndsBothPrograms) {
  StoreProfiles([](TMouseProfileInfo&) {});
  Recorder config(L"TQUARNCfgMain", WS_POPUP, 0, 0, 10, 10);
  auto monitor = std::make_unique<Monitor>();
  HWND mon = WaitForMonitorWindow(monitor->pid());
  ASSERT_NE(mon, nullptr);

  struct Step {
    UINT command;
    WPARAM expected;
  };
  const Step steps[] = {{IDM_PROFILE_FIRST + 2, 2},
                        {IDM_PROFILE_FIRST + 2, 2},  // the current one again still tells
                        {IDM_SWITCH_TO_NEXT_PROFILE, 3},
                        {IDM_PROFILE_FIRST + 4, 4},
                        {IDM_SWITCH_TO_NEXT_PROFILE, 0}};  // after profile 5 comes profile 1
  for (const auto& s : steps) {
    config.received.clear();
    PostMessageW(mon, WM_COMMAND, s.command, 0);
    EXPECT_TRUE(PumpUntil([&] { return config.GotMessage(WM_PROFILE_SWITCHED); }, 5000));
    EXPECT_TRUE(config.Got(WM_PROFILE_SWITCHED, s.expected)) << s.command;
  }

  config.received.clear();
  PostMessageW(mon, WM_COMMAND, IDM_EXIT, 0);
  EXPECT_TRUE(PumpUntil([&] { return config.GotMessage(WM_TERMINATE_CONFIG); }, 5000));
  DWORD code = 99;
  EXPECT_TRUE(monitor->WaitExit(10000, &code));
  monitor.reset();
  Monitor again;
  EXPECT_NE(WaitForMonitorWindow(again.pid()), nullptr) << "a new start succeeds";
}

TEST(MonitorE2E, DisabledRightButtonIsSwallowedUntilTheDefaultsAreApplied) {
  StoreProfiles([](TMouseProfileInfo& p) { p.ConfigInfo.ButtonFuncInfo[1].MenuID = 21; });
  Recorder target(L"QuarnClickTarget", WS_POPUP | WS_VISIBLE, 100, 100, 300, 300);
  PumpUntil([] { return false; }, 200);
  Monitor monitor;
  HWND mon = WaitForMonitorWindow(monitor.pid());
  ASSERT_NE(mon, nullptr);
  PumpUntil([] { return false; }, 500);

  Xdotool(L"mousemove 250 250");
  Xdotool(L"click 3");
  Xdotool(L"click 1");
  ASSERT_TRUE(PumpUntil([&] { return target.GotMessage(WM_LBUTTONDOWN); }, 5000))
      << "the left click reaches the window";
  EXPECT_FALSE(target.GotMessage(WM_RBUTTONDOWN)) << "the disabled right click does not";
  EXPECT_FALSE(target.GotMessage(WM_RBUTTONUP));

  StoreProfiles([](TMouseProfileInfo&) {});
  DWORD_PTR result = 0;
  ASSERT_TRUE(SendMessageTimeoutW(mon, WM_SETTINGS_APPLIED, 0, 0, SMTO_NORMAL, 10000, &result));
  target.received.clear();
  Xdotool(L"click 3");
  EXPECT_TRUE(PumpUntil([&] { return target.GotMessage(WM_RBUTTONDOWN); }, 5000))
      << "with the defaults applied the right click passes again";
}

}  // namespace
