// A hook platform for tests: a fake hook library that records the calls made
// to it and holds the installed callbacks, so that a test can deliver events
// through them as the real library would; a settable key state and a log of
// error messages.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "hook_platform.h"

namespace quarn::testing {

// What the fake library saw; outlives the library object.
struct FakeHookLibraryState {
  std::vector<std::string> calls;
  TLowLevelHookCallback keyboardCallback = nullptr;
  void* keyboardContext = nullptr;
  TLowLevelHookCallback mouseCallback = nullptr;
  void* mouseContext = nullptr;
  int loads = 0;
  int releases = 0;
  bool loaded = false;
};

class FakeHookLibrary : public HookLibrary {
 public:
  explicit FakeHookLibrary(FakeHookLibraryState& state) : s(state) {
    ++s.loads;
    s.loaded = true;
  }
  // Like the real library, unloading removes whatever hook is still installed.
  ~FakeHookLibrary() override {
    ++s.releases;
    s.loaded = false;
    s.calls.push_back("Release");
    s.keyboardCallback = s.mouseCallback = nullptr;
    s.keyboardContext = s.mouseContext = nullptr;
  }
  void EnableKeyboardHook(TLowLevelHookCallback callback, void* context) override {
    s.calls.push_back("EnableKeyboardHook");
    s.keyboardCallback = callback;
    s.keyboardContext = context;
  }
  void DisableKeyboardHook() override {
    s.calls.push_back("DisableKeyboardHook");
    s.keyboardCallback = nullptr;
    s.keyboardContext = nullptr;
  }
  void EnableMouseHook(TLowLevelHookCallback callback, void* context) override {
    s.calls.push_back("EnableMouseHook");
    s.mouseCallback = callback;
    s.mouseContext = context;
  }
  void DisableMouseHook() override {
    s.calls.push_back("DisableMouseHook");
    s.mouseCallback = nullptr;
    s.mouseContext = nullptr;
  }

 private:
  FakeHookLibraryState& s;
};

class FakeHookPlatform : public HookPlatform {
 public:
  std::unique_ptr<HookLibrary> LoadHookLibrary(std::u16string_view fileName,
                                               HookLibraryLoad& result) override {
    loadRequests.emplace_back(fileName);
    result = loadResult;
    if (loadResult != HookLibraryLoad::Loaded) return nullptr;
    return std::make_unique<FakeHookLibrary>(library);
  }
  void ShowErrorMessage(std::u16string_view text, std::u16string_view caption) override {
    messages.emplace_back(std::u16string(text), std::u16string(caption));
  }
  bool IsKeyDown(std::uint8_t virtualKey) override { return keysDown.count(virtualKey) != 0; }

  // Delivers an event as the library does (Blocked starts at 0); returns
  // whether the event was swallowed. Nothing happens when no hook is installed.
  bool Mouse(std::uintptr_t message, const MouseHookRecord& event) {
    if (library.mouseCallback == nullptr) return false;
    std::uint8_t blocked = 0;
    library.mouseCallback(library.mouseContext, 0, message, reinterpret_cast<std::intptr_t>(&event),
                          &blocked);
    return blocked != 0;
  }
  bool Key(const KeyboardHookRecord& event, std::int32_t nCode = 0) {
    if (library.keyboardCallback == nullptr) return false;
    std::uint8_t blocked = 0;
    library.keyboardCallback(library.keyboardContext, nCode, 0x100,
                             reinterpret_cast<std::intptr_t>(&event), &blocked);
    return blocked != 0;
  }

  HookLibraryLoad loadResult = HookLibraryLoad::Loaded;
  FakeHookLibraryState library;
  std::vector<std::u16string> loadRequests;
  std::vector<std::pair<std::u16string, std::u16string>> messages;
  std::set<std::uint8_t> keysDown;
};

// Event records.
inline MouseHookRecord MouseAt(std::uint32_t time, std::int16_t high = 0, std::int32_t x = 0,
                               std::int32_t y = 0, bool injected = false) {
  return MouseHookRecord{x,
                         y,
                         static_cast<std::uint32_t>(static_cast<std::uint16_t>(high)) << 16,
                         injected ? MOUSE_FLAG_INJECTED : 0u,
                         time,
                         0};
}
inline KeyboardHookRecord KeyDown(std::uint32_t vk, std::uint32_t time, bool extended = false,
                                  std::uint32_t scan = 0) {
  return KeyboardHookRecord{vk, scan, extended ? KEY_FLAG_EXTENDED : 0u, time, 0};
}
inline KeyboardHookRecord KeyUp(std::uint32_t vk, std::uint32_t time, bool extended = false,
                                std::uint32_t scan = 0) {
  return KeyboardHookRecord{vk, scan, (extended ? KEY_FLAG_EXTENDED : 0u) | KEY_FLAG_UP, time, 0};
}

}  // namespace quarn::testing
