// The contract between the hook library (vnHook.dll) and the programs that
// load it: the callback the library calls for every low-level event, the four
// exported functions, and portable mirrors of the low-level event records the
// callback receives. No <windows.h> here: the Win32 side checks that the mirrors
// have the layout of the real records.
#pragma once

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define QUARN_HOOK_CALL __stdcall
#else
#define QUARN_HOOK_CALL
#endif

// Called by the library on the thread that enabled the hook, for every event
// with a hook code of 0 or more. wParam is the message (the mouse message
// number; keyboard callbacks do not read it), lParam points to the event record
// (KeyboardHookRecord or MouseHookRecord), Blocked points to a byte that is 0 on
// entry; the callback sets it to 1 to swallow the event.
using TLowLevelHookCallback = void(QUARN_HOOK_CALL*)(void* Context, std::int32_t nCode,
                                                     std::uintptr_t wParam, std::intptr_t lParam,
                                                     std::uint8_t* Blocked);

// The exports, all pointer-sized arguments. Enable installs the hook of its kind
// for the calling thread with the given callback and context (Reserved is 0) and
// returns nonzero on success; Disable removes it and is harmless when none is
// installed. One callback per kind.
using TEnableHookFunction = std::int32_t(QUARN_HOOK_CALL*)(TLowLevelHookCallback Callback,
                                                           void* Context, std::uintptr_t Reserved);
using TDisableHookFunction = std::int32_t(QUARN_HOOK_CALL*)();

inline constexpr const char* kEnableKeyboardHookName = "EnableKeyboardHook";
inline constexpr const char* kDisableKeyboardHookName = "DisableKeyboardHook";
inline constexpr const char* kEnableMouseHookName = "EnableMouseHook";
inline constexpr const char* kDisableMouseHookName = "DisableMouseHook";

namespace quarn {

// Layout of the Windows low-level keyboard event record.
struct KeyboardHookRecord {
  std::uint32_t vkCode;
  std::uint32_t scanCode;
  std::uint32_t flags;  // bit 0 extended key, bit 7 released
  std::uint32_t time;   // milliseconds, wraps after about 49.7 days
  std::uintptr_t dwExtraInfo;
};

// Layout of the Windows low-level mouse event record.
struct MouseHookRecord {
  std::int32_t x;
  std::int32_t y;
  std::uint32_t mouseData;  // high word: X button number or wheel delta
  std::uint32_t flags;      // bit 0 injected
  std::uint32_t time;
  std::uintptr_t dwExtraInfo;
};

constexpr std::uint32_t KEY_FLAG_EXTENDED = 0x01;
constexpr std::uint32_t KEY_FLAG_UP = 0x80;
constexpr std::uint32_t MOUSE_FLAG_INJECTED = 0x01;

}  // namespace quarn
