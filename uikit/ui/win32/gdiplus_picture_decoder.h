// The picture decoder over GDI+: PNG and JPEG bytes held in memory become our own
// premultiplied pixels, and no GDI+ object or file handle is kept afterwards.
#pragma once

#include "graphics.h"

namespace quarn::ui {

class GdiplusPictureDecoder final : public PictureDecoder {
 public:
  // The header is checked first (kind, 1..kMaxPictureSide, stored-file size limit); any
  // failure gives the empty picture. Needs a running GDI+ session.
  PictureRef Decode(const std::uint8_t* data, std::size_t size) override;
};

}  // namespace quarn::ui
