#include "picture_header.h"

#include <cstring>

#include "graphics.h"
#include "stores.h"

namespace quarn::ui {

namespace {

std::uint32_t Be32(const std::uint8_t* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
         p[3];
}
std::uint32_t Be16(const std::uint8_t* p) {
  return (std::uint32_t(p[0]) << 8) | p[1];
}

PictureHeader ReadPng(const std::uint8_t* data, std::size_t size) {
  // Signature, then the first chunk must be IHDR: length 13, type, width, height.
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (size < 8 + 8 + 13 || std::memcmp(data, kSignature, 8) != 0) return {};
  if (Be32(data + 8) != 13 || std::memcmp(data + 12, "IHDR", 4) != 0) return {};
  return {PictureHeader::Kind::Png, Be32(data + 16), Be32(data + 20)};
}

bool IsFrameMarker(std::uint8_t m) {
  // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC).
  return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

PictureHeader ReadJpeg(const std::uint8_t* data, std::size_t size) {
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return {};
  std::size_t i = 2;
  while (i + 1 < size) {
    if (data[i] != 0xFF) return {};  // not at a marker: damaged
    std::uint8_t marker = data[i + 1];
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    i += 2;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    if (marker == 0xD9 || marker == 0xDA) return {};  // image or scan data before any frame
    if (i + 2 > size) return {};
    std::uint32_t length = Be16(data + i);
    if (length < 2 || i + length > size) return {};
    if (IsFrameMarker(marker)) {
      if (length < 7) return {};
      // precision (1), height (2), width (2)
      return {PictureHeader::Kind::Jpeg, Be16(data + i + 5), Be16(data + i + 3)};
    }
    i += length;
  }
  return {};
}

}  // namespace

PictureHeader ReadPictureHeader(const std::uint8_t* data, std::size_t size) {
  if (!data || size == 0) return {};
  if (data[0] == 0x89) return ReadPng(data, size);
  if (data[0] == 0xFF) return ReadJpeg(data, size);
  return {};
}

bool AcceptablePicture(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxStoredBlobSize) return false;
  PictureHeader h = ReadPictureHeader(data, size);
  return h.kind != PictureHeader::Kind::Unknown && h.width >= 1 && h.height >= 1 &&
         h.width <= std::uint32_t(kMaxPictureSide) && h.height <= std::uint32_t(kMaxPictureSide);
}

}  // namespace quarn::ui
