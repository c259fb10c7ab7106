// A side button given a function with parameters through the installed
// configuration window, with real X input only: the function menu's row, the
// function's dialog filled in with real clicks and keys, APPLY; then the stored
// entry read back against the profile record, and the running monitor doing
// the function when the side button is really pressed over a probe window of
// this test. And the key-combination dialog's keyboard recording, which
// swallows every key while it runs, gone again however the dialog closes.
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "config_e2e_support.h"
#include "function_catalog.h"
#include "function_ids.h"

namespace {

using namespace quarn::e2e;
using namespace quarn::config_e2e;
using G = quarn::MainWindowGeometry;
using Clock = std::chrono::steady_clock;

constexpr int kSide = 3;  // BtnSet4: X button 2, X11 button 9
constexpr const wchar_t* kPress = L"click 9";

long Ms(Clock::duration d) {
  return long(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

// The function menu's row (from 0) of a top-level caption.
int MenuRow(std::u16string_view caption) {
  const auto items = quarn::FunctionMenuItems();
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].Caption == caption) return int(i);
  ADD_FAILURE() << "no such row in the function menu";
  return 0;
}

// A window of this test that logs the mouse buttons and keys it receives in
// order, with the modifiers held as each key arrived.
class Probe {
 public:
  struct Input {
    UINT msg;
    WPARAM key;  // the virtual key, the X button, 0 for the left button
    Clock::time_point at;
    bool ctrl, shift;
  };
  static constexpr int kX = 20, kY = 900, kW = 300, kH = 110;  // below the centred window

  Probe() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Probe::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuarnAssignProbe";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"probe", WS_POPUP | WS_VISIBLE, kX, kY, kW, kH,
                            nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Probe() { DestroyWindow(hwnd_); }
  Probe(const Probe&) = delete;
  Probe& operator=(const Probe&) = delete;

  // Clicked to the foreground with the keyboard focus, the pointer left on it,
  // and the log emptied.
  // False when another window kept the foreground.
  bool Focus() {
    FocusByClick(hwnd_, kX + kW / 2, kY + kH / 2);
    const bool focused = PumpUntil(
        [&] {
          if (GetForegroundWindow() == hwnd_ && GetFocus() == hwnd_) return true;
          SetForegroundWindow(hwnd_);
          SetFocus(hwnd_);
          return false;
        },
        5000);
    log.clear();
    return focused;
  }
  std::vector<Input> Of(UINT msg) const {
    std::vector<Input> out;
    for (const Input& i : log)
      if (i.msg == msg) out.push_back(i);
    return out;
  }
  int Count(UINT msg, WPARAM key) const {
    int n = 0;
    for (const Input& i : log) n += i.msg == msg && i.key == key;
    return n;
  }
  // Position in the log of the first `msg` with `key`; -1 when none came.
  int First(UINT msg, WPARAM key) const {
    for (std::size_t k = 0; k < log.size(); ++k)
      if (log[k].msg == msg && log[k].key == key) return int(k);
    return -1;
  }
  std::vector<Input> log;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<Probe*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self) {
      const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
      const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
      switch (m) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
          self->log.push_back({m, 0, Clock::now(), ctrl, shift});
          break;
        case WM_XBUTTONDOWN:
        case WM_XBUTTONUP:
          self->log.push_back({m, GET_XBUTTON_WPARAM(w), Clock::now(), ctrl, shift});
          break;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
          self->log.push_back({m, w, Clock::now(), ctrl, shift});
          break;
        default:
          break;
      }
    }
    return DefWindowProcW(h, m, w, l);
  }
  HWND hwnd_ = nullptr;
};

// The key presses the system hands on, whichever window has the focus: a
// low-level hook of this test, installed before the program's own, so that it
// sees only what the program's hook lets pass.
class KeyWatch {
 public:
  KeyWatch() {
    self_ = this;
    hook_ = SetWindowsHookExW(WH_KEYBOARD_LL, &KeyWatch::Proc, GetModuleHandleW(nullptr), 0);
  }
  ~KeyWatch() {
    if (hook_) UnhookWindowsHookEx(hook_);
    self_ = nullptr;
  }
  KeyWatch(const KeyWatch&) = delete;
  KeyWatch& operator=(const KeyWatch&) = delete;
  bool Installed() const { return hook_ != nullptr; }
  int Presses(DWORD vk) const {
    int n = 0;
    for (const auto& p : presses_) n += p.vk == vk;
    return n;
  }
  void Clear() { presses_.clear(); }
  // When the first press of `vk` was seen; nullopt when none was.
  std::optional<Clock::time_point> FirstAt(DWORD vk) const {
    for (const auto& p : presses_)
      if (p.vk == vk) return p.at;
    return std::nullopt;
  }

 private:
  static LRESULT CALLBACK Proc(int code, WPARAM w, LPARAM l) {
    if (code == HC_ACTION && self_ && (w == WM_KEYDOWN || w == WM_SYSKEYDOWN))
      self_->presses_.push_back(
          {reinterpret_cast<const KBDLLHOOKSTRUCT*>(l)->vkCode, Clock::now()});
    return CallNextHookEx(nullptr, code, w, l);
  }
  static inline KeyWatch* self_ = nullptr;
  HHOOK hook_ = nullptr;
  struct Press {
    DWORD vk;
    Clock::time_point at;
  };
  std::vector<Press> presses_;
};

BOOL CALLBACK CollectEdit(HWND h, LPARAM p) {
  wchar_t name[16] = {};
  GetClassNameW(h, name, 16);
  if (lstrcmpiW(name, L"Edit") == 0) reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
  return TRUE;
}

// The edit controls of a dialog window, in creation order.
std::vector<HWND> EditsOf(HWND dialog) {
  std::vector<HWND> edits;
  EnumChildWindows(dialog, CollectEdit, reinterpret_cast<LPARAM>(&edits));
  return edits;
}

std::wstring TextOf(HWND window) {
  wchar_t text[128] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 2000,
                      &length);
  return text;
}

std::wstring TitleOf(HWND window) {
  wchar_t title[128] = {};
  GetWindowTextW(window, title, 128);
  return title;
}

// Clicks into a box of a dialog, clears what it holds and types `text`.
void TypeInto(LONG x, LONG y, const std::wstring& text) {
  ClickScreen(x, y);
  Xdotool(L"key End BackSpace BackSpace BackSpace BackSpace");
  Xdotool(L"type " + text);
}

bool Alive(InstalledProgram& program) {
  DWORD code = 0;
  return !program.WaitExit(0, &code);
}

// The installed monitor and configuration window running over a probe, the
// function menu of the side button opened on the row `caption` and the dialog
// it brings, waited for.
class AssignE2E : public ConfigE2E {
 protected:
  void StartBoth() {
    monitor = std::make_unique<Monitor>();
    ASSERT_NE(WaitForMonitorWindow(monitor->pid()), nullptr);
    StartConfig();
  }
  void StartConfig() {
    config = std::make_unique<Config>();
    cfg = WaitForConfigWindow(config->pid());
    ASSERT_NE(cfg, nullptr);
    PumpUntil([] { return false; }, 500);
  }
  HWND OpenFunctionDialog(std::u16string_view caption) {
    ClickAt(cfg, G::BtnSet(kSide));
    HWND popup = WaitForMenuPopup(config->pid());
    if (!popup) {
      ADD_FAILURE() << "the function menu did not open";
      return nullptr;
    }
    ClickFunctionMenuRow(popup, MenuRow(caption));
    HWND dialog = WaitForFrameDialog(config->pid());
    if (!dialog) ADD_FAILURE() << "the function's dialog did not open";
    return dialog;
  }
  void Apply() { ClickAt(cfg, G::StripButton(quarn::ConfigMainController::kApply)); }
  // Waits until the stored entry of the side button has kind `kind`.
  bool WaitStoredKind(std::uint8_t kind, TBUTTONFUNCINFO& entry) {
    return PumpUntil(
        [&] {
          return StoredButton(L"zykProfile1.pfd", kSide, entry) && entry.FunctionKind == kind;
        },
        5000);
  }
  void TearDown() override {
    config.reset();
    monitor.reset();
    ConfigE2E::TearDown();
  }
  Probe probe;
  std::unique_ptr<Monitor> monitor;
  std::unique_ptr<Config> config;
  HWND cfg = nullptr;
};

// Every stored button entry but the side button's, unchanged from `before`.
void ExpectOtherEntriesKept(const std::vector<BYTE>& before) {
  for (int i = 0; i < BUTTON_FUNC_COUNT; ++i) {
    if (i == kSide) continue;
    const std::size_t at = offsetof(TMouseProfileInfo, ConfigInfo) +
                           offsetof(TMOUSECONFIGINFO, ButtonFuncInfo) +
                           std::size_t(i) * sizeof(TBUTTONFUNCINFO);
    TBUTTONFUNCINFO now{};
    ASSERT_TRUE(StoredButton(L"zykProfile1.pfd", i, now));
    ASSERT_GE(before.size(), at + sizeof now);
    EXPECT_EQ(memcmp(&now, before.data() + at, sizeof now), 0) << "entry " << i << " changed";
  }
}

TEST_F(AssignE2E, FireKeyTypedInItsDialogIsAppliedAndFiredByTheSideButton) {
  StoreProfiles([](TMouseProfileInfo& p) {
    // What the dialog offers when the entry has no fire key of its own: values
    // the typed ones must replace.
    p.ConfigInfo.FireKeyCount = 7;
    p.ConfigInfo.FireKeySpeed = 200;
    p.ConfigInfo.ButtonFuncInfo[kSide].FireKeyInfo = {0, 0};
  });
  const std::vector<BYTE> stored = StoredProfileBytes(L"zykProfile1.pfd");
  TBUTTONFUNCINFO before{};
  ASSERT_TRUE(StoredButton(L"zykProfile1.pfd", kSide, before));
  ASSERT_NE(before.FunctionKind, FUNCKIND_FIREKEY);
  StartBoth();

  HWND dialog = OpenFunctionDialog(u"Fire Key...");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TitleOf(dialog), L"Fire Key...");
  const std::vector<HWND> edits = EditsOf(dialog);
  ASSERT_EQ(edits.size(), 2u) << "count and pause";
  EXPECT_EQ(TextOf(edits[0]), L"7") << "offered from the profile";
  EXPECT_EQ(TextOf(edits[1]), L"200");
  RECT r{};
  GetWindowRect(dialog, &r);
  // The boxes: 80 x 22 at 190 from the left, 53 and 83 from the top.
  TypeInto(r.left + 230, r.top + 64, L"3");
  TypeInto(r.left + 230, r.top + 94, L"60");
  EXPECT_EQ(TextOf(edits[0]), L"3");
  EXPECT_EQ(TextOf(edits[1]), L"60");
  ClickFrameButton(dialog, true);
  ASSERT_TRUE(WaitGone(dialog)) << "OK closes it";
  PumpUntil([] { return false; }, 300);
  TBUTTONFUNCINFO entry{};
  ASSERT_TRUE(StoredButton(L"zykProfile1.pfd", kSide, entry));
  EXPECT_EQ(memcmp(&entry, &before, sizeof entry), 0) << "stored only by an apply";

  Apply();
  ASSERT_TRUE(WaitStoredKind(FUNCKIND_FIREKEY, entry));
  EXPECT_EQ(entry.FireKeyInfo.nLoopCount, 3);
  EXPECT_EQ(entry.FireKeyInfo.DelyValue, 60);
  EXPECT_EQ(entry.MenuID, MENUID_FIRE_KEY);
  EXPECT_EQ(entry.FunctionCode, quarn::FunctionCodeOfMenuID(MENUID_FIRE_KEY));
  EXPECT_EQ(entry.ButtonIndex, before.ButtonIndex);
  // Nothing else of the entry moves: its key, combination, macro and path stay.
  TBUTTONFUNCINFO expected = before;
  expected.FireKeyInfo = {3, 60};
  expected.FunctionKind = FUNCKIND_FIREKEY;
  expected.FunctionCode = entry.FunctionCode;
  expected.MenuID = MENUID_FIRE_KEY;
  EXPECT_EQ(memcmp(&entry, &expected, sizeof entry), 0) << "only the fire key's fields change";
  ExpectOtherEntriesKept(stored);

  // The monitor reloaded: the side button fires three left clicks, 2 x 60 ms apart.
  PumpUntil([] { return false; }, 500);
  ASSERT_TRUE(probe.Focus());
  Xdotool(kPress);
  ASSERT_TRUE(PumpUntil([&] { return probe.Of(WM_LBUTTONUP).size() >= 3; }, 5000))
      << "the fire key clicks";
  PumpUntil([] { return false; }, 600);  // room for a click too many
  std::vector<UINT> order;
  for (const Probe::Input& i : probe.log) order.push_back(i.msg);
  const std::vector<UINT> clicks = {WM_LBUTTONDOWN, WM_LBUTTONUP,   WM_LBUTTONDOWN,
                                    WM_LBUTTONUP,   WM_LBUTTONDOWN, WM_LBUTTONUP};
  EXPECT_EQ(order, clicks) << "three whole clicks and nothing of the side button itself";
  const auto downs = probe.Of(WM_LBUTTONDOWN);
  ASSERT_EQ(downs.size(), 3u);
  EXPECT_NEAR(Ms(downs[1].at - downs[0].at), 120, 55);
  EXPECT_NEAR(Ms(downs[2].at - downs[1].at), 120, 55);
  const auto ups = probe.Of(WM_LBUTTONUP);
  EXPECT_NEAR(Ms(ups[0].at - downs[0].at), 60, 45) << "held for the pause";

  EXPECT_TRUE(Alive(*config)) << "quarncfg.exe";
  EXPECT_TRUE(Alive(*monitor)) << "quarnmon.exe";
}

TEST_F(AssignE2E, KeyCombinationRecordedFromRealKeysIsAppliedAndTypedByTheSideButton) {
  StoreProfiles([](TMouseProfileInfo&) {});
  const std::vector<BYTE> stored = StoredProfileBytes(L"zykProfile1.pfd");
  TBUTTONFUNCINFO before{};
  ASSERT_TRUE(StoredButton(L"zykProfile1.pfd", kSide, before));
  ASSERT_NE(before.FunctionKind, FUNCKIND_COMBOKEY);
  StartBoth();

  HWND dialog = OpenFunctionDialog(u"Virtual Keyboard...");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TitleOf(dialog), L"Virtual Keyboard");
  const std::vector<HWND> edits = EditsOf(dialog);
  ASSERT_EQ(edits.size(), 1u);
  RECT r{};
  GetWindowRect(dialog, &r);
  // Keys go to the window under the pointer: park it on the dialog's box.
  Xdotool(L"mousemove " + std::to_wstring(r.left + 145) + L" " + std::to_wstring(r.top + 90));
  for (const wchar_t* step : {L"keydown Control_L", L"keydown Shift_L", L"keydown k", L"keyup k",
                              L"keyup Shift_L", L"keyup Control_L"})
    Xdotool(step);
  EXPECT_TRUE(PumpUntil([&] { return TextOf(edits[0]) == L"Ctrl+Shift+K"; }, 5000))
      << "the dialog shows what was pressed, not \""
      << std::string(TextOf(edits[0]).begin(), TextOf(edits[0]).end()) << "\"";
  ClickFrameButton(dialog, true);
  ASSERT_TRUE(WaitGone(dialog)) << "OK closes it";

  Apply();
  TBUTTONFUNCINFO entry{};
  ASSERT_TRUE(WaitStoredKind(FUNCKIND_COMBOKEY, entry));
  const TCOMBOKEYINFO combo{'K', 0, 0, 0, 2 | 4};  // one key, Ctrl (2) and Shift (4)
  EXPECT_EQ(entry.ComboKey.nKeyValue1, 'K');
  EXPECT_EQ(entry.ComboKey.nKey1Extended, 0);
  EXPECT_EQ(entry.ComboKey.nKeyValue2, 0) << "no second key";
  EXPECT_EQ(entry.ComboKey.nKey2Extended, 0);
  EXPECT_EQ(entry.ComboKey.nModifier, 2 | 4);
  EXPECT_EQ(memcmp(&entry.ComboKey, &combo, sizeof combo), 0);
  EXPECT_EQ(entry.MenuID, MENUID_VIRTUAL_KEYBOARD);
  EXPECT_EQ(entry.FunctionCode, MENUID_VIRTUAL_KEYBOARD);
  TBUTTONFUNCINFO expected = before;
  expected.ComboKey = combo;
  expected.FunctionKind = FUNCKIND_COMBOKEY;
  expected.FunctionCode = MENUID_VIRTUAL_KEYBOARD;
  expected.MenuID = MENUID_VIRTUAL_KEYBOARD;
  EXPECT_EQ(memcmp(&entry, &expected, sizeof entry), 0) << "only the combination's fields change";
  ExpectOtherEntriesKept(stored);

  // The monitor reloaded: the side button types Ctrl+Shift+K into the focused probe.
  PumpUntil([] { return false; }, 500);
  ASSERT_TRUE(probe.Focus());
  Xdotool(kPress);
  ASSERT_TRUE(PumpUntil([&] { return probe.Count(WM_KEYUP, VK_CONTROL) >= 1; }, 5000))
      << "the combination arrives and ends" << [&] {
           std::string t;
           for (const Probe::Input& i : probe.log)
             t += " " + std::to_string(i.msg) + ":" + std::to_string(i.key);
           return t;
         }();
  PumpUntil([] { return false; }, 300);
  ASSERT_EQ(probe.Count(WM_KEYDOWN, 'K'), 1);
  const Probe::Input k = probe.Of(WM_KEYDOWN)[size_t(probe.First(WM_KEYDOWN, 'K'))];
  EXPECT_TRUE(k.ctrl && k.shift) << "K arrives with Ctrl and Shift held";
  const int ctrlDown = probe.First(WM_KEYDOWN, VK_CONTROL),
            shiftDown = probe.First(WM_KEYDOWN, VK_SHIFT), kDown = probe.First(WM_KEYDOWN, 'K'),
            kUp = probe.First(WM_KEYUP, 'K'), ctrlUp = probe.First(WM_KEYUP, VK_CONTROL),
            shiftUp = probe.First(WM_KEYUP, VK_SHIFT);
  ASSERT_GE(ctrlDown, 0);
  ASSERT_GE(shiftDown, 0);
  ASSERT_GE(kUp, 0);
  ASSERT_GE(shiftUp, 0);
  EXPECT_LT(ctrlDown, kDown);
  EXPECT_LT(shiftDown, kDown);
  EXPECT_LT(kDown, kUp);
  EXPECT_LT(kUp, ctrlUp) << "the modifiers are let go after the key";
  EXPECT_LT(kUp, shiftUp);
  EXPECT_EQ(probe.Of(WM_XBUTTONDOWN).size() + probe.Of(WM_XBUTTONUP).size(), 0u)
      << "the side button itself is swallowed";
  EXPECT_EQ(probe.Of(WM_SYSKEYDOWN).size(), 0u) << "no Alt";

  EXPECT_TRUE(Alive(*config)) << "quarncfg.exe";
  EXPECT_TRUE(Alive(*monitor)) << "quarnmon.exe";
}

TEST_F(AssignE2E, KeyCombinationDialogClosedWithoutOkLeavesNoKeyboardHookAndStoresNothing) {
  StoreProfiles([](TMouseProfileInfo&) {});
  TBUTTONFUNCINFO before{};
  ASSERT_TRUE(StoredButton(L"zykProfile1.pfd", kSide, before));
  KeyWatch watch;
  ASSERT_TRUE(watch.Installed());
  Recorder standIn(kMonitorClass, WS_POPUP, 0, 0, 10, 10);
  StartConfig();
  struct Case {
    const char* why;
    void (*close)(HWND dialog);
  };
  const Case cases[] = {
      {"CANCEL clicked", [](HWND d) { ClickFrameButton(d, false); }},
      // The dialog has no close box: this is what one, or the system's task list, sends.
      {"a close request", [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }},
  };
  const std::wstring overProbe = L"mousemove " + std::to_wstring(Probe::kX + Probe::kW / 2) + L" " +
                                 std::to_wstring(Probe::kY + Probe::kH / 2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    HWND dialog = OpenFunctionDialog(u"Virtual Keyboard...");
    ASSERT_NE(dialog, nullptr);
    // While it records, a key typed anywhere is the dialog's: the probe misses it.
    ASSERT_TRUE(probe.Focus());
    watch.Clear();
    Xdotool(L"key q");
    PumpUntil([] { return false; }, 800);
    EXPECT_EQ(probe.Count(WM_KEYDOWN, 'Q'), 0) << "the recording swallows keys";
    EXPECT_EQ(watch.Presses('Q'), 0) << "before any other hook sees them";
    ASSERT_TRUE(IsWindowVisible(dialog)) << "a recorded key does not close the dialog";

    c.close(dialog);
    ASSERT_TRUE(WaitClosed(dialog));
    // As soon as the dialog is out of sight, keys pass at once. Its window takes
    // a while to go (some 2 s here); a recording still hooked meanwhile would
    // hold every key of the system until then.
    Xdotool(overProbe);
    watch.Clear();
    const auto typed = Clock::now();
    Xdotool(L"key q");
    ASSERT_TRUE(PumpUntil([&] { return watch.Presses('Q') == 1; }, 3000))
        << "a key typed just after the close is not swallowed";
    EXPECT_LT(Ms(*watch.FirstAt('Q') - typed), 800) << "nor held up";

    // Once the window has gone and the main window is back, a focused window of
    // another program gets what is typed.
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(cfg) != FALSE; }, 5000));
    ASSERT_TRUE(probe.Focus());
    Xdotool(L"key q");
    EXPECT_TRUE(PumpUntil(
        [&] { return probe.Count(WM_KEYDOWN, 'Q') == 1 && probe.Count(WM_KEYUP, 'Q') == 1; }, 5000))
        << "keys reach the focused window again";
    EXPECT_TRUE(Alive(*config));
  }

  // The recorded Q was never confirmed: an apply stores the entry as it was.
  Apply();
  PumpUntil([] { return false; }, 1000);
  TBUTTONFUNCINFO entry{};
  ASSERT_TRUE(StoredButton(L"zykProfile1.pfd", kSide, entry));
  EXPECT_EQ(memcmp(&entry, &before, sizeof entry), 0);
  EXPECT_TRUE(Alive(*config)) << "quarncfg.exe";
}

}  // namespace
