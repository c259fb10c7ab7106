// One language's translation table: lines that join an original (the text as
// designed in English) and its translation with "=". The lines are kept sorted
// by code unit, each identical line once; a line's key is its text before the
// first "=", and a line without a key is not kept.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarn {

class TranslationTable {
 public:
  TranslationTable() = default;
  // Sorts the lines, keeps each once and drops lines without a key ("text"
  // without "=", "=text", empty lines).
  explicit TranslationTable(std::vector<std::u16string> lines);

  // The translation of the first line, in sorted order, whose key equals `key`
  // exactly (letter case significant); nothing when no line has that key. The
  // translation may be empty. An original that holds "=" has no line.
  std::optional<std::u16string_view> Find(std::u16string_view key) const;

  // The text to show for `text`: empty for an empty text; the translation when
  // there is one and it is not empty; otherwise the text itself.
  std::u16string Translate(std::u16string_view text) const;

  const std::vector<std::u16string>& Lines() const { return lines_; }

 private:
  std::vector<std::u16string> lines_;
};

}  // namespace quarn
