// Settings of the installation read from config.ini and held in memory by the
// profile data module. Never stored: a profile carries 36 zero bytes in its place.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct TOtherConfig {
  std::int32_t ShowNumLock = 0;
  std::int32_t ShowCapsLock = 0;
  std::int32_t ShowScrollLock = 0;
  std::int32_t ShowLockStatePop = 0;
  std::vector<std::pair<std::u16string, std::u16string>> HelpFile;  // name=value lines
  std::int32_t Nologo = 0;
  std::u16string ProductWebSite;
  std::u16string SupportWebSite;
  std::u16string UpgradeWebSite;
};
