#include "win_locale_source.h"

#include <windows.h>

#include <cwchar>
#include <new>

#include "wide.h"

namespace quarn {

namespace {

// EnumSystemLocalesW passes no context to its callback; the enumeration runs
// on the calling thread, so a thread-local pointer carries the result list.
thread_local std::vector<std::uint32_t>* t_ids = nullptr;

BOOL CALLBACK OnLocale(LPWSTR text) {
  if (!t_ids || !text) return FALSE;
  try {
    wchar_t* end = nullptr;
    unsigned long value = std::wcstoul(text, &end, 16);
    if (end == text) return TRUE;  // not a locale identifier: go on with the next
    t_ids->push_back(static_cast<std::uint32_t>(value));
    return TRUE;
  } catch (...) {  // no exception crosses back into the system
    return FALSE;
  }
}

}  // namespace

std::vector<std::uint32_t> SupportedLocaleIds() {
  std::vector<std::uint32_t> ids;
  t_ids = &ids;
  EnumSystemLocalesW(OnLocale, LCID_SUPPORTED);
  t_ids = nullptr;
  return ids;
}

std::u16string LocaleInfoText(std::uint32_t lcid, std::uint32_t type) {
  wchar_t buf[256];
  int n = GetLocaleInfoW(static_cast<LCID>(lcid), static_cast<LCTYPE>(type), buf, 256);
  if (n <= 0) return {};
  return FromWide(std::wstring_view(buf, static_cast<std::size_t>(n - 1)));
}

bool LocaleInfoFits(std::uint32_t lcid, std::uint32_t type, int units) {
  std::vector<wchar_t> buf(static_cast<std::size_t>(units > 0 ? units : 1));
  return GetLocaleInfoW(static_cast<LCID>(lcid), static_cast<LCTYPE>(type), buf.data(), units) > 0;
}

std::vector<SystemLocale> WinLocaleSource::SupportedLocales() {
  std::vector<SystemLocale> locales;
  for (const std::uint32_t lcid : SupportedLocaleIds()) {
    SystemLocale locale;
    locale.languageId = LocaleInfoText(lcid, LOCALE_ILANGUAGE);
    locale.nativeName = LocaleInfoText(lcid, LOCALE_SNATIVELANGNAME);
    locale.shortCountry = LocaleInfoFits(lcid, LOCALE_SABBREVCTRYNAME, 4);
    locales.push_back(std::move(locale));
  }
  return locales;
}

std::uint16_t WinLocaleSource::SystemDefaultLanguage() {
  return GetSystemDefaultLangID();
}

std::u16string WinLocaleSource::UserDefaultLanguageAbbreviation() {
  return LocaleInfoText(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME);
}

}  // namespace quarn
