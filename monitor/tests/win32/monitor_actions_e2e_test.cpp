// Reassigned buttons of a stored profile perform their functions through the
// installed quarnmon.exe: real X button presses (xdotool) over a window of this
// test, whose received keys and clicks are checked with their timing.
#include <cstring>

#include "e2e_support.h"
#include "text_field.h"

namespace {

using namespace quarn::e2e;
using Clock = std::chrono::steady_clock;

long Ms(Clock::duration d) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

void SetKeyStep(TMACROKEYINFO& m, int i, std::uint8_t vk, bool down) {
  m.MacroList[i].nKeyType = MACROKEY_KEYBOARD;
  m.MacroList[i].nKeyState = down ? 1 : 2;
  m.MacroList[i].nKeyValue = vk;
  m.MacroList[i].nKeyExtended = 0;
}

void SetDelayStep(TMACROKEYINFO& m, int i, std::uint16_t ms) {
  m.MacroList[i].nKeyType = MACROKEY_DELAY;
  m.MacroList[i].nKeyState = 0;
  m.MacroList[i].DELAY_L = static_cast<std::uint8_t>(ms & 0xFF);
  m.MacroList[i].DELAY_H = static_cast<std::uint8_t>(ms >> 8);
}

// A macro: tap `first`, wait `ms`, tap `second`.
void SetMacro(TBUTTONFUNCINFO& b, std::uint8_t first, std::uint16_t ms, std::uint8_t second) {
  b.FunctionKind = FUNCKIND_MACRO;
  b.MenuID = 17;
  TMACROKEYINFO& m = b.MacroKeyInfo;
  std::memset(&m, 0, sizeof m);
  SetKeyStep(m, 0, first, true);
  SetKeyStep(m, 1, first, false);
  SetDelayStep(m, 2, ms);
  SetKeyStep(m, 3, second, true);
  SetKeyStep(m, 4, second, false);
  m.MacroListCount = 5;
  m.Version = MACRO_FORMAT_VERSION;
}

class ActionsE2E : public MonitorOverTarget {
 protected:
  void StartWith(const std::function<void(TMouseProfileInfo&)>& edit) {
    StoreProfiles(edit);
    StartMonitorOver(L"QuarnActionTarget");
  }
};

TEST_F(ActionsE2E, SideButtonsTypeAComboPlayAMacroAndRepeatAFireKey) {
  StartWith([](TMouseProfileInfo& p) {
    auto& b = p.ConfigInfo.ButtonFuncInfo;
    b[4].FunctionKind = FUNCKIND_COMBOKEY;  // X button 1 (X11 button 8): Shift+A
    b[4].MenuID = 14;
    b[4].ComboKey = {'A', 0, 0, 0, MODIFIER_SHIFT};
    SetMacro(b[3], 'B', 300, 'C');         // X button 2 (X11 button 9)
    b[2].FunctionKind = FUNCKIND_FIREKEY;  // middle: three left clicks, 60 ms apart
    b[2].MenuID = 15;
    b[2].FireKeyInfo = {3, 60};
  });

  Xdotool(L"click 8");
  ASSERT_TRUE(PumpUntil([&] { return target->Got(WM_KEYUP, 'A'); }, 5000))
      << "the combination arrives";
  EXPECT_TRUE(target->Got(WM_KEYDOWN, VK_SHIFT));
  EXPECT_TRUE(target->Got(WM_KEYDOWN, 'A'));
  EXPECT_FALSE(target->GotMessage(WM_LBUTTONDOWN)) << "no click of the side button itself";

  Xdotool(L"click 9");
  ASSERT_TRUE(PumpUntil([&] { return target->Got(WM_KEYDOWN, 'C'); }, 5000)) << "the macro plays";
  const auto b = target->Times(WM_KEYDOWN, 'B'), c = target->Times(WM_KEYDOWN, 'C');
  ASSERT_EQ(b.size(), 1u);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_GE(Ms(c[0] - b[0]), 280) << "with its delay";
  EXPECT_LT(Ms(c[0] - b[0]), 580) << "but not twice";

  target->received.clear();
  Xdotool(L"click 2");
  ASSERT_TRUE(PumpUntil([&] { return target->Count(WM_LBUTTONDOWN, MK_LBUTTON) >= 3; }, 5000));
  PumpUntil([] { return false; }, 400);
  const auto clicks = target->Times(WM_LBUTTONDOWN, MK_LBUTTON);
  ASSERT_EQ(clicks.size(), 3u) << "the fire key clicks three times";
  // Presses are scheduled at 0, 120 and 240 ms. The probe sees them when a shared
  // machine lets it, so one gap may stretch and the next shrink; the span holds.
  EXPECT_GE(Ms(clicks[1] - clicks[0]), 20) << "separate presses";
  EXPECT_GE(Ms(clicks[2] - clicks[1]), 20) << "separate presses";
  EXPECT_GE(Ms(clicks[2] - clicks[0]), 185) << "each press waits its 60 + 60 ms";
  EXPECT_LE(Ms(clicks[2] - clicks[0]), 450) << "and the waits do not add up";
}

TEST_F(ActionsE2E, ClicksPassWhileALongMacroPlaysAndExternalCommandsSelectProfiles) {
  StartWith([](TMouseProfileInfo& p) { SetMacro(p.ConfigInfo.ButtonFuncInfo[3], 'B', 3000, 'D'); });

  Xdotool(L"click 9");
  ASSERT_TRUE(PumpUntil([&] { return target->Got(WM_KEYDOWN, 'B'); }, 5000));
  const auto started = Clock::now();
  Xdotool(L"click 1");
  ASSERT_TRUE(PumpUntil([&] { return target->GotMessage(WM_LBUTTONDOWN); }, 2000));
  EXPECT_FALSE(target->Got(WM_KEYDOWN, 'D')) << "the click arrives while the macro still plays";
  EXPECT_LT(Ms(target->Times(WM_LBUTTONDOWN, MK_LBUTTON)[0] - started), 1500);
  ASSERT_TRUE(PumpUntil([&] { return target->Got(WM_KEYDOWN, 'D'); }, 6000))
      << "and the macro ends";

  config->received.clear();
  PostMessageW(mon, WM_EXTERNAL_COMMAND, 23, 0);
  EXPECT_TRUE(PumpUntil([&] { return config->GotMessage(WM_PROFILE_SWITCHED); }, 5000));
  EXPECT_TRUE(config->Got(WM_PROFILE_SWITCHED, 2)) << "command 23 selects profile 3";
  config->received.clear();
  PostMessageW(mon, WM_EXTERNAL_COMMAND, 23, 0);
  PumpUntil([] { return false; }, 500);
  EXPECT_FALSE(config->GotMessage(WM_PROFILE_SWITCHED)) << "the current profile again: nothing";
}

}  // namespace
