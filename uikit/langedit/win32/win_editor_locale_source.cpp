#include "win_editor_locale_source.h"

#include <windows.h>

#include <cwchar>

#include "wide.h"

namespace quarn {

namespace {

// EnumSystemLocalesW passes no context to its callback; the enumeration runs
// on the calling thread, so a thread-local pointer carries the result list.
thread_local std::vector<EditorLocale>* t_locales = nullptr;

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
    EditorLocale locale;
    locale.languageId = LocaleText(lcid, LOCALE_ILANGUAGE);
    locale.displayName = LocaleText(lcid, LOCALE_SLANGUAGE);
    wchar_t country[10];
    locale.countryFitsTen = GetLocaleInfoW(lcid, LOCALE_SABBREVCTRYNAME, country, 10) > 0;
    t_locales->push_back(std::move(locale));
    return TRUE;
  } catch (...) {  // no exception crosses back into the system
    return FALSE;
  }
}

}  // namespace

std::vector<EditorLocale> WinEditorLocaleSource::SupportedLocales() {
  std::vector<EditorLocale> locales;
  t_locales = &locales;
  EnumSystemLocalesW(OnLocale, LCID_SUPPORTED);
  t_locales = nullptr;
  return locales;
}

}  // namespace quarn
