#include "win_system_platform.h"

#include <windows.h>
// After windows.h, which they need.
#include <shellapi.h>
#include <shlobj.h>

#include <utility>

#include "module_path.h"
#include "shell_launch.h"
#include "stores.h"
#include "wide.h"

namespace quarn {

std::u16string SystemErrorText(std::uint32_t code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring out = n > 0 && text ? std::wstring(text, n) : std::wstring{};
  if (text) LocalFree(text);
  while (!out.empty() && (out.back() == L'\r' || out.back() == L'\n' || out.back() == L' '))
    out.pop_back();
  if (out.empty()) out = L"Error " + std::to_wstring(code);
  return FromWide(out);
}

WinSystemPlatform::WinSystemPlatform(std::function<std::u16string()> caption)
    : caption_(std::move(caption)) {}

bool WinSystemPlatform::SetProcessPrivilege(const std::u16string& name, bool enable,
                                            std::u16string& errorText) {
  DWORD error = 0;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    error = GetLastError();
  } else {
    const std::wstring wide = ToWide(name);
    TOKEN_PRIVILEGES wanted{};
    if (!LookupPrivilegeValueW(nullptr, wide.c_str(), &wanted.Privileges[0].Luid)) {
      error = GetLastError();
    } else {
      wanted.PrivilegeCount = 1;
      wanted.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
      TOKEN_PRIVILEGES previous{};
      DWORD length = 0;
      // Success can still mean "not all assigned": the error code tells.
      SetLastError(0);
      AdjustTokenPrivileges(token, FALSE, &wanted, sizeof previous, &previous, &length);
      error = GetLastError();
    }
    CloseHandle(token);
  }
  if (error == 0) return true;
  errorText = SystemErrorText(error);
  return false;
}

void WinSystemPlatform::ShowError(const std::u16string& text) {
  const std::wstring body = ToWide(text);
  const std::wstring title = caption_ ? ToWide(caption_()) : std::wstring{};
  MessageBoxW(nullptr, body.c_str(), title.c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

bool WinSystemPlatform::EndSession(std::uint32_t flags) {
  return ExitWindowsEx(flags, 0) != FALSE;
}

bool WinSystemPlatform::Suspend() {
  return SetSystemPowerState(TRUE, TRUE) != FALSE;
}

ShellItemList WinSystemPlatform::SpecialFolderList(int csidl) {
  PIDLIST_ABSOLUTE list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list))) return 0;
  return reinterpret_cast<ShellItemList>(list);
}

bool WinSystemPlatform::OpenItemList(ShellItemList list) {
  if (list == 0) return false;
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_IDLIST | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpIDList = reinterpret_cast<void*>(list);
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != FALSE;
}

void WinSystemPlatform::FreeItemList(ShellItemList list) {
  CoTaskMemFree(reinterpret_cast<void*>(list));
}

std::u16string WinSystemPlatform::SystemFolder() {
  wchar_t buf[MAX_PATH];
  const UINT n = GetSystemDirectoryW(buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  std::u16string out = FromWide(std::wstring_view(buf, n));
  while (!out.empty() && out.back() == u'\\') out.pop_back();
  return out;
}

std::u16string WinSystemPlatform::ProgramFolder() {
  return std::u16string(FolderPart(ExecutableFilePath()));
}

bool WinSystemPlatform::OpenProgram(const std::u16string& path) {
  return quarn::OpenProgram(path);
}

}  // namespace quarn
