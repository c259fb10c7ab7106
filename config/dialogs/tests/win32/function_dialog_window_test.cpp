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

// The system's open dialog still open after this long failed its test: cancelled.
BOOL CALLBACK CancelOpenDialog(HWND hwnd, LPARAM) {
  wchar_t name[16] = {};
  GetClassNameW(hwnd, name, 16);
  if (std::wstring(name) == L"#32770") PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}
void CALLBACK CancelStuckOpenDialog(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EnumThreadWindows(GetCurrentThreadId(), &CancelOpenDialog, 0);
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

// The fire-key dialog's boxes typed into with real keys; OK stores what they show.
TEST_F(ComboKeyWindow, FireKeyValuesTypedAreStoredOnOk) {
  constexpr int kLeft = 560 + (600 - 308) / 2, kTop = 100 + (600 - 197) / 2;
  const std::wstring delayBox = N(kLeft + 190 + 40) + L" " + N(kTop + 83 + 11);
  const std::wstring ok = N(kLeft + 93) + L" " + N(kTop + 197 - 35);
  // The first box has the focus with its text selected: "3" replaces the 2 shown.
  // xdotool types every argument after "type", so each typing ends a command.
  const std::wstring first =
      L"sleep 1.5 mousemove " + N(kLeft + 60) + L" " + N(kTop + 140) + L" type 3";
  const std::wstring second =
      L"sleep 3 mousemove " + delayBox + L" click 1 key End BackSpace BackSpace BackSpace type 45";
  const std::wstring third = L"sleep 5 mousemove " + ok + L" click 1";
  WinFunctionDialogs dialogs(probe.hwnd, platform, notes, nullptr);
  dialogs.OnShowing = [&](ui::SceneWindow& w) {
    g_dialog = w.Handle();
    SetTimer(nullptr, 0, 20000, &CloseStuckDialog);
    StartXdotool(first);
    StartXdotool(second);
    StartXdotool(third);
  };
  TFIREKEYINFO fire{0, 0};
  EXPECT_EQ(dialogs.ShowFireKeyDialog(fire, kArea), 1);
  g_dialog = nullptr;
  EXPECT_EQ(fire.nLoopCount, 3);
  EXPECT_EQ(fire.DelyValue, 45);
}

// The system's open dialog, driven as a user does: a typed name and Return give
// the whole path back.
TEST_F(ComboKeyWindow, FileChooserReturnsTheTypedPath) {
  WinFileChooser chooser(probe.hwnd);
  SetTimer(nullptr, 0, 20000, &CancelStuckOpenDialog);
  StartXdotool(L"mousemove " + N(InputWindow::kCenterX) + L" " + N(InputWindow::kCenterY) +
               L" sleep 3 type C:\\windows\\notepad.exe");
  StartXdotool(L"sleep 5 key Return");
  std::u16string path;
  ASSERT_TRUE(chooser.ChooseFile(path));
  std::u16string lower;
  for (char16_t c : path) lower += (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
  EXPECT_EQ(lower, u"c:\\windows\\notepad.exe");
}

}  // namespace
}  // namespace quarn::dialogs
