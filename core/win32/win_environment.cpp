#include "win_environment.h"

#include <windows.h>
#include <shlobj.h>

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
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
  auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::u16string() : FromWide(path.substr(0, slash));
}

}  // namespace quarn
