#include "ini_file.h"

#include "utf8.h"

namespace quarn {
namespace {

char16_t FoldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c - u'A' + u'a');
  // Latin-1 upper-case letters (except the multiplication sign).
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
  return c;
}

std::u16string Folded(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out) c = FoldCase(c);
  return out;
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == 0xFEFF; }

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

std::u16string Decode(const std::vector<std::uint8_t>& b) {
  std::u16string text;
  const std::size_t n = b.size();
  if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
    text.reserve((n - 2) / 2);
    for (std::size_t i = 2; i + 1 < n; i += 2)
      text.push_back(static_cast<char16_t>(b[i] | (b[i + 1] << 8)));
    return text;
  }
  std::size_t start = (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) ? 3 : 0;
  if (auto utf8 = Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(b.data()) + start, n - start)))
    return *utf8;
  // Not UTF-8: an ANSI file. Latin-1 keeps every byte as one unit.
  text.assign(b.begin() + static_cast<std::ptrdiff_t>(start), b.end());
  return text;
}

}  // namespace

std::u16string DecodeIniText(const std::vector<std::uint8_t>& bytes) { return Decode(bytes); }

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

std::optional<std::int32_t> ParseInteger(std::u16string_view s) {
  s = Trim(s);
  bool negative = false;
  if (!s.empty() && (s[0] == u'-' || s[0] == u'+')) {
    negative = s[0] == u'-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s[0] == u'$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() >= 2 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;
  std::int64_t v = 0;
  for (char16_t c : s) {
    int d;
    if (c >= u'0' && c <= u'9') d = c - u'0';
    else if (base == 16 && c >= u'a' && c <= u'f') d = c - u'a' + 10;
    else if (base == 16 && c >= u'A' && c <= u'F') d = c - u'A' + 10;
    else return std::nullopt;
    v = v * base + d;
    if (v > 0xFFFFFFFFll) return std::nullopt;
  }
  if (base == 10) {
    if (negative) v = -v;
    if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(v);
  }
  // Hexadecimal covers the whole 32-bit pattern.
  auto u = static_cast<std::uint32_t>(v);
  auto r = static_cast<std::int32_t>(u);
  return negative ? static_cast<std::int32_t>(0u - u) : r;
}

IniFile IniFile::Parse(const std::vector<std::uint8_t>& bytes) { return ParseText(Decode(bytes)); }

IniFile IniFile::ParseText(std::u16string_view text) {
  IniFile ini;
  Section* current = nullptr;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find(u'\n', pos);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == u';') continue;
    if (line[0] == u'[') {
      auto close = line.find(u']');
      std::u16string_view name =
          Trim(close == std::u16string_view::npos ? line.substr(1) : line.substr(1, close - 1));
      // Keys of a repeated section are not reachable: the first one wins.
      const auto [it, added] = ini.sectionByName_.emplace(Folded(name), ini.sections_.size());
      if (!added) {
        current = nullptr;
        continue;
      }
      ini.sections_.push_back(Section{std::u16string(name), {}, {}});
      current = &ini.sections_.back();
      continue;
    }
    if (current == nullptr) continue;
    auto eq = line.find(u'=');
    if (eq == std::u16string_view::npos) continue;
    std::u16string_view key = Trim(line.substr(0, eq));
    std::u16string_view value = Trim(line.substr(eq + 1));
    if (key.empty()) continue;
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    // The first of duplicated keys wins.
    if (current->byName.emplace(Folded(key), current->entries.size()).second)
      current->entries.push_back(Entry{std::u16string(key), std::u16string(value)});
  }
  return ini;
}

const IniFile::Section* IniFile::FindSection(std::u16string_view name) const {
  const auto it = sectionByName_.find(Folded(name));
  return it == sectionByName_.end() ? nullptr : &sections_[it->second];
}

std::optional<std::u16string> IniFile::Find(std::u16string_view section,
                                            std::u16string_view key) const {
  const Section* s = FindSection(section);
  if (s == nullptr) return std::nullopt;
  const auto it = s->byName.find(Folded(key));
  if (it == s->byName.end()) return std::nullopt;
  return s->entries[it->second].value;
}

std::u16string IniFile::ReadString(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view def) const {
  auto v = Find(section, key);
  return v ? *v : std::u16string(def);
}

std::int32_t IniFile::ReadInteger(std::u16string_view section, std::u16string_view key,
                                  std::int32_t def) const {
  auto v = Find(section, key);
  if (!v) return def;
  auto n = ParseInteger(*v);
  return n ? *n : def;
}

std::vector<std::u16string> IniFile::Keys(std::u16string_view section) const {
  std::vector<std::u16string> keys;
  if (const Section* s = FindSection(section))
    for (const auto& e : s->entries) keys.push_back(e.key);
  return keys;
}

}  // namespace quarn
