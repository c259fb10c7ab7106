#include "language_file.h"

#include <limits>

#include "stores.h"

namespace quarn {

namespace {

bool IsBreak(char16_t c) {
  return c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\u2028' || c == u'\u2029';
}

// Reads fields front to back; any field that does not fit marks the whole read failed.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}

  bool U32(std::uint32_t& v) {
    if (left_ < 4) return false;
    v = static_cast<std::uint32_t>(data_[0]) | static_cast<std::uint32_t>(data_[1]) << 8 |
        static_cast<std::uint32_t>(data_[2]) << 16 | static_cast<std::uint32_t>(data_[3]) << 24;
    data_ += 4;
    left_ -= 4;
    return true;
  }

  bool Text(std::u16string& s) {
    std::uint32_t raw;
    if (!U32(raw)) return false;
    if (raw > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
      return false;  // a negative count
    std::size_t units = raw;
    if (units > left_ / 2) return false;  // more than the bytes that remain
    s.resize(units);
    for (std::size_t i = 0; i < units; ++i)
      s[i] = static_cast<char16_t>(data_[2 * i] | data_[2 * i + 1] << 8);
    data_ += 2 * units;
    left_ -= 2 * units;
    return true;
  }

  std::size_t Left() const { return left_; }

 private:
  const std::uint8_t* data_;
  std::size_t left_;
};

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutText(std::vector<std::uint8_t>& out, std::u16string_view s) {
  PutU32(out, static_cast<std::uint32_t>(s.size()));
  for (char16_t c : s) {
    out.push_back(static_cast<std::uint8_t>(c & 0xFF));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
}

// Size of one written text, or nothing when it cannot be written.
std::optional<std::size_t> TextBytes(std::size_t units) {
  if (units > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    return std::nullopt;
  return 4 + 2 * units;
}

std::size_t JoinedUnits(const std::vector<std::u16string>& lines) {
  std::size_t n = 0;
  for (const auto& l : lines) n += l.size() + 2;
  return n;
}

}  // namespace

std::vector<std::u16string> SplitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    char16_t c = text[i];
    if (!IsBreak(c)) {
      ++i;
      continue;
    }
    lines.emplace_back(text.substr(start, i - start));
    ++i;
    if (c == u'\r' && i < text.size() && text[i] == u'\n') ++i;
    start = i;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::u16string JoinLines(const std::vector<std::u16string>& lines) {
  std::u16string s;
  s.reserve(JoinedUnits(lines));
  for (const auto& l : lines) {
    s += l;
    s += u"\r\n";
  }
  return s;
}

bool HasLineBreak(std::u16string_view text) {
  for (char16_t c : text)
    if (IsBreak(c)) return true;
  return false;
}

std::optional<LanguageFileContent> ReadLanguageFile(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxStoredBlobSize || (data == nullptr && size != 0)) return std::nullopt;
  Reader in(data, size);
  LanguageFileContent content;
  std::u16string text;
  if (!in.Text(text)) return std::nullopt;
  content.originals = SplitLines(text);

  std::uint32_t count;
  if (!in.U32(count)) return std::nullopt;
  // Each block holds two texts of at least four bytes: a count the remaining
  // bytes cannot hold is refused before anything is made for it.
  if (count > in.Left() / 8) return std::nullopt;
  content.languages.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    LanguageBlock block;
    if (!in.Text(block.id)) return std::nullopt;
    if (!in.Text(text)) return std::nullopt;
    block.lines = SplitLines(text);
    content.languages.push_back(std::move(block));
  }
  if (in.Left() != 0) return std::nullopt;  // the layout ends with the last block
  return content;
}

std::optional<std::vector<std::uint8_t>> WriteLanguageFile(const LanguageFileContent& content) {
  // Size first, so that nothing is written that the reader would refuse.
  std::size_t total = 4;
  auto add = [&total](std::size_t units) {
    auto bytes = TextBytes(units);
    if (!bytes || *bytes > kMaxStoredBlobSize) return false;
    total += *bytes;
    return total <= kMaxStoredBlobSize;
  };
  if (!add(JoinedUnits(content.originals))) return std::nullopt;
  if (content.languages.size() > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  for (const auto& block : content.languages)
    if (!add(block.id.size()) || !add(JoinedUnits(block.lines))) return std::nullopt;

  std::vector<std::uint8_t> out;
  out.reserve(total);
  PutText(out, JoinLines(content.originals));
  PutU32(out, static_cast<std::uint32_t>(content.languages.size()));
  for (const auto& block : content.languages) {
    PutText(out, block.id);
    PutText(out, JoinLines(block.lines));
  }
  return out;
}

}  // namespace quarn
