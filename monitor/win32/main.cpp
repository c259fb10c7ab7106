// quarnmon: the tray monitor. One instance per session; it creates the profile
// data module, then its hidden window, and runs until "Exit".
#include <windows.h>

#include "data_module.h"
#include "mon_main_form.h"
#include "shared_tables.h"
#include "wide.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // One call decides: a monitor that already runs keeps running, this one ends silently.
  const std::wstring mutexName = quarn::ToWide(ProgramNames[MON_MAIN_CLASS_NAME]);
  HANDLE mutex = CreateMutexW(nullptr, TRUE, mutexName.c_str());
  if (mutex == nullptr) return 0;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return 0;
  }
  int code = 0;
  try {
    quarn::DataModuleHost dataModule;
    std::unique_ptr<TQUARNMonMain> form = TQUARNMonMain::Create(instance);
    if (form) {
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      code = static_cast<int>(msg.wParam);
    }
  } catch (...) {
    code = 1;
  }
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  return code;
}
