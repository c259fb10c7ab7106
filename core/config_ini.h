// config.ini, the installation's settings file beside the executables: read by
// both programs, written by neither. A missing file, section or key gives the
// defaults below.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ini_file.h"
#include "other_config.h"
#include "stores.h"

namespace quarn {

inline constexpr std::u16string_view kConfigIniName = u"config.ini";
inline constexpr int kMaxIdListEntries = 101;

// Reads "<programFolder>\config.ini"; an unreadable or missing file is an empty one.
IniFile LoadConfigIni(FileStore& files, std::u16string_view programFolder);

// Hardware IDs from keys "id1", "id2", ... up to "id101"; the first empty or
// missing key ends the list. Sections IncludeHIDDeviceList, devicelist, usbdevicelist.
std::vector<std::u16string> ReadIdList(const IniFile& ini, std::u16string_view section);

// [LanguageOptions] AllwaysEnglish: only exactly 1 forces English.
bool ReadAllwaysEnglish(const IniFile& ini);

// The filter driver package named in [DEVICE].
struct DriverPackageConfig {
  std::u16string InfFileName;
  std::u16string FileName;
  std::u16string ServiceName;
  std::u16string ServiceNamex86;
  std::u16string ServiceNamex64;
  std::u16string DeviceName;
  std::int32_t WHQL = 0;
  std::int32_t X32WHQL = 0;
  std::int32_t UpperFilter = 0;
};
DriverPackageConfig ReadDriverPackageConfig(const IniFile& ini);

}  // namespace quarn

// Fills the in-memory settings from [OtherConfig], [HelpFiles] and [Websites].
void LoadOtherConfig(const quarn::IniFile& ini, TOtherConfig& AOtherConfig);
