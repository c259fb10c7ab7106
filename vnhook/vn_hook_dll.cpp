// vnHook.dll: installs the global low-level keyboard and mouse hooks for the
// thread that enables them and reports every event to that thread's callback.
// The hook procedures only call the callback and pass or swallow the event; the
// hooks are removed when the library is unloaded.
#include <windows.h>

#include "hook_abi.h"

namespace {

HINSTANCE g_instance = nullptr;

// One installed hook of a kind: its handle, callback and the caller's context.
struct HookSlot {
  HHOOK Hook = nullptr;
  TLowLevelHookCallback Callback = nullptr;
  void* Context = nullptr;
};

HookSlot g_keyboard;
HookSlot g_mouse;

// Low-level hooks are called on the thread that installed them, so the
// callback runs on the thread that enabled the hook.
LRESULT Report(const HookSlot& slot, int nCode, WPARAM wParam, LPARAM lParam) {
  if (nCode >= 0 && slot.Callback != nullptr) {
    std::uint8_t blocked = 0;
    slot.Callback(slot.Context, nCode, static_cast<std::uintptr_t>(wParam),
                  static_cast<std::intptr_t>(lParam), &blocked);
    if (blocked != 0) return 1;
  }
  return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam) {
  return Report(g_keyboard, nCode, wParam, lParam);
}

LRESULT CALLBACK MouseProc(int nCode, WPARAM wParam, LPARAM lParam) {
  return Report(g_mouse, nCode, wParam, lParam);
}

void Remove(HookSlot& slot) {
  if (slot.Hook != nullptr) UnhookWindowsHookEx(slot.Hook);
  slot = HookSlot{};
}

std::int32_t Install(HookSlot& slot, int kind, HOOKPROC proc, TLowLevelHookCallback callback,
                     void* context) {
  Remove(slot);
  if (callback == nullptr) return FALSE;
  HHOOK hook = SetWindowsHookExW(kind, proc, g_instance, 0);
  if (hook == nullptr) return FALSE;
  slot.Hook = hook;
  slot.Callback = callback;
  slot.Context = context;
  return TRUE;
}

}  // namespace

extern "C" {

__declspec(dllexport) std::int32_t QUARN_HOOK_CALL
    EnableKeyboardHook(TLowLevelHookCallback Callback, void* Context, std::uintptr_t) {
  return Install(g_keyboard, WH_KEYBOARD_LL, KeyboardProc, Callback, Context);
}

__declspec(dllexport) std::int32_t QUARN_HOOK_CALL DisableKeyboardHook() {
  Remove(g_keyboard);
  return TRUE;
}

__declspec(dllexport) std::int32_t QUARN_HOOK_CALL
    EnableMouseHook(TLowLevelHookCallback Callback, void* Context, std::uintptr_t) {
  return Install(g_mouse, WH_MOUSE_LL, MouseProc, Callback, Context);
}

__declspec(dllexport) std::int32_t QUARN_HOOK_CALL DisableMouseHook() {
  Remove(g_mouse);
  return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_instance = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // Unloaded while the process goes on: no hook may call into freed code.
    Remove(g_keyboard);
    Remove(g_mouse);
  }
  return TRUE;
}

}  // extern "C"

// The exported functions have the contract's types.
[[maybe_unused]] constexpr TEnableHookFunction kEnableKeyboardType = &EnableKeyboardHook;
[[maybe_unused]] constexpr TDisableHookFunction kDisableKeyboardType = &DisableKeyboardHook;
[[maybe_unused]] constexpr TEnableHookFunction kEnableMouseType = &EnableMouseHook;
[[maybe_unused]] constexpr TDisableHookFunction kDisableMouseType = &DisableMouseHook;
