// What the hook component needs from its platform: the bound hook library, a
// way to load it, the error message shown when it is missing, and the state of
// the modifier keys. The Win32 implementation loads vnHook.dll from the
// program's folder; tests supply fakes.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "hook_abi.h"

namespace quarn {

// A loaded hook library with its four entry points bound. Destroying it
// releases the library.
class HookLibrary {
 public:
  virtual ~HookLibrary() = default;
  virtual void EnableKeyboardHook(TLowLevelHookCallback callback, void* context) = 0;
  virtual void DisableKeyboardHook() = 0;
  virtual void EnableMouseHook(TLowLevelHookCallback callback, void* context) = 0;
  virtual void DisableMouseHook() = 0;
};

enum class HookLibraryLoad {
  Loaded,
  FileMissing,        // the library could not be loaded at all
  EntryPointMissing,  // loaded, but one of the four functions is absent (released again)
};

class HookPlatform {
 public:
  virtual ~HookPlatform() = default;
  // Loads the library file; the result is null unless `result` is Loaded.
  virtual std::unique_ptr<HookLibrary> LoadHookLibrary(std::u16string_view fileName,
                                                       HookLibraryLoad& result) = 0;
  // A message box with no owner window and an error icon.
  virtual void ShowErrorMessage(std::u16string_view text, std::u16string_view caption) = 0;
  // Whether the key is held down as the current thread sees it (virtual key 0 to 255).
  virtual bool IsKeyDown(std::uint8_t virtualKey) = 0;
};

}  // namespace quarn
