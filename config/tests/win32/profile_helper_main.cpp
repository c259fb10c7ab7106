// A small program the Wine tests start and wait for:
//   sleep <ms>             sleeps, then ends
//   send <hwnd> <ms>       sends a message to the window (and waits for it to be
//                          handled), sleeps, then ends
//   write <file> <text>    appends the text and a line break to the file, then ends
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc >= 3 && std::wcscmp(argv[1], L"sleep") == 0) {
    Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    return 0;
  }
  if (argc >= 4 && std::wcscmp(argv[1], L"send") == 0) {
    const auto hwnd =
        reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoll(argv[2], nullptr, 10)));
    SendMessageW(hwnd, WM_APP + 7, 1, 2);
    Sleep(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
    return 0;
  }
  if (argc >= 4 && std::wcscmp(argv[1], L"write") == 0) {
    FILE* f = _wfopen(argv[2], L"ab");
    if (f == nullptr) return 1;
    const std::wstring text = std::wstring(argv[3]) + L"\r\n";
    for (wchar_t c : text) std::fputc(static_cast<char>(c), f);
    std::fclose(f);
    return 0;
  }
  return 2;
}
