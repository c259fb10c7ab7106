#include "config_ini.h"

namespace quarn {

IniFile LoadConfigIni(FileStore& files, std::u16string_view programFolder) {
  if (programFolder.empty()) return IniFile{};
  std::vector<std::uint8_t> bytes;
  if (files.ReadWholeFile(WithTrailingBackslash(programFolder) + std::u16string(kConfigIniName),
                          bytes) != StoreStatus::Ok)
    return IniFile{};
  return IniFile::Parse(bytes);
}

std::vector<std::u16string> ReadIdList(const IniFile& ini, std::u16string_view section) {
  std::vector<std::u16string> ids;
  for (int n = 1; n <= kMaxIdListEntries; ++n) {
    std::string key = "id" + std::to_string(n);
    auto value = ini.ReadString(section, std::u16string(key.begin(), key.end()), u"");
    if (value.empty()) break;
    ids.push_back(std::move(value));
  }
  return ids;
}

bool ReadAllwaysEnglish(const IniFile& ini) {
  return ini.ReadInteger(u"LanguageOptions", u"AllwaysEnglish", 0) == 1;
}

DriverPackageConfig ReadDriverPackageConfig(const IniFile& ini) {
  DriverPackageConfig c;
  c.InfFileName = ini.ReadString(u"DEVICE", u"InfFileName", u"tavoflt00001.inf");
  c.FileName = ini.ReadString(u"DEVICE", u"FileName", u"tavoflt00001.sys");
  c.ServiceName = ini.ReadString(u"DEVICE", u"ServiceName", u"tavoflt00001");
  c.ServiceNamex86 = ini.ReadString(u"DEVICE", u"ServiceNamex86", u"tavoflt00001");
  c.ServiceNamex64 = ini.ReadString(u"DEVICE", u"ServiceNamex64", u"tavoflt00001");
  c.DeviceName = ini.ReadString(u"DEVICE", u"DeviceName", u"tavoflt00001");
  c.WHQL = ini.ReadInteger(u"DEVICE", u"WHQL", 0);
  c.X32WHQL = ini.ReadInteger(u"DEVICE", u"X32WHQL", 0);
  c.UpperFilter = ini.ReadInteger(u"DEVICE", u"UpperFilter", 0);
  return c;
}

}  // namespace quarn

void LoadOtherConfig(const quarn::IniFile& ini, TOtherConfig& AOtherConfig) {
  AOtherConfig.Nologo = ini.ReadInteger(u"OtherConfig", u"NoLogo", 0);
  AOtherConfig.HelpFile.clear();
  for (const auto& key : ini.Keys(u"HelpFiles")) {
    auto value = ini.ReadString(u"HelpFiles", key, u"");
    if (!value.empty()) AOtherConfig.HelpFile.emplace_back(key, std::move(value));
  }
  AOtherConfig.ProductWebSite = ini.ReadString(u"Websites", u"ProductWebSite", u"");
  AOtherConfig.SupportWebSite = ini.ReadString(u"Websites", u"SupportWebSite", u"");
  AOtherConfig.UpgradeWebSite = ini.ReadString(u"Websites", u"UpgradeWebSite", u"");
}
