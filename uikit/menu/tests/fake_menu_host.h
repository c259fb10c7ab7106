// A menu host for native tests: pop-up windows that record what is done to them, a
// screen of a chosen size, text measured as the fake canvas measures it, and posted
// work kept until the test runs it.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fake_canvas.h"
#include "menu/menu_box.h"
#include "menu/menu_host.h"
#include "menu/vn_menu_ex.h"

namespace quarn::menu::testing {

struct FakeHost;

struct FakeWindow : MenuPopupWindow {
  FakeHost* host;
  std::uintptr_t id;
  TvnMenuBox* box;
  bool shown = false;
  bool captured = false;
  ui::ScreenPoint pos;
  int width = 0, height = 0;
  int invalidations = 0;
  int activations = 0;

  FakeWindow(FakeHost* h, std::uintptr_t i, TvnMenuBox* b) : host(h), id(i), box(b) {}
  ~FakeWindow() override;
  void Show(ui::ScreenPoint topLeft, std::int32_t w, std::int32_t h) override {
    shown = true;
    pos = topLeft;
    width = w;
    height = h;
  }
  void Hide() override { shown = false; }
  void Invalidate() override { ++invalidations; }
  void Activate() override { ++activations; }
  void SetCapture(bool on) override { captured = on; }
  std::uintptr_t Id() const override { return id; }
  ui::RectF Screen() const { return {float(pos.x), float(pos.y), float(width), float(height)}; }
};

struct FakeHost : MenuHost {
  ui::SizeF screen{1024, 768};
  std::deque<std::function<void()>> posted;
  std::vector<FakeWindow*> windows;  // live windows, in creation order
  std::uintptr_t nextId = 100;
  ui::testing::FakeCanvas canvas;

  std::unique_ptr<MenuPopupWindow> CreatePopupWindow(TvnMenuBox& box, std::uintptr_t) override {
    auto w = std::make_unique<FakeWindow>(this, nextId++, &box);
    windows.push_back(w.get());
    return w;
  }
  ui::SizeF ScreenSize() override { return screen; }
  ui::SizeF MeasureText(std::u16string_view text, const ui::FontSpec& font) override {
    return canvas.MeasureText(text, font);
  }
  void Post(std::function<void()> task) override { posted.push_back(std::move(task)); }

  // Runs posted work until none is left (work may post more).
  void RunPosted() {
    while (!posted.empty()) {
      auto task = std::move(posted.front());
      posted.pop_front();
      task();
    }
  }
  FakeWindow* WindowOf(const TvnMenuItemsEx& level) const {
    TvnMenuBox* box = level.Box();
    return box ? static_cast<FakeWindow*>(box->Window()) : nullptr;
  }
  int ShownCount() const {
    int n = 0;
    for (auto* w : windows) n += w->shown;
    return n;
  }
};

inline FakeWindow::~FakeWindow() {
  auto& ws = host->windows;
  for (auto it = ws.begin(); it != ws.end(); ++it)
    if (*it == this) {
      ws.erase(it);
      break;
    }
}

inline std::string Narrow(std::u16string_view s) {
  return std::string(s.begin(), s.end());
}

// A target at a screen point in a window whose client starts at (0, 0).
inline MenuTarget TargetAt(float x, float y, float w = 0, float h = 0, std::uintptr_t window = 1) {
  MenuTarget t;
  t.absolute = {x, y, w, h};
  t.window = window;
  return t;
}

// Adds items with these captions to a level; returns the level.
inline TvnMenuItemsEx& AddItems(TvnMenuItemsEx& level,
                                std::initializer_list<const char16_t*> captions) {
  for (const char16_t* c : captions) level.Add()->Caption = c;
  return level;
}

// The centre of a row of an open level, in that level's client pixels.
inline ui::PointF RowCentre(const TvnMenuItemsEx& level, int row) {
  ui::RectF r = level.Box()->RowRect(row);
  return {r.x + r.width / 2, r.y + r.height / 2};
}

}  // namespace quarn::menu::testing
