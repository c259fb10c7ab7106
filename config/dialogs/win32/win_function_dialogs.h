// The function dialogs in real windows: the configuration window's answer to
// the assignment's dialog requests (fire key, key combination, quick launch),
// each a frame dialog owned by and modal to the main window, with the system's
// file-open dialog for choosing a program, and the macro editor.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "button_captions.h"
#include "config_seams.h"
#include "dialog_window.h"
#include "function_assignment.h"
#include "function_dialogs.h"
#include "hook_platform.h"

namespace quarn::dialogs {

// The system's open dialog: no filter, default options, no starting folder.
// The whole chosen path comes back, however long, so that a path too long to
// store is refused rather than cut.
class WinFileChooser final : public FileChooser {
 public:
  explicit WinFileChooser(HWND owner) : owner_(owner) {}
  bool ChooseFile(std::u16string& path) override;

 private:
  HWND owner_;
};

class WinFunctionDialogs final : public FunctionDialogs {
 public:
  // `notes` shows the refusal of a path; `chooser` null: the system's open dialog.
  WinFunctionDialogs(HWND owner, HookPlatform& hooks, ConfigDialogs& notes, TranslateFn translate,
                     FileChooser* chooser = nullptr);

  int ShowComboKeyDialog(TCOMBOKEYINFO& combo, const ScreenRect& area) override;
  int ShowQuickLaunchDialog(std::u16string& path, const ScreenRect& area) override;
  int ShowFireKeyDialog(TFIREKEYINFO& fire, const ScreenRect& area) override;
  // The macro editor.
  int ShowMacroDialog(TMACROKEYINFO& macro, const ScreenRect& area) override;

  // Called with each dialog's window once it exists, before it shows (tests).
  std::function<void(ui::SceneWindow& window)> OnShowing;

 private:
  WindowDialogRunner Runner();

  HWND owner_;
  HookPlatform& hooks_;
  ConfigDialogs& notes_;
  TranslateFn translate_;
  WinFileChooser systemChooser_;
  FileChooser* chooser_;
};

}  // namespace quarn::dialogs
