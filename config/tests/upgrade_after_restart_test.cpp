#include "upgrade_after_restart.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "ini_file.h"
#include "memory_stores.h"
#include "upgrade_list.h"
#include "web_address.h"

namespace {

using quarn::IniFile;
using quarn::ResolveInsideFolder;
using quarn::UpgradeAfterRestart;
using quarn::UpgradeList;
using quarn::UpgradeLog;
using quarn::testing::Fold;

const std::u16string D = u"C:\\Program Files\\QUARN";
const std::u16string kTime = u"2026/12/11 07:00:00";

std::vector<std::uint8_t> Utf8(std::string_view s) {
  return {s.begin(), s.end()};
}

// Files by full path; moves that can be made to fail.
class MemoryUpgradeFiles : public quarn::UpgradeFileSystem {
 public:
  bool FileExists(std::u16string_view path) override { return files.count(Fold(path)) > 0; }
  quarn::StoreStatus ReadWholeFile(std::u16string_view path,
                                   std::vector<std::uint8_t>& data) override {
    ++reads;
    if (unreadable.count(Fold(path))) return quarn::StoreStatus::Unreadable;
    auto it = files.find(Fold(path));
    if (it == files.end()) return quarn::StoreStatus::Missing;
    data = it->second;
    return quarn::StoreStatus::Ok;
  }
  bool WriteWholeFile(std::u16string_view path, const std::uint8_t* data,
                      std::size_t size) override {
    files[Fold(path)].assign(data, data + size);
    return true;
  }
  bool MoveReplacing(std::u16string_view from, std::u16string_view to) override {
    moves.push_back(std::u16string(from) + u" -> " + std::u16string(to));
    auto it = files.find(Fold(from));
    if (it == files.end() || stuck.count(Fold(to))) return false;
    auto bytes = std::move(it->second);
    files.erase(it);
    files[Fold(to)] = std::move(bytes);
    return true;
  }
  void Put(const std::u16string& path, std::string_view text) { files[Fold(path)] = Utf8(text); }
  std::optional<std::string> Text(const std::u16string& path) const {
    auto it = files.find(Fold(path));
    if (it == files.end()) return std::nullopt;
    return std::string(it->second.begin(), it->second.end());
  }
  std::map<std::u16string, std::vector<std::uint8_t>> files;
  std::set<std::u16string> stuck;  // destinations a move cannot replace
  std::set<std::u16string> unreadable;
  std::vector<std::u16string> moves;
  int reads = 0;
};

class RecordingRunner : public quarn::HiddenProgramRunner {
 public:
  void RunAndWait(std::u16string_view file, std::u16string_view params,
                  std::u16string_view folder) override {
    runs.push_back(std::u16string(file) + u"|" + std::u16string(params) + u"|" +
                   std::u16string(folder));
  }
  std::vector<std::u16string> runs;
};

std::u16string In(std::u16string_view name) {
  return D + u"\\" + std::u16string(name);
}

// ---- resolving paths against the program folder ----

TEST(UpgradePaths, OnlyPathsInsideTheProgramFolderResolve) {
  struct Case {
    const char* why;
    std::u16string path;
    std::optional<std::u16string> expected;
  } cases[] = {
      {"a plain name", u"quarnmon.exe", In(u"quarnmon.exe")},
      {"a name with blanks", u"new file.exe", In(u"new file.exe")},
      {"a subfolder", u"images\\0409\\a.png", In(u"images\\0409\\a.png")},
      {"forward slashes", u"images/a.png", In(u"images\\a.png")},
      {"dot components", u".\\sub\\.\\a.txt", In(u"sub\\a.txt")},
      {"down and back up, still inside", u"sub\\..\\a.txt", In(u"a.txt")},
      {"absolute inside, other case", u"c:\\program files\\quarn\\x.dll",
       u"C:\\program files\\quarn\\x.dll"},
      {"leaves the folder", u"..\\x.exe", std::nullopt},
      {"leaves it further down", u"sub\\..\\..\\x.exe", std::nullopt},
      {"a sibling folder sharing the prefix", u"C:\\Program Files\\QUARN2\\x.exe", std::nullopt},
      {"the folder itself", u".", std::nullopt},
      {"absolute elsewhere", u"C:\\Windows\\system32\\x.dll", std::nullopt},
      {"another drive", u"D:\\Program Files\\QUARN\\x", std::nullopt},
      {"a share", u"\\\\server\\share\\x.exe", std::nullopt},
      {"root-relative", u"\\Program Files\\QUARN\\x.exe", std::nullopt},
      {"drive-relative", u"C:x.exe", std::nullopt},
      {"a stream", u"x.exe:hidden", std::nullopt},
      {"a device", u"NUL", std::nullopt},
      {"a device with an extension", u"com1.txt", std::nullopt},
      {"trailing dots, read as '..' by Windows", u"...\\x.exe", std::nullopt},
      {"a trailing blank", u"x.exe ", std::nullopt},
      {"wildcards", u"*.exe", std::nullopt},
      {"a device path", u"\\\\.\\C:\\x", std::nullopt},
      {"an extended path", u"\\\\?\\C:\\Program Files\\QUARN\\x", std::nullopt},
      {"empty", u"", std::nullopt},
      {"longer than a path can be", std::u16string(300, u'a'), std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(ResolveInsideFolder(D, c.path), c.expected);
    EXPECT_EQ(ResolveInsideFolder(D + u"\\", c.path), c.expected);
  }
  EXPECT_EQ(ResolveInsideFolder(u"C:\\", u"a.exe"), u"C:\\a.exe");
  EXPECT_EQ(ResolveInsideFolder(u"\\\\srv\\apps\\quarn", u"a.exe"), u"\\\\SRV\\APPS\\quarn\\a.exe");
  EXPECT_EQ(ResolveInsideFolder(u"relative\\folder", u"a.exe"), std::nullopt);
}

// ---- reading the instruction file ----

TEST(UpgradeListReader, EntriesSplitAtTheFirstEqualsSignTrimmedAndUnquoted) {
  const auto list = UpgradeList::Parse(
      Utf8("; comment\r\n[FileList]\r\n new.exe = quarnmon.exe \r\n\"my file.txt\"=\"a=b.txt\"\r\n"
           "bare line\r\nnew.exe=again.exe\r\n[other]\r\nx=y\r\n[filelist]\r\nlate=ignored\r\n"
           "[toLaunchFileList]\r\n1=setup.exe\r\n2=\r\n"));
  using E = quarn::UpgradeEntry;
  EXPECT_EQ(list.fileList,
            (std::vector<E>{{u"new.exe", u"quarnmon.exe", u"new.exe = quarnmon.exe", true},
                            {u"my file.txt", u"a=b.txt", u"\"my file.txt\"=\"a=b.txt\"", true},
                            {u"", u"", u"bare line", false},
                            {u"new.exe", u"again.exe", u"new.exe=again.exe", true}}));
  EXPECT_EQ(list.launchList,
            (std::vector<E>{{u"1", u"setup.exe", u"1=setup.exe", true}, {u"2", u"", u"2=", true}}));
}

TEST(UpgradeListReader, EncodingsOfTheFileReadAlike) {
  std::vector<std::uint8_t> utf16 = {0xFF, 0xFE};
  for (char c : std::string_view("[filelist]\r\na.txt=b.txt\r\n")) {
    utf16.push_back(static_cast<std::uint8_t>(c));
    utf16.push_back(0);
  }
  for (const auto& bytes :
       {utf16, Utf8("\xEF\xBB\xBF[filelist]\na.txt=b.txt"), Utf8("[filelist]\na.txt=b.txt")}) {
    const auto list = UpgradeList::Parse(bytes);
    ASSERT_EQ(list.fileList.size(), 1u);
    EXPECT_EQ(list.fileList[0].name, u"a.txt");
    EXPECT_EQ(list.fileList[0].value, u"b.txt");
  }
}

TEST(UpgradeListReader, HugeFilesAreBounded) {
  std::string text = "[filelist]\n";
  for (int i = 0; i < 6000; ++i) text += "a=b\n";
  text += std::string(10000, 'x') + "\n";
  const auto list = UpgradeList::Parse(Utf8(text));
  EXPECT_EQ(list.fileList.size(), UpgradeList::kMaxEntries);
  const auto longLine = UpgradeList::Parse(Utf8("[filelist]\n" + std::string(10000, 'x') + "=b\n"));
  ASSERT_EQ(longLine.fileList.size(), 1u);
  EXPECT_FALSE(longLine.fileList[0].valid) << "a cut line is never taken as a path";
}

// ---- the log ----

TEST(UpgradeLogFile, KeysAreAddedToTheLogSectionAndReplacedWhenRepeated) {
  UpgradeLog log(Utf8("[other]\r\nk=v\r\n[LOG]\r\nold=1\r\n\r\n[more]\r\nz=1\r\n"));
  log.Set(u"T_1", u"first");
  log.Set(u"OLD", u"2");
  log.Set(u"T_1", u"second");
  log.Set(u"evil\r\n[x]=", u"a\nb");
  const auto ini = IniFile::Parse(log.Bytes());
  EXPECT_EQ(ini.Keys(u"log"), (std::vector<std::u16string>{u"OLD", u"T_1", u"evil  [x]-"}));
  EXPECT_EQ(ini.ReadString(u"log", u"t_1", u""), u"second");
  EXPECT_EQ(ini.ReadString(u"log", u"old", u""), u"2");
  EXPECT_EQ(ini.ReadString(u"log", u"evil  [x]-", u""), u"a b");
  EXPECT_EQ(ini.ReadString(u"other", u"k", u""), u"v");
  EXPECT_EQ(ini.ReadString(u"more", u"z", u""), u"1");
  EXPECT_TRUE(ini.Keys(u"x").empty());
  UpgradeLog fresh({});
  fresh.Set(u"a", u"b");
  EXPECT_EQ(IniFile::Parse(fresh.Bytes()).ReadString(u"log", u"a", u""), u"b");
}

// ---- the after-restart work ----

class AfterRestart : public ::testing::Test {
 protected:
  quarn::UpgradeWorkResult Run() {
    UpgradeAfterRestart work(files, runner, [] { return kTime; });
    return work.Run(D);
  }
  std::u16string LogValue(std::u16string_view suffix) const {
    auto it = files.files.find(Fold(In(u"upgLog.log")));
    if (it == files.files.end()) return u"<no log>";
    return IniFile::Parse(it->second).ReadString(u"log", kTime + std::u16string(suffix), u"<none>");
  }
  void Instructions(std::string_view text) { files.Put(In(u"upgcfg.zip"), text); }

  MemoryUpgradeFiles files;
  RecordingRunner runner;
};

TEST_F(AfterRestart, WithoutTheZipNothingIsReadWrittenOrStarted) {
  files.Put(In(u"upgcfg.ini"), "[toLaunchFileList]\n1=setup.exe\n[filelist]\na=b\n");
  files.Put(In(u"setup.exe"), "x");
  files.Put(In(u"a"), "x");
  const auto before = files.files;
  const auto r = Run();
  EXPECT_FALSE(r.ran);
  EXPECT_EQ(files.files, before);
  EXPECT_TRUE(runner.runs.empty());
  EXPECT_TRUE(files.moves.empty());
}

TEST_F(AfterRestart, TheZipReplacesTheOldInstructionsAndIsLogged) {
  files.Put(In(u"upgcfg.ini"), "old");
  Instructions("[filelist]\n");
  EXPECT_TRUE(Run().renamed);
  EXPECT_EQ(files.Text(In(u"upgcfg.ini")), "[filelist]\n");
  EXPECT_FALSE(files.FileExists(In(u"upgcfg.zip")));
  EXPECT_EQ(LogValue(u"_1"),
            u"Rename<" + In(u"upgcfg.zip") + u"> to <" + In(u"upgcfg.ini") + u"> OK.");
  // The zip is consumed: a second start changes nothing.
  const auto after = files.files;
  EXPECT_FALSE(Run().ran);
  EXPECT_EQ(files.files, after);
}

TEST_F(AfterRestart, AFailedRenameKeepsTheOldInstructionsAndRunsNothing) {
  files.Put(In(u"upgcfg.ini"),
            "[filelist]\nnew.exe=quarnmon.exe\n[toLaunchFileList]\n1=setup.exe\n");
  files.Put(In(u"new.exe"), "new");
  files.Put(In(u"setup.exe"), "s");
  Instructions("[filelist]\n");
  files.stuck.insert(Fold(In(u"upgcfg.ini")));
  const auto r = Run();
  EXPECT_FALSE(r.renamed);
  EXPECT_EQ(LogValue(u"_1"),
            u"Rename<" + In(u"upgcfg.zip") + u"> to <" + In(u"upgcfg.ini") + u"> FAILED.");
  EXPECT_TRUE(files.FileExists(In(u"upgcfg.zip")));
  EXPECT_TRUE(files.FileExists(In(u"new.exe")));
  EXPECT_TRUE(runner.runs.empty());
}

TEST_F(AfterRestart, FileListEntries) {
  struct Case {
    const char* why;
    std::string entry;
    std::vector<std::u16string> present;  // source files before the run
    std::u16string movedTo;               // file that must then hold "NEW" (empty: none)
    std::u16string log;                   // value logged under "__1"
    bool stuck = false;                   // the destination cannot be replaced
  } cases[] = {
      {"a plain pair",
       "new.exe=quarnmon.exe",
       {u"new.exe"},
       In(u"quarnmon.exe"),
       u"Rename<new.exe> to <quarnmon.exe> OK."},
      {"blanks around the equals sign",
       "  new.exe  =  quarnmon.exe  ",
       {u"new.exe"},
       In(u"quarnmon.exe"),
       u"Rename<new.exe> to <quarnmon.exe> OK."},
      {"a quoted source with a blank",
       "\"new file.exe\"=quarnmon.exe",
       {u"new file.exe"},
       In(u"quarnmon.exe"),
       u"Rename<new file.exe> to <quarnmon.exe> OK."},
      {"blanks in both, unquoted",
       "new file.exe=quarn mon.exe",
       {u"new file.exe", u"new"},
       In(u"quarn mon.exe"),
       u"Rename<new file.exe> to <quarn mon.exe> OK."},
      {"into a subfolder",
       "new.png=images\\0409\\a.png",
       {u"new.png"},
       In(u"images\\0409\\a.png"),
       u"Rename<new.png> to <images\\0409\\a.png> OK."},
      {"a source outside the folder",
       "..\\x.exe=quarnmon.exe",
       {u"..\\x.exe"},
       u"",
       u"Rename<..\\x.exe> to <quarnmon.exe> FAILED."},
      {"a destination outside the folder",
       "new.exe=C:\\Windows\\evil.exe",
       {u"new.exe"},
       u"",
       u"Rename<new.exe> to <C:\\Windows\\evil.exe> FAILED."},
      {"a missing source",
       "absent.exe=quarnmon.exe",
       {},
       u"",
       u"Rename<absent.exe> to <quarnmon.exe> FAILED."},
      {"a destination that cannot be replaced",
       "new.exe=quarnmon.exe",
       {u"new.exe"},
       u"",
       u"Rename<new.exe> to <quarnmon.exe> FAILED.",
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    files.files.clear();
    files.stuck.clear();
    runner.runs.clear();
    files.Put(In(u"quarnmon.exe"), "OLD");
    for (const auto& p : c.present) files.Put(D + u"\\" + p, "NEW");
    if (c.stuck) files.stuck.insert(Fold(In(u"quarnmon.exe")));
    Instructions("[filelist]\n" + c.entry + "\n");
    Run();
    EXPECT_EQ(LogValue(u"__1"), c.log);
    if (c.movedTo.empty()) {
      EXPECT_EQ(files.Text(In(u"quarnmon.exe")), "OLD") << "a failed move keeps the old file";
    } else {
      EXPECT_EQ(files.Text(c.movedTo), "NEW");
    }
    for (const auto& m : files.moves)
      EXPECT_EQ(m.find(u".."), std::u16string::npos) << "nothing outside is touched";
  }
}

TEST_F(AfterRestart, AMalformedEntryEndsTheWorkAndIsLogged) {
  for (std::string bad : {"no equals sign", "=quarnmon.exe", "new.exe="}) {
    SCOPED_TRACE(bad);
    files.files.clear();
    runner.runs.clear();
    files.Put(In(u"a.txt"), "A");
    files.Put(In(u"c.txt"), "C");
    files.Put(In(u"setup.exe"), "S");
    Instructions("[filelist]\na.txt=b.txt\n" + bad +
                 "\nc.txt=d.txt\n[toLaunchFileList]\n1=setup.exe\n");
    const auto r = Run();
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.moved, 1);
    EXPECT_EQ(LogValue(u"__1"), u"Rename<a.txt> to <b.txt> OK.");
    EXPECT_NE(LogValue(u"__2").find(u"FAILED."), std::u16string::npos);
    EXPECT_EQ(LogValue(u"__3"), u"<none>");
    EXPECT_TRUE(files.FileExists(In(u"c.txt"))) << "later entries untouched";
    EXPECT_TRUE(runner.runs.empty()) << "the launch list is not run";
  }
}

TEST_F(AfterRestart, ProgramsStartByFullPathOneAfterTheOther) {
  files.Put(In(u"setup.exe"), "S");
  files.Put(In(u"tools\\second one.exe"), "S");
  files.Put(u"C:\\Program Files\\evil.exe", "S");
  Instructions(
      "[toLaunchFileList]\nfirst=setup.exe\nempty=\nmissing=absent.exe\nout=..\\evil.exe\n"
      "second=\"tools\\second one.exe\"\n");
  const auto r = Run();
  EXPECT_EQ(runner.runs,
            (std::vector<std::u16string>{In(u"setup.exe") + u"||" + D + u"\\",
                                         In(u"tools\\second one.exe") + u"||" + D + u"\\"}));
  EXPECT_EQ(r.started, 2);
}

TEST_F(AfterRestart, AMalformedLaunchEntryStopsTheLaunches) {
  files.Put(In(u"a.exe"), "S");
  files.Put(In(u"b.exe"), "S");
  Instructions("[toLaunchFileList]\n1=a.exe\nbroken\n2=b.exe\n");
  Run();
  EXPECT_EQ(runner.runs, (std::vector<std::u16string>{In(u"a.exe") + u"||" + D + u"\\"}));
}

TEST_F(AfterRestart, TheLogKeepsWhatWasThereAndAnUnreadableLogIsLeftAlone) {
  files.Put(In(u"upgLog.log"), "[log]\nearlier_1=Rename<x> to <y> OK.\n");
  files.Put(In(u"a.txt"), "A");
  Instructions("[filelist]\na.txt=b.txt\n");
  Run();
  auto ini = IniFile::Parse(files.files[Fold(In(u"upgLog.log"))]);
  EXPECT_EQ(ini.Keys(u"log"),
            (std::vector<std::u16string>{u"earlier_1", kTime + u"_1", kTime + u"__1"}));

  files.files.clear();
  files.Put(In(u"upgLog.log"), "precious");
  files.unreadable.insert(Fold(In(u"upgLog.log")));
  files.Put(In(u"a.txt"), "A");
  Instructions("[filelist]\na.txt=b.txt\n");
  EXPECT_EQ(Run().moved, 1);
  EXPECT_EQ(files.Text(In(u"upgLog.log")), "precious");
}

// ---- the fallback web page ----

TEST(WebAddress, OnlyHttpAndHttpsAddressesWithAHostAreOpened) {
  struct Case {
    std::u16string address;
    bool opened;
  } cases[] = {
      {u"http://example.invalid/", true},
      {u"HTTPS://example.invalid/update?x=1#a", true},
      {u"https://user@example.invalid", true},
      {u"http://", false},
      {u"http:///path", false},
      {u"http://user@/x", false},
      {u"http://:80/", false},
      {u"ftp://example.invalid/", false},
      {u"file:///C:/Windows/notepad.exe", false},
      {u"C:\\Windows\\notepad.exe", false},
      {u"notepad", false},
      {u"javascript:alert(1)", false},
      {u"http://example.invalid/ -evil", false},
      {u"http://example.invalid/\"x", false},
      {u"http://example.invalid/\n", false},
      {u"", false},
      {u"http://" + std::u16string(3000, u'a'), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.address.begin(), c.address.end()).substr(0, 60));
    EXPECT_EQ(quarn::IsWebAddress(c.address), c.opened);
  }
}

}  // namespace
