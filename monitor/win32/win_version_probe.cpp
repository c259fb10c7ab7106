// QueryWindowsVersion over the Win32 version functions.
#include <windows.h>

#include "windows_version.h"
#include "wide.h"

namespace {

class WinVersionProbe final : public quarn::WindowsVersionProbe {
 public:
  WinVersionProbe() {
    info_.dwOSVersionInfoSize = sizeof info_;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info_))) info_ = {};
#pragma GCC diagnostic pop
  }
  std::uint32_t PlatformId() override { return info_.dwPlatformId; }
  std::uint32_t MajorVersion() override { return info_.dwMajorVersion; }
  std::uint32_t MinorVersion() override { return info_.dwMinorVersion; }
  std::u16string ServicePack() override {
    return quarn::FromWide(std::wstring_view(info_.szCSDVersion,
                                             wcsnlen(info_.szCSDVersion, 128)));
  }
  bool IsServerR2() override { return GetSystemMetrics(SM_SERVERR2) != 0; }
  std::uint16_t NativeArchitecture() override {
    using Fn = void(WINAPI*)(LPSYSTEM_INFO);
    HMODULE kernel = GetModuleHandleW(L"KERNEL32.DLL");
    if (kernel == nullptr) kernel = LoadLibraryW(L"KERNEL32.DLL");
    if (kernel == nullptr) return 0;
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")));
    if (fn == nullptr) return 0;
    SYSTEM_INFO si{};
    fn(&si);
    return si.wProcessorArchitecture;
  }
  std::optional<std::uint8_t> ProductType() override {
    OSVERSIONINFOEXW ex{};
    ex.dwOSVersionInfoSize = sizeof ex;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&ex))) return std::nullopt;
#pragma GCC diagnostic pop
    return ex.wProductType;
  }

 private:
  OSVERSIONINFOEXW info_{};
};

}  // namespace

TWindowsVersion QueryWindowsVersion() {
  WinVersionProbe probe;
  return quarn::ClassifyWindowsVersion(probe);
}
