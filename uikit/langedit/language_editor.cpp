#include "language_editor.h"

#include <algorithm>
#include <map>

#include "text_lists.h"
#include "translation_table.h"

namespace quarn {

namespace {

// Position of a text in a sorted list; -1 when it is not there.
int IndexOf(const std::vector<std::u16string>& sorted, std::u16string_view text) {
  auto it = std::lower_bound(sorted.begin(), sorted.end(), text);
  if (it == sorted.end() || *it != text) return -1;
  return static_cast<int>(it - sorted.begin());
}

const std::u16string kEmpty;

}  // namespace

int EditorLocaleTable::Find(std::u16string_view key) const {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (EqualsIgnoringCase(lines_[i].key, key)) return static_cast<int>(i);
  return -1;
}

LanguageEditor::LanguageEditor(const std::vector<EditorLocale>& locales) {
  for (const auto& l : locales) {
    localeList_.Add({l.languageId, l.displayName, l.languageId});
    shortIdList_.Add(
        {l.countryFitsTen ? l.languageId : std::u16string(), l.displayName, l.languageId});
  }
}

std::vector<std::u16string> LanguageEditor::LanguageBoxItems() const {
  std::vector<std::u16string> items;
  items.reserve(localeList_.Lines().size());
  for (const auto& line : localeList_.Lines()) items.push_back(line.displayName);
  return items;
}

LanguageEditor::OpenResult LanguageEditor::Open(FileStore& files, std::u16string_view path) {
  std::vector<std::uint8_t> bytes;
  StoreStatus status = files.ReadWholeFile(path, bytes);
  if (status == StoreStatus::Ok) {
    if (auto content = ReadLanguageFile(bytes.data(), bytes.size())) {
      LoadLanguageAndCreateTranslateTabList(*content);
      return OpenResult::Loaded;
    }
  }
  LoadLanguageAndCreateTranslateTabList({});
  return status == StoreStatus::Missing ? OpenResult::Missing : OpenResult::Damaged;
}

void LanguageEditor::LoadLanguageAndCreateTranslateTabList(const LanguageFileContent& content) {
  fileOriginals_ = content.originals;
  std::vector<std::u16string> originals;
  for (const auto& o : content.originals)
    if (!o.empty()) originals.push_back(o);
  SortUnique(originals);
  originals_ = std::move(originals);
  originalsEdited_ = false;
  structureEdited_ = false;

  languages_.clear();
  tabs_.clear();
  selected_ = -1;
  first_ = 0;
  std::vector<int> usedRecords;
  for (const auto& block : content.languages) {
    Language language{block.id, block.lines, nextSerial_++, false};
    int record = block.id.empty() ? -1 : shortIdList_.Find(block.id);
    if (record >= 0 &&
        std::find(usedRecords.begin(), usedRecords.end(), record) == usedRecords.end()) {
      usedRecords.push_back(record);
      language.tabbed = true;
      languages_.push_back(std::move(language));
      const auto& line = shortIdList_.Lines()[static_cast<std::size_t>(record)];
      AppendTab(Tab{block.id, line.displayName, true}, languages_.back().serial, true);
    } else {
      languages_.push_back(std::move(language));
    }
  }
}

LanguageEditor::Language* LanguageEditor::FindLanguage(int serial) {
  for (auto& l : languages_)
    if (l.serial == serial) return &l;
  return nullptr;
}

const LanguageEditor::Language* LanguageEditor::FindLanguage(int serial) const {
  for (const auto& l : languages_)
    if (l.serial == serial) return &l;
  return nullptr;
}

std::vector<LanguageEditor::Cell> LanguageEditor::FillCells(const Language* language,
                                                            bool originalWhenMissing) const {
  TranslationTable table(language ? language->lines : std::vector<std::u16string>{});
  std::vector<Cell> cells;
  cells.reserve(originals_.size());
  for (const auto& o : originals_) {
    auto found = table.Find(o);
    if (found && !found->empty())
      cells.push_back(Cell{std::u16string(*found), false});
    else
      cells.push_back(Cell{originalWhenMissing ? o : std::u16string(), false});
  }
  return cells;
}

std::u16string LanguageEditor::CellFor(const Language* language, const std::u16string& original,
                                       bool originalWhenMissing) const {
  TranslationTable table(language ? language->lines : std::vector<std::u16string>{});
  auto found = table.Find(original);
  if (found && !found->empty()) return std::u16string(*found);
  return originalWhenMissing ? original : std::u16string();
}

int LanguageEditor::AppendTab(Tab tab, int serial, bool originalWhenMissing) {
  tab.shown = true;  // a new tab shows whatever the window
  TabState state{std::move(tab), serial, originalWhenMissing, {}};
  state.cells = FillCells(FindLanguage(serial), originalWhenMissing);
  tabs_.push_back(std::move(state));
  selected_ = static_cast<int>(tabs_.size()) - 1;
  return selected_;
}

bool LanguageEditor::SelectTab(int i) {
  if (i < 0 || i >= TabCount()) return false;
  Select(i);
  return true;
}

void LanguageEditor::Select(int i) {
  selected_ = i;
  tabs_[static_cast<std::size_t>(i)].tab.shown = true;  // the selected tab is in the strip
}

std::vector<int> LanguageEditor::ShownTabs() const {
  std::vector<int> shown;
  for (int i = 0; i < TabCount(); ++i)
    if (tabs_[static_cast<std::size_t>(i)].tab.shown) shown.push_back(i);
  return shown;
}

void LanguageEditor::ShowTabWindow() {
  int count = TabCount();
  // The window never starts past the last full page, so it is never empty.
  first_ = std::clamp(first_, 0, std::max(0, count - kVisibleTabs));
  for (int i = 0; i < count; ++i)
    tabs_[static_cast<std::size_t>(i)].tab.shown = i >= first_ && i < first_ + kVisibleTabs;
  if (selected_ >= 0 && !tabs_[static_cast<std::size_t>(selected_)].tab.shown) selected_ = first_;
}

bool LanguageEditor::NextPage() {
  bool moves = TabCount() - first_ > kVisibleTabs;
  if (moves) ++first_;
  ShowTabWindow();
  return moves;
}

bool LanguageEditor::PrevPage() {
  bool moves = first_ > 0;
  if (moves) --first_;
  ShowTabWindow();
  return moves;
}

LanguageEditor::AddLanguageResult LanguageEditor::AddLanguage(int boxIndex) {
  const auto& lines = shortIdList_.Lines();
  if (boxIndex < 0 || static_cast<std::size_t>(boxIndex) >= lines.size())
    return AddLanguageResult::NoChoice;
  const auto& line = lines[static_cast<std::size_t>(boxIndex)];
  for (int i = 0; i < TabCount(); ++i)
    if (tabs_[static_cast<std::size_t>(i)].tab.displayName == line.displayName) {
      Select(i);
      return AddLanguageResult::Selected;
    }
  // A locale whose country abbreviation is too long has no ID to file it under.
  if (line.key.empty()) return AddLanguageResult::NoLanguageId;
  // Two locales of one language share its ID: one tab serves both.
  for (int i = 0; i < TabCount(); ++i)
    if (EqualsIgnoringCase(tabs_[static_cast<std::size_t>(i)].tab.id, line.key)) {
      Select(i);
      return AddLanguageResult::Selected;
    }
  // A copy of the language the file holds without a tab takes the tab and keeps its place.
  Language* language = nullptr;
  for (auto& l : languages_)
    if (!l.tabbed && EqualsIgnoringCase(l.id, line.key)) {
      language = &l;
      break;
    }
  if (!language) {
    languages_.push_back(Language{line.key, {}, nextSerial_++, false});
    language = &languages_.back();
  }
  language->tabbed = true;
  structureEdited_ = true;
  AppendTab(Tab{language->id, line.displayName, true}, language->serial, false);
  return AddLanguageResult::Added;
}

bool LanguageEditor::DeleteLanguage() {
  if (selected_ < 0 || selected_ >= TabCount()) return false;
  int removed = selected_;
  int serial = tabs_[static_cast<std::size_t>(removed)].serial;
  languages_.erase(std::remove_if(languages_.begin(), languages_.end(),
                                  [serial](const Language& l) { return l.serial == serial; }),
                   languages_.end());
  tabs_.erase(tabs_.begin() + removed);
  selected_ = removed > 0 ? removed - 1 : (tabs_.empty() ? -1 : 0);
  structureEdited_ = true;
  ShowTabWindow();
  return true;
}

const std::u16string& LanguageEditor::Translation(int tab, int row) const {
  if (tab < 0 || tab >= TabCount()) return kEmpty;
  const auto& cells = tabs_[static_cast<std::size_t>(tab)].cells;
  if (row < 0 || static_cast<std::size_t>(row) >= cells.size()) return kEmpty;
  return cells[static_cast<std::size_t>(row)].text;
}

bool LanguageEditor::SetTranslation(int tab, int row, std::u16string_view text) {
  if (tab < 0 || tab >= TabCount()) return false;
  auto& cells = tabs_[static_cast<std::size_t>(tab)].cells;
  if (row < 0 || static_cast<std::size_t>(row) >= cells.size()) return false;
  // A line break would split the line in the file into two, and an original
  // holding "=" cannot be a line's key.
  if (HasLineBreak(text) ||
      originals_[static_cast<std::size_t>(row)].find(u'=') != std::u16string::npos)
    return false;
  auto& cell = cells[static_cast<std::size_t>(row)];
  if (cell.text == text) return true;
  cell.text = std::u16string(text);
  cell.edited = true;
  return true;
}

LanguageEditor::AddTextResult LanguageEditor::AddConstText(std::u16string_view text) {
  if (text.empty()) return AddTextResult::Empty;
  if (HasLineBreak(text)) return AddTextResult::HasLineBreak;
  // A table line's key ends at its first "=": such a text could never be translated.
  if (text.find(u'=') != std::u16string_view::npos) return AddTextResult::HasEquals;
  if (IndexOf(originals_, text) >= 0) return AddTextResult::AlreadyOriginal;
  std::u16string original(text);
  auto at = std::lower_bound(originals_.begin(), originals_.end(), original);
  std::size_t row = static_cast<std::size_t>(at - originals_.begin());
  originals_.insert(at, original);
  for (auto& tab : tabs_) {
    Cell cell{CellFor(FindLanguage(tab.serial), original, tab.originalWhenMissing), false};
    tab.cells.insert(tab.cells.begin() + static_cast<std::ptrdiff_t>(row), std::move(cell));
  }
  originalsEdited_ = true;
  return AddTextResult::Added;
}

bool LanguageEditor::DeleteItemFromList(int row) {
  if (selected_ < 0 || row < 0 || static_cast<std::size_t>(row) >= originals_.size()) return false;
  originals_.erase(originals_.begin() + row);
  for (auto& tab : tabs_) tab.cells.erase(tab.cells.begin() + row);
  originalsEdited_ = true;
  return true;
}

std::u16string LanguageEditor::GetTabTextList() const {
  if (selected_ < 0) return {};
  const auto& cells = tabs_[static_cast<std::size_t>(selected_)].cells;
  std::vector<std::u16string> lines;
  lines.reserve(originals_.size());
  for (std::size_t j = 0; j < originals_.size(); ++j) {
    if (originals_[j].find(u'=') != std::u16string::npos) continue;
    lines.push_back(originals_[j] + u"=" + cells[j].text);
  }
  return JoinLines(lines);
}

void LanguageEditor::ReplaceOriginals(std::vector<std::u16string> originals) {
  if (originals == originals_) return;
  for (auto& tab : tabs_) {
    const Language* language = FindLanguage(tab.serial);
    TranslationTable table(language ? language->lines : std::vector<std::u16string>{});
    std::vector<Cell> cells;
    cells.reserve(originals.size());
    for (const auto& o : originals) {
      int old = IndexOf(originals_, o);
      if (old >= 0) {
        cells.push_back(std::move(tab.cells[static_cast<std::size_t>(old)]));
      } else {
        auto found = table.Find(o);
        bool translated = found && !found->empty();
        cells.push_back(Cell{
            translated ? std::u16string(*found) : (tab.originalWhenMissing ? o : std::u16string()),
            false});
      }
    }
    tab.cells = std::move(cells);
  }
  originals_ = std::move(originals);
  originalsEdited_ = true;
}

bool LanguageEditor::SetTabTextList(std::u16string_view text) {
  if (selected_ < 0) return false;
  std::vector<std::pair<std::u16string, std::u16string>> keyed;
  for (const auto& line : SplitLines(text)) {
    auto eq = line.find(u'=');
    if (eq == std::u16string::npos || eq == 0) continue;
    keyed.emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
  // A list without one keyed line would leave no original at all.
  if (keyed.empty()) return false;

  std::vector<std::u16string> originals;
  for (const auto& o : originals_)
    if (o.find(u'=') != std::u16string::npos) originals.push_back(o);
  for (const auto& [key, value] : keyed) originals.push_back(key);
  SortUnique(originals);
  ReplaceOriginals(std::move(originals));

  for (const auto& [key, value] : keyed) SetTranslation(selected_, IndexOf(originals_, key), value);
  return true;
}

std::vector<std::u16string> LanguageEditor::TabLines(const TabState& tab,
                                                     const Language& language) const {
  bool anyEdited =
      std::any_of(tab.cells.begin(), tab.cells.end(), [](const Cell& c) { return c.edited; });
  if (!originalsEdited_ && !anyEdited) return language.lines;

  // The lines of the file in their order: an untouched row keeps its lines, an
  // edited row gets its cell (an empty cell removes it), and lines of texts
  // that are no longer originals are dropped. Edited rows the file had no line
  // for follow in the originals' order.
  std::vector<std::u16string> out;
  std::vector<bool> written(originals_.size(), false);
  for (const auto& line : language.lines) {
    auto eq = line.find(u'=');
    if (eq == std::u16string::npos || eq == 0) continue;
    int j = IndexOf(originals_, std::u16string_view(line).substr(0, eq));
    if (j < 0) continue;
    const Cell& cell = tab.cells[static_cast<std::size_t>(j)];
    if (!cell.edited) {
      out.push_back(line);
      continue;
    }
    if (written[static_cast<std::size_t>(j)]) continue;
    written[static_cast<std::size_t>(j)] = true;
    if (!cell.text.empty())
      out.push_back(originals_[static_cast<std::size_t>(j)] + u"=" + cell.text);
  }
  for (std::size_t j = 0; j < originals_.size(); ++j) {
    const Cell& cell = tab.cells[j];
    if (cell.edited && !written[j] && !cell.text.empty())
      out.push_back(originals_[j] + u"=" + cell.text);
  }
  return out;
}

LanguageFileContent LanguageEditor::BuildFileContent() const {
  LanguageFileContent content;
  content.originals = originalsEdited_ ? originals_ : fileOriginals_;
  content.languages.reserve(languages_.size());
  for (const auto& language : languages_) {
    const TabState* tab = nullptr;
    if (language.tabbed)
      for (const auto& t : tabs_)
        if (t.serial == language.serial) tab = &t;
    content.languages.push_back(
        LanguageBlock{language.id, tab ? TabLines(*tab, language) : language.lines});
  }
  return content;
}

LanguageEditor::SaveResult LanguageEditor::Save(FileStore& files, std::u16string_view path) {
  LanguageFileContent content = BuildFileContent();
  auto bytes = WriteLanguageFile(content);
  if (!bytes) return SaveResult::TooLarge;
  if (!files.WriteWholeFile(path, bytes->data(), bytes->size())) return SaveResult::WriteFailed;

  // What was written is now what the file holds.
  fileOriginals_ = std::move(content.originals);
  originalsEdited_ = false;
  structureEdited_ = false;
  for (std::size_t i = 0; i < languages_.size(); ++i)
    languages_[i].lines = std::move(content.languages[i].lines);
  for (auto& tab : tabs_)
    for (auto& cell : tab.cells) cell.edited = false;
  return SaveResult::Saved;
}

bool LanguageEditor::Modified() const {
  if (originalsEdited_ || structureEdited_) return true;
  for (const auto& tab : tabs_)
    for (const auto& cell : tab.cells)
      if (cell.edited) return true;
  return false;
}

}  // namespace quarn
