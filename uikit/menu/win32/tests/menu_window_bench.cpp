// Timings of the function menu in real pop-up windows under Wine, with injected input
// (SendInput):
//   open:  a left click on a button window, whose release shows the menu, until the
//          main level's first paint has been blitted;
//   hover: the pointer moved onto the "Media Shortcut" row of the open level, until
//          the sub-level's first paint.
// Between runs the menu (or the sub-level) is closed again. Prints p50/p99 in
// milliseconds. --runs N (default 100).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "function_menu.h"
#include "gdiplus_session.h"
#include "menu/menu_box.h"
#include "win_menu_host.h"

namespace {

using namespace quarn;
using Clock = std::chrono::steady_clock;

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done && done()) return true;
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
}

void MoveTo(int x, int y) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = LONG((x * 65535.0) / (GetSystemMetrics(SM_CXSCREEN) - 1) + 0.5);
  in.mi.dy = LONG((y * 65535.0) / (GetSystemMetrics(SM_CYSCREEN) - 1) + 0.5);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void Button(DWORD flag) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flag;
  SendInput(1, &in, sizeof in);
}

struct Bench {
  menu::WinMenuHost host;
  menu::TvnMenuEx menu;
  HWND opener = nullptr;
  menu::TvnMenuItemsEx* media = nullptr;
  std::map<const menu::TvnMenuBox*, int> paints;  // paints per level

  static LRESULT CALLBACK OpenerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_LBUTTONUP) {
      auto* self = reinterpret_cast<Bench*>(GetWindowLongPtrW(h, GWLP_USERDATA));
      if (self) self->Open();
      return 0;
    }
    return DefWindowProcW(h, m, w, l);
  }

  bool Init() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Bench::OpenerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuarnMenuBenchOpener";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    opener = CreateWindowExW(0, wc.lpszClassName, L"menu bench", WS_POPUP | WS_VISIBLE, 40, 40, 200,
                             60, nullptr, nullptr, wc.hInstance, nullptr);
    if (!opener) return false;
    SetWindowLongPtrW(opener, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    menu.Host = &host;
    if (!config::BuildFunctionMenu(menu)) return false;
    config::MenuArtwork art;
    art.backgroundFill = ui::Fill::Solid(ui::Rgb(0x20, 0x24, 0x2C));
    art.over = ui::Fill::Solid(ui::Rgb(0x3C, 0x5A, 0x82));
    art.down = ui::Fill::Solid(ui::Rgb(0x2E, 0x8B, 0x57));
    art.extender = ui::Fill::Solid(ui::Rgb(0xE9, 0xE9, 0xE9));
    config::ApplyFunctionMenuLook(menu, art);
    for (int i = 0; i < menu.Items().Count(); ++i)
      if (menu.Items().Items(i)->ItemID() == config::kMediaShortcutMenuID)
        media = &menu.Items().Items(i)->SubItems();
    host.SetOnPainted([this](const menu::TvnMenuBox& box) { ++paints[&box]; });
    UpdateWindow(opener);
    return media != nullptr;
  }

  void Open() {
    menu::MenuTarget t;
    t.window = reinterpret_cast<std::uintptr_t>(opener);
    t.holderLeft = 40;
    menu.ShowMainMenu(0, t, ui::Placement::Absolute, ui::RectF{300, 40, 0, 0});
  }

  int PaintsOf(const menu::TvnMenuItemsEx& level) { return level.Box() ? paints[level.Box()] : 0; }
};

void Report(const char* what, std::vector<double> v) {
  if (v.empty()) return;
  std::sort(v.begin(), v.end());
  std::printf("%-40s p50 %7.3f ms  p99 %7.3f ms  (%zu runs)\n", what, v[v.size() / 2],
              v[std::min(v.size() - 1, v.size() * 99 / 100)], v.size());
}

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

int Run(int runs) {
  Bench b;
  if (!b.Init()) return 3;
  std::vector<double> open, hover;
  for (int i = 0; i < runs; ++i) {
    // Open: click the opener; the level's first paint ends the run.
    MoveTo(140, 70);
    PumpUntil(nullptr, 20);
    int since = b.PaintsOf(b.menu.Items());
    const auto t0 = Clock::now();
    Button(MOUSEEVENTF_LEFTDOWN);
    Button(MOUSEEVENTF_LEFTUP);
    if (!PumpUntil([&] { return b.PaintsOf(b.menu.Items()) > since; }, 5000)) return 4;
    open.push_back(Ms(Clock::now() - t0));

    // Hover: onto the sub-menu row; the sub-level's first paint ends the run.
    const menu::TvnMenuBox& box = *b.menu.Items().Box();
    const ui::RectF row = box.RowRect(config::kMediaShortcutMenuID - 1);
    const int rx = int(box.Position().x + row.x + row.width / 2);
    const int ry = int(box.Position().y + row.y + row.height / 2);
    PumpUntil(nullptr, 20);
    since = b.PaintsOf(*b.media);
    const auto t1 = Clock::now();
    MoveTo(rx, ry);
    if (!PumpUntil([&] { return b.PaintsOf(*b.media) > since; }, 5000)) return 5;
    hover.push_back(Ms(Clock::now() - t1));

    // Close every level (a click on the opener's left part closes and reopens: use the
    // menu's own walk instead), then let the windows settle.
    menu::CloseAllMenuLevels(b.menu.Items());
    if (!PumpUntil([&] { return !b.menu.IsMenuOpen(); }, 5000)) return 6;
  }
  Report("click -> function menu painted", open);
  Report("hover sub-menu row -> sub-level painted", hover);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 100;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
  ui::GdiplusSession session;
  if (!session.Ok()) return 2;
  const int code = Run(runs);
  if (code) std::printf("menu bench failed at step %d\n", code);
  return code;
}
