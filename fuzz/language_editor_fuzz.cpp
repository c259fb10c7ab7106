// The translation editor's model over arbitrary language files and a run of
// its operations: a file it opens is saved back byte for byte when nothing was
// edited, every save reads back as the content it meant to write, and its
// tabs, window, selection and grids stay consistent whatever the user does.
#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "language_editor.h"
#include "language_file.h"
#include "memory_stores.h"

namespace {

using quarn::LanguageEditor;
using quarn::LanguageFileContent;

const char16_t kPath[] = u"C:\\T\\vn.local";

bool SameContent(const LanguageFileContent& a, const LanguageFileContent& b) {
  if (a.originals != b.originals || a.languages.size() != b.languages.size()) return false;
  for (std::size_t i = 0; i < a.languages.size(); ++i)
    if (a.languages[i].id != b.languages[i].id || a.languages[i].lines != b.languages[i].lines)
      return false;
  return true;
}

std::vector<quarn::EditorLocale> Locales() {
  return {{u"0409", u"English", true},
          {u"0804", u"Chinese (PRC)", true},
          {u"0404", u"Chinese (Taiwan)", true},
          {u"0407", u"German", true},
          {u"0407", u"German (phone book)", true},
          {u"040c", u"French", true},
          {u"0410", u"Italian", true},
          {u"0411", u"Japanese", true},
          {u"0412", u"Korean", true},
          {u"0413", u"Dutch", true},
          {u"1000", u"Custom", false}};
}

void CheckState(const LanguageEditor& e) {
  const int tabs = e.TabCount();
  QUARN_FUZZ_CHECK((e.SelectedTab() >= 0) == (tabs > 0));
  QUARN_FUZZ_CHECK(e.SelectedTab() < tabs);
  if (tabs > 0) {
    auto shown = e.ShownTabs();
    QUARN_FUZZ_CHECK(std::find(shown.begin(), shown.end(), e.SelectedTab()) != shown.end());
  }
  QUARN_FUZZ_CHECK(e.FirstWindowTab() >= 0 && (tabs == 0 || e.FirstWindowTab() < tabs));
  const auto& originals = e.Originals();
  for (std::size_t j = 0; j < originals.size(); ++j) {
    QUARN_FUZZ_CHECK(!originals[j].empty() && !quarn::HasLineBreak(originals[j]));
    if (j > 0) QUARN_FUZZ_CHECK(originals[j - 1] < originals[j]);
  }
  for (int t = 0; t < tabs; ++t) {
    QUARN_FUZZ_CHECK(!e.TabAt(t).id.empty());
    for (int u = 0; u < t; ++u) QUARN_FUZZ_CHECK(e.TabAt(u).displayName != e.TabAt(t).displayName);
    for (std::size_t j = 0; j < originals.size(); ++j)
      QUARN_FUZZ_CHECK(!quarn::HasLineBreak(e.Translation(t, static_cast<int>(j))));
  }
}

void CheckSave(LanguageEditor& e, quarn::testing::MemoryFileStore& files) {
  const LanguageFileContent meant = e.BuildFileContent();
  const auto result = e.Save(files, kPath);
  if (result != LanguageEditor::SaveResult::Saved) return;
  const auto* bytes = files.Get(kPath);
  QUARN_FUZZ_CHECK(bytes != nullptr);
  const auto back = quarn::ReadLanguageFile(bytes->data(), bytes->size());
  QUARN_FUZZ_CHECK(back.has_value() && SameContent(*back, meant));
  QUARN_FUZZ_CHECK(!e.Modified());
  // Saved again at once, the file does not change.
  const auto first = *bytes;
  QUARN_FUZZ_CHECK(e.Save(files, kPath) == LanguageEditor::SaveResult::Saved);
  QUARN_FUZZ_CHECK(*files.Get(kPath) == first);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quarn::fuzz::FuzzInput in(data, size);
  const std::vector<std::uint8_t> file = in.Bytes();

  quarn::testing::MemoryFileStore files;
  files.AddFolder(u"C:\\T");
  files.files[quarn::testing::Fold(kPath)] = file;
  LanguageEditor e(Locales());
  const auto opened = e.Open(files, kPath);
  CheckState(e);
  if (opened == LanguageEditor::OpenResult::Loaded) {
    // Nothing edited: the same content, and the same bytes when the file was
    // written the way the writer writes (CR LF after every line).
    const auto read = quarn::ReadLanguageFile(file.data(), file.size());
    QUARN_FUZZ_CHECK(read.has_value());
    QUARN_FUZZ_CHECK(e.Save(files, kPath) == LanguageEditor::SaveResult::Saved);
    const auto* saved = files.Get(kPath);
    const auto back = quarn::ReadLanguageFile(saved->data(), saved->size());
    QUARN_FUZZ_CHECK(back.has_value() && SameContent(*back, *read));
    if (quarn::WriteLanguageFile(*read) == file) QUARN_FUZZ_CHECK(*saved == file);
  } else {
    QUARN_FUZZ_CHECK(e.TabCount() == 0 && e.Originals().empty());
    QUARN_FUZZ_CHECK(files.writes.empty());
  }

  const int boxSize = static_cast<int>(Locales().size());
  for (int steps = 0; steps < 64 && !in.Empty(); ++steps) {
    const int rows = static_cast<int>(e.Originals().size());
    switch (in.U8() % 12) {
      case 0:
        e.AddLanguage(static_cast<int>(in.U8() % (boxSize + 2)) - 1);
        break;
      case 1:
        e.DeleteLanguage();
        break;
      case 2:
        e.NextPage();
        break;
      case 3:
        e.PrevPage();
        break;
      case 4:
        e.SelectTab(static_cast<int>(in.U8()) % (e.TabCount() + 2) - 1);
        break;
      case 5: {
        const int row = static_cast<int>(in.U8()) % (rows + 2) - 1;
        e.SetTranslation(e.SelectedTab(), row, in.Text());
        break;
      }
      case 6:
        e.AddConstText(in.Text());
        break;
      case 7:
        e.DeleteItemFromList(static_cast<int>(in.U8()) % (rows + 2) - 1);
        break;
      case 8:
        e.SetTabTextList(in.Text());
        break;
      case 9: {
        // Get, then Set unchanged: the originals that can be listed stay.
        const auto before = e.Originals();
        const bool modified = e.Modified();
        const bool taken = e.SetTabTextList(e.GetTabTextList());
        bool listable = false;
        for (const auto& o : before) listable |= o.find(u'=') == std::u16string::npos;
        QUARN_FUZZ_CHECK(taken == (e.SelectedTab() >= 0 && listable));
        QUARN_FUZZ_CHECK(e.Originals() == before);
        QUARN_FUZZ_CHECK(e.Modified() == modified);
        break;
      }
      case 10:
        CheckSave(e, files);
        break;
      case 11:
        files.readOnly.clear();
        if (in.Bool()) files.readOnly.insert(quarn::testing::Fold(kPath));
        break;
    }
    CheckState(e);
  }
  files.readOnly.clear();
  CheckSave(e, files);
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  using quarn::LanguageBlock;
  auto withOps = [](const LanguageFileContent& c, std::vector<std::uint8_t> ops) {
    quarn::fuzz::FuzzWriter w;
    w.Bytes(*quarn::WriteLanguageFile(c));
    w.Raw(ops);
    return w.Data();
  };
  const LanguageFileContent sample{
      {u"Apply", u"Cancel", u"OK"},
      {LanguageBlock{u"0409", {}}, LanguageBlock{u"0804", {u"Apply=\u5E94\u7528", u"OK=x"}},
       LanguageBlock{u"CH", {u"Apply=y"}}, LanguageBlock{u"0804", {u"OK=z"}}}};
  const LanguageFileContent unsorted{{u"b", u"", u"a=1", u"a"},
                                     {LanguageBlock{u"0407", {u"b=B", u"junk", u"=x", u"zz=old"}}}};
  return {
      withOps(sample, {}),
      // Add French, type a translation, save.
      withOps(sample, {0, 6, 5, 1, 1, 0, u'x', 0, 10}),
      // Text list get/set on every tab, delete a row, save with the file locked then not.
      withOps(sample, {9, 4, 1, 9, 7, 2, 11, 1, 10, 11, 0, 10}),
      // Many languages, page right and left, delete.
      withOps(sample, {0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0, 9, 0, 10, 2, 2, 2, 3, 1, 1, 10}),
      withOps(unsorted, {6, 3, u'V', 0, u'o', 0, u'l', 0, 10, 8, 4, u'b', 0, u'=', 0, 10}),
      withOps(LanguageFileContent{}, {0, 1, 6, 1, u'a', 0, 10}),
      // Damaged: cut short.
      [&] {
        auto bytes = *quarn::WriteLanguageFile(sample);
        bytes.resize(bytes.size() - 2);
        quarn::fuzz::FuzzWriter w;
        w.Bytes(bytes).U8(10);
        return w.Data();
      }(),
  };
}
