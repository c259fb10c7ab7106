// Registry and file stores that pass every call through to the real ones and
// count the writes that failed, so that a sequence of saves can tell whether
// everything it wrote was stored. The profile data module is built over them.
#pragma once

#include "stores.h"

namespace quarn {

class WriteCheckedStores {
 public:
  WriteCheckedStores(RegistryStore& registry, FileStore& files)
      : registry_(registry, failed_), files_(files, failed_) {}
  WriteCheckedStores(const WriteCheckedStores&) = delete;
  WriteCheckedStores& operator=(const WriteCheckedStores&) = delete;

  RegistryStore& Registry() { return registry_; }
  FileStore& Files() { return files_; }

  // Failed writes since the last ResetFailures.
  int FailedWrites() const { return failed_; }
  void ResetFailures() { failed_ = 0; }

 private:
  class CheckedRegistry final : public RegistryStore {
   public:
    CheckedRegistry(RegistryStore& inner, int& failed) : inner_(inner), failed_(failed) {}
    StoreStatus ReadBinary(RegRoot root, std::u16string_view key, std::u16string_view name,
                           std::vector<std::uint8_t>& data) override {
      return inner_.ReadBinary(root, key, name, data);
    }
    bool WriteBinary(RegRoot root, std::u16string_view key, std::u16string_view name,
                     const std::uint8_t* data, std::size_t size) override {
      const bool ok = inner_.WriteBinary(root, key, name, data, size);
      if (!ok) ++failed_;
      return ok;
    }

   private:
    RegistryStore& inner_;
    int& failed_;
  };

  class CheckedFiles final : public FileStore {
   public:
    CheckedFiles(FileStore& inner, int& failed) : inner_(inner), failed_(failed) {}
    StoreStatus ReadWholeFile(std::u16string_view path, std::vector<std::uint8_t>& data) override {
      return inner_.ReadWholeFile(path, data);
    }
    bool WriteWholeFile(std::u16string_view path, const std::uint8_t* data,
                        std::size_t size) override {
      const bool ok = inner_.WriteWholeFile(path, data, size);
      if (!ok) ++failed_;
      return ok;
    }
    bool FileExists(std::u16string_view path) override { return inner_.FileExists(path); }
    bool DirectoryExists(std::u16string_view path) override { return inner_.DirectoryExists(path); }
    bool CreateFolder(std::u16string_view path) override { return inner_.CreateFolder(path); }

   private:
    FileStore& inner_;
    int& failed_;
  };

  int failed_ = 0;
  CheckedRegistry registry_;
  CheckedFiles files_;
};

}  // namespace quarn
