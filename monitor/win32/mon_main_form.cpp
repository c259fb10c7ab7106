#include "mon_main_form.h"

#include <mmsystem.h>

#include "config_ini.h"
#include "dm.h"
#include "key_tables.h"
#include "module_path.h"
#include "mon_commands.h"
#include "shared_tables.h"
#include "shell_launch.h"
#include "translation.h"
#include "wide.h"
#include "window_messages.h"

namespace {

constexpr UINT WM_TRAY_CALLBACK = WM_APP + 1;
constexpr int kAboutWidth = 780;
constexpr int kAboutHeight = 296;
constexpr DWORD kConfigMessageTimeoutMs = 2000;

std::wstring W(std::u16string_view s) {
  return quarn::ToWide(s);
}

std::u16string ProgramFolder() {
  const std::u16string exe = quarn::ExecutableFilePath();
  return std::u16string(quarn::FolderPart(exe));
}

}  // namespace

std::unique_ptr<TQUARNMonMain> TQUARNMonMain::Create(HINSTANCE instance) {
  std::unique_ptr<TQUARNMonMain> form(new TQUARNMonMain(instance));
  if (form->FHandle == nullptr) return nullptr;
  form->FormCreate();
  return form;
}

TQUARNMonMain::TQUARNMonMain(HINSTANCE instance)
    : FInstance(instance),
      FButtonGate([this](int index, int state) {
        PostMessageW(FHandle, WM_BUTTON_ACTION, static_cast<WPARAM>(index), state);
      }),
      // Waits of the button actions let everything but further button actions
      // run: those wait for a step boundary, in their order.
      FWaiter({WM_BUTTON_ACTION, WM_EXTERNAL_COMMAND}) {
  const std::wstring className = W(ProgramNames[MON_MAIN_CLASS_NAME]);
  FIcon = quarn::CreateMouseIcon(GetSystemMetrics(SM_CXICON));
  FSmallIcon = quarn::CreateMouseIcon(GetSystemMetrics(SM_CXSMICON));
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &TQUARNMonMain::WindowProc;
  wc.hInstance = instance;
  wc.hIcon = FIcon;
  wc.hIconSm = FSmallIcon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = className.c_str();
  RegisterClassExW(&wc);
  // Centred on the desktop, no border, never on the task bar; hidden until "About".
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kAboutWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kAboutHeight) / 2;
  FHandle = CreateWindowExW(WS_EX_TOOLWINDOW, className.c_str(),
                            W(ProgramNames[MON_MAIN_CAPTION]).c_str(), WS_POPUP, x, y, kAboutWidth,
                            kAboutHeight, nullptr, nullptr, instance, this);
}

TQUARNMonMain::~TQUARNMonMain() {
  FormDestroy();
  if (FHandle != nullptr) {
    SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
  }
  if (MyPopupMenu != nullptr) DestroyMenu(MyPopupMenu);
  if (FIcon != nullptr) DestroyIcon(FIcon);
  if (FSmallIcon != nullptr) DestroyIcon(FSmallIcon);
}

void TQUARNMonMain::FormCreate() {
  vnHook1 = std::make_unique<TvnHook>(FHookPlatform);
  vnHook1->OnHookMouseAllButton = [this](TvnHook&, TMouseButtons button, std::int32_t state,
                                         std::int16_t, bool& blocked) {
    FButtonGate.OnAnyButton(button, state, blocked);
  };
  vnHook1->OnHookMouseButton = [this](TvnHook&, TMouseButtons button, std::int32_t state,
                                      bool& blocked) {
    FButtonGate.OnClaimedButton(button, state, blocked);
  };
  vnLanguage1 = std::make_unique<TvnLanguage>(
      nullptr, quarn::LanguageServices{FLanguageFiles, FLocales, quarn::ExecutableFilePath()});
  vnLanguage1->Loaded();
  BuildKeyTables();
  FDispatcher = std::make_unique<ButtonActionDispatcher>(*this, FInputSink, FWaiter);
  FScroller = std::make_unique<quarn::HorizontalScroller>(
      FScrollWindows, FAutomation, FInputSink,
      [this] { return FWindowsVersion == wvWin7 || FWindowsVersion == wvWinServer2008R2; });
  FSystemPlatform =
      std::make_unique<quarn::WinSystemPlatform>([this] { return FApplicationTitle; });
  FSystemActions = std::make_unique<quarn::SystemActions>(*FSystemPlatform, FAutomation);
  BuildMenu();
  TrayIcon1 = std::make_unique<quarn::TrayIcon>(FHandle, WM_TRAY_CALLBACK, FSmallIcon);
  vnSTDCommand1 = std::make_unique<quarn::WinSTDCommand>(DM->ConfigIni());

  LoadIncludeHidDeviceList();
  ApplyLanguage();
  SetupMouseHook();
  UpdateProfileMenuCheck();
  FWindowsVersion = QueryWindowsVersion();
}

void TQUARNMonMain::FormDestroy() {
  if (FDestroyed) return;
  FDestroyed = true;
  FIncludeHidDeviceList.clear();
  // Running actions stop and let go of every key and button they hold.
  if (FDispatcher) FDispatcher->SetAbort();
  if (vnHook1) {
    // No callback may reach the form once it starts going away.
    vnHook1->StopHookMouse();
    vnHook1->StopHookKeyboard();
    vnHook1.reset();
  }
  // After the hooks: stopping its readers never holds up the mouse.
  vnSTDCommand1.reset();
  TrayIcon1.reset();
}

void TQUARNMonMain::BuildMenu() {
  MyPopupMenu = CreatePopupMenu();
  AppendMenuW(MyPopupMenu, MF_STRING, IDM_SWITCH_TO_NEXT_PROFILE, L"Switch to next profile");
  AppendMenuW(MyPopupMenu, MF_SEPARATOR, 0, nullptr);
  for (int i = 0; i < PROFILE_COUNT; ++i)
    AppendMenuW(MyPopupMenu, MF_STRING, IDM_PROFILE_FIRST + i,
                (L"Profile " + std::to_wstring(i + 1)).c_str());
  AppendMenuW(MyPopupMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(MyPopupMenu, MF_STRING, IDM_CONFIG, L"Config");
  AppendMenuW(MyPopupMenu, MF_SEPARATOR, 0, nullptr);
  // "About" is a hidden item: its command exists, the menu does not show it.
  AppendMenuW(MyPopupMenu, MF_STRING, IDM_EXIT, L"Exit");
}

void TQUARNMonMain::LoadIncludeHidDeviceList() {
  FIncludeHidDeviceList = quarn::ReadIdList(DM->ConfigIni(), u"IncludeHIDDeviceList");
}

void TQUARNMonMain::ApplyLanguage() {
  const int wanted = DM->FAllProfileSettingInfo.CurrentLanguage;
  if (vnLanguage1->GetLanguageIndexByShortID(vnLanguage1->Lang()) != wanted) {
    const std::u16string id = vnLanguage1->GetLanguageShortIDByIndex(wanted);
    if (!id.empty()) vnLanguage1->SetLang(id);
  }
  struct Caption {
    UINT id;
    std::u16string text;
  };
  std::vector<Caption> captions = {{IDM_CONFIG, u"Config"},
                                   {IDM_EXIT, u"Exit"},
                                   {IDM_SWITCH_TO_NEXT_PROFILE, u"Switch to next profile"}};
  for (int i = 0; i < PROFILE_COUNT; ++i)
    captions.push_back({static_cast<UINT>(IDM_PROFILE_FIRST + i),
                        u"Profile " + std::u16string(1, static_cast<char16_t>(u'1' + i))});
  for (const auto& c : captions) {
    std::wstring text = W(quarn::Translate(c.text));
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = text.data();
    SetMenuItemInfoW(MyPopupMenu, c.id, FALSE, &mii);
  }
  // The hint ends as the driver's title, the application title as the monitor's.
  TrayIcon1->SetHint(W(quarn::Translate(ProgramNames[DRIVER_TITLE])));
  FApplicationTitle = quarn::Translate(ProgramNames[MON_APP_TITLE]);
}

void TQUARNMonMain::SetupMouseHook() {
  vnHook1->StopHookMouse();
  vnHook1->RemoveAllMouseHookObject();
  for (const TMouseHookDetail& filter :
       quarn::BuildMouseFilters(DM->FCurrentProfileInfo.ConfigInfo)) {
    auto object = std::make_unique<TMouseHookDetailObject>();
    object->FMouseHookDetail = filter;
    vnHook1->AddMouseHookObject(std::move(object));
  }
  vnHook1->StartHookMouse();
}

HWND TQUARNMonMain::ConfigWindow() const {
  return FindWindowW(W(ProgramNames[CFG_MAIN_CLASS_NAME]).c_str(), nullptr);
}

void TQUARNMonMain::StartOrActivateConfig() {
  if (HWND config = ConfigWindow()) {
    // A minimised window comes back at its size: bringing it forward alone leaves it
    // an icon (and does nothing when it is still the active window). Never waits on it.
    if (IsIconic(config)) ShowWindowAsync(config, SW_RESTORE);
    SetForegroundWindow(config);
    return;
  }
  // By full path, in its folder, on a worker thread; a failure is not reported.
  quarn::StartProgram(ProgramFolder() + std::u16string(ProgramNames[CFG_EXE_NAME]));
}

void TQUARNMonMain::UpdateProfileMenuCheck() {
  CheckProfileMenuItem(DM->FProfileIndex);
}

void TQUARNMonMain::CheckProfileMenuItem(int Index) {
  if (!TDM::IsProfileIndexInRange(Index)) return;
  CheckMenuRadioItem(MyPopupMenu, IDM_PROFILE_FIRST, IDM_PROFILE_FIRST + PROFILE_COUNT - 1,
                     IDM_PROFILE_FIRST + Index, MF_BYCOMMAND);
}

void TQUARNMonMain::SwitchProfileAndNotify(int Index) {
  if (!DM->SwitchToProfile(Index)) return;
  UpdateProfileMenuCheck();
  SetupMouseHook();
  if (HWND config = ConfigWindow()) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(config, WM_PROFILE_SWITCHED, static_cast<WPARAM>(Index), 0,
                        SMTO_ABORTIFHUNG | SMTO_NORMAL, kConfigMessageTimeoutMs, &result);
  }
}

const TMouseProfileInfo& TQUARNMonMain::CurrentProfile() const {
  return DM->FCurrentProfileInfo;
}

int TQUARNMonMain::CurrentProfileIndex() const {
  return DM->FProfileIndex;
}

void TQUARNMonMain::PlayNotificationSound() {
  const std::wstring file = W(ProgramFolder()) + L"Notification.wav";
  PlaySoundW(file.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

void TQUARNMonMain::OpenProgram(const std::u16string& path) {
  quarn::StartProgram(path);
}

void TQUARNMonMain::OpenExistingProgram(const std::u16string& path) {
  quarn::StartExistingProgram(path);
}

void TQUARNMonMain::HorizontalScrollLeft(quarn::ActionRun& run) {
  FScroller->Scroll(quarn::ScrollDirection::Left, run);
  FAutomation.ReleaseListing();
}

void TQUARNMonMain::HorizontalScrollRight(quarn::ActionRun& run) {
  FScroller->Scroll(quarn::ScrollDirection::Right, run);
  FAutomation.ReleaseListing();
}

void TQUARNMonMain::SubmenuProfile5Click(int Tag) {
  SwitchProfileAndNotify(Tag);
}

void TQUARNMonMain::SubmenuSwitchtonextprofileClick() {
  SwitchProfileAndNotify(DM->FProfileIndex >= PROFILE_COUNT - 1 ? 0 : DM->FProfileIndex + 1);
}

void TQUARNMonMain::SubmenuExitClick() {
  if (FExiting) return;
  FExiting = true;
  if (HWND config = ConfigWindow()) PostMessageW(config, WM_TERMINATE_CONFIG, 0, 0);
  // Running actions stop and let go of their keys as soon as this returns, and
  // no button is taken any more; the rest of the clean-up (the tray icon, which
  // can take the shell a while) follows when the message loop has ended.
  FDispatcher->SetAbort();
  if (vnHook1) vnHook1->StopHookMouse();
  PostQuitMessage(0);
}

void TQUARNMonMain::SubmenuAboutClick() {
  ShowWindow(FHandle, SW_SHOW);
  ProcessMessageAndSleep50ms();
  SetForegroundWindow(FHandle);
}

void TQUARNMonMain::WMSettingsApplied() {
  FDispatcher->SetAbort();
  DM->LoadAllProfileInfoFromRegistry();
  DM->LoadCurrentProfileInfoFromRegistry();
  ProfilesReloaded();
}

void TQUARNMonMain::WMLanguageChanged() {
  DM->LoadAllProfileInfoFromRegistry();
  ProfilesReloaded();
  ApplyLanguage();
}

void TQUARNMonMain::ProfilesReloaded() {
  // A reload may have changed the current profile: the filters and the check
  // mark follow the profile the dispatcher reads.
  SetupMouseHook();
  UpdateProfileMenuCheck();
}

void TQUARNMonMain::ProcessMessagesAndSleep(std::uint32_t ms) {
  // Queued messages run once, not again inside one of their own pauses: a
  // flood of them never nests. The pause services sent messages: this thread
  // owns the mouse hook.
  if (FInPause) {
    FWaiter.Wait(ms);
    return;
  }
  FInPause = true;
  if (FWaiter.ProcessPendingMessages()) FWaiter.Wait(ms);
  FInPause = false;
}

void TQUARNMonMain::FormCloseQuery() {
  // Closing the about face only hides it; any other close (an installer, a
  // task manager, the end of the session) ends the monitor as Exit does.
  if (IsWindowVisible(FHandle)) {
    ShowWindow(FHandle, SW_HIDE);
    return;
  }
  SubmenuExitClick();
}

void TQUARNMonMain::ShowTrayMenu() {
  POINT pt;
  GetCursorPos(&pt);
  SetForegroundWindow(FHandle);
  TrackPopupMenu(MyPopupMenu, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, pt.x, pt.y, 0, FHandle, nullptr);
  PostMessageW(FHandle, WM_NULL, 0, 0);
}

void TQUARNMonMain::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(FHandle, &ps);
  RECT client;
  GetClientRect(FHandle, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  DrawIconEx(dc, 81, 80, FIcon, 99, 104, 0, nullptr, DI_NORMAL);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(230, 230, 230));
  RECT title{220, 100, client.right - 40, 160};
  const std::wstring text = W(FApplicationTitle);
  DrawTextW(dc, text.c_str(), -1, &title, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
  RECT ok{360, 250, 401, 279};
  FrameRect(dc, &ok, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawTextW(dc, L"OK", -1, &ok, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  EndPaint(FHandle, &ps);
}

LRESULT TQUARNMonMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // After Exit the program only drains its queue: nothing may start again.
  if ((FDestroyed || FExiting) && msg != WM_PAINT)
    return DefWindowProcW(FHandle, msg, wParam, lParam);
  switch (msg) {
    case WM_TRAY_CALLBACK:
      switch (LOWORD(lParam)) {
        case WM_LBUTTONUP:
          TrayIconDblClick();
          break;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
          ShowTrayMenu();
          break;
      }
      return 0;
    case WM_COMMAND: {
      const UINT id = LOWORD(wParam);
      if (id >= IDM_PROFILE_FIRST && id < IDM_PROFILE_FIRST + PROFILE_COUNT)
        SubmenuProfile5Click(static_cast<int>(id - IDM_PROFILE_FIRST));
      else if (id == IDM_SWITCH_TO_NEXT_PROFILE)
        SubmenuSwitchtonextprofileClick();
      else if (id == IDM_CONFIG)
        SubmenuConfigClick();
      else if (id == IDM_ABOUT)
        SubmenuAboutClick();
      else if (id == IDM_EXIT)
        SubmenuExitClick();
      return 0;
    }
    case WM_SETTINGS_APPLIED:
      WMSettingsApplied();
      return 0;
    case WM_LANGUAGE_CHANGED:
      WMLanguageChanged();
      return 0;
    case WM_BUTTON_ACTION:
      FDispatcher->WMButtonAction(wParam, lParam);
      return 0;
    case WM_EXTERNAL_COMMAND:
      FDispatcher->WMExternalCommand(wParam);
      return 0;
    case WM_LBUTTONUP:
      ImageMainClick();
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CLOSE:
      FormCloseQuery();
      return 0;
    case WM_ENDSESSION:
      // The process may end any time after this returns: clean up at once.
      if (wParam) {
        SubmenuExitClick();
        FormDestroy();
      }
      return 0;
  }
  if (msg == quarn::TrayIcon::TaskbarCreatedMessage() && TrayIcon1) {
    TrayIcon1->Restore();
    return 0;
  }
  return DefWindowProcW(FHandle, msg, wParam, lParam);
}

LRESULT CALLBACK TQUARNMonMain::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* form =
        static_cast<TQUARNMonMain*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    form->FHandle = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TQUARNMonMain*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  try {
    return form->HandleMessage(msg, wParam, lParam);
  } catch (...) {
    return 0;  // nothing escapes into the system's dispatch
  }
}
