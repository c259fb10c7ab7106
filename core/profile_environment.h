// What the profile data module needs to know about the machine it runs on.
#pragma once

#include <cstdint>
#include <string>

namespace quarn {

class ProfileEnvironment {
 public:
  virtual ~ProfileEnvironment() = default;
  // The user's documents folder without a trailing separator; empty when unknown.
  virtual std::u16string DocumentsFolder() = 0;
  virtual std::uint16_t SystemDefaultLangID() = 0;
  // Folder of the running program (where config.ini lies); empty when unknown.
  virtual std::u16string ProgramFolder() = 0;
};

}  // namespace quarn
