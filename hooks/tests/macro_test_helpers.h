// Builders of macro steps, macros and macro lists for the model and file tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "macro_records.h"
#include "text_field.h"

// Steps compare by their bytes (found by lookup on the record's namespace).
inline bool operator==(const TMACROKEY& a, const TMACROKEY& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

namespace quarn::testing {

inline TMACROKEY Step(std::uint16_t type, std::uint16_t state, std::uint8_t v1, std::uint8_t v2) {
  TMACROKEY k{};
  k.nKeyType = type;
  k.nKeyState = state;
  k.VALUE1 = v1;
  k.VALUE2 = v2;
  return k;
}
inline TMACROKEY Down(std::uint8_t vk, std::uint8_t extended = 0) {
  return Step(MACROKEY_KEYBOARD, 1, vk, extended);
}
inline TMACROKEY Up(std::uint8_t vk, std::uint8_t extended = 0) {
  return Step(MACROKEY_KEYBOARD, 0, vk, extended);
}
inline TMACROKEY MouseDown(std::uint8_t button) {
  return Step(MACROKEY_MOUSE, 1, button, 0);
}
inline TMACROKEY MouseUp(std::uint8_t button) {
  return Step(MACROKEY_MOUSE, 0, button, 0);
}
inline TMACROKEY MediaDown(std::uint8_t code) {
  return Step(MACROKEY_MEDIA, 1, code, 0);
}
inline TMACROKEY Delay(std::uint16_t ms) {
  return Step(MACROKEY_DELAY, 0, static_cast<std::uint8_t>(ms & 0xFF),
              static_cast<std::uint8_t>(ms >> 8));
}

// A macro with those steps and name; every other field zero.
inline TMACROKEYINFO Macro(std::initializer_list<TMACROKEY> steps,
                           std::u16string_view name = u"m") {
  TMACROKEYINFO m{};
  int n = 0;
  for (const TMACROKEY& s : steps) m.MacroList[n++] = s;
  m.MacroListCount = n;
  WriteText(m.szMacroName, name);
  return m;
}

// Key presses named by letters: "ABC" is press A, press B, press C.
inline std::vector<TMACROKEY> Presses(std::string_view letters) {
  std::vector<TMACROKEY> v;
  for (char c : letters) v.push_back(Down(static_cast<std::uint8_t>(c)));
  return v;
}
inline std::string Letters(const std::vector<TMACROKEY>& actions) {
  std::string s;
  for (const TMACROKEY& a : actions) s.push_back(static_cast<char>(a.VALUE1));
  return s;
}

inline TMACROKEYINFO MacroOf(const std::vector<TMACROKEY>& steps, std::u16string_view name = u"m") {
  TMACROKEYINFO m{};
  for (std::size_t i = 0; i < steps.size() && i < MAX_MACRO_STEPS; ++i) m.MacroList[i] = steps[i];
  m.MacroListCount = static_cast<std::int32_t>(steps.size());
  WriteText(m.szMacroName, name);
  return m;
}

// A list record of `count` macros named "m0", "m1", ... (the count field is
// written as given, so it may exceed the entries it has).
inline std::unique_ptr<TMACROKEYINFOLIST> MacroList(int count, std::uint16_t storedCount) {
  auto list = std::make_unique<TMACROKEYINFOLIST>();
  std::memset(list.get(), 0, sizeof *list);
  for (int i = 0; i < count && i < MACRO_LIST_CAPACITY; ++i) {
    const std::string n = "m" + std::to_string(i);
    list->MacroInfos[i] = Macro({Down('A'), Delay(static_cast<std::uint16_t>(10 + i)), Up('A')},
                                std::u16string(n.begin(), n.end()));
    list->MacroInfos[i].nMacroIndex = static_cast<std::uint16_t>(i);
  }
  list->nMacroInfoCount = storedCount;
  return list;
}
inline std::unique_ptr<TMACROKEYINFOLIST> MacroList(int count) {
  return MacroList(count, static_cast<std::uint16_t>(count));
}

template <typename T>
std::vector<std::uint8_t> RawBytes(const T& record) {
  const auto* b = reinterpret_cast<const std::uint8_t*>(&record);
  return std::vector<std::uint8_t>(b, b + sizeof(T));
}

}  // namespace quarn::testing
