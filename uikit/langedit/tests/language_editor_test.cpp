// The translation editor's model over a fake list of the system's locales and
// an in-memory file store: tabs built from a file, the window of tabs, adding
// and deleting languages and originals, the text list, and saving.
#include "language_editor.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "memory_stores.h"
#include "translation_table.h"

namespace {

using quarn::EditorLocale;
using quarn::LanguageBlock;
using quarn::LanguageEditor;
using quarn::LanguageFileContent;

using AddLang = LanguageEditor::AddLanguageResult;
using AddText = LanguageEditor::AddTextResult;

const char16_t kPath[] = u"C:\\tool\\vn.local";

// The system's locales in enumeration order; positions are those of the language box.
std::vector<EditorLocale> Locales() {
  return {
      {u"0409", u"English (United States)", true},       // 0
      {u"0804", u"Chinese (PRC)", true},                 // 1
      {u"0404", u"Chinese (Taiwan)", true},              // 2
      {u"0407", u"German (Germany)", true},              // 3
      {u"0407", u"German (Germany, phone book)", true},  // 4: a second locale of one ID
      {u"040c", u"French (France)", true},               // 5
      {u"0410", u"Italian (Italy)", true},               // 6
      {u"0411", u"Japanese (Japan)", true},              // 7
      {u"0412", u"Korean (Korea)", true},                // 8
      {u"0413", u"Dutch (Netherlands)", true},           // 9
      {u"0415", u"Polish (Poland)", true},               // 10
      {u"0416", u"Portuguese (Brazil)", true},           // 11
      {u"0419", u"Russian (Russia)", true},              // 12
      {u"041d", u"Swedish (Sweden)", true},              // 13
      {u"1000", u"Custom (long country name)", false},   // 14: no language ID to file under
  };
}

LanguageFileContent SampleFile() {
  LanguageFileContent c;
  c.originals = {u"Apply", u"Cancel", u"OK"};
  c.languages = {
      {u"0409", {}},
      {u"0804", {u"Apply=应用", u"Cancel=取消", u"OK=确定"}},
      {u"0404", {u"Apply=套用", u"OK=確定"}},
      {u"CH", {u"Apply=应用(旧)"}},  // an ID the system does not know
  };
  return c;
}

std::vector<std::uint8_t> Bytes(const LanguageFileContent& c) {
  return quarn::WriteLanguageFile(c).value();
}

struct Editor {
  quarn::testing::MemoryFileStore files;
  LanguageEditor editor{Locales()};

  explicit Editor(const LanguageFileContent& file = SampleFile()) {
    files.AddFolder(u"C:\\tool");
    files.files[quarn::testing::Fold(kPath)] = Bytes(file);
    EXPECT_EQ(editor.Open(files, kPath), LanguageEditor::OpenResult::Loaded);
  }
  LanguageFileContent Saved() {
    EXPECT_EQ(editor.Save(files, kPath), LanguageEditor::SaveResult::Saved);
    const auto* bytes = files.Get(kPath);
    auto content = quarn::ReadLanguageFile(bytes->data(), bytes->size());
    EXPECT_TRUE(content.has_value());
    return content.value_or(LanguageFileContent{});
  }
  std::vector<std::u16string> TabIds() const {
    std::vector<std::u16string> ids;
    for (int i = 0; i < editor.TabCount(); ++i) ids.push_back(editor.TabAt(i).id);
    return ids;
  }
  std::vector<std::u16string> Column(int tab) const {
    std::vector<std::u16string> cells;
    for (int j = 0; j < static_cast<int>(editor.Originals().size()); ++j)
      cells.push_back(editor.Translation(tab, j));
    return cells;
  }
  int Row(std::u16string_view original) const {
    const auto& o = editor.Originals();
    for (std::size_t j = 0; j < o.size(); ++j)
      if (o[j] == original) return static_cast<int>(j);
    return -1;
  }
};

const LanguageBlock* Block(const LanguageFileContent& c, std::u16string_view id) {
  for (const auto& b : c.languages)
    if (b.id == id) return &b;
  return nullptr;
}

std::u16string Lookup(const LanguageFileContent& c, std::u16string_view id,
                      std::u16string_view original) {
  const auto* b = Block(c, id);
  if (!b) return u"<no language>";
  quarn::TranslationTable table(b->lines);
  auto found = table.Find(original);
  return found ? std::u16string(*found) : u"<no line>";
}

std::vector<std::u16string> Ids(const LanguageFileContent& c) {
  std::vector<std::u16string> ids;
  for (const auto& b : c.languages) ids.push_back(b.id);
  return ids;
}

// --- tabs built from the file ---

TEST(LanguageEditorTabs, OneTabPerKnownLanguageTheLastSelected) {
  Editor e;
  EXPECT_EQ(e.TabIds(), (std::vector<std::u16string>{u"0409", u"0804", u"0404"}));
  EXPECT_EQ(e.editor.TabAt(1).displayName, u"Chinese (PRC)");
  EXPECT_EQ(e.editor.SelectedTab(), 2);
  // Untranslated rows show their original, translated ones their translation.
  EXPECT_EQ(e.Column(0), (std::vector<std::u16string>{u"Apply", u"Cancel", u"OK"}));
  EXPECT_EQ(e.Column(2), (std::vector<std::u16string>{u"套用", u"Cancel", u"確定"}));
  EXPECT_FALSE(e.editor.Modified());
}

TEST(LanguageEditorTabs, LanguagesThatGetNoTab) {
  struct Case {
    const char* why;
    std::vector<LanguageBlock> languages;
    std::vector<std::u16string> tabs;
  } cases[] = {
      {"unknown ID", {{u"CH", {}}, {u"US", {}}}, {}},
      {"second copy of an ID", {{u"0804", {}}, {u"0804", {u"OK=x"}}}, {u"0804"}},
      {"ID in other letter case is one language", {{u"040C", {}}, {u"040c", {}}}, {u"040C"}},
      {"empty ID", {{u"", {}}}, {}},
      {"locale without short country key", {{u"1000", {}}}, {}},
  };
  for (const auto& c : cases) {
    LanguageFileContent file{{u"OK"}, c.languages};
    Editor e(file);
    EXPECT_EQ(e.TabIds(), c.tabs) << c.why;
    // Whatever got a tab, saving unchanged writes every language back as it was.
    EXPECT_EQ(Bytes(e.Saved()), Bytes(file)) << c.why;
  }
}

// --- saving ---

TEST(LanguageEditorSave, UntabbedLanguagesKeepTheirPlaceAndTables) {
  Editor e;
  ASSERT_TRUE(e.editor.SetTranslation(1, e.Row(u"OK"), u"好"));
  auto saved = e.Saved();
  EXPECT_EQ(Ids(saved), (std::vector<std::u16string>{u"0409", u"0804", u"0404", u"CH"}));
  EXPECT_EQ(saved.languages[3].lines, (std::vector<std::u16string>{u"Apply=应用(旧)"}));
  EXPECT_EQ(Lookup(saved, u"0804", u"OK"), u"好");
}

TEST(LanguageEditorSave, NothingEditedWritesTheSameBytes) {
  Editor e;
  EXPECT_EQ(*e.files.Get(kPath), Bytes(e.Saved()));
  EXPECT_EQ(Bytes(e.Saved()), Bytes(SampleFile()));
}

TEST(LanguageEditorSave, TheShippedFileRoundTripsUnchanged) {
#ifdef _WIN32
  std::string path = std::string("Z:") + QUARN_VN_LOCAL_PATH;
#else
  std::string path = QUARN_VN_LOCAL_PATH;
#endif
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> shipped((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
  ASSERT_FALSE(shipped.empty()) << path;
  auto content = quarn::ReadLanguageFile(shipped.data(), shipped.size());
  ASSERT_TRUE(content.has_value());
  Editor e(*content);
  EXPECT_EQ(e.TabIds(), (std::vector<std::u16string>{u"0409", u"0804", u"0404"}));
  EXPECT_EQ(Bytes(e.Saved()), shipped);

  // One edited translation changes exactly its line.
  int row = e.Row(u"Click");
  ASSERT_GE(row, 0);
  ASSERT_TRUE(e.editor.SetTranslation(1, row, u"单击"));
  auto expected = *content;
  for (auto& line : expected.languages[1].lines)
    if (line.rfind(u"Click=", 0) == 0) line = u"Click=单击";
  EXPECT_EQ(Bytes(e.Saved()), Bytes(expected));
}

TEST(LanguageEditorSave, EditedCellsRewriteTheirLinesInPlace) {
  struct Case {
    const char* why;
    int tab;
    std::u16string original, text;
    std::vector<std::u16string> lines;  // the tab's language afterwards
  } cases[] = {
      {"changed translation keeps its place",
       1,
       u"Cancel",
       u"撤销",
       {u"Apply=应用", u"Cancel=撤销", u"OK=确定"}},
      {"emptied translation removes the line", 1, u"Apply", u"", {u"Cancel=取消", u"OK=确定"}},
      {"new translation follows the file's lines",
       2,
       u"Cancel",
       u"取消",
       {u"Apply=套用", u"OK=確定", u"Cancel=取消"}},
      {"a translation where the file had none", 0, u"OK", u"Okay", {u"OK=Okay"}},
      {"the shown original typed again adds no line", 0, u"OK", u"OK", {}},
      {"a translation holding = is kept whole", 0, u"OK", u"a=b", {u"OK=a=b"}},
  };
  for (const auto& c : cases) {
    Editor e;
    ASSERT_TRUE(e.editor.SetTranslation(c.tab, e.Row(c.original), c.text)) << c.why;
    auto saved = e.Saved();
    EXPECT_EQ(saved.languages[static_cast<std::size_t>(c.tab)].lines, c.lines) << c.why;
    EXPECT_EQ(saved.originals, SampleFile().originals) << c.why;
    EXPECT_FALSE(e.editor.Modified()) << c.why;
  }
}

TEST(LanguageEditorSave, RefusedCellsChangeNothing) {
  struct Case {
    const char* why;
    int tab, row;
    std::u16string text;
  } cases[] = {
      {"CR LF", 1, 0, u"a\r\nb"},
      {"LF", 1, 0, u"a\nb"},
      {"line separator", 1, 0, u"a\u2028b"},
      {"row past the originals", 1, 3, u"x"},
      {"negative row", 1, -1, u"x"},
      {"no such tab", 3, 0, u"x"},
  };
  for (const auto& c : cases) {
    Editor e;
    EXPECT_FALSE(e.editor.SetTranslation(c.tab, c.row, c.text)) << c.why;
    EXPECT_FALSE(e.editor.Modified()) << c.why;
    EXPECT_EQ(Bytes(e.Saved()), Bytes(SampleFile())) << c.why;
  }
}

TEST(LanguageEditorSave, AFailedWriteKeepsTheOldFileAndTheEdits) {
  Editor e;
  auto before = *e.files.Get(kPath);
  ASSERT_TRUE(e.editor.SetTranslation(1, 0, u"用"));
  e.files.readOnly.insert(quarn::testing::Fold(kPath));
  EXPECT_EQ(e.editor.Save(e.files, kPath), LanguageEditor::SaveResult::WriteFailed);
  EXPECT_EQ(*e.files.Get(kPath), before);
  EXPECT_TRUE(e.editor.Modified());
  e.files.readOnly.clear();
  EXPECT_EQ(Lookup(e.Saved(), u"0804", u"Apply"), u"用");
}

TEST(LanguageEditorSave, ATooLargeFileIsNotWritten) {
  Editor e;
  auto before = *e.files.Get(kPath);
  std::u16string huge(quarn::kMaxStoredBlobSize / 2, u'x');
  ASSERT_TRUE(e.editor.SetTranslation(1, 0, huge));
  EXPECT_EQ(e.editor.Save(e.files, kPath), LanguageEditor::SaveResult::TooLarge);
  EXPECT_EQ(*e.files.Get(kPath), before);
}

TEST(LanguageEditorSave, AddedLanguagesFollowTheFilesAndEmptyOnesAreWritten) {
  Editor e;
  ASSERT_EQ(e.editor.AddLanguage(5), AddLang::Added);  // French
  EXPECT_EQ(e.editor.SelectedTab(), 3);
  EXPECT_EQ(e.Column(3), (std::vector<std::u16string>(3, u"")));
  ASSERT_EQ(e.editor.AddLanguage(3), AddLang::Added);  // German
  ASSERT_TRUE(e.editor.SetTranslation(4, e.Row(u"Cancel"), u"Abbrechen"));
  auto saved = e.Saved();
  EXPECT_EQ(Ids(saved),
            (std::vector<std::u16string>{u"0409", u"0804", u"0404", u"CH", u"040c", u"0407"}));
  EXPECT_TRUE(saved.languages[4].lines.empty());
  EXPECT_EQ(saved.languages[5].lines, (std::vector<std::u16string>{u"Cancel=Abbrechen"}));
}

// --- adding and deleting languages ---

TEST(LanguageEditorLanguages, AddLanguageCases) {
  struct Case {
    const char* why;
    int box;
    AddLang result;
    int selected;  // afterwards
    int tabs;
  } cases[] = {
      {"display name that has a tab selects it", 1, AddLang::Selected, 1, 4},
      {"another locale of a tabbed ID selects its tab", 4, AddLang::Selected, 3, 4},
      {"no country key gives no ID", 14, AddLang::NoLanguageId, 3, 4},
      {"nothing chosen", -1, AddLang::NoChoice, 3, 4},
      {"past the box", 15, AddLang::NoChoice, 3, 4},
  };
  Editor e;
  ASSERT_EQ(e.editor.AddLanguage(3), AddLang::Added);  // German, tab 3
  for (const auto& c : cases) {
    e.editor.SelectTab(3);
    EXPECT_EQ(e.editor.AddLanguage(c.box), c.result) << c.why;
    EXPECT_EQ(e.editor.SelectedTab(), c.selected) << c.why;
    EXPECT_EQ(e.editor.TabCount(), c.tabs) << c.why;
  }
}

TEST(LanguageEditorLanguages, AnUntabbedCopyOfTheIdTakesTheTabAndKeepsItsPlace) {
  LanguageFileContent file{{u"OK"}, {{u"0407", {u"OK=Gut"}}, {u"0804", {}}, {u"0407", {u"OK=Ja"}}}};
  Editor e(file);
  ASSERT_EQ(e.TabIds(), (std::vector<std::u16string>{u"0407", u"0804"}));
  e.editor.SelectTab(0);
  ASSERT_TRUE(e.editor.DeleteLanguage());
  ASSERT_EQ(e.editor.AddLanguage(3), AddLang::Added);
  EXPECT_EQ(e.Column(1), (std::vector<std::u16string>{u"Ja"}));
  ASSERT_TRUE(e.editor.SetTranslation(1, 0, u"Jawohl"));
  auto saved = e.Saved();
  EXPECT_EQ(Ids(saved), (std::vector<std::u16string>{u"0804", u"0407"}));
  EXPECT_EQ(saved.languages[1].lines, (std::vector<std::u16string>{u"OK=Jawohl"}));
}

TEST(LanguageEditorLanguages, DeleteSelectsThePreviousTabThenTheFirstThenNone) {
  Editor e;
  e.editor.SelectTab(1);
  ASSERT_TRUE(e.editor.DeleteLanguage());
  EXPECT_EQ(e.TabIds(), (std::vector<std::u16string>{u"0409", u"0404"}));
  EXPECT_EQ(e.editor.SelectedTab(), 0);
  ASSERT_TRUE(e.editor.DeleteLanguage());  // the first: the new first is selected
  EXPECT_EQ(e.TabIds(), (std::vector<std::u16string>{u"0404"}));
  EXPECT_EQ(e.editor.SelectedTab(), 0);
  ASSERT_TRUE(e.editor.DeleteLanguage());  // the only one
  EXPECT_EQ(e.editor.SelectedTab(), -1);
  EXPECT_FALSE(e.editor.DeleteLanguage());
  EXPECT_TRUE(e.editor.GetTabTextList().empty());
  EXPECT_FALSE(e.editor.SetTabTextList(u"OK=x\r\n"));
  EXPECT_FALSE(e.editor.DeleteItemFromList(0));
  // Saving with no tab writes the originals and the untabbed language.
  auto saved = e.Saved();
  EXPECT_EQ(Ids(saved), (std::vector<std::u16string>{u"CH"}));
  EXPECT_EQ(saved.originals, SampleFile().originals);
}

// --- the window of eight tabs ---

TEST(LanguageEditorTabWindow, TwelveTabsPageOneByOne) {
  LanguageFileContent file{{u"OK"}, {}};
  Editor e(file);
  for (int box : {0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12})
    ASSERT_EQ(e.editor.AddLanguage(box), AddLang::Added);
  ASSERT_EQ(e.editor.TabCount(), 12);
  EXPECT_EQ(e.editor.ShownTabs().size(), 12u) << "a new tab shows whatever the window";

  struct Step {
    const char* why;
    bool next;
    bool moves;
    int first;
  } steps[] = {
      {"next 1", true, true, 1},
      {"next 2", true, true, 2},
      {"next 3", true, true, 3},
      {"next 4", true, true, 4},
      {"fifth next: 8 tabs left", true, false, 4},
      {"prev", false, true, 3},
      {"prev", false, true, 2},
      {"prev", false, true, 1},
      {"prev", false, true, 0},
      {"prev at the start", false, false, 0},
  };
  for (const auto& s : steps) {
    EXPECT_EQ(s.next ? e.editor.NextPage() : e.editor.PrevPage(), s.moves) << s.why;
    EXPECT_EQ(e.editor.FirstWindowTab(), s.first) << s.why;
    std::vector<int> shown;
    for (int i = s.first; i < s.first + 8; ++i) shown.push_back(i);
    EXPECT_EQ(e.editor.ShownTabs(), shown) << s.why;
    int sel = e.editor.SelectedTab();
    EXPECT_TRUE(sel >= s.first && sel < s.first + 8) << s.why << " selected " << sel;
  }
  for (int i = 0; i < 4; ++i) e.editor.NextPage();
  ASSERT_EQ(e.editor.AddLanguage(13), AddLang::Added);  // shown beside the window
  EXPECT_EQ(e.editor.ShownTabs(), (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11, 12}));
  // Choosing a language whose tab lies outside the window selects and shows it.
  ASSERT_EQ(e.editor.AddLanguage(1), AddLang::Selected);
  EXPECT_EQ(e.editor.SelectedTab(), 1);
  EXPECT_EQ(e.editor.ShownTabs(), (std::vector<int>{1, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_TRUE(e.editor.NextPage()) << "13 tabs: the window moves on";
  EXPECT_EQ(e.editor.ShownTabs(), (std::vector<int>{5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(e.editor.SelectedTab(), 5) << "the selection follows into the window";
  EXPECT_EQ(e.Saved().languages.size(), 13u);
}

TEST(LanguageEditorTabWindow, DeletingAtTheEndPullsTheWindowBack) {
  LanguageFileContent file{{u"OK"}, {}};
  Editor e(file);
  for (int box : {0, 1, 2, 3, 5, 6, 7, 8, 9, 10}) e.editor.AddLanguage(box);
  e.editor.NextPage();
  e.editor.NextPage();
  ASSERT_EQ(e.editor.FirstWindowTab(), 2);
  e.editor.SelectTab(9);
  ASSERT_TRUE(e.editor.DeleteLanguage());
  EXPECT_EQ(e.editor.FirstWindowTab(), 1);
  EXPECT_EQ(e.editor.ShownTabs().size(), 8u);
  EXPECT_EQ(e.editor.SelectedTab(), 8);
}

// --- originals ---

TEST(LanguageEditorOriginals, AddConstTextCases) {
  struct Case {
    const char* why;
    std::u16string text;
    AddText result;
  } cases[] = {
      {"empty", u"", AddText::Empty},
      {"already an original", u"OK", AddText::AlreadyOriginal},
      {"CR LF", u"Volume\r\nUp", AddText::HasLineBreak},
      {"form feed", u"Volume\fUp", AddText::HasLineBreak},
      {"a key cannot hold =", u"a=b", AddText::HasEquals},
      {"letter case makes a new text", u"ok", AddText::Added},
  };
  for (const auto& c : cases) {
    Editor e;
    EXPECT_EQ(e.editor.AddConstText(c.text), c.result) << c.why;
    if (c.result != AddText::Added) {
      EXPECT_EQ(Bytes(e.Saved()), Bytes(SampleFile())) << c.why;
    }
  }
}

TEST(LanguageEditorOriginals, VolumeUpLandsAtItsSortedRowInEveryGrid) {
  Editor e;
  ASSERT_TRUE(e.editor.SetTranslation(1, e.Row(u"OK"), u"好"));  // an unsaved edit survives
  ASSERT_EQ(e.editor.AddLanguage(5), AddLang::Added);
  ASSERT_EQ(e.editor.AddConstText(u"Volume Up"), AddText::Added);
  EXPECT_EQ(e.editor.Originals(),
            (std::vector<std::u16string>{u"Apply", u"Cancel", u"OK", u"Volume Up"}));
  EXPECT_EQ(e.Column(0), (std::vector<std::u16string>{u"Apply", u"Cancel", u"OK", u"Volume Up"}));
  EXPECT_EQ(e.Column(1), (std::vector<std::u16string>{u"应用", u"取消", u"好", u"Volume Up"}));
  EXPECT_EQ(e.Column(3), (std::vector<std::u16string>{u"", u"", u"", u""}));
  auto saved = e.Saved();
  EXPECT_EQ(saved.originals,
            (std::vector<std::u16string>{u"Apply", u"Cancel", u"OK", u"Volume Up"}));
  EXPECT_EQ(Lookup(saved, u"0804", u"Volume Up"), u"<no line>");
}

TEST(LanguageEditorOriginals, AnOldLineComesBackWithItsOriginal) {
  LanguageFileContent file{{u"OK"}, {{u"0804", {u"OK=好", u"Volume Up=音量+"}}}};
  Editor e(file);
  ASSERT_EQ(e.editor.AddConstText(u"Volume Up"), AddText::Added);
  EXPECT_EQ(e.Column(0), (std::vector<std::u16string>{u"好", u"音量+"}));
  EXPECT_EQ(Lookup(e.Saved(), u"0804", u"Volume Up"), u"音量+");
}

TEST(LanguageEditorOriginals, DeleteItemRemovesTheRowEverywhereAndItsLinesAtSave) {
  Editor e;
  e.editor.SelectTab(1);
  ASSERT_TRUE(e.editor.DeleteItemFromList(e.Row(u"Cancel")));
  EXPECT_EQ(e.editor.Originals(), (std::vector<std::u16string>{u"Apply", u"OK"}));
  EXPECT_EQ(e.Column(1), (std::vector<std::u16string>{u"应用", u"确定"}));
  EXPECT_EQ(e.Column(2), (std::vector<std::u16string>{u"套用", u"確定"}));
  EXPECT_FALSE(e.editor.DeleteItemFromList(2));
  EXPECT_FALSE(e.editor.DeleteItemFromList(-1));
  auto saved = e.Saved();
  EXPECT_EQ(saved.originals, (std::vector<std::u16string>{u"Apply", u"OK"}));
  EXPECT_EQ(Lookup(saved, u"0804", u"Cancel"), u"<no line>");
  EXPECT_EQ(Lookup(saved, u"CH", u"Apply"), u"应用(旧)") << "an untabbed table is kept whole";
}

// --- the text list ---

TEST(LanguageEditorTextList, ListsEveryRowAndGetSetChangesNothing) {
  struct Case {
    const char* why;
    int addBox;  // -1: use the selected file tab
  } cases[] = {{"file tab", -1}, {"new empty tab", 5}};
  for (const auto& c : cases) {
    Editor e;
    if (c.addBox >= 0) {
      ASSERT_EQ(e.editor.AddLanguage(c.addBox), AddLang::Added);
    }
    auto list = e.editor.GetTabTextList();
    if (c.addBox >= 0) {
      EXPECT_EQ(list, u"Apply=\r\nCancel=\r\nOK=\r\n") << c.why;
    }
    ASSERT_TRUE(e.editor.SetTabTextList(list)) << c.why;
    EXPECT_EQ(e.editor.Originals(), (std::vector<std::u16string>{u"Apply", u"Cancel", u"OK"}))
        << c.why;
    if (c.addBox < 0) {
      EXPECT_FALSE(e.editor.Modified()) << c.why;
    }
    auto saved = e.Saved();
    EXPECT_EQ(saved.originals, SampleFile().originals) << c.why;
    EXPECT_EQ(Block(saved, u"0804")->lines, SampleFile().languages[1].lines) << c.why;
  }
  Editor e;
  EXPECT_EQ(e.editor.GetTabTextList(), u"Apply=套用\r\nCancel=Cancel\r\nOK=確定\r\n");
}

TEST(LanguageEditorTextList, SetCases) {
  struct Case {
    const char* why;
    std::u16string list;
    bool taken;
    std::vector<std::u16string> originals;
    std::vector<std::u16string> lines;  // of the selected 0804 tab after saving
  } cases[] = {
      {"empty value removes the line, keeps the original",
       u"Apply=\r\nCancel=取消\r\nOK=确定\r\n",
       true,
       {u"Apply", u"Cancel", u"OK"},
       {u"Cancel=取消", u"OK=确定"}},
      {"a new key becomes an original",
       u"Apply=应用\r\nCancel=取消\r\nHelp=帮助\r\nOK=确定",
       true,
       {u"Apply", u"Cancel", u"Help", u"OK"},
       {u"Apply=应用", u"Cancel=取消", u"OK=确定", u"Help=帮助"}},
      {"a missing key is no longer an original",
       u"Apply=应用\nOK=确定\n",
       true,
       {u"Apply", u"OK"},
       {u"Apply=应用", u"OK=确定"}},
      {"lines without = or key are skipped",
       u"Apply=应用\r\nstray\r\n=x\r\n\r\nCancel=取消\r\nOK=好",
       true,
       {u"Apply", u"Cancel", u"OK"},
       {u"Apply=应用", u"Cancel=取消", u"OK=好"}},
      {"a list with no keyed line is refused",
       u"\r\nstray\r\n=x",
       false,
       {u"Apply", u"Cancel", u"OK"},
       {u"Apply=应用", u"Cancel=取消", u"OK=确定"}},
      {"an empty list is refused",
       u"",
       false,
       {u"Apply", u"Cancel", u"OK"},
       {u"Apply=应用", u"Cancel=取消", u"OK=确定"}},
  };
  for (const auto& c : cases) {
    Editor e;
    e.editor.SelectTab(1);
    EXPECT_EQ(e.editor.SetTabTextList(c.list), c.taken) << c.why;
    EXPECT_EQ(e.editor.Originals(), c.originals) << c.why;
    auto saved = e.Saved();
    EXPECT_EQ(saved.originals, c.originals) << c.why;
    EXPECT_EQ(Block(saved, u"0804")->lines, c.lines) << c.why;
    EXPECT_EQ(Block(saved, u"CH")->lines, (std::vector<std::u16string>{u"Apply=应用(旧)"}))
        << c.why;
  }
}

TEST(LanguageEditorTextList, OriginalsHoldingEqualsAreLeftOutAndKept) {
  LanguageFileContent file{{u"1=2", u"OK"}, {{u"0804", {u"OK=好"}}}};
  Editor e(file);
  EXPECT_EQ(e.editor.GetTabTextList(), u"OK=好\r\n");
  EXPECT_FALSE(e.editor.SetTranslation(0, e.Row(u"1=2"), u"x"));
  ASSERT_TRUE(e.editor.SetTabTextList(u"OK=好的\r\n"));
  EXPECT_EQ(e.editor.Originals(), (std::vector<std::u16string>{u"1=2", u"OK"}));
  EXPECT_EQ(Lookup(e.Saved(), u"0804", u"OK"), u"好的");
}

// --- opening ---

TEST(LanguageEditorOpen, DamagedOrMissingFilesOpenEmptyAndStayUntouched) {
  auto good = Bytes(SampleFile());
  struct Case {
    const char* why;
    std::vector<std::uint8_t> bytes;
    bool present, unreadable;
    LanguageEditor::OpenResult result;
  } cases[] = {
      {"cut short",
       {good.begin(), good.end() - 3},
       true,
       false,
       LanguageEditor::OpenResult::Damaged},
      {"bytes after the last block",
       [&] {
         auto b = good;
         b.push_back(0);
         return b;
       }(),
       true, false, LanguageEditor::OpenResult::Damaged},
      {"huge count", {0xff, 0xff, 0xff, 0x7f}, true, false, LanguageEditor::OpenResult::Damaged},
      {"empty file", {}, true, false, LanguageEditor::OpenResult::Damaged},
      {"cannot be read", {}, false, true, LanguageEditor::OpenResult::Damaged},
      {"missing", {}, false, false, LanguageEditor::OpenResult::Missing},
  };
  for (const auto& c : cases) {
    quarn::testing::MemoryFileStore files;
    files.AddFolder(u"C:\\tool");
    auto key = quarn::testing::Fold(kPath);
    if (c.present) files.files[key] = c.bytes;
    if (c.unreadable) files.unreadable.insert(key);
    LanguageEditor editor(Locales());
    EXPECT_EQ(editor.Open(files, kPath), c.result) << c.why;
    EXPECT_EQ(editor.TabCount(), 0) << c.why;
    EXPECT_TRUE(editor.Originals().empty()) << c.why;
    EXPECT_TRUE(files.writes.empty()) << c.why;
    if (c.present) {
      EXPECT_EQ(*files.Get(kPath), c.bytes) << c.why;
    }
  }
}

TEST(LanguageEditorOpen, ReopeningReplacesEverything) {
  Editor e;
  e.editor.AddLanguage(5);
  e.editor.NextPage();
  LanguageFileContent other{{u"Yes"}, {{u"0411", {u"Yes=はい"}}}};
  e.files.files[quarn::testing::Fold(kPath)] = Bytes(other);
  ASSERT_EQ(e.editor.Open(e.files, kPath), LanguageEditor::OpenResult::Loaded);
  EXPECT_EQ(e.TabIds(), (std::vector<std::u16string>{u"0411"}));
  EXPECT_EQ(e.editor.FirstWindowTab(), 0);
  EXPECT_EQ(e.Column(0), (std::vector<std::u16string>{u"はい"}));
  EXPECT_FALSE(e.editor.Modified());
}

TEST(LanguageEditorLocales, TablesAndBoxShareOnePositionPerLocale) {
  LanguageEditor editor(Locales());
  auto box = editor.LanguageBoxItems();
  ASSERT_EQ(box.size(), Locales().size());
  EXPECT_EQ(box[4], u"German (Germany, phone book)");
  EXPECT_EQ(editor.EditorLocaleList().Find(u"040C"), 5);
  EXPECT_EQ(editor.EditorShortIDList().Find(u"0407"), 3) << "first match";
  EXPECT_EQ(editor.EditorShortIDList().Find(u"1000"), -1);
  EXPECT_EQ(editor.EditorShortIDList().Lines()[14].key, u"");
  EXPECT_EQ(editor.EditorLocaleList().Find(u"1000"), 14);
}

}  // namespace

namespace {

// A pasted list of many thousand lines on a file of as many lines is taken and
// saved in one go (each step near-linear: a quadratic one takes minutes here).
TEST(LanguageEditorTextList, AHugeListIsTakenAndSaved) {
  constexpr int kLines = 20000;
  LanguageFileContent file;
  file.languages.push_back({u"0804", {}});
  for (int i = 0; i < kLines; ++i) {
    std::u16string n;
    for (char c : std::to_string(i)) n.push_back(static_cast<char16_t>(c));
    file.originals.push_back(u"Text " + n);
    file.languages[0].lines.push_back(u"Text " + n + u"=T" + n);
  }
  Editor e(file);
  std::u16string list = e.editor.GetTabTextList();
  for (int i = 0; i < kLines; ++i) {
    std::u16string n;
    for (char c : std::to_string(i)) n.push_back(static_cast<char16_t>(c));
    list += u"New " + n + u"=N" + n + u"\r\n";
  }
  ASSERT_TRUE(e.editor.SetTabTextList(list));
  EXPECT_EQ(e.editor.Originals().size(), 2u * kLines);
  auto saved = e.Saved();
  EXPECT_EQ(saved.originals.size(), 2u * kLines);
  EXPECT_EQ(saved.languages[0].lines.size(), 2u * kLines);
  EXPECT_EQ(Lookup(saved, u"0804", u"New 19999"), u"N19999");
}

}  // namespace
