#include "win_hook_platform.h"

#include <windows.h>

#include <cstddef>
#include <utility>
#include <vector>

#include "module_path.h"
#include "stores.h"
#include "wide.h"

namespace quarn {

// The callback receives pointers to the real records; the mirrors must match them.
static_assert(sizeof(KeyboardHookRecord) == sizeof(KBDLLHOOKSTRUCT));
static_assert(offsetof(KeyboardHookRecord, vkCode) == offsetof(KBDLLHOOKSTRUCT, vkCode));
static_assert(offsetof(KeyboardHookRecord, scanCode) == offsetof(KBDLLHOOKSTRUCT, scanCode));
static_assert(offsetof(KeyboardHookRecord, flags) == offsetof(KBDLLHOOKSTRUCT, flags));
static_assert(offsetof(KeyboardHookRecord, time) == offsetof(KBDLLHOOKSTRUCT, time));
static_assert(offsetof(KeyboardHookRecord, dwExtraInfo) == offsetof(KBDLLHOOKSTRUCT, dwExtraInfo));
static_assert(sizeof(MouseHookRecord) == sizeof(MSLLHOOKSTRUCT));
static_assert(offsetof(MouseHookRecord, x) == offsetof(MSLLHOOKSTRUCT, pt.x));
static_assert(offsetof(MouseHookRecord, y) == offsetof(MSLLHOOKSTRUCT, pt.y));
static_assert(offsetof(MouseHookRecord, mouseData) == offsetof(MSLLHOOKSTRUCT, mouseData));
static_assert(offsetof(MouseHookRecord, flags) == offsetof(MSLLHOOKSTRUCT, flags));
static_assert(offsetof(MouseHookRecord, time) == offsetof(MSLLHOOKSTRUCT, time));
static_assert(offsetof(MouseHookRecord, dwExtraInfo) == offsetof(MSLLHOOKSTRUCT, dwExtraInfo));
static_assert(KEY_FLAG_EXTENDED == LLKHF_EXTENDED && KEY_FLAG_UP == LLKHF_UP);
static_assert(MOUSE_FLAG_INJECTED == LLMHF_INJECTED);

namespace {

class WinHookLibrary : public HookLibrary {
 public:
  WinHookLibrary(HMODULE module, TEnableHookFunction enableKeyboard,
                 TDisableHookFunction disableKeyboard, TEnableHookFunction enableMouse,
                 TDisableHookFunction disableMouse)
      : FModule(module),
        FEnableKeyboard(enableKeyboard),
        FDisableKeyboard(disableKeyboard),
        FEnableMouse(enableMouse),
        FDisableMouse(disableMouse) {}
  ~WinHookLibrary() override { FreeLibrary(FModule); }
  WinHookLibrary(const WinHookLibrary&) = delete;
  WinHookLibrary& operator=(const WinHookLibrary&) = delete;

  void EnableKeyboardHook(TLowLevelHookCallback callback, void* context) override {
    FEnableKeyboard(callback, context, 0);
  }
  void DisableKeyboardHook() override { FDisableKeyboard(); }
  void EnableMouseHook(TLowLevelHookCallback callback, void* context) override {
    FEnableMouse(callback, context, 0);
  }
  void DisableMouseHook() override { FDisableMouse(); }

 private:
  HMODULE FModule;
  TEnableHookFunction FEnableKeyboard;
  TDisableHookFunction FDisableKeyboard;
  TEnableHookFunction FEnableMouse;
  TDisableHookFunction FDisableMouse;
};

template <class F>
F Entry(HMODULE module, const char* name) {
  // Exported functions are looked up by name; their type is the contract's.
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::u16string WithBackslash(std::u16string folder) {
  if (!folder.empty() && folder.back() != u'\\' && folder.back() != u'/') folder += u'\\';
  return folder;
}

}  // namespace

std::u16string ProgramFolder() {
  const std::u16string exe = ExecutableFilePath();
  return std::u16string(FolderPart(exe));
}

WinHookPlatform::WinHookPlatform() : WinHookPlatform(ProgramFolder()) {}

WinHookPlatform::WinHookPlatform(std::u16string folder)
    : FFolder(WithBackslash(std::move(folder))) {
  ShowMessage = [](std::u16string_view text, std::u16string_view caption) {
    MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(caption).c_str(), MB_OK | MB_ICONERROR);
  };
}

std::unique_ptr<HookLibrary> WinHookPlatform::LoadHookLibrary(std::u16string_view fileName,
                                                              HookLibraryLoad& result) {
  result = HookLibraryLoad::FileMissing;
  // By full path only: never from the search path, where another file of the
  // same name could be found.
  if (FFolder.empty()) return nullptr;
  const std::wstring path = ToWide(FFolder + std::u16string(fileName));
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, 0);
  if (module == nullptr) return nullptr;

  auto enableKeyboard = Entry<TEnableHookFunction>(module, kEnableKeyboardHookName);
  auto disableKeyboard = Entry<TDisableHookFunction>(module, kDisableKeyboardHookName);
  auto enableMouse = Entry<TEnableHookFunction>(module, kEnableMouseHookName);
  auto disableMouse = Entry<TDisableHookFunction>(module, kDisableMouseHookName);
  if (!enableKeyboard || !disableKeyboard || !enableMouse || !disableMouse) {
    FreeLibrary(module);
    result = HookLibraryLoad::EntryPointMissing;
    return nullptr;
  }
  result = HookLibraryLoad::Loaded;
  return std::make_unique<WinHookLibrary>(module, enableKeyboard, disableKeyboard, enableMouse,
                                          disableMouse);
}

void WinHookPlatform::ShowErrorMessage(std::u16string_view text, std::u16string_view caption) {
  if (ShowMessage) ShowMessage(text, caption);
}

bool WinHookPlatform::IsKeyDown(std::uint8_t virtualKey) {
  return (GetKeyState(virtualKey) & 0x8000) != 0;
}

WinHookPlatform& DefaultWinHookPlatform() {
  static WinHookPlatform platform;
  return platform;
}

}  // namespace quarn
