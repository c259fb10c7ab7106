// Pop-up windows: scene windows that float above everything, open beside a target by a
// placement rule, and close by the activation rules of the pop-up stack: clicking
// outside every open pop-up closes them all, going back to an earlier one closes the
// later one, opening a later one keeps the earlier open.
#pragma once

#include <functional>

#include "scene_window.h"
#include "ui/popup.h"

namespace quarn::ui {

class PopupWindow : public SceneWindow {
 public:
  // A hidden pop-up for `scene`, owned by `owner` (the target's window). The pop-ups
  // opened from one place share `stack`, which must outlive them.
  PopupWindow(Scene& scene, PopupStack& stack, HWND owner, std::wstring title,
              std::wstring className = L"TQuarnPopup");
  ~PopupWindow() override;

  // Places the pop-up by `request` (its size is taken from the scene) and shows it
  // activated.
  void Popup(PlacementRequest request);
  // Hides it and reports the close (nothing when it is not open).
  void ClosePopup();
  bool IsOpen() const;

  // Called once per close, whatever closed it.
  std::function<void(PopupWindow& sender)> OnClosePopup;

 protected:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  PopupStack& stack_;
};

}  // namespace quarn::ui
