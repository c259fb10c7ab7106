// TvnLanguage over an in-memory program folder, fake locales and fake scenes
// and forms.
#include "vn_language.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "language_fakes.h"
#include "language_file.h"
#include "memory_stores.h"

namespace {

using quarn::LanguageBlock;
using quarn::LanguageContext;
using quarn::LanguageFileContent;
using quarn::testing::FakeForm;
using quarn::testing::FakeLocales;
using quarn::testing::FakeScene;
using quarn::testing::MemoryFileStore;

const std::u16string kExe = u"C:\\Program Files\\QUARN\\quarncfg.exe";
const std::u16string kFile = u"C:\\Program Files\\QUARN\\vn.local";

LanguageFileContent ThreeLanguages() {
  return {{u"Apply", u"Key Functions", u"", u"Exit", u"Apply"},
          {LanguageBlock{u"0409", {u"Exit=Quit"}},
           LanguageBlock{u"0804", {u"Apply=应用", u"Key Functions=按键功能", u"Exit="}},
           LanguageBlock{u"0404", {u"Apply=套用", u"Key Functions=按鍵功能", u"NoKey"}}}};
}

std::string Narrow(const std::u16string& s) {
  std::string r;
  for (char16_t c : s) r.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return r;
}

std::vector<std::uint8_t> Bytes(const LanguageFileContent& c) {
  return quarn::WriteLanguageFile(c).value();
}

class VnLanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files.AddFolder(u"C:\\Program Files\\QUARN");
    files.files[quarn::testing::Fold(kFile)] = Bytes(ThreeLanguages());
  }
  std::unique_ptr<TvnLanguage> Make(quarn::LanguageForm* owner = nullptr) {
    return std::make_unique<TvnLanguage>(owner, quarn::LanguageServices{files, locales, kExe},
                                         context);
  }

  MemoryFileStore files;
  FakeLocales locales;
  LanguageContext context;
};

TEST_F(VnLanguageTest, LoadsTheLanguageFileFromTheProgramFolder) {
  auto lang = Make();
  EXPECT_EQ(lang->LanguageCount(), 3);
  EXPECT_EQ(lang->Originals(), (std::vector<std::u16string>{u"Apply", u"Exit", u"Key Functions"}))
      << "sorted, each once, the empty original dropped";
  EXPECT_EQ(lang->Lang(), u"");
  EXPECT_EQ(context.ActiveTable(), nullptr) << "creation activates nothing";
}

TEST_F(VnLanguageTest, IndexAndIdLookups) {
  auto lang = Make();
  struct IdCase {
    std::u16string id;
    int index;
  } ids[] = {{u"0409", 0}, {u"0804", 1}, {u"0404", 2}, {u"0c04", -1}, {u"", -1}, {u"04", -1}};
  for (const auto& c : ids)
    EXPECT_EQ(lang->GetLanguageIndexByShortID(c.id), c.index) << Narrow(c.id);

  struct IndexCase {
    int index;
    std::u16string id;
  } indexes[] = {{0, u"0409"}, {2, u"0404"}, {3, u""}, {-1, u""}, {INT_MAX, u""}, {INT_MIN, u""}};
  for (const auto& c : indexes)
    EXPECT_EQ(lang->GetLanguageShortIDByIndex(c.index), c.id) << c.index;
}

TEST_F(VnLanguageTest, IdLookupIgnoresCaseAndFindsTheFirstOfDuplicates) {
  files.files[quarn::testing::Fold(kFile)] = Bytes(
      {{u"A"},
       {LanguageBlock{u"CH", {u"A=1"}}, LanguageBlock{u"ch", {u"A=2"}}, LanguageBlock{u"US", {}}}});
  auto lang = Make();
  EXPECT_EQ(lang->GetLanguageIndexByShortID(u"ch"), 0);
  EXPECT_EQ(lang->GetLanguageIndexByShortID(u"us"), 2);
  lang->SetLang(u"cH");
  EXPECT_EQ(context.Translate(u"A"), u"1");
}

TEST_F(VnLanguageTest, MissingOrDamagedFileLoadsNothing) {
  auto valid = Bytes(ThreeLanguages());
  auto trailing = valid;
  trailing.push_back(0);
  auto truncated = valid;
  truncated.resize(valid.size() - 1);
  struct Case {
    const char* why;
    std::function<void(MemoryFileStore&)> arrange;
  } cases[] = {
      {"missing", [](MemoryFileStore& f) { f.files.clear(); }},
      {"unreadable", [](MemoryFileStore& f) { f.unreadable.insert(quarn::testing::Fold(kFile)); }},
      {"truncated", [&](MemoryFileStore& f) { f.files[quarn::testing::Fold(kFile)] = truncated; }},
      {"bytes after the last block",
       [&](MemoryFileStore& f) { f.files[quarn::testing::Fold(kFile)] = trailing; }},
      {"over the size limit",
       [](MemoryFileStore& f) {
         f.files[quarn::testing::Fold(kFile)].resize(quarn::kMaxStoredBlobSize + 1);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    MemoryFileStore store;
    store.AddFolder(u"C:\\Program Files\\QUARN");
    store.files[quarn::testing::Fold(kFile)] = valid;
    c.arrange(store);
    FakeForm form(u"Apply", u"Key Functions");
    FakeScene scene(context, {u"Apply"});
    TvnLanguage lang(&form, quarn::LanguageServices{store, locales, kExe}, context);
    EXPECT_EQ(lang.LanguageCount(), 0);
    EXPECT_TRUE(lang.Originals().empty());
    lang.SetLang(u"0804");
    EXPECT_EQ(lang.Lang(), u"0804") << "Lang takes the ID even when it is not loaded";
    EXPECT_EQ(form.caption, u"Apply");
    EXPECT_EQ(form.hint, u"Key Functions");
    EXPECT_EQ(scene.texts[0], u"Apply");
  }
}

TEST_F(VnLanguageTest, OriginalsOnlyFileLoadsNoLanguage) {
  files.files[quarn::testing::Fold(kFile)] = Bytes({{u"Apply", u"Exit"}, {}});
  auto lang = Make();
  EXPECT_EQ(lang->LanguageCount(), 0);
  EXPECT_EQ(lang->Originals().size(), 2u);
}

TEST_F(VnLanguageTest, SetLangSwitchesScenesAndFormsAndBackToEnglish) {
  FakeForm form(u"Key Functions", u"Apply");
  FakeScene scene(context, {u"Apply", u"Exit"});
  auto lang = Make(&form);
  lang->Loaded();
  struct Step {
    std::u16string id;
    std::u16string caption, hint, sceneApply, sceneExit;
    const char* why;
  } steps[] = {
      {u"0804", u"按键功能", u"应用", u"应用", u"Exit",
       "a loaded ID; an empty translation shows the original"},
      {u"0404", u"按鍵功能", u"套用", u"套用", u"Exit", "switching between two translations"},
      {u"0c04", u"按鍵功能", u"套用", u"套用", u"Exit", "an unknown ID keeps the active table"},
      {u"EN", u"按鍵功能", u"套用", u"套用", u"Exit", "only \"en\" in lower case is the reset"},
      {u"", u"按鍵功能", u"套用", u"套用", u"Exit", "an empty ID changes no table"},
      {u"en", u"Key Functions", u"Apply", u"Apply", u"Exit",
       "\"en\" returns everything to the originals"},
      {u"0804", u"按键功能", u"应用", u"应用", u"Exit", "and a language again"},
      {u"0409", u"Key Functions", u"Apply", u"Apply", u"Quit", "English restores the form's texts"},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.why);
    lang->SetLang(s.id);
    EXPECT_EQ(lang->Lang(), s.id);
    EXPECT_EQ(form.caption, s.caption);
    EXPECT_EQ(form.hint, s.hint);
    EXPECT_EQ(scene.texts, (std::vector<std::u16string>{s.sceneApply, s.sceneExit}));
  }
}

TEST_F(VnLanguageTest, TheTranslateFunctionFollowsTheProgramTable) {
  auto lang = Make();
  lang->SetLang(u"0804");
  EXPECT_EQ(context.Translate(u"Apply"), u"应用");
  EXPECT_EQ(context.Translate(u"apply"), u"apply");
  EXPECT_EQ(context.Translate(u"Exit"), u"Exit");
  lang.reset();
  EXPECT_EQ(context.Translate(u"Apply"), u"应用") << "the active table outlives the component";
}

TEST_F(VnLanguageTest, ByDefaultTheComponentSwitchesTheProgramTable) {
  TvnLanguage lang(nullptr, quarn::LanguageServices{files, locales, kExe});
  lang.SetLang(u"0404");
  EXPECT_EQ(quarn::Translate(u"Apply"), u"套用");
  lang.SetLang(u"en");
  EXPECT_EQ(quarn::Translate(u"Apply"), u"Apply");
  EXPECT_EQ(quarn::ProgramLanguage().ActiveTable(), nullptr);
}

TEST_F(VnLanguageTest, LanguageChangedReportsTheIdAndItsNativeName) {
  auto lang = Make();
  std::vector<std::pair<std::u16string, std::u16string>> calls;
  lang->OnLanguageChanged = [&](TvnLanguage& sender, const std::u16string& id,
                                const std::u16string& name) {
    EXPECT_EQ(&sender, lang.get());
    calls.emplace_back(id, name);
  };
  lang->SetLang(u"0804");
  lang->SetLang(u"0C04");
  lang->SetLang(u"1000");
  lang->SetLang(u"en");
  EXPECT_EQ(calls,
            (std::vector<std::pair<std::u16string, std::u16string>>{
                {u"0804", u"中文(简体)"}, {u"0C04", u"中文(香港)"}, {u"1000", u""}, {u"en", u""}}));
}

TEST_F(VnLanguageTest, NativeNameLookups) {
  auto lang = Make();
  EXPECT_EQ(lang->GetLanguageLongNameByLangID(u"0409"), u"English") << "first of duplicates";
  EXPECT_EQ(lang->GetLanguageLongNameByLangID(u"0C04"), u"中文(香港)") << "case ignored";
  EXPECT_EQ(lang->GetLanguageLongNameByLangID(u"1000"), u"Custom");
  EXPECT_EQ(lang->GetLanguageLongNameByShortID(u"1000"), u"")
      << "a long country abbreviation gives no short-ID key";
  EXPECT_EQ(lang->GetLanguageLongNameByShortID(u""), u"Custom");
  EXPECT_EQ(lang->GetLanguageLongNameByLangID(u"0407"), u"");
  ASSERT_NE(lang->SystemLanguageList().Find(u"0404"), nullptr);
  EXPECT_EQ(lang->SystemLanguageList().Find(u"0404")->nativeName, u"中文(繁體)");
  EXPECT_EQ(lang->SystemLanguageList().Lines().size(), locales.locales.size());
}

TEST_F(VnLanguageTest, LocaleTablesAreBuiltOnceAndShared) {
  auto first = Make();
  auto second = Make();
  EXPECT_EQ(first->GetLanguageLongNameByLangID(u"0804"), u"中文(简体)");
  first.reset();  // its end releases nothing the other component uses
  EXPECT_EQ(second->GetLanguageLongNameByShortID(u"0804"), u"中文(简体)");
  EXPECT_EQ(second->SystemLanguageList().Lines().size(), locales.locales.size());
  auto third = Make();
  EXPECT_EQ(third->GetLanguageLongNameByLangID(u"0409"), u"English");
  EXPECT_EQ(locales.enumerations, 1);
}

TEST_F(VnLanguageTest, DestroyedFormsAreNotWalked) {
  auto kept = std::make_unique<FakeForm>(u"Apply", u"");
  auto gone = std::make_unique<FakeForm>(u"Apply", u"");
  auto lang = Make(kept.get());
  lang->RegisterLanguageForm(*gone);
  EXPECT_EQ(context.FormCount(), 2u);
  gone.reset();
  EXPECT_EQ(context.FormCount(), 1u);
  lang->SetLang(u"0804");  // ASan reports any write into the freed form
  EXPECT_EQ(kept->caption, u"应用");
}

TEST_F(VnLanguageTest, FormsAreListedOncePerComponentAndCounted) {
  FakeForm form(u"Apply", u"");
  auto first = Make(&form);
  auto second = Make(&form);
  auto ownerless = Make();
  EXPECT_EQ(context.FormCount(), 2u);
  EXPECT_EQ(first->vnParentFormCount(), 2);
  first->SetLang(u"0804");
  EXPECT_EQ(form.writes, 2) << "walked once for each component it owns";
  second.reset();
  EXPECT_EQ(first->vnParentFormCount(), 1);
  ownerless.reset();
  EXPECT_EQ(first->vnParentFormCount(), 1);
}

TEST_F(VnLanguageTest, LoadStepSelectsTheUserLocaleLanguageWithoutSetLang) {
  files.files[quarn::testing::Fold(kFile)] =
      Bytes({{u"Apply"}, {LanguageBlock{u"0409", {}}, LanguageBlock{u"CH", {u"Apply=应用"}}}});
  FakeForm form(u"Apply", u"");
  FakeScene scene(context, {u"Apply"});
  int events = 0;

  locales.userAbbreviation = u"ENU";
  auto english = Make(&form);
  english->OnLanguageChanged = [&](TvnLanguage&, const std::u16string&, const std::u16string&) {
    ++events;
  };
  english->Loaded();
  EXPECT_EQ(english->SelectedLanguage(), u"en");
  EXPECT_EQ(context.ActiveTable(), nullptr) << "no language carries the ID \"en\"";

  locales.userAbbreviation = u"CHS";
  english->Loaded();
  EXPECT_EQ(english->SelectedLanguage(), u"ch");
  EXPECT_EQ(scene.texts[0], u"应用") << "the CH table is active";
  EXPECT_EQ(english->Lang(), u"");
  EXPECT_EQ(form.caption, u"Apply") << "no form is walked";
  EXPECT_EQ(events, 0);
}

TEST_F(VnLanguageTest, AutoSelectGoesThroughSetLang) {
  locales.userAbbreviation = u"CHT";
  auto lang = Make();
  EXPECT_FALSE(lang->AutoSelect());
  lang->SetAutoSelect(true);
  EXPECT_TRUE(lang->AutoSelect());
  EXPECT_EQ(lang->Lang(), u"ch");
  lang->SetAutoSelect(false);
  EXPECT_EQ(lang->Lang(), u"ch");
}

TEST_F(VnLanguageTest, OsDefaultLanguageIsFourUpperCaseHexDigits) {
  auto lang = Make();
  struct Case {
    std::uint16_t id;
    std::u16string text;
  } cases[] = {{0x0804, u"0804"},
               {0x0C04, u"0C04"},
               {0x0404, u"0404"},
               {0x0009, u"0009"},
               {0xFFFF, u"FFFF"}};
  for (const auto& c : cases) {
    locales.systemLanguage = c.id;
    EXPECT_EQ(lang->GetOSDefaultLang(), c.text) << c.id;
  }
}

TEST_F(VnLanguageTest, FindsTheFileBesideAnyProgramPath) {
  struct Case {
    std::u16string exe, file;
  } cases[] = {
      {u"D:\\quarnmon.exe", u"D:\\vn.local"},
      {u"C:\\a b\\c.d\\quarnmon.exe", u"C:\\a b\\c.d\\vn.local"},
  };
  for (const auto& c : cases) {
    MemoryFileStore store;
    store.AddFolder(quarn::FolderPart(c.file));
    store.files[quarn::testing::Fold(c.file)] = Bytes(ThreeLanguages());
    TvnLanguage lang(nullptr, quarn::LanguageServices{store, locales, c.exe}, context);
    EXPECT_EQ(lang.LanguageCount(), 3) << Narrow(c.exe);
  }
}

}  // namespace
