// TvnLanguageDesignForm: the translation editor's window, a plain form of the
// system's common controls over the LanguageEditor model: the language box of
// the system's locales, a tab per language, a grid of originals and
// translations, the text-list pop-up and the buttons that add, delete and save.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "language_editor.h"
#include "stores.h"

class TvnLanguageDesignForm {
 public:
  // Control identifiers (children of the form; the grid's in-place edit is a
  // child of the grid).
  enum : int {
    kLabel1 = 101,
    kLangCombo,
    kBtnAddLanguage,
    kBtnDelet,
    kBtnPrevPage,
    kBtnNextPage,
    kTabControl1,
    kGrid,
    kText1,
    kTBConstText,
    kBTNADDConstText,
    kBTNDELCONSTTEXT,
    kSbtnSaveLanguageToFile,
    kSpeedButton2,
    kCellEdit,
    kMemoTextList,
    kBtnSaveTextList,
  };

  // Edits the language file at `path` (the stand-alone tool passes its own
  // folder's vn.local).
  TvnLanguageDesignForm(quarn::FileStore& files, quarn::EditorLocaleSource& locales,
                        std::u16string path);
  ~TvnLanguageDesignForm();
  TvnLanguageDesignForm(const TvnLanguageDesignForm&) = delete;
  TvnLanguageDesignForm& operator=(const TvnLanguageDesignForm&) = delete;

  // Creates the window, fills the language box and opens the file. A file that
  // cannot be read is reported through OnNotice once the window shows.
  bool Create(HINSTANCE instance, int show);
  HWND Handle() const { return hwnd_; }
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
  quarn::LanguageEditor& Model() { return model_; }

  // Called with every message for the user; shows a message box unless replaced.
  std::function<void(const std::wstring& text)> OnNotice;
  // Called when the window is destroyed (the stand-alone tool then quits).
  std::function<void()> OnDestroyed;

  static constexpr const wchar_t* kClassName = L"TvnLanguageDesignForm";
  static constexpr const wchar_t* kTextListClassName = L"TvnLanguageDesignFormTextList";

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK TextListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK CellEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR data);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void CreateControls();
  void OnCommand(int id, int code);
  LRESULT OnNotify(NMHDR* hdr);
  void Notice(const std::wstring& text);

  void RebuildTabs();
  void RefreshGrid();
  int SelectedRow() const;
  void BeginCellEdit(int row);
  void EndCellEdit(bool commit);

  void AddLanguage();
  void DeleteLanguage();
  void AddConstText();
  void DeleteItem();
  void Save();
  void ShowTextList();

  quarn::FileStore& files_;
  std::u16string path_;
  quarn::LanguageEditor model_;
  quarn::LanguageEditor::OpenResult opened_ = quarn::LanguageEditor::OpenResult::Missing;
  HINSTANCE instance_ = nullptr;
  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  bool rebuildingTabs_ = false;
  HWND cellEdit_ = nullptr;
  int cellRow_ = -1;
  std::wstring dispText_;  // the grid's text handed out last

  // The text-list pop-up while it is open.
  HWND textList_ = nullptr;
  bool textListOpen_ = false;
};
