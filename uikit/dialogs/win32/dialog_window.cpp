#include "dialog_window.h"

#include <memory>

#include "foreground.h"
#include "modal_runner.h"

namespace quarn::dialogs {

namespace {

// Posted on activation so the focus step runs after the system's own activation work
// (which puts the focus on the window itself).
constexpr UINT kActivateStep = WM_APP + 0x52;

}  // namespace

void ActivateDialog(ui::SceneWindow& window, FrameDialog& dialog) {
  HWND hwnd = window.Handle();
  if (!hwnd) return;
  ui::ForceWindowToForeground(hwnd);
  ui::TextBox* box = dialog.FirstInputBox();
  if (!box) return;
  dialog.GetScene().SetFocus(box);
  if (HWND edit = window.EditOf(*box)) {
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
  }
}

int WindowDialogRunner::Run(FrameDialog& dialog, ui::ScreenPoint at) {
  ui::SceneWindowOptions options;
  options.className = kDialogClass;
  const std::u16string& title = dialog.WindowTitle();
  options.title.assign(title.begin(), title.end());
  options.owner = owner_;
  options.position = at;
  options.regionInset = int(kFrameInset);
  ui::SceneWindow window(dialog.GetScene(), options);
  if (!window.Handle()) return ui::kModalCancel;

  if (dialog.FirstInputBox()) {
    window.OnActivate = [&window] { PostMessageW(window.Handle(), kActivateStep, 0, 0); };
    window.OnMessage = [&window, &dialog](UINT message, WPARAM, LPARAM, LRESULT& result) {
      if (message != kActivateStep) return false;
      ActivateDialog(window, dialog);
      result = 0;
      return true;
    };
  }
  if (OnShowing) {
    auto showing = OnShowing;
    showing(window);
  }
  return ui::RunModal(window, owner_);
}

}  // namespace quarn::dialogs
