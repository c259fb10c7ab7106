// Macro files through the real file store: the folder is created, each macro
// is one 892-byte file named after it that reads back byte for byte, and
// names that would leave the folder write nothing anywhere.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "macro_files.h"
#include "macro_test_helpers.h"
#include "vn_macro.h"
#include "wide.h"
#include "win_file_store.h"

namespace {

using namespace quarn::testing;

// A fresh folder under the temporary folder; the macro folder inside it does not exist yet.
std::u16string FreshFolder() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetTempPathW(MAX_PATH, buf);
  std::u16string dir = quarn::FromWide(std::wstring_view(buf, n)) + u"quarn-macro-test-" +
                       quarn::FromWide(std::to_wstring(GetCurrentProcessId()));
  CreateDirectoryW(quarn::ToWide(dir).c_str(), nullptr);
  return dir;
}

std::vector<std::u16string> FilesIn(const std::u16string& folder) {
  std::vector<std::u16string> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(quarn::ToWide(folder + u"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::u16string name = quarn::FromWide(fd.cFileName);
    if (name != u"." && name != u"..") names.push_back(name);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return names;
}

TEST(WinMacroFiles, RoundTripThroughTheRealFileStore) {
  const std::u16string base = FreshFolder();
  const std::u16string folder = base + u"\\Macros";
  auto list = MacroList(0);
  list->MacroInfos[0] = Macro({Down('A'), Delay(120), Up('A')}, u"Jump");
  list->MacroInfos[0].Version = MACRO_FORMAT_VERSION;
  list->MacroInfos[0].nLoopCount = 2;
  list->MacroInfos[1] = Macro({MouseDown(1), MouseUp(1)}, u"\u00e9t\u00e9 \u4e2d");
  list->nMacroInfoCount = 2;

  quarn::WinFileStore files;
  ASSERT_TRUE(TvnMacroClass::SaveMacroKeyInfoListToMacroFiles(files, *list, folder));
  auto names = FilesIn(folder);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Jump.macro", u"\u00e9t\u00e9 \u4e2d.macro"}))
      << "one file per macro, no temporary file left";

  for (int i = 0; i < 2; ++i) {
    const std::u16string path =
        folder + u"\\" + quarn::ReadText(list->MacroInfos[i].szMacroName) + u".macro";
    WIN32_FILE_ATTRIBUTE_DATA attr{};
    ASSERT_TRUE(GetFileAttributesExW(quarn::ToWide(path).c_str(), GetFileExInfoStandard, &attr));
    EXPECT_EQ(attr.nFileSizeLow, 892u);
    TMACROKEYINFO back{};
    ASSERT_TRUE(TvnMacroClass::LoadMacroFromFile(files, path, back));
    EXPECT_EQ(RawBytes(back), RawBytes(list->MacroInfos[i]));
  }

  // Written again: the files are replaced whole.
  list->MacroInfos[0].nLoopCount = 9;
  ASSERT_TRUE(TvnMacroClass::SaveMacroKeyInfoListToMacroFiles(files, *list, folder + u"\\"));
  TMACROKEYINFO back{};
  ASSERT_TRUE(TvnMacroClass::LoadMacroFromFile(files, folder + u"\\Jump.macro", back));
  EXPECT_EQ(back.nLoopCount, 9);
  EXPECT_FALSE(TvnMacroClass::LoadMacroFromFile(files, folder + u"\\absent.macro", back));
}

TEST(WinMacroFiles, NamesThatWouldLeaveTheFolderWriteNothing) {
  const std::u16string base = FreshFolder() + u"\\hostile";
  CreateDirectoryW(quarn::ToWide(base).c_str(), nullptr);
  const std::u16string folder = base + u"\\Macros";
  quarn::WinFileStore files;
  const char16_t* hostile[] = {u"..\\escaped", u"../escaped", u"..",
                               u"sub\\inner",  u"C:escaped",  u"NUL",
                               u"CON.txt",     u"what?",      u""};
  for (const char16_t* name : hostile) {
    auto list = MacroList(0);
    list->MacroInfos[0] = Macro({Down('A')}, name);
    list->nMacroInfoCount = 1;
    EXPECT_FALSE(TvnMacroClass::SaveMacroKeyInfoListToMacroFiles(files, *list, folder));
  }
  EXPECT_TRUE(FilesIn(folder).empty());
  EXPECT_EQ(FilesIn(base), (std::vector<std::u16string>{u"Macros"})) << "nothing beside the folder";
}

TEST(WinMacroFiles, AFolderThatCannotBeCreatedIsAFailure) {
  quarn::WinFileStore files;
  auto list = MacroList(1);
  const std::u16string base = FreshFolder();
  EXPECT_FALSE(
      TvnMacroClass::SaveMacroKeyInfoListToMacroFiles(files, *list, base + u"\\no\\such\\Macros"));
  // A file standing where the folder should be.
  const std::u16string blocker = base + u"\\blocker";
  const std::uint8_t byte = 0;
  ASSERT_TRUE(files.WriteWholeFile(blocker, &byte, 1));
  EXPECT_FALSE(TvnMacroClass::SaveMacroKeyInfoListToMacroFiles(files, *list, blocker));
}

}  // namespace
