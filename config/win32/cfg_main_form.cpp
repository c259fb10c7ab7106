#include "cfg_main_form.h"

// clang-format off
#include "config_ini.h"
#include "dialog_window.h"
#include "function_menu.h"
#include "module_path.h"
#include "note_dialog.h"
#include "shared_tables.h"
#include "text_field.h"
#include "translation.h"
#include "win_hook_platform.h"
#include "wide.h"
#include "window_messages.h"
// clang-format on

using namespace quarn;

namespace {

std::wstring W(std::u16string_view s) {
  return ToWide(s);
}

}  // namespace

std::unique_ptr<TQUARNCfgMain> TQUARNCfgMain::Create(TDM& dm, WriteCheckedStores& stores) {
  std::unique_ptr<TQUARNCfgMain> form(new TQUARNCfgMain(dm, stores));
  if (!form->Handle()) return nullptr;
  // What an update left runs before anything is read for the face.
  form->profileFiles_->ProgramStarted();
  form->controller_->FormCreate();
  form->window_->Show(SW_SHOW);
  return form;
}

TQUARNCfgMain::TQUARNCfgMain(TDM& dm, WriteCheckedStores& stores)
    : dm_(dm), folder_(FolderPart(ExecutableFilePath())), monitor_(folder_) {
  FIMGDB = std::make_unique<TImageDataBase>(pictureFiles_, decoder_, folder_ + u"images\\0409\\");
  vnLanguage1 = std::make_unique<TvnLanguage>(
      nullptr, LanguageServices{pictureFiles_, locales_, ExecutableFilePath()});
  vnLanguage1->Loaded();
  vnHIDData1 = std::make_unique<TvnHIDData>(hidTransport_,
                                            ReadIdList(dm.ConfigIni(), u"IncludeHIDDeviceList"));
  lighting_ = std::make_unique<HidLightingDevice>(*vnHIDData1);
  timer_ = std::make_unique<WinActionTimer>([this] {
    if (controller_) controller_->TimerDoActionTimer();
  });

  face_ = std::make_unique<MainWindowScene>([this](std::u16string_view name, bool shared) {
    return shared ? FIMGDB->IMAGE(name, folder_ + u"images\\") : FIMGDB->IMAGE(name);
  });

  ui::SceneWindowOptions options;
  options.className = W(ProgramNames[CFG_MAIN_CLASS_NAME]);
  options.title = W(Translate(ProgramNames[::CFG_APP_TITLE]));
  options.exStyle = WS_EX_APPWINDOW;
  options.background = MainWindowGeometry::kBackground;
  window_ = std::make_unique<ui::SceneWindow>(face_->GetScene(), options);
  if (!window_->Handle()) return;

  auto translate = [](std::u16string_view text) { return Translate(text); };
  ConfigSeams seams{monitor_, mouseSettings_, worker_, *lighting_, *timer_,
                    *this,    *this,          stores,  translate};
  controller_ = std::make_unique<ConfigMainController>(dm, seams);
  face_->Bind(*controller_,
              [this]() -> const TMouseProfileInfo& { return dm_.FCurrentProfileInfo; });
  face_->OnImageFolder = [this](const std::u16string& folder) {
    // A new folder empties the store: only then are the pictures read again.
    const std::u16string path = WithTrailingBackslash(folder);
    if (path != FIMGDB->ImageDBPath()) FIMGDB->SetImageBasePath(path);
  };
  face_->OnApplicationTitle = [this](const std::u16string& title) {
    SetWindowTextW(Handle(), W(title).c_str());
  };
  branding_ = std::make_unique<LanguageBranding>(LanguageBranding::Services{
      dm, *controller_, *vnLanguage1, stores.Files(), folder_, monitor_, *face_, translate});
  branding_->AttachTo(*controller_);

  // The profile path of the current profile, as the creation sequence takes it.
  std::u16string profilePath;
  if (TDM::IsProfileIndexInRange(dm.FProfileIndex))
    profilePath = ReadText(dm.FProfileSettingGroup.ProfileSettingList[dm.FProfileIndex].FilePath);
  profileFiles_ = std::make_unique<ProfileFilesHost>(window_->Handle(), dm, stores.Files(), folder_,
                                                     profilePath);
  CreateAssignPage(translate);

  window_->OnMessage = [this](UINT m, WPARAM w, LPARAM l, LRESULT& r) {
    return HandleMessage(m, w, l, r);
  };
  window_->OnActivate = [this] { controller_->WindowActivated(IsIconic(Handle()) != FALSE); };
  window_->OnClose = [this] { controller_->BtnCloseClick(); };
}

TQUARNCfgMain::~TQUARNCfgMain() {
  FormDestroy();
  timer_.reset();
  DestroyAssignPage();
  // The window goes before the controller and the face it calls.
  profileFiles_.reset();
  window_.reset();
  branding_.reset();
  controller_.reset();
}

void TQUARNCfgMain::CreateAssignPage(const TranslateFn& translate) {
  using MWG = MainWindowGeometry;
  fnDialogs_ = std::make_unique<dialogs::WinFunctionDialogs>(Handle(), DefaultWinHookPlatform(),
                                                             *this, translate);
  assignment_ =
      std::make_unique<FunctionAssignment>(dm_, *controller_, *this, *fnDialogs_, translate);
  vnMenuEx1 = std::make_unique<menu::TvnMenuEx>();
  vnMenuEx1->Host = &menuHost_;
  config::BuildFunctionMenu(*vnMenuEx1);
  config::MenuArtwork art;
  art.backgroundFill = ui::Fill::Solid(ui::Rgb(0x2A, 0x2E, 0x38));
  art.over = ui::Fill::Solid(ui::Rgb(0x01, 0xAB, 0xE7));
  // The down fill also marks the button's current function: quieter than the hover.
  art.down = ui::Fill::Solid(ui::Rgb(0x1E, 0x3C, 0x8C));
  config::ApplyFunctionMenuLook(*vnMenuEx1, art);

  // The page's buttons take the places of the face's assignment buttons, the spots go
  // on the mouse picture, the badges on a hidden layout.
  ui::Layout& client = face_->ClientArea();
  const ui::RectF first = MWG::BtnSet(0);
  ui::Layout& buttons = client.Add<ui::Layout>();
  buttons.name = u"LayoutAssignButtons";
  buttons.SetBounds(first.x - client.X(), first.y - client.Y(), first.width,
                    MWG::BtnSet(4).y + MWG::BtnSet(4).height - first.y);
  ui::Layout& mouseBack = client.Add<ui::Layout>();
  mouseBack.name = u"ImageMOUSEBACK";
  mouseBack.SetBounds(MWG::kMousePicture.x - client.X(), MWG::kMousePicture.y - client.Y(),
                      MWG::kMousePicture.width, MWG::kMousePicture.height);
  ui::Layout& badges = client.Add<ui::Layout>();
  badges.name = u"LayoutBadges";
  badges.SetVisible(false);
  assignPage_ = std::make_unique<pages::AssignPage>(
      pages::AssignPageParts{buttons, ui::PointF{0, 0}, mouseBack, badges, face_->OptionsArea()},
      dm_, *controller_, *assignment_, *vnMenuEx1, translate);
  for (int i = 0; i < 5; ++i) {
    ui::Button& placeholder = face_->BtnSet(i);
    placeholder.SetVisible(false);
    ui::Button* b = assignPage_->ButtonOf(i);
    if (!b) continue;
    const ui::RectF r = MWG::BtnSet(i);
    b->SetBounds(r.x - first.x, r.y - first.y, r.width, r.height);
    b->font = placeholder.font;
  }
  // The spots take the places and the look of the face's numbered badges, which are drawn
  // for this picture of the mouse.
  for (int i = 0; i < 5; ++i) {
    ui::Button& badge = face_->Badge(i);
    ui::Button* spot = assignPage_->Spot(i);
    if (!spot) continue;
    spot->SetBounds(badge.X() - mouseBack.X(), badge.Y() - mouseBack.Y(), badge.Width(),
                    badge.Height());
    spot->SetStyleLookup(badge.StyleLookup());
    spot->font = badge.font;
    spot->autoTranslate = false;
    spot->SetText(badge.Text());
    badge.SetVisible(false);
  }
  assignPage_->TargetOf = [this](const ui::Object& object) {
    POINT origin{0, 0};
    ::ClientToScreen(Handle(), &origin);
    RECT frame{};
    GetWindowRect(Handle(), &frame);
    return menu::MenuTarget::Of(object, ui::PointF{float(origin.x), float(origin.y)}, frame.left,
                                reinterpret_cast<std::uintptr_t>(Handle()));
  };
  controller_->OnRefreshButtonCaptions = [this] { assignPage_->RefreshButtonCaptions(); };
}

void TQUARNCfgMain::DestroyAssignPage() {
  // The page first (it hands back the held profile switches), then the menu's pop-ups.
  if (controller_) controller_->OnRefreshButtonCaptions = nullptr;
  assignPage_.reset();
  if (vnMenuEx1) vnMenuEx1->Items().CloseSubMenus();
  vnMenuEx1.reset();
  assignment_.reset();
  fnDialogs_.reset();
}

void TQUARNCfgMain::FormDestroy() {
  if (destroyed_ || !controller_) return;
  destroyed_ = true;
  controller_->FinishBeforeExit();
}

bool TQUARNCfgMain::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_TERMINATE_CONFIG:
      controller_->WMTerminateConfig();
      return true;
    case WM_LANGUAGE_CHANGED:
      controller_->WMLanguageChanged(static_cast<std::uint64_t>(wParam));
      return true;
    case WM_RELOAD_CURRENT_PROFILE:
      controller_->WMReloadCurrentProfile();
      return true;
    case WM_PROFILE_SWITCHED:
      controller_->WMProfileSwitched(static_cast<std::uint64_t>(wParam));
      return true;
    case WM_SYSCOMMAND:
      // A borderless window has no minimise box: minimise it here.
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        ShowWindow(Handle(), SW_MINIMIZE);
        return true;
      }
      return false;
    case WM_ENDSESSION:
      if (wParam) {
        controller_->WMTerminateConfig();
        FormDestroy();
      }
      return true;
    default:
      return false;
  }
}

// ---- ConfigWindow ----

void TQUARNCfgMain::CloseWindow() {
  if (HWND h = Handle()) ShowWindow(h, SW_HIDE);
  PostQuitMessage(0);
}

void TQUARNCfgMain::PostToSelf(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) {
  PostMessageW(Handle(), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

void TQUARNCfgMain::ReplyToSender() {
  if (InSendMessage()) ReplyMessage(0);
}

void TQUARNCfgMain::Restore() {
  ShowWindow(Handle(), SW_RESTORE);
}

void TQUARNCfgMain::ClientToScreen(std::int32_t& x, std::int32_t& y) {
  POINT p{static_cast<LONG>(x), static_cast<LONG>(y)};
  ::ClientToScreen(Handle(), &p);
  x = p.x;
  y = p.y;
}

// ---- profile files and updates ----

ui::ScreenRect TQUARNCfgMain::WindowRect() const {
  RECT r{};
  GetWindowRect(Handle(), &r);
  return {r.left, r.top, r.right, r.bottom};
}

void TQUARNCfgMain::ProfileMenuItemClick(int itemId) {
  bool changed = false;
  {
    ConfigMainController::ModalScope modal(*controller_);
    changed = profileFiles_->ProfileMenuItemClick(itemId);
  }
  if (changed) controller_->RefreshAllControls();
}

void TQUARNCfgMain::BSBTNSAVEPROFILEClick() {
  ConfigMainController::ModalScope modal(*controller_);
  profileFiles_->SaveProfileClick();
}

void TQUARNCfgMain::BSBTNEDITPROFILEClick() {
  int result = 0;
  {
    ConfigMainController::ModalScope modal(*controller_);
    result = profileFiles_->EditProfileClick(WindowRect());
  }
  if (result == ui::kModalOk) controller_->RefreshAllControls();
}

void TQUARNCfgMain::BSBTNCheckUpdateClick() {
  ConfigMainController::ModalScope modal(*controller_);
  profileFiles_->CheckUpdateClick();
}

// ---- ConfigDialogs ----

int TQUARNCfgMain::ShowNoteDialog(const std::u16string& title, const std::u16string& text,
                                  const std::u16string& text1, bool showWarning,
                                  const ScreenRect& centreIn) {
  NoteDialogTexts texts{title, text, text1, showWarning};
  dialogs::WindowDialogRunner runner(Handle());
  runner.OnShowing = [this](ui::SceneWindow& window) {
    openDialog_ = &window.GetScene();
    // Esc cancels; Enter confirms nothing.
    window.OnMessage = [&window](UINT m, WPARAM w, LPARAM, LRESULT& r) {
      if (m != WM_KEYDOWN || w != VK_ESCAPE) return false;
      window.GetScene().SetModalResult(ui::kModalCancel);
      r = 0;
      return true;
    };
  };
  const ui::ScreenRect area{centreIn.Left, centreIn.Top, centreIn.Right, centreIn.Bottom};
  const int result = dialogs::ShowFrameDialog<TNoteDlgForm>(texts, area, runner);
  openDialog_ = nullptr;
  return result == ui::kModalOk ? 1 : 2;
}

void TQUARNCfgMain::CloseOpenDialogs() {
  if (openDialog_) openDialog_->SetModalResult(ui::kModalCancel);
}
