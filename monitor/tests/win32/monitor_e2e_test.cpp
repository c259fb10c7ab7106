// quarnmon.exe from the install folder, driven from outside as a user and the
// configuration program would: a stand-in configuration window receives its
// messages, real X mouse clicks (xdotool) land on a window of this test.
#include <cstdio>

#include "e2e_support.h"
#include "mon_commands.h"

namespace {

using namespace quarn::e2e;

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
  const auto before = std::chrono::steady_clock::now();
  ASSERT_TRUE(SendMessageTimeoutW(mon, WM_SETTINGS_APPLIED, 0, 0, SMTO_NORMAL, 10000, &result));
  const auto reload = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - before);
  RecordProperty("reload_after_apply_us", static_cast<int>(reload.count()));
  std::printf("reload after apply: %.1f ms\n", reload.count() / 1000.0);
  target.received.clear();
  Xdotool(L"click 3");
  EXPECT_TRUE(PumpUntil([&] { return target.GotMessage(WM_RBUTTONDOWN); }, 5000))
      << "with the defaults applied the right click passes again";
}

}  // namespace
