#include "common_dialogs.h"

#include <mutex>

namespace quarn::comdlg {

namespace {

using Dialog = BOOL(WINAPI*)(OPENFILENAMEW*);

struct Library {
  Dialog open = nullptr;
  Dialog save = nullptr;
};

const Library& Get() {
  static Library library;
  static std::once_flag once;
  std::call_once(once, [] {
    HMODULE module = LoadLibraryW(L"comdlg32.dll");
    if (!module) return;
    library.open = reinterpret_cast<Dialog>(
        reinterpret_cast<void*>(GetProcAddress(module, "GetOpenFileNameW")));
    library.save = reinterpret_cast<Dialog>(
        reinterpret_cast<void*>(GetProcAddress(module, "GetSaveFileNameW")));
  });
  return library;
}

}  // namespace

BOOL GetOpenFileNameW(OPENFILENAMEW* request) {
  const Dialog open = Get().open;
  return open ? open(request) : FALSE;
}

BOOL GetSaveFileNameW(OPENFILENAMEW* request) {
  const Dialog save = Get().save;
  return save ? save(request) : FALSE;
}

}  // namespace quarn::comdlg
