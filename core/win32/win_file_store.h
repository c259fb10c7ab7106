// The file store over the Win32 file API; writes go through a temporary file
// beside the target that replaces it once flushed.
#pragma once

#include "../stores.h"

namespace quarn {

class WinFileStore final : public FileStore {
 public:
  StoreStatus ReadWholeFile(std::u16string_view path, std::vector<std::uint8_t>& data) override;
  bool WriteWholeFile(std::u16string_view path, const std::uint8_t* data,
                      std::size_t size) override;
  bool FileExists(std::u16string_view path) override;
  bool DirectoryExists(std::u16string_view path) override;
  bool CreateFolder(std::u16string_view path) override;
};

}  // namespace quarn
