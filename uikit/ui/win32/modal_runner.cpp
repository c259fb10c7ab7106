#include "modal_runner.h"

namespace quarn::ui {

int RunModal(SceneWindow& window, HWND owner) {
  HWND hwnd = window.Handle();
  if (!hwnd) return kModalCancel;
  Scene& scene = window.GetScene();
  ModalRun run;
  const bool disableOwner = owner && IsWindow(owner) && IsWindowEnabled(owner);
  try {
    scene.SetModalResult(kModalNone);
    if (disableOwner) EnableWindow(owner, FALSE);
    window.Show(SW_SHOW);
    while (!run.Ended()) {
      if (!IsWindow(hwnd)) {
        run.Close();
        break;
      }
      if (scene.ModalResult() != kModalNone) {
        run.SetResult(scene.ModalResult());
        break;
      }
      MSG msg;
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0 || got == -1) {
        // The program is ending (another program asked it to): the dialog is cancelled.
        run.Quit(got == 0 ? int(msg.wParam) : 0);
        break;
      }
      try {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      } catch (...) {
        // A handler's failure does not leave the loop with the owner disabled.
      }
    }
  } catch (...) {
    run.Close();
  }
  // Enable the owner first: hiding the active window hands the activation to an
  // enabled window, and it must be ours.
  if (disableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(hwnd)) window.Hide();
  if (disableOwner && IsWindow(owner)) SetForegroundWindow(owner);
  if (run.QuitPending()) PostQuitMessage(run.QuitCode());
  return run.Result();
}

}  // namespace quarn::ui
