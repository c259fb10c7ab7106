// The Win32 platform of the hook component: loads the hook library by full
// path from a folder (the running program's own folder unless told otherwise),
// shows the missing-library message in a message box, and reads key states
// with GetKeyState.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "hook_platform.h"

namespace quarn {

class WinHookPlatform : public HookPlatform {
 public:
  // Loads from the folder of the running program.
  WinHookPlatform();
  // Loads from `folder` (with or without a trailing backslash).
  explicit WinHookPlatform(std::u16string folder);

  std::unique_ptr<HookLibrary> LoadHookLibrary(std::u16string_view fileName,
                                               HookLibraryLoad& result) override;
  void ShowErrorMessage(std::u16string_view text, std::u16string_view caption) override;
  bool IsKeyDown(std::uint8_t virtualKey) override;

  // Shows the error message; a message box with no owner window and an error
  // icon unless replaced (tests replace it, since a modal box would block).
  std::function<void(std::u16string_view text, std::u16string_view caption)> ShowMessage;

  const std::u16string& Folder() const { return FFolder; }

 private:
  std::u16string FFolder;  // with a trailing backslash
};

// The platform of the running program, for components of the program's windows.
WinHookPlatform& DefaultWinHookPlatform();

// The folder of the running program's executable, with a trailing backslash.
std::u16string ProgramFolder();

}  // namespace quarn
