// The profile environment of the running Windows session.
#pragma once

#include "../profile_environment.h"

namespace quarn {

class WinProfileEnvironment final : public ProfileEnvironment {
 public:
  // The shell's personal folder; when the shell has none, the Documents folder
  // of the user's profile. Never the root of a drive.
  std::u16string DocumentsFolder() override;
  std::uint16_t SystemDefaultLangID() override;
  std::u16string ProgramFolder() override;
};

}  // namespace quarn
