// The hook component with the real hook library and real X input (xdotool)
// over a window of this program: side buttons are swallowed or passed as the
// filters say, a key combination is recorded from real key presses, a key
// held when macro recording starts is released for the system, and a
// component destroyed with its hook installed leaves nothing behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "input_window.h"
#include "vn_hook.h"
#include "win_hook_platform.h"

namespace {

using quarn::testing::InputWindow;
using quarn::testing::Pump;
using quarn::testing::PumpUntil;
using quarn::testing::StartXdotool;

// X buttons 8 and 9 are the side buttons: XBUTTON1 and XBUTTON2.
std::wstring ClickOverWindow(int button) {
  return L"mousemove " + std::to_wstring(InputWindow::kCenterX) + L" " +
         std::to_wstring(InputWindow::kCenterY) + L" click " + std::to_wstring(button);
}

struct Report {
  TMouseButtons button;
  std::int32_t state;
  bool operator==(const Report&) const = default;
};

class X11Input : public ::testing::Test {
 protected:
  X11Input() : hook(std::make_unique<TvnHook>(platform)) {}

  // The monitor's way: the back button (XBUTTON1) has another function, the
  // forward button (XBUTTON2) keeps its own.
  void FilterSideButtons() {
    hook->StopHookMouse();
    hook->RemoveAllMouseHookObject();
    for (auto [button, modified] : {std::pair{XCLICK5, XCLICK5}, std::pair{XCLICK4, BUTTON_NONE}}) {
      auto f = std::make_unique<TMouseHookDetailObject>();
      f->FMouseHookDetail.MouseButton = button;
      f->FMouseHookDetail.MouseStateSet = {XBUTTONDOWN, XBUTTONUP};
      f->FMouseHookDetail.ModifiedFunction = modified;
      hook->AddMouseHookObject(std::move(f));
    }
    hook->OnHookMouseButton = [this](TvnHook&, TMouseButtons b, std::int32_t state, bool& blocked) {
      reports.push_back({b, state});
      blocked = true;
    };
    hook->StartHookMouse();
  }

  quarn::WinHookPlatform platform;
  InputWindow& window = quarn::testing::TestWindow();
  std::unique_ptr<TvnHook> hook;
  std::vector<Report> reports;
};

TEST_F(X11Input, AFilteredSideButtonIsSwallowedAndReported) {
  ASSERT_TRUE(hook->DLLLoaded());
  FilterSideButtons();
  ASSERT_TRUE(StartXdotool(ClickOverWindow(8)));
  EXPECT_TRUE(PumpUntil([&] { return reports.size() >= 2; }, 10000));
  Pump(300);
  EXPECT_EQ(reports, (std::vector<Report>{{XCLICK4, 1}, {XCLICK4, 0}}));
  EXPECT_EQ(window.Count(WM_XBUTTONDOWN), 0);
  EXPECT_EQ(window.Count(WM_XBUTTONUP), 0);
}

TEST_F(X11Input, AnUnfilteredSideButtonPasses) {
  FilterSideButtons();
  ASSERT_TRUE(StartXdotool(ClickOverWindow(9)));
  EXPECT_TRUE(PumpUntil([&] { return window.Count(WM_XBUTTONUP, XBUTTON2) == 1; }, 10000));
  EXPECT_EQ(window.Count(WM_XBUTTONDOWN, XBUTTON2), 1);
  EXPECT_TRUE(reports.empty());
}

TEST_F(X11Input, AKeyCombinationIsRecordedFromRealKeyPresses) {
  struct Combo {
    std::int32_t key1, key2, modifier;
    std::u16string text;
  };
  std::vector<Combo> combos;
  hook->OnRecordKeyboardComboKey = [&](TvnHook&, std::int32_t k1, std::int32_t, std::int32_t k2,
                                       std::int32_t, std::int32_t mod, const std::u16string& text) {
    combos.push_back({k1, k2, mod, text});
  };
  hook->RecordKeyboardComboKey();
  // Over the window, so that its thread gets the keys (no window manager here). Ctrl is
  // held a moment before A, as a hand does: the recorder reads the thread's key state,
  // which follows Ctrl only once the window's thread has taken its key message.
  ASSERT_TRUE(StartXdotool(L"mousemove " + std::to_wstring(InputWindow::kCenterX) + L" " +
                           std::to_wstring(InputWindow::kCenterY) +
                           L" keydown Control_L sleep 0.2 key --delay 30 a b keyup Control_L"));
  EXPECT_TRUE(PumpUntil([&] { return !combos.empty() && combos.back().key2 == 'B'; }, 10000));
  Pump(300);
  hook->StopRecordKeyboardComboKey();
  ASSERT_FALSE(combos.empty());
  EXPECT_EQ(combos.back().key1, 'A');
  EXPECT_EQ(combos.back().key2, 'B');
  EXPECT_EQ(combos.back().modifier, 2);
  EXPECT_EQ(combos.back().text, u"Ctrl+A+B");
  for (const auto& m : window.log) {
    if (m.message == WM_KEYDOWN) {
      EXPECT_NE(m.wParam, WPARAM{'A'}) << "recorded keys are swallowed";
      EXPECT_NE(m.wParam, WPARAM{'B'}) << "recorded keys are swallowed";
    }
  }
}

TEST_F(X11Input, AKeyHeldWhenMacroRecordingStartsIsNotLeftDown) {
  const std::wstring overWindow = L"mousemove " + std::to_wstring(InputWindow::kCenterX) + L" " +
                                  std::to_wstring(InputWindow::kCenterY);
  ASSERT_TRUE(StartXdotool(overWindow + L" keydown Shift_L"));
  const bool held = PumpUntil([&] { return (GetKeyState(VK_LSHIFT) & 0x8000) != 0; }, 10000);
  if (!held) StartXdotool(L"keyup Shift_L");
  ASSERT_TRUE(held) << "Shift is down before recording starts";

  std::vector<std::pair<std::int32_t, std::int32_t>> recorded;  // key, state
  hook->OnRecordKeyboardMacroKeyEx =
      [&](TvnHook&, std::int32_t, std::int32_t key, std::int32_t state, std::int32_t, double,
          std::uint32_t, const std::u16string&, const std::u16string&, const TvnMacroKeyList&) {
        recorded.push_back({key, state});
      };
  hook->RecordKeyboardMacroKeyEx();
  window.log.clear();
  ASSERT_TRUE(StartXdotool(overWindow + L" key --delay 30 a keyup Shift_L"));
  EXPECT_TRUE(PumpUntil(
      [&] {
        return !recorded.empty() && recorded.back() == std::pair{VK_LSHIFT, 0};
      },
      10000));
  Pump(300);
  hook->StopRecordKeyboardMacroKeyEx();
  Pump(100);

  EXPECT_EQ(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0) << "Shift is up for the system";
  EXPECT_EQ(GetKeyState(VK_LSHIFT) & 0x8000, 0) << "and for this thread";
  if (GetAsyncKeyState(VK_SHIFT) & 0x8000) {
    // Leave no stuck key to the tests that follow.
    INPUT up{};
    up.type = INPUT_KEYBOARD;
    up.ki.wVk = VK_LSHIFT;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &up, sizeof up);
    Pump(100);
  }
  int shiftUps = 0;
  for (const auto& m : window.log) {
    if (m.message == WM_KEYDOWN) {
      EXPECT_NE(m.wParam, WPARAM{'A'}) << "recorded keys are swallowed";
    }
    if (m.message == WM_KEYUP && m.wParam == VK_SHIFT) ++shiftUps;
  }
  EXPECT_EQ(shiftUps, 1) << "the release of the held Shift reached the window";
  EXPECT_EQ(recorded, (std::vector<std::pair<std::int32_t, std::int32_t>>{
                          {'A', 1}, {'A', 0}, {VK_LSHIFT, 0}}))
      << "the release is still recorded";
}

TEST_F(X11Input, DestroyingTheComponentWithItsHookInstalledLeavesNothingBehind) {
  FilterSideButtons();
  hook.reset();  // the mouse hook is still installed
  EXPECT_EQ(GetModuleHandleW(L"vnHook.dll"), nullptr);
  ASSERT_TRUE(StartXdotool(ClickOverWindow(8)));
  EXPECT_TRUE(PumpUntil([&] { return window.Count(WM_XBUTTONUP, XBUTTON1) == 1; }, 10000))
      << "the next event reaches the window";
  EXPECT_EQ(window.Count(WM_XBUTTONDOWN, XBUTTON1), 1);
  EXPECT_TRUE(reports.empty());
}

}  // namespace
