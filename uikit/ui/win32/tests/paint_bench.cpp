// Paint timings under the GDI+ canvas: the full 1024 x 760 face of a window like the
// configuration window (tiled background, gradient rows, captions, pictures) into a
// window-sized memory surface, one 86 x 40 button repainted alone, and the full face
// through RenderToPicture. Prints p50/p99 in milliseconds. --runs N (default 50).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../tools/sample_face.h"
#include "gdiplus_canvas.h"
#include "gdiplus_include.h"
#include "gdiplus_session.h"
#include "offscreen.h"

namespace {

using namespace quarn::ui;

const RectF kButton{660, 690, 86, 40};

void PaintButton(Canvas& c, bool hovered) {
  Fill face = hovered ? Fill::Gradient(Rgb(90, 140, 230), Rgb(30, 70, 160))
                      : Fill::Gradient(Rgb(70, 110, 200), Rgb(20, 50, 130));
  c.FillRect(kButton, face, 6);
  c.StrokeRect(kButton, Fill::Solid(Rgb(200, 210, 240)), 1, 6);
  TextFormat centre{AlignH::Center, AlignV::Center};
  centre.shadow = true;
  c.DrawText(u"OK", kButton, {u"Verdana", 15, true}, Fill::Solid(Rgb(255, 255, 255)), centre);
}

void PaintFace(Canvas& c, const PictureRef& tile) {
  c.DrawPicture(tile, {0, 0, 1024, 760}, WrapMode::Tile);
  c.FillRect({0, 0, 1024, 119}, Fill::Gradient(Rgb(20, 20, 30), Rgb(50, 50, 70)));
  c.DrawText(u"QUARN", {20, 20, 300, 60}, {u"Verdana", 36, true}, Fill::Solid(Rgb(230, 230, 240)),
             {});
  TextFormat left{AlignH::Leading, AlignV::Center};
  for (int i = 0; i < 30; ++i) {
    RectF row{660, 130 + i * 15.5f, 324, 14};
    c.FillRect(row, Fill::Gradient(Rgb(40, 40, 60), Rgb(25, 25, 35)), 3);
    c.DrawText(i % 3 ? u"Left Button" : u"\u9F20\u6807\u5DE6\u952E", row.Offset(6, 0),
               {u"Verdana", 12}, Fill::Solid(Rgb(220, 220, 220)), left);
  }
  c.FillEllipse({100, 200, 400, 380}, Fill::Gradient(Rgb(60, 60, 80), Rgb(10, 10, 20)));
  for (int i = 0; i < 5; ++i)
    c.FillRect({120 + i * 90.f, 610, 80, 40}, Fill::Solid(Rgb(60, 60, 90)), 5);
  PaintButton(c, false);
}

double Millis(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
  return double(b.QuadPart - a.QuadPart) * 1000.0 / double(f.QuadPart);
}

struct Series {
  const char* name;
  std::vector<double> ms;
};

std::string Percentiles(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  auto at = [&](double q) {
    return v[std::min(v.size() - 1, std::size_t(q * (v.size() - 1) + 0.5))];
  };
  char buf[96];
  std::snprintf(buf, sizeof buf, "p50 %7.2f ms   p99 %7.2f ms", at(0.5), at(0.99));
  return buf;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 50;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));

  GdiplusSession session;
  if (!session.Ok()) return 1;
  PictureRef tile = tools::CheckerTile();

  // The window's back buffer: a memory DC with a 32-bit DIB, made once.
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1024, -760, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dc || !dib) return 1;
  HGDIOBJ old = SelectObject(dc, dib);

  Series full{"full face 1024x760 (back buffer)", {}}, button{"one button 86x40 (clipped)", {}},
      offscreen{"full face via RenderToPicture", {}};
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  for (int r = 0; r < runs; ++r) {
    QueryPerformanceCounter(&a);
    {
      GdiplusCanvas canvas(dc);
      PaintFace(canvas, tile);
    }
    GdiFlush();
    QueryPerformanceCounter(&b);
    full.ms.push_back(Millis(a, b, f));

    QueryPerformanceCounter(&a);
    {
      GdiplusCanvas canvas(dc);
      canvas.PushClip(kButton);
      canvas.DrawPicture(tile, {0, 0, 1024, 760}, WrapMode::Tile);  // background under it
      PaintButton(canvas, r % 2 == 0);
      canvas.PopClip();
    }
    GdiFlush();
    QueryPerformanceCounter(&b);
    button.ms.push_back(Millis(a, b, f));

    QueryPerformanceCounter(&a);
    PictureRef p = RenderToPicture(1024, 760, [&](Canvas& c) { PaintFace(c, tile); });
    QueryPerformanceCounter(&b);
    if (p->Empty()) return 1;
    offscreen.ms.push_back(Millis(a, b, f));
  }
  SelectObject(dc, old);
  DeleteObject(dib);
  DeleteDC(dc);

  std::printf("%d runs\n", runs);
  for (const Series* s : {&full, &button, &offscreen})
    std::printf("%-36s %s\n", s->name, Percentiles(s->ms).c_str());
  return 0;
}
