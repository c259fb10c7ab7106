#include "assign_page.h"

#include <string>

namespace quarn::pages {

using namespace quarn::ui;

namespace {

// The spots' places on the mouse picture (the first five; the hidden ones beside them).
constexpr PointF kSpotPlaces[kSpotCount] = {
    {138, 125}, {270, 125}, {206, 158}, {55, 268}, {55, 328}, {0, 0}, {0, 0}, {0, 0}, {0, 0}};
constexpr int kShownButtons = 5;

std::u16string Numbered(const char16_t* prefix, int n) {
  const std::string digits = std::to_string(n);
  return prefix + std::u16string(digits.begin(), digits.end());
}

}  // namespace

AssignPage::AssignPage(const AssignPageParts& parts, TDM& dm, ConfigMainController& controller,
                       FunctionAssignment& assignment, menu::TvnMenuEx& functionMenu,
                       TranslateFn translate)
    : dm_(dm),
      controller_(controller),
      assignment_(assignment),
      menu_(functionMenu),
      translate_(std::move(translate)),
      optionsShow_(parts.optionsShow) {
  // Tags 0..4 BtnSet1..5, 5 BtnSet8, 6 Btnset9.
  const char16_t* names[kAssignButtonCount] = {u"BtnSet1", u"BtnSet2", u"BtnSet3", u"BtnSet4",
                                               u"BtnSet5", u"BtnSet8", u"Btnset9"};
  for (int tag = 0; tag < kAssignButtonCount; ++tag) {
    Button& b = parts.buttons.Add<Button>();
    b.name = names[tag];
    b.SetStyleLookup(u"ButtonAssignMenubuttonstyle");
    b.SetBounds(parts.firstButton.x, parts.firstButton.y + float(tag) * kButtonHeight, kButtonWidth,
                kButtonHeight);
    b.font = {u"Verdana", 12};
    b.format = {AlignH::Leading, AlignV::Center};
    b.autoTranslate = false;  // captions are translated when they are made
    b.cursor = Cursor::Hand;
    b.SetVisible(tag < kShownButtons);
    b.OnClick = [this, tag](Object&) { BtnSet3Click(tag); };
    b.OnMouseEnter = [this, tag](Object&) {
      model_.HoverEnter(tag);
      if (buttons_[tag]) buttons_[tag]->hint = model_.Hints()[tag];
      ShowHighlights();
    };
    b.OnMouseLeave = [this, tag](Object&) {
      model_.HoverLeave(tag);
      ShowHighlights();
    };
    buttons_[tag] = &b;
  }
  const char16_t* wheelNames[kWheelButtonCount] = {u"BtnSet6", u"BtnSet7"};
  for (int w = 0; w < kWheelButtonCount; ++w) {
    Button& b = parts.buttons.Add<Button>();
    b.name = wheelNames[w];
    b.SetStyleLookup(u"ButtonAssignMenubuttonstyle");
    b.autoTranslate = false;
    b.SetVisible(false);
    wheelButtons_[w] = &b;
  }
  for (int i = 0; i < kSpotCount; ++i) {
    Button& spot = parts.mouseBack.Add<Button>();
    spot.name = Numbered(u"BitmapStateButton", i + 1);
    spot.SetBounds(kSpotPlaces[i].x, kSpotPlaces[i].y, kSpotWidth, kSpotHeight);
    spot.staysPressed = true;
    spot.hitTest = false;  // the buttons beside the picture drive it
    spot.SetVisible(i < kShownButtons);
    spots_[i] = &spot;
    Button& badge = parts.badges.Add<Button>();
    badge.name = Numbered(u"D", i + 1);
    badge.staysPressed = true;
    badge.hitTest = false;
    badges_[i] = &badge;
  }

  menu_.OnItemsClick = [this](menu::TvnMenuItemEx&, const std::u16string&, std::uint32_t id,
                              const void*, std::int32_t) {
    assignment_.vnMenuExMAINItemsClick(model_.FSelectedButtonIndex, id);
  };
  menu_.OnMenuClose = [this](menu::TvnMenuItemsEx& level) { MenuClosed(level); };
  assignment_.OnButtonChanged = [this](int index) { UpdateButtonCaption(index); };
  assignment_.OnRefreshButtonCaptions = [this] { RefreshButtonCaptions(); };
  assignment_.OnWheelButtonChanged = [this](int) { RefreshButtonCaptions(); };
}

ui::Button* AssignPage::ButtonOf(int tag) const {
  return tag >= 0 && tag < kAssignButtonCount ? buttons_[tag] : nullptr;
}
ui::Button* AssignPage::WheelButtonOf(int w) const {
  return w >= 0 && w < kWheelButtonCount ? wheelButtons_[w] : nullptr;
}
ui::Button* AssignPage::Spot(int i) const {
  return i >= 0 && i < kSpotCount ? spots_[i] : nullptr;
}
ui::Button* AssignPage::Badge(int i) const {
  return i >= 0 && i < kSpotCount ? badges_[i] : nullptr;
}

void AssignPage::RefreshButtonCaptions() {
  model_.RefreshButtonCaptions(dm_.FCurrentProfileInfo.ConfigInfo, translate_);
  for (int tag = 0; tag < kAssignButtonCount; ++tag) {
    buttons_[tag]->SetText(model_.Captions()[tag]);
    buttons_[tag]->hint = model_.Hints()[tag];
  }
  for (int w = 0; w < kWheelButtonCount; ++w) wheelButtons_[w]->SetText(model_.WheelCaptions()[w]);
}

void AssignPage::UpdateButtonCaption(int tag) {
  if (!ButtonOf(tag)) return;
  const TMOUSECONFIGINFO& config = dm_.FCurrentProfileInfo.ConfigInfo;
  model_.UpdateButtonCaption(tag, config.ButtonFuncInfo[tag], translate_);
  buttons_[tag]->SetText(model_.Captions()[tag]);
  buttons_[tag]->hint = model_.Hints()[tag];
}

AssignPage::~AssignPage() {
  menu_.OnItemsClick = nullptr;
  menu_.OnMenuClose = nullptr;
  EndMenuModal();
}

void AssignPage::EndMenuModal() {
  if (!menuModal_) return;
  menuModal_ = false;
  controller_.EndModal();
}

void AssignPage::BtnSet3Click(int tag) {
  if (!ButtonOf(tag)) return;
  if (menu_.IsMenuOpen()) menu_.Items().CloseSubMenus();  // reported as closed first
  if (!model_.OpenFunctionMenu(tag)) return;
  ShowHighlights();
  menu::MenuTarget target =
      TargetOf ? TargetOf(*buttons_[tag]) : menu::MenuTarget::Of(*buttons_[tag], {0, 0}, 0, 0);
  const RectF options = optionsShow_.AbsoluteRect();
  const RectF at{target.clientOrigin.x + options.x, target.clientOrigin.y + options.y - kMenuRise,
                 options.width, options.height};
  const std::int64_t selected = dm_.FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[tag].MenuID;
  controller_.BeginModal();
  menuModal_ = true;
  if (!menu_.ShowMainMenu(selected, target, Placement::Absolute, at)) {
    model_.FunctionMenuClosed();  // no menu opened: nothing stays highlighted
    ShowHighlights();
    EndMenuModal();
  }
}

void AssignPage::MenuClosed(menu::TvnMenuItemsEx& level) {
  if (level.OwnerMenu() == nullptr) return;  // a sub-level: the menu is still open
  model_.FunctionMenuClosed();
  ShowHighlights();
  // A switch held back is posted now; it runs after the choice being reported.
  EndMenuModal();
}

void AssignPage::ShowHighlights() {
  for (int i = 0; i < kSpotCount; ++i) {
    if (spots_[i]->IsPressed() != model_.SpotPressed(i))
      spots_[i]->SetPressed(model_.SpotPressed(i));
    if (badges_[i]->IsPressed() != model_.BadgePressed(i))
      badges_[i]->SetPressed(model_.BadgePressed(i));
  }
}

}  // namespace quarn::pages
