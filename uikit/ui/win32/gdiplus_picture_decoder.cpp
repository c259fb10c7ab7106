#include "gdiplus_picture_decoder.h"

#include <shlwapi.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "gdiplus_include.h"
#include "gdiplus_session.h"
#include "picture_header.h"

namespace quarn::ui {

namespace {

struct StreamRelease {
  void operator()(IStream* s) const { s->Release(); }
};

}  // namespace

PictureRef GdiplusPictureDecoder::Decode(const std::uint8_t* data, std::size_t size) {
  if (!GdiplusSession::Current() || !AcceptablePicture(data, size)) return EmptyPicture();
  try {
    std::unique_ptr<IStream, StreamRelease> stream(SHCreateMemStream(data, UINT(size)));
    if (!stream) return EmptyPicture();
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream.get()));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return EmptyPicture();
    UINT w = bitmap->GetWidth(), h = bitmap->GetHeight();
    if (w < 1 || h < 1 || w > UINT(kMaxPictureSide) || h > UINT(kMaxPictureSide))
      return EmptyPicture();

    auto picture = std::make_shared<Picture>();
    picture->width = int(w);
    picture->height = int(h);
    picture->pixels.resize(std::size_t(w) * h);
    Gdiplus::BitmapData locked{};
    Gdiplus::Rect all(0, 0, INT(w), INT(h));
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &locked) !=
        Gdiplus::Ok)
      return EmptyPicture();
    bool whole = locked.Scan0 && locked.Width == w && locked.Height == h &&
                 std::abs(locked.Stride) >= INT(w * 4);
    if (whole) {
      for (UINT y = 0; y < h; ++y)
        std::memcpy(
            &picture->pixels[std::size_t(y) * w],
            static_cast<const std::uint8_t*>(locked.Scan0) + std::ptrdiff_t(y) * locked.Stride,
            std::size_t(w) * 4);
    }
    bitmap->UnlockBits(&locked);
    if (!whole) return EmptyPicture();
    return picture;
  } catch (const std::bad_alloc&) {
    return EmptyPicture();
  }
}

}  // namespace quarn::ui
