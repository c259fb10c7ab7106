// Sideways scrolling through the installed quarnmon.exe: the side buttons are
// given "Scroll Left" and "Scroll Right", real X presses (xdotool buttons 8 and
// 9) go over windows of this test registered under the class names the scroll
// knows, and each window must receive the wheel message, arrow keys or
// scroll-bar messages of its class, without a click and without the pointer
// moving. A window that stops answering costs the monitor no more than its
// send time-out per scroll: clicks and the next scroll still pass.
#include <atomic>
#include <cstdio>
#include <thread>

#include "e2e_support.h"
#include "function_ids.h"
#include "scroll_probe.h"
#include "win_scroll_windows.h"

namespace {

using namespace quarn::e2e;
using Clock = std::chrono::steady_clock;

long Ms(Clock::duration d) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

// X button 1 (X11 button 8) scrolls left, X button 2 (X11 button 9) right.
void GiveSideButtonsTheScroll(TMouseProfileInfo& p) {
  auto& b = p.ConfigInfo.ButtonFuncInfo;
  b[4].FunctionKind = FUNCKIND_BASIC;
  b[4].MenuID = MENUID_SCROLL_LEFT;
  b[3].FunctionKind = FUNCKIND_BASIC;
  b[3].MenuID = MENUID_SCROLL_RIGHT;
}

enum class Expect {
  WheelAtCursor,  // WM_MOUSEHWHEEL sent to the window under the pointer
  WheelNotch,     // the application cannot be reached: one injected horizontal notch
  Arrows,         // extended arrow taps, perhaps inside a modifier
  ScrollBar,      // WM_HSCROLL to the focused window
};

struct Row {
  const char* why;
  const wchar_t* className;
  DWORD extraStyle;
  Expect expect;
  int taps;       // Arrows: how many
  UINT modifier;  // Arrows: held around the taps, 0 for none
};

const Row kRows[] = {
    {"browser frame: wheel message at the cursor", L"MozillaUIWindowClass", 0,
     Expect::WheelAtCursor, 0, 0},
    {"the browser frame's name compares with its case", L"mozillauiwindowclass", 0,
     Expect::ScrollBar, 0, 0},
    {"reader: Shift and an arrow", L"AdobeAcrobat", 0, Expect::Arrows, 1, VK_SHIFT},
    {"photo viewer: one arrow", L"Photo_Lightweight_Viewer", 0, Expect::Arrows, 1, 0},
    {"single-document reader: six arrows", L"AcrobatSDIWindow", 0, Expect::Arrows, 6, 0},
    {"picture preview: Ctrl and an arrow", L"ShImgVw:CPreviewWnd", 0, Expect::Arrows, 1,
     VK_CONTROL},
    {"other rows ignore case", L"ieframe", 0, Expect::Arrows, 1, 0},
    {"word processor not running", L"OpusApp", 0, Expect::WheelNotch, 0, 0},
    {"spreadsheet not running", L"XLMAIN", 0, Expect::WheelNotch, 0, 0},
    {"presentations not running", L"PP12FrameClass", 0, Expect::WheelNotch, 0, 0},
    {"any other window: scroll-bar message", L"QuarnScrollBarProbe", WS_HSCROLL, Expect::ScrollBar,
     0, 0},
};

bool Extended(LPARAM l) {
  return (l & (1 << 24)) != 0;
}

// Whether everything one press in `left`'s direction must produce has arrived.
bool Complete(const ScrollProbe& p, const Row& row, bool left) {
  const WPARAM arrow = left ? VK_LEFT : VK_RIGHT;
  switch (row.expect) {
    case Expect::WheelAtCursor:
    case Expect::WheelNotch:
      return p.Count(WM_MOUSEHWHEEL) > 0;
    case Expect::Arrows:
      return p.Count(WM_KEYUP, arrow) >= row.taps &&
             (row.modifier == 0 || p.Count(WM_KEYUP, row.modifier) > 0);
    case Expect::ScrollBar:
      return p.Count(WM_HSCROLL) > 0;
  }
  return false;
}

void CheckPress(const ScrollProbe& p, const Row& row, bool left, POINT cursor) {
  const WPARAM arrow = left ? VK_LEFT : VK_RIGHT;
  const int delta = left ? -120 : 120;
  switch (row.expect) {
    case Expect::WheelAtCursor: {
      ASSERT_EQ(p.Count(WM_MOUSEHWHEEL), 1);
      const auto* m = p.First(WM_MOUSEHWHEEL);
      EXPECT_EQ(m->wParam, left ? WPARAM{0xFF880000u} : WPARAM{0x00780000u});
      EXPECT_EQ(m->lParam, MAKELPARAM(cursor.x, cursor.y)) << "the pointer's place";
      break;
    }
    case Expect::WheelNotch:
      ASSERT_EQ(p.Count(WM_MOUSEHWHEEL), 1) << "one notch, no clicks near the corner";
      EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(p.First(WM_MOUSEHWHEEL)->wParam), delta);
      break;
    case Expect::Arrows: {
      EXPECT_EQ(p.Count(WM_KEYDOWN, arrow), row.taps);
      EXPECT_EQ(p.Count(WM_KEYUP, arrow), row.taps) << "every arrow is released";
      for (const auto& s : p.received)
        if (s.wParam == arrow) {
          EXPECT_TRUE(Extended(s.lParam)) << "an extended arrow key";
        }
      if (row.modifier != 0) {
        // The modifier goes down before the first arrow and up after the last.
        int order = 0;
        for (const auto& s : p.received) {
          if (order == 0 && s.msg == WM_KEYDOWN && s.wParam == row.modifier) order = 1;
          if (order == 1 && s.msg == WM_KEYDOWN && s.wParam == arrow) order = 2;
          if (order == 2 && s.msg == WM_KEYUP && s.wParam == arrow) order = 3;
          if (order == 3 && s.msg == WM_KEYUP && s.wParam == row.modifier) order = 4;
        }
        EXPECT_EQ(order, 4) << "modifier down, arrow down and up, modifier up";
      }
      EXPECT_EQ(p.Count(WM_MOUSEHWHEEL), 0);
      break;
    }
    case Expect::ScrollBar:
      EXPECT_EQ(p.Count(WM_HSCROLL), 1);
      EXPECT_EQ(p.Count(WM_HSCROLL, left ? SB_LINELEFT : SB_LINERIGHT), 1);
      EXPECT_EQ(p.Count(WM_MOUSEHWHEEL), 0);
      break;
  }
  EXPECT_EQ(p.Count(WM_LBUTTONDOWN) + p.Count(WM_RBUTTONDOWN) + p.Count(WM_MBUTTONDOWN), 0)
      << "no click reaches the window";
}

class ScrollE2E : public ::testing::Test {
 protected:
  void Start(const std::function<void(TMouseProfileInfo&)>& edit = GiveSideButtonsTheScroll) {
    StoreProfiles(edit);
    monitor = std::make_unique<Monitor>();
    ASSERT_NE(WaitForMonitorWindow(monitor->pid()), nullptr);
    PumpUntil([] { return false; }, 500);
  }
  // Pointer over the window (which becomes the foreground and takes the focus).
  void Focus(HWND hwnd, int x, int y) { FocusByClick(hwnd, x, y); }
  bool MonitorAlive() {
    DWORD code = 0;
    return !monitor->WaitExit(0, &code);
  }
  void TearDown() override { monitor.reset(); }
  std::unique_ptr<Monitor> monitor;
};

TEST_F(ScrollE2E, EachClassOfWindowGetsItsOwnScrollFromTheSideButtons) {
  Start();
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.why);
    ScrollProbe probe(row.className, WS_POPUP | WS_VISIBLE | row.extraStyle, 100, 100, 300, 300);
    ASSERT_EQ(probe.ClassName(), row.className);
    Focus(probe.hwnd(), 250, 250);
    ASSERT_EQ(GetForegroundWindow(), probe.hwnd());
    for (const bool left : {true, false}) {
      SCOPED_TRACE(left ? "Scroll Left" : "Scroll Right");
      POINT before{}, after{};
      GetCursorPos(&before);
      // The scroll goes to the foreground window. Wine may hand the foreground
      // to another window late, as the X focus events of the window destroyed
      // before this one arrive; a press made then says nothing about the
      // monitor, so it is made again once the probe is in front for sure.
      bool complete = false;
      for (int attempt = 0; attempt < 2 && !complete; ++attempt) {
        if (GetForegroundWindow() != probe.hwnd()) Focus(probe.hwnd(), 250, 250);
        ASSERT_EQ(GetForegroundWindow(), probe.hwnd());
        probe.received.clear();
        Xdotool(left ? L"click 8" : L"click 9");
        complete = PumpUntil([&] { return Complete(probe, row, left); }, 4000);
        const HWND front = GetForegroundWindow();
        if (front == probe.hwnd()) break;  // the probe kept the front: no second try
        wchar_t name[256] = {};
        GetClassNameW(front, name, 256);
        std::fprintf(stderr, "the foreground moved to a %ls window during the press\n", name);
      }
      EXPECT_TRUE(complete) << "foreground " << GetForegroundWindow() << ", probe " << probe.hwnd();
      PumpUntil([] { return false; }, 150);  // anything that comes twice
      CheckPress(probe, row, left, before);
      GetCursorPos(&after);
      EXPECT_EQ(after.x, before.x) << "the pointer does not move";
      EXPECT_EQ(after.y, before.y);
    }
  }
  EXPECT_TRUE(MonitorAlive());
}

// A window with a scroll bar whose thread stops reading its messages is in
// front while the pointer rests on another window: Scroll Left sends to the
// stopped window; the next action (X button 2, a middle click), a left click
// and a command posted to the monitor each wait at most one send time-out.
// (X input over a window is read by the thread that owns it, so the pointer
// stays off the stopped one.)
TEST_F(ScrollE2E, AHungWindowDelaysTheNextActionClickAndCommandByNoMoreThanTheTimeOut) {
  Start([](TMouseProfileInfo& p) {
    GiveSideButtonsTheScroll(p);
    p.ConfigInfo.ButtonFuncInfo[3].MenuID = MENUID_MIDDLE_CLICK;
  });
  const HWND mon = MonitorWindow();
  constexpr int kHangMs = 4000;
  ScrollProbe clicks(L"QuarnClickProbe", WS_POPUP | WS_VISIBLE, 450, 100, 300, 300);
  Recorder config(L"TQUARNCfgMain", WS_POPUP, 0, 0, 10, 10);

  std::atomic<HWND> frame{nullptr};
  std::atomic<int> frameScrolls{0};
  std::atomic<bool> hang{false}, hanging{false}, quit{false};
  std::thread owner([&] {
    ScrollProbe window(L"QuarnHungScrollBar", WS_POPUP | WS_VISIBLE | WS_HSCROLL, 100, 100, 300,
                       300);
    frame = window.hwnd();
    while (!quit) {
      if (hang.exchange(false)) {
        hanging = true;
        Sleep(kHangMs);  // reads nothing meanwhile
        hanging = false;
      }
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      frameScrolls = window.Count(WM_HSCROLL);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  });
  ASSERT_TRUE(PumpUntil([&] { return frame.load() != nullptr; }, 2000));

  struct Times {
    long next = -1;     // from the start of xdotool to the middle click's arrival
    long click = -1;    // and to the left click's
    long command = -1;  // from posting a profile command to its notice
  };
  auto run = [&](bool hung) {
    Times t;
    Focus(frame.load(), 250, 250);
    Xdotool(L"mousemove 600 250");
    if (GetForegroundWindow() != frame.load()) return t;
    if (hung) {
      hang = true;
      if (!PumpUntil([&] { return hanging.load(); }, 1000)) return t;
    }
    clicks.received.clear();
    const auto start = Clock::now();
    if (!LaunchXdotool(L"click 8 sleep 0.1 click 9 sleep 0.1 click 1")) return t;
    if (!PumpUntil(
            [&] { return clicks.Count(WM_LBUTTONDOWN) > 0 && clicks.Count(WM_MBUTTONDOWN) > 0; },
            8000))
      return t;
    t.next = Ms(clicks.First(WM_MBUTTONDOWN)->at - start);
    t.click = Ms(clicks.First(WM_LBUTTONDOWN)->at - start);
    if (hung) {
      // The monitor's own queue is not held up behind the scroll either.
      config.received.clear();
      const auto posted = Clock::now();
      PostMessageW(mon, WM_EXTERNAL_COMMAND, 23, 0);
      if (PumpUntil([&] { return config.GotMessage(WM_PROFILE_SWITCHED); }, 8000))
        t.command = Ms(config.received.front().at - posted);
    }
    PumpUntil([&] { return !hanging.load(); }, kHangMs + 1000);
    PumpUntil([] { return false; }, 200);
    return t;
  };
  const Times healthy = run(false);
  const int scrolledHealthy = frameScrolls;
  const Times hung = run(true);
  quit = true;
  owner.join();

  std::printf(
      "after Scroll Left on a window that answers / does not: next action %ld / %ld ms, "
      "click %ld / %ld ms from the start of xdotool; a posted command then %ld ms\n",
      healthy.next, hung.next, healthy.click, hung.click, hung.command);
  EXPECT_EQ(scrolledHealthy, 1) << "the scroll goes to the window in front";
  ASSERT_GE(healthy.next, 0) << "the next action and the click arrive";
  ASSERT_GE(hung.next, 0) << "also after a window that does not answer";
  const long timeout = static_cast<long>(quarn::WinScrollWindows::SEND_TIMEOUT_MS);
  EXPECT_LT(hung.next - healthy.next, timeout + 300) << "the next action waits one time-out";
  EXPECT_LT(hung.click - healthy.click, timeout + 300);
  EXPECT_LT(hung.next, kHangMs - 1000) << "nobody waited for the hung window";
  ASSERT_GE(hung.command, 0) << "the command is carried out";
  EXPECT_LT(hung.command, timeout + 300);
  EXPECT_TRUE(MonitorAlive());
}

}  // namespace
