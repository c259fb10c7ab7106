// The system's locale services behind LocaleSource: the supported locales
// (EnumSystemLocalesW), the system default language and the user locale's
// abbreviated language name.
#pragma once

#include "../locale_tables.h"

namespace quarn {

// Every locale the system supports, each by its locale identifier (LCID).
std::vector<std::uint32_t> SupportedLocaleIds();
// GetLocaleInfoW's text of `type` (an LCTYPE) for `lcid`; empty when it has none.
std::u16string LocaleInfoText(std::uint32_t lcid, std::uint32_t type);
// Whether the text of `type` fits a buffer of `units` UTF-16 units, terminator included.
bool LocaleInfoFits(std::uint32_t lcid, std::uint32_t type, int units);

class WinLocaleSource final : public LocaleSource {
 public:
  std::vector<SystemLocale> SupportedLocales() override;
  std::uint16_t SystemDefaultLanguage() override;
  std::u16string UserDefaultLanguageAbbreviation() override;
};

}  // namespace quarn
