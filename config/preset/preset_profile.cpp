#include "preset_profile.h"

#include <cstring>
#include <memory>

#include "profile_defaults.h"
#include "profile_records.h"
#include "text_field.h"

namespace quarn {

std::vector<std::uint8_t> PresetProfileBytes() {
  auto p = std::make_unique<TMouseProfileInfo>();
  std::memset(p.get(), 0, sizeof *p);
  RestoreProfileDefaults(*p);
  WriteText(p->ProfileHeader.FFileName, u"ZDPresetProfile1.pfd");
  const auto* b = reinterpret_cast<const std::uint8_t*>(p.get());
  return std::vector<std::uint8_t>(b, b + sizeof *p);
}

}  // namespace quarn
