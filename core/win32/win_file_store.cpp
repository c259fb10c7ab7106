#include "win_file_store.h"

#include <windows.h>

#include "wide.h"

namespace quarn {
namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  bool Close() {
    if (h_ == INVALID_HANDLE_VALUE) return true;
    bool ok = CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

std::wstring WithoutTrailingSeparator(std::u16string_view path) {
  std::wstring p = ToWide(path);
  while (p.size() > 1 && (p.back() == L'\\' || p.back() == L'/') && p[p.size() - 2] != L':')
    p.pop_back();
  return p;
}

DWORD Attributes(std::u16string_view path) {
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesW(WithoutTrailingSeparator(path).c_str());
}

}  // namespace

StoreStatus WinFileStore::ReadWholeFile(std::u16string_view path,
                                        std::vector<std::uint8_t>& data) {
  std::wstring name = ToWide(path);
  if (name.empty()) return StoreStatus::Missing;
  FileHandle f(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.valid()) {
    DWORD err = GetLastError();
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return StoreStatus::Missing;
    return StoreStatus::Unreadable;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(f.get(), &size)) return StoreStatus::Unreadable;
  if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > kMaxStoredBlobSize)
    return StoreStatus::TooLarge;
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < buffer.size()) {
    DWORD got = 0;
    if (!::ReadFile(f.get(), buffer.data() + done, static_cast<DWORD>(buffer.size() - done), &got,
                    nullptr))
      return StoreStatus::Unreadable;
    if (got == 0) break;  // shrank while reading
    done += got;
  }
  buffer.resize(done);
  data = std::move(buffer);
  return StoreStatus::Ok;
}

bool WinFileStore::WriteWholeFile(std::u16string_view path, const std::uint8_t* data,
                                  std::size_t size) {
  if (path.empty() || size > kMaxStoredBlobSize) return false;
  std::wstring target = ToWide(path);
  std::wstring temp = target + L".~tmp";
  {
    FileHandle f(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.valid()) return false;
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < size) {
      DWORD wrote = 0;
      ok = ::WriteFile(f.get(), data + done, static_cast<DWORD>(size - done), &wrote, nullptr) &&
           wrote > 0;
      done += wrote;
    }
    ok = ok && FlushFileBuffers(f.get());
    ok = f.Close() && ok;
    if (!ok) {
      DeleteFileW(temp.c_str());
      return false;
    }
  }
  if (!MoveFileExW(temp.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

bool WinFileStore::FileExists(std::u16string_view path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WinFileStore::DirectoryExists(std::u16string_view path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WinFileStore::CreateFolder(std::u16string_view path) {
  if (path.empty()) return false;
  std::wstring p = WithoutTrailingSeparator(path);
  if (CreateDirectoryW(p.c_str(), nullptr)) return true;
  return DirectoryExists(path);
}

}  // namespace quarn
