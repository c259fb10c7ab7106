#include "common_dialogs.h"

#include "late_bound.h"

namespace quarn::comdlg {

namespace {

using Dialog = BOOL(WINAPI*)(OPENFILENAMEW*);

struct Library {
  Dialog open = nullptr;
  Dialog save = nullptr;
};

const Library& Get() {
  static const Library loaded = [] {
    HMODULE module = LoadLibraryW(L"comdlg32.dll");
    return Library{BindExport<Dialog>(module, "GetOpenFileNameW"),
                   BindExport<Dialog>(module, "GetSaveFileNameW")};
  }();
  return loaded;
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
