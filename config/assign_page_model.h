// The button-assignment page as the window shows it: the captions and hints
// of the buttons (BtnSet1..5, the hidden BtnSet8/Btnset9 and the wheel's
// BtnSet6/BtnSet7), the button whose function menu is open and the spots and
// badges of the mouse picture pressed for it or for the hovered button. Every
// index from the window or from stored bytes is checked: out of range does
// nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "button_captions.h"
#include "profile_records.h"

namespace quarn {

// Buttons by Tag: 0..4 BtnSet1..5 (left, right, middle, two side buttons),
// 5 BtnSet8 and 6 Btnset9 (hidden); each shows the entry of its Tag.
constexpr int kAssignButtonCount = 7;
constexpr int kWheelButtonCount = 2;
// Spots BitmapStateButton1..9 and badges D1..D9 of the mouse picture.
constexpr int kSpotCount = 9;

class AssignPageModel {
 public:
  // Captions and hints of every button from `config`: the entries below
  // ButtonCount (held within 0..15) that have a button; the others and
  // buttons past the count show nothing. Then the two wheel buttons.
  void RefreshButtonCaptions(const TMOUSECONFIGINFO& config, const TranslateFn& translate);
  // One button's caption and hint from its entry (nothing for a Tag without a button).
  void UpdateButtonCaption(int tag, const TBUTTONFUNCINFO& entry, const TranslateFn& translate);
  void UpdateWheelButtonCaption(int wheelTag, const TBUTTONFUNCINFO& entry,
                                const TranslateFn& translate);

  // The spot and badge index of a button Tag: the Tag, or Tag + 2 for the two
  // hidden buttons; -1 for any other Tag.
  static int HighlightIndex(int tag);

  // The button was clicked: it becomes the selected button, its spot and badge
  // stay pressed and its hover reaction waits while the menu is open. False
  // (nothing changes) for a Tag without a button.
  bool OpenFunctionMenu(int tag);
  // The function menu's top level closed: spot and badge released, hover back.
  void FunctionMenuClosed();
  bool MenuOpen() const { return menuOpen_; }
  // The selected button's Tag, -1 before the first click.
  int FSelectedButtonIndex = -1;

  // Pointer entered / left a button.
  void HoverEnter(int tag);
  void HoverLeave(int tag);

  const std::array<std::u16string, kAssignButtonCount>& Captions() const { return captions_; }
  const std::array<std::u16string, kAssignButtonCount>& Hints() const { return hints_; }
  const std::array<std::u16string, kWheelButtonCount>& WheelCaptions() const {
    return wheelCaptions_;
  }
  bool SpotPressed(int index) const { return InSpots(index) && spots_[index]; }
  bool BadgePressed(int index) const { return InSpots(index) && badges_[index]; }
  bool HoverEnabled(int tag) const { return InButtons(tag) && !hoverSuspended_[tag]; }

 private:
  static bool InButtons(int tag) { return tag >= 0 && tag < kAssignButtonCount; }
  static bool InSpots(int index) { return index >= 0 && index < kSpotCount; }

  std::array<std::u16string, kAssignButtonCount> captions_{};
  std::array<std::u16string, kAssignButtonCount> hints_{};
  std::array<std::u16string, kWheelButtonCount> wheelCaptions_{};
  std::array<bool, kSpotCount> spots_{};
  std::array<bool, kSpotCount> badges_{};
  std::array<bool, kAssignButtonCount> hoverSuspended_{};
  bool menuOpen_ = false;
  int highlighted_ = -1;
};

}  // namespace quarn
