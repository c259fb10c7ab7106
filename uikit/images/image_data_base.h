// The picture store of the configuration window's face: pictures loaded by file name
// from a base folder (the current language's artwork), each read and decoded once and
// held until the base folder changes. Reads through the file store and decodes through
// the picture decoder seam, so it runs natively with fakes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "graphics.h"
#include "stores.h"

namespace quarn {

// One cached picture: the name it was asked for by, the file it came from, the pixels.
struct TvnImageData {
  std::u16string ImageName;
  std::u16string ImagePath;
  ui::PictureRef Image;
};

class TImageDataBase {
 public:
  // A store whose base folder is `basePath`, made to end with a backslash.
  TImageDataBase(FileStore& files, ui::PictureDecoder& decoder, std::u16string_view basePath);

  // A store whose base folder is the folder of the running program, given as the full path
  // of its executable (up to and including the last backslash).
  static TImageDataBase ForExecutable(FileStore& files, ui::PictureDecoder& decoder,
                                      std::u16string_view executablePath);

  const std::u16string& ImageDBPath() const { return FBasePath; }
  void SetImageDBPath(std::u16string_view path) { SetImageBasePath(path); }

  // New base folder (a backslash appended when missing); the cache is always emptied.
  // Pictures already handed out stay valid for whoever holds them. An empty path makes
  // every request without an explicit folder give the empty picture, without reading.
  void SetImageBasePath(std::u16string_view path);

  // The picture called `name`: from the cache when it was loaded before (exact, case-
  // sensitive name), else read from `folder` (or the base folder when empty) + `name`.
  // A missing, unreadable, oversized or undecodable file gives the empty picture and is
  // not cached, so a later request looks again. Never throws.
  ui::PictureRef IMAGE(std::u16string_view name, std::u16string_view folder = {});

  // The cache in load order.
  const std::vector<TvnImageData>& Entries() const { return IMGDB; }

 private:
  FileStore& files_;
  ui::PictureDecoder& decoder_;
  std::u16string FBasePath;
  std::vector<TvnImageData> IMGDB;
};

}  // namespace quarn
