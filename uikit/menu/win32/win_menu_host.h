// The Win32 side of the menus: WinMenuHost makes each menu level's pop-up window (a
// borderless, topmost tool window that feeds the level's box with its input and paints
// it), measures text with the GDI+ canvas and runs posted work from a hidden message
// window. A GDI+ session must be alive while it measures or paints.
#pragma once

#include <deque>
#include <functional>
#include <memory>

#include "gdiplus_include.h"  // <windows.h> without its DrawText macro
#include "menu/menu_host.h"

namespace quarn::ui {
class GdiplusCanvas;
}

namespace quarn::menu {

class WinMenuHost final : public MenuHost {
 public:
  WinMenuHost();
  ~WinMenuHost() override;
  WinMenuHost(const WinMenuHost&) = delete;
  WinMenuHost& operator=(const WinMenuHost&) = delete;

  std::unique_ptr<MenuPopupWindow> CreatePopupWindow(TvnMenuBox& box,
                                                     std::uintptr_t owner) override;
  ui::SizeF ScreenSize() override;
  ui::SizeF MeasureText(std::u16string_view text, const ui::FontSpec& font) override;
  // Tasks still queued when the host goes are dropped.
  void Post(std::function<void()> task) override;

  // Called after a pop-up of this host painted its box (for timings and tests). Pop-ups
  // that outlive the host call nothing.
  void SetOnPainted(std::function<void(const TvnMenuBox&)> handler) {
    *painted_ = std::move(handler);
  }

 private:
  static LRESULT CALLBACK MessageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void RunPosted();

  HWND messages_ = nullptr;
  std::deque<std::function<void()>> tasks_;
  HDC measureDc_ = nullptr;
  std::unique_ptr<ui::GdiplusCanvas> measure_;
  std::shared_ptr<std::function<void(const TvnMenuBox&)>> painted_ =
      std::make_shared<std::function<void(const TvnMenuBox&)>>();
};

}  // namespace quarn::menu
