// Scrolling the foreground application one small step sideways. The method is
// picked by the class name of the foreground window: a horizontal wheel
// message, arrow keys, the Office application's own small scroll, or
// scroll-bar messages; a horizontal wheel notch when the application cannot be
// reached. Windows are reached through ScrollWindows, so that the choices are
// tested without a desktop.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "automation.h"
#include "emulated_input.h"
#include "input_sink.h"
#include "office_steps.h"

namespace quarn {

using WindowId = std::uintptr_t;  // 0: no window

struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

enum class SendResult { Delivered, TimedOut, Failed };

// The window queries and messages the scroll needs.
class ScrollWindows {
 public:
  virtual ~ScrollWindows() = default;
  virtual ScreenPoint CursorPos() = 0;
  virtual WindowId Foreground() = 0;
  // At most 254 characters; empty for no window.
  virtual std::u16string ClassName(WindowId window) = 0;
  virtual std::u16string Title(WindowId window) = 0;
  virtual WindowId WindowAt(ScreenPoint point) = 0;
  // The focused window of the foreground window's thread.
  virtual WindowId ForegroundFocusWindow() = 0;
  // The focused window of the monitor's own thread.
  virtual WindowId OwnFocus() = 0;
  // Gives the keyboard focus to a window of any thread; failures are ignored.
  virtual void FocusWindow(WindowId window) = 0;
  // Every descendant of `window`, in the system's order.
  virtual std::vector<WindowId> Children(WindowId window) = 0;
  // Sends a message and waits a bounded time for it to be handled.
  virtual SendResult Send(WindowId window, std::uint32_t msg, std::uintptr_t wParam,
                          std::intptr_t lParam) = 0;
};

inline constexpr std::uint32_t WM_MOUSEHWHEEL_ = 0x020E;
inline constexpr std::uint32_t WM_HSCROLL_ = 0x0114;
inline constexpr std::uintptr_t SB_LINELEFT_ = 0;
inline constexpr std::uintptr_t SB_LINERIGHT_ = 1;
inline constexpr std::int32_t HWHEEL_NOTCH = 120;

class HorizontalScroller {
 public:
  // `isWindows61` says whether the running Windows is version 6.1 exactly.
  HorizontalScroller(ScrollWindows& windows, AutomationHost& automation, InputSink& input,
                     std::function<bool()> isWindows61);

  // One step in `direction`; key events go through `run`.
  void Scroll(ScrollDirection direction, ActionRun& run);

 private:
  void WheelMessage(ScrollDirection direction, ScreenPoint cursor);
  void ArrowWithModifier(ScrollDirection direction, std::uint16_t modifier, bool modifierExtended,
                         ActionRun& run);
  void ScrollBarStep(ScrollDirection direction);
  // The fallback: one horizontal wheel notch at the pointer, which does not move.
  void WheelNotch(ScrollDirection direction);

  ScrollWindows& windows_;
  AutomationHost& automation_;
  InputSink& input_;
  std::function<bool()> isWindows61_;
  // Scroll-bar children met since the program started, modulo 2.
  int alternation_ = 0;
};

}  // namespace quarn
