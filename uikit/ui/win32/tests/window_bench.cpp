// Paint timings of a real scene window under Wine: the full 1024 x 760 face of a window
// like the configuration window (tiled background, 30 gradient rows with captions, a
// large ellipse, buttons), the repaint that a hover over one button causes, and an empty
// scene window of the same size as the baseline. Each is an invalidation followed by
// UpdateWindow (WM_PAINT: GDI+ into the back buffer, then the blit). Prints p50/p99 in
// milliseconds and the area each repaint covered. --runs N (default 50).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../tools/sample_face.h"
#include "gdiplus_session.h"
#include "scene_window.h"

namespace {

using namespace quarn::ui;

void BuildFace(Scene& scene, Button*& hovered) {
  Layout& root = scene.Root();
  ImageView& tile = root.Add<ImageView>();
  tile.SetBounds(0, 0, 1024, 760);
  tile.wrap = WrapMode::Tile;
  tile.SetPicture(tools::CheckerTile());
  tile.hitTest = false;
  RectShape& top = root.Add<RectShape>();
  top.SetBounds(0, 0, 1024, 119);
  top.fill = Fill::Gradient(Rgb(20, 20, 30), Rgb(50, 50, 70));
  top.hitTest = false;
  TextView& title = root.Add<TextView>();
  title.SetBounds(20, 20, 300, 60);
  title.font = {u"Verdana", 36, true};
  title.fill = Fill::Solid(Rgb(230, 230, 240));
  title.SetText(u"QUARN");
  for (int i = 0; i < 30; ++i) {
    RectShape& row = root.Add<RectShape>();
    row.SetBounds(660, 130 + i * 15.5f, 324, 14);
    row.fill = Fill::Gradient(Rgb(40, 40, 60), Rgb(25, 25, 35));
    row.radius = 3;
    row.hitTest = false;
    TextView& t = root.Add<TextView>();
    t.SetBounds(666, 130 + i * 15.5f, 318, 14);
    t.font = {u"Verdana", 12};
    t.fill = Fill::Solid(Rgb(220, 220, 220));
    t.SetText(i % 3 ? u"Left Button" : u"\u9F20\u6807\u5DE6\u952E");
  }
  EllipseShape& e = root.Add<EllipseShape>();
  e.SetBounds(100, 200, 400, 380);
  e.fill = Fill::Gradient(Rgb(60, 60, 80), Rgb(10, 10, 20));
  e.hitTest = false;
  for (int i = 0; i < 5; ++i) {
    Button& b = root.Add<Button>();
    b.SetBounds(120 + i * 90.f, 610, 80, 40);
    b.SetText(u"P" + std::u16string(1, char16_t(u'1' + i)));
  }
  hovered = &root.Add<Button>();
  hovered->SetBounds(660, 690, 86, 40);
  hovered->font = {u"Verdana", 15, true};
  hovered->SetText(u"OK");
}

double Now() {
  LARGE_INTEGER c, f;
  QueryPerformanceCounter(&c);
  QueryPerformanceFrequency(&f);
  return double(c.QuadPart) * 1000.0 / double(f.QuadPart);
}

std::string Percentiles(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  auto at = [&](double q) {
    return v[std::min(v.size() - 1, std::size_t(q * double(v.size() - 1) + 0.5))];
  };
  char buf[96];
  std::snprintf(buf, sizeof buf, "p50 %7.2f ms   p99 %7.2f ms", at(0.5), at(0.99));
  return buf;
}

SceneWindowOptions At(int x, const wchar_t* title) {
  SceneWindowOptions o;
  o.className = L"TQuarnPaintBench";
  o.title = title;
  o.position = ScreenPoint{x, 0};
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 50;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
  GdiplusSession session;
  if (!session.Ok()) return 1;

  Scene face(1024, 760), empty(1024, 760);
  Button* button = nullptr;
  BuildFace(face, button);
  SceneWindow faceWindow(face, At(0, L"bench face"));
  SceneWindow emptyWindow(empty, At(0, L"bench empty"));
  if (!faceWindow.Handle() || !emptyWindow.Handle()) return 1;
  faceWindow.Show(SW_SHOWNA);
  emptyWindow.Show(SW_SHOWNA);

  std::vector<double> full, hover, baseline;
  std::uint64_t fullArea = 0, hoverArea = 0;
  const RectF b = button->AbsoluteRect();
  const PointF on{b.x + 10, b.y + 10}, off{5, 740};
  for (int r = 0; r < runs; ++r) {
    std::uint64_t before = faceWindow.Painted().pixels;
    double t = Now();
    InvalidateRect(faceWindow.Handle(), nullptr, FALSE);
    UpdateWindow(faceWindow.Handle());
    GdiFlush();
    full.push_back(Now() - t);
    fullArea = faceWindow.Painted().pixels - before;

    // The pointer onto the button, and off it again: each changes its face alone.
    for (PointF p : {on, off}) {
      before = faceWindow.Painted().pixels;
      t = Now();
      face.MouseMove(p);
      UpdateWindow(faceWindow.Handle());
      GdiFlush();
      hover.push_back(Now() - t);
      hoverArea = faceWindow.Painted().pixels - before;
    }

    t = Now();
    InvalidateRect(emptyWindow.Handle(), nullptr, FALSE);
    UpdateWindow(emptyWindow.Handle());
    GdiFlush();
    baseline.push_back(Now() - t);
  }
  std::printf("%d runs\n", runs);
  std::printf("%-40s %s   %llu px\n", "full face 1024x760", Percentiles(full).c_str(),
              static_cast<unsigned long long>(fullArea));
  std::printf("%-40s %s   %llu px\n", "hover over one 86x40 button", Percentiles(hover).c_str(),
              static_cast<unsigned long long>(hoverArea));
  std::printf("%-40s %s\n", "empty scene window 1024x760 (baseline)",
              Percentiles(baseline).c_str());
  return hoverArea > 0 && hoverArea < fullArea ? 0 : 1;
}
