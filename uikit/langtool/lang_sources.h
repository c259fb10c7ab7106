// The readable sources of the language file, as kept in the repository, and
// their conversion into the file's content.
//
// A folder holds:
//   languages.txt   one language per line, in file order: "<ID> <table file> complete|partial"
//   originals.txt   one original (the English text as designed) per line
//   <table file>    one "original=translation" line per translated text
// All are UTF-8. Empty lines and lines starting with "#" are comments. A
// "complete" language must translate every original.
#pragma once

#include "utf8.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "language_file.h"

namespace quarn::langtool {

// Strict UTF-8 decoding (no overlong forms, surrogates or values past
// U+10FFFF); nothing for invalid input.
using quarn::Utf8ToUtf16;
// For messages; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// Reads the file named by a source folder entry; nothing when it cannot be read.
using FileReader = std::function<std::optional<std::string>(const std::string& name)>;

// The language file content built from a source folder. Every fault found is
// appended to `errors` as "file:line: message", and then nothing is returned.
std::optional<LanguageFileContent> BuildLanguageFile(const FileReader& read,
                                                     std::vector<std::string>& errors);

}  // namespace quarn::langtool
