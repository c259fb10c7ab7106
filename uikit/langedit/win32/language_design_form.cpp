#include "language_design_form.h"

#include <commctrl.h>

#include <vector>

#include "wide.h"

namespace {

using quarn::FromWide;
using quarn::LanguageEditor;
using quarn::ToWide;

constexpr int kClientWidth = 930;
constexpr int kClientHeight = 508;
constexpr int kTextListWidth = 667;
constexpr int kTextListHeight = 368;
constexpr int kTabWidth = 150;

std::wstring WindowText(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  if (n <= 0) return {};
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  int got = GetWindowTextW(hwnd, text.data(), n + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

void RegisterOnce(const wchar_t* name, WNDPROC proc, HINSTANCE instance) {
  WNDCLASSEXW wc{};
  if (GetClassInfoExW(instance, name, &wc)) return;
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

}  // namespace

TvnLanguageDesignForm::TvnLanguageDesignForm(quarn::FileStore& files,
                                             quarn::EditorLocaleSource& locales,
                                             std::u16string path)
    : files_(files), path_(std::move(path)), model_(locales.SupportedLocales()) {}

TvnLanguageDesignForm::~TvnLanguageDesignForm() {
  if (textList_) DestroyWindow(textList_);
  if (hwnd_) DestroyWindow(hwnd_);
}

bool TvnLanguageDesignForm::Create(HINSTANCE instance, int show) {
  instance_ = instance;
  INITCOMMONCONTROLSEX icc{sizeof(icc),
                           ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterOnce(kClassName, &WndProc, instance);
  RegisterOnce(kTextListClassName, &TextListProc, instance);

  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT r{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&r, style, FALSE, 0);
  hwnd_ = CreateWindowExW(0, kClassName, L"Language Translate v1.2 VARNOK INC.", style,
                          CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr,
                          nullptr, instance, this);
  if (!hwnd_) return false;
  CreateControls();

  HWND combo = Control(kLangCombo);
  for (const auto& name : model_.LanguageBoxItems())
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(name).c_str()));
  SendMessageW(combo, CB_SETMINVISIBLE, 20, 0);

  opened_ = model_.Open(files_, path_);
  RebuildTabs();
  ShowWindow(hwnd_, show);
  UpdateWindow(hwnd_);
  if (opened_ == LanguageEditor::OpenResult::Damaged)
    Notice(L"The language file could not be read:\n" + ToWide(path_) +
           L"\n\nThe editor opens empty. The file stays as it is unless you save.");
  return true;
}

void TvnLanguageDesignForm::CreateControls() {
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  auto make = [this](const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w,
                     int h, int id, DWORD ex = 0) {
    HWND c = CreateWindowExW(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    return c;
  };
  make(L"STATIC", L"Langs List\xFF1A", SS_LEFT, 8, 10, 78, 18, kLabel1);
  // A drop-down list's height includes its list: twenty rows.
  make(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 88, 6, 280, 24 + 20 * 16,
       kLangCombo);
  make(L"BUTTON", L"Add Language", BS_PUSHBUTTON | WS_TABSTOP, 378, 5, 110, 25, kBtnAddLanguage);
  make(L"BUTTON", L"Delete Language", BS_PUSHBUTTON | WS_TABSTOP, 494, 5, 110, 25, kBtnDelet);
  make(L"BUTTON", L"Prev Page", BS_PUSHBUTTON | WS_TABSTOP, 640, 5, 90, 25, kBtnPrevPage);
  make(L"BUTTON", L"Next Page", BS_PUSHBUTTON | WS_TABSTOP, 736, 5, 90, 25, kBtnNextPage);

  HWND tabs = make(WC_TABCONTROLW, L"", TCS_FIXEDWIDTH | WS_CLIPSIBLINGS | WS_TABSTOP, 8, 38,
                   kClientWidth - 16, 436, kTabControl1);
  SendMessageW(tabs, TCM_SETITEMSIZE, 0, MAKELPARAM(kTabWidth, 20));
  // The grid lies in the tab's page: 876 x 411 at (0, 20) of the tab strip's content.
  HWND grid = make(WC_LISTVIEWW, L"",
                   LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
                   8 + 4, 38 + 20, 876 + 26, 411, kGrid, WS_EX_CLIENTEDGE);
  SendMessageW(grid, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH;
  col.cx = 380;
  col.pszText = const_cast<wchar_t*>(L"Original");
  SendMessageW(grid, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
  col.cx = 440;
  col.pszText = const_cast<wchar_t*>(L"Translation");
  SendMessageW(grid, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&col));
  SetWindowPos(grid, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  make(L"STATIC", L"Type Text to translate:", SS_LEFT, 8, 484, 140, 18, kText1);
  make(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, 150, 480, 210, 22, kTBConstText,
       WS_EX_CLIENTEDGE);
  make(L"BUTTON", L"Add Const Text", BS_PUSHBUTTON | WS_TABSTOP, 366, 479, 112, 25,
       kBTNADDConstText);
  make(L"BUTTON", L"Delete Item From List", BS_PUSHBUTTON | WS_TABSTOP, 484, 479, 140, 25,
       kBTNDELCONSTTEXT);
  make(L"BUTTON", L"Save to language file", BS_PUSHBUTTON | WS_TABSTOP, 630, 479, 145, 25,
       kSbtnSaveLanguageToFile);
  make(L"BUTTON", L"Get/Set Text List", BS_PUSHBUTTON | WS_TABSTOP, 781, 479, 141, 25,
       kSpeedButton2);
}

LRESULT CALLBACK TvnLanguageDesignForm::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<TvnLanguageDesignForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || self->hwnd_ != hwnd) return DefWindowProcW(hwnd, msg, wp, lp);
  try {  // no exception crosses the window procedure
    return self->Handle(msg, wp, lp);
  } catch (...) {
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

LRESULT TvnLanguageDesignForm::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_DESTROY:
      EndCellEdit(false);
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      if (OnDestroyed) OnDestroyed();
      return 0;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void TvnLanguageDesignForm::Notice(const std::wstring& text) {
  if (OnNotice) {
    OnNotice(text);
    return;
  }
  MessageBoxW(textList_ ? textList_ : hwnd_, text.c_str(), L"Language Translate",
              MB_OK | MB_ICONWARNING);
}

void TvnLanguageDesignForm::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  // A click elsewhere takes the cell being typed first.
  EndCellEdit(true);
  switch (id) {
    case kBtnAddLanguage:
      AddLanguage();
      break;
    case kBtnDelet:
      DeleteLanguage();
      break;
    case kBtnPrevPage:
      model_.PrevPage();
      RebuildTabs();
      break;
    case kBtnNextPage:
      model_.NextPage();
      RebuildTabs();
      break;
    case kBTNADDConstText:
      AddConstText();
      break;
    case kBTNDELCONSTTEXT:
      DeleteItem();
      break;
    case kSbtnSaveLanguageToFile:
      Save();
      break;
    case kSpeedButton2:
      ShowTextList();
      break;
  }
}

LRESULT TvnLanguageDesignForm::OnNotify(NMHDR* hdr) {
  if (!hdr) return 0;
  if (hdr->idFrom == kTabControl1 && hdr->code == TCN_SELCHANGE) {
    if (rebuildingTabs_) return 0;
    EndCellEdit(true);
    HWND tabs = Control(kTabControl1);
    int pos = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    if (pos >= 0 && SendMessageW(tabs, TCM_GETITEMW, pos, reinterpret_cast<LPARAM>(&item)))
      model_.SelectTab(static_cast<int>(item.lParam));
    RefreshGrid();
    return 0;
  }
  if (hdr->idFrom != kGrid) return 0;
  switch (hdr->code) {
    case LVN_GETDISPINFOW: {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(hdr);
      if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0)
        return 0;
      int row = info->item.iItem;
      const auto& originals = model_.Originals();
      if (row < 0 || static_cast<std::size_t>(row) >= originals.size()) {
        info->item.pszText[0] = L'\0';
        return 0;
      }
      dispText_ = ToWide(info->item.iSubItem == 0 ? originals[static_cast<std::size_t>(row)]
                                                  : model_.Translation(model_.SelectedTab(), row));
      lstrcpynW(info->item.pszText, dispText_.c_str(), info->item.cchTextMax);
      return 0;
    }
    case NM_DBLCLK: {
      auto* act = reinterpret_cast<NMITEMACTIVATE*>(hdr);
      BeginCellEdit(act->iItem >= 0 ? act->iItem : SelectedRow());
      return 0;
    }
    case NM_RETURN:
      BeginCellEdit(SelectedRow());
      return 0;
    case LVN_KEYDOWN:
      if (reinterpret_cast<NMLVKEYDOWN*>(hdr)->wVKey == VK_F2) BeginCellEdit(SelectedRow());
      return 0;
    case LVN_BEGINSCROLL:
      EndCellEdit(true);
      return 0;
  }
  return 0;
}

void TvnLanguageDesignForm::RebuildTabs() {
  HWND tabs = Control(kTabControl1);
  rebuildingTabs_ = true;
  SendMessageW(tabs, TCM_DELETEALLITEMS, 0, 0);
  int pos = 0;
  int selectedPos = -1;
  for (int i : model_.ShownTabs()) {
    std::wstring name = ToWide(model_.TabAt(i).displayName);
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = name.data();
    item.lParam = i;
    SendMessageW(tabs, TCM_INSERTITEMW, pos, reinterpret_cast<LPARAM>(&item));
    if (i == model_.SelectedTab()) selectedPos = pos;
    ++pos;
  }
  SendMessageW(tabs, TCM_SETCURSEL, selectedPos, 0);
  rebuildingTabs_ = false;
  RefreshGrid();
}

void TvnLanguageDesignForm::RefreshGrid() {
  HWND grid = Control(kGrid);
  std::size_t rows = model_.SelectedTab() >= 0 ? model_.Originals().size() : 0;
  SendMessageW(grid, LVM_SETITEMCOUNT, rows, LVSICF_NOINVALIDATEALL);
  InvalidateRect(grid, nullptr, TRUE);
}

int TvnLanguageDesignForm::SelectedRow() const {
  return static_cast<int>(SendMessageW(GetDlgItem(hwnd_, kGrid), LVM_GETNEXTITEM,
                                       static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TvnLanguageDesignForm::BeginCellEdit(int row) {
  EndCellEdit(true);
  int tab = model_.SelectedTab();
  if (tab < 0 || row < 0 || static_cast<std::size_t>(row) >= model_.Originals().size()) return;
  HWND grid = Control(kGrid);
  SendMessageW(grid, LVM_ENSUREVISIBLE, row, FALSE);
  RECT r{};
  r.top = 1;  // the translation column
  r.left = LVIR_BOUNDS;
  if (!SendMessageW(grid, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&r))) return;
  cellEdit_ =
      CreateWindowExW(0, L"EDIT", ToWide(model_.Translation(tab, row)).c_str(),
                      WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, r.left, r.top,
                      r.right - r.left, r.bottom - r.top + 2, grid,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCellEdit)), instance_, nullptr);
  if (!cellEdit_) return;
  cellRow_ = row;
  SendMessageW(cellEdit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  SetWindowSubclass(cellEdit_, &CellEditProc, 1, reinterpret_cast<DWORD_PTR>(this));
  SendMessageW(cellEdit_, EM_SETSEL, 0, -1);
  SetFocus(cellEdit_);
}

void TvnLanguageDesignForm::EndCellEdit(bool commit) {
  if (!cellEdit_) return;
  HWND edit = cellEdit_;
  int row = cellRow_;
  cellEdit_ = nullptr;  // the destruction below takes the focus away: no second end
  cellRow_ = -1;
  std::wstring text = WindowText(edit);
  bool hadFocus = GetFocus() == edit;
  DestroyWindow(edit);
  if (hadFocus && hwnd_) SetFocus(Control(kGrid));
  if (!commit) return;
  if (!model_.SetTranslation(model_.SelectedTab(), row, FromWide(text)))
    Notice(L"A translation cannot hold a line break.");
  SendMessageW(Control(kGrid), LVM_REDRAWITEMS, row, row);
}

LRESULT CALLBACK TvnLanguageDesignForm::CellEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                                     UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<TvnLanguageDesignForm*>(data);
  try {
    switch (msg) {
      case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DefSubclassProc(hwnd, msg, wp, lp);
      case WM_KEYDOWN:
        if (wp == VK_RETURN || wp == VK_ESCAPE) {
          if (self->cellEdit_ == hwnd) self->EndCellEdit(wp == VK_RETURN);
          return 0;
        }
        break;
      case WM_CHAR:
        if (wp == L'\r' || wp == L'\n' || wp == 27) return 0;  // no beep
        break;
      case WM_KILLFOCUS: {
        LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
        if (self->cellEdit_ == hwnd) self->EndCellEdit(true);
        return result;
      }
      case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &CellEditProc, 1);
        break;
    }
  } catch (...) {
    return 0;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

void TvnLanguageDesignForm::AddLanguage() {
  int index = static_cast<int>(SendMessageW(Control(kLangCombo), CB_GETCURSEL, 0, 0));
  auto result = model_.AddLanguage(index);
  if (result == LanguageEditor::AddLanguageResult::NoLanguageId) {
    Notice(L"This locale has no language ID for the language file.");
    return;
  }
  if (result != LanguageEditor::AddLanguageResult::NoChoice) RebuildTabs();
}

void TvnLanguageDesignForm::DeleteLanguage() {
  if (model_.DeleteLanguage()) RebuildTabs();
}

void TvnLanguageDesignForm::AddConstText() {
  std::wstring text = WindowText(Control(kTBConstText));
  switch (model_.AddConstText(FromWide(text))) {
    case LanguageEditor::AddTextResult::Added:
      RefreshGrid();
      break;
    case LanguageEditor::AddTextResult::HasLineBreak:
      Notice(L"A text to translate cannot hold a line break.");
      break;
    case LanguageEditor::AddTextResult::HasEquals:
      Notice(L"A text to translate cannot hold \"=\".");
      break;
    default:
      break;
  }
}

void TvnLanguageDesignForm::DeleteItem() {
  if (model_.DeleteItemFromList(SelectedRow())) RefreshGrid();
}

void TvnLanguageDesignForm::Save() {
  switch (model_.Save(files_, path_)) {
    case LanguageEditor::SaveResult::Saved:
      break;
    case LanguageEditor::SaveResult::TooLarge:
      Notice(L"The texts are too large for a language file. Nothing was written.");
      break;
    case LanguageEditor::SaveResult::WriteFailed:
      Notice(L"The language file could not be written:\n" + ToWide(path_) +
             L"\n\nIt is unchanged.");
      break;
  }
}

void TvnLanguageDesignForm::ShowTextList() {
  if (model_.SelectedTab() < 0 || textList_) return;
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  RECT r{0, 0, kTextListWidth, kTextListHeight};
  AdjustWindowRectEx(&r, style, FALSE, 0);
  POINT at{8, 38};  // below the tool bar
  ClientToScreen(hwnd_, &at);
  textList_ = CreateWindowExW(0, kTextListClassName, L"Text List", style, at.x, at.y,
                              r.right - r.left, r.bottom - r.top, hwnd_, nullptr, instance_, this);
  if (!textList_) return;
  HWND memo = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                  ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
                              0, 0, kTextListWidth, kTextListHeight - 34, textList_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMemoTextList)),
                              instance_, nullptr);
  SendMessageW(memo, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  SendMessageW(memo, EM_SETLIMITTEXT, 0, 0);
  SetWindowTextW(memo, ToWide(model_.GetTabTextList()).c_str());
  HWND save = CreateWindowExW(0, L"BUTTON", L"Save", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                              kTextListWidth - 88, kTextListHeight - 30, 80, 25, textList_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBtnSaveTextList)),
                              instance_, nullptr);
  SendMessageW(save, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);

  // Modal: the form takes no input until the pop-up closes.
  EnableWindow(hwnd_, FALSE);
  ShowWindow(textList_, SW_SHOW);
  SetFocus(memo);
  textListOpen_ = true;
  MSG msg;
  while (textListOpen_) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  textListOpen_ = false;
  if (hwnd_) {
    EnableWindow(hwnd_, TRUE);
    SetActiveWindow(hwnd_);
  }
  if (textList_) DestroyWindow(textList_);
  textList_ = nullptr;
  RefreshGrid();
}

LRESULT CALLBACK TvnLanguageDesignForm::TextListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<TvnLanguageDesignForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    switch (msg) {
      case WM_COMMAND:
        if (LOWORD(wp) == kBtnSaveTextList && HIWORD(wp) == BN_CLICKED) {
          std::wstring text = WindowText(GetDlgItem(hwnd, kMemoTextList));
          if (self->model_.SetTabTextList(FromWide(text)))
            self->textListOpen_ = false;
          else
            self->Notice(
                L"The list holds no line of the form original=translation. "
                L"Nothing was changed.");
          return 0;
        }
        break;
      case WM_CLOSE:
        self->textListOpen_ = false;
        return 0;
      case WM_DESTROY:
        self->textListOpen_ = false;
        break;
    }
  } catch (...) {
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}
