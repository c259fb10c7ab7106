// The system's file dialogs, with their library bound when first used rather than
// imported: it brings the common-controls library, which costs Wine some 60 ms at
// program start. A missing library reads as a cancelled dialog.
#pragma once

#include <windows.h>
#include <commdlg.h>

namespace quarn::comdlg {

BOOL GetOpenFileNameW(OPENFILENAMEW* request);
BOOL GetSaveFileNameW(OPENFILENAMEW* request);

}  // namespace quarn::comdlg
