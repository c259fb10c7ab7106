// Functions of the system's own libraries, bound at run time: the library is
// loaded from the system folder only (never from the program's folder or the
// current one), and each function is looked up by name.
#pragma once

#include <windows.h>

#include <string>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace quarn {

// Loads `name` (e.g. L"setupapi.dll") from the system folder; null when it
// cannot be loaded.
inline HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (HMODULE h = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return h;
  // Windows 7 without the search-path update does not know the flag: the
  // full path in the system folder, never a bare name.
  wchar_t dir[MAX_PATH];
  const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  std::wstring path(dir, n);
  path += L"\\";
  path += name;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Sets `slot` to the function `name` of `module`; `ok` turns false when it is
// missing.
template <typename T>
void BindSystemFunction(HMODULE module, const char* name, T& slot, bool& ok) {
  // Through void(*)(): the one cast between function types that is always allowed.
  slot = reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
  ok = ok && slot != nullptr;
}

}  // namespace quarn
