// The Windows mouse settings writer against the real system settings and the
// user's registry, the monitor link against a window of the monitor's class,
// and the single-instance mutex.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "mouse_apply_params.h"
#include "shared_tables.h"
#include "single_instance.h"
#include "wide.h"
#include "win_double_click_time.h"
#include "win_monitor_link.h"
#include "win_mouse_settings.h"
#include "window_messages.h"

namespace quarn {
namespace {

using namespace std::chrono_literals;

std::wstring ReadUserString(const wchar_t* key, const wchar_t* name) {
  wchar_t buffer[64] = {};
  DWORD size = sizeof buffer;
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS)
    return L"<missing>";
  return buffer;
}

struct SystemMouse {
  int triple[3] = {};
  int speed = 0;
  UINT lines = 0;
  UINT trails = 0;
};

SystemMouse ReadSystemMouse() {
  SystemMouse m;
  SystemParametersInfoW(SPI_GETMOUSE, 0, m.triple, 0);
  SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &m.speed, 0);
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &m.lines, 0);
  SystemParametersInfoW(SPI_GETMOUSETRAILS, 0, &m.trails, 0);
  return m;
}

class MouseSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = ReadSystemMouse(); }
  void TearDown() override {
    SystemParametersInfoW(SPI_SETMOUSE, 0, saved_.triple, SPIF_UPDATEINIFILE);
    SystemParametersInfoW(SPI_SETMOUSESPEED, static_cast<UINT>(saved_.speed),
                          reinterpret_cast<PVOID>(static_cast<INT_PTR>(saved_.speed)),
                          SPIF_UPDATEINIFILE);
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, saved_.lines, nullptr, SPIF_UPDATEINIFILE);
    SystemParametersInfoW(SPI_SETMOUSETRAILS, saved_.trails, nullptr, SPIF_UPDATEINIFILE);
  }
  SystemMouse saved_;
  WinMouseSettingsWriter writer_;
};

TEST_F(MouseSettingsTest, AppliedValuesReachTheSystemAndTheUsersRegistry) {
  const TMouseApplyParams params{7, 20, 2, 0};
  EXPECT_EQ(ApplyWindowsMouseSettings(params, writer_), 0);
  const SystemMouse m = ReadSystemMouse();
  EXPECT_EQ(m.triple[0], 4);
  EXPECT_EQ(m.triple[1], 6);
  EXPECT_EQ(m.triple[2], 2);
  EXPECT_EQ(m.speed, 7);
  EXPECT_EQ(m.lines, 20u);  // "one page" is given as 20 lines
  EXPECT_EQ(ReadUserString(L"Control Panel\\Mouse", L"MouseThreshold1"), L"4");
  EXPECT_EQ(ReadUserString(L"Control Panel\\Mouse", L"MouseThreshold2"), L"6");
  EXPECT_EQ(ReadUserString(L"Control Panel\\Mouse", L"MouseSpeed"), L"2");
  EXPECT_EQ(ReadUserString(L"Control Panel\\Mouse", L"MouseSensitivity"), L"7");
  EXPECT_EQ(ReadUserString(L"Control Panel\\Desktop", L"WheelScrollLines"), L"20");
}

TEST_F(MouseSettingsTest, EachSpeedIsStoredAsGiven) {
  for (int speed : {1, 11, 20, 3}) {
    ASSERT_TRUE(writer_.SetMouseSpeed(speed)) << speed;
    EXPECT_EQ(ReadSystemMouse().speed, speed);
    EXPECT_EQ(ReadUserString(L"Control Panel\\Mouse", L"MouseSensitivity"), std::to_wstring(speed));
  }
}

TEST_F(MouseSettingsTest, InvalidValuesLeaveTheirSettingAsItWas) {
  ASSERT_EQ(ApplyWindowsMouseSettings({5, 3, 1, 0}, writer_), 0);
  // Wheel lines 0 would switch scrolling off for every program.
  EXPECT_EQ(ApplyWindowsMouseSettings({9, 0, 7, 0}, writer_), 2);
  const SystemMouse m = ReadSystemMouse();
  EXPECT_EQ(m.lines, 3u);
  EXPECT_EQ(m.triple[0], 7);  // acceleration 1 stays
  EXPECT_EQ(m.triple[2], 1);
  EXPECT_EQ(m.speed, 9);  // the valid one was still made
  EXPECT_EQ(ReadUserString(L"Control Panel\\Desktop", L"WheelScrollLines"), L"3");
}

// A window of the monitor's class on its own thread, recording what it receives.
class FakeMonitorWindow {
 public:
  FakeMonitorWindow() {
    thread_ = std::thread([this] { Run(); });
    while (!ready_) std::this_thread::sleep_for(1ms);
  }
  ~FakeMonitorWindow() {
    hold_ = false;
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  // The window stops answering until Release.
  void Hang() { PostMessageW(hwnd_, WM_APP, 0, 0); }
  void Release() { hold_ = false; }
  std::vector<std::vector<std::int64_t>> Received() {
    std::lock_guard lock(mutex_);
    return received_;
  }

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<FakeMonitorWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self && m == WM_APP) {
      self->hold_ = true;
      while (self->hold_) std::this_thread::sleep_for(5ms);  // hung: pumps nothing
      return 0;
    }
    if (self && m >= WM_SETTINGS_APPLIED && m <= WM_PROFILE_SWITCHED) {
      std::lock_guard lock(self->mutex_);
      self->received_.push_back({m, static_cast<std::int64_t>(w), l});
      return 0;
    }
    if (m == WM_CLOSE) {
      DestroyWindow(h);
      return 0;
    }
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(h, m, w, l);
  }
  void Run() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TQUARNMonMain";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowW(L"TQUARNMonMain", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                          wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ready_ = true;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnregisterClassW(L"TQUARNMonMain", wc.hInstance);
  }
  std::thread thread_;
  HWND hwnd_ = nullptr;
  std::atomic<bool> ready_{false};
  std::atomic<bool> hold_{false};
  std::mutex mutex_;
  std::vector<std::vector<std::int64_t>> received_;
};

std::u16string TempFolder() {
  wchar_t buffer[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, buffer);
  return FromWide(buffer);
}

TEST(DoubleClickTimeTest, ThePageSpeedsReachTheSystemAtOnce) {
  const UINT saved = GetDoubleClickTime();
  WinDoubleClickTime setter;
  for (std::int32_t speed : {1, 7, 10}) {
    EXPECT_TRUE(setter.SetDoubleClickTime(DoubleClickTimeMs(speed)));
    EXPECT_EQ(GetDoubleClickTime(), DoubleClickTimeMs(speed)) << speed;
  }
  SetDoubleClickTime(saved);
}

TEST(MonitorLinkTest, WithoutAMonitorNothingIsSentOrActivated) {
  WinMonitorLink link(TempFolder());
  EXPECT_FALSE(link.ActivateMonitor());
  EXPECT_FALSE(link.SendToMonitor(WM_SETTINGS_APPLIED, 0, 0));
}

TEST(MonitorLinkTest, MessagesReachTheMonitorWithTheirParameters) {
  FakeMonitorWindow monitor;
  WinMonitorLink link(TempFolder());
  EXPECT_TRUE(link.ActivateMonitor());
  EXPECT_TRUE(link.SendToMonitor(WM_SETTINGS_APPLIED, 0, 0));
  EXPECT_TRUE(link.SendToMonitor(WM_LANGUAGE_CHANGED, 2, 0));
  EXPECT_EQ(monitor.Received(), (std::vector<std::vector<std::int64_t>>{
                                    {WM_SETTINGS_APPLIED, 0, 0}, {WM_LANGUAGE_CHANGED, 2, 0}}));
}

TEST(MonitorLinkTest, AHungMonitorDoesNotHoldTheSender) {
  FakeMonitorWindow monitor;
  WinMonitorLink link(TempFolder(), 300);
  monitor.Hang();
  std::this_thread::sleep_for(50ms);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.SendToMonitor(WM_SETTINGS_APPLIED, 0, 0));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  monitor.Release();
}

TEST(MonitorLinkTest, AMissingMonitorProgramFailsQuietly) {
  // No quarnmon.exe in the folder: no error box, just false.
  WinMonitorLink link(TempFolder() + u"no such folder\\");
  EXPECT_FALSE(link.StartMonitor());
  WinMonitorLink noFolder(u"");
  EXPECT_FALSE(noFolder.StartMonitor());
}

TEST(SingleInstanceTest, ASecondInstanceIsRefusedUntilTheFirstEnds) {
  for (std::u16string_view name :
       {std::u16string_view(u"quarn-test-single-instance"), ProgramNames[CFG_MAIN_CLASS_NAME]}) {
    auto first = SingleInstance::Acquire(name);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(SingleInstance::Acquire(name), nullptr);
    first.reset();
    EXPECT_NE(SingleInstance::Acquire(name), nullptr);
  }
  EXPECT_EQ(SingleInstance::Acquire(u""), nullptr);
}

}  // namespace
}  // namespace quarn
