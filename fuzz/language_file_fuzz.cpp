// The language file vn.local over arbitrary bytes: a file the reader takes is
// written back and read again unchanged, and the language component built from
// it switches to every language it holds and translates every original.
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "language_file.h"
#include "locale_tables.h"
#include "memory_stores.h"
#include "translation.h"
#include "translation_table.h"
#include "vn_language.h"

namespace {

using quarn::LanguageFileContent;

bool SameContent(const LanguageFileContent& a, const LanguageFileContent& b) {
  if (a.originals != b.originals || a.languages.size() != b.languages.size()) return false;
  for (std::size_t i = 0; i < a.languages.size(); ++i)
    if (a.languages[i].id != b.languages[i].id || a.languages[i].lines != b.languages[i].lines)
      return false;
  return true;
}

class FixedLocales : public quarn::LocaleSource {
 public:
  std::vector<quarn::SystemLocale> SupportedLocales() override {
    return {{u"0409", u"English", true}, {u"0804", u"Chinese", true}};
  }
  std::uint16_t SystemDefaultLanguage() override { return 0x0409; }
  std::u16string UserDefaultLanguageAbbreviation() override { return u"CHS"; }
};

void CheckTable(const quarn::TranslationTable& table) {
  const auto& lines = table.Lines();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto eq = lines[i].find(u'=');
    QUARN_FUZZ_CHECK(eq != std::u16string::npos && eq > 0);
    if (i > 0) QUARN_FUZZ_CHECK(lines[i - 1] < lines[i]);
    QUARN_FUZZ_CHECK(table.Find(std::u16string_view(lines[i]).substr(0, eq)).has_value());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto content = quarn::ReadLanguageFile(data, size);
  if (!content) return 0;
  for (const auto& line : content->originals) QUARN_FUZZ_CHECK(!quarn::HasLineBreak(line));

  const auto written = quarn::WriteLanguageFile(*content);
  QUARN_FUZZ_CHECK(written.has_value());
  const auto again = quarn::ReadLanguageFile(written->data(), written->size());
  QUARN_FUZZ_CHECK(again.has_value() && SameContent(*content, *again));
  QUARN_FUZZ_CHECK(quarn::WriteLanguageFile(*again) == written);

  for (const auto& block : content->languages) CheckTable(quarn::TranslationTable(block.lines));

  quarn::testing::MemoryFileStore files;
  files.files[quarn::testing::Fold(u"C:\\Q\\vn.local")] =
      std::vector<std::uint8_t>(data, data + size);
  FixedLocales locales;
  quarn::LanguageContext context;
  TvnLanguage language(nullptr, quarn::LanguageServices{files, locales, u"C:\\Q\\quarncfg.exe"},
                       context);
  language.Loaded();
  QUARN_FUZZ_CHECK(language.LanguageCount() == static_cast<int>(content->languages.size()));
  for (int i = 0; i < language.LanguageCount(); ++i) {
    const std::u16string id = language.GetLanguageShortIDByIndex(i);
    const int index = language.GetLanguageIndexByShortID(id);
    QUARN_FUZZ_CHECK(index >= 0 && index <= i);
    language.SetLang(id);
    for (const auto& original : language.Originals()) {
      QUARN_FUZZ_CHECK(!original.empty());
      QUARN_FUZZ_CHECK(!context.Translate(original).empty());
    }
  }
  language.SetLang(u"en");
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  using quarn::LanguageBlock;
  auto file = [](LanguageFileContent c) { return *quarn::WriteLanguageFile(c); };
  auto raw = [](std::u16string originals,
                std::vector<std::pair<std::u16string, std::u16string>> blocks) {
    quarn::fuzz::FuzzWriter w;
    auto text = [&w](const std::u16string& s) {
      w.U32(static_cast<std::uint32_t>(s.size())).Raw(quarn::fuzz::Utf16Bytes(s));
    };
    text(originals);
    w.U32(static_cast<std::uint32_t>(blocks.size()));
    for (const auto& [id, lines] : blocks) {
      text(id);
      text(lines);
    }
    return w.Data();
  };
  std::vector<std::vector<std::uint8_t>> seeds = {
      file({{u"OK", u"Cancel", u"Profile 1"},
            {LanguageBlock{u"0804", {u"OK=\u786E\u5B9A", u"Cancel=\u53D6\u6D88"}},
             LanguageBlock{u"0404", {u"OK=\u78BA\u5B9A", u"=x", u"novalue", u""}}}}),
      file({{u"Down", u"Up", u"ms"}, {}}),
      file({{}, {LanguageBlock{u"ch", {u"a=b=c", u"a=", u"a=d"}}, LanguageBlock{u"CH", {}}}}),
      raw(u"a\rb\nc\r\n\r\nd\u2028e\f", {{u"0409", u"x=y\v z=w\u2029"}}),
      raw(u"one", {}),
  };
  // Damaged files: cut inside a text, a negative length, a count that cannot fit, a trailing byte.
  auto cut = seeds[0];
  cut.resize(cut.size() - 3);
  seeds.push_back(cut);
  auto negative = seeds[1];
  negative[3] = 0x80;
  seeds.push_back(negative);
  quarn::fuzz::FuzzWriter big;
  big.U32(0).U32(0x10000000u);
  seeds.push_back(big.Data());
  auto trailing = seeds[1];
  trailing.push_back(0);
  seeds.push_back(trailing);
  return seeds;
}
