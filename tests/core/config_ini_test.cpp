#include "config_ini.h"

#include <gtest/gtest.h>

#include "memory_stores.h"

namespace {

using quarn::IniFile;

std::vector<std::uint8_t> Utf8(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<std::uint8_t> Utf16(const std::u16string& s, bool bom = true) {
  std::vector<std::uint8_t> b;
  if (bom) b = {0xFF, 0xFE};
  for (char16_t c : s) {
    b.push_back(static_cast<std::uint8_t>(c));
    b.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return b;
}

TEST(IniFile, PrivateProfileRules) {
  const IniFile ini = IniFile::Parse(Utf8(
      "; comment\r\n"
      "orphan=1\r\n"
      "[Websites]\r\n"
      "  productwebsite  =  http://a.example/  \r\n"
      "SupportWebSite=\"  quoted  \"\r\n"
      "UpgradeWebSite='x'\r\n"
      "ProductWebSite=second\r\n"
      ";ProductWebSite=commented\r\n"
      "Odd=\"unbalanced\r\n"
      "NoEquals\r\n"
      "[websites]\r\n"
      "Extra=from a repeated section\r\n"
      "[ OtherConfig ]\r\n"
      "nologo=1\r\n"
      "Hex=0x10\r\n"
      "Dollar=$ff\r\n"
      "Neg=-3\r\n"
      "Junk=12abc\r\n"
      "Huge=99999999999\r\n"));
  struct Case { const char16_t *section, *key, *expected; };
  const Case strings[] = {
      {u"WEBSITES", u"ProductWebSite", u"http://a.example/"},  // case, trim, first wins
      {u"Websites", u"SupportWebSite", u"  quoted  "},          // one pair of quotes stripped
      {u"Websites", u"UpgradeWebSite", u"x"},
      {u"Websites", u"Odd", u"\"unbalanced"},
      {u"Websites", u"Extra", u"<missing>"},                    // first section wins
      {u"Websites", u"NoEquals", u"<missing>"},
      {u"", u"orphan", u"<missing>"},
      {u"Nowhere", u"x", u"<missing>"},
  };
  for (const auto& c : strings)
    EXPECT_EQ(ini.ReadString(c.section, c.key, u"<missing>"), c.expected)
        << std::string(c.key, c.key + std::char_traits<char16_t>::length(c.key)).c_str();
  EXPECT_EQ(ini.ReadInteger(u"OtherConfig", u"NoLogo", 0), 1);
  EXPECT_EQ(ini.ReadInteger(u"OtherConfig", u"Hex", 0), 16);
  EXPECT_EQ(ini.ReadInteger(u"OtherConfig", u"Dollar", 0), 255);
  EXPECT_EQ(ini.ReadInteger(u"OtherConfig", u"Neg", 0), -3);
  EXPECT_EQ(ini.ReadInteger(u"OtherConfig", u"Junk", 7), 7);
  EXPECT_EQ(ini.ReadInteger(u"OtherConfig", u"Huge", 7), 7);
  EXPECT_EQ(ini.ReadInteger(u"OtherConfig", u"Missing", 7), 7);
}

TEST(IniFile, ALargeFileKeepsEveryKeyInOrderAndTheFirstOfEachDuplicate) {
  constexpr int kKeys = 20000;
  std::string text = "[Big]\n";
  for (int i = 0; i < kKeys; ++i) text += "Key" + std::to_string(i) + "=v" + std::to_string(i) + "\n";
  for (int i = 0; i < kKeys; i += 7) text += "KEY" + std::to_string(i) + "=late\n";
  text += "[\xC3\x84rger]\n\xC3\x9C" "ber=1\n\xC3\xBC" "BER=2\n[BIG]\nKey1=other section\n";
  const IniFile ini = IniFile::Parse(Utf8(text));
  const auto keys = ini.Keys(u"big");
  ASSERT_EQ(keys.size(), static_cast<std::size_t>(kKeys));
  EXPECT_EQ(keys.front(), u"Key0");
  EXPECT_EQ(keys.back(), u"Key19999");
  for (int i : {0, 7, 13, 19999}) {
    const std::string n = std::to_string(i);
    const std::string expected = "v" + n;
    EXPECT_EQ(ini.ReadString(u"BIG", u"key" + std::u16string(n.begin(), n.end()), u""),
              std::u16string(expected.begin(), expected.end()))
        << i << ": the first of duplicated keys";
  }
  EXPECT_EQ(ini.ReadInteger(u"\u00e4RGER", u"\u00fcber", 0), 1) << "Latin-1 letters fold too";
}

TEST(IniFile, Encodings) {
  const std::u16string text = u"[Websites]\nProductWebSite=\u4E2D\u6587\u00E9\n";
  struct Case {
    const char* why;
    std::vector<std::uint8_t> bytes;
    std::u16string expected;
  };
  std::string utf8 = "[Websites]\nProductWebSite=\xE4\xB8\xAD\xE6\x96\x87\xC3\xA9\n";
  const Case cases[] = {
      {"UTF-16LE with BOM", Utf16(text), u"\u4E2D\u6587\u00E9"},
      {"UTF-8 with BOM", Utf8("\xEF\xBB\xBF" + utf8), u"\u4E2D\u6587\u00E9"},
      {"UTF-8 without BOM", Utf8(utf8), u"\u4E2D\u6587\u00E9"},
      {"ANSI bytes", Utf8("[Websites]\nProductWebSite=caf\xE9\n"), u"caf\u00E9"},
      {"odd trailing byte of UTF-16", [&] { auto b = Utf16(text); b.push_back(0x41); return b; }(),
       u"\u4E2D\u6587\u00E9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(IniFile::Parse(c.bytes).ReadString(u"Websites", u"ProductWebSite", u""), c.expected);
  }
}

TEST(ConfigIni, OddFilesGiveDefaults) {
  const std::vector<std::vector<std::uint8_t>> files = {
      {},
      Utf8("\x00\x01\x02 garbage \xFF\xFE\xFD"),
      Utf8("[DEVICE\nInfFileName"),
      Utf16(u"", true),
      std::vector<std::uint8_t>(5000, 0xFF),
  };
  for (const auto& bytes : files) {
    const IniFile ini = IniFile::Parse(bytes);
    TOtherConfig other;
    other.Nologo = 9;
    LoadOtherConfig(ini, other);
    EXPECT_EQ(other.Nologo, 0);
    EXPECT_TRUE(other.HelpFile.empty());
    EXPECT_TRUE(other.UpgradeWebSite.empty());
    EXPECT_FALSE(quarn::ReadAllwaysEnglish(ini));
    EXPECT_TRUE(quarn::ReadIdList(ini, u"IncludeHIDDeviceList").empty());
    auto device = quarn::ReadDriverPackageConfig(ini);
    EXPECT_EQ(device.InfFileName, u"tavoflt00001.inf");
    EXPECT_EQ(device.FileName, u"tavoflt00001.sys");
    EXPECT_EQ(device.ServiceName, u"tavoflt00001");
    EXPECT_EQ(device.ServiceNamex86, u"tavoflt00001");
    EXPECT_EQ(device.ServiceNamex64, u"tavoflt00001");
    EXPECT_EQ(device.DeviceName, u"tavoflt00001");
    EXPECT_EQ(device.WHQL + device.X32WHQL + device.UpperFilter, 0);
  }
}

TEST(ConfigIni, SectionsAndKeys) {
  std::string text =
      "[IncludeHIDDeviceList]\nid1=HID\\VID_1234&PID_0001\nid3=HID\\VID_1234&PID_0003\n"
      "[devicelist]\n";
  for (int i = 1; i <= 105; ++i) text += "ID" + std::to_string(i) + "=dev" + std::to_string(i) + "\n";
  text +=
      "[usbdevicelist]\nid1=\nid2=USB\\x\n"
      "[otherconfig]\nnologo=1\n"
      "[HelpFiles]\n0409=help_en.chm\n0804=\n0404=help_tw.chm\n0409=ignored duplicate\n"
      "[Websites]\nUpgradeWebSite=http://upgrade.example/\n"
      "[LanguageOptions]\nAllwaysEnglish=2\n"
      "[DEVICE]\nWHQL=1\nDeviceName=myflt\n";
  const IniFile ini = IniFile::Parse(Utf8(text));
  EXPECT_EQ(quarn::ReadIdList(ini, u"IncludeHIDDeviceList"),
            std::vector<std::u16string>{u"HID\\VID_1234&PID_0001"})
      << "a gap ends the list";
  auto devices = quarn::ReadIdList(ini, u"devicelist");
  ASSERT_EQ(devices.size(), 101u) << "at most 101 IDs";
  EXPECT_EQ(devices.back(), u"dev101");
  EXPECT_TRUE(quarn::ReadIdList(ini, u"usbdevicelist").empty()) << "an empty first value ends it";

  TOtherConfig other;
  LoadOtherConfig(ini, other);
  EXPECT_EQ(other.Nologo, 1);
  ASSERT_EQ(other.HelpFile.size(), 2u) << "a key without value adds no line";
  EXPECT_EQ(other.HelpFile[0], std::make_pair(std::u16string(u"0409"), std::u16string(u"help_en.chm")));
  EXPECT_EQ(other.HelpFile[1].first, u"0404");
  EXPECT_EQ(other.UpgradeWebSite, u"http://upgrade.example/");
  EXPECT_EQ(other.ShowNumLock + other.ShowCapsLock + other.ShowScrollLock + other.ShowLockStatePop, 0);
  EXPECT_FALSE(quarn::ReadAllwaysEnglish(ini)) << "only exactly 1 forces English";
  EXPECT_TRUE(quarn::ReadAllwaysEnglish(IniFile::Parse(Utf8("[languageoptions]\nallwaysenglish= 1\n"))));
  auto device = quarn::ReadDriverPackageConfig(ini);
  EXPECT_EQ(device.WHQL, 1);
  EXPECT_EQ(device.DeviceName, u"myflt");
  EXPECT_EQ(device.ServiceName, u"tavoflt00001");
}

TEST(ConfigIni, ReadFromTheProgramFolder) {
  quarn::testing::MemoryFileStore files;
  files.files[quarn::testing::Fold(u"C:\\App\\config.ini")] = Utf8("[OtherConfig]\nNoLogo=1\n");
  EXPECT_EQ(quarn::LoadConfigIni(files, u"C:\\App").ReadInteger(u"OtherConfig", u"NoLogo", 0), 1);
  EXPECT_EQ(quarn::LoadConfigIni(files, u"C:\\App\\").ReadInteger(u"OtherConfig", u"NoLogo", 0), 1);
  EXPECT_EQ(quarn::LoadConfigIni(files, u"C:\\Other").ReadInteger(u"OtherConfig", u"NoLogo", 0), 0);
  files.unreadable.insert(quarn::testing::Fold(u"C:\\App\\config.ini"));
  EXPECT_EQ(quarn::LoadConfigIni(files, u"C:\\App").ReadInteger(u"OtherConfig", u"NoLogo", 0), 0);
}

}  // namespace
