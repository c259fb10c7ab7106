// The Windows double-click time, set for the user at once.
#pragma once

#include "page_edits.h"

namespace quarn {

class WinDoubleClickTime final : public DoubleClickTimeSetter {
 public:
  bool SetDoubleClickTime(std::uint32_t ms) override;
};

}  // namespace quarn
