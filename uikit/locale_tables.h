// The system's locales as the translation component sees them: a seam over the
// system's locale services, and three tables that give a language ID its
// native language name. The tables keep the system's enumeration order and
// duplicates, and find keys ignoring letter case (first match wins).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarn {

// One supported locale of the system.
struct SystemLocale {
  std::u16string languageId;  // four hexadecimal digits as the system writes them, e.g. "0409"
  std::u16string nativeName;  // the language's name in that language
  bool shortCountry = false;  // its country abbreviation has at most three letters
};

class LocaleSource {
 public:
  virtual ~LocaleSource() = default;
  // Every supported locale, in the system's order.
  virtual std::vector<SystemLocale> SupportedLocales() = 0;
  // The system default language identifier.
  virtual std::uint16_t SystemDefaultLanguage() = 0;
  // The user default locale's abbreviated language name, e.g. "ENU", "CHS".
  virtual std::u16string UserDefaultLanguageAbbreviation() = 0;
};

// [native name, language ID] of one locale.
struct LocaleRecord {
  std::u16string nativeName;
  std::u16string languageId;
};

class LocaleTable {
 public:
  struct Line {
    std::u16string key;
    LocaleRecord record;
  };

  void Add(std::u16string key, LocaleRecord record);
  // The record of the first line whose key equals `key` ignoring letter case.
  const LocaleRecord* Find(std::u16string_view key) const;
  const std::vector<Line>& Lines() const { return lines_; }

 private:
  std::vector<Line> lines_;
};

struct LocaleTables {
  LocaleTable SystemLanguageList;   // key: the language ID
  LocaleTable LangIDLanguageList;   // key: the language ID
  LocaleTable ShortIDLanguageList;  // key: the language ID for locales with a short country
                                    // abbreviation, else ""

  static LocaleTables Build(const std::vector<SystemLocale>& locales);
};

// A language identifier as four upper-case hexadecimal digits (0x0C04 gives "0C04").
std::u16string FormatLanguageId(std::uint16_t id);

}  // namespace quarn
