// The preset profile shipped beside the programs ("ZDPresetProfile1.pfd"): the
// factory defaults of a profile, as an ordinary profile file.
#pragma once

#include <cstdint>
#include <vector>

namespace quarn {

// The bytes of the preset profile file: one whole profile record.
std::vector<std::uint8_t> PresetProfileBytes();

}  // namespace quarn
