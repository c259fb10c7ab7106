// The button-assignment page as toolkit objects: the "Key Functions" buttons
// (BtnSet1..5, hidden BtnSet8/Btnset9 and wheel BtnSet6/BtnSet7) with captions
// and hints from the current profile, the spots and badges of the mouse
// picture, and the function menu opened above the options area for the
// clicked button, whose choice is given to the function assignment. The window
// hands it the places its objects go; the page owns nothing of the window.
#pragma once

#include <array>
#include <functional>

#include "assign_page_model.h"
#include "dm.h"
#include "function_assignment.h"
#include "menu/vn_menu_ex.h"
#include "ui/controls.h"
#include "ui/scene.h"

namespace quarn::pages {

// Where the page's objects go, all in one scene.
struct AssignPageParts {
  ui::Layout& buttons;  // holds the buttons, BtnSet1 at `firstButton`, the rest below
  ui::PointF firstButton;
  ui::Layout& mouseBack;    // ImageMOUSEBACK: the spots are placed on it
  ui::Layout& badges;       // holds the badges D1..D9 (a hidden page)
  ui::Object& optionsShow;  // LayoutOptionsShow: the menu opens 20 pixels above its top-left
};

class AssignPage {
 public:
  static constexpr float kButtonWidth = 220, kButtonHeight = 39;
  static constexpr float kSpotWidth = 56, kSpotHeight = 52;
  static constexpr float kMenuRise = 20;

  // While the function menu is open, `controller` holds back profile switches
  // and reloads, so that the choice goes to the profile it was made in.
  AssignPage(const AssignPageParts& parts, TDM& dm, ConfigMainController& controller,
             FunctionAssignment& assignment, menu::TvnMenuEx& functionMenu, TranslateFn translate);
  ~AssignPage();
  AssignPage(const AssignPage&) = delete;
  AssignPage& operator=(const AssignPage&) = delete;

  // Where the scene is on the screen, for the menu (the window sets it); without
  // it the scene's client starts at the screen's origin.
  std::function<menu::MenuTarget(const ui::Object& object)> TargetOf;

  // Captions and hints of every button from the current profile.
  void RefreshButtonCaptions();
  void UpdateButtonCaption(int tag);
  // A button's click: the function menu for it (nothing for a Tag without a button).
  void BtnSet3Click(int tag);

  AssignPageModel& Model() { return model_; }
  // Null for a Tag / index without an object.
  ui::Button* ButtonOf(int tag) const;
  ui::Button* WheelButtonOf(int wheelTag) const;
  ui::Button* Spot(int index) const;
  ui::Button* Badge(int index) const;

 private:
  void ShowHighlights();
  void MenuClosed(menu::TvnMenuItemsEx& level);

  void EndMenuModal();

  TDM& dm_;
  ConfigMainController& controller_;
  bool menuModal_ = false;
  FunctionAssignment& assignment_;
  menu::TvnMenuEx& menu_;
  TranslateFn translate_;
  ui::Object& optionsShow_;
  AssignPageModel model_;
  std::array<ui::Button*, kAssignButtonCount> buttons_{};
  std::array<ui::Button*, kWheelButtonCount> wheelButtons_{};
  std::array<ui::Button*, kSpotCount> spots_{};
  std::array<ui::Button*, kSpotCount> badges_{};
};

}  // namespace quarn::pages
