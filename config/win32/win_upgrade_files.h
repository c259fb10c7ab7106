// The after-restart work's file system on Windows: whole-file reads and atomic
// writes through the file store, and moves that replace their target in one
// step; and the date and time its log keys start with.
#pragma once

#include <string>

#include "upgrade_after_restart.h"
#include "win_file_store.h"

namespace quarn {

class WinUpgradeFileSystem final : public UpgradeFileSystem {
 public:
  bool FileExists(std::u16string_view path) override { return files_.FileExists(path); }
  StoreStatus ReadWholeFile(std::u16string_view path, std::vector<std::uint8_t>& data) override {
    return files_.ReadWholeFile(path, data);
  }
  bool WriteWholeFile(std::u16string_view path, const std::uint8_t* data,
                      std::size_t size) override {
    return files_.WriteWholeFile(path, data, size);
  }
  bool MoveReplacing(std::u16string_view from, std::u16string_view to) override;

 private:
  WinFileStore files_;
};

// The local date and time in the user's short date and long time formats.
std::u16string UpgradeLogTime();

}  // namespace quarn
