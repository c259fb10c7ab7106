// The demo's function menu driven with real X input (xdotool) from outside, as a user
// drives it: the pop-ups are found as windows of the demo's process, rows by the menu's
// geometry (margins 7, rows 30), and what happened is read from the demo's log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "window_input.h"

namespace {

using quarn::ui::testing::MoveTo;
using quarn::ui::testing::Pump;
using quarn::ui::testing::PumpUntil;
using quarn::ui::testing::Xdotool;

constexpr int kRow = 30, kMarginTop = 7, kMarginRight = 12;
constexpr POINT kMenuAt{430, 10};         // client point of the function menu
constexpr POINT kKeyFunctions{130, 419};  // centre of the button that opens it
constexpr POINT kLanguage{490, 419};
constexpr POINT kEmpty{100, 560};  // nothing there, and no menu level above it
constexpr int kMediaShortcut = 11, kClick = 0;
constexpr int kMute = 0, kNextTrack = 3, kStop = 5;

std::wstring Wide(const std::string& s) {
  return std::wstring(s.begin(), s.end());
}

// The demo beside this test's build folder, as a Windows path.
std::wstring DemoFolder() {
  std::wstring p = L"Z:" + Wide(QUARN_DEMO_DIR);
  std::replace(p.begin(), p.end(), L'/', L'\\');
  return p + L"\\";
}

class DemoProcess {
 public:
  explicit DemoProcess(const std::wstring& args = L"") {
    DeleteFileW((DemoFolder() + L"uikit_demo.log").c_str());
    std::wstring cmd = L"\"" + DemoFolder() + L"uikit_demo.exe\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        DemoFolder().c_str(), &si, &pi_))
      return;
    PumpUntil(
        [&] {
          window_ = FindWindowW(L"TQuarnUiDemo", nullptr);
          return window_ && IsWindowVisible(window_) && Log().find("start") != std::string::npos;
        },
        20000);
  }
  ~DemoProcess() {
    if (window_ && IsWindow(window_)) PostMessageW(window_, 7036, 0, 0);
    if (pi_.hProcess) {
      if (WaitForSingleObject(pi_.hProcess, 5000) != WAIT_OBJECT_0)
        TerminateProcess(pi_.hProcess, 1);
      CloseHandle(pi_.hProcess);
      CloseHandle(pi_.hThread);
    }
  }
  DemoProcess(const DemoProcess&) = delete;
  DemoProcess& operator=(const DemoProcess&) = delete;

  bool Ok() const { return window_ != nullptr; }
  HWND Window() const { return window_; }
  DWORD Pid() const { return pi_.dwProcessId; }

  std::string Log() const {
    std::string text;
    FILE* f = _wfopen((DemoFolder() + L"uikit_demo.log").c_str(), L"rb");
    if (!f) return text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    std::fclose(f);
    return text;
  }
  std::vector<std::string> LogLines() const {
    std::vector<std::string> out;
    std::istringstream in(Log());
    for (std::string line; std::getline(in, line);)
      if (!line.empty()) out.push_back(line);
    return out;
  }
  int Count(const std::string& prefix) const {
    int n = 0;
    for (const std::string& l : LogLines()) n += l.rfind(prefix, 0) == 0;
    return n;
  }

  POINT Screen(POINT client) const {
    ClientToScreen(window_, &client);
    return client;
  }

  // The demo's visible menu pop-ups, left to right.
  std::vector<RECT> Popups() const {
    PopupWalk walk{pi_.dwProcessId, {}};
    EnumWindows(&DemoProcess::CollectPopup, reinterpret_cast<LPARAM>(&walk));
    std::sort(walk.found.begin(), walk.found.end(),
              [](const RECT& a, const RECT& b) { return a.left < b.left; });
    return walk.found;
  }
  bool WaitPopups(std::size_t n) const {
    return PumpUntil([&] { return Popups().size() == n; }, 5000);
  }

 private:
  struct PopupWalk {
    DWORD pid;
    std::vector<RECT> found;
  };
  static BOOL CALLBACK CollectPopup(HWND h, LPARAM l) {
    auto* w = reinterpret_cast<PopupWalk*>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    if (pid == w->pid && IsWindowVisible(h) && std::wstring(cls) == L"TQuarnMenuPopup") {
      RECT r;
      GetWindowRect(h, &r);
      w->found.push_back(r);
    }
    return TRUE;
  }

  PROCESS_INFORMATION pi_{};
  HWND window_ = nullptr;
};

POINT RowCentre(const RECT& level, int row) {
  return {(level.left + level.right) / 2, level.top + kMarginTop + row * kRow + kRow / 2};
}

bool ClickAt(POINT p) {
  return MoveTo(p.x, p.y) && Xdotool(L"click 1");
}

// Opens the function menu with a real click; its one level, or an empty rectangle.
RECT OpenFunctionMenu(const DemoProcess& demo) {
  const int opened = demo.Count("menu open function");
  if (!ClickAt(demo.Screen(kKeyFunctions))) return {};
  if (!PumpUntil([&] { return demo.Count("menu open function") > opened; }, 5000)) return {};
  if (!demo.WaitPopups(1)) return {};
  return demo.Popups()[0];
}

// Hovers a sub-menu row of the main level and returns its sub-level's rectangle.
bool HoverSubMenu(const DemoProcess& demo, const RECT& main, int row, RECT& sub) {
  const POINT p = RowCentre(main, row);
  if (!MoveTo(p.x, p.y) || !demo.WaitPopups(2)) return false;
  sub = demo.Popups()[1];
  return true;
}

std::vector<std::string> Since(const std::vector<std::string>& lines, std::size_t from) {
  return {lines.begin() + std::ptrdiff_t(std::min(from, lines.size())), lines.end()};
}

TEST(DemoMenuInput, SubMenuOpensBesideItsRowAndAClickReportsOnceAfterEveryLevelClosed) {
  DemoProcess demo;
  ASSERT_TRUE(demo.Ok());
  const RECT main = OpenFunctionMenu(demo);
  ASSERT_GT(main.bottom, main.top);
  const POINT at = demo.Screen(kMenuAt);
  EXPECT_EQ(main.left, at.x);
  EXPECT_EQ(main.top, at.y);
  EXPECT_EQ(main.bottom - main.top, 21 * kRow + 7 + 7);

  RECT sub;
  ASSERT_TRUE(HoverSubMenu(demo, main, kMediaShortcut, sub));
  EXPECT_EQ(sub.left, main.right - kMarginRight) << "opens at the right edge of its row";
  EXPECT_EQ(sub.top, main.top + kMarginTop + kMediaShortcut * kRow) << "beside its row";
  EXPECT_EQ(sub.bottom - sub.top, 8 * kRow + 7 + 7);

  // Hovering a plain row closes the sub-level; hovering the sub-menu row again reopens it.
  const POINT click = RowCentre(main, kClick);
  ASSERT_TRUE(MoveTo(click.x, click.y));
  ASSERT_TRUE(demo.WaitPopups(1));
  ASSERT_TRUE(HoverSubMenu(demo, main, kMediaShortcut, sub));

  const std::size_t before = demo.LogLines().size();
  ASSERT_TRUE(ClickAt(RowCentre(sub, kNextTrack)));
  ASSERT_TRUE(PumpUntil([&] { return demo.Count("click ") == 1; }, 5000));
  ASSERT_TRUE(demo.WaitPopups(0));
  Pump(300);
  const std::vector<std::string> after = Since(demo.LogLines(), before);
  const std::vector<std::string> expected = {"close 12", "close main", "click Item4 1204"};
  EXPECT_EQ(after, expected) << "deeper level first, the click after both closed, once";
}

TEST(DemoMenuInput, PressOnOneItemAndReleaseOnAnotherClosesWithoutAClick) {
  DemoProcess demo;
  ASSERT_TRUE(demo.Ok());
  const RECT main = OpenFunctionMenu(demo);
  ASSERT_GT(main.bottom, main.top);
  RECT sub;
  ASSERT_TRUE(HoverSubMenu(demo, main, kMediaShortcut, sub));

  const POINT mute = RowCentre(sub, kMute), stop = RowCentre(sub, kStop);
  ASSERT_TRUE(MoveTo(mute.x, mute.y));
  Pump(200);
  ASSERT_TRUE(Xdotool(L"mousedown 1"));
  Pump(300);
  ASSERT_TRUE(MoveTo(stop.x, stop.y));
  Pump(200);
  ASSERT_TRUE(Xdotool(L"mouseup 1"));
  ASSERT_TRUE(demo.WaitPopups(0));
  Pump(500);
  EXPECT_EQ(demo.Count("click "), 0);
  EXPECT_EQ(demo.Count("close "), 2);
}

TEST(DemoMenuInput, ClickOutsideClosesEveryLevelWithoutAClick) {
  DemoProcess demo;
  ASSERT_TRUE(demo.Ok());
  const RECT main = OpenFunctionMenu(demo);
  ASSERT_GT(main.bottom, main.top);
  RECT sub;
  ASSERT_TRUE(HoverSubMenu(demo, main, kMediaShortcut, sub));

  ASSERT_TRUE(ClickAt(demo.Screen(kEmpty)));
  ASSERT_TRUE(demo.WaitPopups(0));
  Pump(500);
  EXPECT_EQ(demo.Count("click "), 0);
  EXPECT_EQ(demo.Count("close 12"), 1);
  EXPECT_EQ(demo.Count("close main"), 1);

  // The menu opens again after such a close.
  EXPECT_GT(OpenFunctionMenu(demo).bottom, 0);
}

// The pixels of a screen rectangle, as 0x00RRGGBB.
std::vector<std::uint32_t> Grab(const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  std::vector<std::uint32_t> px(std::size_t(std::max(w, 0) * std::max(h, 0)));
  if (px.empty()) return px;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bmp) {
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* src = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < px.size(); ++i) px[i] = src[i] & 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(bmp);
  }
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return px;
}

int Ink(const std::vector<std::uint32_t>& px) {
  const std::uint32_t back = px.empty() ? 0 : px[0];
  return int(std::count_if(px.begin(), px.end(), [&](std::uint32_t p) { return p != back; }));
}

int Differing(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  int n = 0;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) n += a[i] != b[i];
  return n;
}

// The text part of a row of the main level (the pointer is parked away from it).
RECT RowText(const RECT& level, int row) {
  const int top = level.top + kMarginTop + row * kRow;
  return {level.left + 12, top + 2, level.left + 12 + 110, top + kRow - 2};
}

// Rows 1 and 2 ("Right Click", "Middle Click") have captions of the same length in
// Chinese: boxes in place of missing glyphs would draw them alike.
TEST(DemoMenuInput, ChineseCaptionsRenderAsDistinctGlyphs) {
  DemoProcess demo;
  ASSERT_TRUE(demo.Ok());
  RECT main = OpenFunctionMenu(demo);
  ASSERT_GT(main.bottom, main.top);
  ASSERT_TRUE(MoveTo(main.right + 40, main.bottom - 10));  // off the rows: no hover fill
  Pump(500);
  const auto english = Grab(RowText(main, 1));
  ASSERT_TRUE(ClickAt(demo.Screen(kEmpty)));
  ASSERT_TRUE(demo.WaitPopups(0));

  ASSERT_TRUE(ClickAt(demo.Screen(kLanguage)));
  ASSERT_TRUE(PumpUntil([&] { return demo.Count("language=0804") == 1; }, 5000));
  main = OpenFunctionMenu(demo);
  ASSERT_GT(main.bottom, main.top);
  ASSERT_TRUE(MoveTo(main.right + 40, main.bottom - 10));
  Pump(500);
  const auto right = Grab(RowText(main, 1)), middle = Grab(RowText(main, 2));
  EXPECT_GT(Ink(right), 20) << "the Chinese caption is drawn";
  EXPECT_GT(Ink(middle), 20);
  EXPECT_GT(Differing(right, middle), 20) << "distinct glyphs, not boxes";
  EXPECT_GT(Differing(english, right), 20) << "the captions changed language";
}

}  // namespace
