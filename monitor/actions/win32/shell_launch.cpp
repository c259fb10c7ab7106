#include "shell_launch.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "wide.h"
#include "win_file_store.h"

namespace quarn {

namespace {

// The folder part of a path, with the root's backslash kept ("C:\"); empty
// when the path names no folder.
std::wstring FolderOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  if (slash == 0 || path[slash - 1] == L':') return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

}  // namespace

bool OpenProgram(const std::u16string& path) {
  // A quote or a control character is no part of a file name: such a path could
  // only be read as something else than the one file it names.
  if (path.empty()) return false;
  for (char16_t c : path)
    if (c == u'"' || c < 0x20) return false;
  const std::wstring file = ToWide(path);
  const std::wstring folder = FolderOf(file);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpParameters = nullptr;
  info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != FALSE;
}

bool FileExists(const std::u16string& path) { return WinFileStore().FileExists(path); }

}  // namespace quarn
