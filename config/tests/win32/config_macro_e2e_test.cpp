// The macro editor of the installed quarncfg.exe, opened from a side button's
// "Macro Key..." in the function menu and used with real X input (xdotool): keys
// recorded, a delay edited in its row, OK and APPLY storing the macro in the
// button's entry, and the installed monitor playing it on a real press of that side
// button into a window of this test; a key held when recording starts left up
// afterwards; and the record button hammered, the editor ended while it records,
// with no keyboard hook left behind and the program still answering.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "config_e2e_support.h"

namespace {

using namespace quarn::e2e;
using namespace quarn::config_e2e;
using G = quarn::MainWindowGeometry;
using Clock = std::chrono::steady_clock;

constexpr int kSide = 3;          // BtnSet4: X button 2, X11 button 9
constexpr int kMacroMenuRow = 17;  // "Macro Key..." in the function menu
constexpr int kMacroMenuId = 18;

// Places in the macro editor, in pixels from its top-left corner.
struct Place {
  int x, y;
};
constexpr Place kRecord{51, 373}, kOk{143, 370}, kCancel{243, 370};
// Two free spots of the title strip where command lines park the pointer.
constexpr Place kParkA{150, 20}, kParkB{170, 20};
Place ListRow(int row) {
  return {100, 76 + 22 * row};
}

std::wstring At(HWND editor, Place p) {
  return WindowPoint(editor, p.x, p.y);
}
POINT ScreenOf(HWND editor, Place p) {
  RECT r{};
  GetWindowRect(editor, &r);
  return {r.left + p.x, r.top + p.y};
}

long Ms(Clock::duration d) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

// The key steps of a macro, as (virtual key, state) pairs.
std::vector<std::pair<int, int>> KeySteps(const TMACROKEYINFO& m) {
  std::vector<std::pair<int, int>> keys;
  for (int i = 0; i < m.MacroListCount && i < MAX_MACRO_STEPS; ++i)
    if (m.MacroList[i].nKeyType == MACROKEY_KEYBOARD)
      keys.emplace_back(m.MacroList[i].VALUE1, m.MacroList[i].nKeyState);
  return keys;
}

int DelayOf(const TMACROKEY& step) {
  return step.DELAY_L + 256 * step.DELAY_H;
}

// A window that keeps the characters typed into it and counts the key presses
// that came while the system saw Shift down.
class TypingProbe {
 public:
  TypingProbe(int x, int y, int w, int h) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &TypingProbe::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuarnMacroTypingProbe";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"typing probe", WS_POPUP | WS_VISIBLE, x, y, w,
                            h, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TypingProbe() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }
  std::wstring typed;
  int shiftedPresses = 0;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<TypingProbe*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self && m == WM_CHAR) self->typed += static_cast<wchar_t>(w);
    if (self && m == WM_KEYDOWN && w != VK_SHIFT && (GetKeyState(VK_SHIFT) & 0x8000))
      ++self->shiftedPresses;
    return DefWindowProcW(h, m, w, l);
  }
  HWND hwnd_;
};

// The probe windows sit below the configuration window (centred, 1024 x 760).
constexpr int kProbeX = 20, kProbeY = 900, kProbeW = 300, kProbeH = 110;

class MacroE2E : public ConfigE2E {
 protected:
  // BtnSet4's function menu, its "Macro Key..." row clicked: the editor, waited for.
  static HWND OpenMacroEditor(HWND cfg, DWORD pid) {
    ClickAt(cfg, G::BtnSet(kSide));
    HWND popup = WaitForMenuPopup(pid);
    if (!popup) return nullptr;
    ClickFunctionMenuRow(popup, kMacroMenuRow);
    return WaitForFrameDialog(pid, 10000);
  }
  static bool Closed(HWND editor, int ms) {
    return PumpUntil([&] { return !IsWindow(editor) || !IsWindowVisible(editor); }, ms);
  }
  static bool Alive(InstalledProgram& program) {
    DWORD code = 0;
    return !program.WaitExit(0, &code);
  }
};

TEST_F(MacroE2E, RecordedKeysWithAnEditedDelayAreStoredAndPlayedByTheSideButton) {
  constexpr int kEditedDelay = 300;
  StoreProfiles([](TMouseProfileInfo&) {});
  Recorder probe(L"QuarnMacroPlayProbe", WS_POPUP | WS_VISIBLE, kProbeX, kProbeY, kProbeW,
                 kProbeH);
  Monitor monitor;
  HWND mon = WaitForMonitorWindow(monitor.pid());
  ASSERT_NE(mon, nullptr);
  Config config;
  HWND cfg = WaitForConfigWindow(config.pid());
  ASSERT_NE(cfg, nullptr);
  PumpUntil([] { return false; }, 500);
  TBUTTONFUNCINFO before{};
  ASSERT_TRUE(StoredButton(L"zykProfile1.pfd", kSide, before));
  ASSERT_NE(before.FunctionKind, FUNCKIND_MACRO);

  HWND editor = OpenMacroEditor(cfg, config.pid());
  ASSERT_NE(editor, nullptr) << "\"Macro Key...\" opens the editor";

  // Record Shift+A with short natural pauses; a right click over the list while
  // recording is no key: it is neither recorded nor opens the action menu.
  ASSERT_TRUE(XdotoolAndWait(
      L"mousemove " + At(editor, kRecord) + L" sleep 0.3 click 1 sleep 0.8" +
          L" keydown Shift_L sleep 0.05 key a sleep 0.05 keyup Shift_L sleep 0.3" +
          L" mousemove " + At(editor, ListRow(2)) + L" sleep 0.2 click 3 sleep 0.5",
      ScreenOf(editor, kParkA)));
  for (const Found& f : WindowsOf(L"TQuarnMenuPopup"))
    EXPECT_FALSE(f.pid == config.pid() && IsWindowVisible(f.hwnd))
        << "no action menu while recording";
  // Stop; the rows are now Shift down, the pause, A down, ...: row 1 is the pause
  // before A, edited in its row (a double click opens the box over it).
  ASSERT_TRUE(XdotoolAndWait(L"mousemove " + At(editor, kRecord) + L" sleep 0.2 click 1 sleep 0.8" +
                                 L" mousemove " + At(editor, ListRow(1)) +
                                 L" sleep 0.3 click --repeat 2 --delay 120 1 sleep 0.6" +
                                 L" key End BackSpace BackSpace BackSpace BackSpace BackSpace" +
                                 L" 3 0 0 Return sleep 0.5",
                             ScreenOf(editor, kParkB)));
  ASSERT_TRUE(XdotoolAndWait(L"mousemove " + At(editor, kOk) + L" sleep 0.2 click 1",
                             ScreenOf(editor, kParkA)));
  ASSERT_TRUE(Closed(editor, 5000)) << "OK closes the editor";
  PumpUntil([] { return false; }, 300);
  TBUTTONFUNCINFO entry{};
  ASSERT_TRUE(StoredButton(L"zykProfile1.pfd", kSide, entry));
  EXPECT_NE(entry.FunctionKind, FUNCKIND_MACRO) << "stored only by an apply";

  ClickAt(cfg, G::StripButton(quarn::ConfigMainController::kApply));
  ASSERT_TRUE(PumpUntil(
      [&] {
        return StoredButton(L"zykProfile1.pfd", kSide, entry) &&
               entry.FunctionKind == FUNCKIND_MACRO;
      },
      5000))
      << "APPLY stores the macro in the side button's entry";
  EXPECT_EQ(entry.MenuID, kMacroMenuId);
  const TMACROKEYINFO& m = entry.MacroKeyInfo;
  ASSERT_GE(m.MacroListCount, 5);
  ASSERT_LE(m.MacroListCount, MAX_MACRO_STEPS);
  EXPECT_EQ(KeySteps(m), (std::vector<std::pair<int, int>>{
                             {VK_LSHIFT, 1}, {'A', 1}, {'A', 0}, {VK_LSHIFT, 0}}))
      << "the keys in order, pressed (1) and released (0)";
  EXPECT_EQ(m.MacroList[0].nKeyType, MACROKEY_KEYBOARD);
  ASSERT_EQ(m.MacroList[1].nKeyType, MACROKEY_DELAY) << "the pause before A";
  EXPECT_EQ(DelayOf(m.MacroList[1]), kEditedDelay) << "the edited delay is stored";
  EXPECT_EQ(m.MacroList[2].nKeyType, MACROKEY_KEYBOARD);
  EXPECT_EQ(m.MacroList[2].VALUE1, 'A');
  for (int i = 0; i < m.MacroListCount; ++i) {
    const TMACROKEY& s = m.MacroList[i];
    EXPECT_TRUE(s.nKeyType == MACROKEY_KEYBOARD || s.nKeyType == MACROKEY_DELAY)
        << "step " << i << " is a key or a pause: " << s.nKeyType;
    if (s.nKeyType == MACROKEY_KEYBOARD) {
      EXPECT_EQ(s.VALUE2, 0) << "step " << i << " is no extended key";
    }
    if (s.nKeyType == MACROKEY_DELAY && i != 1) {
      EXPECT_GE(DelayOf(s), 10) << "step " << i;
      EXPECT_LT(DelayOf(s), 250) << "step " << i << ": the natural pauses are short";
    }
  }
  EXPECT_EQ(m.nAutoAddDelay, 1);
  EXPECT_EQ(m.nLoopCount, 0);
  // The apply tells the monitor last and waits for it: once the window answers, the
  // monitor has reloaded.
  DWORD_PTR answered = 0;
  ASSERT_TRUE(SendMessageTimeoutW(cfg, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answered));

  // The monitor reloaded: the side button over the focused probe plays the macro.
  FocusByClick(probe.hwnd(), kProbeX + 150, kProbeY + 55);
  probe.received.clear();
  Xdotool(L"click 9");
  auto shiftUp = [&] { return probe.Got(WM_KEYUP, VK_SHIFT) || probe.Got(WM_KEYUP, VK_LSHIFT); };
  auto seen = [&] {
    std::string text;
    for (const auto& r : probe.received)
      text += " " + std::to_string(r.msg) + ":" + std::to_string(r.wParam);
    wchar_t name[64] = {};
    GetClassNameW(GetForegroundWindow(), name, 64);
    return text + " (foreground " + std::string(name, name + lstrlenW(name)) + ")";
  };
  ASSERT_TRUE(PumpUntil(shiftUp, 8000)) << "the macro plays to its end; seen:" << seen();
  auto first = [&](UINT msg, WPARAM a, WPARAM b) {
    for (std::size_t i = 0; i < probe.received.size(); ++i)
      if (probe.received[i].msg == msg &&
          (probe.received[i].wParam == a || probe.received[i].wParam == b))
        return int(i);
    return -1;
  };
  const int shiftDown = first(WM_KEYDOWN, VK_SHIFT, VK_LSHIFT);
  const int aDown = first(WM_KEYDOWN, 'A', 'A');
  const int aUp = first(WM_KEYUP, 'A', 'A');
  const int shiftRelease = first(WM_KEYUP, VK_SHIFT, VK_LSHIFT);
  ASSERT_GE(shiftDown, 0);
  ASSERT_GE(aDown, 0);
  ASSERT_GE(aUp, 0);
  EXPECT_LT(shiftDown, aDown) << "Shift, then A, in the recorded order";
  EXPECT_LT(aDown, aUp);
  EXPECT_LT(aUp, shiftRelease);
  EXPECT_EQ(probe.Count(WM_KEYDOWN, 'A'), 1) << "played once";
  const long pause = Ms(probe.received[std::size_t(aDown)].at - probe.received[std::size_t(shiftDown)].at);
  EXPECT_GE(pause, kEditedDelay - 20) << "the edited delay is kept";
  EXPECT_LT(pause, 2 * kEditedDelay + 200) << "but not stretched";
  EXPECT_FALSE(probe.GotMessage(WM_RBUTTONDOWN)) << "no click was recorded";

  EXPECT_TRUE(Alive(config)) << "quarncfg is alive";
  EXPECT_TRUE(Alive(monitor) && IsWindow(mon)) << "quarnmon is alive";
}

TEST_F(MacroE2E, AShiftHeldWhenRecordingStartsIsUpAfterwards) {
  StoreProfiles([](TMouseProfileInfo&) {});
  Recorder standIn(kMonitorClass, WS_POPUP, 0, 0, 10, 10);
  TypingProbe probe(kProbeX, kProbeY, kProbeW, kProbeH);
  Config config;
  HWND cfg = WaitForConfigWindow(config.pid());
  ASSERT_NE(cfg, nullptr);
  PumpUntil([] { return false; }, 500);
  HWND editor = OpenMacroEditor(cfg, config.pid());
  ASSERT_NE(editor, nullptr);

  // Shift goes down before the record click and up while recording.
  ASSERT_TRUE(XdotoolAndWait(L"mousemove " + At(editor, kRecord) +
                                 L" keydown Shift_L sleep 0.3 click 1 sleep 0.8 key a sleep 0.3" +
                                 L" keyup Shift_L sleep 0.3 click 1 sleep 0.8",
                             ScreenOf(editor, kParkA)));
  ASSERT_TRUE(XdotoolAndWait(L"mousemove " + At(editor, kOk) + L" sleep 0.2 click 1",
                             ScreenOf(editor, kParkB)));
  ASSERT_TRUE(Closed(editor, 5000));
  // The main window comes forward once the editor is gone: the probe is focused after.
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == cfg; }, 5000));

  const bool stuck = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
  EXPECT_FALSE(stuck) << "Shift is up for the system";
  FocusByClick(probe.hwnd(), kProbeX + 150, kProbeY + 55);
  Xdotool(L"key b c");
  EXPECT_TRUE(PumpUntil([&] { return probe.typed.size() >= 2; }, 5000));
  EXPECT_EQ(probe.typed, L"bc") << "typed keys arrive unshifted";
  EXPECT_EQ(probe.shiftedPresses, 0);
  if (stuck) Xdotool(L"keydown Shift_L keyup Shift_L");  // leave no stuck key behind
  EXPECT_TRUE(Alive(config));
}

TEST_F(MacroE2E, HammeredRecordButtonThenEndingTheRecordingEditorLeavesNoHook) {
  StoreProfiles([](TMouseProfileInfo&) {});
  Recorder standIn(kMonitorClass, WS_POPUP, 0, 0, 10, 10);
  Recorder probe(L"QuarnMacroKeyProbe", WS_POPUP | WS_VISIBLE, kProbeX, kProbeY, kProbeW,
                 kProbeH);
  Config config;
  HWND cfg = WaitForConfigWindow(config.pid());
  ASSERT_NE(cfg, nullptr);
  PumpUntil([] { return false; }, 500);
  HWND editor = OpenMacroEditor(cfg, config.pid());
  ASSERT_NE(editor, nullptr);

  // Whether a key typed over the focused probe is swallowed (a keyboard hook of
  // the editor records it) rather than received.
  int parked = 0;
  auto keySwallowed = [&] {
    probe.received.clear();
    FocusByClick(probe.hwnd(), kProbeX + 150, kProbeY + 55);
    const POINT park{kProbeX + 100 + 20 * (parked++ % 2), kProbeY + 30};
    EXPECT_TRUE(XdotoolAndWait(L"key x", park));
    return !PumpUntil([&] { return probe.Got(WM_KEYDOWN, 'X'); }, 1500);
  };
  ASSERT_FALSE(keySwallowed()) << "no hook before recording";

  ASSERT_TRUE(XdotoolAndWait(
      L"mousemove " + At(editor, kRecord) + L" sleep 0.3 click --repeat 300 --delay 15 1 sleep 0.5",
      ScreenOf(editor, kParkA), 60000));
  ASSERT_TRUE(Alive(config)) << "alive after the hammering";
  DWORD_PTR result = 0;
  ASSERT_TRUE(SendMessageTimeoutW(editor, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result))
      << "the editor answers";
  // The clicks may have left it recording or not: one more until it records.
  bool recording = keySwallowed();
  for (int i = 0; i < 3 && !recording; ++i) {
    Xdotool(L"mousemove " + At(editor, kRecord) + L" sleep 0.2 click 1");
    PumpUntil([] { return false; }, 800);
    recording = keySwallowed();
  }
  ASSERT_TRUE(recording) << "the record button still starts a recording";

  // CANCEL is not usable while recording: the editor stays and keeps recording.
  ASSERT_TRUE(XdotoolAndWait(L"mousemove " + At(editor, kCancel) + L" sleep 0.2 click 1 sleep 0.8",
                             ScreenOf(editor, kParkB)));
  EXPECT_TRUE(IsWindow(editor) && IsWindowVisible(editor)) << "CANCEL waits while recording";
  EXPECT_TRUE(keySwallowed()) << "still recording";

  // Closed while recording: the recording ends with the window.
  PostMessageW(editor, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Closed(editor, 5000)) << "closing ends the editor";
  ASSERT_TRUE(Alive(config));
  ASSERT_TRUE(SendMessageTimeoutW(cfg, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result));
  // The main window is enabled and brought forward once the editor is gone; only
  // then is the probe focused, or the key would go to the main window.
  EXPECT_TRUE(PumpUntil(
      [&] { return IsWindowEnabled(cfg) != FALSE && GetForegroundWindow() == cfg; }, 5000))
      << "the main window is usable again";
  EXPECT_FALSE(keySwallowed()) << "no keyboard hook is left";
  TBUTTONFUNCINFO entry{};
  ASSERT_TRUE(StoredButton(L"zykProfile1.pfd", kSide, entry));
  EXPECT_NE(entry.FunctionKind, FUNCKIND_MACRO);

  // Once more, recording, and the program told to end: it ends cleanly, hook and all.
  editor = OpenMacroEditor(cfg, config.pid());
  ASSERT_NE(editor, nullptr) << "the window takes clicks again";
  ASSERT_TRUE(XdotoolAndWait(L"mousemove " + At(editor, kRecord) + L" sleep 0.2 click 1 sleep 0.5",
                             ScreenOf(editor, kParkA)));
  ASSERT_TRUE(keySwallowed()) << "recording";
  PostMessageW(cfg, WM_TERMINATE_CONFIG, 0, 0);
  DWORD code = 99;
  ASSERT_TRUE(config.WaitExit(10000, &code)) << "the recording editor does not hold the program";
  EXPECT_EQ(code, 0u) << "ended by the message, not by a crash";
  EXPECT_FALSE(keySwallowed()) << "no keyboard hook outlives the program";
}

}  // namespace
