// Painting without a window: a scene drawn into a memory surface and handed back as a
// picture (for tests and tools), and a picture saved as a PNG file.
#pragma once

#include <functional>
#include <string>

#include "graphics.h"

namespace quarn::ui {

// Paints `paint` on a GdiplusCanvas over a memory DC holding a 32-bit DIB of that size,
// which starts black. The result is opaque. Empty when the size is not 1..kMaxPictureSide
// or no GDI+ session runs.
PictureRef RenderToPicture(int width, int height, const std::function<void(Canvas&)>& paint);

// Writes `picture` as a PNG through GDI+'s encoder, replacing `path` only once the file is
// complete. False on any failure (nothing left at `path` then, unless it was there before).
bool SavePng(const Picture& picture, const std::u16string& path);

}  // namespace quarn::ui
