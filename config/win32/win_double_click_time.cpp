#include "win_double_click_time.h"

#include <windows.h>

namespace quarn {

bool WinDoubleClickTime::SetDoubleClickTime(std::uint32_t ms) {
  return ::SetDoubleClickTime(ms) != FALSE;
}

}  // namespace quarn
