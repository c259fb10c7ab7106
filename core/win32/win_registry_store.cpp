#include "win_registry_store.h"

#include <windows.h>

#include "wide.h"

namespace quarn {
namespace {

HKEY RootHandle(RegRoot root) {
  switch (root) {
    case kHKeyCurrentUser: return HKEY_CURRENT_USER;
    case kHKeyLocalMachine: return HKEY_LOCAL_MACHINE;
    default: return nullptr;
  }
}

// Opens `key` below `root`, creating it when it does not exist.
class OpenedKey {
 public:
  OpenedKey(RegRoot root, std::u16string_view key, REGSAM access) {
    HKEY parent = RootHandle(root);
    if (parent == nullptr) return;
    std::wstring path = ToWide(key);
    if (RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                        &handle_, nullptr) != ERROR_SUCCESS)
      handle_ = nullptr;
  }
  ~OpenedKey() {
    if (handle_ != nullptr) RegCloseKey(handle_);
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  HKEY get() const { return handle_; }

 private:
  HKEY handle_ = nullptr;
};

}  // namespace

StoreStatus WinRegistryStore::ReadBinary(RegRoot root, std::u16string_view key,
                                         std::u16string_view name,
                                         std::vector<std::uint8_t>& data) {
  OpenedKey k(root, key, KEY_QUERY_VALUE);
  if (k.get() == nullptr) return StoreStatus::KeyUnavailable;
  std::wstring value = ToWide(name);
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExW(k.get(), value.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return StoreStatus::Missing;
    if (rc != ERROR_SUCCESS) return StoreStatus::Unreadable;
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_DWORD) return StoreStatus::WrongType;
    if (size > kMaxStoredBlobSize) return StoreStatus::TooLarge;
    std::vector<std::uint8_t> buffer(size);
    DWORD got = size;
    rc = RegQueryValueExW(k.get(), value.c_str(), nullptr, &type,
                          buffer.empty() ? nullptr : buffer.data(), &got);
    if (rc == ERROR_MORE_DATA) continue;  // grew between the two calls
    if (rc == ERROR_FILE_NOT_FOUND) return StoreStatus::Missing;
    if (rc != ERROR_SUCCESS) return StoreStatus::Unreadable;
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_DWORD) return StoreStatus::WrongType;
    buffer.resize(got);
    data = std::move(buffer);
    return StoreStatus::Ok;
  }
  return StoreStatus::Unreadable;
}

bool WinRegistryStore::WriteBinary(RegRoot root, std::u16string_view key, std::u16string_view name,
                                   const std::uint8_t* data, std::size_t size) {
  if (size > kMaxStoredBlobSize) return false;
  OpenedKey k(root, key, KEY_SET_VALUE);
  if (k.get() == nullptr) return false;
  std::wstring value = ToWide(name);
  return RegSetValueExW(k.get(), value.c_str(), 0, REG_BINARY, size ? data : nullptr,
                        static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

}  // namespace quarn
