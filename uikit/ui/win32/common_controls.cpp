#include "common_controls.h"

#include "late_bound.h"

namespace quarn::ui::comctl {

namespace {

struct Library {
  BOOL(WINAPI* init)(const INITCOMMONCONTROLSEX*) = nullptr;
  BOOL(WINAPI* setSubclass)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR) = nullptr;
  BOOL(WINAPI* removeSubclass)(HWND, SUBCLASSPROC, UINT_PTR) = nullptr;
  LRESULT(WINAPI* defSubclass)(HWND, UINT, WPARAM, LPARAM) = nullptr;
  bool ready = false;
};

const Library& Get() {
  static const Library loaded = [] {
    Library library;
    HMODULE module = LoadLibraryW(L"comctl32.dll");
    library.init = BindExport<decltype(library.init)>(module, "InitCommonControlsEx");
    library.setSubclass = BindExport<decltype(library.setSubclass)>(module, "SetWindowSubclass");
    library.removeSubclass =
        BindExport<decltype(library.removeSubclass)>(module, "RemoveWindowSubclass");
    library.defSubclass = BindExport<decltype(library.defSubclass)>(module, "DefSubclassProc");
    if (!library.init || !library.setSubclass || !library.removeSubclass || !library.defSubclass)
      return library;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    library.init(&icc);
    library.ready = true;
    return library;
  }();
  return loaded;
}

}  // namespace

bool Ready() {
  return Get().ready;
}

BOOL SetWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
  const Library& l = Get();
  return l.ready ? l.setSubclass(window, proc, id, data) : FALSE;
}

BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id) {
  const Library& l = Get();
  return l.ready ? l.removeSubclass(window, proc, id) : FALSE;
}

LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Only a subclassed window calls this, so the library is there; DefWindowProc otherwise.
  const Library& l = Get();
  return l.ready ? l.defSubclass(window, message, wParam, lParam)
                 : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quarn::ui::comctl
