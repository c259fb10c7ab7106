// The vn.local codec: its exact layout, line splitting, round trips and the
// refusal of damaged files.
#include "language_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "stores.h"

namespace {

using quarn::LanguageBlock;
using quarn::LanguageFileContent;
using quarn::ReadLanguageFile;
using quarn::SplitLines;
using quarn::WriteLanguageFile;
using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::u16string>;

Bytes Write(const LanguageFileContent& c) {
  auto bytes = WriteLanguageFile(c);
  EXPECT_TRUE(bytes.has_value());
  return bytes.value_or(Bytes{});
}

std::optional<LanguageFileContent> Read(const Bytes& b) {
  return ReadLanguageFile(b.data(), b.size());
}

void ExpectSame(const LanguageFileContent& a, const LanguageFileContent& b) {
  EXPECT_EQ(a.originals, b.originals);
  ASSERT_EQ(a.languages.size(), b.languages.size());
  for (std::size_t i = 0; i < a.languages.size(); ++i) {
    EXPECT_EQ(a.languages[i].id, b.languages[i].id) << i;
    EXPECT_EQ(a.languages[i].lines, b.languages[i].lines) << i;
  }
}

// Builds hand-made (and damaged) files field by field.
struct FileBytes {
  Bytes b;
  FileBytes& U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
  }
  FileBytes& Units(std::u16string_view s) {
    for (char16_t c : s) {
      b.push_back(static_cast<std::uint8_t>(c));
      b.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return *this;
  }
  FileBytes& Text(std::u16string_view s) {
    return U32(static_cast<std::uint32_t>(s.size())).Units(s);
  }
  FileBytes& Byte(std::uint8_t v) {
    b.push_back(v);
    return *this;
  }
  // A file's first field: the originals "A".
  static FileBytes Originals() { return FileBytes().Text(u"A\r\n"); }
};

LanguageFileContent Sample() {
  return {
      {u"Apply", u"Cancel", u"Next Track"},
      {LanguageBlock{u"0409", {}}, LanguageBlock{u"0804", {u"Apply=应用", u"Next Track=下一曲"}},
       LanguageBlock{u"0404", {u"Apply=套用", u"Cancel=取消"}}}};
}

TEST(LanguageFile, WritesTheLayoutFieldAfterField) {
  LanguageFileContent c{{u"A", u"Bc"}, {LanguageBlock{u"0804", {u"A=甲"}}}};
  auto expected = FileBytes().Text(u"A\r\nBc\r\n").U32(1).Text(u"0804").Text(u"A=甲\r\n");
  EXPECT_EQ(Write(c), expected.b);
}

TEST(LanguageFile, RoundTrips) {
  struct Case {
    const char* why;
    LanguageFileContent content;
  } cases[] = {
      {"three languages, one with an empty table", Sample()},
      {"originals only: a language count of 0", {{u"Apply", u"Cancel"}, {}}},
      {"nothing at all", {}},
      {"duplicate IDs are kept in order",
       {{u"A"}, {LanguageBlock{u"0409", {u"A=1"}}, LanguageBlock{u"0409", {u"A=2"}}}}},
      {"lines keep their file order", {{u"b", u"a"}, {LanguageBlock{u"x", {u"b=2", u"a=1"}}}}},
      {"an empty line in the middle of a list", {{u"a", u"", u"b"}, {}}},
      {"text outside the basic plane", {{u"😀"}, {LanguageBlock{u"0804", {u"😀=笑"}}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    auto back = Read(Write(c.content));
    ASSERT_TRUE(back.has_value());
    ExpectSame(*back, c.content);
  }
}

TEST(LanguageFile, SplitsLinesAtEveryBreak) {
  struct Case {
    const char* why;
    std::u16string text;
    Lines lines;
  } cases[] = {
      {"empty text, no line", u"", {}},
      {"a final break gives no empty line", u"a\r\n", {u"a"}},
      {"no final break", u"a\r\nb", {u"a", u"b"}},
      {"CR LF is one break", u"a\r\nb\r\n", {u"a", u"b"}},
      {"LF alone", u"a\nb\n", {u"a", u"b"}},
      {"CR alone", u"a\rb", {u"a", u"b"}},
      {"LF CR is two breaks", u"a\n\rb", {u"a", u"", u"b"}},
      {"vertical tab and form feed", u"a\vb\fc", {u"a", u"b", u"c"}},
      {"line and paragraph separators", u"a\u2028b\u2029c", {u"a", u"b", u"c"}},
      {"a lone break is one empty line", u"\r\n", {u""}},
      {"empty lines in between stay", u"a\r\n\r\nb", {u"a", u"", u"b"}},
      {"next-line U+0085 is no break", u"a\u0085b", {u"a\u0085b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.why;
}

TEST(LanguageFile, ReadsAnyBreakAndTheWriterPutsCrLf) {
  auto file = FileBytes()
                  .Text(u"Apply\nCancel\rExit\u2028")
                  .U32(1)
                  .Text(u"0804")
                  .Text(u"Apply=应用\fExit=退出");
  auto c = Read(file.b);
  ASSERT_TRUE(c.has_value());
  EXPECT_EQ(c->originals, (Lines{u"Apply", u"Cancel", u"Exit"}));
  EXPECT_EQ(c->languages.at(0).lines, (Lines{u"Apply=应用", u"Exit=退出"}));

  auto expected = FileBytes()
                      .Text(u"Apply\r\nCancel\r\nExit\r\n")
                      .U32(1)
                      .Text(u"0804")
                      .Text(u"Apply=应用\r\nExit=退出\r\n");
  EXPECT_EQ(Write(*c), expected.b);
}

TEST(LanguageFile, EveryTruncationIsRefused) {
  Bytes whole = Write(Sample());
  ASSERT_TRUE(Read(whole).has_value());
  for (std::size_t n = 0; n < whole.size(); ++n)
    EXPECT_FALSE(ReadLanguageFile(whole.data(), n).has_value()) << "cut to " << n << " bytes";
}

TEST(LanguageFile, DamagedFilesAreRefused) {
  using F = FileBytes;
  struct Case {
    const char* why;
    FileBytes file;
  } cases[] = {
      {"negative originals length", F().U32(0xFFFFFFFFu).Units(u"A").U32(0)},
      {"originals length of 2^31", F().U32(0x80000000u).U32(0)},
      {"originals length one unit past the end", F().U32(4).Units(u"A\r\n").U32(0)},
      {"language count the bytes cannot hold", F::Originals().U32(0xFFFFFFFFu)},
      {"one block fewer than counted", F::Originals().U32(2).Text(u"0409").Text(u"")},
      {"negative ID length", F::Originals().U32(1).U32(0xFFFFFFFEu).Text(u"")},
      {"negative table length", F::Originals().U32(1).Text(u"0409").U32(0x80000001u).U32(0)},
      {"table length past the end", F::Originals().U32(1).Text(u"0409").U32(100).Units(u"A=B")},
      {"an odd byte after the last block", F::Originals().U32(0).Byte(0)},
      {"a whole block more than counted", F::Originals().U32(0).Text(u"0409").Text(u"")},
      {"no language count", F::Originals()},
      {"empty file", F()},
  };
  for (const auto& c : cases) EXPECT_FALSE(Read(c.file.b).has_value()) << c.why;
  EXPECT_TRUE(Read(F::Originals().U32(0).b).has_value()) << "the same file, undamaged";
}

TEST(LanguageFile, FilesOverTheSizeLimitAreRefusedByReaderAndWriter) {
  // A well-formed file two bytes over the limit: a single original filling it.
  std::size_t units = (quarn::kMaxStoredBlobSize - 8) / 2;
  FileBytes file;
  file.U32(static_cast<std::uint32_t>(units + 1));
  file.b.resize(4 + 2 * (units + 1), 0x41);
  file.U32(0);
  ASSERT_GT(file.b.size(), quarn::kMaxStoredBlobSize);
  EXPECT_FALSE(Read(file.b).has_value());

  LanguageFileContent big{{std::u16string(units, u'A')}, {}};  // with CR LF: 2 bytes too many
  EXPECT_FALSE(WriteLanguageFile(big).has_value());
  big.originals[0].resize(units - 2);  // exactly at the limit
  auto bytes = WriteLanguageFile(big);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(bytes->size(), quarn::kMaxStoredBlobSize);
  EXPECT_TRUE(Read(*bytes).has_value());
}

}  // namespace
