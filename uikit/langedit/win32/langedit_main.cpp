// langedit.exe: the translation editor as a tool of its own. It edits the
// vn.local that lies beside it, so a translator works on a copy of the file.
#include <windows.h>

#include "language_design_form.h"
#include "module_path.h"
#include "win_editor_locale_source.h"
#include "win_file_store.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  quarn::WinFileStore files;
  quarn::WinEditorLocaleSource locales;
  std::u16string path(quarn::FolderPart(quarn::ExecutableFilePath()));
  path += u"vn.local";

  TvnLanguageDesignForm form(files, locales, path);
  form.OnDestroyed = [] { PostQuitMessage(0); };
  if (!form.Create(instance, show)) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(form.Handle(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
