// The storage seams under the profile stream: a registry of binary values and a
// file system. The Win32 adapters implement them for real; tests use in-memory
// fakes. Paths and names are UTF-16 as on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarn {

using RegRoot = std::uint32_t;
constexpr RegRoot kHKeyCurrentUser = 0x80000001u;
constexpr RegRoot kHKeyLocalMachine = 0x80000002u;

// Nothing we store comes near this; a larger value or file is refused as unreadable.
constexpr std::size_t kMaxStoredBlobSize = 16u * 1024u * 1024u;

enum class StoreStatus {
  Ok,
  Missing,         // no such value or file
  KeyUnavailable,  // the registry key could not be opened or created
  WrongType,       // a registry value that is not raw bytes (string, expandable string, DWORD)
  TooLarge,        // larger than kMaxStoredBlobSize
  Unreadable,      // exists but could not be read
};

class RegistryStore {
 public:
  virtual ~RegistryStore() = default;
  // Opens the key (creating it when missing) and reads a value's bytes.
  virtual StoreStatus ReadBinary(RegRoot root, std::u16string_view key, std::u16string_view name,
                                 std::vector<std::uint8_t>& data) = 0;
  // Opens the key (creating it when missing) and writes a REG_BINARY value.
  virtual bool WriteBinary(RegRoot root, std::u16string_view key, std::u16string_view name,
                           const std::uint8_t* data, std::size_t size) = 0;
};

class FileStore {
 public:
  virtual ~FileStore() = default;
  virtual StoreStatus ReadWholeFile(std::u16string_view path, std::vector<std::uint8_t>& data) = 0;
  // Replaces the file atomically: a half-written file is never left at `path`.
  virtual bool WriteWholeFile(std::u16string_view path, const std::uint8_t* data,
                              std::size_t size) = 0;
  virtual bool FileExists(std::u16string_view path) = 0;
  virtual bool DirectoryExists(std::u16string_view path) = 0;
  // Creates one folder level; true when the folder exists afterwards.
  virtual bool CreateFolder(std::u16string_view path) = 0;
};

// Folder part of a path including its trailing separator ("" when there is none).
inline std::u16string_view FolderPart(std::u16string_view path) {
  auto pos = path.find_last_of(u"\\/");
  return pos == std::u16string_view::npos ? std::u16string_view{} : path.substr(0, pos + 1);
}

inline std::u16string_view NamePart(std::u16string_view path) {
  auto pos = path.find_last_of(u"\\/");
  return pos == std::u16string_view::npos ? path : path.substr(pos + 1);
}

inline std::u16string WithTrailingBackslash(std::u16string_view folder) {
  std::u16string s(folder);
  if (!s.empty() && s.back() != u'\\') s.push_back(u'\\');
  return s;
}

}  // namespace quarn
