// The language file the build ships: read with the same reader the programs
// use, it holds the three languages at the positions both programs rely on and
// translates every text.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "language_file.h"
#include "translation_table.h"
#include "vn_language.h"

namespace {

// The build writes vn.local into the install folder and copies it beside the
// tests; under Windows the test runs in its own folder, where Wine finds it.
#ifdef _WIN32
const char* const kPath = "vn.local";
#else
const char* const kPath = QUARN_VN_LOCAL_PATH;
#endif

quarn::LanguageFileContent Shipped() {
  std::ifstream in(kPath, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  EXPECT_FALSE(bytes.empty()) << kPath;
  auto content = quarn::ReadLanguageFile(bytes.data(), bytes.size());
  EXPECT_TRUE(content.has_value());
  return content.value_or(quarn::LanguageFileContent{});
}

TEST(ShippedLanguageFile, HoldsEnglishSimplifiedAndTraditionalChineseFirst) {
  auto file = Shipped();
  ASSERT_EQ(file.languages.size(), 3u);
  EXPECT_EQ(file.languages[0].id, u"0409");
  EXPECT_EQ(file.languages[1].id, u"0804");
  EXPECT_EQ(file.languages[2].id, u"0404");
}

TEST(ShippedLanguageFile, TranslatesTextsOfEveryKind) {
  auto file = Shipped();
  ASSERT_EQ(file.languages.size(), 3u);
  quarn::TranslationTable english(file.languages[0].lines);
  quarn::TranslationTable simplified(file.languages[1].lines);
  quarn::TranslationTable traditional(file.languages[2].lines);
  struct Case {
    std::u16string original, en, zhCN, zhTW;
  } cases[] = {
      {u"Click", u"Click", u"左键单击", u"左鍵點擊"},
      {u"Next Track", u"Next Track", u"下一曲", u"下一首"},
      {u"QUARN Mouse Monitor", u"QUARN Mouse Monitor", u"QUARN 鼠标监控", u"QUARN 滑鼠監控"},
      {u"Switch to next profile", u"Switch to next profile", u"切换到下一个配置文件",
       u"切換到下一個設定檔"},
      {u"At least one \"Click\" function to be retained.",
       u"At least one \"Click\" function to be retained.", u"至少需要保留一个“左键单击”功能。",
       u"至少需要保留一個「左鍵點擊」功能。"},
      {u"WEEK BRIGHTNESS", u"WEEK BRIGHTNESS", u"低亮度", u"低亮度"},  // English as designed
  };
  for (const auto& c : cases) {
    EXPECT_EQ(english.Translate(c.original), c.en);
    EXPECT_EQ(simplified.Translate(c.original), c.zhCN);
    EXPECT_EQ(traditional.Translate(c.original), c.zhTW);
  }
}

TEST(ShippedLanguageFile, BothChineseTablesTranslateEveryOriginal) {
  auto file = Shipped();
  ASSERT_EQ(file.languages.size(), 3u);
  EXPECT_GT(file.originals.size(), 100u);
  std::vector<std::u16string> originals = file.originals;
  for (auto text : TranslateConstTexts) originals.emplace_back(text);
  for (std::size_t l = 1; l < 3; ++l) {
    quarn::TranslationTable table(file.languages[l].lines);
    for (const auto& original : originals) {
      auto translation = table.Find(original);
      EXPECT_TRUE(translation && !translation->empty())
          << "language " << l << " lacks an original of " << original.size() << " units";
    }
  }
}

}  // namespace
