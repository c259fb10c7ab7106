#include "windows_version.h"

namespace quarn {
namespace {

constexpr std::uint32_t kPlatformWin9x = 1;
constexpr std::uint32_t kPlatformNT = 2;
constexpr std::uint8_t kWorkstation = 1;

std::u16string Trimmed(std::u16string s) {
  while (!s.empty() && s.front() == u' ') s.erase(s.begin());
  while (!s.empty() && s.back() == u' ') s.pop_back();
  return s;
}

}  // namespace

TWindowsVersion ClassifyWindowsVersion(WindowsVersionProbe& probe) {
  const std::uint32_t platform = probe.PlatformId();
  const std::uint32_t major = probe.MajorVersion();
  const std::uint32_t minor = probe.MinorVersion();
  auto workstation = [&probe] { return probe.ProductType() == kWorkstation; };

  if (platform == kPlatformWin9x) {
    const std::u16string csd = Trimmed(probe.ServicePack());
    if (minor < 10) return (csd == u"B" || csd == u"C") ? wvWin95OSR2 : wvWin95;
    if (minor < 90) return (csd == u"A" || csd == u"B") ? wvWin98SE : wvWin98;
    if (minor == 90) return wvWinME;
    return wvUnknown;
  }
  if (platform != kPlatformNT) return wvUnknown;
  switch (major) {
    case 3:
      if (minor == 1) return wvWinNT31;
      if (minor == 5) return wvWinNT35;
      if (minor == 51) return wvWinNT351;
      return wvUnknown;
    case 4:
      return wvWinNT4;
    case 5:
      if (minor == 0) return wvWin2000;
      if (minor == 1) return wvWinXP;
      if (minor == 2) {
        const std::uint16_t arch = probe.NativeArchitecture();
        if (probe.IsServerR2()) return wvWin2003R2;
        if (arch != 0 && workstation()) return wvWinXP64;
        return wvWin2003;
      }
      return wvUnknown;
    case 6:
      if (minor == 0) return workstation() ? wvWinVista : wvWinServer2008;
      if (minor == 1) return workstation() ? wvWin7 : wvWinServer2008R2;
      if (minor == 2) return workstation() ? wvWin8 : wvWinServer2012R2;
      return wvUnknown;
    default:
      return wvUnknown;
  }
}

}  // namespace quarn
