// A program for the program-start test: writes the command line it was given
// and its working folder into "probe-out.txt" beside itself, then ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring out(self, n);
  out = out.substr(0, out.find_last_of(L'\\') + 1) + L"probe-out.txt";

  wchar_t cwd[MAX_PATH];
  const DWORD c = GetCurrentDirectoryW(MAX_PATH, cwd);
  const std::wstring text = std::wstring(GetCommandLineW()) + L"\n" + std::wstring(cwd, c) + L"\n";

  const std::wstring temp = out + L".tmp";
  HANDLE f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(f, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(f);
  return MoveFileExW(temp.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
