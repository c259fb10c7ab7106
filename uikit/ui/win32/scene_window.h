// A borderless top-level window whose whole client area shows one scene. It paints only
// the invalidated rectangles (GDI+ into a 32-bit back buffer, then blitted), feeds the
// scene the mouse (captured from press to release) and the keys, shows the hovered
// object's cursor and hint, hosts native edit controls for the scene's text and number
// boxes, and hands any message to an optional hook first.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "gdiplus_include.h"
#include "ui/modal.h"
#include "ui/scene.h"

namespace quarn::ui {

class NativeEditHost;

struct SceneWindowOptions {
  // The window class, registered on first use (double clicks on). Programs find their
  // windows by it.
  std::wstring className = L"TQuarnSceneWindow";
  // The window text: what task lists and window enumerations show.
  std::wstring title;
  DWORD exStyle = 0;
  HWND owner = nullptr;
  // Top-left on the screen; centred on the primary screen when absent.
  std::optional<ScreenPoint> position;
  // The visible part: the client inset by this many pixels on every side (0: all of it),
  // with round corners of this radius. Outside it the window is see-through and takes
  // no input.
  int regionInset = 0;
  int regionRadius = 0;
  // What is behind the scene's objects.
  Color background = Rgb(0, 0, 0);
};

class SceneWindow {
 public:
  // Creates the window (hidden) at the scene's size. `scene` must outlive the window;
  // its text and number boxes get native edit controls now.
  SceneWindow(Scene& scene, SceneWindowOptions options);
  virtual ~SceneWindow();
  SceneWindow(const SceneWindow&) = delete;
  SceneWindow& operator=(const SceneWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  Scene& GetScene() { return scene_; }
  const SceneWindowOptions& Options() const { return options_; }

  // SW_SHOW activates the window; SW_SHOWNA does not.
  void Show(int command = SW_SHOW);
  // Hides the window and releases the mouse if it held it.
  void Hide();
  bool IsVisible() const { return hwnd_ && IsWindowVisible(hwnd_); }
  void MoveTo(int x, int y);
  // The native edit control shown for a box of the scene, or null.
  HWND EditOf(const TextBox& box) const;
  // The tooltip control, for checks; made when an object with a hint is first hovered.
  HWND Tooltip() const { return tooltip_; }

  // Called first for every message; returning true means handled with `result`.
  std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)> OnMessage;
  std::function<void(UINT_PTR id)> OnTimer;
  // The window became active (each time).
  std::function<void()> OnActivate;
  // The window was asked to close (close box, Alt+F4, WM_CLOSE). Without a handler the
  // scene's modal result becomes 2 (cancel) when none is set.
  std::function<void()> OnClose;

  // What the window painted since it was created: WM_PAINT count and the painted area
  // in pixels. Lets checks see that a hover repaints only the hovered object.
  struct PaintStats {
    std::uint64_t paints = 0;
    std::uint64_t pixels = 0;
    RECT last{};
  };
  const PaintStats& Painted() const { return painted_; }

  // The window object of a handle made by this class, or null.
  static SceneWindow* FromHandle(HWND hwnd);

 protected:
  // Expires when the window object is destroyed (a handler may destroy it).
  std::weak_ptr<int> Life() const { return life_; }
  // For derived windows; the base handles everything else.
  virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void EnsureBackBuffer(int width, int height);
  void ReleaseBackBuffer();
  void MouseButton(UINT message, LPARAM lParam);
  void HoverChanged(Object* hovered);
  bool EnsureTooltip();
  void FocusChanged(Object* focused);
  void TrackLeave();

  Scene& scene_;
  SceneWindowOptions options_;
  HWND hwnd_ = nullptr;
  HWND tooltip_ = nullptr;
  std::unique_ptr<NativeEditHost> edits_;
  HDC backDc_ = nullptr;
  HBITMAP backBitmap_ = nullptr;
  HGDIOBJ backOld_ = nullptr;
  int backWidth_ = 0, backHeight_ = 0;
  bool trackingLeave_ = false;
  int buttonsDown_ = 0;
  PaintStats painted_;
  std::shared_ptr<int> life_ = std::make_shared<int>(0);
};

}  // namespace quarn::ui
