// config.ini as the programs read it: loaded from the program's folder through
// the file store (readable, unreadable or missing), then every reader of its
// sections. The lists stay bounded and hold no empty entries.
#include <string>
#include <vector>

#include "config_ini.h"
#include "fuzz_input.h"
#include "memory_stores.h"

namespace {

constexpr std::u16string_view kFolder = u"C:\\Program Files\\QUARN";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quarn::fuzz::FuzzInput in(data, size);
  const std::uint8_t mode = in.U8();
  quarn::testing::MemoryFileStore files;
  const std::u16string path = std::u16string(kFolder) + u"\\config.ini";
  if (mode % 4 == 1) files.unreadable.insert(quarn::testing::Fold(path));
  if (mode % 4 != 2) files.files[quarn::testing::Fold(path)] = in.Rest();

  const quarn::IniFile ini = quarn::LoadConfigIni(files, mode % 4 == 3 ? u"" : kFolder);
  for (std::u16string_view section : {u"IncludeHIDDeviceList", u"devicelist", u"usbdevicelist"}) {
    const auto ids = quarn::ReadIdList(ini, section);
    QUARN_FUZZ_CHECK(ids.size() <= static_cast<std::size_t>(quarn::kMaxIdListEntries));
    for (const auto& id : ids) QUARN_FUZZ_CHECK(!id.empty());
  }
  const bool english = quarn::ReadAllwaysEnglish(ini);
  QUARN_FUZZ_CHECK(english == (ini.ReadInteger(u"LanguageOptions", u"AllwaysEnglish", 0) == 1));
  const auto driver = quarn::ReadDriverPackageConfig(ini);
  QUARN_FUZZ_CHECK(driver.WHQL == ini.ReadInteger(u"DEVICE", u"WHQL", 0));

  TOtherConfig other;
  LoadOtherConfig(ini, other);
  QUARN_FUZZ_CHECK(other.HelpFile.size() <= ini.Keys(u"HelpFiles").size());
  for (const auto& [name, value] : other.HelpFile)
    QUARN_FUZZ_CHECK(!name.empty() && !value.empty());
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  using quarn::fuzz::AsciiBytes;
  auto file = [](std::uint8_t mode, std::string_view text) {
    auto b = AsciiBytes(text);
    b.insert(b.begin(), mode);
    return b;
  };
  std::string ids = "[devicelist]\r\n";
  for (int i = 1; i <= 103; ++i)
    ids += "id" + std::to_string(i) + "=HID\\VID_1&PID_" + std::to_string(i) + "\r\n";
  return {
      file(0, "[IncludeHIDDeviceList]\r\nid1=HID\\VID_0000&PID_0001\r\nid2=\r\nid3=x\r\n"),
      file(0, ids),
      file(0, "[LanguageOptions]\r\nAllwaysEnglish=1\r\n[OtherConfig]\r\nNoLogo=0x1\r\n"),
      file(0,
           "[HelpFiles]\r\n0409=help.chm\r\n0804=\r\n0409=dup.chm\r\n[Websites]\r\n"
           "ProductWebSite=\"http://example.invalid/\"\r\n"),
      file(0, "[DEVICE]\r\nInfFileName=a.inf\r\nWHQL=-1\r\nX32WHQL=$7FFFFFFF\r\nUpperFilter=1\r\n"),
      file(1, "[DEVICE]\r\nWHQL=1\r\n"),
      file(2, ""),
      file(3, "[DEVICE]\r\nWHQL=1\r\n"),
  };
}
