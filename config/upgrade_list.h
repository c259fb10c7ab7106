// The instruction file an update leaves beside the program ("upgcfg.ini"): the
// files to move into place and the programs to start, read as entries in file
// order, and the rule that turns an entry's path into a path inside the
// program folder (or refuses it).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarn {

// One line of a section: the text before the first "=" and the text after it,
// each trimmed and without one pair of enclosing double quotes. `valid` is
// false for a line without "=" or with an empty name; `text` is the line as read.
struct UpgradeEntry {
  std::u16string name;
  std::u16string value;
  std::u16string text;
  bool valid = false;
  friend bool operator==(const UpgradeEntry&, const UpgradeEntry&) = default;
};

struct UpgradeList {
  std::vector<UpgradeEntry> fileList;    // [filelist]: source=destination
  std::vector<UpgradeEntry> launchList;  // [toLaunchFileList]: any name=program

  // Sections match without regard to case; the first of a repeated section
  // counts. Lines starting with ';' and blank lines are skipped; every other
  // line of the section is an entry, kept in order (repeats included). At most
  // kMaxEntries per section are read, each line at most kMaxLineLength units.
  static UpgradeList Parse(const std::vector<std::uint8_t>& bytes);
  static UpgradeList ParseText(std::u16string_view text);

  static constexpr std::size_t kMaxEntries = 4096;
  static constexpr std::size_t kMaxLineLength = 4096;
};

// Longest full path resolved (the classic path limit, without extended forms).
inline constexpr std::size_t kMaxResolvedPath = 259;

// The full path of `path` taken relative to `folder` (a full path, with or
// without a trailing backslash); an absolute path is taken as it is. Nothing
// when the result is not inside `folder` (".." leading out, another drive or
// share, a root-relative or drive-relative path), names a stream or a device
// ("file:stream", "NUL", "COM1"), holds characters no file name may hold, or
// is longer than kMaxResolvedPath.
std::optional<std::u16string> ResolveInsideFolder(std::u16string_view folder,
                                                  std::u16string_view path);

}  // namespace quarn
