// TvnHook gives a program global low-level keyboard and mouse hooks through the
// hook library vnHook.dll. It binds the library (once per process, shared by
// every instance and released with the last one), hands it one of seven
// callbacks, and turns each event into component events: mouse and keyboard
// filtering, recording a single key, a key combination, a keyboard macro (two
// modes) or a mouse macro. One keyboard mode and one mouse mode at a time.
//
// All events run on the thread that started the mode, inside the library's
// hook procedure, so handlers must return quickly (post, do not wait).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "hook_abi.h"
#include "hook_platform.h"
#include "hook_records.h"

class TvnHook;

using TOnRecordKeyboardSingleKey = std::function<void(
    TvnHook& Sender, std::int32_t Key, std::uint32_t ScanKey, std::int32_t AState,
    std::int32_t AKeyExtended, const std::u16string& SingleKeyString, bool& ABlocked)>;
using TOnRecordKeyboardComboKey = std::function<void(
    TvnHook& Sender, std::int32_t Key1, std::int32_t Key1Extended, std::int32_t Key2,
    std::int32_t Key2Extended, std::int32_t Modifier, const std::u16string& ComboKeyString)>;
using TOnRecordKeyboardMacroKey = std::function<void(
    TvnHook& Sender, std::int32_t MacroType, std::int32_t Key1, std::int32_t AState,
    std::int32_t Extended, double Time, const std::u16string& MacroKeyString,
    const std::u16string& MacroKeyStateString, const TvnMacroKeyList& KeyList)>;
using TOnRecordKeyboardMacroKeyEx =
    std::function<void(TvnHook& Sender, std::int32_t MacroType, std::int32_t Key1,
                       std::int32_t AState, std::int32_t Extended, double Time,
                       std::uint32_t TotalTime, const std::u16string& MacroKeyString,
                       const std::u16string& MacroKeyStateString, const TvnMacroKeyList& KeyList)>;
using TOnRecordMouseMacroKey = std::function<void(
    TvnHook& Sender, std::int32_t MacroType, TMouseButtons AButton, std::int32_t AState,
    std::uint16_t X, std::uint16_t Y, double Time, const std::u16string& MacroKeyString,
    const std::u16string& MacroKeyStateString, const TvnMouseMacroKeyList& MouseRecordList)>;
using TOnStopRecordKeyboardMacroKey =
    std::function<void(TvnHook& Sender, const TvnMacroKeyList& KeyoboardRecordList)>;
using TOnStopRecordMouseMacroKey =
    std::function<void(TvnHook& Sender, const TvnMouseMacroKeyList& MouseRecordList)>;
using TOnHookKeyboardKey =
    std::function<void(TvnHook& Sender, std::int32_t Key, std::int32_t AState,
                       std::int32_t AKeyExtended, bool& ABlocked, std::uint32_t AScanKey)>;
using TOnHookMouseButton = std::function<void(TvnHook& Sender, TMouseButtons AvnButton,
                                              std::int32_t AState, bool& ABlocked)>;
using TOnHookAllMouseButton =
    std::function<void(TvnHook& Sender, TMouseButtons AvnButton, std::int32_t AState,
                       std::int16_t AExValue, bool& ABlocked)>;
using TOnHookMouseMove =
    std::function<void(TvnHook& Sender, std::int32_t X, std::int32_t Y, double Time)>;

class TvnHook {
 public:
  // Binds the hook library "vnHook.dll" through the platform (which must
  // outlive the component). When the file cannot be loaded the platform shows
  // "vnHook.dll can not be found!"; the component is still usable and every
  // method then leaves the hooks alone.
  explicit TvnHook(quarn::HookPlatform& platform);
  // Removes the hooks this component installed, then releases the library.
  ~TvnHook();
  TvnHook(const TvnHook&) = delete;
  TvnHook& operator=(const TvnHook&) = delete;

  bool DLLLoaded() const { return FDLLLoaded; }

  void StartHookKeyboard();
  void StopHookKeyboard();
  void StartHookMouse();
  void StopHookMouse();
  void RecordKeyboardSingleKey();
  void StopRecordKeyboardSingleKey();
  void RecordKeyboardComboKey();
  void StopRecordKeyboardComboKey();
  void RecordKeyboardMacroKey();
  void RecordKeyboardMacroKeyEx();
  void StopRecordKeyboardMacroKey();
  void StopRecordKeyboardMacroKeyEx();
  void RecordMouseMacro();
  void StopRecordMouseMacro();

  // Filters are matched in the order they were added; the component owns them.
  void AddMouseHookObject(std::unique_ptr<TMouseHookDetailObject> AObject);
  void RemoveAllMouseHookObject();
  void AddKeyboardHookObject(std::unique_ptr<TKeyBoardHookDetailObject> AObject);
  void RemoveAllKeyboardHookObject();

  const TvnMouseHookObjectList& MouseHookObjects() const { return FMouseHookObjectList; }
  const TvnKeyboardHookObjectList& KeyboardHookObjects() const { return FKeyboardHookObjectList; }
  const TvnMacroKeyList& MacroKeys() const { return FMacroKeyList; }
  const TvnMouseMacroKeyList& MouseMacroKeys() const { return FMouseMacroKeyList; }

  // The seven callbacks handed to the library; Context is the component.
  static void QUARN_HOOK_CALL MouseHookProc(void* Context, std::int32_t nCode,
                                            std::uintptr_t wParam, std::intptr_t lParam,
                                            std::uint8_t* Blocked) noexcept;
  static void QUARN_HOOK_CALL MouseMacroRecordProc(void* Context, std::int32_t nCode,
                                                   std::uintptr_t wParam, std::intptr_t lParam,
                                                   std::uint8_t* Blocked) noexcept;
  static void QUARN_HOOK_CALL KeyboardHookProc(void* Context, std::int32_t nCode,
                                               std::uintptr_t wParam, std::intptr_t lParam,
                                               std::uint8_t* Blocked) noexcept;
  static void QUARN_HOOK_CALL SingleKeyRecordProc(void* Context, std::int32_t nCode,
                                                  std::uintptr_t wParam, std::intptr_t lParam,
                                                  std::uint8_t* Blocked) noexcept;
  static void QUARN_HOOK_CALL ComboKeyRecordProc(void* Context, std::int32_t nCode,
                                                 std::uintptr_t wParam, std::intptr_t lParam,
                                                 std::uint8_t* Blocked) noexcept;
  static void QUARN_HOOK_CALL MacroKeyRecordProc(void* Context, std::int32_t nCode,
                                                 std::uintptr_t wParam, std::intptr_t lParam,
                                                 std::uint8_t* Blocked) noexcept;
  static void QUARN_HOOK_CALL MacroKeyExRecordProc(void* Context, std::int32_t nCode,
                                                   std::uintptr_t wParam, std::intptr_t lParam,
                                                   std::uint8_t* Blocked) noexcept;

  TOnRecordKeyboardSingleKey OnRecordKeyboardSingleKey;
  TOnRecordKeyboardComboKey OnRecordKeyboardComboKey;
  TOnRecordKeyboardMacroKey OnRecordKeyboardMacroKey;
  TOnRecordKeyboardMacroKeyEx OnRecordKeyboardMacroKeyEx;
  TOnRecordMouseMacroKey OnRecordMouseMacroKey;
  TOnStopRecordKeyboardMacroKey OnStopRecordKeyboardMacroKey;
  TOnStopRecordMouseMacroKey OnStopRecordMouseMacroKey;
  TOnHookKeyboardKey OnHookKeyboardKey;
  TOnHookKeyboardKey OnHookKeyboardAllKey;
  TOnHookMouseButton OnHookMouseButton;
  TOnHookAllMouseButton OnHookMouseAllButton;
  TOnHookMouseMove OnHookMouseMove;

  // The second keyboard macro mode records while the list holds at most this many entries.
  static constexpr std::size_t kMacroKeyExLimit = 500;

 private:
  enum class HookKind { Keyboard, Mouse };

  void InstallHook(HookKind kind, TLowLevelHookCallback callback);
  void RemoveHook(HookKind kind);

  // The callbacks' logic, on a decoded event.
  void HookMouse(std::uintptr_t message, const quarn::MouseHookRecord& event, bool& blocked);
  void RecordMouseMacroEvent(std::uintptr_t message, const quarn::MouseHookRecord& event);
  void HookKeyboard(std::int32_t code, const quarn::KeyboardHookRecord& event, bool& blocked);
  void RecordSingleKey(const quarn::KeyboardHookRecord& event, bool& blocked);
  void RecordComboKey(const quarn::KeyboardHookRecord& event, bool& blocked);
  void RecordMacroKey(const quarn::KeyboardHookRecord& event, bool& blocked);
  void RecordMacroKeyEx(const quarn::KeyboardHookRecord& event, bool& blocked);

  void AppendMacroKey(std::uint16_t type, std::uint16_t state, std::uint16_t value,
                      std::uint16_t extended);
  void AppendMouseMacroKey(std::uint16_t type, std::uint16_t state, TMouseButtons button,
                           const quarn::MouseHookRecord& event, std::uint16_t timeValue);

  quarn::HookPlatform& FPlatform;
  bool FDLLLoaded = false;

  TCOMBOKEY FComboKeyInfo;
  std::u16string FComboKeyString;
  TvnMacroKeyList FMacroKeyList;
  TvnMouseMacroKeyList FMouseMacroKeyList;
  TvnKeyboardHookObjectList FKeyboardHookObjectList;
  TvnMouseHookObjectList FMouseHookObjectList;

  std::uint32_t FLastTimeKeyboardMacro = 0;
  std::uint32_t FLastTimeKeyboardCombo = 0;
  std::uint32_t FLastTimeMouseMacro = 0;
  std::uint32_t FTotalMacroTime = 0;
  quarn::KeyboardHookRecord FLastMacroKey{};
  std::array<std::uint8_t, 256> FAllKeyState{};
  // Second keyboard macro mode: keys held when recording started, and keys
  // whose press this recording swallowed. Only the release of a swallowed
  // press is swallowed too; any other release reaches the system, so a key
  // held down across the start of recording is not left stuck.
  std::array<std::uint8_t, 256> FHeldAtRecordStart{};
  std::array<std::uint8_t, 256> FSwallowedPress{};
};
