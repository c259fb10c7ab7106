#include "win_environment.h"

#include <windows.h>
#include <shlobj.h>

#include "module_path.h"
#include "wide.h"

namespace quarn {
namespace {

std::u16string StripTrailingSeparators(std::wstring s) {
  while (!s.empty() && (s.back() == L'\\' || s.back() == L'/')) s.pop_back();
  return FromWide(s);
}

// A usable folder: absolute and more than a drive root.
bool IsUsable(const std::u16string& folder) {
  return folder.size() > 3 && (folder[1] == u':' || (folder[0] == u'\\' && folder[1] == u'\\'));
}

std::u16string ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return StripTrailingSeparators(path);
}

}  // namespace

std::u16string WinProfileEnvironment::DocumentsFolder() {
  std::u16string docs = ShellFolder(CSIDL_PERSONAL);
  if (IsUsable(docs)) return docs;
  std::u16string profile = ShellFolder(CSIDL_PROFILE);
  if (!IsUsable(profile)) {
    wchar_t buf[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(L"USERPROFILE", buf, MAX_PATH);
    profile = (n > 0 && n < MAX_PATH) ? StripTrailingSeparators(buf) : std::u16string();
  }
  if (!IsUsable(profile)) return {};
  std::u16string fallback = profile + u"\\Documents";
  CreateDirectoryW(ToWide(fallback).c_str(), nullptr);
  return fallback;
}

std::uint16_t WinProfileEnvironment::SystemDefaultLangID() { return GetSystemDefaultLangID(); }

std::u16string WinProfileEnvironment::ProgramFolder() {
  const std::u16string exe = ExecutableFilePath();
  const auto slash = exe.find_last_of(u"\\/");
  return slash == std::u16string::npos ? std::u16string() : exe.substr(0, slash);
}

}  // namespace quarn
