// The system as the monitor's system actions reach it: the process token's
// privileges, the session's shut-down and sleep, the shell's special folders,
// the system and install folders, program starts, and the error box.
#pragma once

#include <functional>
#include <string>

#include "system_actions.h"

namespace quarn {

// The system's text for an error code, without its line break; "Error N"
// when the system has none.
std::u16string SystemErrorText(std::uint32_t code);

class WinSystemPlatform : public SystemPlatform {
 public:
  // `caption` gives the title of the error box when it is shown.
  explicit WinSystemPlatform(std::function<std::u16string()> caption);

  bool SetProcessPrivilege(const std::u16string& name, bool enable,
                           std::u16string& errorText) override;
  // A modal box on this thread; its loop keeps serving sent messages.
  void ShowError(const std::u16string& text) override;
  bool EndSession(std::uint32_t flags) override;
  bool Suspend() override;
  ShellItemList SpecialFolderList(int csidl) override;
  bool OpenItemList(ShellItemList list) override;
  void FreeItemList(ShellItemList list) override;
  std::u16string SystemFolder() override;
  std::u16string ProgramFolder() override;
  bool OpenProgram(const std::u16string& path) override;

 private:
  std::function<std::u16string()> caption_;
};

}  // namespace quarn
