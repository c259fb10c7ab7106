#include "lang_sources.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <sstream>

namespace quarn::langtool {

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

namespace {

struct SourceLine {
  std::string where;  // "file:line"
  std::u16string text;
};

class ErrorList {
 public:
  explicit ErrorList(std::vector<std::string>& errors) : errors_(errors) {}
  void Add(const std::string& where, const std::string& message) {
    errors_.push_back(where + ": " + message);
    ++count_;
  }
  bool Any() const { return count_ > 0; }

 private:
  std::vector<std::string>& errors_;
  int count_ = 0;
};

// The lines of a source file that are not comments. A line ends at LF or CR LF.
std::vector<SourceLine> ReadLines(const FileReader& read, const std::string& name,
                                  ErrorList& errors) {
  std::vector<SourceLine> lines;
  auto bytes = read(name);
  if (!bytes) {
    errors.Add(name, "cannot be read");
    return lines;
  }
  std::string_view rest(*bytes);
  if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
  int number = 0;
  while (!rest.empty()) {
    auto end = rest.find('\n');
    std::string_view raw = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    ++number;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    std::string where = name + ":" + std::to_string(number);
    auto text = Utf8ToUtf16(raw);
    if (!text) {
      errors.Add(where, "not valid UTF-8");
      continue;
    }
    if (text->empty() || text->front() == u'#') continue;
    if (HasLineBreak(*text)) {
      errors.Add(where, "holds a line break character, which would split the line");
      continue;
    }
    lines.push_back(SourceLine{std::move(where), std::move(*text)});
  }
  return lines;
}

// A text in quotes for a message (built by appending: GCC 12 warns falsely on
// a literal + temporary string at -O2).
std::string Quoted(std::u16string_view text) {
  std::string s(1, '"');
  s += Utf16ToUtf8(text);
  s += '"';
  return s;
}

std::vector<std::string> Fields(std::u16string_view line) {
  std::istringstream in(Utf16ToUtf8(line));
  std::vector<std::string> fields;
  std::string f;
  while (in >> f) fields.push_back(f);
  return fields;
}

}  // namespace

std::optional<LanguageFileContent> BuildLanguageFile(const FileReader& read,
                                                     std::vector<std::string>& errorOut) {
  ErrorList errors(errorOut);
  LanguageFileContent content;

  std::set<std::u16string> originals;
  for (auto& line : ReadLines(read, "originals.txt", errors)) {
    if (line.text.find(u'=') != std::u16string::npos) {
      errors.Add(line.where, "an original holding \"=\" cannot be translated");
    } else if (!originals.insert(line.text).second) {
      errors.Add(line.where, "listed twice");
    } else {
      content.originals.push_back(line.text);
    }
  }

  std::set<std::string> ids;
  for (auto& entry : ReadLines(read, "languages.txt", errors)) {
    auto f = Fields(entry.text);
    if (f.size() != 3 || (f[2] != "complete" && f[2] != "partial")) {
      errors.Add(entry.where, "expected \"<ID> <table file> complete|partial\"");
      continue;
    }
    std::string folded = f[0];
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!ids.insert(folded).second) {
      errors.Add(entry.where, "language " + f[0] + " listed twice");
      continue;
    }
    LanguageBlock block;
    block.id = *Utf8ToUtf16(f[0]);
    std::set<std::u16string> translated;
    for (auto& line : ReadLines(read, f[1], errors)) {
      auto eq = line.text.find(u'=');
      if (eq == std::u16string::npos || eq == 0) {
        errors.Add(line.where, "expected \"original=translation\"");
        continue;
      }
      std::u16string key = line.text.substr(0, eq);
      if (!originals.count(key)) {
        errors.Add(line.where, Quoted(key) + " is not in originals.txt");
      } else if (eq + 1 == line.text.size()) {
        errors.Add(line.where, "empty translation");
      } else if (!translated.insert(key).second) {
        errors.Add(line.where, Quoted(key) + " translated twice");
      } else {
        block.lines.push_back(line.text);
      }
    }
    if (f[2] == "complete") {
      for (const auto& original : content.originals)
        if (!translated.count(original))
          errors.Add(f[1], "no translation of " + Quoted(original));
    }
    content.languages.push_back(std::move(block));
  }

  if (errors.Any()) return std::nullopt;
  return content;
}

}  // namespace quarn::langtool
