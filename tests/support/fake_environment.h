// A profile environment with fixed answers, for data module tests.
#pragma once

#include "profile_environment.h"

namespace quarn::testing {

class FakeEnvironment : public ProfileEnvironment {
 public:
  std::u16string DocumentsFolder() override { return documents; }
  std::uint16_t SystemDefaultLangID() override { return langID; }
  std::u16string ProgramFolder() override { return programFolder; }

  std::u16string documents = u"C:\\Users\\me\\Documents";
  std::uint16_t langID = 0x0409;
  std::u16string programFolder = u"C:\\Program Files\\QUARN";
};

}  // namespace quarn::testing
