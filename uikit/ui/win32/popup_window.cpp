#include "popup_window.h"

#include <cmath>
#include <vector>

namespace quarn::ui {

namespace {

PopupStack::Id IdOf(HWND hwnd) {
  return reinterpret_cast<PopupStack::Id>(hwnd);
}

SceneWindowOptions PopupOptions(HWND owner, std::wstring title, std::wstring className) {
  SceneWindowOptions o;
  o.className = std::move(className);
  o.title = std::move(title);
  o.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  o.owner = owner;
  o.position = ScreenPoint{0, 0};
  return o;
}

}  // namespace

PopupWindow::PopupWindow(Scene& scene, PopupStack& stack, HWND owner, std::wstring title,
                         std::wstring className)
    : SceneWindow(scene, PopupOptions(owner, std::move(title), std::move(className))),
      stack_(stack) {}

PopupWindow::~PopupWindow() {
  stack_.Closed(IdOf(Handle()));
}

bool PopupWindow::IsOpen() const {
  return Handle() && stack_.IsOpen(IdOf(Handle()));
}

void PopupWindow::Popup(PlacementRequest request) {
  if (!Handle()) return;
  request.popup = {GetScene().Width(), GetScene().Height()};
  const PointF at = PlacePopup(request);
  MoveTo(int(std::lround(at.x)), int(std::lround(at.y)));
  stack_.Opened(IdOf(Handle()));
  Show(SW_SHOW);
}

void PopupWindow::ClosePopup() {
  if (!IsOpen()) return;
  stack_.Closed(IdOf(Handle()));
  Hide();
  if (OnClosePopup) {
    auto handler = OnClosePopup;
    handler(*this);
  }
}

bool PopupWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE && IsOpen()) {
    // Ids of windows of other programs are never in the stack: they close everything.
    const std::vector<PopupStack::Id> closing =
        stack_.Deactivated(IdOf(Handle()), IdOf(reinterpret_cast<HWND>(lParam)));
    std::weak_ptr<int> alive = Life();
    for (PopupStack::Id id : closing) {
      HWND hwnd = reinterpret_cast<HWND>(id);
      auto* popup = dynamic_cast<PopupWindow*>(SceneWindow::FromHandle(hwnd));
      if (!popup) continue;
      popup->Hide();
      if (popup->OnClosePopup) {
        auto handler = popup->OnClosePopup;
        handler(*popup);
      }
    }
    if (alive.expired()) return true;  // a close handler destroyed this pop-up
  }
  return SceneWindow::HandleMessage(message, wParam, lParam, result);
}

}  // namespace quarn::ui
