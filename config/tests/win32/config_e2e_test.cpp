// quarncfg.exe and quarnmon.exe from the install folder, used as a user would: started
// twice, started with and without a monitor, opened and raised from the monitor's
// "Config" command, and clicked with real X input (xdotool) on a profile button and
// APPLY, after which the stored profile index, the Windows mouse settings and the
// monitor's button filters must all follow; started in the stored language, whose
// title it shows and which it tells the monitor; started with no update work left,
// which leaves the install folder as it was; and a button's function chosen in the
// function menu's real pop-up and applied.
#include <cstdio>
#include <string>
#include <vector>

#include "config_e2e_support.h"

namespace {

using namespace quarn::e2e;
using namespace quarn::config_e2e;
using G = quarn::MainWindowGeometry;

// Profiles as stored by an earlier apply: profile 1 the factory one and current,
// profile 3 with the right button disabled and its own pointer settings.
void StoreTwoProfiles() {
  quarn::DataModuleHost host;
  DM->SwitchToProfile(2);
  DM->RestoreCurrentProfileInfoToDefault();
  TMOUSECONFIGINFO& c = DM->FCurrentProfileInfo.ConfigInfo;
  c.ButtonFuncInfo[1].MenuID = 21;
  c.PointerAcceleration = 2;
  c.PointerSpeed = 7;
  c.VWheelSpeed = 5;
  DM->SaveCurrentProfileInfoToRegistry();
  DM->SaveCurrentProfileInfoToFile();
  DM->SwitchToProfile(0);
  DM->RestoreCurrentProfileInfoToDefault();
  DM->SaveCurrentProfileInfoToRegistry();
  DM->SaveCurrentProfileInfoToFile();
  DM->SaveBackAllProfileSettingInfo();
}

// Default profiles with the stored language index `language`.
void StoreLanguage(std::int32_t language) {
  StoreProfiles([](TMouseProfileInfo&) {});
  quarn::DataModuleHost host;
  DM->FAllProfileSettingInfo.CurrentLanguage = language;
  DM->SaveBackAllProfileSettingInfo();
}

// Every file under `folder` with its size and last write time, as "path|size|time" lines.
void ListFolder(const std::wstring& folder, std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW d{};
  HANDLE h = FindFirstFileW((folder + L"*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = d.cFileName;
    if (name == L"." || name == L"..") continue;
    if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out.push_back(folder + name + L"\\");
      ListFolder(folder + name + L"\\", out);
    } else {
      out.push_back(folder + name + L"|" + std::to_wstring(d.nFileSizeLow) + L"|" +
                    std::to_wstring(d.ftLastWriteTime.dwLowDateTime) + L"|" +
                    std::to_wstring(d.ftLastWriteTime.dwHighDateTime));
    }
  } while (FindNextFileW(h, &d));
  FindClose(h);
}

std::vector<std::wstring> FolderListing(const std::wstring& folder) {
  std::vector<std::wstring> out;
  ListFolder(folder, out);
  return out;
}

// CurrentProfileIndex of the stored "zykPROFILE.pfd"; -1 when unreadable.
int StoredProfileIndex() {
  std::vector<BYTE> data(40000);
  DWORD size = DWORD(data.size());
  if (RegGetValueW(HKEY_CURRENT_USER, L"software\\QUARNMouse", L"zykPROFILE.pfd", RRF_RT_REG_BINARY,
                   nullptr, data.data(), &size) != ERROR_SUCCESS ||
      size < 30956)
    return -1;
  std::int32_t index = -1;
  memcpy(&index, data.data() + 30952, sizeof index);
  return index;
}

std::wstring MouseRegistryValue(const wchar_t* key, const wchar_t* name) {
  wchar_t text[64] = {};
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS)
    return L"?";
  return text;
}

TEST_F(ConfigE2E, SecondStartEndsAtOnceAndLeavesTheFirstAlone) {
  StoreProfiles([](TMouseProfileInfo&) {});
  // A stand-in monitor keeps the real one from starting.
  Recorder monitor(kMonitorClass, WS_POPUP, 0, 0, 10, 10);
  Config first;
  ASSERT_TRUE(first.started());
  HWND window = WaitForConfigWindow(first.pid());
  ASSERT_NE(window, nullptr);
  const auto before = std::chrono::steady_clock::now();
  Config second;
  ASSERT_TRUE(second.started());
  DWORD code = 99;
  ASSERT_TRUE(second.WaitExit(10000, &code)) << "a second start ends by itself";
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - before);
  EXPECT_EQ(code, 0u);
  EXPECT_LT(took.count(), 5000);
  PumpUntil([] { return false; }, 300);
  const auto windows = WindowsOf(kConfigClass);
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0].hwnd, window);
  EXPECT_EQ(windows[0].pid, first.pid());
}

TEST_F(ConfigE2E, StartsTheMonitorOnlyWhenNoneRuns) {
  StoreProfiles([](TMouseProfileInfo&) {});
  {
    // One runs (a stand-in that holds no mutex): a real one would add a second window.
    Recorder monitor(kMonitorClass, WS_POPUP, 0, 0, 10, 10);
    Config config;
    ASSERT_NE(WaitForConfigWindow(config.pid()), nullptr);
    PumpUntil([] { return false; }, 3000);
    const auto monitors = WindowsOf(kMonitorClass);
    ASSERT_EQ(monitors.size(), 1u);
    EXPECT_EQ(monitors[0].pid, GetCurrentProcessId());
    PostMessageW(WaitForConfigWindow(config.pid()), WM_TERMINATE_CONFIG, 0, 0);
    DWORD code = 99;
    EXPECT_TRUE(config.WaitExit(5000, &code)) << "the terminate message ends it";
  }
  ASSERT_TRUE(WindowsOf(kMonitorClass).empty());
  Config config;
  ASSERT_NE(WaitForConfigWindow(config.pid()), nullptr);
  HWND started = nullptr;
  PumpUntil(
      [&] {
        for (const Found& f : WindowsOf(kMonitorClass))
          if (f.pid != GetCurrentProcessId() && f.pid != config.pid()) started = f.hwnd;
        return started != nullptr;
      },
      15000);
  EXPECT_NE(started, nullptr) << "quarnmon.exe was started from the install folder";
}

TEST_F(ConfigE2E, MonitorsConfigCommandOpensRestoresAndExitEndsBoth) {
  StoreProfiles([](TMouseProfileInfo&) {});
  Monitor monitor;
  HWND mon = WaitForMonitorWindow(monitor.pid());
  ASSERT_NE(mon, nullptr);
  PostMessageW(mon, WM_COMMAND, IDM_CONFIG, 0);
  HWND config = WaitForConfigWindow();
  ASSERT_NE(config, nullptr) << "the Config command starts quarncfg.exe";
  RECT r{};
  GetWindowRect(config, &r);
  EXPECT_EQ(r.right - r.left, 1024);
  EXPECT_EQ(r.bottom - r.top, 760);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 1024) / 2) << "centred";
  wchar_t title[128] = {};
  GetWindowTextW(config, title, 128);
  EXPECT_STREQ(title, L"QUARN Mouse Config");

  // Minimised by its own button, brought back by the command.
  ClickAt(config, G::kMinimise);
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(config) != FALSE; }, 5000));
  PostMessageW(mon, WM_COMMAND, IDM_CONFIG, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsIconic(config) && IsWindowVisible(config); }, 5000))
      << "a minimised window is restored when raised";
  PumpUntil([] { return false; }, 1000);
  EXPECT_EQ(WindowsOf(kConfigClass).size(), 1u) << "raised, not started again";

  PostMessageW(mon, WM_COMMAND, IDM_EXIT, 0);
  EXPECT_TRUE(WaitOwnerExit(config, 10000)) << "the monitor's Exit ends quarncfg too";
  DWORD code = 99;
  EXPECT_TRUE(monitor.WaitExit(10000, &code));
}

TEST_F(ConfigE2E, ClickedProfileAndApplyAreStoredSetForWindowsAndFollowedByTheMonitor) {
  StoreTwoProfiles();
  // Windows settings other than profile 3's, so that the apply has something to change.
  int before[3] = {0, 0, 0};
  SystemParametersInfoW(SPI_SETMOUSE, 0, before, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  SystemParametersInfoW(SPI_SETMOUSESPEED, 10, reinterpret_cast<void*>(10),
                        SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, 3, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);

  Recorder target(L"QuarnCfgClickTarget", WS_POPUP | WS_VISIBLE, 20, 900, 300, 110);
  Monitor monitor;
  ASSERT_NE(WaitForMonitorWindow(monitor.pid()), nullptr);
  Config config;
  HWND cfg = WaitForConfigWindow(config.pid());
  ASSERT_NE(cfg, nullptr);
  PumpUntil([] { return false; }, 800);

  // Profile 1: the right button passes.
  Xdotool(L"mousemove 170 955");
  Xdotool(L"click 3");
  ASSERT_TRUE(PumpUntil([&] { return target.GotMessage(WM_RBUTTONDOWN); }, 5000));

  ClickAt(cfg, G::BtnProfile(2));
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(StoredProfileIndex(), 0) << "a profile button alone stores nothing";
  ClickAt(cfg, G::StripButton(quarn::ConfigMainController::kApply));
  EXPECT_TRUE(PumpUntil([] { return StoredProfileIndex() == 2; }, 5000));

  // Read from the stored settings: this process keeps its own copy of what it set.
  EXPECT_TRUE(PumpUntil(
      [&] {
        return MouseRegistryValue(L"Control Panel\\Mouse", L"MouseSpeed") == L"2" &&
               MouseRegistryValue(L"Control Panel\\Mouse", L"MouseSensitivity") == L"7" &&
               MouseRegistryValue(L"Control Panel\\Desktop", L"WheelScrollLines") == L"5";
      },
      5000));
  EXPECT_EQ(MouseRegistryValue(L"Control Panel\\Mouse", L"MouseThreshold1"), L"4");
  EXPECT_EQ(MouseRegistryValue(L"Control Panel\\Mouse", L"MouseThreshold2"), L"6");
  EXPECT_EQ(MouseRegistryValue(L"Control Panel\\Mouse", L"MouseSpeed"), L"2");
  EXPECT_EQ(MouseRegistryValue(L"Control Panel\\Mouse", L"MouseSensitivity"), L"7");
  EXPECT_EQ(MouseRegistryValue(L"Control Panel\\Desktop", L"WheelScrollLines"), L"5");

  // The monitor reloaded: profile 3 disables the right button, the left one passes.
  target.received.clear();
  Xdotool(L"mousemove 170 955");
  Xdotool(L"click 3");
  Xdotool(L"click 1");
  ASSERT_TRUE(PumpUntil([&] { return target.GotMessage(WM_LBUTTONDOWN); }, 5000));
  EXPECT_FALSE(target.GotMessage(WM_RBUTTONDOWN)) << "the monitor follows the applied profile";
  EXPECT_TRUE(IsWindow(cfg)) << "APPLY keeps the window";
}

TEST_F(ConfigE2E, ResetAsksInTheOptionsAreaEscapeKeepsAndOkResetsForTheNextApply) {
  constexpr std::size_t kLed = 100168;  // R, G, B, brightness, breathing speed
  StoreProfiles([](TMouseProfileInfo& p) { p.ConfigInfo.LEDConfig.G = 200; });
  Recorder monitor(kMonitorClass, WS_POPUP, 0, 0, 10, 10);
  Config config;
  HWND cfg = WaitForConfigWindow(config.pid());
  ASSERT_NE(cfg, nullptr);
  PumpUntil([] { return false; }, 500);
  POINT origin{0, 0};
  ClientToScreen(cfg, &origin);

  ClickAt(cfg, G::kReset);
  HWND note = WaitForNoteDialog(config.pid());
  ASSERT_NE(note, nullptr);
  RECT r{};
  GetWindowRect(note, &r);
  EXPECT_EQ(r.left, origin.x + 660 + (324 - 304) / 2) << "centred in the options area";
  EXPECT_EQ(r.top, origin.y + 119 + (471 - 195) / 2);
  EXPECT_EQ(r.right - r.left, 304);
  EXPECT_FALSE(IsWindowEnabled(cfg)) << "the main window waits for the answer";
  // Keys go to the window under the pointer: park it on the dialog's text.
  Xdotool(L"mousemove " + std::to_wstring(r.left + 150) + L" " + std::to_wstring(r.top + 70));
  Xdotool(L"key Escape");
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(note) || !IsWindowVisible(note); }, 5000));
  EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(cfg) != FALSE; }, 5000));
  ClickAt(cfg, G::StripButton(quarn::ConfigMainController::kApply));
  PumpUntil([] { return false; }, 800);
  auto stored = StoredProfileBytes(L"zykProfile1.pfd");
  ASSERT_GT(stored.size(), kLed + 5);
  EXPECT_EQ(stored[kLed + 1], 200) << "Escape reset nothing";

  ClickAt(cfg, G::kReset);
  note = WaitForNoteDialog(config.pid());
  ASSERT_NE(note, nullptr);
  GetWindowRect(note, &r);
  // OK of the dialog frame: 50 from the left, in the bottom strip.
  Xdotool(L"mousemove " + std::to_wstring(r.left + 50 + 43) + L" " +
          std::to_wstring(r.bottom - 5 - 30));
  Xdotool(L"click 1");
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(note) || !IsWindowVisible(note); }, 5000));
  PumpUntil([] { return false; }, 300);
  stored = StoredProfileBytes(L"zykProfile1.pfd");
  EXPECT_EQ(stored[kLed + 1], 200) << "a reset is stored only by an apply";
  ClickAt(cfg, G::StripButton(quarn::ConfigMainController::kApply));
  EXPECT_TRUE(PumpUntil(
      [&] {
        stored = StoredProfileBytes(L"zykProfile1.pfd");
        return stored.size() > kLed + 5 && stored[kLed] == 0xFF && stored[kLed + 1] == 0;
      },
      5000));
  EXPECT_EQ(stored[kLed + 2], 0);
}

TEST_F(ConfigE2E, SideButtonGetsTheFunctionClickedInTheMenuAndApplyStoresIt) {
  constexpr int kSide = 3;       // BtnSet4, the first side button
  constexpr int kMiddleRow = 2;  // "Middle Click", third row of the function menu
  constexpr int kMiddleId = 3;
  constexpr int kRows = 21, kRowHeight = 30;
  StoreProfiles([](TMouseProfileInfo&) {});
  TBUTTONFUNCINFO before{}, nextBefore{};
  ASSERT_TRUE(StoredButton(L"zykProfile1.pfd", kSide, before));
  ASSERT_TRUE(StoredButton(L"zykProfile1.pfd", kSide + 1, nextBefore));
  ASSERT_NE(before.MenuID, kMiddleId) << "the choice must change the entry";
  Recorder monitor(kMonitorClass, WS_POPUP, 0, 0, 10, 10);
  Config config;
  HWND cfg = WaitForConfigWindow(config.pid());
  ASSERT_NE(cfg, nullptr);
  PumpUntil([] { return false; }, 500);

  ClickAt(cfg, G::BtnSet(kSide));
  HWND popup = WaitForMenuPopup(config.pid());
  ASSERT_NE(popup, nullptr) << "the function menu opens in a window of its own";
  RECT r{};
  GetWindowRect(popup, &r);
  POINT origin{0, 0};
  ClientToScreen(cfg, &origin);
  EXPECT_EQ(r.left, origin.x + LONG(G::kOptions.x)) << "over the options area";
  EXPECT_EQ(r.top, origin.y + LONG(G::kOptions.y) - 20) << "20 pixels above it";
  // The rows fill the window between equal margins.
  const LONG margin = ((r.bottom - r.top) - kRows * kRowHeight) / 2;
  ASSERT_GE(margin, 0);
  Xdotool(L"mousemove " + std::to_wstring(r.left + 60) + L" " +
          std::to_wstring(r.top + margin + kMiddleRow * kRowHeight + kRowHeight / 2));
  Xdotool(L"click 1");
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(popup) || !IsWindowVisible(popup); }, 5000))
      << "a choice closes the menu";
  PumpUntil([] { return false; }, 300);
  TBUTTONFUNCINFO entry{};
  ASSERT_TRUE(StoredButton(L"zykProfile1.pfd", kSide, entry));
  EXPECT_EQ(entry.MenuID, before.MenuID) << "a choice is stored only by an apply";

  ClickAt(cfg, G::StripButton(quarn::ConfigMainController::kApply));
  EXPECT_TRUE(PumpUntil(
      [&] { return StoredButton(L"zykProfile1.pfd", kSide, entry) && entry.MenuID == kMiddleId; },
      5000));
  TBUTTONFUNCINFO next{};
  ASSERT_TRUE(StoredButton(L"zykProfile1.pfd", kSide + 1, next));
  EXPECT_EQ(next.MenuID, nextBefore.MenuID) << "only the clicked button changes";
  DWORD code = 0;
  EXPECT_FALSE(config.WaitExit(0, &code)) << "the program is alive";
}

// The screen colour of a badge's fill, left of its number.
COLORREF BadgeColour(HWND config, const quarn::ui::RectF& r) {
  POINT p{LONG(r.x + 6), LONG(r.y + r.height / 2)};
  ClientToScreen(config, &p);
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return c;
}

TEST_F(ConfigE2E, HoveringAnAssignmentButtonLightsOnlyItsOwnBadgeOnTheMouse) {
  StoreProfiles([](TMouseProfileInfo&) {});
  Recorder monitor(kMonitorClass, WS_POPUP, 0, 0, 10, 10);
  Config config;
  HWND cfg = WaitForConfigWindow(config.pid());
  ASSERT_NE(cfg, nullptr);
  const COLORREF kResting = RGB(0xC8, 0x28, 0x32), kLit = RGB(0x01, 0xAB, 0xE7);
  // One badge per button, each resting until its own button is hovered.
  ASSERT_TRUE(PumpUntil([&] { return BadgeColour(cfg, G::Badge(0)) == kResting; }, 5000));
  for (int hovered = 0; hovered < 5; ++hovered) {
    Xdotool(L"mousemove " + ScreenCentre(cfg, G::BtnSet(hovered)));
    EXPECT_TRUE(PumpUntil([&] { return BadgeColour(cfg, G::Badge(hovered)) == kLit; }, 3000))
        << "badge " << hovered + 1 << " lights while its button is hovered";
    for (int other = 0; other < 5; ++other) {
      if (other == hovered) continue;
      EXPECT_EQ(BadgeColour(cfg, G::Badge(other)), kResting) << hovered << " " << other;
    }
  }
  Xdotool(L"mousemove " + ScreenCentre(cfg, G::kKeyFunctionsLabel));
  EXPECT_TRUE(PumpUntil([&] { return BadgeColour(cfg, G::Badge(4)) == kResting; }, 3000))
      << "leaving the button puts its badge out";
}

TEST_F(ConfigE2E, HammeredAssignmentButtonsThenTerminateWithTheMenuOpenEndCleanly) {
  StoreProfiles([](TMouseProfileInfo&) {});
  Recorder monitor(kMonitorClass, WS_POPUP, 0, 0, 10, 10);
  Config config;
  HWND cfg = WaitForConfigWindow(config.pid());
  ASSERT_NE(cfg, nullptr);
  PumpUntil([] { return false; }, 500);
  // Each click on another button while the menu is open closes it and opens it again.
  for (int round = 0; round < 3; ++round)
    for (int i = 0; i < 5; ++i) ClickAt(cfg, G::BtnSet(i));
  // Whether the last click of a burst finds the menu open or closing depends on
  // how the clicks and the closing interleave; after it, one click opens it.
  PumpUntil([] { return false; }, 1000);
  if (!WaitForMenuPopup(config.pid(), 1000)) ClickAt(cfg, G::BtnSet(4));
  ASSERT_NE(WaitForMenuPopup(config.pid()), nullptr) << "the menu still opens";
  DWORD code = 99;
  EXPECT_FALSE(config.WaitExit(0, &code)) << "alive after the hammering";
  PostMessageW(cfg, WM_TERMINATE_CONFIG, 0, 0);
  ASSERT_TRUE(config.WaitExit(5000, &code)) << "the open menu does not hold the program";
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(WindowsOf(L"TQuarnMenuPopup").empty());
}

TEST_F(ConfigE2E, TerminateWhileTheNoteIsOpenEndsTheProgramCleanly) {
  StoreProfiles([](TMouseProfileInfo&) {});
  Recorder monitor(kMonitorClass, WS_POPUP, 0, 0, 10, 10);
  Config config;
  HWND cfg = WaitForConfigWindow(config.pid());
  ASSERT_NE(cfg, nullptr);
  PumpUntil([] { return false; }, 500);
  ClickAt(cfg, G::kReset);
  ASSERT_NE(WaitForNoteDialog(config.pid()), nullptr);
  PostMessageW(cfg, WM_TERMINATE_CONFIG, 0, 0);
  DWORD code = 99;
  ASSERT_TRUE(config.WaitExit(5000, &code)) << "the open dialog does not hold the program";
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(WindowsOf(L"TQuarnFrameDialog").empty());
}

TEST_F(ConfigE2E, ProfileSwitchesFromTheMonitorAreCheckedAndSurviveHammering) {
  StoreProfiles([](TMouseProfileInfo&) {});
  Recorder monitor(kMonitorClass, WS_POPUP, 0, 0, 10, 10);
  Config config;
  HWND cfg = WaitForConfigWindow(config.pid());
  ASSERT_NE(cfg, nullptr);
  struct Case {
    const char* why;
    WPARAM wParam;
    int stored;  // the stored current profile afterwards
  };
  const Case cases[] = {
      {"a valid index is switched to and saved", 3, 3},
      {"the shown one again changes nothing", 3, 3},
      {"one past the last is ignored", 5, 3},
      {"a negative index is ignored", WPARAM(-1), 3},
#ifdef _WIN64
      {"high bits do not make a small index", WPARAM(0x100000002ULL), 3},
#endif
      {"back to the first", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    DWORD_PTR result = 0;
    ASSERT_TRUE(
        SendMessageTimeoutW(cfg, WM_PROFILE_SWITCHED, c.wParam, 0, SMTO_NORMAL, 5000, &result))
        << "answered in time";
    EXPECT_EQ(StoredProfileIndex(), c.stored);
  }
  // A flood of switches, sent and posted, then the program still answers and ends cleanly.
  for (int i = 0; i < 300; ++i) {
    PostMessageW(cfg, WM_PROFILE_SWITCHED, WPARAM(i % 7), 0);
    if (i % 10 == 0) {
      DWORD_PTR result = 0;
      SendMessageTimeoutW(cfg, WM_PROFILE_SWITCHED, WPARAM(i % 5), 0, SMTO_NORMAL, 5000, &result);
    }
  }
  DWORD_PTR result = 0;
  EXPECT_TRUE(SendMessageTimeoutW(cfg, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result));
  PostMessageW(cfg, WM_TERMINATE_CONFIG, 0, 0);
  DWORD code = 99;
  ASSERT_TRUE(config.WaitExit(10000, &code));
  EXPECT_EQ(code, 0u) << "ended by the message, not by a crash";
}

TEST_F(ConfigE2E, StartsInTheStoredLanguageAndTellsTheMonitor) {
  struct Case {
    const char* why;
    std::int32_t stored;
    const wchar_t* title;
    WPARAM told;  // the language index the monitor is sent
  };
  const Case cases[] = {
      {"Simplified Chinese", 1, L"QUARN 鼠标设置", 1},
      {"Traditional Chinese", 2, L"QUARN 滑鼠設定", 2},
      {"English", 0, L"QUARN Mouse Config", 0},
      {"an index past the languages falls back to the first", 7, L"QUARN Mouse Config", 0},
      {"a negative index falls back to the first", -3, L"QUARN Mouse Config", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    StoreLanguage(c.stored);
    Recorder monitor(kMonitorClass, WS_POPUP, 0, 0, 10, 10);
    Config config;
    HWND cfg = WaitForConfigWindow(config.pid());
    ASSERT_NE(cfg, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return monitor.Got(WM_LANGUAGE_CHANGED, c.told); }, 5000))
        << "the monitor is told the language";
    EXPECT_EQ(monitor.Count(WM_LANGUAGE_CHANGED, c.told), 1) << "once, at start";
    wchar_t title[128] = {};
    GetWindowTextW(cfg, title, 128);
    EXPECT_STREQ(title, c.title);
    PostMessageW(cfg, WM_TERMINATE_CONFIG, 0, 0);
    DWORD code = 99;
    ASSERT_TRUE(config.WaitExit(10000, &code));
    EXPECT_EQ(code, 0u) << "ended by the message, not by a crash";
  }
}

TEST_F(ConfigE2E, StartWithoutUpdateWorkLeavesTheInstallFolderAsItWas) {
  StoreProfiles([](TMouseProfileInfo&) {});
  const std::wstring dist = DistFolder();
  ASSERT_EQ(GetFileAttributesW((dist + L"upgcfg.zip").c_str()), INVALID_FILE_ATTRIBUTES)
      << "no update work is left in the install folder";
  const std::vector<std::wstring> before = FolderListing(dist);
  ASSERT_FALSE(before.empty());
  Recorder monitor(kMonitorClass, WS_POPUP, 0, 0, 10, 10);
  Config config;
  HWND cfg = WaitForConfigWindow(config.pid());
  ASSERT_NE(cfg, nullptr);
  PumpUntil([] { return false; }, 1000);
  PostMessageW(cfg, WM_TERMINATE_CONFIG, 0, 0);
  DWORD code = 99;
  ASSERT_TRUE(config.WaitExit(10000, &code));
  EXPECT_EQ(FolderListing(dist), before) << "nothing written, moved or removed";
  EXPECT_EQ(GetFileAttributesW((dist + L"upgLog.log").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
