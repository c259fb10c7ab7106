// The INI reader over arbitrary bytes: every section the text names is looked
// up, and what the reader gives back must follow its own rules (each key once,
// trimmed, found again with another letter case, integers read back as written).
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "ini_file.h"

namespace {

using quarn::EqualsIgnoreCase;
using quarn::IniFile;

std::u16string SwapAsciiCase(std::u16string s) {
  for (auto& c : s) {
    if (c >= u'a' && c <= u'z')
      c = static_cast<char16_t>(c - 32);
    else if (c >= u'A' && c <= u'Z')
      c = static_cast<char16_t>(c + 32);
  }
  return s;
}

bool IsTrimSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == 0xFEFF;
}

// Section names as the bytes spell them in ASCII, plus names every file may hold.
std::vector<std::u16string> SectionNames(const std::uint8_t* data, std::size_t size) {
  std::vector<std::u16string> names = {u"", u"DEVICE", u"HelpFiles", u"devicelist"};
  for (std::size_t i = 0; i < size && names.size() < 64; ++i) {
    if (data[i] != '[') continue;
    std::u16string name;
    std::size_t j = i + 1;
    for (; j < size && data[j] != ']' && data[j] != '\n' && name.size() < 64; ++j)
      name.push_back(data[j]);
    while (!name.empty() && IsTrimSpace(name.back())) name.pop_back();
    while (!name.empty() && IsTrimSpace(name.front())) name.erase(name.begin());
    names.push_back(name);
  }
  return names;
}

void CheckSection(const IniFile& ini, const std::u16string& section) {
  const auto keys = ini.Keys(section);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::u16string& key = keys[i];
    QUARN_FUZZ_CHECK(!key.empty());
    QUARN_FUZZ_CHECK(!IsTrimSpace(key.front()) && !IsTrimSpace(key.back()));
    QUARN_FUZZ_CHECK(key.find(u'\n') == std::u16string::npos);
    QUARN_FUZZ_CHECK(key.find(u'=') == std::u16string::npos);
    for (std::size_t j = i + 1; j < keys.size(); ++j)
      QUARN_FUZZ_CHECK(!EqualsIgnoreCase(key, keys[j]));

    const auto value = ini.Find(section, key);
    QUARN_FUZZ_CHECK(value.has_value());
    QUARN_FUZZ_CHECK(value->find(u'\n') == std::u16string::npos);
    QUARN_FUZZ_CHECK(ini.Find(SwapAsciiCase(section), SwapAsciiCase(key)) == value);
    QUARN_FUZZ_CHECK(ini.ReadString(section, key, u"\x1") == *value);

    const auto number = quarn::ParseInteger(*value);
    QUARN_FUZZ_CHECK(ini.ReadInteger(section, key, 12345) == (number ? *number : 12345));
    if (number) {
      const std::string dec = std::to_string(*number);
      QUARN_FUZZ_CHECK(quarn::ParseInteger(std::u16string(dec.begin(), dec.end())) == number);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  const IniFile ini = IniFile::Parse(bytes);
  for (const auto& section : SectionNames(data, size)) CheckSection(ini, section);
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  using quarn::fuzz::AsciiBytes;
  using quarn::fuzz::Utf16Bytes;
  std::vector<std::vector<std::uint8_t>> seeds = {
      AsciiBytes(
          "[DEVICE]\r\nWHQL=1\r\nX32WHQL=0x10\r\nUpperFilter=$FF\r\nname = \" quoted \"\r\n"),
      AsciiBytes("; comment\n[a]\nk=1\nK=2\n[A]\nk=3\n[b\nx=-2147483648\ny=4294967295\n"),
      AsciiBytes("[s]\n=novalue\nnokey\n  k  =  v  \r\n[ s2 ]\r\nk='x'\r\nk2=\"\r\n"),
      AsciiBytes("\xEF\xBB\xBF[utf8]\nk=\xC3\xA9\xE4\xB8\xAD\n"),
      AsciiBytes("[latin]\nk=\xE9\xC0\xFF\n[\xC9]\n\xC9=1\n"),
      AsciiBytes("[cut]\nk=\xE4\xB8"),
      AsciiBytes("[n]\na=+12\nb=-0x10\nc=$\nd=0x\ne=99999999999\nf=12a\n"),
  };
  auto utf16 = Utf16Bytes(u"[W]\r\nkey=\u4E2D\u6587\r\n[w]\r\nkey=2\r\n");
  utf16.insert(utf16.begin(), {0xFF, 0xFE});
  seeds.push_back(utf16);
  auto odd = utf16;
  odd.push_back(0x41);  // an odd byte count
  seeds.push_back(odd);
  return seeds;
}
