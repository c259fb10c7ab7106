// The registry store over the Win32 registry API.
#pragma once

#include "../stores.h"

namespace quarn {

class WinRegistryStore final : public RegistryStore {
 public:
  StoreStatus ReadBinary(RegRoot root, std::u16string_view key, std::u16string_view name,
                         std::vector<std::uint8_t>& data) override;
  bool WriteBinary(RegRoot root, std::u16string_view key, std::u16string_view name,
                   const std::uint8_t* data, std::size_t size) override;
};

}  // namespace quarn
