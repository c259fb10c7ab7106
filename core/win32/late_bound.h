// Exports of a library loaded when first used rather than imported: every import is
// loaded before the program's own code runs, which Wine makes dear for some libraries.
#pragma once

#include <windows.h>

namespace quarn {

// The export `name` of `module` as `F`; null when the module or the export is missing.
template <typename F>
F BindExport(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace quarn
