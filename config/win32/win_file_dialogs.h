// The platform's open and save dialogs behind the file-dialog seam, and the
// platform's message box behind the message seam.
#pragma once

#include "profile_file_commands.h"

typedef struct HWND__* HWND;

namespace quarn {

class WinFileDialogs final : public FileDialogs {
 public:
  explicit WinFileDialogs(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  // Save dialogs ask before replacing a file. A chosen path longer than the
  // request's MaxPath (or than a path can be) is not taken: false.
  bool Run(const FileDialogRequest& request, std::u16string& file) override;

 private:
  HWND owner_;
};

class WinMessageBoxes final : public MessageBoxes {
 public:
  explicit WinMessageBoxes(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  void ShowMessage(const std::u16string& text) override;

 private:
  HWND owner_;
};

// "caption|pattern|caption|pattern" as the dialogs take it: each part ended by
// a zero, and one more zero at the end.
std::wstring DialogFilter(std::u16string_view filter);

}  // namespace quarn
