// Frame dialogs in real windows: the runner that shows a dialog as a borderless window
// with a see-through 5-pixel margin, owned by and modal to the main window, and the
// activation step that brings it to the front with the keyboard focus in its first
// input box, without moving the user's pointer.
#pragma once

#include <functional>
#include <string>

#include "dialog_frame.h"
#include "scene_window.h"

namespace quarn::dialogs {

// The window class of the dialogs.
inline constexpr const wchar_t* kDialogClass = L"TQuarnFrameDialog";

// Brings the dialog's window to the front and gives its first input box the focus (the
// box's own edit control takes the keys). The pointer is not touched.
void ActivateDialog(ui::SceneWindow& window, FrameDialog& dialog);

class WindowDialogRunner final : public DialogRunner {
 public:
  explicit WindowDialogRunner(HWND owner) : owner_(owner) {}
  int Run(FrameDialog& dialog, ui::ScreenPoint at) override;

  // Called with the window once it exists and before it shows (tests and the demo
  // watch it through this).
  std::function<void(ui::SceneWindow& window)> OnShowing;

 private:
  HWND owner_;
};

}  // namespace quarn::dialogs
