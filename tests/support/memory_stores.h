// In-memory registry and file stores for tests of the logic above the storage
// seams. Names compare without regard to ASCII case, as on Windows.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "stores.h"

namespace quarn::testing {

inline std::u16string Fold(std::u16string_view s) {
  std::u16string r(s);
  for (auto& c : r)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  for (auto& c : r)
    if (c == u'/') c = u'\\';
  while (r.size() > 1 && r.back() == u'\\') r.pop_back();
  return r;
}

class MemoryRegistryStore : public RegistryStore {
 public:
  struct Value {
    std::vector<std::uint8_t> bytes;
    bool binary = true;  // false: stored as a string/DWORD by someone else
  };

  StoreStatus ReadBinary(RegRoot root, std::u16string_view key, std::u16string_view name,
                         std::vector<std::uint8_t>& data) override {
    ++reads;
    if (unavailable.count(Fold(key))) return StoreStatus::KeyUnavailable;
    keys.insert({root, Fold(key)});
    auto it = values.find(Id(root, key, name));
    if (it == values.end()) return StoreStatus::Missing;
    if (!it->second.binary) return StoreStatus::WrongType;
    if (it->second.bytes.size() > kMaxStoredBlobSize) return StoreStatus::TooLarge;
    data = it->second.bytes;
    return StoreStatus::Ok;
  }

  bool WriteBinary(RegRoot root, std::u16string_view key, std::u16string_view name,
                   const std::uint8_t* data, std::size_t size) override {
    if (unavailable.count(Fold(key))) return false;
    keys.insert({root, Fold(key)});
    values[Id(root, key, name)] = Value{std::vector<std::uint8_t>(data, data + size), true};
    writes.push_back(std::u16string(name));
    return true;
  }

  void Put(RegRoot root, std::u16string_view key, std::u16string_view name,
           std::vector<std::uint8_t> bytes, bool binary = true) {
    values[Id(root, key, name)] = Value{std::move(bytes), binary};
  }
  const Value* Get(RegRoot root, std::u16string_view key, std::u16string_view name) const {
    auto it = values.find(Id(root, key, name));
    return it == values.end() ? nullptr : &it->second;
  }

  static std::u16string Id(RegRoot root, std::u16string_view key, std::u16string_view name) {
    return std::u16string(1, static_cast<char16_t>(root & 0xF)) + u"|" + Fold(key) + u"|" +
           Fold(name);
  }

  std::map<std::u16string, Value> values;
  std::set<std::pair<RegRoot, std::u16string>> keys;
  std::set<std::u16string> unavailable;  // keys that cannot be opened
  std::vector<std::u16string> writes;    // value names in write order
  int reads = 0;
};

class MemoryFileStore : public FileStore {
 public:
  StoreStatus ReadWholeFile(std::u16string_view path, std::vector<std::uint8_t>& data) override {
    auto key = Fold(path);
    if (unreadable.count(key)) return StoreStatus::Unreadable;
    auto it = files.find(key);
    if (it == files.end()) return StoreStatus::Missing;
    if (it->second.size() > kMaxStoredBlobSize) return StoreStatus::TooLarge;
    data = it->second;
    return StoreStatus::Ok;
  }
  bool WriteWholeFile(std::u16string_view path, const std::uint8_t* data,
                      std::size_t size) override {
    auto key = Fold(path);
    if (!DirectoryExists(FolderPart(path)) || readOnly.count(key) || unreadable.count(key))
      return false;
    files[key] = std::vector<std::uint8_t>(data, data + size);
    writes.push_back(key);
    return true;
  }
  bool FileExists(std::u16string_view path) override {
    auto key = Fold(path);
    return files.count(key) > 0 || unreadable.count(key) > 0;
  }
  bool DirectoryExists(std::u16string_view path) override {
    return !path.empty() && folders.count(Fold(path)) > 0;
  }
  bool CreateFolder(std::u16string_view path) override {
    auto key = Fold(path);
    if (key.empty() || uncreatable.count(key)) return false;
    auto parent = FolderPart(key);
    if (!parent.empty() && !DirectoryExists(parent)) return false;
    folders.insert(key);
    return true;
  }

  void AddFolder(std::u16string_view path) { folders.insert(Fold(path)); }
  const std::vector<std::uint8_t>* Get(std::u16string_view path) const {
    auto it = files.find(Fold(path));
    return it == files.end() ? nullptr : &it->second;
  }

  std::map<std::u16string, std::vector<std::uint8_t>> files;
  std::set<std::u16string> folders;
  std::set<std::u16string> unreadable;   // files that exist but cannot be read
  std::set<std::u16string> readOnly;     // files that cannot be written
  std::set<std::u16string> uncreatable;  // folders that cannot be created
  std::vector<std::u16string> writes;
};

}  // namespace quarn::testing
