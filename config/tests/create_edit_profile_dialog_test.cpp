#include "create_edit_profile_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "fake_environment.h"
#include "memory_stores.h"
#include "text_field.h"

namespace quarn {
namespace {

using namespace quarn::ui;

class ScriptedFiles : public FileDialogs {
 public:
  bool Run(const FileDialogRequest& request, std::u16string& file) override {
    requests.push_back(request);
    if (!answer) return false;
    file = *answer;
    return true;
  }
  std::optional<std::u16string> answer;
  std::vector<FileDialogRequest> requests;
};

// Stands in for the window: records where the dialog was put and acts on it as a user would.
class ScriptedRunner : public dialogs::DialogRunner {
 public:
  std::function<int(TCreateEditProfileDlgForm&)> script;
  ScreenPoint at{};
  int Run(dialogs::FrameDialog& dialog, ScreenPoint where) override {
    at = where;
    auto& d = static_cast<TCreateEditProfileDlgForm&>(dialog);
    const int r = script(d);
    return r != kModalNone ? r : d.GetScene().ModalResult();
  }
};

void ClickOn(Scene& scene, Object& o) {
  const RectF r = o.AbsoluteRect();
  const PointF c{r.x + r.width / 2, r.y + r.height / 2};
  scene.MouseMove(c);
  scene.MouseDown(MouseButton::Left, c);
  scene.MouseUp(MouseButton::Left, c);
}

void KeyUp(Object& o, std::uint16_t key) {
  char16_t ch = 0;
  o.KeyUp(key, ch);
}

const ScreenRect kMain{100, 50, 1100, 750};
const ProfileEditValues kIn{u"Shooter", u"C:\\Games\\old.exe"};

TEST(CreateEditProfileDialog, HasTheControlsAndIsCentredOnTheMainWindow) {
  ScriptedFiles files;
  ScriptedRunner runner;
  runner.script = [](TCreateEditProfileDlgForm& d) {
    EXPECT_EQ(d.Width(), 478);
    EXPECT_EQ(d.Height(), 389);
    EXPECT_EQ(d.WindowTitle(), u"");
    EXPECT_EQ(d.Ok(), nullptr);
    EXPECT_EQ(d.Cancel(), nullptr);
    EXPECT_EQ(d.ProfileName->Text(), u"Shooter");
    EXPECT_EQ(d.ProfileRelativeExeFile->Text(), u"C:\\Games\\old.exe");
    EXPECT_TRUE(d.ProfileRelativeExeFile->readOnly);
    EXPECT_FALSE(d.ProfileName->readOnly);
    EXPECT_EQ(d.FirstInputBox(), d.ProfileName);
    EXPECT_EQ(d.ProfileName->Bounds(), (RectF{142, 40, 254, 17}));
    EXPECT_EQ(d.ProfileRelativeExeFile->Bounds(), (RectF{153, 119, 242, 17}));
    EXPECT_EQ(d.BTNCLOSEBUTTON->Bounds(), (RectF{439, 3, 27, 23}));
    EXPECT_EQ(d.BTNSelectExeFile->Bounds(), (RectF{400, 120, 20, 16}));
    EXPECT_EQ(d.BTNOK->Bounds(), (RectF{170, 15, 41, 29}));
    EXPECT_EQ(d.BTNCANCEL->Bounds(), (RectF{220, 15, 80, 29}));
    EXPECT_EQ(d.BTNOK->Text(), u"");
    EXPECT_EQ(d.BTNCANCEL->Text(), u"");
    return kModalCancel;
  };
  auto v = kIn;
  ShowCreateEditProfileDialog(v.ProfileName, v.LinkedExePath, kMain, runner, files);
  EXPECT_EQ(runner.at, CenterIn(kMain, 478, 389));
}

TEST(CreateEditProfileDialog, ResultsAndValuesByWayOfClosing) {
  struct Case {
    const char* why;
    std::function<void(TCreateEditProfileDlgForm&, ScriptedFiles&)> act;
    int result;
    ProfileEditValues out;
  } cases[] = {
      {"Enter in the name box ends with OK and the typed name",
       [](auto& d, auto&) {
         d.ProfileName->EditText(u"Racing");
         KeyUp(*d.ProfileName, 13);
       },
       kModalOk,
       {u"Racing", u"C:\\Games\\old.exe"}},
      {"another key in the name box does not end it",
       [](auto& d, auto&) {
         d.ProfileName->EditText(u"Racing");
         KeyUp(*d.ProfileName, 'A');
       },
       kModalNone, kIn},
      {"OK takes both boxes",
       [](auto& d, auto& f) {
         d.ProfileName->EditText(u"Racing");
         f.answer = u"D:\\Race\\race.exe";
         ClickOn(d.GetScene(), *d.BTNSelectExeFile);
         ClickOn(d.GetScene(), *d.BTNOK);
       },
       kModalOk,
       {u"Racing", u"D:\\Race\\race.exe"}},
      {"CANCEL hands back what came in",
       [](auto& d, auto& f) {
         d.ProfileName->EditText(u"Racing");
         f.answer = u"D:\\Race\\race.exe";
         ClickOn(d.GetScene(), *d.BTNSelectExeFile);
         ClickOn(d.GetScene(), *d.BTNCANCEL);
       },
       kModalCancel, kIn},
      {"the close button hands back what came in",
       [](auto& d, auto&) {
         d.ProfileName->EditText(u"Racing");
         ClickOn(d.GetScene(), *d.BTNCLOSEBUTTON);
       },
       kModalCancel, kIn},
      {"the program box cannot be typed into",
       [](auto& d, auto&) {
         EXPECT_FALSE(d.ProfileRelativeExeFile->EditText(u"C:\\evil.exe"));
         ClickOn(d.GetScene(), *d.BTNOK);
       },
       kModalOk, kIn},
      {"a cancelled file dialog keeps the program",
       [](auto& d, auto& f) {
         f.answer.reset();
         ClickOn(d.GetScene(), *d.BTNSelectExeFile);
         ClickOn(d.GetScene(), *d.BTNOK);
       },
       kModalOk, kIn},
      {"a program path too long for the profile is not taken",
       [](auto& d, auto& f) {
         f.answer = u"C:\\" + std::u16string(510, u'a');  // 513 units
         ClickOn(d.GetScene(), *d.BTNSelectExeFile);
         ClickOn(d.GetScene(), *d.BTNOK);
       },
       kModalOk, kIn},
      {"a program path of exactly the field's room is taken",
       [](auto& d, auto& f) {
         f.answer = u"C:\\" + std::u16string(509, u'a');  // 512 units
         ClickOn(d.GetScene(), *d.BTNSelectExeFile);
         ClickOn(d.GetScene(), *d.BTNOK);
       },
       kModalOk,
       {u"Shooter", u"C:\\" + std::u16string(509, u'a')}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    ScriptedFiles files;
    ScriptedRunner runner;
    runner.script = [&](TCreateEditProfileDlgForm& d) {
      c.act(d, files);
      return kModalNone;
    };
    auto v = kIn;
    EXPECT_EQ(ShowCreateEditProfileDialog(v.ProfileName, v.LinkedExePath, kMain, runner, files),
              c.result);
    EXPECT_EQ(v, c.out);
    for (const auto& r : files.requests) {
      EXPECT_EQ(r.Filter, u"All Exe Files(*.Exe)|*.exe");
      EXPECT_EQ(r.Kind, FileDialogKind::Open);
      EXPECT_EQ(r.MaxPath, 512u);
    }
  }
}

TEST(CreateEditProfileDialog, OkWritesTheNameTheProgramAndTheSwitchIntoTheProfile) {
  testing::MemoryRegistryStore registry;
  testing::MemoryFileStore files;
  testing::FakeEnvironment env;
  for (auto f : {u"C:", u"C:\\Users", u"C:\\Users\\me", u"C:\\Users\\me\\Documents"})
    files.AddFolder(f);
  auto dm = std::make_unique<TDM>(registry, files, env);
  WriteText(dm->FCurrentProfileInfo.ConfigInfo.ApplicationList[0], u"C:\\old.exe");
  dm->FCurrentProfileInfo.ConfigInfo.AutoSwitchProfileWhenAppRun = 0;
  ScriptedFiles dialogFiles;
  ScriptedRunner runner;

  // Cancel changes nothing.
  runner.script = [](TCreateEditProfileDlgForm& d) {
    d.ProfileName->EditText(u"x");
    return kModalCancel;
  };
  EXPECT_EQ(EditCurrentProfile(*dm, kMain, runner, dialogFiles), kModalCancel);
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.AutoSwitchProfileWhenAppRun, 0);
  EXPECT_FALSE(dm->IsProfileChanged(dm->FProfileIndex));

  // OK with a long name: cut to the header's 21 units.
  dialogFiles.answer = u"D:\\Games\\new game.exe";
  runner.script = [](TCreateEditProfileDlgForm& d) {
    d.ProfileName->EditText(u"A name much longer than the header holds");
    d.BTNSelectExeFileClick();
    d.BTNOKClick();
    return kModalOk;
  };
  EXPECT_EQ(EditCurrentProfile(*dm, kMain, runner, dialogFiles), kModalOk);
  const auto& p = dm->FCurrentProfileInfo;
  EXPECT_EQ(ReadText(p.ProfileHeader.FFileName), u"A name much longer th");
  EXPECT_EQ(p.ProfileHeader.FFileName[21], 0);
  EXPECT_EQ(ReadText(p.ConfigInfo.ApplicationList[0]), u"D:\\Games\\new game.exe");
  EXPECT_EQ(p.ConfigInfo.AutoSwitchProfileWhenAppRun, 1);
  EXPECT_TRUE(dm->IsProfileChanged(dm->FProfileIndex));
  TMouseProfileInfo stored;
  dm->ReadProfileInfo(stored, dm->FProfileIndex);
  EXPECT_EQ(ReadText(stored.ConfigInfo.ApplicationList[0]), u"D:\\Games\\new game.exe");
}

}  // namespace
}  // namespace quarn
