#include "common_controls.h"

#include <mutex>

namespace quarn::ui::comctl {

namespace {

struct Library {
  BOOL(WINAPI* init)(const INITCOMMONCONTROLSEX*) = nullptr;
  BOOL(WINAPI* setSubclass)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR) = nullptr;
  BOOL(WINAPI* removeSubclass)(HWND, SUBCLASSPROC, UINT_PTR) = nullptr;
  LRESULT(WINAPI* defSubclass)(HWND, UINT, WPARAM, LPARAM) = nullptr;
  bool ready = false;
};

template <typename F>
void Bind(HMODULE module, const char* name, F& function) {
  function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const Library& Get() {
  static Library library;
  static std::once_flag once;
  std::call_once(once, [] {
    HMODULE module = LoadLibraryW(L"comctl32.dll");
    if (!module) return;
    Bind(module, "InitCommonControlsEx", library.init);
    Bind(module, "SetWindowSubclass", library.setSubclass);
    Bind(module, "RemoveWindowSubclass", library.removeSubclass);
    Bind(module, "DefSubclassProc", library.defSubclass);
    if (!library.init || !library.setSubclass || !library.removeSubclass || !library.defSubclass)
      return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    library.init(&icc);
    library.ready = true;
  });
  return library;
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
