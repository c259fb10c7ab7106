#include "win_editor_locale_source.h"

#include <windows.h>

#include "win_locale_source.h"

namespace quarn {

std::vector<EditorLocale> WinEditorLocaleSource::SupportedLocales() {
  std::vector<EditorLocale> locales;
  for (const std::uint32_t lcid : SupportedLocaleIds()) {
    EditorLocale locale;
    locale.languageId = LocaleInfoText(lcid, LOCALE_ILANGUAGE);
    locale.displayName = LocaleInfoText(lcid, LOCALE_SLANGUAGE);
    locale.countryFitsTen = LocaleInfoFits(lcid, LOCALE_SABBREVCTRYNAME, 10);
    locales.push_back(std::move(locale));
  }
  return locales;
}

}  // namespace quarn
