// Menu timings under the GDI+ canvas: from the request to show a function menu (21
// rows, four sub-menus) to its level painted, the same for a second show that reuses
// the rows, and from hovering a sub-menu row to the sub-level painted. Text is measured
// by GDI+ as the pop-up windows would. Prints p50/p99 in milliseconds. --runs N.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fake_menu_host.h"
#include "gdiplus_canvas.h"
#include "gdiplus_include.h"
#include "gdiplus_session.h"
#include "menu/menu_paint.h"
#include "offscreen.h"

namespace {

using namespace quarn::menu;
using namespace quarn::menu::testing;
using Clock = std::chrono::steady_clock;

struct MeasuringHost : FakeHost {
  HDC dc = CreateCompatibleDC(nullptr);
  quarn::ui::GdiplusCanvas measure{dc};
  ~MeasuringHost() override { DeleteDC(dc); }
  quarn::ui::SizeF MeasureText(std::u16string_view text, const quarn::ui::FontSpec& font) override {
    return measure.MeasureText(text, font);
  }
};

void BuildFunctionMenu(TvnMenuEx& menu) {
  const char16_t* top[] = {u"Click",
                           u"Menu",
                           u"Universal Scroll",
                           u"Double Click",
                           u"Media Shortcut",
                           u"Windows Shortcut",
                           u"Office Shortcut",
                           u"Browser Shortcut",
                           u"Scroll Up",
                           u"Scroll Down",
                           u"Scroll Left",
                           u"Scroll Right",
                           u"Fire Key",
                           u"Key Combination",
                           u"Quick Launch",
                           u"Macro",
                           u"Profile Switch",
                           u"DPI Switch",
                           u"Disable",
                           u"Virtual Keyboard...",
                           u"Note"};
  for (const char16_t* c : top) menu.Items().Add()->Caption = c;
  for (int parent : {4, 5, 6, 7})
    for (const char16_t* c : {u"Play", u"Stop", u"Mute", u"Next Track", u"Previous Track",
                              u"Volume Up", u"Volume Down"})
      menu.Items().Items(parent)->SubItems().Add()->Caption = c;
  menu.UseCustomMenuParams = true;
  menu.Parameters.BGMargins = {12, 7, 12, 7};
  menu.Parameters.ItemFont = {u"Tahoma", 13, false, false, false};
}

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

void Paint(const TvnMenuBox& box) {
  auto pic = quarn::ui::RenderToPicture(int(box.PopupWidth()), int(box.PopupHeight()),
                                        [&](quarn::ui::Canvas& c) { PaintMenuBox(c, box); });
  if (pic->Empty()) std::exit(3);
}

void Report(const char* what, std::vector<double> v) {
  std::sort(v.begin(), v.end());
  std::printf("%-34s p50 %7.3f ms  p99 %7.3f ms\n", what, v[v.size() / 2],
              v[std::min(v.size() - 1, v.size() * 99 / 100)]);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 50;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
  quarn::ui::GdiplusSession session;
  if (!session.Ok()) return 2;
  std::vector<double> first, again, hover;
  for (int r = 0; r < runs; ++r) {
    MeasuringHost host;
    TvnMenuEx menu;
    menu.Host = &host;
    BuildFunctionMenu(menu);
    auto t0 = Clock::now();
    menu.ShowMainMenu(0, TargetAt(100, 100, 80, 30), quarn::ui::Placement::Absolute,
                      {200, 40, 0, 0});
    Paint(*menu.Items().Box());
    auto t1 = Clock::now();
    TvnMenuBox& top = *menu.Items().Box();
    top.MouseMove(RowCentre(menu.Items(), 4));
    Paint(*menu.Items().Items(4)->SubItems().Box());
    auto t2 = Clock::now();
    menu.Items().CloseSubMenus();
    auto t3 = Clock::now();
    menu.ShowMainMenu(0, TargetAt(100, 100, 80, 30), quarn::ui::Placement::Absolute,
                      {200, 40, 0, 0});
    Paint(top);
    auto t4 = Clock::now();
    first.push_back(Ms(t1 - t0));
    hover.push_back(Ms(t2 - t1));
    again.push_back(Ms(t4 - t3));
  }
  Report("show function menu, first paint", first);
  Report("show again (rows reused) + paint", again);
  Report("hover sub-menu row, sub paint", hover);
  return 0;
}
