// The window's language at start-up and its branding: the box, the stored
// index, the English override of config.ini, the picture folder, the title,
// and what the monitor is told, over a program folder in memory.
#include "language_branding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "config_fixture.h"
#include "language_fakes.h"
#include "language_file.h"
#include "window_messages.h"

namespace quarn::testing {
namespace {

using Strings = std::vector<std::string>;

const std::u16string kProgram = u"C:\\Program Files\\QUARN";
const std::u16string kExe = kProgram + u"\\quarncfg.exe";
const std::u16string kImages = kProgram + u"\\images\\";

class RecordingBranding final : public BrandingView {
 public:
  explicit RecordingBranding(EventLog& log) : log_(log) {}
  void SetProfileButtonFontSize(int points) override { log_.Add("font " + std::to_string(points)); }
  void SetImageFolder(const std::u16string& folder) override {
    log_.Add("images " + Narrow(folder.substr(folder.rfind(u'\\') + 1)));
    this->folder = folder;
  }
  void SetApplicationTitle(const std::u16string& t) override {
    log_.Add("title");
    title = t;
  }
  void RefreshButtonCaptions() override { log_.Add("captions"); }
  void ShowProductImage(std::u16string_view name) override { log_.Add("image " + Narrow(name)); }
  std::u16string folder, title;

 private:
  EventLog& log_;
};

LanguageBlock Block(std::u16string id, std::u16string title) {
  return LanguageBlock{std::move(id), {u"QUARN Mouse Config=" + std::move(title)}};
}

const LanguageBlock kEnglish = Block(u"0409", u"QUARN Mouse Config");
const LanguageBlock kSimplified = Block(u"0804", u"QUARN 鼠标设置");
const LanguageBlock kTraditional = Block(u"0404", u"QUARN 滑鼠設定");
const LanguageBlock kJapanese = Block(u"0411", u"QUARN マウス設定");

class LanguageBrandingTest : public ConfigFixture {
 public:
  LanguageBrandingTest() { memFiles.AddFolder(kProgram); }

  void StoreLanguageIndex(std::int32_t index) {
    TALLGAMESINFO a{};
    RestoreAllSettingDefaults(a, 0x0409);
    a.CurrentLanguage = index;
    memRegistry.Put(kHKeyCurrentUser, kKey, u"zykPROFILE.pfd", BytesOf(a));
  }
  void StoreLanguageFile(std::vector<LanguageBlock> languages) {
    LanguageFileContent content{{u"QUARN Mouse Config"}, std::move(languages)};
    memFiles.files[Fold(kProgram + u"\\vn.local")] = WriteLanguageFile(content).value();
  }
  void StoreConfigIni(const std::string& text) {
    memFiles.files[Fold(kProgram + u"\\config.ini")] =
        std::vector<std::uint8_t>(text.begin(), text.end());
  }
  std::optional<std::int32_t> StoredLanguageIndex() const {
    const auto v = StoredValue(u"zykPROFILE.pfd");
    if (v.size() < offsetof(TALLGAMESINFO, CurrentLanguage) + 4) return std::nullopt;
    std::int32_t i;
    std::memcpy(&i, v.data() + offsetof(TALLGAMESINFO, CurrentLanguage), 4);
    return i;
  }

  // Creates the window with the language component attached; the log keeps
  // only what the language and branding did.
  LanguageBranding& Create() {
    Start(/*create=*/false);
    language =
        std::make_unique<TvnLanguage>(nullptr, LanguageServices{memFiles, locales, kExe}, context);
    branding = std::make_unique<LanguageBranding>(LanguageBranding::Services{
        *dm, *controller, *language, checked.Files(), kProgram, monitor, view,
        [this](std::u16string_view t) { return context.Translate(t); }});
    branding->AttachTo(*controller);
    log.Clear();
    controller->FormCreate();
    return *branding;
  }

  FakeLocales locales;
  LanguageContext context;
  RecordingBranding view{log};
  std::unique_ptr<TvnLanguage> language;
  std::unique_ptr<LanguageBranding> branding;
};

struct StartRow {
  const char* why;
  std::int32_t storedIndex;
  const char* configIni;  // nullptr: no config.ini
  std::vector<LanguageBlock> file;
  bool fileMissing;
  std::vector<std::u16string> folders;  // language folders under images\ besides 0409
  // Expected:
  std::u16string lang;
  int item;
  std::string font, imageFolder;
  std::u16string title;
  std::int32_t storedAfter;
  Strings sent;
};

TEST_F(LanguageBrandingTest, StartUpLanguageTable) {
  const auto three = std::vector<LanguageBlock>{kEnglish, kSimplified, kTraditional};
  const StartRow rows[] = {
      {"stored Chinese",
       1,
       nullptr,
       three,
       false,
       {u"0804"},
       u"0804",
       1,
       "font 11",
       "images 0804",
       u"QUARN 鼠标设置",
       1,
       {"monitor:send 7037 1 0"}},
      {"stored Chinese without its pictures",
       1,
       nullptr,
       three,
       false,
       {},
       u"0804",
       1,
       "font 11",
       "images 0409",
       u"QUARN 鼠标设置",
       1,
       {"monitor:send 7037 1 0"}},
      {"English forced: the window only, the index stays and is sent",
       1,
       "[LanguageOptions]\r\nAllwaysEnglish=1\r\n",
       three,
       false,
       {u"0804"},
       u"0409",
       1,
       "font 10",
       "images 0409",
       u"QUARN Mouse Config",
       1,
       {"monitor:send 7037 1 0"}},
      {"English option other than 1 forces nothing",
       2,
       "[LanguageOptions]\r\nAllwaysEnglish=2\r\n",
       three,
       false,
       {u"0404"},
       u"0404",
       2,
       "font 11",
       "images 0404",
       u"QUARN 滑鼠設定",
       2,
       {"monitor:send 7037 2 0"}},
      {"index beyond the languages: the first item, stored",
       5,
       nullptr,
       three,
       false,
       {u"0804"},
       u"0409",
       0,
       "font 10",
       "images 0409",
       u"QUARN Mouse Config",
       0,
       {"monitor:send 7037 0 0"}},
      {"negative index: the first item, stored",
       -3,
       nullptr,
       three,
       false,
       {u"0804"},
       u"0409",
       0,
       "font 10",
       "images 0409",
       u"QUARN Mouse Config",
       0,
       {"monitor:send 7037 0 0"}},
      {"huge index",
       0x7FFFFFFF,
       nullptr,
       three,
       false,
       {},
       u"0409",
       0,
       "font 10",
       "images 0409",
       u"QUARN Mouse Config",
       0,
       {"monitor:send 7037 0 0"}},
      {"a fourth language keeps its index and its language",
       3,
       nullptr,
       {kEnglish, kSimplified, kTraditional, kJapanese},
       false,
       {u"0411"},
       u"0411",
       3,
       "font 11",
       "images 0411",
       u"QUARN マウス設定",
       3,
       {"monitor:send 7037 3 0"}},
      {"no language file: no item, nothing sent, English pictures",
       1,
       nullptr,
       {},
       true,
       {u"0804"},
       u"",
       -1,
       "font 10",
       "images 0409",
       u"QUARN Mouse Config",
       1,
       {}},
      {"language file without languages",
       2,
       nullptr,
       {},
       false,
       {u"0404"},
       u"",
       -1,
       "font 10",
       "images 0409",
       u"QUARN Mouse Config",
       2,
       {}},
  };
  for (const StartRow& r : rows) {
    SCOPED_TRACE(r.why);
    memFiles.files.clear();
    memFiles.folders.clear();
    for (auto f : {u"C:", u"C:\\Users", u"C:\\Users\\me", u"C:\\Users\\me\\Documents"})
      memFiles.AddFolder(f);
    memFiles.AddFolder(kProgram);
    memFiles.AddFolder(kImages + u"0409");
    for (const auto& f : r.folders) memFiles.AddFolder(kImages + f);
    if (!r.fileMissing) StoreLanguageFile(r.file);
    if (r.configIni) StoreConfigIni(r.configIni);
    StoreLanguageIndex(r.storedIndex);
    context.Deactivate();

    auto& b = Create();
    EXPECT_EQ(language->Lang(), r.lang);
    EXPECT_EQ(b.Box.ItemIndex, r.item);
    EXPECT_EQ(log.With("font").back(), r.font);
    EXPECT_EQ(log.With("images").back(), r.imageFolder);
    EXPECT_EQ(view.title, r.title);
    EXPECT_EQ(StoredLanguageIndex(), r.storedAfter);
    EXPECT_EQ(log.With("monitor:send"), r.sent);
    // The index is stored before the monitor is told to read it.
    if (!r.sent.empty()) {
      EXPECT_LT(log.IndexOf("reg:zykPROFILE.pfd"), log.IndexOf("monitor:send"));
    }
    // The last branding ends with the captions and the five product images.
    const auto all = log.Entries();
    const auto title = std::find(all.rbegin(), all.rend(), "title");
    ASSERT_NE(title, all.rend());
    const auto next = title.base();
    ASSERT_GE(all.end() - next, 6);
    EXPECT_EQ(Strings(next, next + 6),
              (Strings{"captions", "image ImageProductTitle", "image ImageProductSubTitle",
                       "image ImageCompnayLogo", "image ImageCopyRightText",
                       "image ImageSoftwareVersion"}));
    EXPECT_FALSE(controller->SettingsChanged) << "creation ends unchanged";
  }
}

TEST_F(LanguageBrandingTest, OneItemPerLanguageOfTheFileSoPositionsNeverShift) {
  // The system knows no 0404 and no 0411: their items show the ID.
  locales.locales = {{u"0409", u"English", true}, {u"0804", u"中文(简体)", true}};
  StoreLanguageFile({kEnglish, kTraditional, kSimplified, kJapanese});
  StoreLanguageIndex(1);
  auto& b = Create();
  EXPECT_EQ(b.Box.Items,
            (std::vector<std::u16string>{u"English", u"0404", u"中文(简体)", u"0411"}));
  EXPECT_EQ(b.Box.ItemIndex, 1);
  // The stored index is a position in the file, as the monitor reads it too:
  // the window ends in the file's second language.
  EXPECT_EQ(language->Lang(), u"0404");
  EXPECT_EQ(StoredLanguageIndex(), 1);
}

TEST_F(LanguageBrandingTest, ChoosingALanguageStoresItBrandsAndTellsTheMonitor) {
  memFiles.AddFolder(kImages + u"0409");
  memFiles.AddFolder(kImages + u"0404");
  StoreLanguageFile({kEnglish, kSimplified, kTraditional});
  StoreLanguageIndex(0);
  auto& b = Create();
  log.Clear();
  b.PopBoxLanguageChange(2);
  EXPECT_EQ(language->Lang(), u"0404");
  EXPECT_EQ(StoredLanguageIndex(), 2);
  EXPECT_EQ(view.title, u"QUARN 滑鼠設定");
  EXPECT_EQ(b.ImageFolder(), kImages + u"0404");
  EXPECT_TRUE(controller->SettingsChanged);
  EXPECT_EQ(log.With("monitor:send"), (Strings{"monitor:send 7037 2 0"}));

  // Positions the box does not have select nothing.
  log.Clear();
  for (int item : {-1, 3, 1000}) b.PopBoxLanguageChange(item);
  EXPECT_TRUE(log.Entries().empty());
  EXPECT_EQ(b.Box.ItemIndex, 2);

  // The monitor's language message brands again with what is stored.
  log.Clear();
  controller->WMLanguageChanged(0);
  EXPECT_EQ(language->Lang(), u"0404");
  EXPECT_EQ(log.With("title").size(), 1u);
  EXPECT_TRUE(log.With("monitor").empty());
  EXPECT_TRUE(log.With("reg").empty());

  // config.ini is read anew each time.
  StoreConfigIni("[LanguageOptions]\nAllwaysEnglish=1\n");
  controller->WMLanguageChanged(0);
  EXPECT_EQ(language->Lang(), u"0409");
  EXPECT_EQ(b.ImageFolder(), kImages + u"0409");
  EXPECT_EQ(StoredLanguageIndex(), 2);
}

TEST_F(LanguageBrandingTest, AHungMonitorDoesNotStopTheStart) {
  StoreLanguageFile({kEnglish, kSimplified});
  StoreLanguageIndex(1);
  monitor.running = false;  // the send times out
  Create();
  EXPECT_EQ(language->Lang(), u"0804");
  EXPECT_EQ(log.With("monitor:send").size(), 1u);
  EXPECT_EQ(log.With("monitor:start").size(), 1u) << "the creation went on to the end";
}

TEST(ProfileButtonFontSize, EnglishTenEveryOtherLanguageEleven) {
  EXPECT_EQ(ProfileButtonFontSize(u"0409"), 10);
  EXPECT_EQ(ProfileButtonFontSize(u""), 10);
  EXPECT_EQ(ProfileButtonFontSize(u"0804"), 11);
  EXPECT_EQ(ProfileButtonFontSize(u"0404"), 11);
  EXPECT_EQ(ProfileButtonFontSize(u"en"), 11);
}

}  // namespace
}  // namespace quarn::testing
