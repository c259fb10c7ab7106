#include "win_function_dialogs.h"

#include <commdlg.h>

#include <vector>

#include "common_dialogs.h"
#include "macro_editor_window.h"

namespace quarn::dialogs {

namespace {

// Posted by the keyboard recording: the dialog shows the latest report.
constexpr UINT kComboReported = WM_APP + 0x63;

ui::ScreenRect ToUi(const ScreenRect& r) {
  return {r.Left, r.Top, r.Right, r.Bottom};
}

}  // namespace

bool WinFileChooser::ChooseFile(std::u16string& path) {
  // Room for the longest path the system hands out.
  std::vector<wchar_t> buffer(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner_;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.Flags = OFN_EXPLORER;
  if (!comdlg::GetOpenFileNameW(&ofn)) return false;
  path.assign(buffer.data(), buffer.data() + wcsnlen(buffer.data(), buffer.size()));
  return true;
}

WinFunctionDialogs::WinFunctionDialogs(HWND owner, HookPlatform& hooks, ConfigDialogs& notes,
                                       TranslateFn translate, FileChooser* chooser)
    : owner_(owner),
      hooks_(hooks),
      notes_(notes),
      translate_(std::move(translate)),
      systemChooser_(owner),
      chooser_(chooser ? chooser : &systemChooser_) {}

WindowDialogRunner WinFunctionDialogs::Runner() {
  WindowDialogRunner runner(owner_);
  runner.OnShowing = OnShowing;
  return runner;
}

int WinFunctionDialogs::ShowFireKeyDialog(TFIREKEYINFO& fire, const ScreenRect& area) {
  WindowDialogRunner runner = Runner();
  return dialogs::ShowFireKeyDialog(fire, ToUi(area), runner);
}

int WinFunctionDialogs::ShowComboKeyDialog(TCOMBOKEYINFO& combo, const ScreenRect& area) {
  HWND window = nullptr;
  ComboKeyDialog dialog(hooks_, [&window] {
    if (window) PostMessageW(window, kComboReported, 0, 0);
  });
  WindowDialogRunner runner(owner_);
  runner.OnShowing = [&](ui::SceneWindow& w) {
    window = w.Handle();
    auto previous = w.OnMessage;
    w.OnMessage = [&dialog, previous](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
      if (message == kComboReported) {
        dialog.ApplyRecorded();
        result = 0;
        return true;
      }
      return previous ? previous(message, wParam, lParam, result) : false;
    };
    // A report that came before the window existed is shown now.
    PostMessageW(window, kComboReported, 0, 0);
    if (OnShowing) OnShowing(w);
  };
  const int result = RunComboKeyDialog(dialog, combo, ToUi(area), runner);
  window = nullptr;
  return result;
}

int WinFunctionDialogs::ShowQuickLaunchDialog(std::u16string& path, const ScreenRect& area) {
  QuickLaunchDialog dialog(*chooser_, [this, &area] {
    const std::u16string title = translate_ ? translate_(u"Warning") : u"Warning";
    const std::u16string text = translate_ ? translate_(u"The program path is too long.")
                                           : u"The program path is too long.";
    notes_.ShowNoteDialog(title, text, u"", true, area);
  });
  WindowDialogRunner runner = Runner();
  return RunQuickLaunchDialog(dialog, path, ToUi(area), runner);
}

int WinFunctionDialogs::ShowMacroDialog(TMACROKEYINFO& macro, const ScreenRect& area) {
  return EditMacro(owner_, macro, ToUi(area)) ? 1 : 2;
}

}  // namespace quarn::dialogs
