// The full path of the running program's executable file.
#pragma once

#include <string>

namespace quarn {

// Empty when the system cannot give it.
std::u16string ExecutableFilePath();

}  // namespace quarn
