// The host tool's reading of the readable language sources.
#include <gtest/gtest.h>

#include <map>

#include "lang_sources.h"

namespace {

using quarn::langtool::BuildLanguageFile;
using quarn::langtool::Utf8ToUtf16;
using Files = std::map<std::string, std::string>;

std::optional<quarn::LanguageFileContent> Build(const Files& files,
                                                std::vector<std::string>& errors) {
  return BuildLanguageFile(
      [&files](const std::string& name) -> std::optional<std::string> {
        auto it = files.find(name);
        if (it == files.end()) return std::nullopt;
        return it->second;
      },
      errors);
}

Files Valid() {
  return {
      {"languages.txt", "# order matters\r\n0409 en.txt partial\n0804\tcn.txt complete\n"},
      {"originals.txt", "\xEF\xBB\xBF# texts\nApply\r\n\nNext Track\nAt least one \"Click\".\n"},
      {"en.txt", "Apply=Apply now\n"},
      {"cn.txt", "Apply=应用\nNext Track=下一曲\nAt least one \"Click\".=至少一个“单击”。\n"},
  };
}

TEST(LangSources, BuildsTheFileContentInSourceOrder) {
  std::vector<std::string> errors;
  auto content = Build(Valid(), errors);
  ASSERT_TRUE(content.has_value()) << (errors.empty() ? "" : errors[0]);
  EXPECT_EQ(content->originals,
            (std::vector<std::u16string>{u"Apply", u"Next Track", u"At least one \"Click\"."}));
  ASSERT_EQ(content->languages.size(), 2u);
  EXPECT_EQ(content->languages[0].id, u"0409");
  EXPECT_EQ(content->languages[0].lines, (std::vector<std::u16string>{u"Apply=Apply now"}));
  EXPECT_EQ(content->languages[1].id, u"0804");
  EXPECT_EQ(content->languages[1].lines.size(), 3u);
}

TEST(LangSources, FaultsStopTheBuildWithTheirPlace) {
  struct Case {
    const char* why;
    std::string file, text;
    std::string message;  // part of the first error
  } cases[] = {
      {"an original holding =", "originals.txt", "Apply\nA=B\n",
       "originals.txt:2: an original holding"},
      {"an original listed twice", "originals.txt", "Apply\nApply\n",
       "originals.txt:2: listed twice"},
      {"invalid UTF-8", "originals.txt", "Apply\n\xC3\x28\n", "originals.txt:2: not valid UTF-8"},
      {"a vertical tab", "originals.txt", "Apply\vNow\n", "originals.txt:1: holds a line break"},
      {"a CR inside a line", "originals.txt", "Apply\rNow\n",
       "originals.txt:1: holds a line break"},
      {"a line separator", "cn.txt", "Apply=应\u2028用\n", "cn.txt:1: holds a line break"},
      {"a table line without =", "en.txt", "Apply\n", "en.txt:1: expected"},
      {"a table line with an empty key", "en.txt", "=Apply\n", "en.txt:1: expected"},
      {"a key that is no original", "en.txt", "Aply=Apply\n",
       "en.txt:1: \"Aply\" is not in originals"},
      {"an empty translation", "en.txt", "Apply=\n", "en.txt:1: empty translation"},
      {"a key translated twice", "en.txt", "Apply=A\nApply=B\n",
       "en.txt:2: \"Apply\" translated twice"},
      {"a complete language lacking a text", "cn.txt", "Apply=应用\nNext Track=下一曲\n",
       "cn.txt: no translation of \"At least one"},
      {"a malformed language line", "languages.txt", "0409 en.txt\n", "languages.txt:1: expected"},
      {"a coverage word", "languages.txt", "0409 en.txt full\n", "languages.txt:1: expected"},
      {"an ID listed twice, letter case aside", "languages.txt",
       "0c04 en.txt partial\n0C04 en.txt partial\n", "languages.txt:2: language 0C04 listed twice"},
      {"a table file that cannot be read", "languages.txt", "0409 none.txt partial\n",
       "none.txt: cannot be read"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    Files files = Valid();
    files[c.file] = c.text;
    std::vector<std::string> errors;
    EXPECT_FALSE(Build(files, errors).has_value());
    ASSERT_FALSE(errors.empty());
    EXPECT_NE(errors[0].find(c.message), std::string::npos) << errors[0];
  }
}

TEST(LangSources, MissingOriginalsOrManifestStopTheBuild) {
  for (const char* name : {"originals.txt", "languages.txt"}) {
    Files files = Valid();
    files.erase(name);
    std::vector<std::string> errors;
    EXPECT_FALSE(Build(files, errors).has_value()) << name;
  }
}

TEST(LangSources, StrictUtf8) {
  struct Case {
    const char* why;
    std::string bytes;
    std::optional<std::u16string> text;
  } cases[] = {
      {"ASCII", "Apply", u"Apply"},
      {"two, three and four bytes", "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", u"é中😀"},
      {"overlong slash", "\xC0\xAF", std::nullopt},
      {"overlong three bytes", "\xE0\x80\xAF", std::nullopt},
      {"encoded surrogate", "\xED\xA0\x80", std::nullopt},
      {"past U+10FFFF", "\xF4\x90\x80\x80", std::nullopt},
      {"cut short", "\xE4\xB8", std::nullopt},
      {"stray continuation byte", "\x80", std::nullopt},
      {"five-byte lead", "\xF8\x88\x80\x80\x80", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.bytes), c.text) << c.why;
  EXPECT_EQ(quarn::langtool::Utf16ToUtf8(u"é中😀"), "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
}

}  // namespace
