// Records of the hook component: mouse buttons and mouse messages, the filter
// entries a program hands the component, the entries the recorders produce,
// and the owned, ordered lists that hold them. In memory only, never stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum TMouseButtons : std::uint8_t {
  BUTTON_NONE,
  LCLICK,
  RCLICK,
  MCLICK,
  XCLICK4,
  XCLICK5,
  WHEELUP,
  WHEELDOWN,
  BUTTONX1,
  BUTTONX2,
  BUTTONX3,
};

// Each value is a Windows mouse message number minus 0x200.
enum TMouseButtonStates : std::uint8_t {
  MOUSEMOVE,
  LBUTTONDOWN,
  LBUTTONUP,
  LBUTTONDBLCLK,
  RBUTTONDOWN,
  RBUTTONUP,
  RBUTTONDBLCLK,
  MBUTTONDOWN,
  MBUTTONUP,
  MBUTTONDBLCLK,
  MOUSEWHEEL,
  XBUTTONDOWN,
  XBUTTONUP,
  XBUTTONDBLCLK,
  MOUSEHWHEEL,
  OTHERFUNCTION,
};

constexpr std::uint32_t MOUSE_MESSAGE_FIRST = 0x200;  // MOUSEMOVE
constexpr std::uint32_t MOUSE_MESSAGE_LAST = 0x20F;   // OTHERFUNCTION

// A set of TMouseButtonStates, bit n for value n.
struct TMouseButtonStateSet {
  std::uint16_t Bits = 0;

  constexpr TMouseButtonStateSet() = default;
  constexpr TMouseButtonStateSet(std::initializer_list<TMouseButtonStates> states) {
    for (TMouseButtonStates s : states) Bits = static_cast<std::uint16_t>(Bits | (1u << s));
  }
  // State numbers outside 0 to 15 are never members.
  constexpr bool Contains(std::uint32_t state) const { return state < 16 && (Bits >> state) & 1u; }
};

enum TMouseStatesToHook : std::uint8_t { HOOK_DOWN, HOOK_UP };

// A mouse filter: which button and messages it claims, and whether the button
// passes untouched (ModifiedFunction equal to the event's button). In memory
// only, so its layout is free.
struct TMouseHookDetail {
  TMouseButtons MouseButton = BUTTON_NONE;
  TMouseButtonStateSet MouseStateSet;
  TMouseButtons ModifiedFunction = BUTTON_NONE;
  TMouseStatesToHook MouseStateToHook = HOOK_DOWN;  // carried, not consulted
};

// A keyboard filter: matched by virtual key or scan code together with the
// extended flag; KeyboardVKKey -1 ends the filter scan; block 1 swallows.
struct TKeyBoardHookDetail {
  std::int32_t KeyboardVKKey = 0;
  std::int32_t KeyboardSCANKey = 0;
  std::int32_t KeyExtended = 0;
  std::int32_t block = 0;
};

// One recorded keyboard entry: nKeyType 0 a delay (nKeyValue milliseconds),
// 1 a key (nKeyValue the virtual key, nKeyState 1 down, 0 up).
struct TMACROKEYHOOK {
  std::uint16_t nKeyType = 0;
  std::uint16_t nKeyState = 0;
  std::uint16_t nKeyValue = 0;
  std::uint16_t nKeyValueExtended = 0;
  double Time = 0;
  std::u16string MacroKeyString;
  std::u16string MacroKeyStateString;
};

// One recorded mouse entry: nKeyType 0 a delay (TimeValue milliseconds), 1 a button.
struct TMOUSEMACROKEY {
  std::uint16_t nKeyType = 0;
  std::uint16_t nKeyState = 0;
  TMouseButtons MouseButton = BUTTON_NONE;
  std::uint16_t X = 0;
  std::uint16_t Y = 0;
  std::uint16_t TimeValue = 0;
  double Time = 0;
  std::u16string MacroKeyString;
  std::u16string MacroKeyStateString;
};

// The key combination being recorded; nModifier bits 1 Alt, 2 Ctrl, 4 Shift, 8 Win.
struct TCOMBOKEY {
  std::uint16_t nKeyValue1 = 0;
  std::uint16_t nKeyValue1Extended = 0;
  std::uint16_t nKeyValue2 = 0;
  std::uint16_t nKeyValue2Extended = 0;
  std::uint16_t nModifier = 0;
};

struct TMouseButtonString {
  TMouseButtons MouseButton;
  std::u16string_view ButtonDescription;
};

struct TMacroKeyObject {
  TMACROKEYHOOK FMacroKey;
};
struct TMOUSEMacroKeyObject {
  TMOUSEMACROKEY FMOUSEMacroKey;
};
struct TKeyBoardHookDetailObject {
  TKeyBoardHookDetail FKeyBoardHookDetail;
};
struct TMouseHookDetailObject {
  TMouseHookDetail FMouseHookDetail;
};

// An ordered list of (key text, object) that owns its objects.
template <class T>
class TvnObjectList {
 public:
  struct Item {
    std::u16string Key;
    std::unique_ptr<T> Object;
  };

  std::size_t Count() const { return FItems.size(); }
  const std::u16string& Strings(std::size_t index) const { return FItems.at(index).Key; }
  const T& Objects(std::size_t index) const { return *FItems.at(index).Object; }
  typename std::vector<Item>::const_iterator begin() const { return FItems.begin(); }
  typename std::vector<Item>::const_iterator end() const { return FItems.end(); }

  void Add(std::u16string key, std::unique_ptr<T> object) {
    FItems.push_back(Item{std::move(key), std::move(object)});
  }
  void Clear() { FItems.clear(); }
  void Reserve(std::size_t n) { FItems.reserve(n); }

 private:
  std::vector<Item> FItems;
};

using TvnMacroKeyList = TvnObjectList<TMacroKeyObject>;
using TvnMouseMacroKeyList = TvnObjectList<TMOUSEMacroKeyObject>;
using TvnKeyboardHookObjectList = TvnObjectList<TKeyBoardHookDetailObject>;
using TvnMouseHookObjectList = TvnObjectList<TMouseHookDetailObject>;
