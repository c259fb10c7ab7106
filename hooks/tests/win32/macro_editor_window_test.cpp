// The macro editor in its real window under Wine, with the real hook library and real
// X input (xdotool): a click on the record button, typed keys recorded through the
// low-level hook and drawn as rows, a stop click, a right click that selects a row
// and asks for the action menu (whose "Delete Action" item is then chosen), and OK
// handing back exactly the actions shown; CANCEL hands back nothing; a Shift held
// when recording starts is up for the system afterwards.
#include "macro_editor_window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "decimal_text.h"
#include "scene_window.h"
#include "win_hook_platform.h"
#include "window_input.h"

namespace {

using namespace quarn::ui;
using quarn::MacroEditorForm;
using quarn::MacroRowKind;
using quarn::ui::testing::MoveTo;
using quarn::ui::testing::PumpUntil;
using quarn::ui::testing::Xdotool;

// The editor goes to (444, 238): centred in this area at 311 x 424.
constexpr ScreenRect kArea{200, 150, 1000, 750};
constexpr int kLeft = 444, kTop = 238;
std::wstring At(float x, float y) {
  return std::to_wstring(kLeft + int(x)) + L" " + std::to_wstring(kTop + int(y));
}
// Designed places in the editor's client pixels.
const std::wstring kRecordButton = At(51, 373);
const std::wstring kOkButton = At(143, 370);
const std::wstring kCancelButton = At(243, 370);
std::wstring Row(int r) {
  return At(100, 76.f + 22.f * r);
}

SceneWindow& Owner() {
  static Scene* scene = [] {
    auto* s = new Scene(600, 500);
    RectShape& back = s->Root().Add<RectShape>();
    back.SetBounds(0, 0, 600, 500);
    back.fill = Fill::Solid(Rgb(0x20, 0x20, 0x40));
    return s;
  }();
  static SceneWindow* window = [] {
    SceneWindowOptions o;
    o.className = L"TQuarnMacroEditorTestOwner";
    o.title = L"macro editor test owner";
    o.position = ScreenPoint{20, 20};
    auto* w = new SceneWindow(*scene, o);
    w->Show(SW_SHOW);
    return w;
  }();
  SetForegroundWindow(window->Handle());
  PumpUntil([] { return GetForegroundWindow() == window->Handle(); }, 3000);
  return *window;
}

struct ShownRow {
  MacroRowKind kind;
  std::u16string text;
};

// What the script saw, and where it is.
struct Script {
  MacroEditorForm* form = nullptr;
  HWND window = nullptr;
  int phase = 0;
  bool chooseCancel = false;
  bool holdShift = false;           // Shift held down when the record button is clicked
  std::vector<TMACROKEY> recorded;  // the steps after the recording
  std::vector<ShownRow> shown;      // the rows when OK or CANCEL was clicked
  bool menuAsked = false;
  // For the failure message: whether recording was ever seen, and the most rows.
  bool sawRecording = false;
  std::size_t mostRows = 0;
  bool hookLoaded = false;
};
Script* g_run = nullptr;

std::vector<ShownRow> RowsOf(MacroEditorForm& f) {
  std::vector<ShownRow> rows;
  for (const quarn::MacroEditorRow& r : f.Editor().Rows()) rows.push_back({r.kind, r.text});
  return rows;
}
std::vector<TMACROKEY> StepsNow(MacroEditorForm& f) {
  TMACROKEYINFO m{};
  f.Editor().Result(m);
  return std::vector<TMACROKEY>(m.MacroList, m.MacroList + m.MacroListCount);
}

// The script, polled from the dialog's own message loop.
void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD) {
  Script* run = g_run;
  if (!run || !run->form) return;
  MacroEditorForm& f = *run->form;
  run->sawRecording = run->sawRecording || f.Editor().IsRecording();
  run->mostRows = std::max(run->mostRows, f.Editor().Rows().size());
  switch (run->phase) {
    case 0:  // recording ran and stopped: the converted rows are shown
      if (f.Editor().IsRecording() || f.Editor().Rows().size() < 4) return;
      run->recorded = StepsNow(f);
      run->phase = 1;
      if (run->chooseCancel) {
        run->shown = RowsOf(f);
        Xdotool(L"mousemove " + kCancelButton + L" sleep 0.3 click 1");
        run->phase = 9;
        return;
      }
      Xdotool(L"mousemove " + Row(2) + L" sleep 0.3 click 3");
      return;
    case 1:  // the right click asked for the menu, whose choice deleted row 2
      if (!run->menuAsked) return;
      run->shown = RowsOf(f);
      run->phase = 2;
      Xdotool(L"mousemove " + kOkButton + L" sleep 0.3 click 1");
      return;
    default:
      return;
  }
}

void CALLBACK GiveUp(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_run && g_run->window) PostMessageW(g_run->window, WM_CLOSE, 0, 0);
}

class EditorWindow : public ::testing::Test {
 protected:
  EditorWindow() {
    platform.ShowMessage = [this](std::u16string_view, std::u16string_view) { ++messages; };
  }

  // Records "ab" with real input and then runs the script; returns the modal result.
  int RecordAb(TMACROKEYINFO& macro, Script& run) {
    SceneWindow& owner = Owner();
    EXPECT_TRUE(MoveTo(100, 100));
    g_run = &run;
    quarn::MacroEditorRunner runner(owner.Handle(), nullptr);
    runner.OnShowing = [&](SceneWindow& w, MacroEditorForm& f) {
      run.form = &f;
      run.window = w.Handle();
      run.hookLoaded = f.Hook().DLLLoaded();
      f.OnShowActionMenu = [&run, &f](PointF) {
        run.menuAsked = true;
        if (f.List().ItemIndex() == 2) f.ActionMenu().Items().Items(1)->DispatchClick();
      };
      SetTimer(nullptr, 0, 40000, &GiveUp);
      RECT r{};
      GetWindowRect(w.Handle(), &r);
      EXPECT_EQ(r.left, kLeft);
      EXPECT_EQ(r.top, kTop);
      SetTimer(nullptr, 0, 100, &Step);
      // The pointer stays over the editor: X sends the keys to the window under it.
      if (run.holdShift)
        Xdotool(L"sleep 1.5 mousemove " + kRecordButton +
                L" keydown Shift_L sleep 0.3 click 1 sleep 0.8 key a sleep 0.3 keyup Shift_L"
                L" sleep 0.3 key b sleep 0.8 click 1");
      else
        Xdotool(L"sleep 1.5 mousemove " + kRecordButton +
                L" sleep 0.3 click 1 sleep 0.8 key a sleep 0.3 key b sleep 0.8 click 1");
    };
    const int result = quarn::ShowMacroDialog(macro, kArea, platform, runner);
    g_run = nullptr;
    EXPECT_TRUE(run.hookLoaded);
    EXPECT_TRUE(run.sawRecording);
    EXPECT_GE(run.mostRows, 4u);
    return result;
  }

  quarn::WinHookPlatform platform;
  int messages = 0;
};

// The key steps of a macro, as (virtual key, state) pairs.
std::vector<std::pair<int, int>> Keys(const std::vector<TMACROKEY>& steps) {
  std::vector<std::pair<int, int>> keys;
  for (const TMACROKEY& s : steps)
    if (s.nKeyType == MACROKEY_KEYBOARD) keys.emplace_back(s.VALUE1, s.nKeyState);
  return keys;
}

TMACROKEY KeyStep(std::uint8_t vk, std::uint16_t state) {
  TMACROKEY k{};
  k.nKeyType = MACROKEY_KEYBOARD;
  k.nKeyState = state;
  k.VALUE1 = vk;
  return k;
}

TEST_F(EditorWindow, RecordedKeysShowAsRowsAndOkHandsBackExactlyTheRowsShown) {
  TMACROKEYINFO macro{};
  macro.MacroListCount = 1;
  macro.MacroList[0] = KeyStep('Q', 1);
  Script run;
  ASSERT_EQ(RecordAb(macro, run), kModalOk);
  EXPECT_EQ(messages, 0) << "the hook library was found";
  EXPECT_EQ(run.phase, 2);
  // The recording: a and b pressed and released, in order, with the pauses between.
  EXPECT_EQ(Keys(run.recorded),
            (std::vector<std::pair<int, int>>{{'A', 1}, {'A', 0}, {'B', 1}, {'B', 0}}));
  EXPECT_TRUE(run.menuAsked);
  ASSERT_EQ(run.recorded.size(), run.shown.size() + 1) << "one row deleted";

  // What came back is exactly what was shown: one step per row, of the row's kind.
  const std::vector<TMACROKEY> back(macro.MacroList, macro.MacroList + macro.MacroListCount);
  ASSERT_EQ(back.size(), run.shown.size());
  std::vector<TMACROKEY> expected = run.recorded;
  expected.erase(expected.begin() + 2);
  EXPECT_EQ(Keys(back), Keys(expected));
  for (std::size_t i = 0; i < back.size(); ++i) {
    EXPECT_EQ(std::memcmp(&back[i], &expected[i], sizeof(TMACROKEY)), 0) << i;
    const ShownRow& row = run.shown[i];
    if (back[i].nKeyType == MACROKEY_DELAY) {
      EXPECT_EQ(row.kind, MacroRowKind::Delay) << i;
      const int ms = back[i].VALUE1 + 256 * back[i].VALUE2;
      EXPECT_EQ(row.text, quarn::DecimalText(ms)) << i;
      EXPECT_GE(ms, 10) << i;
    } else {
      EXPECT_EQ(row.kind, back[i].nKeyState ? MacroRowKind::KeyDown : MacroRowKind::KeyUp) << i;
      EXPECT_EQ(row.text, std::u16string(u" ") + char16_t(back[i].VALUE1)) << i;
    }
  }
  EXPECT_EQ(macro.nAutoAddDelay, 1);
  EXPECT_EQ(macro.nLoopCount, 0);
  EXPECT_TRUE(IsWindowEnabled(Owner().Handle()));
}

TEST_F(EditorWindow, CancelAfterRecordingHandsBackNothing) {
  TMACROKEYINFO macro{};
  macro.MacroListCount = 2;
  macro.MacroList[0] = KeyStep('Q', 1);
  macro.MacroList[1] = KeyStep('Q', 0);
  macro.nLoopCount = 3;
  TMACROKEYINFO before = macro;
  Script run;
  run.chooseCancel = true;
  ASSERT_EQ(RecordAb(macro, run), kModalCancel);
  EXPECT_EQ(run.phase, 9) << "the recording was seen before CANCEL";
  EXPECT_EQ(Keys(run.recorded).size(), 4u);
  EXPECT_EQ(std::memcmp(&macro, &before, sizeof macro), 0);
}

TEST_F(EditorWindow, AShiftHeldWhenRecordingStartsIsNotLeftDown) {
  TMACROKEYINFO macro{};
  Script run;
  run.chooseCancel = true;
  run.holdShift = true;
  ASSERT_EQ(RecordAb(macro, run), kModalCancel);
  PumpUntil(nullptr, 300);
  const bool stuck = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
  EXPECT_FALSE(stuck) << "Shift is up for the system";
  if (stuck) {
    INPUT up{};  // leave no stuck key to the tests that follow
    up.type = INPUT_KEYBOARD;
    up.ki.wVk = VK_LSHIFT;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &up, sizeof up);
  }
  // Still recorded: its release comes between the two keys.
  EXPECT_EQ(Keys(run.recorded), (std::vector<std::pair<int, int>>{
                                    {'A', 1}, {'A', 0}, {VK_LSHIFT, 0}, {'B', 1}, {'B', 0}}));
}

}  // namespace
