#include "macro_files.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "text_field.h"

namespace quarn {
namespace {

char16_t Upper(char16_t c) {
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

// Windows takes these as devices whatever extension follows them.
bool IsReservedDeviceName(std::u16string_view name) {
  std::u16string_view stem = name.substr(0, name.find(u'.'));
  while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
  static constexpr std::array<std::u16string_view, 6> kPlain = {u"CON", u"PRN",    u"AUX",
                                                                u"NUL", u"CONIN$", u"CONOUT$"};
  for (auto reserved : kPlain)
    if (EqualsIgnoringCase(stem, reserved)) return true;
  if (stem.size() == 4 && (EqualsIgnoringCase(stem.substr(0, 3), u"COM") ||
                           EqualsIgnoringCase(stem.substr(0, 3), u"LPT"))) {
    const char16_t d = stem[3];
    // Digits 0-9 and the superscripts one, two and three.
    return (d >= u'0' && d <= u'9') || d == u'\u00B9' || d == u'\u00B2' || d == u'\u00B3';
  }
  return false;
}

}  // namespace

bool IsSafeMacroFileName(std::u16string_view name) {
  if (name.empty() || name == u"." || name == u"..") return false;
  for (char16_t c : name) {
    if (c < 0x20 || c == 0x7F) return false;
    if (std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) return false;
  }
  return !IsReservedDeviceName(name);
}

void ReadMacroRecord(const std::uint8_t* data, std::size_t size, TMACROKEYINFO& record) {
  const std::size_t n = std::min(size, sizeof(TMACROKEYINFO));
  if (n > 0) std::memcpy(&record, data, n);
}

bool LoadMacroFile(FileStore& files, std::u16string_view path, TMACROKEYINFO& record) {
  if (path.empty()) return false;
  std::vector<std::uint8_t> bytes;
  if (files.ReadWholeFile(path, bytes) != StoreStatus::Ok) return false;
  ReadMacroRecord(bytes.data(), bytes.size(), record);
  return true;
}

bool SaveMacroFiles(FileStore& files, const TMACROKEYINFOLIST& list, std::u16string_view folder) {
  if (folder.empty()) return false;
  if (!files.DirectoryExists(folder) && !files.CreateFolder(folder)) return false;
  const std::u16string base = WithTrailingBackslash(folder);
  const int count = std::min<int>(list.nMacroInfoCount, MACRO_LIST_CAPACITY);
  bool allWritten = true;
  for (int i = 0; i < count; ++i) {
    const TMACROKEYINFO& macro = list.MacroInfos[i];
    const std::u16string name = ReadText(macro.szMacroName);
    if (!IsSafeMacroFileName(name)) {
      allWritten = false;
      continue;
    }
    const std::u16string path = base + name + std::u16string(kMacroFileExtension);
    if (!files.WriteWholeFile(path, reinterpret_cast<const std::uint8_t*>(&macro), sizeof macro))
      allWritten = false;
  }
  return allWritten;
}

}  // namespace quarn
