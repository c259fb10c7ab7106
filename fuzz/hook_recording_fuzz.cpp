// The hook component's callbacks under any sequence of low-level events,
// delivered through the library's callback as the hook library delivers them,
// with recording and hook modes switched between events and handlers that may
// throw. What each mode records and swallows follows its event rules:
// - key recordings store virtual keys below 256 and swallow exactly those;
// - the first keyboard macro mode stores pauses above 10 and below 2000 ms;
// - the second one stops at its limit and records a held key's press once;
// - a key combination never holds a second key without a first one, nor the
//   same key twice, and swallows every press it takes;
// - the keyboard filter swallows by the first filter that matches;
// - injected mouse input is never swallowed, recorded or reported.
#include <array>
#include <memory>
#include <stdexcept>
#include <vector>

#include "fake_hook_platform.h"
#include "fuzz_input.h"
#include "vn_hook.h"

namespace {

using quarn::KeyboardHookRecord;
using quarn::MouseHookRecord;
using quarn::fuzz::FuzzInput;

enum Mode : std::uint8_t {
  kSingleKey,
  kComboKey,
  kMacroKey,
  kMacroKeyEx,
  kMouseMacro,
  kKeyboardHook,
  kMouseHook,
  kModeCount
};

enum Op : std::uint8_t { kKey, kMouse, kSwitchMode, kModifiers, kBadCall, kOpCount };

struct Harness {
  quarn::testing::FakeHookPlatform platform;
  std::unique_ptr<TvnHook> hook = std::make_unique<TvnHook>(platform);
  Mode mode = kSingleKey;
  bool throwInHandler = false;
  bool singleKeyBlocks = false;
  std::uint32_t time = 1000;
  int mouseEvents = 0;

  void Start(Mode m) {
    hook->StopRecordKeyboardSingleKey();
    hook->StopRecordKeyboardComboKey();
    hook->StopRecordKeyboardMacroKey();
    hook->StopRecordKeyboardMacroKeyEx();
    hook->StopRecordMouseMacro();
    hook->StopHookKeyboard();
    hook->StopHookMouse();
    mode = m;
    switch (m) {
      case kSingleKey:
        hook->RecordKeyboardSingleKey();
        break;
      case kComboKey:
        hook->RecordKeyboardComboKey();
        break;
      case kMacroKey:
        hook->RecordKeyboardMacroKey();
        break;
      case kMacroKeyEx:
        hook->RecordKeyboardMacroKeyEx();
        break;
      case kMouseMacro:
        hook->RecordMouseMacro();
        break;
      case kKeyboardHook:
        hook->StartHookKeyboard();
        break;
      case kMouseHook:
        hook->StartHookMouse();
        break;
      default:
        break;
    }
  }

  void MaybeThrow() {
    if (throwInHandler) throw std::runtime_error("handler failed");
  }

  void Handlers() {
    hook->OnRecordKeyboardSingleKey = [this](TvnHook&, std::int32_t, std::uint32_t, std::int32_t,
                                             std::int32_t, const std::u16string&, bool& blocked) {
      blocked = singleKeyBlocks;
      MaybeThrow();
    };
    hook->OnRecordKeyboardComboKey = [this](TvnHook&, std::int32_t k1, std::int32_t e1,
                                            std::int32_t k2, std::int32_t e2, std::int32_t mod,
                                            const std::u16string& text) {
      QUARN_FUZZ_CHECK(k1 > 0 && k1 < 256 && k2 >= 0 && k2 < 256);
      QUARN_FUZZ_CHECK(k2 == 0 || k2 != k1);
      QUARN_FUZZ_CHECK((e1 == 0 || e1 == 1) && (e2 == 0 || (e2 == 1 && k2 != 0)));
      QUARN_FUZZ_CHECK(mod >= 0 && mod <= 15 && !text.empty());
      MaybeThrow();
    };
    hook->OnRecordKeyboardMacroKey = [this](TvnHook&, std::int32_t, std::int32_t, std::int32_t,
                                            std::int32_t, double, const std::u16string&,
                                            const std::u16string&,
                                            const TvnMacroKeyList&) { MaybeThrow(); };
    hook->OnRecordKeyboardMacroKeyEx = [this](TvnHook&, std::int32_t, std::int32_t, std::int32_t,
                                              std::int32_t, double, std::uint32_t total,
                                              const std::u16string&, const std::u16string&,
                                              const TvnMacroKeyList&) {
      QUARN_FUZZ_CHECK(total <= 65535);
      MaybeThrow();
    };
    hook->OnRecordMouseMacroKey = [this](TvnHook&, std::int32_t type, TMouseButtons button,
                                         std::int32_t state, std::uint16_t, std::uint16_t, double,
                                         const std::u16string&, const std::u16string&,
                                         const TvnMouseMacroKeyList&) {
      QUARN_FUZZ_CHECK(type == 0 || type == 1);
      QUARN_FUZZ_CHECK(button <= BUTTONX3 && (state == 0 || state == 1));
      ++mouseEvents;
      MaybeThrow();
    };
    hook->OnHookKeyboardKey = [this](TvnHook&, std::int32_t, std::int32_t, std::int32_t, bool&,
                                     std::uint32_t) { MaybeThrow(); };
    hook->OnHookMouseButton = [this](TvnHook&, TMouseButtons, std::int32_t, bool&) {
      ++mouseEvents;
      MaybeThrow();
    };
    hook->OnHookMouseAllButton = [this](TvnHook&, TMouseButtons, std::int32_t, std::int16_t,
                                        bool&) {
      ++mouseEvents;
      MaybeThrow();
    };
    hook->OnHookMouseMove = [this](TvnHook&, std::int32_t, std::int32_t, double) { ++mouseEvents; };
  }

  // Which keyboard filter decides an event, and whether it swallows.
  bool FilterBlocks(const KeyboardHookRecord& e) const {
    const std::int32_t extended = (e.flags & quarn::KEY_FLAG_EXTENDED) ? 1 : 0;
    for (const auto& item : hook->KeyboardHookObjects()) {
      const TKeyBoardHookDetail& f = item.Object->FKeyBoardHookDetail;
      if (f.KeyboardVKKey == -1) return false;
      if (f.KeyExtended != extended) continue;
      const bool byKey =
          f.KeyboardVKKey != 0 && static_cast<std::uint32_t>(f.KeyboardVKKey) == e.vkCode;
      const bool byScan =
          f.KeyboardSCANKey != 0 && static_cast<std::uint32_t>(f.KeyboardSCANKey) == e.scanCode;
      if (byKey || byScan) return f.block == 1;
    }
    return false;
  }

  void Key(FuzzInput& in) {
    const std::uint8_t shape = in.U8();
    KeyboardHookRecord e{};
    e.vkCode = (shape & 1) ? in.U32() : in.U8();
    e.scanCode = (shape & 2) ? in.U32() : in.U8() % 8;
    e.flags = in.U8();
    time = (shape & 4) ? in.U32() : time + in.U16() % 3000;
    e.time = time;
    const std::int32_t code = (shape & 8) ? static_cast<std::int8_t>(in.U8()) : 0;

    const std::size_t before = hook->MacroKeys().Count();
    const bool blocked = platform.Key(e, code);
    const bool small = e.vkCode < 256;
    switch (mode) {
      case kSingleKey:
        if (!throwInHandler) QUARN_FUZZ_CHECK(blocked == singleKeyBlocks);
        break;
      case kComboKey: {
        const bool press = (e.flags & quarn::KEY_FLAG_UP) == 0;
        const bool modifier =
            (e.vkCode >= 0xA0 && e.vkCode <= 0xA5) || e.vkCode == 0x5B || e.vkCode == 0x5C;
        const bool key = small && e.vkCode != 0;
        if (!throwInHandler) QUARN_FUZZ_CHECK(blocked == (press && key && !modifier));
        break;
      }
      case kMacroKey:
        if (!throwInHandler) QUARN_FUZZ_CHECK(blocked == small);
        if (!small) QUARN_FUZZ_CHECK(hook->MacroKeys().Count() == before);
        break;
      case kMacroKeyEx:
        QUARN_FUZZ_CHECK(hook->MacroKeys().Count() <= TvnHook::kMacroKeyExLimit + 2);
        if (!small || before > TvnHook::kMacroKeyExLimit) {
          QUARN_FUZZ_CHECK(!blocked && hook->MacroKeys().Count() == before);
        }
        break;
      case kKeyboardHook:
        if (!throwInHandler && code == 0) QUARN_FUZZ_CHECK(blocked == FilterBlocks(e));
        if (code != 0) QUARN_FUZZ_CHECK(!blocked);
        break;
      default:
        QUARN_FUZZ_CHECK(!blocked);  // no keyboard hook installed
        break;
    }
  }

  void Mouse(FuzzInput& in) {
    const std::uint8_t shape = in.U8();
    MouseHookRecord e{};
    e.x = (shape & 1) ? in.I32() : in.U8();
    e.y = (shape & 1) ? in.I32() : in.U8();
    e.mouseData = static_cast<std::uint32_t>(in.U16()) << 16;
    e.flags = (shape & 2) ? quarn::MOUSE_FLAG_INJECTED : 0;
    time = (shape & 4) ? in.U32() : time + in.U16();
    e.time = time;
    const std::uintptr_t message = (shape & 8) ? in.U16() : 0x200 + in.U8() % 16;
    const int seenBefore = mouseEvents;
    const std::size_t recordedBefore = hook->MouseMacroKeys().Count();
    const bool blocked = platform.Mouse(message, e);
    if (e.flags & quarn::MOUSE_FLAG_INJECTED) {
      QUARN_FUZZ_CHECK(!blocked && mouseEvents == seenBefore);
      QUARN_FUZZ_CHECK(hook->MouseMacroKeys().Count() == recordedBefore);
    }
    if (mode == kMouseMacro) {
      QUARN_FUZZ_CHECK(!blocked);
      QUARN_FUZZ_CHECK(hook->MouseMacroKeys().Count() <= recordedBefore + 2);
    }
  }

  void Filters(FuzzInput& in) {
    hook->RemoveAllKeyboardHookObject();
    hook->RemoveAllMouseHookObject();
    const int keyFilters = in.U8() % 6;
    for (int i = 0; i < keyFilters; ++i) {
      auto f = std::make_unique<TKeyBoardHookDetailObject>();
      f->FKeyBoardHookDetail.KeyboardVKKey = static_cast<std::int8_t>(in.U8());
      f->FKeyBoardHookDetail.KeyboardSCANKey = in.U8() % 8;
      f->FKeyBoardHookDetail.KeyExtended = in.U8() % 3;
      f->FKeyBoardHookDetail.block = in.U8() % 3;
      hook->AddKeyboardHookObject(std::move(f));
    }
    const int mouseFilters = in.U8() % 8;
    for (int i = 0; i < mouseFilters; ++i) {
      auto f = std::make_unique<TMouseHookDetailObject>();
      f->FMouseHookDetail.MouseButton = static_cast<TMouseButtons>(in.U8() % 11);
      f->FMouseHookDetail.MouseStateSet.Bits = in.U16();
      f->FMouseHookDetail.ModifiedFunction = static_cast<TMouseButtons>(in.U8() % 11);
      hook->AddMouseHookObject(std::move(f));
    }
  }
};

void CheckMacroList(const TvnMacroKeyList& list, bool firstMode) {
  for (const auto& item : list) {
    const TMACROKEYHOOK& k = item.Object->FMacroKey;
    QUARN_FUZZ_CHECK(k.nKeyType == 0 || k.nKeyType == 1);
    if (k.nKeyType == 0) {
      QUARN_FUZZ_CHECK(k.nKeyValue > 0);
      if (firstMode) QUARN_FUZZ_CHECK(k.nKeyValue > 10 && k.nKeyValue < 2000);
    } else {
      QUARN_FUZZ_CHECK(k.nKeyValue < 256 && k.nKeyState <= 1 && k.nKeyValueExtended <= 1);
    }
  }
}

// The second keyboard macro mode records a held key's press once: between two
// recorded presses of a key lies a recorded release of it.
void CheckPressedOnce(const TvnMacroKeyList& list) {
  std::array<bool, 256> down{};
  for (const auto& item : list) {
    const TMACROKEYHOOK& k = item.Object->FMacroKey;
    if (k.nKeyType != 1) continue;
    if (k.nKeyState == 1) QUARN_FUZZ_CHECK(!down[k.nKeyValue]);
    down[k.nKeyValue] = k.nKeyState == 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  auto h = std::make_unique<Harness>();
  h->Handlers();
  h->Filters(in);
  h->Start(static_cast<Mode>(in.U8() % kModeCount));
  while (!in.Empty()) {
    switch (in.U8() % kOpCount) {
      case kKey:
        h->Key(in);
        break;
      case kMouse:
        h->Mouse(in);
        break;
      case kSwitchMode: {
        const std::uint8_t m = in.U8();
        h->throwInHandler = (m & 0x80) != 0;
        h->singleKeyBlocks = (m & 0x40) != 0;
        if ((m & 0x20) != 0) h->Filters(in);
        h->Start(static_cast<Mode>(m % kModeCount));
        break;
      }
      case kModifiers: {
        h->platform.keysDown.clear();
        const std::uint8_t bits = in.U8();
        const std::uint8_t keys[] = {0xA2, 0xA3, 0xA4, 0xA5, 0x5B, 0x5C, 0xA0, 0xA1};
        for (int i = 0; i < 8; ++i)
          if (bits & (1 << i)) h->platform.keysDown.insert(keys[i]);
        break;
      }
      case kBadCall: {
        // A callback without a record or a Blocked byte, or without a component: ignored.
        std::uint8_t blocked = 7;
        KeyboardHookRecord e{};
        TvnHook::MacroKeyExRecordProc(h->hook.get(), 0, 0, 0, &blocked);
        TvnHook::ComboKeyRecordProc(nullptr, 0, 0, reinterpret_cast<std::intptr_t>(&e), &blocked);
        TvnHook::MouseHookProc(h->hook.get(), 0, 0x201, reinterpret_cast<std::intptr_t>(&e),
                               nullptr);
        QUARN_FUZZ_CHECK(blocked == 7);
        break;
      }
    }
    const Mode m = h->mode;
    if (m == kMacroKey || m == kMacroKeyEx) CheckMacroList(h->hook->MacroKeys(), m == kMacroKey);
    if (m == kMacroKeyEx) CheckPressedOnce(h->hook->MacroKeys());
  }
  h->hook.reset();
  QUARN_FUZZ_CHECK(!h->platform.library.loaded);
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  using quarn::fuzz::FuzzWriter;
  auto key = [](FuzzWriter& w, std::uint8_t vk, bool up, std::uint16_t after, bool ext = false) {
    w.U8(kKey).U8(0).U8(vk).U8(0).U8((up ? 0x80 : 0) | (ext ? 1 : 0)).U16(after);
  };
  auto click = [](FuzzWriter& w, std::uint8_t message, std::uint16_t high, std::uint16_t after) {
    w.U8(kMouse).U8(0).U8(10).U8(20).U16(high).U16(after).U8(message);
  };
  auto start = [](Mode m, std::vector<std::uint8_t> filters = {0, 0}) {
    FuzzWriter w;
    w.Raw(filters).U8(m);
    return w;
  };
  std::vector<std::vector<std::uint8_t>> seeds;
  for (Mode m : {kSingleKey, kMacroKey, kMacroKeyEx}) {
    FuzzWriter w = start(m);
    key(w, 0x41, false, 5);
    key(w, 0x41, false, 30);  // auto-repeat
    key(w, 0x42, false, 500);
    key(w, 0x41, true, 2500);
    key(w, 0x42, true, 1);
    key(w, 0x2E, false, 20, true);
    w.U8(kKey).U8(1).U32(0x1FF).U8(0).U8(0).U16(40);  // beyond the key tables
    w.U8(kKey).U8(4).U8(0x43).U8(0).U8(0).U32(10);    // the clock went back
    w.U8(kSwitchMode).U8(0xC0 | m);
    key(w, 0x44, false, 15);
    seeds.push_back(w.Data());
  }
  {
    FuzzWriter w = start(kMacroKeyEx);
    for (int i = 0; i < 260; ++i) key(w, static_cast<std::uint8_t>(0x30 + i % 40), i % 2 == 1, 3);
    seeds.push_back(w.Data());
  }
  {
    FuzzWriter w = start(kComboKey);
    w.U8(kModifiers).U8(0x05);
    key(w, 0xA2, false, 1);
    key(w, 0x41, false, 10);
    key(w, 0x42, false, 50);
    key(w, 0x43, false, 50);
    key(w, 0x43, false, 500);
    key(w, 0x43, true, 1);
    w.U8(kModifiers).U8(0);
    key(w, 0x2D, false, 40, true);
    key(w, 0x2D, false, 40, true);
    seeds.push_back(w.Data());
  }
  {
    FuzzWriter w = start(kKeyboardHook, {3, 0x41, 0, 0, 1, 0, 2, 0, 0, 0xFF, 0, 0, 0, 0});
    key(w, 0x41, false, 1);
    w.U8(kKey).U8(0).U8(0x50).U8(2).U8(0).U16(1);           // by scan code
    w.U8(kKey).U8(8).U8(0x41).U8(0).U8(0).U16(1).U8(0xFF);  // a negative hook code
    key(w, 0x42, false, 1);
    w.U8(kBadCall);
    seeds.push_back(w.Data());
  }
  for (Mode m : {kMouseMacro, kMouseHook}) {
    FuzzWriter w = start(m, {0, 3, 1, 0x06, 0, 0, 4, 0x00, 0x18, 0, 6, 0x00, 0x04, 0});
    click(w, 1, 0, 5);  // left down
    click(w, 2, 0, 70000 & 0xFFFF);
    click(w, 11, 1, 100);  // X button 1
    click(w, 12, 2, 100);
    click(w, 10, 0xFF88, 1);                                  // wheel towards the user
    click(w, 0, 0, 1);                                        // move
    w.U8(kMouse).U8(2).U8(1).U8(1).U16(0).U16(1).U8(1);       // injected
    w.U8(kMouse).U8(4).U8(1).U8(1).U16(0).U32(3).U8(2);       // the clock went back
    w.U8(kMouse).U8(8).U8(1).U8(1).U16(0).U16(1).U16(0x2FF);  // not a mouse message
    seeds.push_back(w.Data());
  }
  return seeds;
}
