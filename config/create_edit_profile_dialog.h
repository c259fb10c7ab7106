// The dialog that edits a profile's name and the program linked to it, built
// on the dialogs' frame, and the window's command that applies its result to
// the current profile. The program is chosen only through the file dialog;
// its box cannot be typed into.
#pragma once

#include <string>

#include "dialog_frame.h"
#include "dm.h"
#include "profile_file_commands.h"

namespace quarn {

struct ProfileEditValues {
  std::u16string ProfileName;
  std::u16string LinkedExePath;
  friend bool operator==(const ProfileEditValues&, const ProfileEditValues&) = default;
};

// Longest program path a profile keeps (its field holds one more unit, the terminator).
inline constexpr std::size_t kMaxLinkedProgramPath = APPLICATION_PATH_LENGTH - 1;
inline constexpr std::u16string_view kExeFilter = u"All Exe Files(*.Exe)|*.exe";

class TCreateEditProfileDlgForm : public dialogs::FrameDialog {
 public:
  explicit TCreateEditProfileDlgForm(FileDialogs& files);

  ui::TextBox* FirstInputBox() override { return ProfileName; }
  void Load() override;
  void Store() override { BTNOKClick(); }

  void BTNOKClick();
  void BTNSelectExeFileClick();

  ProfileEditValues fields;
  ui::Button* BTNCLOSEBUTTON = nullptr;
  ui::TextBox* ProfileName = nullptr;
  ui::TextBox* ProfileRelativeExeFile = nullptr;
  ui::Button* BTNSelectExeFile = nullptr;
  ui::Button* BTNOK = nullptr;
  ui::Button* BTNCANCEL = nullptr;

 private:
  FileDialogs& files_;
};

// Shows the dialog centred on `mainWindow` and runs it; the values come back
// changed only on OK. Returns the modal result (1 OK).
int ShowCreateEditProfileDialog(std::u16string& AProfileName, std::u16string& ALinkedExePath,
                                const ui::ScreenRect& mainWindow, dialogs::DialogRunner& runner,
                                FileDialogs& files);

// On OK: the name into the current profile's header (cut to its field), the
// program into its first linked program (a path too long for the field is not
// taken: the old one stays), automatic switching on, and the profile saved
// back. Returns the dialog's result.
int EditCurrentProfile(TDM& dm, const ui::ScreenRect& mainWindow, dialogs::DialogRunner& runner,
                       FileDialogs& files);

}  // namespace quarn
