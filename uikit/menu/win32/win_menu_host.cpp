#include "win_menu_host.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "gdiplus_canvas.h"
#include "menu/menu_box.h"
#include "menu/menu_paint.h"
#include "menu/vn_menu_ex.h"

namespace quarn::menu {
namespace {

constexpr wchar_t kPopupClass[] = L"TQuarnMenuPopup";
constexpr wchar_t kMessageClass[] = L"TQuarnMenuMessages";
constexpr UINT kRunPosted = WM_APP + 1;
constexpr UINT kActivateShown = WM_APP + 2;

HINSTANCE Instance() {
  return GetModuleHandleW(nullptr);
}

ui::PointF ClientPoint(LPARAM lParam) {
  return {float(GET_X_LPARAM(lParam)), float(GET_Y_LPARAM(lParam))};
}

// One level's pop-up window. The window procedure never touches the object after a call
// into the menu that may have destroyed it.
using PaintedHandler = std::function<void(const TvnMenuBox&)>;

class WinMenuPopup final : public MenuPopupWindow {
 public:
  WinMenuPopup(TvnMenuBox& box, HWND owner, std::weak_ptr<PaintedHandler> painted)
      : box_(box), painted_(std::move(painted)) {
    static const bool registered = [] {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      wc.style = CS_DROPSHADOW;
      wc.lpfnWndProc = &WinMenuPopup::Proc;
      wc.hInstance = Instance();
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      wc.lpszClassName = kPopupClass;
      return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPopupClass, L"", WS_POPUP, 0, 0, 1,
                            1, owner, nullptr, Instance(), this);
  }

  ~WinMenuPopup() override {
    if (!hwnd_) return;
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);  // no more input for a dying box
    if (GetCapture() == hwnd) ReleaseCapture();
    DestroyWindow(hwnd);
  }

  bool Ok() const { return hwnd_ != nullptr; }

  void Show(ui::ScreenPoint topLeft, std::int32_t width, std::int32_t height) override {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, HWND_TOPMOST, topLeft.x, topLeft.y, std::max(width, 1), std::max(height, 1),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, FALSE);
    // Activated from the loop, not here: the menu enters the window in its pop-up stack
    // after Show returns, and the level losing the activation to it must find it there.
    PostMessageW(hwnd_, kActivateShown, 0, 0);
  }
  void Hide() override {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
  }
  void Invalidate() override {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
  }
  void Activate() override {
    if (!hwnd_) return;
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
    SetFocus(hwnd_);
  }
  void SetCapture(bool on) override {
    if (!hwnd_) return;
    if (on)
      ::SetCapture(hwnd_);
    else if (GetCapture() == hwnd_)
      ReleaseCapture();
  }
  std::uintptr_t Id() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<WinMenuPopup*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    if (self->Handle(hwnd, message, wParam, lParam, result)) return result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  static ui::MouseButton ButtonOf(UINT message) {
    switch (message) {
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP:
        return ui::MouseButton::Right;
      case WM_MBUTTONDOWN:
      case WM_MBUTTONUP:
        return ui::MouseButton::Middle;
      default:
        return ui::MouseButton::Left;
    }
  }

  // True when handled; `this` may be gone when it returns after a call into the menu.
  bool Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
      case WM_MOUSEACTIVATE:
        result = MA_ACTIVATE;
        return true;
      case WM_MOUSEMOVE:
        if (!tracking_) {
          TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd, 0};
          tracking_ = TrackMouseEvent(&tme) != FALSE;
        }
        box_.MouseMove(ClientPoint(lParam));
        return true;
      case WM_MOUSELEAVE:
        tracking_ = false;
        box_.MouseLeave();
        return true;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        box_.MouseDown(ButtonOf(message), ClientPoint(lParam));
        return true;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        box_.MouseUp(ButtonOf(message), ClientPoint(lParam));
        return true;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN: {
        std::uint16_t key = std::uint16_t(wParam);
        char16_t ch = 0;
        box_.KeyDown(key, ch);
        return key == 0;
      }
      case kActivateShown:
        if (IsWindowVisible(hwnd)) Activate();
        return true;
      case WM_ERASEBKGND:
        result = 1;
        return true;
      case WM_PAINT:
        Paint(hwnd);
        if (auto painted = painted_.lock(); painted && *painted) {
          PaintedHandler handler = *painted;
          handler(box_);  // may destroy the menu: nothing after this
        }
        return true;
      case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
          TvnMenuEx& menu = box_.Level().RootMenu();
          menu.Deactivated(reinterpret_cast<std::uintptr_t>(hwnd),
                           reinterpret_cast<std::uintptr_t>(reinterpret_cast<HWND>(lParam)));
          return true;  // the pop-up may be gone
        }
        return false;
      case WM_DESTROY:
        if (hwnd_ == hwnd) {
          // Destroyed by others (its owner died): the box forgets, and deletes, us.
          hwnd_ = nullptr;
          SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
          box_.WindowClosed(true);
        }
        return true;
      default:
        return false;
    }
  }

  void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int w = std::max<LONG>(rc.right, 1), h = std::max<LONG>(rc.bottom, 1);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = mem ? CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (bmp) {
      HGDIOBJ old = SelectObject(mem, bmp);
      {
        ui::GdiplusCanvas canvas(mem);
        PaintMenuBox(canvas, box_);
      }
      BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
      SelectObject(mem, old);
      DeleteObject(bmp);
    }
    if (mem) DeleteDC(mem);
    EndPaint(hwnd, &ps);
  }

  TvnMenuBox& box_;
  std::weak_ptr<PaintedHandler> painted_;
  HWND hwnd_ = nullptr;
  bool tracking_ = false;
};

}  // namespace

WinMenuHost::WinMenuHost() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &WinMenuHost::MessageProc;
    wc.hInstance = Instance();
    wc.lpszClassName = kMessageClass;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
  messages_ = CreateWindowExW(0, kMessageClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              Instance(), this);
  measureDc_ = CreateCompatibleDC(nullptr);
}

WinMenuHost::~WinMenuHost() {
  measure_.reset();
  if (measureDc_) DeleteDC(measureDc_);
  if (messages_) {
    SetWindowLongPtrW(messages_, GWLP_USERDATA, 0);
    DestroyWindow(messages_);
  }
}

std::unique_ptr<MenuPopupWindow> WinMenuHost::CreatePopupWindow(TvnMenuBox& box,
                                                                std::uintptr_t owner) {
  HWND ownerWindow = reinterpret_cast<HWND>(owner);
  if (ownerWindow && !IsWindow(ownerWindow)) ownerWindow = nullptr;
  auto popup = std::make_unique<WinMenuPopup>(box, ownerWindow, painted_);
  if (!popup->Ok()) return nullptr;
  return popup;
}

ui::SizeF WinMenuHost::ScreenSize() {
  return {float(GetSystemMetrics(SM_CXSCREEN)), float(GetSystemMetrics(SM_CYSCREEN))};
}

ui::SizeF WinMenuHost::MeasureText(std::u16string_view text, const ui::FontSpec& font) {
  if (!measure_ && measureDc_) measure_ = std::make_unique<ui::GdiplusCanvas>(measureDc_);
  if (!measure_) return {};
  return measure_->MeasureText(text, font);
}

void WinMenuHost::Post(std::function<void()> task) {
  if (!task || !messages_) return;
  tasks_.push_back(std::move(task));
  if (!PostMessageW(messages_, kRunPosted, 0, 0)) tasks_.pop_back();
}

void WinMenuHost::RunPosted() {
  if (tasks_.empty()) return;
  std::function<void()> task = std::move(tasks_.front());
  tasks_.pop_front();
  task();  // may destroy the host: nothing after this
}

LRESULT CALLBACK WinMenuHost::MessageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  if (message == kRunPosted) {
    if (auto* self = reinterpret_cast<WinMenuHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
      self->RunPosted();
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace quarn::menu
