#include "upgrade_list.h"

#include <array>

#include "ini_file.h"

namespace quarn {
namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == 0xFEFF;
}

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::u16string_view Unquote(std::u16string_view s) {
  if (s.size() >= 2 && s.front() == u'"' && s.back() == u'"')
    return Trim(s.substr(1, s.size() - 2));
  return s;
}

UpgradeEntry ParseEntry(std::u16string_view line) {
  UpgradeEntry e;
  e.text = std::u16string(line);
  const std::size_t eq = line.find(u'=');
  if (eq == std::u16string_view::npos) return e;
  e.name = std::u16string(Unquote(Trim(line.substr(0, eq))));
  e.value = std::u16string(Unquote(Trim(line.substr(eq + 1))));
  e.valid = !e.name.empty();
  return e;
}

char16_t Upper(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

bool IsReservedDeviceName(std::u16string_view component) {
  // The name before the first dot, trailing blanks dropped as Windows does.
  std::u16string_view stem = component.substr(0, component.find(u'.'));
  while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
  std::u16string up;
  for (char16_t c : stem) up.push_back(Upper(c));
  static constexpr std::array<std::u16string_view, 6> plain = {u"CON", u"PRN",    u"AUX",
                                                               u"NUL", u"CONIN$", u"CONOUT$"};
  for (auto n : plain)
    if (up == n) return true;
  if (up.size() == 4 && (up.starts_with(u"COM") || up.starts_with(u"LPT")) && up[3] >= u'0' &&
      up[3] <= u'9')
    return true;
  return false;
}

bool IsBadNameChar(char16_t c) {
  return c < 0x20 || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*' ||
         c == u':';
}

// Splits a full path ("X:\a\b" or "\\server\share\a") into its root and the
// components after it, resolving "." and ".."; nothing for anything else or
// for ".." above the root.
struct SplitPath {
  std::u16string root;  // "X:" or "\\server\share", upper-cased drive letter
  std::vector<std::u16string> parts;
};

std::optional<SplitPath> Split(std::u16string_view path) {
  std::u16string p(path);
  for (auto& c : p)
    if (c == u'/') c = u'\\';
  SplitPath out;
  std::u16string_view rest;
  std::u16string_view v(p);
  if (v.size() >= 3 && ((v[0] >= u'A' && v[0] <= u'Z') || (v[0] >= u'a' && v[0] <= u'z')) &&
      v[1] == u':' && v[2] == u'\\') {
    out.root = std::u16string{Upper(v[0]), u':'};
    rest = v.substr(3);
  } else if (v.starts_with(u"\\\\") && !v.starts_with(u"\\\\?\\") && !v.starts_with(u"\\\\.\\")) {
    const std::size_t server = v.find(u'\\', 2);
    if (server == std::u16string_view::npos || server == 2) return std::nullopt;
    const std::size_t share = v.find(u'\\', server + 1);
    const std::size_t shareEnd = share == std::u16string_view::npos ? v.size() : share;
    if (shareEnd == server + 1) return std::nullopt;
    for (char16_t c : v.substr(2, shareEnd - 2))
      if (c != u'\\' && IsBadNameChar(c)) return std::nullopt;
    for (char16_t c : v.substr(0, shareEnd)) out.root.push_back(Upper(c));
    rest = share == std::u16string_view::npos ? std::u16string_view{} : v.substr(share + 1);
  } else {
    return std::nullopt;
  }
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find(u'\\', start);
    if (end == std::u16string_view::npos) end = rest.size();
    const std::u16string_view c = rest.substr(start, end - start);
    start = end + 1;
    if (c.empty() || c == u".") continue;
    if (c == u"..") {
      if (out.parts.empty()) return std::nullopt;
      out.parts.pop_back();
      continue;
    }
    for (char16_t ch : c)
      if (IsBadNameChar(ch)) return std::nullopt;
    // Windows drops trailing dots and blanks: "... " or "a." would name
    // something other than what is written.
    if (c.back() == u'.' || c.back() == u' ') return std::nullopt;
    if (IsReservedDeviceName(c)) return std::nullopt;
    out.parts.emplace_back(c);
  }
  return out;
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return EqualsIgnoreCase(a, b);
}

}  // namespace

UpgradeList UpgradeList::Parse(const std::vector<std::uint8_t>& bytes) {
  return ParseText(DecodeIniText(bytes));
}

UpgradeList UpgradeList::ParseText(std::u16string_view text) {
  UpgradeList list;
  std::vector<UpgradeEntry>* target = nullptr;
  bool seenFiles = false, seenLaunch = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(u'\n', start);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view line = Trim(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == u';') continue;
    if (line.front() == u'[') {
      const std::size_t close = line.find(u']');
      const std::u16string_view name =
          Trim(line.substr(1, close == std::u16string_view::npos ? line.size() - 1 : close - 1));
      target = nullptr;
      if (EqualsIgnoreCase(name, u"filelist") && !seenFiles) {
        seenFiles = true;
        target = &list.fileList;
      } else if (EqualsIgnoreCase(name, u"toLaunchFileList") && !seenLaunch) {
        seenLaunch = true;
        target = &list.launchList;
      }
      continue;
    }
    if (target == nullptr || target->size() >= kMaxEntries) continue;
    if (line.size() > kMaxLineLength) {
      // Kept as an entry, so that the work stops here instead of skipping it.
      UpgradeEntry e;
      e.text = std::u16string(line.substr(0, kMaxLineLength));
      target->push_back(std::move(e));
      continue;
    }
    target->push_back(ParseEntry(line));
  }
  return list;
}

std::optional<std::u16string> ResolveInsideFolder(std::u16string_view folder,
                                                  std::u16string_view path) {
  if (path.empty() || path.size() > kMaxResolvedPath) return std::nullopt;
  const auto base = Split(folder);
  if (!base) return std::nullopt;
  std::u16string p(path);
  for (auto& c : p)
    if (c == u'/') c = u'\\';
  const bool driveForm = p.size() >= 2 && p[1] == u':';
  const bool rooted = !p.empty() && p[0] == u'\\';
  std::optional<SplitPath> full;
  if (driveForm || rooted) {
    full = Split(p);  // "X:name" and "\name" are refused here
  } else {
    std::u16string joined = base->root;
    for (const auto& part : base->parts) joined += u"\\" + part;
    joined += u"\\" + p;
    full = Split(joined);
  }
  if (!full || !SameIgnoringCase(full->root, base->root)) return std::nullopt;
  if (full->parts.size() <= base->parts.size()) return std::nullopt;
  for (std::size_t i = 0; i < base->parts.size(); ++i)
    if (!SameIgnoringCase(full->parts[i], base->parts[i])) return std::nullopt;
  std::u16string out = full->root;
  if (full->root.size() == 2) out += u"\\";
  for (std::size_t i = 0; i < full->parts.size(); ++i) {
    if (i > 0 || full->root.size() != 2) out += u"\\";
    out += full->parts[i];
  }
  if (out.size() > kMaxResolvedPath) return std::nullopt;
  return out;
}

}  // namespace quarn
