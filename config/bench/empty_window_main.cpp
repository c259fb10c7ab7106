// The baseline of the start-up benchmark: the least a Win32 window program does, a
// 1024 x 760 borderless window centred and filled with one colour (RGB 200, 40, 120).
// It ends when closed or sent message 7036.
#include <windows.h>

namespace {

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_CLOSE || m == 7036) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(h, m, w, l);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = L"QuarnEmptyWindow";
  wc.hbrBackground = CreateSolidBrush(RGB(200, 40, 120));
  RegisterClassW(&wc);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - 1024) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - 760) / 2;
  HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW, wc.lpszClassName, L"empty", WS_POPUP, x, y, 1024,
                              760, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
