// The translation editor under Wine: the system's locales, the window driven
// with real X input over a copy of the shipped vn.local (a typed translation is
// saved and read back byte for byte), a damaged file left alone, the text-list
// pop-up, and langedit.exe started beside a copy of the file.
#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "language_design_form.h"
#include "language_file.h"
#include "module_path.h"
#include "translation.h"
#include "translation_table.h"
#include "vn_language.h"
#include "wide.h"
#include "win_editor_locale_source.h"
#include "win_file_store.h"
#include "win_locale_source.h"
#include "window_input.h"

namespace {

using quarn::FromWide;
using quarn::ToWide;
using quarn::ui::testing::MoveTo;
using quarn::ui::testing::Pump;
using quarn::ui::testing::PumpUntil;
using quarn::ui::testing::Xdotool;
using Form = TvnLanguageDesignForm;

std::wstring ExeFolder() {
  return ToWide(quarn::FolderPart(quarn::ExecutableFilePath()));
}

std::vector<std::uint8_t> ReadBytes(const std::wstring& path) {
  std::vector<std::uint8_t> bytes;
  quarn::WinFileStore files;
  files.ReadWholeFile(FromWide(path), bytes);
  return bytes;
}

bool WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  quarn::WinFileStore files;
  return files.WriteWholeFile(FromWide(path), bytes.data(), bytes.size());
}

// A fresh folder under the temporary folder holding a copy of the shipped vn.local.
std::wstring FolderWithShippedFile(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring dir = std::wstring(temp) + L"langedit-" + name + L"-" +
                     std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryW(dir.c_str(), nullptr);
  EXPECT_TRUE(CopyFileW((ExeFolder() + L"vn.local").c_str(), (dir + L"vn.local").c_str(), FALSE));
  return dir;
}

quarn::LanguageFileContent Decode(const std::vector<std::uint8_t>& bytes) {
  auto content = quarn::ReadLanguageFile(bytes.data(), bytes.size());
  EXPECT_TRUE(content.has_value());
  return content.value_or(quarn::LanguageFileContent{});
}

int Find(const std::vector<std::u16string>& list, std::u16string_view text) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i] == text) return static_cast<int>(i);
  return -1;
}

// The middle of a rectangle in a window's client area, on the screen.
POINT ScreenMiddle(HWND hwnd, RECT r) {
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ClientToScreen(hwnd, &p);
  return p;
}

bool ClickAt(POINT p, int clicks = 1) {
  if (!MoveTo(p.x, p.y)) return false;
  Pump(100);
  return Xdotool(clicks == 1 ? L"click 1" : L"click --repeat 2 --delay 80 1");
}

struct OpenForm {
  quarn::WinFileStore files;
  quarn::WinEditorLocaleSource locales;
  std::wstring path;
  Form form;
  std::vector<std::wstring> notices;

  explicit OpenForm(const std::wstring& folder)
      : path(folder + L"vn.local"), form(files, locales, FromWide(path)) {
    form.OnNotice = [this](const std::wstring& text) { notices.push_back(text); };
    EXPECT_TRUE(form.Create(GetModuleHandleW(nullptr), SW_SHOW));
    SetWindowPos(form.Handle(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE);
    SetForegroundWindow(form.Handle());
    Pump(300);
  }
  int TabItems() const {
    return static_cast<int>(SendMessageW(form.Control(Form::kTabControl1), TCM_GETITEMCOUNT, 0, 0));
  }
  int TabOf(std::u16string_view id) {
    for (int i = 0; i < form.Model().TabCount(); ++i)
      if (form.Model().TabAt(i).id == id) return i;
    return -1;
  }
  HWND CellEdit() const {
    return FindWindowExW(form.Control(Form::kGrid), nullptr, L"Edit", nullptr);
  }
};

TEST(LangEditLocales, TheShippedLanguagesHaveDisplayNamesAndIds) {
  quarn::WinEditorLocaleSource source;
  quarn::LanguageEditor editor(source.SupportedLocales());
  EXPECT_GT(editor.LanguageBoxItems().size(), 50u);
  for (const char16_t* id : {u"0409", u"0804", u"0404"}) {
    int at = editor.EditorShortIDList().Find(id);
    ASSERT_GE(at, 0) << ToWide(id).size();
    const auto& line = editor.EditorShortIDList().Lines()[static_cast<std::size_t>(at)];
    EXPECT_FALSE(line.displayName.empty());
    EXPECT_EQ(editor.EditorLocaleList().Find(id), at) << "one position in both tables";
  }
}

TEST(LangEditWindow, ATypedTranslationIsSavedAndReadBackExactly) {
  std::wstring dir = FolderWithShippedFile(L"typed");
  auto shipped = ReadBytes(dir + L"vn.local");
  ASSERT_FALSE(shipped.empty());
  OpenForm f(dir);
  ASSERT_EQ(f.TabItems(), 3);
  EXPECT_TRUE(f.notices.empty());

  // Click the Simplified Chinese tab.
  int tab = f.TabOf(u"0804");
  ASSERT_EQ(tab, 1);
  HWND tabs = f.form.Control(Form::kTabControl1);
  RECT r{};
  ASSERT_TRUE(SendMessageW(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r)));
  ASSERT_TRUE(ClickAt(ScreenMiddle(tabs, r)));
  ASSERT_TRUE(PumpUntil([&] { return f.form.Model().SelectedTab() == tab; }, 3000));

  // Double-click the translation of "Click", type over it and press Return.
  int row = Find(f.form.Model().Originals(), u"Click");
  ASSERT_GE(row, 0);
  HWND grid = f.form.Control(Form::kGrid);
  SendMessageW(grid, LVM_ENSUREVISIBLE, row, FALSE);
  Pump(100);
  RECT cell{};
  cell.top = 1;
  cell.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageW(grid, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell)));
  ASSERT_TRUE(ClickAt(ScreenMiddle(grid, cell), 2));
  ASSERT_TRUE(PumpUntil([&] { return f.CellEdit() && GetFocus() == f.CellEdit(); }, 3000));
  Pump(100);
  ASSERT_TRUE(Xdotool(L"type \"Tap once\""));
  ASSERT_TRUE(
      PumpUntil([&] { return f.CellEdit() && GetWindowTextLengthW(f.CellEdit()) == 8; }, 5000));
  ASSERT_TRUE(Xdotool(L"key Return"));
  ASSERT_TRUE(PumpUntil([&] { return f.CellEdit() == nullptr; }, 3000));
  EXPECT_EQ(f.form.Model().Translation(tab, row), u"Tap once");

  // Click "Save to language file".
  HWND save = f.form.Control(Form::kSbtnSaveLanguageToFile);
  GetClientRect(save, &r);
  ASSERT_TRUE(ClickAt(ScreenMiddle(save, r)));
  ASSERT_TRUE(PumpUntil([&] { return ReadBytes(f.path) != shipped; }, 5000));
  EXPECT_TRUE(f.notices.empty());

  // Exactly that line changed: the file is the shipped one with the line replaced.
  auto expected = Decode(shipped);
  int replaced = 0;
  for (auto& line : expected.languages[1].lines)
    if (line.rfind(u"Click=", 0) == 0) {
      line = u"Click=Tap once";
      ++replaced;
    }
  ASSERT_EQ(replaced, 1);
  EXPECT_EQ(ReadBytes(f.path), quarn::WriteLanguageFile(expected).value());

  // The programs' language component, started from that folder, shows the new text.
  quarn::WinLocaleSource systemLocales;
  quarn::LanguageContext context;
  TvnLanguage language(
      nullptr, quarn::LanguageServices{f.files, systemLocales, FromWide(dir + L"quarnmon.exe")},
      context);
  ASSERT_EQ(language.LanguageCount(), 3);
  language.SetLang(u"0804");
  EXPECT_EQ(context.Translate(u"Click"), u"Tap once");
  quarn::TranslationTable shippedTable(Decode(shipped).languages[1].lines);
  EXPECT_EQ(context.Translate(u"Exit"), shippedTable.Translate(u"Exit"));
  EXPECT_NE(context.Translate(u"Exit"), u"Exit");
}

TEST(LangEditWindow, ADamagedFileOpensEmptyWithAMessageAndIsLeftAlone) {
  std::wstring dir = FolderWithShippedFile(L"damaged");
  auto bytes = ReadBytes(dir + L"vn.local");
  ASSERT_GT(bytes.size(), 10u);
  bytes.resize(bytes.size() - 7);
  ASSERT_TRUE(WriteBytes(dir + L"vn.local", bytes));
  {
    OpenForm f(dir);
    EXPECT_EQ(f.TabItems(), 0);
    ASSERT_EQ(f.notices.size(), 1u);
    EXPECT_NE(f.notices[0].find(L"could not be read"), std::wstring::npos);
    // Buttons that need a tab or a row do nothing.
    for (int id : {Form::kBtnDelet, Form::kBTNDELCONSTTEXT, Form::kSpeedButton2, Form::kBtnNextPage,
                   Form::kBtnPrevPage, Form::kBtnAddLanguage})
      SendMessageW(f.form.Control(id), BM_CLICK, 0, 0);
    Pump(200);
    EXPECT_TRUE(IsWindow(f.form.Handle()));
    EXPECT_EQ(f.notices.size(), 1u);
  }
  EXPECT_EQ(ReadBytes(dir + L"vn.local"), bytes);
}

TEST(LangEditWindow, ASaveThatCannotReplaceTheFileLeavesItAndSaysSo) {
  std::wstring dir = FolderWithShippedFile(L"locked");
  auto shipped = ReadBytes(dir + L"vn.local");
  OpenForm f(dir);
  ASSERT_TRUE(f.form.Model().SetTranslation(1, 0, u"changed"));
  // Another program holds the file open without sharing it.
  HANDLE held = CreateFileW(f.path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SendMessageW(f.form.Control(Form::kSbtnSaveLanguageToFile), BM_CLICK, 0, 0);
  CloseHandle(held);
  ASSERT_EQ(f.notices.size(), 1u);
  EXPECT_NE(f.notices[0].find(L"could not be written"), std::wstring::npos);
  EXPECT_EQ(ReadBytes(f.path), shipped);
  EXPECT_TRUE(f.form.Model().Modified()) << "the edit is still there to save";
  // Once the file is free, the same click saves.
  SendMessageW(f.form.Control(Form::kSbtnSaveLanguageToFile), BM_CLICK, 0, 0);
  EXPECT_EQ(f.notices.size(), 1u);
  EXPECT_NE(ReadBytes(f.path), shipped);
  EXPECT_FALSE(f.form.Model().Modified());
}

// The pop-up runs its own loop: a thread timer inside it plays the user.
struct TextListDriver {
  static inline std::wstring seen;
  static inline std::wstring replacement;
  static inline int ticks = 0;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    if (++ticks > 200) KillTimer(nullptr, id);
    HWND popup = FindWindowW(Form::kTextListClassName, nullptr);
    if (!popup) return;
    HWND memo = GetDlgItem(popup, Form::kMemoTextList);
    int n = GetWindowTextLengthW(memo);
    seen.assign(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(memo, seen.data(), n + 1);
    seen.resize(static_cast<std::size_t>(n));
    if (!replacement.empty()) SetWindowTextW(memo, replacement.c_str());
    KillTimer(nullptr, id);
    PostMessageW(GetDlgItem(popup, Form::kBtnSaveTextList), BM_CLICK, 0, 0);
  }
};

TEST(LangEditWindow, TextListOnANewLanguageKeepsTheOriginalsAndSetsItsLines) {
  std::wstring dir = FolderWithShippedFile(L"textlist");
  auto shipped = ReadBytes(dir + L"vn.local");
  OpenForm f(dir);
  // Add a language the file lacks, through the language box.
  HWND combo = f.form.Control(Form::kLangCombo);
  int at = f.form.Model().EditorShortIDList().Find(u"0407");
  ASSERT_GE(at, 0);
  SendMessageW(combo, CB_SETCURSEL, at, 0);
  SendMessageW(f.form.Control(Form::kBtnAddLanguage), BM_CLICK, 0, 0);
  ASSERT_EQ(f.TabItems(), 4);
  ASSERT_EQ(f.form.Model().TabAt(f.form.Model().SelectedTab()).id, u"0407");

  // Get, then Save unchanged: nothing changes.
  TextListDriver::replacement.clear();
  SetTimer(nullptr, 0, 50, &TextListDriver::Tick);
  SendMessageW(f.form.Control(Form::kSpeedButton2), BM_CLICK, 0, 0);
  EXPECT_NE(TextListDriver::seen.find(L"Click=\r\n"), std::wstring::npos);
  auto sorted = Decode(shipped).originals;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(f.form.Model().Originals(), sorted);

  // Get, then Save with one translated line.
  std::wstring list = TextListDriver::seen;
  std::size_t line = list.rfind(L"Click=\r\n", 0) == 0 ? 0 : list.find(L"\nClick=\r\n") + 1;
  ASSERT_NE(line, std::wstring::npos + 1);
  list.replace(line, 8, L"Click=Klicken\r\n");
  TextListDriver::replacement = list;
  SetTimer(nullptr, 0, 50, &TextListDriver::Tick);
  SendMessageW(f.form.Control(Form::kSpeedButton2), BM_CLICK, 0, 0);
  EXPECT_TRUE(IsWindowEnabled(f.form.Handle()));

  SendMessageW(f.form.Control(Form::kSbtnSaveLanguageToFile), BM_CLICK, 0, 0);
  auto saved = Decode(ReadBytes(f.path));
  EXPECT_EQ(saved.originals, Decode(shipped).originals);
  ASSERT_EQ(saved.languages.size(), 4u);
  EXPECT_EQ(saved.languages[3].id, u"0407");
  EXPECT_EQ(saved.languages[3].lines, (std::vector<std::u16string>{u"Click=Klicken"}));
  EXPECT_TRUE(f.notices.empty());
}

TEST(LangEditTool, StartsBesideACopyOfTheFileWithThreeTabs) {
  std::wstring dir = FolderWithShippedFile(L"tool");
  auto shipped = ReadBytes(dir + L"vn.local");
  ASSERT_TRUE(
      CopyFileW((ExeFolder() + L"langedit.exe").c_str(), (dir + L"langedit.exe").c_str(), FALSE));
  std::wstring cmd = L"\"" + dir + L"langedit.exe\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                             &si, &pi));
  HWND window = nullptr;
  EXPECT_TRUE(PumpUntil(
      [&] {
        window = FindWindowW(Form::kClassName, L"Language Translate v1.2 VARNOK INC.");
        DWORD pid = 0;
        if (window) GetWindowThreadProcessId(window, &pid);
        return window && pid == pi.dwProcessId;
      },
      10000));
  if (window) {
    // The controls are made after the window: look them up while waiting.
    auto tabItems = [&] {
      return SendMessageW(GetDlgItem(window, Form::kTabControl1), TCM_GETITEMCOUNT, 0, 0);
    };
    EXPECT_TRUE(PumpUntil([&] { return tabItems() == 3; }, 5000)) << tabItems();
    EXPECT_EQ(SendMessageW(GetDlgItem(window, Form::kTabControl1), TCM_GETCURSEL, 0, 0), 2)
        << "the last tab built is selected";
    EXPECT_GT(SendMessageW(GetDlgItem(window, Form::kLangCombo), CB_GETCOUNT, 0, 0), 50);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 930);
    EXPECT_EQ(client.bottom, 508);
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_EQ(ReadBytes(dir + L"vn.local"), shipped) << "closing without saving writes nothing";
}

}  // namespace
