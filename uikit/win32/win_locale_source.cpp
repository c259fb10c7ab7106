#include "win_locale_source.h"

#include <windows.h>

#include <cwchar>
#include <new>

#include "wide.h"

namespace quarn {

namespace {

// EnumSystemLocalesW passes no context to its callback; the enumeration runs
// on the calling thread, so a thread-local pointer carries the result list.
thread_local std::vector<SystemLocale>* t_locales = nullptr;

std::u16string LocaleText(LCID lcid, LCTYPE type) {
  wchar_t buf[256];
  int n = GetLocaleInfoW(lcid, type, buf, 256);
  if (n <= 0) return {};
  return FromWide(std::wstring_view(buf, static_cast<std::size_t>(n - 1)));
}

BOOL CALLBACK OnLocale(LPWSTR text) {
  if (!t_locales || !text) return FALSE;
  try {
    wchar_t* end = nullptr;
    unsigned long value = std::wcstoul(text, &end, 16);
    if (end == text) return TRUE;  // not a locale identifier: go on with the next
    LCID lcid = static_cast<LCID>(value);
    SystemLocale locale;
    locale.languageId = LocaleText(lcid, LOCALE_ILANGUAGE);
    locale.nativeName = LocaleText(lcid, LOCALE_SNATIVELANGNAME);
    wchar_t country[4];
    locale.shortCountry = GetLocaleInfoW(lcid, LOCALE_SABBREVCTRYNAME, country, 4) > 0;
    t_locales->push_back(std::move(locale));
    return TRUE;
  } catch (...) {  // no exception crosses back into the system
    return FALSE;
  }
}

}  // namespace

std::vector<SystemLocale> WinLocaleSource::SupportedLocales() {
  std::vector<SystemLocale> locales;
  t_locales = &locales;
  EnumSystemLocalesW(OnLocale, LCID_SUPPORTED);
  t_locales = nullptr;
  return locales;
}

std::uint16_t WinLocaleSource::SystemDefaultLanguage() {
  return GetSystemDefaultLangID();
}

std::u16string WinLocaleSource::UserDefaultLanguageAbbreviation() {
  return LocaleText(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME);
}

}  // namespace quarn
