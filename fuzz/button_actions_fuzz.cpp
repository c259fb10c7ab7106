// The button-action dispatcher under a stream of window messages with any
// parameters (button actions, external commands, aborts, profile changes,
// messages arriving while an action waits) against a profile patched anywhere.
// Only sendable keys reach the system, selected profiles are in range, stored
// program paths are bounded, and after the abort that Exit sends nothing is
// left held down.
#include <memory>
#include <string>
#include <vector>

#include "action_harness.h"
#include "button_action_dispatcher.h"
#include "function_ids.h"

namespace {

using quarn::fuzz::FuzzInput;

enum Op : std::uint8_t {
  kButtonAction,
  kSmallButtonAction,
  kExternalCommand,
  kRunExternal,
  kAbort,
  kPatchProfile,
  kSendDuringWait,
  kPost,
  kAdvance,
  kOpCount
};

class CheckedHost : public quarn::testing::FakeHost {
 public:
  using FakeHost::FakeHost;
  void SelectProfile(int i) override {
    QUARN_FUZZ_CHECK(i >= 0 && i < PROFILE_COUNT);
    FakeHost::SelectProfile(i);
  }
  void OpenProgram(const std::u16string& path) override {
    QUARN_FUZZ_CHECK(!path.empty() && path.size() <= 1024);
    QUARN_FUZZ_CHECK(path.find(u'\0') == std::u16string::npos);
    FakeHost::OpenProgram(path);
  }
};

struct Harness {
  quarn::testing::ActionLog log;
  quarn::fuzz::BoundedWaiter waiter;
  quarn::fuzz::HeldTrackingSink sink;
  CheckedHost host{log, waiter};
  ButtonActionDispatcher dispatcher{host, sink, waiter};

  Harness() {
    waiter.onExhausted = [this] { dispatcher.SetAbort(); };
  }

  // One message; nested ones come from the same input, so a message can arrive
  // in the middle of another's action.
  void Message(FuzzInput& in, int depth) {
    switch (in.U8() % kOpCount) {
      case kButtonAction:
        dispatcher.WMButtonAction(in.U32(), static_cast<std::intptr_t>(in.I32()));
        break;
      case kSmallButtonAction:
        dispatcher.WMButtonAction(in.U8() % 12, in.U8() % 3);
        break;
      case kExternalCommand:
        dispatcher.WMExternalCommand(in.U8());
        break;
      case kRunExternal:
        dispatcher.RunExternalButtonFunction(static_cast<std::intptr_t>(in.I32()));
        break;
      case kAbort:
        dispatcher.SetAbort();
        break;
      case kPatchProfile:
        in.Patch(host.profile.get(), sizeof(TMouseProfileInfo));
        host.index = in.U8() % PROFILE_COUNT;
        break;
      case kSendDuringWait: {
        if (depth > 3) break;
        const double at = in.U16();
        auto nested = in.Bytes();
        waiter.SendAt(at, [this, nested = std::move(nested), depth] {
          FuzzInput inner(nested.data(), nested.size());
          Message(inner, depth + 1);
        });
        break;
      }
      case kPost: {
        if (depth > 3) break;
        auto nested = in.Bytes();
        waiter.Post([this, nested = std::move(nested), depth] {
          FuzzInput inner(nested.data(), nested.size());
          Message(inner, depth + 1);
        });
        break;
      }
      case kAdvance:
        waiter.Advance(in.U16());
        break;
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  auto h = std::make_unique<Harness>();
  h->host.win8 = in.Bool();
  h->host.existing.insert(u"C:\\run.exe");
  in.Patch(h->host.profile.get(), sizeof(TMouseProfileInfo));
  while (!in.Empty()) h->Message(in, 0);
  h->dispatcher.SetAbort();
  QUARN_FUZZ_CHECK(!h->sink.AnythingHeld());
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  using quarn::fuzz::FuzzWriter;
  constexpr std::size_t kButtons =
      offsetof(TMouseProfileInfo, ConfigInfo) + offsetof(TMOUSECONFIGINFO, ButtonFuncInfo);
  auto at = [](int button, std::size_t field) {
    return kButtons + button * sizeof(TBUTTONFUNCINFO) + field;
  };
  const std::size_t kind = offsetof(TBUTTONFUNCINFO, FunctionKind);
  const std::size_t menu = offsetof(TBUTTONFUNCINFO, MenuID);
  const std::size_t macro = offsetof(TBUTTONFUNCINFO, MacroKeyInfo);

  auto pressRelease = [](FuzzWriter& w, int button) {
    w.U8(kSmallButtonAction).U8(static_cast<std::uint8_t>(button)).U8(1);
    w.U8(kSmallButtonAction).U8(static_cast<std::uint8_t>(button)).U8(0);
  };
  std::vector<std::vector<std::uint8_t>> seeds;

  {  // Basic functions: clicks held across a release, wheel, profile cycle.
    FuzzWriter w;
    w.U8(0).U8(4);
    w.PatchValue(at(3, kind), std::uint8_t{FUNCKIND_BASIC})
        .PatchValue(at(3, menu), std::int32_t(MENUID_CLICK));
    w.PatchValue(at(4, kind), std::uint8_t{FUNCKIND_BASIC})
        .PatchValue(at(4, menu), std::int32_t(MENUID_SCROLL_UP));
    w.U8(kSmallButtonAction).U8(3).U8(1).U8(kAbort);
    pressRelease(w, 4);
    w.U8(kSmallButtonAction).U8(3).U8(1).U8(kSmallButtonAction).U8(3).U8(1);
    seeds.push_back(w.Data());
  }
  {  // A single key held by its press, a combination, a HID key.
    FuzzWriter w;
    w.U8(1).U8(6);
    w.PatchValue(at(0, kind), std::uint8_t{FUNCKIND_SINGLEKEY})
        .PatchValue(at(0, offsetof(TBUTTONFUNCINFO, SingleKey)), std::uint16_t{0x41});
    TCOMBOKEYINFO combo{};
    combo.nModifier = 0x0F;
    combo.nKeyValue1 = 0x43;
    combo.nKeyValue2 = 0x2E;
    combo.nKey2Extended = 225;
    w.PatchValue(at(1, kind), std::uint8_t{FUNCKIND_COMBOKEY})
        .PatchValue(at(1, offsetof(TBUTTONFUNCINFO, ComboKey)), combo);
    w.PatchValue(at(2, kind), std::uint8_t{FUNCKIND_HIDKEY})
        .PatchValue(at(2, offsetof(TBUTTONFUNCINFO, HidKey)), std::uint16_t{0x00E9});
    w.U8(kSmallButtonAction).U8(0).U8(1);
    pressRelease(w, 1);
    pressRelease(w, 2);
    w.U8(kSendDuringWait).U16(15).Bytes({kSmallButtonAction, 0, 0});
    pressRelease(w, 1);
    seeds.push_back(w.Data());
  }
  {  // A long looping macro interrupted by a message sent while it waits, then a fire key.
    TMACROKEYINFO m{};
    m.MacroList[0].nKeyType = MACROKEY_KEYBOARD;
    m.MacroList[0].nKeyState = 1;
    m.MacroList[0].nKeyValue = 0x10;
    m.MacroList[1].nKeyType = MACROKEY_DELAY;
    m.MacroList[1].DELAY_L = 50;
    m.MacroList[2].nKeyType = MACROKEY_MOUSE;
    m.MacroList[2].nKeyState = 1;
    m.MacroList[2].MouseKeyValue = 2;
    m.MacroList[3].nKeyType = MACROKEY_WHEEL;
    m.MacroList[3].WHEEL_VALUE = 0xFF;
    m.MacroList[4].nKeyType = MACROKEY_MEDIA;
    m.MacroList[4].MediaKey_L = 0xE9;
    m.MacroListCount = 5;
    m.nLoopCount = 0xFFFF;
    TFIREKEYINFO fire{};
    fire.nLoopCount = 0xFFFF;
    fire.DelyValue = 1;
    FuzzWriter w;
    w.U8(0).U8(4);
    w.PatchValue(at(5, kind), std::uint8_t{FUNCKIND_MACRO}).PatchValue(at(5, macro), m);
    w.PatchValue(at(6, kind), std::uint8_t{FUNCKIND_FIREKEY})
        .PatchValue(at(6, offsetof(TBUTTONFUNCINFO, FireKeyInfo)), fire);
    w.U8(kSendDuringWait).U16(120).Bytes({kSmallButtonAction, 6, 0});
    w.U8(kPost).Bytes({kAbort});
    pressRelease(w, 5);
    pressRelease(w, 6);
    seeds.push_back(w.Data());
  }
  {  // External commands: profile selections, stored program start, configuration.
    FuzzWriter w;
    w.U8(0).U8(4);
    w.PatchValue(at(7, kind), std::uint8_t{FUNCKIND_QUICKLAUNCH})
        .PatchValue(at(7, offsetof(TBUTTONFUNCINFO, FunctionCode)),
                    std::uint16_t{FUNCCODE_EXT_RUN_PROGRAM})
        .PatchText(at(7, offsetof(TBUTTONFUNCINFO, ProgramPath)), u"C:\\run.exe");
    w.PatchValue(at(8, kind), std::uint8_t{FUNCKIND_OTHER});
    w.U8(kExternalCommand).U8(7).U8(kExternalCommand).U8(8).U8(kExternalCommand).U8(23);
    w.U8(kExternalCommand).U8(21).U8(kExternalCommand).U8(26).U8(kRunExternal).I32(-1);
    w.U8(kRunExternal).I32(15).U8(kButtonAction).U32(256).I32(1).U8(kButtonAction).U32(1).I32(-1);
    seeds.push_back(w.Data());
  }
  {  // Shortcut menu IDs across every table, under both Windows versions.
    for (std::uint8_t win8 : {0, 1}) {
      FuzzWriter w;
      w.U8(win8).U8(0);
      for (std::int32_t id : {MENUID_EMAIL, MENUID_CALCULATOR, MENUID_BROWSER_SEARCH, MENUID_WIN_Q,
                              MENUID_MUTE, MENUID_CUT, MENUID_DOUBLE_CLICK, MENUID_PROFILE_CYCLE}) {
        w.U8(kPatchProfile).U8(2);
        w.PatchValue(at(9, kind), std::uint8_t{FUNCKIND_BASIC})
            .PatchValue(at(9, menu), std::int32_t(id));
        w.U8(0);
        pressRelease(w, 9);
      }
      seeds.push_back(w.Data());
    }
  }
  return seeds;
}
