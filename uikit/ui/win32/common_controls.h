// The common-controls library, bound when first used rather than imported: loading it
// at program start costs Wine some 60 ms before the first window, and a window needs it
// only for its first tooltip or edit control.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace quarn::ui::comctl {

// Loads the library and registers the tooltip and edit-related classes, once; false if
// the library is not there (the caller then goes without the control).
bool Ready();

BOOL SetWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id);
LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace quarn::ui::comctl
