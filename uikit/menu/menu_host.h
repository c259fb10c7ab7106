// The seam between menus and the windows they are shown in. A menu level needs a
// borderless, topmost pop-up window (shown at a screen point with a size, hidden,
// repainted, capturing the mouse while a button is held); the host makes those
// windows, measures text, knows the primary screen and runs posted work from its
// message loop. Native tests use a fake host; the Win32 glue implements it over the
// toolkit's pop-up windows.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "ui/graphics.h"
#include "ui/modal.h"
#include "ui/object.h"

namespace quarn::menu {

class TvnMenuBox;

// One pop-up window of one menu level. The window feeds the level's box with its
// mouse and key input (client pixels) and paints it with PaintMenuBox. When it loses
// the activation it tells the menu (TvnMenuEx::Deactivated with the window that gained
// it), which applies the pop-up rules; when it is destroyed by others (its owner died)
// it tells the box (TvnMenuBox::WindowClosed(true)). Hide() never reports back.
class MenuPopupWindow {
 public:
  virtual ~MenuPopupWindow() = default;
  // Shows (or moves and resizes) the window and activates it, as every pop-up of the
  // toolkit: activation leaving it is what closes it (TvnMenuEx::Deactivated).
  virtual void Show(ui::ScreenPoint topLeft, std::int32_t width, std::int32_t height) = 0;
  virtual void Hide() = 0;
  // The box's face changed: repaint it.
  virtual void Invalidate() = 0;
  // Gives the window the keyboard focus (it is activated).
  virtual void Activate() = 0;
  // Mouse capture while a button is held on the box.
  virtual void SetCapture(bool on) = 0;
  // The window's id for the pop-up stack (its handle); never 0.
  virtual std::uintptr_t Id() const = 0;
};

class MenuHost {
 public:
  virtual ~MenuHost() = default;
  // A new, hidden pop-up window for `box`, owned by the window `owner` (0: none).
  virtual std::unique_ptr<MenuPopupWindow> CreatePopupWindow(TvnMenuBox& box,
                                                             std::uintptr_t owner) = 0;
  // The primary screen's size in pixels.
  virtual ui::SizeF ScreenSize() = 0;
  // One line of text as the painter will draw it.
  virtual ui::SizeF MeasureText(std::u16string_view text, const ui::FontSpec& font) = 0;
  // Runs `task` later from the message loop, after the input and paint already queued.
  virtual void Post(std::function<void()> task) = 0;
};

// Where a level opens: a target's box in its scene, and where that scene is on screen.
struct MenuTarget {
  ui::RectF absolute;           // the target's box in its scene's client pixels
  ui::PointF clientOrigin;      // the screen point of the scene's client (0, 0)
  std::int32_t holderLeft = 0;  // left edge of the window holding the scene, on screen
  std::uintptr_t window = 0;    // that window (the owner of the menu's pop-ups)
  ui::PointF cursor;            // the pointer on screen, for placement at the mouse

  // The target of an object of a scene shown in a window whose client starts at
  // `clientOrigin` and whose left edge is `holderLeft`.
  static MenuTarget Of(const ui::Object& object, ui::PointF clientOrigin, std::int32_t holderLeft,
                       std::uintptr_t window) {
    return {object.AbsoluteRect(), clientOrigin, holderLeft, window, {}};
  }
};

}  // namespace quarn::menu
