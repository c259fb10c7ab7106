// Which addresses the program hands to the browser: plain http:// and
// https:// addresses with a host, nothing a shell would run as a program.
#pragma once

#include <string_view>

namespace quarn {

inline constexpr std::size_t kMaxWebAddress = 2048;

// True for "http://host..." or "https://host..." (scheme in any case) with a
// non-empty host, no blanks, control characters or quotes, and at most
// kMaxWebAddress units.
bool IsWebAddress(std::u16string_view address);

}  // namespace quarn
