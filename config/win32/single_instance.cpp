#include "single_instance.h"

#include <windows.h>

#include "wide.h"

namespace quarn {

std::unique_ptr<SingleInstance> SingleInstance::Acquire(std::u16string_view name) {
  if (name.empty()) return nullptr;
  const std::wstring wide = ToWide(name);
  HANDLE mutex = CreateMutexW(nullptr, TRUE, wide.c_str());
  if (mutex == nullptr) return nullptr;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return nullptr;
  }
  return std::unique_ptr<SingleInstance>(new SingleInstance(mutex));
}

SingleInstance::~SingleInstance() {
  ReleaseMutex(static_cast<HANDLE>(handle_));
  CloseHandle(static_cast<HANDLE>(handle_));
}

}  // namespace quarn
