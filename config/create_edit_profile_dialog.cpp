#include "create_edit_profile_dialog.h"

#include "text_field.h"

namespace quarn {

using ui::Button;
using ui::TextBox;

namespace {

constexpr std::u16string_view kNameBoxStyle = u"Nametextboxstyle";
constexpr std::uint16_t kEnterKey = 13;

}  // namespace

TCreateEditProfileDlgForm::TCreateEditProfileDlgForm(FileDialogs& files)
    : dialogs::FrameDialog(478, 389, u""), files_(files) {
  RemoveOkCancel();
  auto& root = GetScene().Root();

  BTNCLOSEBUTTON = &root.Add<Button>();
  BTNCLOSEBUTTON->name = u"BTNCLOSEBUTTON";
  BTNCLOSEBUTTON->SetBounds(439, 3, 27, 23);
  BTNCLOSEBUTTON->modalResult = ui::kModalCancel;

  ProfileName = &root.Add<TextBox>();
  ProfileName->name = u"ProfileName";
  ProfileName->SetStyleLookup(std::u16string(kNameBoxStyle));
  ProfileName->SetBounds(142, 40, 254, 17);
  ProfileName->OnKeyUp = [this](ui::Object&, std::uint16_t& key, char16_t&) {
    if (key != kEnterKey) return;
    BTNOKClick();
    GetScene().SetModalResult(ui::kModalOk);
  };

  ProfileRelativeExeFile = &root.Add<TextBox>();
  ProfileRelativeExeFile->name = u"ProfileRelativeExeFile";
  ProfileRelativeExeFile->SetStyleLookup(std::u16string(kNameBoxStyle));
  ProfileRelativeExeFile->SetBounds(153, 119, 242, 17);
  ProfileRelativeExeFile->readOnly = true;

  BTNSelectExeFile = &root.Add<Button>();
  BTNSelectExeFile->name = u"BTNSelectExeFile";
  BTNSelectExeFile->SetBounds(400, 120, 20, 16);
  BTNSelectExeFile->OnClick = [this](ui::Object&) { BTNSelectExeFileClick(); };

  // Image buttons without text, in the bottom strip.
  BTNOK = &BottomStrip().Add<Button>();
  BTNOK->name = u"BTNOK";
  BTNOK->SetBounds(170, 15, 41, 29);
  BTNOK->modalResult = ui::kModalOk;
  BTNOK->OnClick = [this](ui::Object&) { BTNOKClick(); };

  BTNCANCEL = &BottomStrip().Add<Button>();
  BTNCANCEL->name = u"BTNCANCEL";
  BTNCANCEL->SetBounds(220, 15, 80, 29);
  BTNCANCEL->modalResult = ui::kModalCancel;
}

void TCreateEditProfileDlgForm::Load() {
  ProfileRelativeExeFile->SetText(fields.LinkedExePath);
  ProfileName->SetText(fields.ProfileName);
}

void TCreateEditProfileDlgForm::BTNOKClick() {
  fields.LinkedExePath = ProfileRelativeExeFile->Text();
  fields.ProfileName = ProfileName->Text();
}

void TCreateEditProfileDlgForm::BTNSelectExeFileClick() {
  FileDialogRequest request;
  request.Kind = FileDialogKind::Open;
  request.Filter = std::u16string(kExeFilter);
  request.MaxPath = kMaxLinkedProgramPath;
  std::u16string file;
  if (!files_.Run(request, file) || file.empty()) return;
  // A path the profile cannot hold whole is not taken: a cut path names another file.
  if (file.size() > kMaxLinkedProgramPath) return;
  ProfileRelativeExeFile->SetText(file);
}

int ShowCreateEditProfileDialog(std::u16string& AProfileName, std::u16string& ALinkedExePath,
                                const ui::ScreenRect& mainWindow, dialogs::DialogRunner& runner,
                                FileDialogs& files) {
  TCreateEditProfileDlgForm dialog(files);
  dialog.GetScene().RetranslateTexts();
  dialog.fields = {AProfileName, ALinkedExePath};
  dialog.Load();
  const int result = runner.Run(dialog, ui::CenterIn(mainWindow, dialog.Width(), dialog.Height()));
  AProfileName = dialog.fields.ProfileName;
  ALinkedExePath = dialog.fields.LinkedExePath;
  return result;
}

int EditCurrentProfile(TDM& dm, const ui::ScreenRect& mainWindow, dialogs::DialogRunner& runner,
                       FileDialogs& files) {
  TMouseProfileInfo& p = dm.FCurrentProfileInfo;
  std::u16string name = ReadText(p.ProfileHeader.FFileName);
  std::u16string exe = ReadText(p.ConfigInfo.ApplicationList[0]);
  const int result = ShowCreateEditProfileDialog(name, exe, mainWindow, runner, files);
  if (result != ui::kModalOk) return result;
  // The name is display text: cut to what the header holds, with its terminator.
  constexpr std::size_t nameRoom = std::size(TProfileHeader{}.FFileName) - 1;
  WriteText(p.ProfileHeader.FFileName, std::u16string_view(name).substr(0, nameRoom));
  if (exe.size() <= kMaxLinkedProgramPath) WriteText(p.ConfigInfo.ApplicationList[0], exe);
  p.ConfigInfo.AutoSwitchProfileWhenAppRun = 1;
  dm.SaveBackToCurrentProfileInfo();
  return result;
}

}  // namespace quarn
