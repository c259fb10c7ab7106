// The seven callbacks TvnHook hands the hook library: what each one decides
// for a low-level event, what it records, which events it raises and when it
// swallows the event.
#include <algorithm>
#include <string_view>

#include "decimal_text.h"
#include "key_tables.h"
#include "mouse_buttons.h"
#include "vn_hook.h"

using quarn::KeyboardHookRecord;
using quarn::MouseHookRecord;

namespace {

constexpr std::u16string_view kDelayText = u"ms";
constexpr std::u16string_view kDownText = u"Down";
constexpr std::u16string_view kUpText = u"Up";

constexpr std::uintptr_t kMouseMove = 0x200;
constexpr std::uint32_t kMaxDelay = 65535;
// Pauses the first keyboard macro mode records: above 10 and below 2000 ms.
constexpr std::uint32_t kMacroDelayMin = 10;
constexpr std::uint32_t kMacroDelayMax = 2000;
// Two presses at most this far apart belong to one combination.
constexpr std::uint32_t kComboWindow = 100;

// Virtual keys index 256-entry tables and are stored in 16-bit fields.
constexpr std::uint32_t kVirtualKeyCount = 256;

// Milliseconds from `earlier` to `later` on the wrapping 32-bit tick count.
// Negative when `later` is in fact the earlier stamp.
std::int32_t TickDifference(std::uint32_t later, std::uint32_t earlier) {
  return static_cast<std::int32_t>(later - earlier);
}

// Elapsed time, 0 when the event's stamp is earlier than the stored one.
std::uint32_t Elapsed(std::uint32_t now, std::uint32_t before) {
  const std::int32_t d = TickDifference(now, before);
  return d > 0 ? static_cast<std::uint32_t>(d) : 0;
}

std::int32_t KeyState(const KeyboardHookRecord& e) {
  return (e.flags & quarn::KEY_FLAG_UP) ? 0 : 1;
}
std::uint16_t KeyExtended(const KeyboardHookRecord& e) {
  return (e.flags & quarn::KEY_FLAG_EXTENDED) ? 1 : 0;
}
bool IsInjected(const MouseHookRecord& e) {
  return (e.flags & quarn::MOUSE_FLAG_INJECTED) != 0;
}
std::uint16_t Low16(std::int32_t v) {
  return static_cast<std::uint16_t>(static_cast<std::uint32_t>(v));
}

std::u16string KeyDescription(std::uint32_t vk, std::int32_t extended) {
  std::u16string text;
  GetKeyDescription(static_cast<std::int32_t>(vk), extended, text);
  return text;
}

bool IsModifierKey(std::uint32_t vk) {
  switch (vk) {
    case 0xA2:  // left and right Ctrl
    case 0xA3:
    case 0xA4:  // left and right Alt
    case 0xA5:
    case 0x5B:  // left and right Windows key
    case 0x5C:
    case 0xA0:  // left and right Shift
    case 0xA1:
      return true;
    default:
      return false;
  }
}

// Runs `body` on the component and the event record; the Blocked byte is read
// before and written after, also when a handler throws (nothing may cross the
// library's hook procedure).
template <class Record, class Body>
void Dispatch(void* context, std::intptr_t lParam, std::uint8_t* Blocked, Body body) noexcept {
  if (context == nullptr || lParam == 0 || Blocked == nullptr) return;
  bool blocked = *Blocked != 0;
  try {
    body(*static_cast<TvnHook*>(context), *reinterpret_cast<const Record*>(lParam), blocked);
  } catch (...) {
  }
  *Blocked = blocked ? 1 : 0;
}

}  // namespace

// --- entry points -----------------------------------------------------------

void TvnHook::MouseHookProc(void* Context, std::int32_t, std::uintptr_t wParam,
                            std::intptr_t lParam, std::uint8_t* Blocked) noexcept {
  Dispatch<MouseHookRecord>(Context, lParam, Blocked,
                            [wParam](TvnHook& self, const MouseHookRecord& e, bool& blocked) {
                              self.HookMouse(wParam, e, blocked);
                            });
}

void TvnHook::MouseMacroRecordProc(void* Context, std::int32_t, std::uintptr_t wParam,
                                   std::intptr_t lParam, std::uint8_t* Blocked) noexcept {
  Dispatch<MouseHookRecord>(Context, lParam, Blocked,
                            [wParam](TvnHook& self, const MouseHookRecord& e, bool&) {
                              self.RecordMouseMacroEvent(wParam, e);
                            });
}

void TvnHook::KeyboardHookProc(void* Context, std::int32_t nCode, std::uintptr_t,
                               std::intptr_t lParam, std::uint8_t* Blocked) noexcept {
  Dispatch<KeyboardHookRecord>(Context, lParam, Blocked,
                               [nCode](TvnHook& self, const KeyboardHookRecord& e, bool& blocked) {
                                 self.HookKeyboard(nCode, e, blocked);
                               });
}

void TvnHook::SingleKeyRecordProc(void* Context, std::int32_t, std::uintptr_t, std::intptr_t lParam,
                                  std::uint8_t* Blocked) noexcept {
  Dispatch<KeyboardHookRecord>(Context, lParam, Blocked,
                               [](TvnHook& self, const KeyboardHookRecord& e, bool& blocked) {
                                 self.RecordSingleKey(e, blocked);
                               });
}

void TvnHook::ComboKeyRecordProc(void* Context, std::int32_t, std::uintptr_t, std::intptr_t lParam,
                                 std::uint8_t* Blocked) noexcept {
  Dispatch<KeyboardHookRecord>(Context, lParam, Blocked,
                               [](TvnHook& self, const KeyboardHookRecord& e, bool& blocked) {
                                 self.RecordComboKey(e, blocked);
                               });
}

void TvnHook::MacroKeyRecordProc(void* Context, std::int32_t, std::uintptr_t, std::intptr_t lParam,
                                 std::uint8_t* Blocked) noexcept {
  Dispatch<KeyboardHookRecord>(Context, lParam, Blocked,
                               [](TvnHook& self, const KeyboardHookRecord& e, bool& blocked) {
                                 self.RecordMacroKey(e, blocked);
                               });
}

void TvnHook::MacroKeyExRecordProc(void* Context, std::int32_t, std::uintptr_t,
                                   std::intptr_t lParam, std::uint8_t* Blocked) noexcept {
  Dispatch<KeyboardHookRecord>(Context, lParam, Blocked,
                               [](TvnHook& self, const KeyboardHookRecord& e, bool& blocked) {
                                 self.RecordMacroKeyEx(e, blocked);
                               });
}

// --- mouse ------------------------------------------------------------------

void TvnHook::HookMouse(std::uintptr_t message, const MouseHookRecord& event, bool& blocked) {
  if (message == kMouseMove) {
    if (OnHookMouseMove && !IsInjected(event)) {
      OnHookMouseMove(*this, event.x, event.y, static_cast<double>(event.time));
      blocked = false;
    }
    return;
  }
  // Input synthesised by software (our own emulated clicks among it) passes untouched.
  if (IsInjected(event)) return;

  const quarn::MouseEventButton b = quarn::DecodeMouseEvent(message, event.mouseData);
  if (OnHookMouseAllButton) OnHookMouseAllButton(*this, b.Button, b.State, b.ExValue, blocked);

  if (!OnHookMouseButton) return;
  if (message < MOUSE_MESSAGE_FIRST || message > MOUSE_MESSAGE_LAST) return;
  const auto stateNumber = static_cast<std::uint32_t>(message - MOUSE_MESSAGE_FIRST);
  for (const auto& item : FMouseHookObjectList) {
    const TMouseHookDetail& filter = item.Object->FMouseHookDetail;
    if (filter.MouseButton != b.Button || !filter.MouseStateSet.Contains(stateNumber)) continue;
    // The first filter that applies decides.
    if (filter.ModifiedFunction != b.Button) OnHookMouseButton(*this, b.Button, b.State, blocked);
    return;
  }
}

void TvnHook::AppendMouseMacroKey(std::uint16_t type, std::uint16_t state, TMouseButtons button,
                                  const MouseHookRecord& event, std::uint16_t timeValue) {
  auto entry = std::make_unique<TMOUSEMacroKeyObject>();
  TMOUSEMACROKEY& k = entry->FMOUSEMacroKey;
  k.nKeyType = type;
  k.nKeyState = state;
  k.MouseButton = button;
  k.X = Low16(event.x);
  k.Y = Low16(event.y);
  k.TimeValue = timeValue;
  FMouseMacroKeyList.Add(quarn::DecimalText(static_cast<std::int64_t>(FMouseMacroKeyList.Count())),
                         std::move(entry));
}

void TvnHook::RecordMouseMacroEvent(std::uintptr_t message, const MouseHookRecord& event) {
  if (!OnRecordMouseMacroKey || IsInjected(event)) return;
  const quarn::MouseEventButton b = quarn::DecodeMouseEvent(message, event.mouseData);
  const double time = static_cast<double>(event.time);

  if (FLastTimeMouseMacro == 0) {
    FLastTimeMouseMacro = event.time;  // first event: no delay in front of it
  } else {
    if (TickDifference(event.time, FLastTimeMouseMacro) < 0) {
      FLastTimeMouseMacro = event.time;  // out of order: drop it and re-synchronise
      return;
    }
    const std::uint32_t delay = event.time - FLastTimeMouseMacro;
    FLastTimeMouseMacro = event.time;
    // A delay too long for the 16-bit field is kept as the longest one, never wrapped.
    AppendMouseMacroKey(0, 0, BUTTON_NONE, event,
                        static_cast<std::uint16_t>(std::min(delay, kMaxDelay)));
    OnRecordMouseMacroKey(*this, 0, BUTTON_NONE, 0, Low16(event.x), Low16(event.y), time,
                          quarn::DecimalText(delay), std::u16string(kDelayText),
                          FMouseMacroKeyList);
  }

  if (b.Button == BUTTON_NONE) return;
  AppendMouseMacroKey(1, static_cast<std::uint16_t>(b.State), b.Button, event, 0);
  std::u16string text;
  LookUpMouseButtonDescription(b.Button, text);
  OnRecordMouseMacroKey(*this, 1, b.Button, b.State, Low16(event.x), Low16(event.y), time, text,
                        std::u16string(b.State != 0 ? kDownText : kUpText), FMouseMacroKeyList);
}

// --- keyboard ---------------------------------------------------------------

void TvnHook::HookKeyboard(std::int32_t code, const KeyboardHookRecord& event, bool& blocked) {
  if (code != 0) return;
  const auto vk = static_cast<std::int32_t>(event.vkCode);
  const std::int32_t state = KeyState(event);
  const std::int32_t extended = KeyExtended(event);
  if (OnHookKeyboardAllKey)
    OnHookKeyboardAllKey(*this, vk, state, extended, blocked, event.scanCode);

  if (!OnHookKeyboardKey) return;
  for (const auto& item : FKeyboardHookObjectList) {
    const TKeyBoardHookDetail& filter = item.Object->FKeyBoardHookDetail;
    if (filter.KeyboardVKKey == -1) return;
    if (filter.KeyExtended != extended) continue;
    const bool byKey = filter.KeyboardVKKey != 0 && filter.KeyboardVKKey == vk;
    const bool byScan = filter.KeyboardSCANKey != 0 &&
                        static_cast<std::uint32_t>(filter.KeyboardSCANKey) == event.scanCode;
    if (!byKey && !byScan) continue;
    if (filter.block == 1) blocked = true;
    OnHookKeyboardKey(*this, vk, state, extended, blocked, event.scanCode);
    return;
  }
}

void TvnHook::RecordSingleKey(const KeyboardHookRecord& event, bool& blocked) {
  if (!OnRecordKeyboardSingleKey) return;
  const std::int32_t extended = KeyExtended(event);
  OnRecordKeyboardSingleKey(*this, static_cast<std::int32_t>(event.vkCode), event.scanCode,
                            KeyState(event), extended, KeyDescription(event.vkCode, extended),
                            blocked);
}

void TvnHook::RecordComboKey(const KeyboardHookRecord& event, bool& blocked) {
  if (!OnRecordKeyboardComboKey) return;
  if (KeyState(event) == 0) return;  // releases pass
  if (IsModifierKey(event.vkCode)) return;
  // Not a key we can store: 0 is what an empty key field means.
  if (event.vkCode == 0 || event.vkCode >= kVirtualKeyCount) return;

  const auto key = static_cast<std::uint16_t>(event.vkCode);
  const std::uint16_t extended = KeyExtended(event);
  TCOMBOKEY& c = FComboKeyInfo;

  FComboKeyString.clear();
  c.nModifier = 0;
  if (c.nKeyValue1 != 0 && c.nKeyValue2 != 0) {
    // A complete combination is followed by a new one. A key and its extended
    // flag are always set and cleared together, so no flag outlives its key.
    c = TCOMBOKEY{};
  }

  quarn::HookPlatform& p = FPlatform;
  if (p.IsKeyDown(0xA2) || p.IsKeyDown(0xA3)) {
    c.nModifier |= 2;
    FComboKeyString += u"Ctrl+";
  }
  if (p.IsKeyDown(0xA4) || p.IsKeyDown(0xA5)) {
    c.nModifier |= 1;
    FComboKeyString += u"Alt+";
  }
  if (p.IsKeyDown(0x5B) || p.IsKeyDown(0x5C)) {
    c.nModifier |= 8;
    FComboKeyString += u"Win+";
  }
  if (p.IsKeyDown(0xA0) || p.IsKeyDown(0xA1)) {
    c.nModifier |= 4;
    FComboKeyString += u"Shift+";
  }

  // The first press of a recording has nothing to pair with.
  const bool withinWindow =
      FLastTimeKeyboardCombo != 0 && std::min(event.time - FLastTimeKeyboardCombo,
                                              FLastTimeKeyboardCombo - event.time) <= kComboWindow;
  auto setFirst = [&] {
    c.nKeyValue1 = key;
    c.nKeyValue1Extended = extended;
    c.nKeyValue2 = 0;
    c.nKeyValue2Extended = 0;
  };
  if (!withinWindow || c.nKeyValue1 == 0) {
    setFirst();
  } else if (c.nKeyValue2 == 0) {
    if (key != c.nKeyValue1) {
      c.nKeyValue2 = key;
      c.nKeyValue2Extended = extended;
    } else {
      setFirst();
    }
  }
  FLastTimeKeyboardCombo = event.time;

  std::u16string text = KeyDescription(c.nKeyValue1, c.nKeyValue1Extended);
  if (c.nKeyValue2 != 0) {
    text += u"+";
    text += KeyDescription(c.nKeyValue2, c.nKeyValue2Extended);
  }
  if (!text.empty()) {
    FComboKeyString += text;
    OnRecordKeyboardComboKey(*this, c.nKeyValue1, c.nKeyValue1Extended, c.nKeyValue2,
                             c.nKeyValue2Extended, c.nModifier, FComboKeyString);
  }
  blocked = true;  // every other press is swallowed while recording
}

void TvnHook::AppendMacroKey(std::uint16_t type, std::uint16_t state, std::uint16_t value,
                             std::uint16_t extended) {
  auto entry = std::make_unique<TMacroKeyObject>();
  entry->FMacroKey.nKeyType = type;
  entry->FMacroKey.nKeyState = state;
  entry->FMacroKey.nKeyValue = value;
  entry->FMacroKey.nKeyValueExtended = extended;
  FMacroKeyList.Add(quarn::DecimalText(static_cast<std::int64_t>(FMacroKeyList.Count())),
                    std::move(entry));
}

void TvnHook::RecordMacroKey(const KeyboardHookRecord& event, bool& blocked) {
  if (!OnRecordKeyboardMacroKey) return;
  if (event.vkCode >= kVirtualKeyCount) return;
  const double time = static_cast<double>(event.time);

  if (FLastTimeKeyboardMacro != 0) {
    // Unsigned difference: right across the counter's wrap; a stamp earlier
    // than the stored one gives a huge value and so no delay entry.
    const std::uint32_t d = event.time - FLastTimeKeyboardMacro;
    if (d > kMacroDelayMin && d < kMacroDelayMax) {
      AppendMacroKey(0, 0, static_cast<std::uint16_t>(d), 0);
      OnRecordKeyboardMacroKey(*this, 0, static_cast<std::int32_t>(d), 0, 0, time,
                               quarn::DecimalText(d), std::u16string(kDelayText), FMacroKeyList);
    }
  }
  FLastTimeKeyboardMacro = event.time;

  const std::int32_t state = KeyState(event);
  const std::uint16_t extended = KeyExtended(event);
  AppendMacroKey(1, static_cast<std::uint16_t>(state), static_cast<std::uint16_t>(event.vkCode),
                 extended);
  OnRecordKeyboardMacroKey(*this, 1, static_cast<std::int32_t>(event.vkCode), state, extended, time,
                           KeyDescription(event.vkCode, extended),
                           std::u16string(state ? kDownText : kUpText), FMacroKeyList);
  blocked = true;
}

void TvnHook::RecordMacroKeyEx(const KeyboardHookRecord& event, bool& blocked) {
  if (!OnRecordKeyboardMacroKeyEx) return;
  if (FMacroKeyList.Count() > kMacroKeyExLimit) return;  // full: neither recorded nor swallowed
  if (event.vkCode >= kVirtualKeyCount) return;

  const bool release = (event.flags & quarn::KEY_FLAG_UP) != 0;
  constexpr std::uint32_t kSameKeyBits = quarn::KEY_FLAG_EXTENDED | quarn::KEY_FLAG_UP;
  bool delayDue = false;
  if (FLastMacroKey.vkCode == 0) {
    FLastMacroKey = event;  // first key of the recording
    FTotalMacroTime = 0;
  } else if (!release && event.vkCode == FLastMacroKey.vkCode &&
             (event.flags & kSameKeyBits) == (FLastMacroKey.flags & kSameKeyBits)) {
    // Auto-repeat of the held key: the delay keeps growing from its press.
    FTotalMacroTime = Elapsed(event.time, FLastMacroKey.time);
  } else {
    FTotalMacroTime = Elapsed(event.time, FLastMacroKey.time);
    FLastMacroKey = event;
    delayDue = true;
    if (release) FAllKeyState[event.vkCode] = 0;
  }

  if (delayDue && FTotalMacroTime > 0) {
    FTotalMacroTime = std::min(FTotalMacroTime, kMaxDelay);
    AppendMacroKey(0, 0, static_cast<std::uint16_t>(FTotalMacroTime), 0);
  }

  if (FAllKeyState[event.vkCode] == 0) {
    if (!release) FAllKeyState[event.vkCode] = 1;
    const std::int32_t state = KeyState(event);
    const std::uint16_t extended = KeyExtended(event);
    AppendMacroKey(1, static_cast<std::uint16_t>(state), static_cast<std::uint16_t>(event.vkCode),
                   extended);
    OnRecordKeyboardMacroKeyEx(*this, 1, static_cast<std::int32_t>(event.vkCode), state, extended,
                               static_cast<double>(event.time), FTotalMacroTime,
                               KeyDescription(event.vkCode, extended),
                               std::u16string(state ? kDownText : kUpText), FMacroKeyList);
  }
  if (!release) {
    // The repeats of a key held before recording started are swallowed, but
    // the system saw its press, so its release must still reach it.
    if (FHeldAtRecordStart[event.vkCode] == 0) FSwallowedPress[event.vkCode] = 1;
    blocked = true;
  } else {
    if (FSwallowedPress[event.vkCode] != 0) blocked = true;
    FSwallowedPress[event.vkCode] = 0;
    FHeldAtRecordStart[event.vkCode] = 0;
  }
}
