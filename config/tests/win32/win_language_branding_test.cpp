// The window's language and branding on Wine with the shipped language file,
// the system's locales and the install folder's artwork: each stored index
// gives its language, title, picture folder (whose product pictures exist)
// and box items, and the monitor is told.
#include <gtest/gtest.h>

#include "config_fixture.h"
#include "language_branding.h"
#include "win_file_store.h"
#include "win_locale_source.h"

namespace quarn::testing {
namespace {

std::u16string DistFolder() {
  std::u16string folder = u"Z:";
  for (const char* p = QUARN_DIST_DIR_PATH; *p; ++p)
    folder.push_back(*p == '/' ? u'\\' : static_cast<char16_t>(*p));
  return folder;
}

class NullBranding final : public BrandingView {
 public:
  void SetProfileButtonFontSize(int points) override { font = points; }
  void SetImageFolder(const std::u16string&) override {}
  void SetApplicationTitle(const std::u16string& t) override { title = t; }
  void RefreshButtonCaptions() override {}
  void ShowProductImage(std::u16string_view name) override { images.emplace_back(name); }
  int font = 0;
  std::u16string title;
  std::vector<std::u16string> images;
};

class WinLanguageBrandingTest : public ConfigFixture {};

TEST_F(WinLanguageBrandingTest, EachStoredLanguageWithTheShippedFileAndArtwork) {
  struct Row {
    std::int32_t stored;
    std::u16string lang, title;
    int font;
  } rows[] = {
      {0, u"0409", u"QUARN Mouse Config", 10},
      {1, u"0804", u"QUARN 鼠标设置", 11},
      {2, u"0404", u"QUARN 滑鼠設定", 11},
      {7, u"0409", u"QUARN Mouse Config", 10},
  };
  const std::u16string dist = DistFolder();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.stored);
    TALLGAMESINFO a{};
    RestoreAllSettingDefaults(a, 0x0409);
    a.CurrentLanguage = r.stored;
    memRegistry.Put(kHKeyCurrentUser, kKey, u"zykPROFILE.pfd", BytesOf(a));
    Start(/*create=*/false);
    WinFileStore files;
    WinLocaleSource locales;
    LanguageContext context;
    TvnLanguage language(nullptr, LanguageServices{files, locales, dist + u"\\quarncfg.exe"},
                         context);
    ASSERT_EQ(language.LanguageCount(), 3) << "the shipped vn.local";
    NullBranding view;
    LanguageBranding branding(LanguageBranding::Services{
        *dm, *controller, language, files, dist, monitor, view,
        [&context](std::u16string_view t) { return context.Translate(t); }});
    branding.AttachTo(*controller);
    log.Clear();
    controller->FormCreate();

    EXPECT_EQ(language.Lang(), r.lang);
    EXPECT_EQ(view.title, r.title);
    EXPECT_EQ(view.font, r.font);
    EXPECT_EQ(branding.ImageFolder(), dist + u"\\images\\" + r.lang);
    for (const auto& image : view.images)
      EXPECT_TRUE(files.FileExists(branding.ImageFolder() + u"\\" + image + u".png"))
          << Narrow(image);
    ASSERT_EQ(branding.Box.Items.size(), 3u);
    EXPECT_EQ(branding.Box.Items[0].substr(0, 7), u"English");
    EXPECT_EQ(branding.Box.Items[1].substr(0, 2), u"中文");
    EXPECT_EQ(branding.Box.Items[2].substr(0, 2), u"中文");
    const std::int32_t sent = r.stored < 3 ? r.stored : 0;
    EXPECT_EQ(log.With("monitor:send"),
              (std::vector<std::string>{"monitor:send 7037 " + std::to_string(sent) + " 0"}));
  }
}

}  // namespace
}  // namespace quarn::testing
