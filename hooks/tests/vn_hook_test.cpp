// The hook component: binding the hook library, installing and removing the
// hooks, the entry and filter lists, and destruction.
#include "vn_hook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_hook_platform.h"

namespace {

using quarn::HookLibraryLoad;
using quarn::testing::FakeHookPlatform;
using quarn::testing::KeyDown;
using quarn::testing::KeyUp;
using quarn::testing::MouseAt;
using Calls = std::vector<std::string>;

TEST(HookBinding, MissingLibraryShowsTheMessageOnEveryConstructionAndLeavesHooksAlone) {
  FakeHookPlatform platform;
  platform.loadResult = HookLibraryLoad::FileMissing;
  for (int attempt = 1; attempt <= 2; ++attempt) {
    TvnHook hook(platform);
    EXPECT_FALSE(hook.DLLLoaded());
    ASSERT_EQ(platform.messages.size(), static_cast<std::size_t>(attempt));
    EXPECT_EQ(platform.messages.back().first, u"vnHook.dll can not be found!");
    EXPECT_EQ(platform.messages.back().second, u"Error");
    hook.StartHookMouse();
    hook.StopHookMouse();
    hook.RecordKeyboardComboKey();
    hook.RecordKeyboardMacroKeyEx();
    hook.StopRecordKeyboardMacroKeyEx();
    hook.RecordMouseMacro();
    hook.StopRecordMouseMacro();
    hook.StartHookKeyboard();
    hook.StopHookKeyboard();
  }
  EXPECT_EQ(platform.loadRequests, (std::vector<std::u16string>{u"vnHook.dll", u"vnHook.dll"}));
  EXPECT_TRUE(platform.library.calls.empty());
}

TEST(HookBinding, MissingEntryPointFailsSilently) {
  FakeHookPlatform platform;
  platform.loadResult = HookLibraryLoad::EntryPointMissing;
  TvnHook hook(platform);
  EXPECT_FALSE(hook.DLLLoaded());
  EXPECT_TRUE(platform.messages.empty());
}

TEST(HookBinding, OneBindingPerProcessReleasedWithTheLastComponent) {
  FakeHookPlatform platform;
  auto first = std::make_unique<TvnHook>(platform);
  auto second = std::make_unique<TvnHook>(platform);
  EXPECT_TRUE(first->DLLLoaded());
  EXPECT_TRUE(second->DLLLoaded());
  EXPECT_EQ(platform.library.loads, 1);
  first.reset();
  EXPECT_TRUE(platform.library.loaded) << "the second component still uses it";
  second->StartHookMouse();
  EXPECT_EQ(platform.library.calls.back(), "EnableMouseHook");
  second.reset();
  EXPECT_FALSE(platform.library.loaded);
  EXPECT_EQ(platform.library.releases, 1);

  // A new component after that binds it anew.
  TvnHook third(platform);
  EXPECT_TRUE(third.DLLLoaded());
  EXPECT_EQ(platform.library.loads, 2);
}

TEST(HookBinding, EveryModeDisablesItsKindBeforeEnablingIt) {
  struct Case {
    const char* why;
    void (TvnHook::*method)();
    Calls calls;
    TLowLevelHookCallback keyboard;
    TLowLevelHookCallback mouse;
  };
  const Case cases[] = {
      {"StartHookKeyboard",
       &TvnHook::StartHookKeyboard,
       {"DisableKeyboardHook", "EnableKeyboardHook"},
       &TvnHook::KeyboardHookProc,
       nullptr},
      {"RecordKeyboardSingleKey",
       &TvnHook::RecordKeyboardSingleKey,
       {"DisableKeyboardHook", "EnableKeyboardHook"},
       &TvnHook::SingleKeyRecordProc,
       nullptr},
      {"RecordKeyboardComboKey",
       &TvnHook::RecordKeyboardComboKey,
       {"DisableKeyboardHook", "EnableKeyboardHook"},
       &TvnHook::ComboKeyRecordProc,
       nullptr},
      {"RecordKeyboardMacroKey",
       &TvnHook::RecordKeyboardMacroKey,
       {"DisableKeyboardHook", "EnableKeyboardHook"},
       &TvnHook::MacroKeyRecordProc,
       nullptr},
      {"RecordKeyboardMacroKeyEx",
       &TvnHook::RecordKeyboardMacroKeyEx,
       {"DisableKeyboardHook", "EnableKeyboardHook"},
       &TvnHook::MacroKeyExRecordProc,
       nullptr},
      {"StartHookMouse",
       &TvnHook::StartHookMouse,
       {"DisableMouseHook", "EnableMouseHook"},
       nullptr,
       &TvnHook::MouseHookProc},
      {"RecordMouseMacro",
       &TvnHook::RecordMouseMacro,
       {"DisableMouseHook", "EnableMouseHook"},
       nullptr,
       &TvnHook::MouseMacroRecordProc},
      {"StopHookKeyboard", &TvnHook::StopHookKeyboard, {"DisableKeyboardHook"}, nullptr, nullptr},
      {"StopRecordKeyboardSingleKey",
       &TvnHook::StopRecordKeyboardSingleKey,
       {"DisableKeyboardHook"},
       nullptr,
       nullptr},
      {"StopRecordKeyboardComboKey",
       &TvnHook::StopRecordKeyboardComboKey,
       {"DisableKeyboardHook"},
       nullptr,
       nullptr},
      {"StopRecordKeyboardMacroKey",
       &TvnHook::StopRecordKeyboardMacroKey,
       {"DisableKeyboardHook"},
       nullptr,
       nullptr},
      {"StopRecordKeyboardMacroKeyEx",
       &TvnHook::StopRecordKeyboardMacroKeyEx,
       {"DisableKeyboardHook"},
       nullptr,
       nullptr},
      {"StopHookMouse", &TvnHook::StopHookMouse, {"DisableMouseHook"}, nullptr, nullptr},
      {"StopRecordMouseMacro",
       &TvnHook::StopRecordMouseMacro,
       {"DisableMouseHook"},
       nullptr,
       nullptr},
  };
  FakeHookPlatform platform;
  TvnHook hook(platform);
  for (const Case& c : cases) {
    platform.library.calls.clear();
    (hook.*c.method)();
    EXPECT_EQ(platform.library.calls, c.calls) << c.why;
    EXPECT_EQ(platform.library.keyboardCallback, c.keyboard) << c.why;
    EXPECT_EQ(platform.library.mouseCallback, c.mouse) << c.why;
    if (c.keyboard) {
      EXPECT_EQ(platform.library.keyboardContext, &hook) << c.why;
    }
    if (c.mouse) {
      EXPECT_EQ(platform.library.mouseContext, &hook) << c.why;
    }
    hook.StopHookKeyboard();
    hook.StopHookMouse();
  }
}

TEST(HookBinding, StartingTwiceInstallsOnce) {
  FakeHookPlatform platform;
  TvnHook hook(platform);
  hook.StartHookMouse();
  hook.StartHookMouse();
  EXPECT_EQ(platform.library.calls,
            (Calls{"DisableMouseHook", "EnableMouseHook", "DisableMouseHook", "EnableMouseHook"}));
}

TEST(HookBinding, DestroyingAComponentRemovesItsHooksBeforeReleasingTheLibrary) {
  FakeHookPlatform platform;
  int reports = 0;
  {
    TvnHook hook(platform);
    hook.OnHookMouseButton = [&](TvnHook&, TMouseButtons, std::int32_t, bool& b) {
      ++reports;
      b = true;
    };
    auto f = std::make_unique<TMouseHookDetailObject>();
    f->FMouseHookDetail = {XCLICK4, {XBUTTONDOWN, XBUTTONUP}, BUTTON_NONE, HOOK_DOWN};
    hook.AddMouseHookObject(std::move(f));
    hook.StartHookMouse();
    hook.RecordKeyboardComboKey();
    platform.library.calls.clear();
  }
  EXPECT_EQ(platform.library.calls, (Calls{"DisableMouseHook", "DisableKeyboardHook", "Release"}));
  EXPECT_FALSE(platform.Mouse(0x20B, MouseAt(1, 1)))
      << "no callback reaches the destroyed component";
  EXPECT_EQ(reports, 0);
}

TEST(HookBinding, DestroyingOneComponentLeavesTheOthersHooksInstalled) {
  FakeHookPlatform platform;
  TvnHook keeper(platform);
  keeper.RecordKeyboardComboKey();
  int combos = 0;
  keeper.OnRecordKeyboardComboKey = [&](TvnHook&, std::int32_t, std::int32_t, std::int32_t,
                                        std::int32_t, std::int32_t,
                                        const std::u16string&) { ++combos; };
  {
    TvnHook leaving(platform);
    leaving.StartHookMouse();
    platform.library.calls.clear();
  }
  EXPECT_EQ(platform.library.calls, (Calls{"DisableMouseHook"}));
  EXPECT_TRUE(platform.Key(KeyDown('A', 1000)));
  EXPECT_EQ(combos, 1);
}

TEST(HookBinding, AComponentWhoseHookWasReplacedDoesNotRemoveTheNewOne) {
  FakeHookPlatform platform;
  TvnHook keeper(platform);
  {
    TvnHook leaving(platform);
    leaving.StartHookMouse();
    keeper.StartHookMouse();  // one callback per kind: the keeper's replaces it
    platform.library.calls.clear();
  }
  EXPECT_TRUE(platform.library.calls.empty());
  EXPECT_EQ(platform.library.mouseContext, &keeper);
}

TEST(HookLists, FiltersAreKeptInCallOrderUnderTheirDecimalKey) {
  FakeHookPlatform platform;
  TvnHook hook(platform);
  for (TMouseButtons b : {XCLICK5, XCLICK4, XCLICK4}) {
    auto f = std::make_unique<TMouseHookDetailObject>();
    f->FMouseHookDetail.MouseButton = b;
    hook.AddMouseHookObject(std::move(f));
  }
  hook.AddMouseHookObject(nullptr);
  ASSERT_EQ(hook.MouseHookObjects().Count(), 3u);
  EXPECT_EQ(hook.MouseHookObjects().Strings(0), u"5");
  EXPECT_EQ(hook.MouseHookObjects().Strings(2), u"4");
  hook.RemoveAllMouseHookObject();
  EXPECT_EQ(hook.MouseHookObjects().Count(), 0u);

  auto k = std::make_unique<TKeyBoardHookDetailObject>();
  k->FKeyBoardHookDetail.KeyboardVKKey = -1;
  hook.AddKeyboardHookObject(std::move(k));
  EXPECT_EQ(hook.KeyboardHookObjects().Strings(0), u"-1");
  hook.RemoveAllKeyboardHookObject();
  EXPECT_EQ(hook.KeyboardHookObjects().Count(), 0u);
}

TEST(HookLists, StoppingAKeyboardMacroHandsOverTheWholeListThenEmptiesIt) {
  FakeHookPlatform platform;
  TvnHook hook(platform);
  hook.OnRecordKeyboardMacroKeyEx = [](TvnHook&, std::int32_t, std::int32_t, std::int32_t,
                                       std::int32_t, double, std::uint32_t, const std::u16string&,
                                       const std::u16string&, const TvnMacroKeyList&) {};
  std::vector<std::u16string> handedOver;
  hook.OnStopRecordKeyboardMacroKey = [&](TvnHook&, const TvnMacroKeyList& list) {
    for (const auto& item : list) handedOver.push_back(item.Key);
  };
  hook.RecordKeyboardMacroKeyEx();
  platform.Key(KeyDown('A', 1000));
  platform.Key(KeyUp('A', 1100));
  hook.StopRecordKeyboardMacroKeyEx();
  EXPECT_EQ(handedOver, (std::vector<std::u16string>{u"0", u"1", u"2"}));
  EXPECT_EQ(hook.MacroKeys().Count(), 0u);
  EXPECT_FALSE(platform.Key(KeyDown('B', 1200))) << "the keyboard hook is removed";
}

TEST(HookLists, AStoppedMouseMacroKeepsItsEntriesUntilTheNextRecording) {
  FakeHookPlatform platform;
  TvnHook hook(platform);
  hook.OnRecordMouseMacroKey = [](TvnHook&, std::int32_t, TMouseButtons, std::int32_t,
                                  std::uint16_t, std::uint16_t, double, const std::u16string&,
                                  const std::u16string&, const TvnMouseMacroKeyList&) {};
  std::size_t handedOver = 0;
  hook.OnStopRecordMouseMacroKey = [&](TvnHook&, const TvnMouseMacroKeyList& list) {
    handedOver = list.Count();
  };
  hook.RecordMouseMacro();
  platform.Mouse(0x201, MouseAt(1000));
  platform.Mouse(0x202, MouseAt(1100));
  hook.StopRecordMouseMacro();
  EXPECT_EQ(handedOver, 3u);
  EXPECT_EQ(hook.MouseMacroKeys().Count(), 3u);
  hook.RecordMouseMacro();
  EXPECT_EQ(hook.MouseMacroKeys().Count(), 0u);
  platform.Mouse(0x201, MouseAt(5000));
  EXPECT_EQ(hook.MouseMacroKeys().Count(), 1u) << "the first event of a new recording has no delay";
}

}  // namespace
