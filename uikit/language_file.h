// The language file `vn.local`: the original texts, then one block per language
// holding its ID and its translation table ("original=translation" lines).
// Every text is a signed 32-bit count of UTF-16 code units followed by the
// units in little-endian order; a list of lines is one text with CR LF after
// every line. All integers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarn {

struct LanguageBlock {
  std::u16string id;                  // e.g. "0409"
  std::vector<std::u16string> lines;  // "original=translation", in file order
};

// The file's content as stored: lines in file order, nothing sorted or dropped.
struct LanguageFileContent {
  std::vector<std::u16string> originals;
  std::vector<LanguageBlock> languages;  // in file order, duplicates kept
};

// Splits a text into lines at CR LF (one break), CR, LF, vertical tab, form
// feed, U+2028 and U+2029. A final break gives no empty last line, so "" and
// "a\r\n" hold zero and one line.
std::vector<std::u16string> SplitLines(std::u16string_view text);

// Every line followed by CR LF.
std::u16string JoinLines(const std::vector<std::u16string>& lines);

// True when a text holds one of the breaks SplitLines splits at.
bool HasLineBreak(std::u16string_view text);

// Reads a language file. The bytes are untrusted: every length and count is
// checked against the bytes that remain, and a damaged file (truncated, a
// negative or oversized length, a count the bytes cannot hold, bytes after the
// last block, more than kMaxStoredBlobSize bytes) gives nothing at all.
// A language count of 0 (originals only) is a valid file.
std::optional<LanguageFileContent> ReadLanguageFile(const std::uint8_t* data, std::size_t size);

// Writes the layout ReadLanguageFile reads. Gives nothing when the result would
// be refused by the reader (larger than kMaxStoredBlobSize).
std::optional<std::vector<std::uint8_t>> WriteLanguageFile(const LanguageFileContent& content);

}  // namespace quarn
