// The translation editor's model: the originals and per-language translation
// tables of a language file, shown as one tab per language of the system with a
// grid of originals and translations. It adds and deletes languages and
// originals, pages through the tabs eight at a time, gets and sets a tab's rows
// as "original=translation" lines, and writes the file back keeping every
// language it held, also those that have no tab.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "language_file.h"
#include "stores.h"

namespace quarn {

// One supported locale of the system as the editor lists it.
struct EditorLocale {
  std::u16string languageId;    // four hexadecimal digits as the system writes them, e.g. "0409"
  std::u16string displayName;   // the system's name of the language and country
  bool countryFitsTen = false;  // its country abbreviation fits ten characters
};

class EditorLocaleSource {
 public:
  virtual ~EditorLocaleSource() = default;
  // Every supported locale, in the system's order.
  virtual std::vector<EditorLocale> SupportedLocales() = 0;
};

// A table of the system's locales: one line per locale in the system's order,
// keys matched ignoring letter case, the first match wins.
class EditorLocaleTable {
 public:
  struct Line {
    std::u16string key;
    std::u16string displayName;
    std::u16string languageId;
  };
  void Add(Line line) { lines_.push_back(std::move(line)); }
  // Position of the first line whose key equals `key` ignoring letter case; -1 when none.
  int Find(std::u16string_view key) const;
  const std::vector<Line>& Lines() const { return lines_; }

 private:
  std::vector<Line> lines_;
};

class LanguageEditor {
 public:
  static constexpr int kVisibleTabs = 8;

  enum class OpenResult { Loaded, Missing, Damaged };
  enum class AddLanguageResult { Added, Selected, NoChoice, NoLanguageId };
  enum class AddTextResult { Added, Empty, AlreadyOriginal, HasLineBreak, HasEquals };
  enum class SaveResult { Saved, TooLarge, WriteFailed };

  struct Tab {
    std::u16string id;           // the language ID written to the file
    std::u16string displayName;  // the locale's display name
    bool shown = true;           // in the tab strip (see ShowTabWindow)
  };

  explicit LanguageEditor(const std::vector<EditorLocale>& locales);

  // Keyed by the language ID.
  const EditorLocaleTable& EditorLocaleList() const { return localeList_; }
  // Keyed by the language ID when the country abbreviation fits ten characters, else "".
  const EditorLocaleTable& EditorShortIDList() const { return shortIdList_; }
  // The language box: display names in the tables' order.
  std::vector<std::u16string> LanguageBoxItems() const;

  // Reads the file at `path` and builds the tabs. A missing file opens empty; a
  // file that cannot be read or is damaged opens empty too (the caller tells
  // the user) and is left as it is until the user saves.
  OpenResult Open(FileStore& files, std::u16string_view path);
  // Replaces everything with `content` and builds one tab per language the
  // system knows, in file order; the last one built is selected. Languages
  // without a tab (unknown IDs, second copies) are kept for saving.
  void LoadLanguageAndCreateTranslateTabList(const LanguageFileContent& content);

  // The sorted originals, each once, none empty.
  const std::vector<std::u16string>& Originals() const { return originals_; }

  int TabCount() const { return static_cast<int>(tabs_.size()); }
  const Tab& TabAt(int i) const { return tabs_[static_cast<std::size_t>(i)].tab; }
  int SelectedTab() const { return selected_; }
  // Selects a tab and puts it in the strip; false (nothing changes) outside the tabs.
  bool SelectTab(int i);
  // Tabs in the strip, in tab order.
  std::vector<int> ShownTabs() const;
  int FirstWindowTab() const { return first_; }
  // Move the window of shown tabs by one; false when it cannot move.
  bool NextPage();
  bool PrevPage();

  // Adds a tab for the locale at a position of the language box, or selects
  // the tab that already shows that language (and puts it in the strip).
  AddLanguageResult AddLanguage(int boxIndex);
  // Removes the selected tab and its language; false without a selected tab.
  bool DeleteLanguage();

  // The grid of a tab: row j is original j.
  const std::u16string& Translation(int tab, int row) const;
  // Sets a cell; false for a cell outside the grid, a text with a line break or
  // a row whose original holds "=" (it cannot be translated).
  bool SetTranslation(int tab, int row, std::u16string_view text);

  // Adds a text to the originals at its sorted place in every grid.
  AddTextResult AddConstText(std::u16string_view text);
  // Removes the original of a row of the selected tab; false without one.
  bool DeleteItemFromList(int row);

  // The selected tab's rows as "original=translation" lines with CR LF, every
  // row (an untranslated one as "original="). Originals holding "=" cannot be
  // written as such a line and are left out.
  std::u16string GetTabTextList() const;
  // Takes edited lines back: the originals become the lines' keys (lines
  // without "=" or with an empty key are skipped; originals holding "=" are
  // kept), and the selected tab's cell of each key gets the line's value.
  // False without a selected tab or with nothing to take (no keyed line).
  bool SetTabTextList(std::u16string_view text);

  // The file as it would be saved now.
  LanguageFileContent BuildFileContent() const;
  // Writes the file through the store (atomically). After a failure nothing of
  // the editor or the old file has changed.
  SaveResult Save(FileStore& files, std::u16string_view path);

  // True when something was changed since the file was opened or last saved.
  bool Modified() const;

 private:
  struct Cell {
    std::u16string text;
    bool edited = false;
  };
  // One language of the file, or one added by the editor, in file order.
  struct Language {
    std::u16string id;
    std::vector<std::u16string> lines;  // as read or last written
    int serial = 0;
    bool tabbed = false;
  };
  struct TabState {
    Tab tab;
    int serial = 0;            // its language
    bool originalWhenMissing;  // untranslated rows show their original
    std::vector<Cell> cells;   // one per original
  };

  Language* FindLanguage(int serial);
  const Language* FindLanguage(int serial) const;
  std::u16string CellFor(const Language* language, const std::u16string& original,
                         bool originalWhenMissing) const;
  std::vector<Cell> FillCells(const Language* language, bool originalWhenMissing) const;
  std::vector<std::u16string> TabLines(const TabState& tab, const Language& language) const;
  void ShowTabWindow();
  void Select(int i);
  int AppendTab(Tab tab, int serial, bool originalWhenMissing);
  void ReplaceOriginals(std::vector<std::u16string> originals);

  EditorLocaleTable localeList_;
  EditorLocaleTable shortIdList_;

  std::vector<std::u16string> fileOriginals_;  // as read or last written
  std::vector<std::u16string> originals_;
  bool originalsEdited_ = false;
  std::vector<Language> languages_;
  std::vector<TabState> tabs_;
  int nextSerial_ = 1;
  int selected_ = -1;
  int first_ = 0;
  bool structureEdited_ = false;  // languages added or deleted
};

}  // namespace quarn
