// The translation component on Wine: the system's locales, the system
// language and the shipped vn.local found beside the running program.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>

#include "language_fakes.h"
#include "module_path.h"
#include "vn_language.h"
#include "wide.h"
#include "win_file_store.h"
#include "win_locale_source.h"

namespace {

using quarn::testing::FakeForm;

std::string Utf8(const std::u16string& s) {
  std::wstring w = quarn::ToWide(s);
  int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string r(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), r.data(), n, nullptr,
                      nullptr);
  return r;
}

TEST(WinLocaleSource, GivesTheNativeNamesOfTheShippedLanguages) {
  quarn::WinLocaleSource source;
  auto tables = quarn::LocaleTables::Build(source.SupportedLocales());
  EXPECT_GT(tables.SystemLanguageList.Lines().size(), 50u);
  struct Case {
    const char16_t* id;
    std::u16string name;
  } cases[] = {{u"0409", u"English"}, {u"0804", u"中文"}, {u"0404", u"中文"}};
  for (const auto& c : cases) {
    const auto* record = tables.LangIDLanguageList.Find(c.id);
    ASSERT_NE(record, nullptr) << Utf8(c.id);
    EXPECT_EQ(record->languageId, c.id);
    EXPECT_EQ(record->nativeName.substr(0, c.name.size()), c.name) << Utf8(record->nativeName);
    const auto* byShortId = tables.ShortIDLanguageList.Find(c.id);
    ASSERT_NE(byShortId, nullptr) << "a three-letter country abbreviation: " << Utf8(c.id);
  }
}

TEST(WinLocaleSource, OsDefaultLanguageFormatsTheSystemLanguage) {
  quarn::WinFileStore files;
  quarn::WinLocaleSource locales;
  quarn::LanguageContext context;
  TvnLanguage lang(nullptr, quarn::LanguageServices{files, locales, quarn::ExecutableFilePath()},
                   context);
  wchar_t expected[8];
  std::swprintf(expected, 8, L"%04X", static_cast<unsigned>(GetSystemDefaultLangID()));
  std::u16string text = lang.GetOSDefaultLang();
  EXPECT_EQ(quarn::ToWide(text), expected);
  ASSERT_EQ(text.size(), 4u);
  for (char16_t c : text) EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'));
  EXPECT_EQ(locales.UserDefaultLanguageAbbreviation().size(), 3u);
}

TEST(WinLanguage, LoadsTheShippedFileBesideTheProgram) {
  std::u16string exe = quarn::ExecutableFilePath();
  EXPECT_EQ(quarn::NamePart(exe), u"uikit_win_tests.exe");
  EXPECT_EQ(exe.substr(1, 2), u":\\") << "a full path";

  quarn::WinFileStore files;
  quarn::WinLocaleSource locales;
  quarn::LanguageContext context;
  FakeForm form(u"Key Functions", u"Switch to next profile");
  TvnLanguage lang(&form, quarn::LanguageServices{files, locales, exe}, context);
  ASSERT_EQ(lang.LanguageCount(), 3);
  EXPECT_EQ(lang.GetLanguageShortIDByIndex(0), u"0409");
  EXPECT_EQ(lang.GetLanguageIndexByShortID(u"0804"), 1);
  EXPECT_EQ(lang.GetLanguageShortIDByIndex(2), u"0404");

  std::u16string changedTo, nativeName;
  lang.OnLanguageChanged = [&](TvnLanguage&, const std::u16string& id, const std::u16string& name) {
    changedTo = id;
    nativeName = name;
  };
  lang.SetLang(u"0404");
  EXPECT_EQ(form.caption, u"按鍵功能");
  EXPECT_EQ(form.hint, u"切換到下一個設定檔");
  EXPECT_EQ(context.Translate(u"QUARN Mouse Driver"), u"QUARN 滑鼠驅動程式");
  EXPECT_EQ(changedTo, u"0404");
  EXPECT_EQ(nativeName.substr(0, 2), u"中文");
  lang.SetLang(u"0409");
  EXPECT_EQ(form.caption, u"Key Functions");
  EXPECT_EQ(context.Translate(u"QUARN Mouse Driver"), u"QUARN Mouse Driver");
}

}  // namespace
