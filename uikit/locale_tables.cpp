#include "locale_tables.h"

#include "text_lists.h"

namespace quarn {

void LocaleTable::Add(std::u16string key, LocaleRecord record) {
  lines_.push_back(Line{std::move(key), std::move(record)});
}

const LocaleRecord* LocaleTable::Find(std::u16string_view key) const {
  for (const auto& line : lines_)
    if (EqualsIgnoringCase(line.key, key)) return &line.record;
  return nullptr;
}

LocaleTables LocaleTables::Build(const std::vector<SystemLocale>& locales) {
  LocaleTables t;
  for (const auto& l : locales) {
    LocaleRecord record{l.nativeName, l.languageId};
    t.SystemLanguageList.Add(l.languageId, record);
    t.LangIDLanguageList.Add(l.languageId, record);
    t.ShortIDLanguageList.Add(l.shortCountry ? l.languageId : std::u16string(), record);
  }
  return t;
}

std::u16string FormatLanguageId(std::uint16_t id) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string s(4, u'0');
  for (int i = 3; i >= 0; --i) {
    s[i] = kDigits[id & 0xF];
    id = static_cast<std::uint16_t>(id >> 4);
  }
  return s;
}

}  // namespace quarn
