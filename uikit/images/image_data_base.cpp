#include "image_data_base.h"

#include <exception>

namespace quarn {

TImageDataBase::TImageDataBase(FileStore& files, ui::PictureDecoder& decoder,
                               std::u16string_view basePath)
    : files_(files), decoder_(decoder), FBasePath(WithTrailingBackslash(basePath)) {}

TImageDataBase TImageDataBase::ForExecutable(FileStore& files, ui::PictureDecoder& decoder,
                                             std::u16string_view executablePath) {
  auto pos = executablePath.find_last_of(u'\\');
  auto folder =
      pos == std::u16string_view::npos ? std::u16string_view{} : executablePath.substr(0, pos + 1);
  return TImageDataBase(files, decoder, folder);
}

void TImageDataBase::SetImageBasePath(std::u16string_view path) {
  FBasePath = WithTrailingBackslash(path);
  IMGDB.clear();
}

namespace {

// A decoder result we can hand out: pixels present and consistent with the size.
bool Usable(const ui::PictureRef& p) {
  return p && !p->Empty() && p->width <= ui::kMaxPictureSide && p->height <= ui::kMaxPictureSide &&
         p->pixels.size() == std::size_t(p->width) * std::size_t(p->height);
}

}  // namespace

ui::PictureRef TImageDataBase::IMAGE(std::u16string_view name, std::u16string_view folder) {
  if (name.empty()) return ui::EmptyPicture();
  for (const auto& entry : IMGDB)
    if (entry.ImageName == name) return entry.Image;

  std::u16string base = folder.empty() ? FBasePath : std::u16string(folder);
  if (base.empty()) return ui::EmptyPicture();  // no folder: never relative to the current one
  std::u16string path = base + std::u16string(name);

  try {
    std::vector<std::uint8_t> bytes;
    if (files_.ReadWholeFile(path, bytes) != StoreStatus::Ok || bytes.empty())
      return ui::EmptyPicture();
    ui::PictureRef picture = decoder_.Decode(bytes.data(), bytes.size());
    if (!Usable(picture)) return ui::EmptyPicture();
    IMGDB.push_back({std::u16string(name), std::move(path), picture});
    return picture;
  } catch (const std::exception&) {
    return ui::EmptyPicture();
  }
}

}  // namespace quarn
