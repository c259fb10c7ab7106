#include "vn_hook.h"

#include <string_view>
#include <utility>

#include "decimal_text.h"

namespace {

constexpr std::u16string_view kHookLibraryFile = u"vnHook.dll";
constexpr std::u16string_view kHookLibraryMissing = u"vnHook.dll can not be found!";
constexpr std::u16string_view kErrorCaption = u"Error";

// The process-wide binding of the hook library, shared by every component. It is
// counted: the library stays loaded until the last component that bound it is
// destroyed. The owners record which component installed the current hook of
// each kind, so that a component being destroyed removes its own hooks only.
struct LibraryBinding {
  std::unique_ptr<quarn::HookLibrary> Library;
  int Users = 0;
  const TvnHook* KeyboardOwner = nullptr;
  const TvnHook* MouseOwner = nullptr;
};

LibraryBinding& Binding() {
  static LibraryBinding binding;
  return binding;
}

bool LoadHookLibrary(quarn::HookPlatform& platform) {
  LibraryBinding& b = Binding();
  if (b.Users > 0) {
    ++b.Users;
    return true;
  }
  quarn::HookLibraryLoad result = quarn::HookLibraryLoad::FileMissing;
  std::unique_ptr<quarn::HookLibrary> library = platform.LoadHookLibrary(kHookLibraryFile, result);
  if (result == quarn::HookLibraryLoad::FileMissing) {
    platform.ShowErrorMessage(kHookLibraryMissing, kErrorCaption);
    return false;
  }
  if (result != quarn::HookLibraryLoad::Loaded || !library) return false;
  b.Library = std::move(library);
  b.Users = 1;
  return true;
}

void UnloadHookLibrary() {
  LibraryBinding& b = Binding();
  if (b.Users <= 0 || --b.Users > 0) return;
  b.KeyboardOwner = nullptr;
  b.MouseOwner = nullptr;
  b.Library.reset();
}

}  // namespace

TvnHook::TvnHook(quarn::HookPlatform& platform) : FPlatform(platform) {
  FDLLLoaded = LoadHookLibrary(platform);
}

TvnHook::~TvnHook() {
  if (!FDLLLoaded) return;
  LibraryBinding& b = Binding();
  // No callback may reach this component once it is gone.
  if (b.MouseOwner == this) RemoveHook(HookKind::Mouse);
  if (b.KeyboardOwner == this) RemoveHook(HookKind::Keyboard);
  UnloadHookLibrary();
}

void TvnHook::InstallHook(HookKind kind, TLowLevelHookCallback callback) {
  if (!FDLLLoaded) return;
  LibraryBinding& b = Binding();
  if (kind == HookKind::Keyboard) {
    b.Library->DisableKeyboardHook();
    b.Library->EnableKeyboardHook(callback, this);
    b.KeyboardOwner = this;
  } else {
    b.Library->DisableMouseHook();
    b.Library->EnableMouseHook(callback, this);
    b.MouseOwner = this;
  }
}

void TvnHook::RemoveHook(HookKind kind) {
  if (!FDLLLoaded) return;
  LibraryBinding& b = Binding();
  if (kind == HookKind::Keyboard) {
    b.Library->DisableKeyboardHook();
    b.KeyboardOwner = nullptr;
  } else {
    b.Library->DisableMouseHook();
    b.MouseOwner = nullptr;
  }
}

void TvnHook::StartHookKeyboard() {
  InstallHook(HookKind::Keyboard, &KeyboardHookProc);
}
void TvnHook::StopHookKeyboard() {
  RemoveHook(HookKind::Keyboard);
}
void TvnHook::StartHookMouse() {
  InstallHook(HookKind::Mouse, &MouseHookProc);
}
void TvnHook::StopHookMouse() {
  RemoveHook(HookKind::Mouse);
}

void TvnHook::RecordKeyboardSingleKey() {
  InstallHook(HookKind::Keyboard, &SingleKeyRecordProc);
}
void TvnHook::StopRecordKeyboardSingleKey() {
  RemoveHook(HookKind::Keyboard);
}

void TvnHook::RecordKeyboardComboKey() {
  InstallHook(HookKind::Keyboard, &ComboKeyRecordProc);
  FLastTimeKeyboardCombo = 0;
}

void TvnHook::StopRecordKeyboardComboKey() {
  RemoveHook(HookKind::Keyboard);
  FLastTimeKeyboardCombo = 0;
}

void TvnHook::RecordKeyboardMacroKey() {
  FMacroKeyList.Clear();
  FLastTimeKeyboardMacro = 0;
  InstallHook(HookKind::Keyboard, &MacroKeyRecordProc);
}

void TvnHook::RecordKeyboardMacroKeyEx() {
  FLastMacroKey = quarn::KeyboardHookRecord{};
  FTotalMacroTime = 0;
  FAllKeyState.fill(0);
  FSwallowedPress.fill(0);
  for (std::size_t vk = 0; vk < FHeldAtRecordStart.size(); ++vk)
    FHeldAtRecordStart[vk] = FPlatform.IsKeyDown(static_cast<std::uint8_t>(vk)) ? 1 : 0;
  FMacroKeyList.Clear();
  // One event adds at most two entries, so the list never grows past this while recording.
  FMacroKeyList.Reserve(kMacroKeyExLimit + 2);
  InstallHook(HookKind::Keyboard, &MacroKeyExRecordProc);
}

void TvnHook::StopRecordKeyboardMacroKey() {
  RemoveHook(HookKind::Keyboard);
  if (OnStopRecordKeyboardMacroKey) OnStopRecordKeyboardMacroKey(*this, FMacroKeyList);
  FMacroKeyList.Clear();
}

void TvnHook::StopRecordKeyboardMacroKeyEx() {
  StopRecordKeyboardMacroKey();
}

void TvnHook::RecordMouseMacro() {
  FMouseMacroKeyList.Clear();
  InstallHook(HookKind::Mouse, &MouseMacroRecordProc);
  FLastTimeMouseMacro = 0;
}

void TvnHook::StopRecordMouseMacro() {
  RemoveHook(HookKind::Mouse);
  if (OnStopRecordMouseMacroKey) OnStopRecordMouseMacroKey(*this, FMouseMacroKeyList);
}

void TvnHook::AddMouseHookObject(std::unique_ptr<TMouseHookDetailObject> AObject) {
  if (!AObject) return;
  std::u16string key = quarn::DecimalText(AObject->FMouseHookDetail.MouseButton);
  FMouseHookObjectList.Add(std::move(key), std::move(AObject));
}

void TvnHook::RemoveAllMouseHookObject() {
  FMouseHookObjectList.Clear();
}

void TvnHook::AddKeyboardHookObject(std::unique_ptr<TKeyBoardHookDetailObject> AObject) {
  if (!AObject) return;
  std::u16string key = quarn::DecimalText(AObject->FKeyBoardHookDetail.KeyboardVKKey);
  FKeyboardHookObjectList.Add(std::move(key), std::move(AObject));
}

void TvnHook::RemoveAllKeyboardHookObject() {
  FKeyboardHookObjectList.Clear();
}
