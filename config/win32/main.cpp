// quarncfg: the configuration window. One instance per session; it creates the profile
// data module, then its window, and runs until the window closes or the monitor ends it.
// clang-format off
#include "cfg_main_form.h"
// clang-format on
#include "gdiplus_session.h"
#include "key_tables.h"
#include "shared_tables.h"
#include "single_instance.h"
#include "win_environment.h"
#include "win_registry_store.h"
#include "write_checked_stores.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // One call decides: a second start ends silently and leaves the first alone.
  auto instance = quarn::SingleInstance::Acquire(ProgramNames[CFG_MAIN_CLASS_NAME]);
  if (!instance) return 0;
  int code = 0;
  try {
    quarn::ui::GdiplusSession gdiplus;
    BuildKeyTables();
    quarn::WinRegistryStore registry;
    quarn::WinFileStore files;
    quarn::WinProfileEnvironment env;
    // Every save goes through stores that count failed writes: an apply learns of them.
    quarn::WriteCheckedStores stores(registry, files);
    auto dm = std::make_unique<TDM>(stores.Registry(), stores.Files(), env);
    DM = dm.get();
    {
      std::unique_ptr<TQUARNCfgMain> form = TQUARNCfgMain::Create(*dm, stores);
      if (form) {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
          TranslateMessage(&msg);
          DispatchMessageW(&msg);
        }
        code = static_cast<int>(msg.wParam);
        form->FormDestroy();
      }
    }
    DM = nullptr;
  } catch (...) {
    code = 1;
  }
  return code;
}
