#include "scene_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cmath>
#include <string>

#include "common_controls.h"
#include "gdiplus_canvas.h"
#include "native_edit_host.h"

namespace quarn::ui {

namespace {

// Posted to bring the native edit controls in line after the scene changed.
constexpr UINT kSyncEdits = WM_APP + 0x51;
// Marks a window made by this class (in this process) and points at its object.
constexpr const wchar_t* kSelfProperty = L"QuarnSceneWindow";

std::wstring Wide(const std::u16string& s) {
  return std::wstring(s.begin(), s.end());
}

bool RegisterSceneClass(const std::wstring& name, WNDPROC proc) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (GetClassInfoExW(instance, name.c_str(), &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = name.c_str();
  return RegisterClassExW(&wc) != 0;
}

PointF ClientPoint(LPARAM lParam) {
  return {float(GET_X_LPARAM(lParam)), float(GET_Y_LPARAM(lParam))};
}

RECT ToRect(const RectF& r) {
  return {LONG(std::floor(r.x)), LONG(std::floor(r.y)), LONG(std::ceil(r.x + r.width)),
          LONG(std::ceil(r.y + r.height))};
}

}  // namespace

SceneWindow::SceneWindow(Scene& scene, SceneWindowOptions options)
    : scene_(scene), options_(std::move(options)) {
  if (!RegisterSceneClass(options_.className, &SceneWindow::Proc)) return;
  const int width = int(std::lround(scene_.Width()));
  const int height = int(std::lround(scene_.Height()));
  ScreenPoint at;
  if (options_.position) {
    at = *options_.position;
  } else {
    at = CenterIn({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, width,
                  height);
  }
  hwnd_ = CreateWindowExW(options_.exStyle, options_.className.c_str(), options_.title.c_str(),
                          WS_POPUP | WS_CLIPCHILDREN, at.x, at.y, width, height, options_.owner,
                          nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd_) return;

  if (options_.regionInset > 0 || options_.regionRadius > 0) {
    const int in = options_.regionInset;
    HRGN region = options_.regionRadius > 0
                      ? CreateRoundRectRgn(in, in, width - in + 1, height - in + 1,
                                           options_.regionRadius * 2, options_.regionRadius * 2)
                      : CreateRectRgn(in, in, width - in, height - in);
    if (region && !SetWindowRgn(hwnd_, region, FALSE)) DeleteObject(region);
  }

  edits_ = std::make_unique<NativeEditHost>(hwnd_, scene_);

  std::weak_ptr<int> alive = life_;
  scene_.OnInvalidate = [this, alive](const RectF& dirty) {
    if (alive.expired() || !hwnd_) return;
    RECT r = ToRect(dirty);
    InvalidateRect(hwnd_, &r, FALSE);
    PostMessageW(hwnd_, kSyncEdits, 0, 0);
  };
  scene_.OnHoverChange = [this, alive](Object* hovered) {
    if (!alive.expired()) HoverChanged(hovered);
  };
  scene_.OnFocusChange = [this, alive](Object* focused) {
    if (!alive.expired()) FocusChanged(focused);
  };
}

SceneWindow::~SceneWindow() {
  scene_.OnInvalidate = nullptr;
  scene_.OnHoverChange = nullptr;
  scene_.OnFocusChange = nullptr;
  if (hwnd_) {
    if (GetCapture() == hwnd_) ReleaseCapture();
    edits_.reset();
    HWND h = hwnd_;
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    RemovePropW(h, kSelfProperty);
    hwnd_ = nullptr;
    DestroyWindow(h);  // the tooltip and the edit controls go with it
  }
  ReleaseBackBuffer();
}

SceneWindow* SceneWindow::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  return static_cast<SceneWindow*>(GetPropW(hwnd, kSelfProperty));
}

void SceneWindow::Show(int command) {
  if (!hwnd_) return;
  edits_->Sync();
  ShowWindow(hwnd_, command);
  if (command == SW_SHOW || command == SW_SHOWNORMAL) SetForegroundWindow(hwnd_);
  UpdateWindow(hwnd_);
}

void SceneWindow::Hide() {
  if (!hwnd_) return;
  if (GetCapture() == hwnd_) ReleaseCapture();
  scene_.CancelCapture();
  buttonsDown_ = 0;
  if (tooltip_) SendMessageW(tooltip_, TTM_POP, 0, 0);
  ShowWindow(hwnd_, SW_HIDE);
}

void SceneWindow::MoveTo(int x, int y) {
  if (hwnd_) SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND SceneWindow::EditOf(const TextBox& box) const {
  return edits_ ? edits_->EditOf(box) : nullptr;
}

LRESULT CALLBACK SceneWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<SceneWindow*>(cs->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    SetPropW(hwnd, kSelfProperty, self);
  }
  auto* self = reinterpret_cast<SceneWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  // No exception crosses into the system's code.
  try {
    return self->Dispatch(message, wParam, lParam);
  } catch (...) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT SceneWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnMessage) {
    auto hook = OnMessage;  // the hook may replace itself
    if (hook(message, wParam, lParam, result)) return result;
  }
  if (HandleMessage(message, wParam, lParam, result)) return result;
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool SceneWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_PAINT:
      Paint();
      return true;
    case WM_MOUSEMOVE:
      TrackLeave();
      scene_.MouseMove(ClientPoint(lParam));
      return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      MouseButton(message, lParam);
      return true;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      // While a button is held the scene keeps its pressed object; the release decides.
      if (GetCapture() != hwnd_) scene_.MouseLeave();
      return true;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd_) {
        buttonsDown_ = 0;
        scene_.CancelCapture();
      }
      return true;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == hwnd_) {
        const bool hand = scene_.CurrentCursor() == Cursor::Hand;
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(hand ? IDC_HAND : IDC_ARROW)));
        result = TRUE;
        return true;
      }
      return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      std::uint16_t key = std::uint16_t(wParam);
      char16_t ch = 0;
      scene_.KeyDown(key, ch);
      return message == WM_KEYDOWN;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      std::uint16_t key = std::uint16_t(wParam);
      char16_t ch = 0;
      scene_.KeyUp(key, ch);
      return message == WM_KEYUP;
    }
    case WM_CHAR: {
      std::uint16_t key = 0;
      char16_t ch = char16_t(wParam);
      scene_.KeyDown(key, ch);
      return true;
    }
    case WM_TIMER:
      if (OnTimer) {
        auto handler = OnTimer;
        handler(UINT_PTR(wParam));
      }
      return true;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && OnActivate) {
        // Default activation first (it puts the focus on the window), then the handler.
        result = DefWindowProcW(hwnd_, message, wParam, lParam);
        auto handler = OnActivate;
        handler();
        return true;
      }
      return false;
    case WM_CLOSE:
      if (OnClose) {
        auto handler = OnClose;
        handler();
      } else if (scene_.ModalResult() == kModalNone) {
        scene_.SetModalResult(kModalCancel);
      }
      return true;
    case WM_COMMAND:
      return edits_ && edits_->Command(wParam, lParam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      return edits_ &&
             edits_->Colors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), result);
    case kSyncEdits:
      if (edits_) edits_->Sync();
      return true;
    case WM_DESTROY:
      ReleaseBackBuffer();
      return false;
    default:
      return false;
  }
}

void SceneWindow::TrackLeave() {
  if (trackingLeave_) return;
  TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd_, 0};
  trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
}

void SceneWindow::MouseButton(UINT message, LPARAM lParam) {
  const PointF p = ClientPoint(lParam);
  ui::MouseButton button = MouseButton::Left;
  bool down = false, doubleClick = false;
  switch (message) {
    case WM_LBUTTONDOWN:
      down = true;
      break;
    case WM_RBUTTONDOWN:
      button = MouseButton::Right;
      down = true;
      break;
    case WM_MBUTTONDOWN:
      button = MouseButton::Middle;
      down = true;
      break;
    case WM_LBUTTONDBLCLK:
      down = doubleClick = true;
      break;
    case WM_RBUTTONDBLCLK:
      button = MouseButton::Right;
      down = doubleClick = true;
      break;
    case WM_MBUTTONDBLCLK:
      button = MouseButton::Middle;
      down = doubleClick = true;
      break;
    case WM_RBUTTONUP:
      button = MouseButton::Right;
      break;
    case WM_MBUTTONUP:
      button = MouseButton::Middle;
      break;
    default:
      break;
  }
  if (down) {
    // The release must come back here even when it happens over another window.
    ++buttonsDown_;
    if (GetCapture() != hwnd_) SetCapture(hwnd_);
    if (doubleClick)
      scene_.DoubleClick(button, p);
    else
      scene_.MouseDown(button, p);
    return;
  }
  std::weak_ptr<int> alive = life_;
  scene_.MouseUp(button, p);
  if (alive.expired()) return;
  if (buttonsDown_ > 0) --buttonsDown_;
  if (buttonsDown_ == 0 && GetCapture() == hwnd_) ReleaseCapture();
}

// One tooltip for the window, moved to whichever object is hovered; made for the first
// object with a hint.
bool SceneWindow::EnsureTooltip() {
  if (tooltip_) return true;
  if (!hwnd_ || !comctl::Ready()) return false;
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (!tooltip_) return false;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = 1;
  tool.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip_, TTM_ACTIVATE, FALSE, 0);
  return true;
}

void SceneWindow::HoverChanged(Object* hovered) {
  const bool hinted = hovered && !hovered->hint.empty();
  if (!tooltip_ && !hinted) return;
  if (!EnsureTooltip()) return;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = hwnd_;
  tool.uId = 1;
  if (!hinted) {
    SendMessageW(tooltip_, TTM_ACTIVATE, FALSE, 0);
    return;
  }
  tool.rect = ToRect(hovered->AbsoluteRect());
  SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  std::wstring text = Wide(hovered->hint);
  tool.lpszText = text.data();
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip_, TTM_ACTIVATE, TRUE, 0);
  // The move that changed the hover reached the tooltip before its tool was here: hand
  // it over again so the tooltip's timer starts without waiting for the next move.
  POINT pt;
  GetCursorPos(&pt);
  ScreenToClient(hwnd_, &pt);
  MSG move{hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y), DWORD(GetMessageTime()), pt};
  SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

void SceneWindow::FocusChanged(Object* focused) {
  auto* box = dynamic_cast<TextBox*>(focused);
  if (!box) return;
  HWND edit = EditOf(*box);
  if (edit && GetFocus() != edit) SetFocus(edit);
}

void SceneWindow::EnsureBackBuffer(int width, int height) {
  if (backDc_ && backWidth_ == width && backHeight_ == height) return;
  ReleaseBackBuffer();
  backDc_ = CreateCompatibleDC(nullptr);
  if (!backDc_) return;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  backBitmap_ = CreateDIBSection(backDc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!backBitmap_) {
    DeleteDC(backDc_);
    backDc_ = nullptr;
    return;
  }
  backOld_ = SelectObject(backDc_, backBitmap_);
  backWidth_ = width;
  backHeight_ = height;
}

void SceneWindow::ReleaseBackBuffer() {
  if (backDc_) {
    SelectObject(backDc_, backOld_);
    DeleteDC(backDc_);
  }
  if (backBitmap_) DeleteObject(backBitmap_);
  backDc_ = nullptr;
  backBitmap_ = nullptr;
  backOld_ = nullptr;
  backWidth_ = backHeight_ = 0;
}

void SceneWindow::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  RECT area;
  if (IntersectRect(&area, &ps.rcPaint, &client)) {
    EnsureBackBuffer(client.right, client.bottom);
    if (backDc_) {
      const RectF clip{float(area.left), float(area.top), float(area.right - area.left),
                       float(area.bottom - area.top)};
      {
        GdiplusCanvas canvas(backDc_);
        canvas.PushClip(clip);
        canvas.FillRect(clip, Fill::Solid(options_.background));
        scene_.Paint(canvas, clip);
        canvas.PopClip();
      }
      BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, backDc_,
             area.left, area.top, SRCCOPY);
      scene_.TakeDirty();
      ++painted_.paints;
      painted_.pixels +=
          std::uint64_t(area.right - area.left) * std::uint64_t(area.bottom - area.top);
      painted_.last = area;
    }
  }
  EndPaint(hwnd_, &ps);
}

}  // namespace quarn::ui
