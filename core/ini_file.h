// A reader of Windows INI files with the private-profile rules: section and key
// names match without regard to case, the first of duplicated sections or keys
// wins, values are trimmed and lose one pair of enclosing quotes, lines starting
// with ';' are comments. UTF-16LE or UTF-8 with a byte-order mark, UTF-8 without
// one, or else an ANSI file read as Latin-1.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quarn {

class IniFile {
 public:
  IniFile() = default;
  static IniFile Parse(const std::vector<std::uint8_t>& bytes);
  static IniFile ParseText(std::u16string_view text);

  // The value, or nothing when the section or key is missing.
  std::optional<std::u16string> Find(std::u16string_view section, std::u16string_view key) const;
  std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                            std::u16string_view def) const;
  // Decimal (optionally signed) or hexadecimal with "$" or "0x"; anything else gives `def`.
  std::int32_t ReadInteger(std::u16string_view section, std::u16string_view key,
                           std::int32_t def) const;
  // Key names of a section in file order, each once.
  std::vector<std::u16string> Keys(std::u16string_view section) const;

 private:
  struct Entry {
    std::u16string key;
    std::u16string value;
  };
  struct Section {
    std::u16string name;
    std::vector<Entry> entries;                              // file order
    std::unordered_map<std::u16string, std::size_t> byName;  // case-folded key -> entry
  };
  const Section* FindSection(std::u16string_view name) const;

  // Reading and every lookup go through the case-folded names, so a file of
  // any size is read in linear time.
  std::vector<Section> sections_;
  std::unordered_map<std::u16string, std::size_t> sectionByName_;
};

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
// The text of an INI file's bytes, decoded by the rules above.
std::u16string DecodeIniText(const std::vector<std::uint8_t>& bytes);
std::optional<std::int32_t> ParseInteger(std::u16string_view text);

}  // namespace quarn
