// The update's instruction file (upgcfg.ini) over arbitrary bytes: read as
// entries, then run through the after-restart work over an in-memory folder.
// Every entry stays bounded, every path the work touches or starts lies inside
// the program folder, a malformed entry ends the work, and the log read back
// holds one key per logged move.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "ini_file.h"
#include "memory_stores.h"
#include "upgrade_after_restart.h"
#include "upgrade_list.h"

namespace {

using quarn::testing::Fold;

const std::u16string kFolder = u"C:\\Program Files\\QUARN";

bool Inside(std::u16string_view path) {
  const std::u16string f = Fold(path);
  const std::u16string base = Fold(kFolder) + u"\\";
  if (f.size() <= base.size() || f.compare(0, base.size(), base) != 0) return false;
  // No component leads back up ("..abc" is an ordinary name).
  std::size_t start = base.size();
  for (;;) {
    const std::size_t end = f.find(u'\\', start);
    const std::u16string part = f.substr(start, end == std::u16string::npos ? end : end - start);
    if (part.empty() || part == u"." || part == u"..") return false;
    if (end == std::u16string::npos) return true;
    start = end + 1;
  }
}

class Files : public quarn::UpgradeFileSystem {
 public:
  bool FileExists(std::u16string_view path) override { return files.count(Fold(path)) > 0; }
  quarn::StoreStatus ReadWholeFile(std::u16string_view path,
                                   std::vector<std::uint8_t>& data) override {
    auto it = files.find(Fold(path));
    if (it == files.end()) return quarn::StoreStatus::Missing;
    data = it->second;
    return quarn::StoreStatus::Ok;
  }
  bool WriteWholeFile(std::u16string_view path, const std::uint8_t* data,
                      std::size_t size) override {
    QUARN_FUZZ_CHECK(Inside(path));
    files[Fold(path)].assign(data, data + size);
    return true;
  }
  bool MoveReplacing(std::u16string_view from, std::u16string_view to) override {
    QUARN_FUZZ_CHECK(Inside(from) && Inside(to));
    ++moves;
    auto it = files.find(Fold(from));
    if (it == files.end() || failMoves) return false;
    auto bytes = std::move(it->second);
    files.erase(it);
    files[Fold(to)] = std::move(bytes);
    return true;
  }
  std::map<std::u16string, std::vector<std::uint8_t>> files;
  bool failMoves = false;
  int moves = 0;
};

class Runner : public quarn::HiddenProgramRunner {
 public:
  void RunAndWait(std::u16string_view file, std::u16string_view, std::u16string_view) override {
    QUARN_FUZZ_CHECK(Inside(file));
    ++runs;
  }
  int runs = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quarn::fuzz::FuzzInput in(data, size);
  const std::uint8_t mode = in.U8();
  const std::vector<std::uint8_t> bytes = in.Rest();

  const auto list = quarn::UpgradeList::Parse(bytes);
  for (const auto* section : {&list.fileList, &list.launchList}) {
    QUARN_FUZZ_CHECK(section->size() <= quarn::UpgradeList::kMaxEntries);
    for (const auto& e : *section) {
      QUARN_FUZZ_CHECK(e.text.size() <= quarn::UpgradeList::kMaxLineLength);
      QUARN_FUZZ_CHECK(e.text.find(u'\n') == std::u16string::npos);
      QUARN_FUZZ_CHECK(!e.valid || !e.name.empty());
      QUARN_FUZZ_CHECK(e.name.size() <= e.text.size() && e.value.size() <= e.text.size());
      for (const auto& p : {e.name, e.value}) {
        const auto r = quarn::ResolveInsideFolder(kFolder, p);
        if (r) QUARN_FUZZ_CHECK(Inside(*r) && r->size() <= quarn::kMaxResolvedPath);
      }
    }
  }

  // Sources named by the file exist, so that moves are made.
  Files files;
  files.failMoves = (mode & 1) != 0;
  files.files[Fold(kFolder + u"\\upgcfg.zip")] = bytes;
  for (const auto& e : list.fileList)
    if (auto r = quarn::ResolveInsideFolder(kFolder, e.name)) files.files[Fold(*r)] = {1};
  for (const auto& e : list.launchList)
    if (auto r = quarn::ResolveInsideFolder(kFolder, e.value)) files.files[Fold(*r)] = {2};
  Runner runner;
  quarn::UpgradeAfterRestart work(files, runner, [] { return std::u16string(u"T"); });
  const auto result = work.Run(kFolder);
  QUARN_FUZZ_CHECK(result.ran);
  QUARN_FUZZ_CHECK(result.renamed != files.failMoves);
  QUARN_FUZZ_CHECK(result.moved + result.failed <= static_cast<int>(list.fileList.size()));
  QUARN_FUZZ_CHECK(result.started == runner.runs);
  if (files.failMoves) QUARN_FUZZ_CHECK(result.moved == 0 && runner.runs == 0);
  const auto log = quarn::IniFile::Parse(files.files[Fold(kFolder + u"\\upglog.log")]);
  if (result.renamed)
    QUARN_FUZZ_CHECK(static_cast<int>(log.Keys(u"log").size()) == 1 + result.moved + result.failed);
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  using quarn::fuzz::AsciiBytes;
  auto file = [](std::uint8_t mode, std::string_view text) {
    auto b = AsciiBytes(text);
    b.insert(b.begin(), mode);
    return b;
  };
  auto utf16 = [](std::string_view text) {
    std::vector<std::uint8_t> b = {0, 0xFF, 0xFE};
    for (char c : text) {
      b.push_back(static_cast<std::uint8_t>(c));
      b.push_back(0);
    }
    return b;
  };
  return {
      file(0,
           "[filelist]\r\nnew.exe=quarnmon.exe\r\n\"new file.dll\" = \"sub dir\\a.dll\"\r\n"
           "[toLaunchFileList]\r\n1=setup.exe\r\n2=\r\n"),
      file(0, "[filelist]\r\n..\\x=y\r\nC:\\Windows\\a=b\r\nbroken\r\nz=w\r\n"),
      file(0,
           "[FILELIST]\r\na=b\r\n[filelist]\r\nc=d\r\n; note\r\n[toLaunchFileList]\r\n"
           "x=..\\..\\evil.exe\r\ny=NUL\r\nz=a:b\r\n"),
      file(1, "[filelist]\r\na=b\r\n[toLaunchFileList]\r\n1=setup.exe\r\n"),
      utf16("[filelist]\r\na=b\r\n[toLaunchFileList]\r\n1=setup.exe\r\n"),
      file(0, ""),
  };
}
