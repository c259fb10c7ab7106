// Macro files: the 892-byte layout, one file per macro named after it, round
// trips through the model, hostile names and failing stores.
#include "macro_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "macro_test_helpers.h"
#include "memory_stores.h"
#include "vn_macro.h"

namespace {

using namespace quarn::testing;
using quarn::testing::MemoryFileStore;

std::uint32_t LittleEndian(const std::vector<std::uint8_t>& b, std::size_t at, int width) {
  std::uint32_t v = 0;
  for (int i = width - 1; i >= 0; --i) v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
  return v;
}

// A macro with every field set to a value of its own.
TMACROKEYINFO FullMacro(std::u16string_view name) {
  TMACROKEYINFO m =
      Macro({Down(0x41), Delay(0x1234), Step(MACROKEY_MEDIA, 0x0102, 0xE9, 0x07)}, name);
  m.MacroList[127] = Step(0xBEEF, 0xCAFE, 0x5A, 0xA5);  // past the count, still stored
  m.nAutoAddDelay = 1;
  m.nLoopCount = 0x0304;
  m.nMacroIndex = 0x0506;
  m.MacroUse = 0x07;
  m.Version = MACRO_FORMAT_VERSION;
  m.HaveErrors = 1;
  m.ErrorCount = 0x0A0B0C0D;
  return m;
}

// ASCII of a name for failure messages, other units as '?'.
std::string Printable(std::u16string_view name) {
  std::string s;
  for (char16_t c : name) s.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
  return s;
}

class MacroFiles : public ::testing::Test {
 protected:
  MacroFiles() { files.AddFolder(u"C:\\Users\\me\\Documents"); }
  std::unique_ptr<TMACROKEYINFOLIST> List(std::initializer_list<std::u16string_view> names) {
    auto list = MacroList(0);
    int i = 0;
    for (auto n : names) list->MacroInfos[i++] = FullMacro(n);
    list->nMacroInfoCount = static_cast<std::uint16_t>(i);
    return list;
  }
  MemoryFileStore files;
  const std::u16string folder = u"C:\\Users\\me\\Documents\\Macros";
};

TEST_F(MacroFiles, LayoutByteForByte) {
  ASSERT_TRUE(quarn::SaveMacroFiles(files, *List({u"Jump"}), folder));
  const auto* bytes = files.Get(folder + u"\\Jump.macro");
  ASSERT_NE(bytes, nullptr);
  const auto& b = *bytes;
  ASSERT_EQ(b.size(), 892u);
  struct Field {
    const char* what;
    std::size_t offset;
    int width;
    std::uint32_t value;
  } fields[] = {
      {"step 0 kind", 0, 2, MACROKEY_KEYBOARD},
      {"step 0 state", 2, 2, 1},
      {"step 0 key", 4, 1, 0x41},
      {"step 0 extended", 5, 1, 0},
      {"step 1 delay, low byte first", 6 + 4, 2, 0x1234},
      {"step 2 kind", 12, 2, MACROKEY_MEDIA},
      {"step 2 state", 14, 2, 0x0102},
      {"step 2 values", 16, 2, 0x07E9},
      {"step 127 kind", 762, 2, 0xBEEF},
      {"step 127 state", 764, 2, 0xCAFE},
      {"step 127 values", 766, 2, 0xA55A},
      {"count", 768, 4, 3},
      {"auto delay", 772, 2, 1},
      {"loop count", 774, 2, 0x0304},
      {"index", 776, 2, 0x0506},
      {"use", 778, 1, 7},
      {"filler", 779, 1, 0},
      {"name J", 780, 2, u'J'},
      {"name p", 786, 2, u'p'},
      {"name terminator", 788, 2, 0},
      {"name end", 878, 2, 0},
      {"version", 880, 4, 258},
      {"errors flag", 884, 4, 1},
      {"error count", 888, 4, 0x0A0B0C0D},
  };
  for (const auto& f : fields) EXPECT_EQ(LittleEndian(b, f.offset, f.width), f.value) << f.what;
}

TEST_F(MacroFiles, OneFilePerMacroReadingBackIdentical) {
  const std::u16string fifty(50, u'n');
  auto list = List({u"Jump", u"run fast", u"\u00e9t\u00e9 \u4e2d", fifty});
  list->MacroInfos[3].Version = 0;  // written as held, never stamped
  struct Case {
    const char* why;
    std::u16string path;
  } cases[] = {{"no trailing backslash", folder}, {"with a trailing backslash", folder + u"\\"}};
  for (const auto& c : cases) {
    MemoryFileStore store;
    store.AddFolder(u"C:\\Users\\me\\Documents");
    ASSERT_TRUE(TvnMacroClass::SaveMacroKeyInfoListToMacroFiles(store, *list, c.path)) << c.why;
    EXPECT_TRUE(store.DirectoryExists(folder)) << c.why << ": the folder is created";
    EXPECT_EQ(store.files.size(), 4u) << c.why;
    int i = 0;
    for (auto name : {u"Jump", u"run fast", u"\u00e9t\u00e9 \u4e2d", fifty.c_str()}) {
      const std::u16string path = folder + u"\\" + name + u".macro";
      ASSERT_NE(store.Get(path), nullptr) << c.why;
      EXPECT_EQ(*store.Get(path), RawBytes(list->MacroInfos[i])) << c.why;
      TMACROKEYINFO back{};
      ASSERT_TRUE(TvnMacroClass::LoadMacroFromFile(store, path, back)) << c.why;
      EXPECT_EQ(RawBytes(back), RawBytes(list->MacroInfos[i])) << c.why;
      ++i;
    }
  }
}

TEST_F(MacroFiles, AnExistingFileIsReplacedAndTheFolderReused) {
  files.AddFolder(folder);
  files.files[quarn::testing::Fold(folder + u"\\Jump.macro")] =
      std::vector<std::uint8_t>(2000, 0x33);
  auto list = List({u"Jump"});
  ASSERT_TRUE(quarn::SaveMacroFiles(files, *list, folder));
  EXPECT_EQ(*files.Get(folder + u"\\Jump.macro"), RawBytes(list->MacroInfos[0]));
}

TEST_F(MacroFiles, UnsafeNamesAreSkipped) {
  const char16_t* unsafe[] = {
      u"",         u".",    u"..",        u"..\\..\\evil", u"a\\b",      u"a/b",  u"C:x",
      u"x:stream", u"*",    u"what?",     u"say \"hi\"",   u"<in>",      u"a|b",  u"tab\there",
      u"line\n",   u"\x7f", u"CON",       u"con",          u"NUL.txt",   u"Aux ", u"PRN.x.y",
      u"COM1",     u"lpt9", u"COM\u00b9", u"CONIN$",       u"conout$.a",
  };
  for (const char16_t* name : unsafe) {
    EXPECT_FALSE(quarn::IsSafeMacroFileName(name)) << Printable(name);
    MemoryFileStore store;
    store.AddFolder(u"C:\\Users\\me\\Documents");
    auto list = List({u"before", name, u"after"});
    EXPECT_FALSE(quarn::SaveMacroFiles(store, *list, folder)) << Printable(name);
    // The safe macros are still written, and nothing else.
    EXPECT_NE(store.Get(folder + u"\\before.macro"), nullptr);
    EXPECT_NE(store.Get(folder + u"\\after.macro"), nullptr);
    EXPECT_EQ(store.files.size(), 2u);
  }
  const char16_t* safe[] = {u"a",   u"CONSOLE", u"COM10", u"LPT",    u"my.macro",
                            u"..a", u"a..",     u" x",    u"\u00e9", u"NUL1"};
  for (const char16_t* name : safe)
    EXPECT_TRUE(quarn::IsSafeMacroFileName(name)) << Printable(name);
}

TEST_F(MacroFiles, ANameFillingItsFieldHasNoTerminatorToTrust) {
  auto list = List({u"x"});
  for (auto& c : list->MacroInfos[0].szMacroName) c = u'z';
  list->MacroInfos[0].Version = 0x7A7A;  // the bytes after the name are not read as name
  ASSERT_TRUE(quarn::SaveMacroFiles(files, *list, folder));
  EXPECT_NE(files.Get(folder + u"\\" + std::u16string(50, u'z') + u".macro"), nullptr);
}

TEST_F(MacroFiles, CountsAndFailingStores) {
  {
    // A count past the record's entries: the 21 entries are written.
    auto list = MacroList(21, 500);
    EXPECT_TRUE(quarn::SaveMacroFiles(files, *list, folder));
    EXPECT_EQ(files.files.size(), 21u);
  }
  {
    MemoryFileStore store;
    EXPECT_FALSE(quarn::SaveMacroFiles(store, *List({u"a"}), u"")) << "empty folder path";
    EXPECT_FALSE(quarn::SaveMacroFiles(store, *List({u"a"}), u"C:\\none\\Macros"))
        << "the parent does not exist: one level only";
    store.AddFolder(u"C:\\Docs");
    store.uncreatable.insert(quarn::testing::Fold(u"C:\\Docs\\Macros"));
    EXPECT_FALSE(quarn::SaveMacroFiles(store, *List({u"a"}), u"C:\\Docs\\Macros"));
    EXPECT_TRUE(store.files.empty());
  }
  {
    MemoryFileStore store;
    store.AddFolder(u"C:\\Docs");
    store.readOnly.insert(quarn::testing::Fold(u"C:\\Docs\\a.macro"));
    EXPECT_FALSE(quarn::SaveMacroFiles(store, *List({u"a", u"b"}), u"C:\\Docs"))
        << "a failed write is not success";
    EXPECT_NE(store.Get(u"C:\\Docs\\b.macro"), nullptr) << "the others are still written";
  }
  {
    MemoryFileStore store;
    store.AddFolder(u"C:\\Docs");
    EXPECT_TRUE(quarn::SaveMacroFiles(store, *MacroList(0), u"C:\\Docs")) << "nothing to write";
  }
}

TEST_F(MacroFiles, LoadingReadsUpTo892BytesAndReportsFailure) {
  files.AddFolder(u"C:\\m");
  const TMACROKEYINFO full = FullMacro(u"full");
  auto withBytes = [&](std::vector<std::uint8_t> bytes) {
    files.files[quarn::testing::Fold(u"C:\\m\\f.macro")] = std::move(bytes);
  };
  struct Case {
    const char* why;
    std::vector<std::uint8_t> file;
    bool loaded;
    std::vector<std::uint8_t> expected;  // the record afterwards
  };
  const TMACROKEYINFO start = Macro({Up('S')}, u"start");
  std::vector<std::uint8_t> longer = RawBytes(full);
  longer.resize(5000, 0xEE);
  std::vector<std::uint8_t> shortPrefix = RawBytes(start);
  for (int i = 0; i < 10; ++i) shortPrefix[i] = 0x99;
  const Case cases[] = {
      {"a whole file", RawBytes(full), true, RawBytes(full)},
      {"a longer file: its first 892 bytes", longer, true, RawBytes(full)},
      {"a cut file fills only its bytes", std::vector<std::uint8_t>(10, 0x99), true, shortPrefix},
      {"an empty file changes nothing", {}, true, RawBytes(start)},
  };
  for (const Case& c : cases) {
    withBytes(c.file);
    TMACROKEYINFO rec = start;
    EXPECT_EQ(TvnMacroClass::LoadMacroFromFile(files, u"C:\\m\\f.macro", rec), c.loaded) << c.why;
    EXPECT_EQ(RawBytes(rec), c.expected) << c.why;
  }

  TMACROKEYINFO rec = start;
  EXPECT_FALSE(TvnMacroClass::LoadMacroFromFile(files, u"C:\\m\\absent.macro", rec));
  files.unreadable.insert(quarn::testing::Fold(u"C:\\m\\f.macro"));
  EXPECT_FALSE(TvnMacroClass::LoadMacroFromFile(files, u"C:\\m\\f.macro", rec));
  EXPECT_FALSE(TvnMacroClass::LoadMacroFromFile(files, u"", rec));
  EXPECT_EQ(RawBytes(rec), RawBytes(start)) << "a failed load leaves the record";
}

TEST_F(MacroFiles, HostileFileThroughTheModel) {
  // A loaded file is stored bytes: its counts are brought into range before use.
  files.AddFolder(u"C:\\m");
  TMACROKEYINFO hostile = FullMacro(u"h");
  hostile.MacroListCount = -7;
  files.files[quarn::testing::Fold(u"C:\\m\\h.macro")] = RawBytes(hostile);
  hostile.MacroListCount = 1 << 30;
  files.files[quarn::testing::Fold(u"C:\\m\\g.macro")] = RawBytes(hostile);
  for (auto path : {u"C:\\m\\h.macro", u"C:\\m\\g.macro"}) {
    TMACROKEYINFO rec{};
    ASSERT_TRUE(TvnMacroClass::LoadMacroFromFile(files, path, rec));
    auto list = MacroList(0);
    list->MacroInfos[0] = rec;
    list->nMacroInfoCount = 1;
    TvnMacroClass model;
    model.CtlCreate(*list);
    model.SetMacroListIndex(0);
    model.CheckAllErrors();
    model.GetCurrentMacroAction()->CheckErrors();
    EXPECT_LE(model.GetCurrentMacroAction()->GetCount(), MAX_MACRO_STEPS);
    auto out = MacroList(0);
    model.GetMacroKeyInfoList(*out);
    EXPECT_EQ(out->nMacroInfoCount, 1);
  }
}

}  // namespace

namespace {

TEST(MacroHostileRecords, RandomBytesStayInsideTheirArrays) {
  // Stored lists of random bytes (counts, names and steps alike) through the
  // model, the check, the export and the files: under the sanitizers any
  // read or write outside a record fails here.
  std::mt19937 rng(77);
  auto list = std::make_unique<TMACROKEYINFOLIST>();
  auto out = std::make_unique<TMACROKEYINFOLIST>();
  for (int run = 0; run < 300; ++run) {
    auto* bytes = reinterpret_cast<std::uint8_t*>(list.get());
    for (std::size_t i = 0; i < sizeof *list; ++i) bytes[i] = static_cast<std::uint8_t>(rng());
    if (run % 3 == 0) list->nMacroInfoCount = static_cast<std::uint16_t>(rng() % 25);
    TvnMacroClass model;
    model.CtlCreate(*list);
    ASSERT_LE(model.GetMacroListCount(), TvnMacroClass::kMaxMacros);
    model.CheckAllErrors();
    for (int step = 0; step < 20 && !model.GetIsEmpty(); ++step) {
      model.SetMacroListIndex(static_cast<int>(rng() % model.GetMacroListCount()));
      auto& a = *model.GetCurrentMacroAction();
      ASSERT_LE(a.GetCount(), MAX_MACRO_STEPS);
      const int i = static_cast<int>(rng() % 130) - 1;
      a.CheckErrors();
      a.CutAction(i);
      a.PasteAction(i);
      a.SetDelayValue(i, static_cast<int>(rng()));
      model.InsertMacroAfter(list->MacroInfos[rng() % MACRO_LIST_CAPACITY], i);
      model.MoveDownMacro(i % 22);
      if (rng() % 8 == 0) model.DeleteMacro(i % 22);
    }
    model.GetMacroKeyInfoList(*out);
    ASSERT_LE(out->nMacroInfoCount, MACRO_LIST_CAPACITY);
    MemoryFileStore store;
    store.AddFolder(u"C:");
    quarn::SaveMacroFiles(store, *list, u"C:\\Macros");
    for (const auto& [path, file] : store.files) {
      ASSERT_EQ(file.size(), sizeof(TMACROKEYINFO));
      ASSERT_EQ(path.rfind(u"c:\\macros\\", 0), 0u) << "inside the folder";
      ASSERT_EQ(path.find(u'\\', 10), std::u16string::npos) << "inside the folder";
    }
  }
}

}  // namespace
