#include "horizontal_scroll.h"

#include <utility>

namespace quarn {

namespace {

constexpr std::uint16_t VK_SHIFT_ = 0x10;
constexpr std::uint16_t VK_LEFT_ = 0x25;
constexpr std::uint16_t VK_RIGHT_ = 0x27;
constexpr std::uint16_t VK_LCONTROL_ = 0xA2;
constexpr std::uint32_t ARROW_HOLD_MS = 20;
constexpr int ACROBAT_SDI_TAPS = 6;

enum class Method {
  WheelMessage,
  ShiftArrow,
  Tap,
  SixTaps,
  ControlArrow,
  Word,
  Excel,
  PowerPoint,
  ScrollBar,
};

char16_t Fold(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool EqualIgnoringCase(const std::u16string& a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

constexpr std::u16string_view kPowerPointClasses[] = {
    u"PP7FrameClass",  u"PP97FrameClass", u"PP9FrameClass",  u"PP10FrameClass",
    u"PP11FrameClass", u"PP12FrameClass", u"PP13FrameClass",
};

Method MethodOf(const std::u16string& className) {
  // Only the first row compares the letter case.
  if (className == u"MozillaUIWindowClass") return Method::WheelMessage;
  if (EqualIgnoringCase(className, u"AdobeAcrobat")) return Method::ShiftArrow;
  if (EqualIgnoringCase(className, u"Photo_Lightweight_Viewer")) return Method::Tap;
  if (EqualIgnoringCase(className, u"AcrobatSDIWindow")) return Method::SixTaps;
  if (EqualIgnoringCase(className, u"ShImgVw:CPreviewWnd")) return Method::ControlArrow;
  if (EqualIgnoringCase(className, u"IEFrame")) return Method::Tap;
  if (EqualIgnoringCase(className, u"OpusApp")) return Method::Word;
  if (EqualIgnoringCase(className, u"XLMAIN")) return Method::Excel;
  for (const auto name : kPowerPointClasses)
    if (EqualIgnoringCase(className, name)) return Method::PowerPoint;
  return Method::ScrollBar;
}

std::uint16_t ArrowOf(ScrollDirection direction) {
  return direction == ScrollDirection::Left ? VK_LEFT_ : VK_RIGHT_;
}

}  // namespace

HorizontalScroller::HorizontalScroller(ScrollWindows& windows, AutomationHost& automation,
                                       InputSink& input, std::function<bool()> isWindows61)
    : windows_(windows),
      automation_(automation),
      input_(input),
      isWindows61_(std::move(isWindows61)) {}

void HorizontalScroller::Scroll(ScrollDirection direction, ActionRun& run) {
  const ScreenPoint cursor = windows_.CursorPos();
  const WindowId foreground = windows_.Foreground();
  const std::u16string className = windows_.ClassName(foreground);
  const std::uint16_t arrow = ArrowOf(direction);

  switch (MethodOf(className)) {
    case Method::WheelMessage:
      WheelMessage(direction, cursor);
      return;
    case Method::ShiftArrow:
      windows_.FocusWindow(windows_.WindowAt(cursor));
      ArrowWithModifier(direction, VK_SHIFT_, false, run);
      return;
    case Method::Tap:
      run.Key(arrow, true, false);
      run.Key(arrow, true, true);
      return;
    case Method::SixTaps:
      for (int i = 0; i < ACROBAT_SDI_TAPS; ++i) {
        run.Key(arrow, true, false);
        if (!run.Pause(ARROW_HOLD_MS)) return;  // the run lets go of the arrow
        run.Key(arrow, true, true);
      }
      return;
    case Method::ControlArrow:
      ArrowWithModifier(direction, VK_LCONTROL_, true, run);
      return;
    case Method::Word:
      if (WordSmallScroll(automation_, direction) == OfficeStep::Failed) WheelNotch(direction);
      return;
    case Method::Excel:
      if (ExcelSmallScroll(automation_, foreground, windows_.Title(foreground), direction) !=
          OfficeStep::Done)
        WheelNotch(direction);
      return;
    case Method::PowerPoint:
      if (PowerPointSmallScroll(automation_, direction) != OfficeStep::Done) WheelNotch(direction);
      return;
    case Method::ScrollBar:
      ScrollBarStep(direction);
      return;
  }
}

void HorizontalScroller::WheelMessage(ScrollDirection direction, ScreenPoint cursor) {
  const WindowId target = windows_.WindowAt(cursor);
  if (target == 0) return;
  // The wheel delta in the high word, no key flags; the point as two 16-bit halves.
  const std::uintptr_t wParam = direction == ScrollDirection::Left ? 0xFF880000u : 0x00780000u;
  const std::uint32_t point =
      (static_cast<std::uint32_t>(static_cast<std::uint16_t>(cursor.y)) << 16) |
      static_cast<std::uint16_t>(cursor.x);
  windows_.Send(target, WM_MOUSEHWHEEL_, wParam, static_cast<std::intptr_t>(point));
}

void HorizontalScroller::ArrowWithModifier(ScrollDirection direction, std::uint16_t modifier,
                                           bool modifierExtended, ActionRun& run) {
  const std::uint16_t arrow = ArrowOf(direction);
  run.Key(modifier, modifierExtended, false);
  run.Key(arrow, true, false);
  if (!run.Pause(ARROW_HOLD_MS)) return;  // the run lets go of both
  run.Key(arrow, true, true);
  run.Key(modifier, modifierExtended, true);
}

void HorizontalScroller::ScrollBarStep(ScrollDirection direction) {
  const std::uintptr_t code = direction == ScrollDirection::Left ? SB_LINELEFT_ : SB_LINERIGHT_;
  WindowId target = windows_.ForegroundFocusWindow();
  if (target == 0) target = windows_.OwnFocus();
  if (target == 0) target = windows_.WindowAt(windows_.CursorPos());
  // A window that does not answer in time is hung: nothing more is sent to
  // its application in this step, so one hung program costs one time-out.
  if (target != 0 && windows_.Send(target, WM_HSCROLL_, code, 0) == SendResult::TimedOut) return;
  if (!isWindows61_ || !isWindows61_()) return;
  for (const WindowId child : windows_.Children(windows_.Foreground())) {
    if (!EqualIgnoringCase(windows_.ClassName(child), u"ScrollBar")) continue;
    const bool send = alternation_ == 0;
    alternation_ = (alternation_ + 1) % 2;
    if (send && windows_.Send(child, WM_HSCROLL_, code, 0) == SendResult::TimedOut) return;
  }
}

void HorizontalScroller::WheelNotch(ScrollDirection direction) {
  input_.SendHWheel(direction == ScrollDirection::Left ? -HWHEEL_NOTCH : HWHEEL_NOTCH);
}

}  // namespace quarn
