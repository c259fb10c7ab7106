// Sideways scrolling on Wine's desktop: windows of this test registered under
// the class names the scroll knows receive the wheel message, the arrow keys
// or the scroll-bar messages from the real window adapter and input sink; a
// hung window costs one time-out; the fallback notch arrives as a horizontal
// wheel; the Windows 6.1 pass reaches every other scroll bar.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "com_automation.h"
#include "horizontal_scroll.h"
#include "message_waiter.h"
#include "send_input_sink.h"
#include "test_window.h"
#include "win_scroll_windows.h"

namespace {

using quarn::ScrollDirection;
using quarn::testing::RecordingWindow;

struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// A top-level window of a chosen class that records scroll, wheel and key messages.
class ClassWindow {
 public:
  explicit ClassWindow(const wchar_t* className, HWND parent = nullptr, int x = 100, int y = 100) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ClassWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    hwnd =
        CreateWindowExW(0, className, L"Budget.xlsx - scroll test", style, x, y, parent ? 50 : 400,
                        parent ? 20 : 300, parent, nullptr, wc.hInstance, this);
  }
  ~ClassWindow() {
    if (hwnd) DestroyWindow(hwnd);
  }
  ClassWindow(const ClassWindow&) = delete;
  ClassWindow& operator=(const ClassWindow&) = delete;

  bool BringToFront() {
    for (int attempt = 0; attempt < 50; ++attempt) {
      SetForegroundWindow(hwnd);
      SetFocus(hwnd);
      RecordingWindow::Pump(20);
      if (GetForegroundWindow() == hwnd && GetFocus() == hwnd) break;
    }
    RECT r;
    GetWindowRect(hwnd, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    RecordingWindow::Pump(50);
    received.clear();
    return GetForegroundWindow() == hwnd;
  }
  int Count(UINT message) const {
    int n = 0;
    for (const auto& s : received) n += s.message == message;
    return n;
  }

  HWND hwnd = nullptr;
  std::vector<Seen> received;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<ClassWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && (msg == WM_MOUSEHWHEEL || msg == WM_HSCROLL || msg == WM_KEYDOWN ||
                 msg == WM_KEYUP || msg == WM_LBUTTONDOWN))
      self->received.push_back({msg, wp, lp});
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
};

struct Rig {
  quarn::WinScrollWindows windows;
  quarn::ComAutomation automation;
  quarn::SendInputSink sink;
  quarn::MessageWaiter waiter;
  bool windows61 = false;
  quarn::HorizontalScroller scroller{windows, automation, sink, [this] { return windows61; }};

  void Scroll(ScrollDirection direction) {
    quarn::ActionRun run(sink, waiter, [] { return false; });
    scroller.Scroll(direction, run);
  }
};

TEST(WinHorizontalScroll, BrowserFrameGetsTheWheelMessageAtTheCursor) {
  ClassWindow frame(L"MozillaUIWindowClass");
  ASSERT_TRUE(frame.BringToFront());
  POINT cursor;
  GetCursorPos(&cursor);
  Rig rig;
  for (const auto direction : {ScrollDirection::Left, ScrollDirection::Right}) {
    frame.received.clear();
    rig.Scroll(direction);
    RecordingWindow::Pump(50);
    ASSERT_EQ(frame.Count(WM_MOUSEHWHEEL), 1);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(frame.received[0].wParam),
              direction == ScrollDirection::Left ? -120 : 120);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(frame.received[0].wParam), 0);
    EXPECT_EQ(static_cast<short>(LOWORD(frame.received[0].lParam)), cursor.x);
    EXPECT_EQ(static_cast<short>(HIWORD(frame.received[0].lParam)), cursor.y);
  }
}

TEST(WinHorizontalScroll, ArrowKeyClassesGetExtendedArrows) {
  struct Case {
    const wchar_t* className;
    int taps;
  };
  for (const Case& c : {Case{L"IEFrame", 1}, Case{L"AcrobatSDIWindow", 6}}) {
    SCOPED_TRACE(std::string(c.className, c.className + wcslen(c.className)));
    ClassWindow window(c.className);
    ASSERT_TRUE(window.BringToFront());
    Rig rig;
    rig.Scroll(ScrollDirection::Right);
    RecordingWindow::PumpUntil([&] { return window.Count(WM_KEYUP) >= c.taps; }, 2000);
    EXPECT_EQ(window.Count(WM_KEYDOWN), c.taps);
    EXPECT_EQ(window.Count(WM_KEYUP), c.taps);
    for (const auto& s : window.received) {
      EXPECT_EQ(s.wParam, static_cast<WPARAM>(VK_RIGHT));
      EXPECT_TRUE(s.lParam & (1 << 24)) << "extended";
    }
  }
}

std::atomic<int> barMessages{0};
WNDPROC original = nullptr;

LRESULT CALLBACK CountingBarProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_HSCROLL) ++barMessages;
  return CallWindowProcW(original, h, m, w, l);
}

TEST(WinHorizontalScroll, OtherWindowsGetScrollBarMessagesAndOn61EveryOtherBar) {
  ClassWindow frame(L"QuarnPlainFrame");
  // Scroll-bar children record nothing themselves: count what reaches them.
  std::vector<HWND> bars;
  for (int i = 0; i < 4; ++i)
    bars.push_back(CreateWindowExW(0, L"ScrollBar", nullptr, WS_CHILD | WS_VISIBLE | SBS_HORZ, 10,
                                   10 + 30 * i, 200, 20, frame.hwnd, nullptr, nullptr, nullptr));
  for (HWND bar : bars)
    original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingBarProc)));
  ASSERT_TRUE(frame.BringToFront());
  Rig rig;
  rig.Scroll(ScrollDirection::Left);
  EXPECT_EQ(frame.Count(WM_HSCROLL), 1);
  ASSERT_FALSE(frame.received.empty());
  EXPECT_EQ(frame.received[0].wParam, static_cast<WPARAM>(SB_LINELEFT));
  EXPECT_EQ(barMessages.load(), 0) << "no bar pass outside 6.1";
  rig.windows61 = true;
  rig.Scroll(ScrollDirection::Right);
  EXPECT_EQ(barMessages.load(), 2) << "first and third of four";
  rig.Scroll(ScrollDirection::Right);
  EXPECT_EQ(barMessages.load(), 4);
  for (HWND bar : bars) DestroyWindow(bar);
}

TEST(WinHorizontalScroll, AHungWindowCostsNoMoreThanTheTimeOut) {
  std::atomic<HWND> hung{nullptr};
  std::atomic<bool> release{false};
  std::thread owner([&] {
    ClassWindow window(L"QuarnHungFrame", nullptr, 500, 100);
    hung = window.hwnd;
    // Never looks at its queue until told.
    while (!release) Sleep(10);
  });
  while (hung.load() == nullptr) Sleep(5);
  quarn::WinScrollWindows windows;
  const auto start = std::chrono::steady_clock::now();
  const auto result =
      windows.Send(reinterpret_cast<quarn::WindowId>(hung.load()), WM_HSCROLL, SB_LINELEFT, 0);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  release = true;
  owner.join();
  EXPECT_EQ(result, quarn::SendResult::TimedOut);
  EXPECT_LT(ms, quarn::WinScrollWindows::SEND_TIMEOUT_MS + 400);
  EXPECT_EQ(windows.Send(reinterpret_cast<quarn::WindowId>(hung.load()), WM_HSCROLL, 0, 0),
            quarn::SendResult::Failed)
      << "the window is gone";
}

TEST(WinHorizontalScroll, UnreachableOfficeFallsBackToAHorizontalWheelNotch) {
  // No Excel runs: its window's step ends in one injected notch, no click.
  ClassWindow excel(L"XLMAIN");
  ASSERT_TRUE(excel.BringToFront());
  Rig rig;
  rig.Scroll(ScrollDirection::Left);
  RecordingWindow::PumpUntil([&] { return excel.Count(WM_MOUSEHWHEEL) > 0; }, 2000);
  ASSERT_EQ(excel.Count(WM_MOUSEHWHEEL), 1);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(excel.received[0].wParam), -120);
  EXPECT_EQ(excel.Count(WM_LBUTTONDOWN), 0);
}

}  // namespace
