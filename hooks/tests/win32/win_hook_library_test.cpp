// The hook library and the component's binding against Wine's real hooks:
// loading by full path, the missing and incomplete library, the library's
// duties (the enabling thread, Blocked, unhooking on unload) with input the
// test synthesises, and that such input is not filtered by the component.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "input_window.h"
#include "vn_hook.h"
#include "wide.h"
#include "win_hook_platform.h"

namespace {

using quarn::testing::InputWindow;
using quarn::testing::Pump;
using quarn::testing::PumpUntil;
using quarn::testing::SendMouse;

std::wstring ModulePath(HMODULE module) {
  wchar_t buf[MAX_PATH];
  const DWORD n = GetModuleFileNameW(module, buf, MAX_PATH);
  return std::wstring(buf, n);
}

std::u16string TempSubfolder(const wchar_t* name) {
  wchar_t buf[MAX_PATH];
  const DWORD n = GetTempPathW(MAX_PATH, buf);
  std::wstring dir = std::wstring(buf, n) + name;
  CreateDirectoryW(dir.c_str(), nullptr);
  return quarn::FromWide(dir);
}

TEST(WinHookBinding, LoadsFromTheProgramFolderAndReleasesWithTheLastComponent) {
  ASSERT_EQ(GetModuleHandleW(L"vnHook.dll"), nullptr);
  quarn::WinHookPlatform platform;
  auto first = std::make_unique<TvnHook>(platform);
  ASSERT_TRUE(first->DLLLoaded());
  HMODULE module = GetModuleHandleW(L"vnHook.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(quarn::FromWide(ModulePath(module)), quarn::ProgramFolder() + u"vnHook.dll");

  auto second = std::make_unique<TvnHook>(platform);
  EXPECT_TRUE(second->DLLLoaded());
  first.reset();
  EXPECT_NE(GetModuleHandleW(L"vnHook.dll"), nullptr) << "released with the last, not the first";
  second.reset();
  EXPECT_EQ(GetModuleHandleW(L"vnHook.dll"), nullptr);
}

TEST(WinHookBinding, MissingLibraryShowsTheMessageAndTheComponentGoesOnWithoutHooks) {
  quarn::WinHookPlatform platform(TempSubfolder(L"quarn-no-hook-library"));
  std::vector<std::pair<std::u16string, std::u16string>> shown;
  platform.ShowMessage = [&](std::u16string_view text, std::u16string_view caption) {
    shown.emplace_back(text, caption);
  };
  TvnHook hook(platform);
  EXPECT_FALSE(hook.DLLLoaded());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].first, u"vnHook.dll can not be found!");
  EXPECT_EQ(shown[0].second, u"Error");
  hook.StartHookMouse();
  hook.RecordKeyboardComboKey();
  hook.StopHookMouse();
  hook.StopRecordKeyboardComboKey();
  EXPECT_EQ(GetModuleHandleW(L"vnHook.dll"), nullptr);
}

TEST(WinHookBinding, ALibraryWithoutAllFourFunctionsIsReleasedSilently) {
  quarn::WinHookPlatform platform(quarn::ProgramFolder() + u"partial");
  int shown = 0;
  platform.ShowMessage = [&](std::u16string_view, std::u16string_view) { ++shown; };
  {
    TvnHook hook(platform);
    EXPECT_FALSE(hook.DLLLoaded());
    EXPECT_EQ(GetModuleHandleW(L"vnHook.dll"), nullptr);
  }
  EXPECT_EQ(shown, 0);
}

// --- the library's duties, through its exports -------------------------------

struct RawLog {
  std::atomic<DWORD> thread{0};
  std::atomic<int> calls{0};
  std::atomic<int> xbutton2Seen{0};
  std::atomic<bool> blockedWasClearOnEntry{true};
};

void QUARN_HOOK_CALL RawMouseCallback(void* context, std::int32_t nCode, std::uintptr_t wParam,
                                      std::intptr_t lParam, std::uint8_t* Blocked) {
  auto* log = static_cast<RawLog*>(context);
  log->thread = GetCurrentThreadId();
  ++log->calls;
  if (*Blocked != 0 || nCode < 0) log->blockedWasClearOnEntry = false;
  const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
  if ((wParam == WM_XBUTTONDOWN || wParam == WM_XBUTTONUP) &&
      HIWORD(event->mouseData) == XBUTTON2) {
    ++log->xbutton2Seen;
    *Blocked = 1;  // swallow the second side button only
  }
}

struct Exports {
  HMODULE module = nullptr;
  TEnableHookFunction enableMouse = nullptr;
  TDisableHookFunction disableMouse = nullptr;

  Exports() {
    module = LoadLibraryW(quarn::ToWide(quarn::ProgramFolder() + u"vnHook.dll").c_str());
    if (module == nullptr) return;
    enableMouse = reinterpret_cast<TEnableHookFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "EnableMouseHook")));
    disableMouse = reinterpret_cast<TDisableHookFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "DisableMouseHook")));
  }
};

TEST(WinHookLibrary, CallsBackOnTheEnablingThreadAndSwallowsWhatTheCallbackBlocks) {
  InputWindow& window = quarn::testing::TestWindow();
  Exports lib;
  ASSERT_NE(lib.enableMouse, nullptr);
  RawLog log;
  std::atomic<DWORD> workerId{0};
  std::atomic<bool> ready{false};
  std::thread worker([&] {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // a message queue for this thread
    workerId = GetCurrentThreadId();
    lib.enableMouse(&RawMouseCallback, &log, 0);
    ready = true;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    lib.disableMouse();
  });
  while (!ready) Sleep(1);

  SetCursorPos(InputWindow::kCenterX, InputWindow::kCenterY);
  SendMouse(MOUSEEVENTF_XDOWN, XBUTTON1);
  SendMouse(MOUSEEVENTF_XUP, XBUTTON1);
  SendMouse(MOUSEEVENTF_XDOWN, XBUTTON2);
  SendMouse(MOUSEEVENTF_XUP, XBUTTON2);
  EXPECT_TRUE(PumpUntil(
      [&] { return window.Count(WM_XBUTTONUP, XBUTTON1) == 1 && log.xbutton2Seen == 2; }, 5000));
  Pump(200);
  PostThreadMessageW(workerId, WM_QUIT, 0, 0);
  worker.join();

  EXPECT_EQ(log.thread, workerId.load());
  EXPECT_TRUE(log.blockedWasClearOnEntry);
  EXPECT_EQ(window.Count(WM_XBUTTONDOWN, XBUTTON1), 1) << "passed on";
  EXPECT_EQ(window.Count(WM_XBUTTONDOWN, XBUTTON2), 0) << "swallowed";
  EXPECT_EQ(window.Count(WM_XBUTTONUP, XBUTTON2), 0) << "swallowed";

  // Disabled: no more calls.
  const int calls = log.calls;
  SendMouse(MOUSEEVENTF_XDOWN, XBUTTON2);
  SendMouse(MOUSEEVENTF_XUP, XBUTTON2);
  EXPECT_TRUE(PumpUntil([&] { return window.Count(WM_XBUTTONUP, XBUTTON2) == 1; }, 5000));
  EXPECT_EQ(log.calls, calls);
  FreeLibrary(lib.module);
}

TEST(WinHookLibrary, UnloadingTheLibraryWithItsHookInstalledIsSafe) {
  InputWindow& window = quarn::testing::TestWindow();
  RawLog log;
  {
    Exports lib;
    ASSERT_NE(lib.enableMouse, nullptr);
    ASSERT_TRUE(lib.enableMouse(&RawMouseCallback, &log, 0));
    FreeLibrary(lib.module);  // with the hook still installed
  }
  ASSERT_EQ(GetModuleHandleW(L"vnHook.dll"), nullptr);
  SetCursorPos(InputWindow::kCenterX, InputWindow::kCenterY);
  SendMouse(MOUSEEVENTF_XDOWN, XBUTTON2);
  SendMouse(MOUSEEVENTF_XUP, XBUTTON2);
  EXPECT_TRUE(PumpUntil([&] { return window.Count(WM_XBUTTONUP, XBUTTON2) == 1; }, 5000))
      << "the event reaches the window, not a hook in freed code";
  EXPECT_EQ(log.calls, 0);
  // A hook left behind would have its library loaded again to call it.
  EXPECT_EQ(GetModuleHandleW(L"vnHook.dll"), nullptr) << "no hook of the library is left";
}

// --- the component with synthesised input -------------------------------------

TEST(WinHookComponent, InputTheProgramSynthesisesIsNotFiltered) {
  InputWindow& window = quarn::testing::TestWindow();
  quarn::WinHookPlatform platform;
  TvnHook hook(platform);
  ASSERT_TRUE(hook.DLLLoaded());
  auto f = std::make_unique<TMouseHookDetailObject>();
  f->FMouseHookDetail.MouseButton = XCLICK4;
  f->FMouseHookDetail.MouseStateSet = {XBUTTONDOWN, XBUTTONUP};
  hook.AddMouseHookObject(std::move(f));
  int reported = 0;
  hook.OnHookMouseButton = [&](TvnHook&, TMouseButtons, std::int32_t, bool& blocked) {
    ++reported;
    blocked = true;
  };
  hook.StartHookMouse();

  SetCursorPos(InputWindow::kCenterX, InputWindow::kCenterY);
  SendMouse(MOUSEEVENTF_XDOWN, XBUTTON1);
  SendMouse(MOUSEEVENTF_XUP, XBUTTON1);
  EXPECT_TRUE(PumpUntil([&] { return window.Count(WM_XBUTTONUP, XBUTTON1) == 1; }, 5000));
  EXPECT_EQ(window.Count(WM_XBUTTONDOWN, XBUTTON1), 1);
  EXPECT_EQ(reported, 0);
  hook.StopHookMouse();
}

}  // namespace
