// A stand-in hook library with only two of the four functions, to check that
// a library without all of them is released again.
#include <windows.h>

#include <cstdint>

#include "hook_abi.h"

extern "C" {

__declspec(dllexport) std::int32_t QUARN_HOOK_CALL
    EnableMouseHook(TLowLevelHookCallback, void*, std::uintptr_t) {
  return FALSE;
}

__declspec(dllexport) std::int32_t QUARN_HOOK_CALL DisableMouseHook() {
  return TRUE;
}

}  // extern "C"
