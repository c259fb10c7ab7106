#include "offscreen.h"

#include <cstring>
#include <vector>

#include "gdiplus_canvas.h"
#include "gdiplus_include.h"
#include "gdiplus_session.h"
#include "wide.h"

namespace quarn::ui {

PictureRef RenderToPicture(int width, int height, const std::function<void(Canvas&)>& paint) {
  if (!GdiplusSession::Current() || width < 1 || height < 1 || width > kMaxPictureSide ||
      height > kMaxPictureSide)
    return EmptyPicture();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (!dc) return EmptyPicture();

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib || !bits) {
    if (dib) DeleteObject(dib);
    DeleteDC(dc);
    return EmptyPicture();
  }
  HGDIOBJ old = SelectObject(dc, dib);

  PictureRef result = EmptyPicture();
  try {
    {
      GdiplusCanvas canvas(dc);
      if (paint) paint(canvas);
    }  // the Graphics flushes into the DIB here
    GdiFlush();
    auto picture = std::make_shared<Picture>();
    picture->width = width;
    picture->height = height;
    picture->pixels.resize(std::size_t(width) * height);
    std::memcpy(picture->pixels.data(), bits, picture->pixels.size() * 4);
    for (auto& p : picture->pixels) p |= 0xFF000000u;  // a window surface is opaque
    result = std::move(picture);
  } catch (...) {
    result = EmptyPicture();
  }
  SelectObject(dc, old);
  DeleteObject(dib);
  DeleteDC(dc);
  return result;
}

namespace {

bool PngEncoder(CLSID& clsid) {
  UINT count = 0, bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  std::vector<std::uint8_t> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, L"image/png") == 0) {
      clsid = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

}  // namespace

bool SavePng(const Picture& picture, const std::u16string& path) {
  if (!GdiplusSession::Current() || picture.Empty() || path.empty() ||
      picture.pixels.size() != std::size_t(picture.width) * std::size_t(picture.height))
    return false;
  CLSID png;
  if (!PngEncoder(png)) return false;
  std::wstring target = ToWide(path);
  std::wstring temporary = target + L".~tmp";
  bool saved;
  {
    Gdiplus::Bitmap bitmap(
        picture.width, picture.height, picture.width * 4, PixelFormat32bppPARGB,
        reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(picture.pixels.data())));
    saved = bitmap.GetLastStatus() == Gdiplus::Ok &&
            bitmap.Save(temporary.c_str(), &png, nullptr) == Gdiplus::Ok;
  }
  if (saved && MoveFileExW(temporary.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileW(temporary.c_str());
  return false;
}

}  // namespace quarn::ui
