// Classification of the running Windows into one TWindowsVersion value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

enum TWindowsVersion : std::uint8_t {
  wvUnknown,
  wvWin95,
  wvWin95OSR2,
  wvWin98,
  wvWin98SE,
  wvWinME,
  wvWinNT31,
  wvWinNT35,
  wvWinNT351,
  wvWinNT4,
  wvWin2000,
  wvWinXP,
  wvWin2003,
  wvWinXP64,
  wvWin2003R2,
  wvWinVista,
  wvWinServer2008,
  wvWin7,
  wvWin8,
  wvWinServer2008R2,
  wvWinServer2012R2,
};

namespace quarn {

// The system as Windows reports it at start-up, and the three queries the
// classification makes when it needs them.
class WindowsVersionProbe {
 public:
  virtual ~WindowsVersionProbe() = default;
  virtual std::uint32_t PlatformId() = 0;
  virtual std::uint32_t MajorVersion() = 0;
  virtual std::uint32_t MinorVersion() = 0;
  virtual std::u16string ServicePack() = 0;
  // GetSystemMetrics(SM_SERVERR2) is not 0.
  virtual bool IsServerR2() = 0;
  // Native processor architecture; 0 (x86) when the system cannot tell.
  virtual std::uint16_t NativeArchitecture() = 0;
  // The product type of the extended version record; nothing when it cannot be read.
  virtual std::optional<std::uint8_t> ProductType() = 0;
};

TWindowsVersion ClassifyWindowsVersion(WindowsVersionProbe& probe);

}  // namespace quarn

// The running Windows (Win32 builds only).
TWindowsVersion QueryWindowsVersion();
