// Native edit controls for the text and number boxes of a scene: one EDIT child per box
// at the box's place, coloured and lettered by the box's look, so caret, selection,
// clipboard and input methods come from the system. The user's edits, Enter and focus
// changes go to the box model; program-set texts come back into the control.
#pragma once

#include <memory>
#include <vector>

#include "gdiplus_include.h"
#include "ui/scene.h"

namespace quarn::ui {

class NativeEditHost {
 public:
  // Creates the controls for every box of `scene` in `parent` (whose client shows it).
  NativeEditHost(HWND parent, Scene& scene);
  ~NativeEditHost();
  NativeEditHost(const NativeEditHost&) = delete;
  NativeEditHost& operator=(const NativeEditHost&) = delete;

  HWND EditOf(const TextBox& box) const;
  // Brings every control in line with its model: text set by the program, place,
  // shown and enabled state.
  void Sync();
  // The parent's WM_COMMAND / WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC for a control of
  // this host; false when the message is not for one.
  bool Command(WPARAM wParam, LPARAM lParam);
  bool Colors(HDC dc, HWND control, LRESULT& result);

  // The digits a number box's control accepts: that of its widest bound.
  static int DigitLimit(const NumberBox& box);

 private:
  struct Edit;
  static LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR data);
  Edit* Find(HWND control) const;
  void Place(Edit& edit);
  void PullText(Edit& edit);
  void PushText(Edit& edit);
  void KillFocus(Edit& edit);

  HWND parent_;
  Scene& scene_;
  std::vector<std::unique_ptr<Edit>> edits_;
};

}  // namespace quarn::ui
