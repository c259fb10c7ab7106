// The image store over an in-memory file store and a decoder that counts its calls and
// reads a tiny made-up format: "WxH#AARRGGBB", or a word naming a failure.
#include "image_data_base.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "memory_stores.h"

namespace {

using quarn::TImageDataBase;
using quarn::ui::EmptyPicture;
using quarn::ui::Picture;
using quarn::ui::PictureRef;

class CountingDecoder : public quarn::ui::PictureDecoder {
 public:
  PictureRef Decode(const std::uint8_t* data, std::size_t size) override {
    ++calls;
    std::string s(reinterpret_cast<const char*>(data), size);
    if (s == "throw") throw std::runtime_error("decoder failure");
    if (s == "null") return nullptr;
    auto pic = std::make_shared<Picture>();
    unsigned color = 0;
    if (std::sscanf(s.c_str(), "%dx%d#%x", &pic->width, &pic->height, &color) != 3)
      return EmptyPicture();                     // damaged
    if (s.find("short") != std::string::npos) {  // claims a size its pixels do not have
      pic->pixels.assign(1, color);
      return pic;
    }
    if (pic->width > 0 && pic->height > 0 && pic->width <= 100000 && pic->height <= 100000)
      pic->pixels.assign(std::size_t(pic->width) * pic->height, color);
    return pic;
  }
  int calls = 0;
};

class CountingFileStore : public quarn::testing::MemoryFileStore {
 public:
  quarn::StoreStatus ReadWholeFile(std::u16string_view path,
                                   std::vector<std::uint8_t>& data) override {
    ++reads;
    lastRead = std::u16string(path);
    return MemoryFileStore::ReadWholeFile(path, data);
  }
  void PutText(std::u16string_view path, std::string_view text) {
    files[quarn::testing::Fold(path)] = std::vector<std::uint8_t>(text.begin(), text.end());
  }
  void Remove(std::u16string_view path) { files.erase(quarn::testing::Fold(path)); }
  int reads = 0;
  std::u16string lastRead;
};

const std::u16string kBase = u"C:\\QUARN\\images\\0409\\";
const std::u16string kStrip = u"OKCANCELAPPLY-N.png";

struct ImageStore : ::testing::Test {
  CountingFileStore files;
  CountingDecoder decoder;
  TImageDataBase store{files, decoder, kBase};
};

TEST_F(ImageStore, SecondRequestComesFromCacheEvenAfterTheFileIsGone) {
  files.PutText(kBase + kStrip, "290x45#ff102030");
  PictureRef first = store.IMAGE(kStrip);
  ASSERT_EQ(first->width, 290);
  EXPECT_EQ(first->At(10, 10), 0xff102030u);
  files.Remove(kBase + kStrip);
  PictureRef second = store.IMAGE(kStrip);
  EXPECT_EQ(second, first);
  EXPECT_EQ(files.reads, 1);
  EXPECT_EQ(decoder.calls, 1);
  ASSERT_EQ(store.Entries().size(), 1u);
  EXPECT_EQ(store.Entries()[0].ImageName, kStrip);
  EXPECT_EQ(store.Entries()[0].ImagePath, kBase + kStrip);
}

TEST_F(ImageStore, NamesDifferingInCaseAreTwoEntriesBothRead) {
  // The memory store finds both names in the one file, as Windows would.
  files.PutText(kBase + kStrip, "3x2#ff000001");
  auto upper = store.IMAGE(kStrip);
  auto lower = store.IMAGE(u"okcancelapply-n.png");
  EXPECT_FALSE(upper->Empty());
  EXPECT_FALSE(lower->Empty());
  EXPECT_NE(upper, lower);
  EXPECT_EQ(files.reads, 2);
  EXPECT_EQ(store.Entries().size(), 2u);
}

TEST_F(ImageStore, MissingFileIsEmptyNotCachedAndLoadedOnceItAppears) {
  EXPECT_EQ(store.IMAGE(kStrip), EmptyPicture());
  EXPECT_TRUE(store.Entries().empty());
  files.PutText(kBase + kStrip, "4x4#ff00ff00");
  EXPECT_EQ(store.IMAGE(kStrip)->width, 4);
  EXPECT_EQ(files.reads, 2);
  EXPECT_EQ(store.Entries().size(), 1u);
}

// Every kind of unusable file gives the shared empty picture, caches nothing and leaves
// the next request free to load the file once it is good.
TEST_F(ImageStore, UnusableFilesGiveTheEmptyPictureAndAreNotCached) {
  struct Case {
    const char* why;
    std::string bytes;
    bool oversized = false;
    bool unreadable = false;
  } cases[] = {
      {"decodes to zero width", "0x5#ff000000"},
      {"decodes to zero height", "5x0#ff000000"},
      {"damaged: the decoder gives nothing", "garbage"},
      {"the decoder throws", "throw"},
      {"the decoder returns no picture at all", "null"},
      {"pixels do not match the size", "8x8#ff000000 short"},
      {"larger than the side limit", "9000x1#ff000000"},
      {"empty file", ""},
      {"exists but cannot be read", "", false, true},
      {"larger than any stored file may be", "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    CountingFileStore files;
    CountingDecoder decoder;
    TImageDataBase store(files, decoder, kBase);
    auto key = quarn::testing::Fold(kBase + kStrip);
    if (c.unreadable)
      files.unreadable.insert(key);
    else if (c.oversized)
      files.files[key].assign(quarn::kMaxStoredBlobSize + 1, 'x');
    else
      files.PutText(kBase + kStrip, c.bytes);

    PictureRef picture;
    EXPECT_NO_THROW(picture = store.IMAGE(kStrip));
    EXPECT_EQ(picture, EmptyPicture());
    EXPECT_TRUE(store.Entries().empty());

    files.unreadable.clear();
    files.PutText(kBase + kStrip, "2x2#ff010203");
    EXPECT_EQ(store.IMAGE(kStrip)->width, 2);
    EXPECT_EQ(store.Entries().size(), 1u);
  }
}

TEST_F(ImageStore, ExplicitFolderIsReadAndTheEntryIsCachedUnderTheBareName) {
  const std::u16string other = u"D:\\art\\";
  files.PutText(other + kStrip, "7x3#ff445566");
  files.PutText(kBase + kStrip, "1x1#ff000000");
  auto picture = store.IMAGE(kStrip, other);
  EXPECT_EQ(files.lastRead, other + kStrip);
  EXPECT_EQ(picture->width, 7);
  ASSERT_EQ(store.Entries().size(), 1u);
  EXPECT_EQ(store.Entries()[0].ImageName, kStrip);
  EXPECT_EQ(store.Entries()[0].ImagePath, other + kStrip);
  EXPECT_EQ(store.IMAGE(kStrip), picture);  // base folder not consulted
  EXPECT_EQ(store.IMAGE(kStrip, u"E:\\elsewhere\\"), picture);
  EXPECT_EQ(files.reads, 1);
}

TEST_F(ImageStore, BaseFolderGetsOneBackslashAndEveryChangeEmptiesTheCache) {
  struct Case {
    std::u16string set, expect;
  } cases[] = {
      {u"C:\\QUARN\\images\\0804", u"C:\\QUARN\\images\\0804\\"},
      {u"C:\\QUARN\\images\\0804\\", u"C:\\QUARN\\images\\0804\\"},
      {u"0404", u"0404\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.set.begin(), c.set.end()));
    files.PutText(c.expect + kStrip, "2x2#ff000000");
    store.SetImageBasePath(c.set);
    EXPECT_EQ(store.ImageDBPath(), c.expect);
    store.IMAGE(kStrip);
    EXPECT_EQ(files.lastRead, c.expect + kStrip);
    ASSERT_EQ(store.Entries().size(), 1u);
    int before = files.reads;
    store.SetImageDBPath(c.set);  // the same folder again still empties the cache
    EXPECT_TRUE(store.Entries().empty());
    store.IMAGE(kStrip);
    EXPECT_EQ(files.reads, before + 1);
  }
  TImageDataBase made(files, decoder, u"C:\\x");
  EXPECT_EQ(made.ImageDBPath(), u"C:\\x\\");
}

TEST_F(ImageStore, EmptyBaseFolderGivesEmptyPicturesWithoutReading) {
  files.PutText(kStrip, "2x2#ff000000");  // a file "relative to the current folder"
  store.SetImageBasePath(u"");
  EXPECT_EQ(store.ImageDBPath(), u"");
  EXPECT_EQ(store.IMAGE(kStrip), EmptyPicture());
  TImageDataBase unset(files, decoder, u"");
  EXPECT_EQ(unset.IMAGE(kStrip), EmptyPicture());
  EXPECT_EQ(store.IMAGE(u""), EmptyPicture());  // no name: nothing to look for either
  EXPECT_EQ(files.reads, 0);
}

TEST_F(ImageStore, PictureKeptByTheCallerOutlivesTheCacheAndTheStore) {
  files.PutText(kBase + kStrip, "16x16#ff0a0b0c");
  PictureRef kept;
  {
    TImageDataBase shortLived(files, decoder, kBase);
    kept = shortLived.IMAGE(kStrip);
    shortLived.SetImageBasePath(u"C:\\elsewhere");
  }
  ASSERT_EQ(kept->width, 16);
  EXPECT_EQ(kept->At(15, 15), 0xff0a0b0cu);  // read under ASan after the store is gone
}

TEST(ImageStoreProgramFolder, BaseIsTheExecutablesFolderWithItsBackslash) {
  CountingFileStore files;
  CountingDecoder decoder;
  struct Case {
    std::u16string exe, base;
  } cases[] = {
      {u"C:\\Program Files\\QUARN\\quarncfg.exe", u"C:\\Program Files\\QUARN\\"},
      {u"\\\\server\\share\\quarncfg.exe", u"\\\\server\\share\\"},
      {u"quarncfg.exe", u""},
      {u"", u""},
  };
  for (const auto& c : cases) {
    auto store = TImageDataBase::ForExecutable(files, decoder, c.exe);
    EXPECT_EQ(store.ImageDBPath(), c.base);
  }
}

}  // namespace
