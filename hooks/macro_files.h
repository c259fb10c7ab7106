// Macro files: one ".macro" file holds the 892 raw bytes of one macro record
// and is named after the macro. These functions read and write them through a
// FileStore and decide which macro names are safe as file names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "macro_records.h"
#include "stores.h"

namespace quarn {

inline constexpr std::u16string_view kMacroFileExtension = u".macro";

// Whether `name` can be used as a file name inside the macro folder without
// leaving it or naming a device: not empty, not "." or "..", no path
// separators, drive colons, wildcards, quotes, angle brackets, pipes or
// control characters, and no reserved device name (CON, NUL, COM1...) as the
// part before the first dot.
bool IsSafeMacroFileName(std::u16string_view name);

// Copies the first min(size, 892) bytes over `record`; a shorter file leaves
// the rest of the record as it was.
void ReadMacroRecord(const std::uint8_t* data, std::size_t size, TMACROKEYINFO& record);

// Reads a macro file over `record`. False, with the record untouched, when the
// file is missing or cannot be read.
bool LoadMacroFile(FileStore& files, std::u16string_view path, TMACROKEYINFO& record);

// Writes the first nMacroInfoCount macros (at most 21) into `folder`, one file
// each, named folder + "\" + name + ".macro". The folder (one level) is created
// when missing. An empty folder path, a folder that cannot be created, a macro
// whose name is not safe, or a failed write makes the result false; the other
// macros are still written.
bool SaveMacroFiles(FileStore& files, const TMACROKEYINFOLIST& list, std::u16string_view folder);

}  // namespace quarn
