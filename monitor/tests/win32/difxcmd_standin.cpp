// A stand-in for the driver package installer, for tests: it writes its
// arguments, working folder and window show state to "difxcmd.log" beside
// itself, waits 1.5 s like a real installation would, and exits with 0.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& s) {
  if (s.empty()) return {};
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), int(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// The command line without the program's own name.
std::wstring Arguments() {
  const wchar_t* p = GetCommandLineW();
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

}  // namespace

int wmain() {
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 2;
  std::wstring log(self, n);
  log = log.substr(0, log.find_last_of(L'\\') + 1) + L"difxcmd.log";
  wchar_t dir[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, dir);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  GetStartupInfoW(&si);
  const int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;
  const std::string text = "args=" + Utf8(Arguments()) + "\r\ndir=" + Utf8(dir) +
                           "\r\nshow=" + std::to_string(show) + "\r\n";
  Sleep(1500);
  HANDLE f = CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  WriteFile(f, text.data(), DWORD(text.size()), &written, nullptr);
  CloseHandle(f);
  return 0;
}
