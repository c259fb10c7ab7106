// Starting a stored program the way the monitor does: the shell verb "open"
// on the file itself, no parameters, the file's folder as working folder,
// shown normally, and never a modal error box.
#pragma once

#include <string>

namespace quarn {

// False when the shell could not start it.
bool OpenProgram(const std::u16string& path);
// True for an existing file (not a folder).
bool FileExists(const std::u16string& path);

}  // namespace quarn
