// quarnmon.exe from the install folder under a hostile or unlucky user: a
// hammered macro button, a cut profile file, Exit during a long delay, polite
// close requests and a reload that changes the current profile. Checked with
// real X input over a window of this test; "alive" means the process runs and
// its window exists, since under Wine a crash can end a program with code 0.
#include <cstring>

#include "e2e_support.h"
#include "mon_commands.h"
#include "wide.h"

namespace {

using namespace quarn::e2e;
using Clock = std::chrono::steady_clock;

long Ms(Clock::duration d) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

// Button entry: a macro of "key down, `ms` delay, key up".
void SetHoldMacro(TBUTTONFUNCINFO& b, std::uint8_t vk, std::uint16_t ms) {
  b.FunctionKind = FUNCKIND_MACRO;
  b.MenuID = 18;
  TMACROKEYINFO& m = b.MacroKeyInfo;
  std::memset(&m, 0, sizeof m);
  m.MacroList[0].nKeyType = MACROKEY_KEYBOARD;
  m.MacroList[0].nKeyState = 1;
  m.MacroList[0].nKeyValue = vk;
  m.MacroList[1].nKeyType = MACROKEY_DELAY;
  m.MacroList[1].DELAY_L = static_cast<std::uint8_t>(ms & 0xFF);
  m.MacroList[1].DELAY_H = static_cast<std::uint8_t>(ms >> 8);
  m.MacroList[2].nKeyType = MACROKEY_KEYBOARD;
  m.MacroList[2].nKeyState = 2;
  m.MacroList[2].nKeyValue = vk;
  m.MacroListCount = 3;
  m.Version = MACRO_FORMAT_VERSION;
}

// WM_KEYDOWN or WM_KEYUP, whichever of them came last for `vk`.
UINT LastKeyMessage(const Recorder& r, WPARAM vk) {
  UINT last = 0;
  for (const auto& m : r.received)
    if ((m.msg == WM_KEYDOWN || m.msg == WM_KEYUP) && m.wParam == vk) last = m.msg;
  return last;
}

bool KeyIsDown(int vk) {
  return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

class RobustnessE2E : public MonitorOverTarget {
 protected:
  void Start() { StartMonitorOver(L"QuarnRobustTarget"); }
};

TEST_F(RobustnessE2E, HammeringAMacroButtonLeavesTheMonitorAliveAndExitLetsGoOfEveryKey) {
  StoreProfiles(
      [](TMouseProfileInfo& p) { SetHoldMacro(p.ConfigInfo.ButtonFuncInfo[3], 'A', 500); });
  Start();
  // 2500 clicks of X button 2, 8 ms apart: thousands of queued button messages.
  Xdotool(L"click --repeat 2500 --delay 8 9");
  // The clicking lasts some 20 s; the monitor must live through all of it.
  const auto until = Clock::now() + std::chrono::seconds(28);
  bool alive = true;
  while (alive && Clock::now() < until) {
    PumpUntil([] { return false; }, 1000);
    alive = MonitorAlive();
  }
  ASSERT_TRUE(alive) << "the monitor died under the clicks";
  EXPECT_TRUE(target->Got(WM_KEYDOWN, 'A')) << "the macros play";
  // Let the clicking end, then check it still answers.
  PumpUntil([] { return false; }, 2000);
  ASSERT_TRUE(MonitorAlive());
  DWORD_PTR result = 0;
  EXPECT_TRUE(SendMessageTimeoutW(mon, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result))
      << "the monitor answers while its queue is long";

  PostMessageW(mon, WM_COMMAND, IDM_EXIT, 0);
  DWORD code = 99;
  ASSERT_TRUE(monitor->WaitExit(10000, &code)) << "Exit ends the monitor with actions queued";
  EXPECT_EQ(code, 0u);
  PumpUntil([] { return false; }, 300);
  EXPECT_FALSE(KeyIsDown('A')) << "no key is left down";
  EXPECT_EQ(LastKeyMessage(*target, 'A'), static_cast<UINT>(WM_KEYUP));
}

TEST_F(RobustnessE2E, ACutProfileFileStillLetsEveryButtonThrough) {
  StoreProfiles([](TMouseProfileInfo& p) { p.ConfigInfo.ButtonFuncInfo[1].MenuID = 21; });
  std::wstring file;
  {
    quarn::DataModuleHost host;
    TvnProfile& p = *DM->FProfileGroup[0];
    file = quarn::ToWide(p.FilePath()) + quarn::ToWide(p.FileName());
  }
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  SetFilePointer(h, 100, nullptr, FILE_BEGIN);
  SetEndOfFile(h);
  CloseHandle(h);

  Start();
  Xdotool(L"click 1");
  Xdotool(L"click 3");
  EXPECT_TRUE(PumpUntil([&] { return target->GotMessage(WM_LBUTTONDOWN); }, 5000))
      << "a real left click reaches the window";
  EXPECT_TRUE(PumpUntil([&] { return target->GotMessage(WM_RBUTTONDOWN); }, 5000))
      << "and so does a right click";
  EXPECT_TRUE(MonitorAlive());
}

TEST_F(RobustnessE2E, ExitDuringAFiveSecondDelayEndsAtOnceWithTheKeyReleased) {
  StoreProfiles(
      [](TMouseProfileInfo& p) { SetHoldMacro(p.ConfigInfo.ButtonFuncInfo[3], 'B', 5000); });
  Start();
  Xdotool(L"click 9");
  ASSERT_TRUE(PumpUntil([&] { return target->Got(WM_KEYDOWN, 'B'); }, 5000));
  PumpUntil([] { return false; }, 300);
  EXPECT_TRUE(KeyIsDown('B')) << "the macro holds B during its delay";

  const auto asked = Clock::now();
  PostMessageW(mon, WM_COMMAND, IDM_EXIT, 0);
  EXPECT_TRUE(PumpUntil([&] { return target->Got(WM_KEYUP, 'B'); }, 1000))
      << "Exit did not stop the macro and release B within a second";
  RecordProperty("exit_to_key_release_ms", static_cast<int>(Ms(Clock::now() - asked)));
  EXPECT_FALSE(KeyIsDown('B'));
  // Removing the tray icon can take the shell of the test session two seconds.
  DWORD code = 99;
  ASSERT_TRUE(monitor->WaitExit(10000, &code));
  RecordProperty("exit_to_process_end_ms", static_cast<int>(Ms(Clock::now() - asked)));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(config->Got(WM_TERMINATE_CONFIG, 0)) << "the configuration program is told";
}

TEST_F(RobustnessE2E, ACloseRequestEndsTheMonitorAsExitDoesButClosingTheAboutFaceHidesIt) {
  StoreProfiles([](TMouseProfileInfo& p) { p.ConfigInfo.ButtonFuncInfo[1].MenuID = 21; });
  Start();
  PostMessageW(mon, WM_COMMAND, IDM_ABOUT, 0);
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(mon) != FALSE; }, 3000));
  PostMessageW(mon, WM_CLOSE, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(mon) == FALSE; }, 3000));
  PumpUntil([] { return false; }, 300);
  ASSERT_TRUE(MonitorAlive()) << "closing the about face only hides it";

  PostMessageW(mon, WM_CLOSE, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return config->Got(WM_TERMINATE_CONFIG, 0); }, 5000))
      << "the configuration program is told, as Exit does";
  DWORD code = 99;
  ASSERT_TRUE(monitor->WaitExit(10000, &code)) << "a close request ends the monitor";
  EXPECT_EQ(code, 0u);
  Xdotool(L"click 3");
  EXPECT_TRUE(PumpUntil([&] { return target->GotMessage(WM_RBUTTONDOWN); }, 5000))
      << "the hook is gone: the disabled right button clicks again";
}

TEST_F(RobustnessE2E, ALanguageChangeThatSwitchesTheProfileRebuildsTheFilters) {
  StoreProfiles([](TMouseProfileInfo&) {});
  {
    // Profile 2 disables the right button; profile 1 stays current for now.
    quarn::DataModuleHost host;
    DM->SwitchToProfile(1);
    DM->RestoreCurrentProfileInfoToDefault();
    DM->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[1].MenuID = 21;
    DM->SaveCurrentProfileInfoToRegistry();
    DM->SaveCurrentProfileInfoToFile();
    DM->SwitchToProfile(0);
    DM->SaveBackAllProfileSettingInfo();
  }
  Start();
  Xdotool(L"click 3");
  ASSERT_TRUE(PumpUntil([&] { return target->GotMessage(WM_RBUTTONDOWN); }, 5000))
      << "profile 1 lets the right button click";

  {
    quarn::DataModuleHost host;
    DM->SwitchToProfile(1);
    DM->SaveBackAllProfileSettingInfo();
  }
  DWORD_PTR result = 0;
  ASSERT_TRUE(SendMessageTimeoutW(mon, WM_LANGUAGE_CHANGED, 0, 0, SMTO_NORMAL, 10000, &result));
  target->received.clear();
  Xdotool(L"click 3");
  Xdotool(L"click 1");
  ASSERT_TRUE(PumpUntil([&] { return target->GotMessage(WM_LBUTTONDOWN); }, 5000));
  EXPECT_FALSE(target->GotMessage(WM_RBUTTONDOWN))
      << "the reloaded current profile disables the right button";
}

}  // namespace
