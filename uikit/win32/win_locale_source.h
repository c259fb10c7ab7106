// The system's locale services behind LocaleSource: the supported locales
// (EnumSystemLocalesW), the system default language and the user locale's
// abbreviated language name.
#pragma once

#include "../locale_tables.h"

namespace quarn {

class WinLocaleSource final : public LocaleSource {
 public:
  std::vector<SystemLocale> SupportedLocales() override;
  std::uint16_t SystemDefaultLanguage() override;
  std::u16string UserDefaultLanguageAbbreviation() override;
};

}  // namespace quarn
