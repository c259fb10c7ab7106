// The GDI+ picture decoder and the image store over the real file system: PNG kinds,
// damaged and hostile files, pixel values, and files left unlocked after loading.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gdiplus_include.h"
#include "gdiplus_picture_decoder.h"
#include "image_data_base.h"
#include "offscreen.h"
#include "png_builder.h"
#include "wide.h"
#include "win_file_store.h"

namespace {

using quarn::testing::BuildPng;
using quarn::testing::PngSpec;
using quarn::ui::EmptyPicture;
using quarn::ui::Picture;
using quarn::ui::PictureRef;
using Bytes = std::vector<std::uint8_t>;

std::u16string TempFolder() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetTempPathW(MAX_PATH, buf);
  std::u16string dir = quarn::FromWide(std::wstring_view(buf, n)) + u"quarn-picture-test";
  CreateDirectoryW(quarn::ToWide(dir).c_str(), nullptr);
  return dir + u"\\";
}

PictureRef Decode(const Bytes& b) {
  quarn::ui::GdiplusPictureDecoder decoder;
  return decoder.Decode(b.data(), b.size());
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (int s = 0; s < 32; s += 8)
    if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > tolerance) return false;
  return true;
}

// A 40x30 picture: red left half, blue right half, one green pixel at (5, 7).
Picture Known() {
  Picture p;
  p.width = 40;
  p.height = 30;
  p.pixels.resize(40 * 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) p.pixels[y * 40 + x] = x < 20 ? 0xFFFF0000u : 0xFF0000FFu;
  p.pixels[7 * 40 + 5] = 0xFF00FF00u;
  return p;
}

Bytes ReadAll(const std::u16string& path) {
  quarn::WinFileStore files;
  Bytes b;
  files.ReadWholeFile(path, b);
  return b;
}

// Every PNG kind, with the pixel (0,0) and the last pixel expected, premultiplied.
TEST(GdiplusPictureDecoder, DecodesEveryPngKindToPremultipliedPixels) {
  auto rgb = [](int x, int y) {
    return std::vector<std::uint16_t>{std::uint16_t(x * 20), std::uint16_t(y * 20), 200};
  };
  struct Case {
    const char* why;
    PngSpec spec;
    std::uint32_t first, last;
  } cases[] = {
      {"RGBA, half-transparent corner",
       {5,
        4,
        6,
        8,
        false,
        {},
        [](int x, int y) {
          return std::vector<std::uint16_t>{200, 100, 50, std::uint16_t(x + y == 0 ? 128 : 255)};
        }},
       0x80643219u,
       0xFFC86432u},
      {"RGB", {5, 4, 2, 8, false, {}, rgb}, 0xFF0000C8u, 0xFF503CC8u},
      {"RGB interlaced", {9, 9, 2, 8, true, {}, rgb}, 0xFF0000C8u, 0xFFA0A0C8u},
      {"palette",
       {4,
        3,
        3,
        8,
        false,
        {0xFF112233u, 0xFFAABBCCu},
        [](int x, int) { return std::vector<std::uint16_t>{std::uint16_t(x & 1)}; }},
       0xFF112233u,
       0xFFAABBCCu},
      {"palette with a transparent entry",
       {4,
        3,
        3,
        2,
        false,
        {0x00FFFFFFu, 0xFF336699u},
        [](int x, int) { return std::vector<std::uint16_t>{std::uint16_t(x == 0 ? 0 : 1)}; }},
       0x00000000u,
       0xFF336699u},
      {"grey",
       {3,
        3,
        0,
        8,
        false,
        {},
        [](int x, int) { return std::vector<std::uint16_t>{std::uint16_t(x * 100)}; }},
       0xFF000000u,
       0xFFC8C8C8u},
      {"grey 16-bit",
       {3,
        2,
        0,
        16,
        false,
        {},
        [](int x, int) { return std::vector<std::uint16_t>{std::uint16_t(x ? 0xFFFF : 0x8080)}; }},
       0xFF808080u,
       0xFFFFFFFFu},
      {"RGBA 16-bit",
       {2,
        2,
        6,
        16,
        false,
        {},
        [](int, int) {
          return std::vector<std::uint16_t>{0xFFFF, 0x0000, 0x0000, 0xFFFF};
        }},
       0xFFFF0000u,
       0xFFFF0000u},
      {"one by one",
       {1,
        1,
        2,
        8,
        false,
        {},
        [](int, int) {
          return std::vector<std::uint16_t>{1, 2, 3};
        }},
       0xFF010203u,
       0xFF010203u},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    PictureRef p = Decode(BuildPng(c.spec));
    ASSERT_EQ(p->width, c.spec.width);
    ASSERT_EQ(p->height, c.spec.height);
    EXPECT_TRUE(Near(p->At(0, 0), c.first, 2)) << std::hex << p->At(0, 0);
    EXPECT_TRUE(Near(p->At(p->width - 1, p->height - 1), c.last, 2))
        << std::hex << p->At(p->width - 1, p->height - 1);
  }
}

TEST(GdiplusPictureDecoder, DamagedForeignAndHugeFilesAreEmpty) {
  Bytes good = BuildPng({16, 16, 2, 8, false, {}, [](int, int) {
                           return std::vector<std::uint16_t>{9, 9, 9};
                         }});
  Bytes truncated(good.begin(), good.begin() + good.size() / 2);
  Bytes headerOnly(good.begin(), good.begin() + 33);
  Bytes corruptData = good;
  for (std::size_t i = 45; i < corruptData.size() - 20; ++i) corruptData[i] ^= 0x5A;
  // A valid header announcing 60000 x 60000 with a few bytes of data behind it.
  Bytes huge = BuildPng({1, 1, 2, 8, false, {}, [](int, int) {
                           return std::vector<std::uint16_t>{0, 0, 0};
                         }});
  huge[16] = 0, huge[17] = 0, huge[18] = 0xEA, huge[19] = 0x60;
  huge[20] = 0, huge[21] = 0, huge[22] = 0xEA, huge[23] = 0x60;
  Bytes justOverLimit = huge;
  justOverLimit[18] = 0x20, justOverLimit[19] = 0x01;  // 8193 wide, 1 high
  justOverLimit[22] = 0, justOverLimit[23] = 1;
  Bytes garbage(4096);
  for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = std::uint8_t(i * 131 + 7);
  Bytes jpegStartOnly = {0xFF, 0xD8, 0xFF, 0xC0, 0, 17, 8, 0, 10, 0, 10};

  struct Case {
    const char* why;
    Bytes bytes;
  } cases[] = {
      {"cut in half", truncated},
      {"header only", headerOnly},
      {"scrambled data", corruptData},
      {"60000 x 60000 header", huge},
      {"8193 wide", justOverLimit},
      {"garbage", garbage},
      {"JPEG cut after its frame", jpegStartOnly},
      {"nothing", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(Decode(c.bytes), EmptyPicture());
  }
  quarn::ui::GdiplusPictureDecoder decoder;
  EXPECT_EQ(decoder.Decode(nullptr, 100), EmptyPicture());
  EXPECT_FALSE(Decode(good)->Empty());  // the same decoder still works afterwards
}

TEST(GdiplusPictureDecoder, GdiplusWrittenPngAndJpegComeBack) {
  auto folder = TempFolder();
  Picture known = Known();
  ASSERT_TRUE(quarn::ui::SavePng(known, folder + u"known.png"));
  PictureRef p = Decode(ReadAll(folder + u"known.png"));
  ASSERT_EQ(p->width, 40);
  ASSERT_EQ(p->height, 30);
  EXPECT_EQ(p->pixels, known.pixels);
  EXPECT_FALSE(quarn::ui::SavePng(Picture{}, folder + u"empty.png"));
  EXPECT_EQ(GetFileAttributesW(quarn::ToWide(folder + u"empty.png").c_str()),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(quarn::ui::SavePng(known, folder + u"no such folder\\x.png"));
  DeleteFileW(quarn::ToWide(folder + u"known.png").c_str());
}

struct ImageStoreOnDisk : ::testing::Test {
  void SetUp() override {
    folder = TempFolder() + u"0409";
    CreateDirectoryW(quarn::ToWide(folder).c_str(), nullptr);
  }
  void Put(const std::u16string& name, const Bytes& bytes) {
    ASSERT_TRUE(files.WriteWholeFile(folder + u"\\" + name, bytes.data(), bytes.size()));
  }
  bool Delete(const std::u16string& name) {
    return DeleteFileW(quarn::ToWide(folder + u"\\" + name).c_str()) != 0;
  }
  std::u16string folder;
  quarn::WinFileStore files;
  quarn::ui::GdiplusPictureDecoder decoder;
};

TEST_F(ImageStoreOnDisk, LoadsExactPixelsAndLeavesTheFileFreeToDelete) {
  Picture known = Known();
  ASSERT_TRUE(quarn::ui::SavePng(known, folder + u"\\OKCANCELAPPLY-N.png"));
  quarn::TImageDataBase store(files, decoder, folder);
  PictureRef first = store.IMAGE(u"OKCANCELAPPLY-N.png");
  ASSERT_EQ(first->width, 40);
  ASSERT_EQ(first->height, 30);
  EXPECT_EQ(first->At(5, 7), 0xFF00FF00u);
  EXPECT_EQ(first->At(30, 20), 0xFF0000FFu);
  EXPECT_EQ(first->pixels, known.pixels);

  EXPECT_TRUE(Delete(u"OKCANCELAPPLY-N.png")) << "error " << GetLastError();
  EXPECT_EQ(store.IMAGE(u"OKCANCELAPPLY-N.png"), first);
  store.SetImageBasePath(folder);
  EXPECT_EQ(store.IMAGE(u"OKCANCELAPPLY-N.png"), EmptyPicture());
  EXPECT_EQ(first->At(5, 7), 0xFF00FF00u);  // still ours after the cache let go
}

TEST_F(ImageStoreOnDisk, DamagedFilesAreEmptyAndThenLoadOnceRepaired) {
  Bytes good = BuildPng({8, 8, 2, 8, false, {}, [](int, int) {
                           return std::vector<std::uint16_t>{10, 20, 30};
                         }});
  Bytes truncated(good.begin(), good.begin() + good.size() - 30);
  Bytes huge = good;
  huge[18] = 0xEA, huge[19] = 0x60, huge[22] = 0xEA, huge[23] = 0x60;
  Bytes garbage(300, 0xAB);
  quarn::TImageDataBase store(files, decoder, folder);
  struct Case {
    const char16_t* name;
    Bytes bytes;
  } cases[] = {
      {u"BTNCANCEL-D.png", truncated}, {u"BTNOK-D.png", garbage}, {u"BTNAPPLY-D.png", huge}};
  for (const auto& c : cases) {
    Put(c.name, c.bytes);
    EXPECT_EQ(store.IMAGE(c.name), EmptyPicture());
  }
  EXPECT_TRUE(store.Entries().empty());
  EXPECT_EQ(store.IMAGE(u"ImageProductTitle.png"), EmptyPicture());  // missing
  for (const auto& c : cases) {
    Put(c.name, good);
    EXPECT_EQ(store.IMAGE(c.name)->At(7, 7), 0xFF0A141Eu);
    EXPECT_TRUE(Delete(c.name));
  }
  EXPECT_EQ(store.Entries().size(), 3u);
}

}  // namespace

namespace {

// The artwork the build renders into the install folder, read the way the configuration
// window reads it: through the image store, one language folder at a time.
TEST(ShippedArtwork, EveryPictureLoadsWithItsLanguagesOwnColour) {
  const std::u16string images = QUARN_TEST_IMAGES_DIR;
  const char16_t* names[] = {u"OKCANCELAPPLY-N.png",       u"OKCANCELAPPLY-O.png",
                             u"BTNOK-D.png",               u"BTNCANCEL-D.png",
                             u"BTNAPPLY-D.png",            u"ImageProductTitle.png",
                             u"ImageProductSubTitle.png", u"ImageCompnayLogo.png",
                             u"ImageCopyRightText.png",    u"ImageSoftwareVersion.png"};
  struct Language {
    const char16_t* id;
    std::uint32_t base;
  } languages[] = {{u"0409", 0x143C8C}, {u"0804", 0x8C141E}, {u"0404", 0x147838}};
  quarn::WinFileStore files;
  quarn::ui::GdiplusPictureDecoder decoder;
  quarn::TImageDataBase store(files, decoder, images);
  for (const auto& language : languages) {
    store.SetImageBasePath(images + u"\\" + language.id);
    for (int i = 0; i < 10; ++i) {
      SCOPED_TRACE(std::string(names[i], names[i] + std::char_traits<char16_t>::length(names[i])));
      PictureRef p = store.IMAGE(names[i]);
      ASSERT_FALSE(p->Empty());
      if (i < 5) {
        EXPECT_EQ(p->width, 290);
        EXPECT_EQ(p->height, 45);
      }
      std::uint32_t g = (((language.base >> 8) & 0xFF) + 12 * i) % 256;
      std::uint32_t expected = 0xFF000000u | (language.base & 0xFF00FF) | (g << 8);
      EXPECT_TRUE(Near(p->At(2, 2), expected, 1)) << std::hex << p->At(2, 2);
    }
  }
  store.SetImageBasePath(images);
  EXPECT_EQ(store.IMAGE(u"button-assign-page-clear9.png")->At(2, 2), 0xFF202830u);
}

}  // namespace
