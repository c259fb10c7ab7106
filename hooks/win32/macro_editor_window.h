// The macro editor in a real window: the dialog frame's modal window with the
// editor's timer (the record indicator's animation), the posted message on which the
// rows recorded inside the hook procedure are drawn, and the action menu opened at
// the pointer. EditMacro is what the function menu's "Macro Key..." item calls.
#pragma once

#include <windows.h>

#include <functional>

#include "dialog_window.h"
#include "macro_editor_form.h"
#include "menu/menu_host.h"

namespace quarn {

// The message posted to the editor's window when recorded rows wait to be drawn.
inline constexpr UINT kMacroLiveRowsMessage = WM_APP + 0x61;

// Runs a macro editor form in a modal window owned by `owner`, its top-left at `at`.
// The action menu opens through `menuHost` (none: no menu opens).
class MacroEditorRunner final : public dialogs::DialogRunner {
 public:
  MacroEditorRunner(HWND owner, menu::MenuHost* menuHost) : owner_(owner), menuHost_(menuHost) {}
  int Run(dialogs::FrameDialog& dialog, ui::ScreenPoint at) override;

  // Called with the window once it exists and before it shows (tests watch it).
  std::function<void(ui::SceneWindow& window, MacroEditorForm& form)> OnShowing;

 private:
  HWND owner_;
  menu::MenuHost* menuHost_;
};

// Shows the editor for `macro` centred in `area` (screen pixels), modal to `owner`,
// with the program's hook library. True, with `macro` replaced by the edited macro,
// when the user confirmed with OK; false leaves `macro` as it was. Without
// `menuHost` the action menu's pop-ups use a host of the editor's own.
bool EditMacro(HWND owner, TMACROKEYINFO& macro, const ui::ScreenRect& area,
               menu::MenuHost* menuHost = nullptr);

}  // namespace quarn
