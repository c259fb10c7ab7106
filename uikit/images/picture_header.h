// What a picture file claims to be before anyone decodes it: its kind and its size, read
// from the PNG header chunk or the JPEG frame header. Decoders check this first, so a cut,
// foreign or absurdly large file is refused without handing it to a codec.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quarn::ui {

struct PictureHeader {
  enum class Kind { Unknown, Png, Jpeg };
  Kind kind = Kind::Unknown;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

// Unknown when the bytes are neither kind or end before the size is given.
PictureHeader ReadPictureHeader(const std::uint8_t* data, std::size_t size);

// A known kind, both sides 1..kMaxPictureSide, and no more bytes than any stored file may
// have.
bool AcceptablePicture(const std::uint8_t* data, std::size_t size);

}  // namespace quarn::ui
