// The function dialogs in real windows under Wine, driven with real keys and
// clicks (xdotool): a combination pressed while the key-combination dialog is
// open is what OK stores; CANCEL and closing store nothing; and once the dialog
// is gone no keyboard hook is left (keys typed afterwards reach another window).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "input_window.h"
#include "scene_window.h"
#include "vn_hook.h"
#include "win_function_dialogs.h"
#include "win_hook_platform.h"

namespace quarn::dialogs {
namespace {

using quarn::testing::InputWindow;
using quarn::testing::Pump;
using quarn::testing::PumpUntil;
using quarn::testing::StartXdotool;

// Records note requests; a note never blocks the test.
class Notes final : public ConfigDialogs {
 public:
  int ShowNoteDialog(const std::u16string&, const std::u16string& text, const std::u16string&, bool,
                     const ScreenRect&) override {
    texts.push_back(text);
    return 1;
  }
  void CloseOpenDialogs() override {}
  std::vector<std::u16string> texts;
};

// The options area the dialogs are centred in, away from the probe window.
constexpr ScreenRect kArea{560, 100, 1160, 700};
constexpr int kComboWidth = 300, kComboHeight = 201;
constexpr int kComboLeft = 560 + (600 - kComboWidth) / 2;
constexpr int kComboTop = 100 + (600 - kComboHeight) / 2;
// Centres of OK and CANCEL in the frame's bottom strip.
constexpr int kOkX = kComboLeft + 50 + 43, kCancelX = kComboLeft + 160 + 43;
constexpr int kButtonsY = kComboTop + kComboHeight - 5 - 60 + 10 + 20;

std::wstring N(int v) {
  return std::to_wstring(v);
}

HWND g_dialog = nullptr;
// A dialog still open after this long failed its test: closed so the run goes on.
void CALLBACK CloseStuckDialog(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_dialog) PostMessageW(g_dialog, WM_CLOSE, 0, 0);
}

class ComboKeyWindow : public ::testing::Test {
 protected:
  // Runs the dialog on `combo`; once it shows, xdotool plays `input`.
  int Run(TCOMBOKEYINFO& combo, const std::wstring& input) {
    WinFunctionDialogs dialogs(probe.hwnd, platform, notes, nullptr);
    dialogs.OnShowing = [&](ui::SceneWindow& w) {
      g_dialog = w.Handle();
      SetTimer(nullptr, 0, 20000, &CloseStuckDialog);
      if (!input.empty()) StartXdotool(input);
    };
    const int result = dialogs.ShowComboKeyDialog(combo, kArea);
    g_dialog = nullptr;
    return result;
  }
  // Ctrl+Shift+K pressed over the dialog as a hand does: modifiers held a moment first.
  static std::wstring PressCtrlShiftK() {
    return L"sleep 1.5 mousemove " + N(kComboLeft + 150) + L" " + N(kComboTop + 90) +
           L" keydown Control_L keydown Shift_L sleep 0.3 key k sleep 0.3 keyup Shift_L"
           L" keyup Control_L sleep 0.8 ";
  }
  // After the dialog: a key typed over the probe window reaches it.
  bool KeysReachTheProbe() {
    probe.log.clear();
    StartXdotool(L"mousemove " + N(InputWindow::kCenterX) + L" " + N(InputWindow::kCenterY) +
                 L" click 1 sleep 0.3 key z");
    return PumpUntil(
        [&] {
          for (const auto& m : probe.log)
            if (m.message == WM_KEYDOWN && m.wParam == 'Z') return true;
          return false;
        },
        10000);
  }

  ComboKeyWindow() {
    // A missing library fails the test instead of opening a message box.
    platform.ShowMessage = [](std::u16string_view, std::u16string_view) {};
  }
  WinHookPlatform platform;
  InputWindow& probe = quarn::testing::TestWindow();
  Notes notes;
};

TEST_F(ComboKeyWindow, PressedCombinationIsStoredOnOk) {
  {
    TvnHook hook(platform);
    ASSERT_TRUE(hook.DLLLoaded()) << "vnHook.dll beside the test program";
  }
  TCOMBOKEYINFO combo{0x43, 0, 0, 0, MODIFIER_CTRL};
  const int result =
      Run(combo, PressCtrlShiftK() + L"mousemove " + N(kOkX) + L" " + N(kButtonsY) + L" click 1");
  EXPECT_EQ(result, 1);
  const TCOMBOKEYINFO expected{'K', 0, 0, 0, MODIFIER_CTRL | MODIFIER_SHIFT};
  EXPECT_EQ(combo.nKeyValue1, expected.nKeyValue1);
  EXPECT_EQ(combo.nKeyValue2, expected.nKeyValue2);
  EXPECT_EQ(combo.nModifier, expected.nModifier);
  EXPECT_EQ(std::memcmp(&combo, &expected, sizeof combo), 0);
  EXPECT_TRUE(KeysReachTheProbe()) << "a keyboard hook was left behind";
}

TEST_F(ComboKeyWindow, CancelStoresNothingAndLeavesNoHook) {
  TCOMBOKEYINFO combo{0x43, 0, 0, 0, MODIFIER_CTRL};
  const TCOMBOKEYINFO before = combo;
  const int result = Run(
      combo, PressCtrlShiftK() + L"mousemove " + N(kCancelX) + L" " + N(kButtonsY) + L" click 1");
  EXPECT_EQ(result, 2);
  EXPECT_EQ(std::memcmp(&combo, &before, sizeof combo), 0);
  EXPECT_TRUE(KeysReachTheProbe()) << "a keyboard hook was left behind";
}

TEST_F(ComboKeyWindow, ClosedWindowStoresNothingAndLeavesNoHook) {
  TCOMBOKEYINFO combo{};
  WinFunctionDialogs dialogs(probe.hwnd, platform, notes, nullptr);
  dialogs.OnShowing = [&](ui::SceneWindow& w) {
    g_dialog = w.Handle();
    SetTimer(nullptr, 0, 20000, &CloseStuckDialog);
    StartXdotool(PressCtrlShiftK());
    // Closed as Alt+F4 or the system would, once the keys were pressed.
    SetTimer(nullptr, 0, 4000, &CloseStuckDialog);
  };
  EXPECT_EQ(dialogs.ShowComboKeyDialog(combo, kArea), 2);
  g_dialog = nullptr;
  const TCOMBOKEYINFO zero{};
  EXPECT_EQ(std::memcmp(&combo, &zero, sizeof combo), 0);
  EXPECT_TRUE(KeysReachTheProbe()) << "a keyboard hook was left behind";
}

}  // namespace
}  // namespace quarn::dialogs
