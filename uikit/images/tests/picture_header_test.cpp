// The header check every picture passes before it reaches a codec.
#include "picture_header.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics.h"
#include "stores.h"

namespace {

using quarn::ui::AcceptablePicture;
using quarn::ui::PictureHeader;
using quarn::ui::ReadPictureHeader;
using Bytes = std::vector<std::uint8_t>;
using Kind = PictureHeader::Kind;

void Put32(Bytes& b, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(std::uint8_t(v >> s));
}
void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(std::uint8_t(v >> 8));
  b.push_back(std::uint8_t(v));
}

// Signature and IHDR of a PNG of that size (plus a few bytes, as the rest of a file).
Bytes Png(std::uint32_t w, std::uint32_t h, const char* firstChunk = "IHDR") {
  Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Put32(b, 13);
  b.insert(b.end(), firstChunk, firstChunk + 4);
  Put32(b, w);
  Put32(b, h);
  b.insert(b.end(), {8, 6, 0, 0, 0, 1, 2, 3, 4});
  return b;
}

// A JPEG start, an application segment, then a frame header with the marker given.
Bytes Jpeg(std::uint32_t w, std::uint32_t h, std::uint8_t frame = 0xC0, bool fill = false) {
  Bytes b = {0xFF, 0xD8, 0xFF, 0xE0};
  Put16(b, 16);
  b.insert(b.end(), {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
  if (fill) b.insert(b.end(), {0xFF, 0xFF});
  b.insert(b.end(), {0xFF, frame});
  Put16(b, 17);
  b.push_back(8);
  Put16(b, h);
  Put16(b, w);
  b.insert(b.end(), {3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
  return b;
}

// Reads from a heap block of exactly `n` bytes, so ASan sees any read past the end.
PictureHeader ReadExact(const Bytes& b, std::size_t n) {
  std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[n ? n : 1]);
  std::copy(b.begin(), b.begin() + n, block.get());
  return ReadPictureHeader(block.get(), n);
}

TEST(PictureHeader, KindAndSizeOrRefusal) {
  Bytes dhtFirst = Jpeg(10, 10, 0xC4);  // a table segment where the frame would be: no frame
  Bytes scanFirst = Jpeg(10, 10, 0xDA);
  Bytes zeroLength = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0xFF, 0xC0};
  Bytes overrun = {0xFF, 0xD8, 0xFF, 0xE0, 0x7F, 0xFF, 1, 2, 3};
  Bytes noMarker = {0xFF, 0xD8, 0x12, 0x34, 0xFF, 0xC0};
  struct Case {
    const char* why;
    Bytes bytes;
    Kind kind;
    std::uint32_t w, h;
    bool acceptable;
  } cases[] = {
      {"PNG", Png(40, 30), Kind::Png, 40, 30, true},
      {"PNG at the side limit", Png(8192, 1), Kind::Png, 8192, 1, true},
      {"PNG one past the limit", Png(1, 8193), Kind::Png, 1, 8193, false},
      {"PNG with a huge header", Png(60000, 60000), Kind::Png, 60000, 60000, false},
      {"PNG with zero width", Png(0, 5), Kind::Png, 0, 5, false},
      {"PNG with a width that is negative as a signed number", Png(0x80000010u, 5), Kind::Png,
       0x80000010u, 5, false},
      {"PNG whose first chunk is not the header", Png(4, 4, "IDAT"), Kind::Unknown, 0, 0, false},
      {"baseline JPEG", Jpeg(640, 480), Kind::Jpeg, 640, 480, true},
      {"progressive JPEG", Jpeg(12, 34, 0xC2), Kind::Jpeg, 12, 34, true},
      {"JPEG with fill bytes before the frame", Jpeg(5, 6, 0xC0, true), Kind::Jpeg, 5, 6, true},
      {"JPEG larger than the limit", Jpeg(9000, 10), Kind::Jpeg, 9000, 10, false},
      {"JPEG without a frame before its tables end", dhtFirst, Kind::Unknown, 0, 0, false},
      {"JPEG scan before any frame", scanFirst, Kind::Unknown, 0, 0, false},
      {"JPEG segment of length zero", zeroLength, Kind::Unknown, 0, 0, false},
      {"JPEG segment running past the end", overrun, Kind::Unknown, 0, 0, false},
      {"JPEG bytes where a marker belongs", noMarker, Kind::Unknown, 0, 0, false},
      {"garbage", Bytes(100, 0x5A), Kind::Unknown, 0, 0, false},
      {"text", Bytes{'G', 'I', 'F', '8', '9', 'a'}, Kind::Unknown, 0, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    PictureHeader h = ReadExact(c.bytes, c.bytes.size());
    EXPECT_EQ(h.kind, c.kind);
    EXPECT_EQ(h.width, c.w);
    EXPECT_EQ(h.height, c.h);
    EXPECT_EQ(AcceptablePicture(c.bytes.data(), c.bytes.size()), c.acceptable);
  }
}

// Every cut of a good header is refused and never read past its end.
TEST(PictureHeader, EveryTruncationIsRefusedWithoutOverreading) {
  for (const Bytes& whole : {Png(40, 30), Jpeg(40, 30), Jpeg(40, 30, 0xC0, true)}) {
    std::size_t needed = whole[0] == 0x89 ? 29 : whole.size() - 10;  // up to the size fields
    for (std::size_t n = 0; n < needed; ++n) {
      SCOPED_TRACE(n);
      EXPECT_EQ(ReadExact(whole, n).kind, Kind::Unknown);
    }
    EXPECT_NE(ReadExact(whole, whole.size()).kind, Kind::Unknown);
  }
  EXPECT_EQ(ReadPictureHeader(nullptr, 10).kind, Kind::Unknown);
}

TEST(PictureHeader, MoreBytesThanAnyStoredFileAreRefused) {
  Bytes big = Png(10, 10);
  big.resize(quarn::kMaxStoredBlobSize + 1, 0);
  EXPECT_FALSE(AcceptablePicture(big.data(), big.size()));
  big.resize(quarn::kMaxStoredBlobSize);
  EXPECT_TRUE(AcceptablePicture(big.data(), big.size()));
}

}  // namespace
