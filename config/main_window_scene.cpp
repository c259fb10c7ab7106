#include "main_window_scene.h"

#include <utility>

#include "shared_tables.h"
#include "translation.h"

namespace quarn {

using namespace quarn::ui;
using G = MainWindowGeometry;

namespace {

constexpr Color kText = Rgb(0xF0, 0xF0, 0xF0);
constexpr std::u16string_view kStripButtonStyle = u"StripButtonStyle";
constexpr std::u16string_view kFrameButtonStyle = u"FrameButtonStyle";
// The assignment page's buttons look this style up by this name.
constexpr std::u16string_view kSetButtonStyle = u"ButtonAssignMenubuttonstyle";
constexpr std::u16string_view kBadgeStyle = u"BadgeStyle";
constexpr std::u16string_view kTitleStyle = u"AreaLabelStyle";

ButtonFace Face(Fill fill, Fill stroke, Color text = kText) {
  return {std::move(fill), Fill::Solid(text), std::move(stroke), nullptr};
}

void AddLooks(StyleBook& book) {
  // OK / CANCEL / APPLY show only the strip picture behind them.
  ButtonLook strip;
  strip.normal = strip.hover = strip.pressed =
      strip.disabled = {Fill::None(), Fill::None(), Fill::None(), nullptr};
  book.Add(kStripButtonStyle, strip);

  ButtonLook frame;
  // Square corners: a rounded outline costs the first frame a path per button.
  frame.radius = 0;
  frame.normal = Face(Fill::Solid(Rgb(0x2E, 0x36, 0x4A)), Fill::Solid(Rgb(0x6A, 0x78, 0x98)));
  frame.hover = Face(Fill::Solid(Rgb(0x3E, 0x4A, 0x64)), Fill::Solid(Rgb(0x9A, 0xB0, 0xE8)));
  frame.pressed = Face(Fill::Solid(Rgb(0x1E, 0x3C, 0x8C)), Fill::Solid(Rgb(0x9A, 0xB0, 0xE8)));
  frame.disabled = Face(Fill::Solid(Rgb(0x40, 0x40, 0x48)), Fill::None(), Rgb(0x90, 0x90, 0x98));
  book.Add(kFrameButtonStyle, frame);

  ButtonLook set = frame;
  set.normal.fill = Fill::Solid(Rgb(0x2A, 0x30, 0x40));
  book.Add(kSetButtonStyle, set);

  ButtonLook badge = frame;
  badge.radius = 14;
  badge.normal.fill = Fill::Solid(Rgb(0xC8, 0x28, 0x32));
  badge.hover.fill = Fill::Solid(Rgb(0xE8, 0x48, 0x50));
  badge.normal.stroke = badge.hover.stroke = Fill::Solid(Rgb(0xFF, 0xFF, 0xFF));
  // Pressed: the button being assigned or hovered in the list.
  badge.pressed.fill = Fill::Solid(Rgb(0x01, 0xAB, 0xE7));
  badge.pressed.stroke = Fill::Solid(Rgb(0xFF, 0xFF, 0xFF));
  book.Add(kBadgeStyle, badge);

  LabelLook label;
  label.textFill = Fill::Solid(kText);
  book.Add(kTitleStyle, label);
}

Layout& AddArea(Layout& root, const char16_t* name, float top, float height) {
  Layout& area = root.Add<Layout>();
  area.name = name;
  area.SetBounds(0, top, G::kWidth, height);
  return area;
}

// Controls are placed by their window rectangle, whatever area holds them.
template <class T>
T& AddAt(Layout& area, const char16_t* name, const RectF& windowRect) {
  T& t = area.Add<T>();
  t.name = name;
  t.SetBounds(windowRect.x - area.X(), windowRect.y - area.Y(), windowRect.width,
              windowRect.height);
  return t;
}

Button& AddButton(Layout& area, const char16_t* name, const RectF& r, std::u16string_view style,
                  std::u16string text, float size) {
  Button& b = AddAt<Button>(area, name, r);
  b.SetStyleLookup(std::u16string(style));
  b.font = {u"Verdana", size, true};
  b.cursor = Cursor::Hand;
  b.SetText(std::move(text));
  return b;
}

Label& AddLabel(Layout& area, const char16_t* name, const RectF& r, std::u16string text, float size,
                AlignH align = AlignH::Leading) {
  Label& l = AddAt<Label>(area, name, r);
  l.SetStyleLookup(std::u16string(kTitleStyle));
  l.font = {u"Verdana", size, true};
  l.format = {align, AlignV::Center};
  l.SetText(std::move(text));
  return l;
}

std::u16string ProfileCaption(int i) {
  return u"Profile " + std::u16string(1, char16_t(u'1' + i));
}

}  // namespace

std::u16string ButtonFunctionCaption(int buttonIndex, const TBUTTONFUNCINFO& entry) {
  struct Row {
    std::int32_t menuId;
    std::u16string_view caption;
  };
  static constexpr Row kRows[] = {
      {1, u"Click"},
      {2, u"Right Click"},
      {3, u"Middle Click"},
      {4, u"Forward"},
      {5, u"Backward"},
      {6, u"Scroll Up"},
      {7, u"Scroll Down"},
      {8, u"Scroll Left"},
      {9, u"Scroll Right"},
      {14, u"Virtual Keyboard..."},
      {15, u"Quick Launch..."},
      {16, u"Profile Cycle"},
      {17, u"Fire Key..."},
      {18, u"Macro Key..."},
      {19, u"Open Driver"},
      {20, u"Double Click"},
      {21, u"Disabled"},
  };
  std::int32_t id = entry.MenuID;
  // An entry no writer makes is the button's own function.
  if (id == 0) {
    const TFunctionCodeEntry* own = FindFunctionCode(buttonIndex);
    id = own && buttonIndex < 5 ? own->MenuID : 0;
  }
  for (const Row& r : kRows)
    if (r.menuId == id) return Translate(r.caption);
  return {};
}

MainWindowScene::MainWindowScene(PictureSource pictures)
    : pictures_(std::move(pictures)), scene_(G::kWidth, G::kHeight) {
  AddLooks(scene_.Styles());
  Build();
}

void MainWindowScene::Build() {
  Layout& root = scene_.Root();
  // The window itself fills the background (kBackground): no picture behind the areas.
  top_ = &AddArea(root, u"LayoutTop", 0, G::kTopHeight);
  client_ = &AddArea(root, u"LayoutClient", G::kTopHeight, G::kClientHeight);
  profiles_ =
      &AddArea(root, u"LayoutProfiles", G::kTopHeight + G::kClientHeight, G::kProfilesHeight);
  bottom_ = &AddArea(root, u"LayoutBottom", G::kHeight - G::kBottomHeight, G::kBottomHeight);

  // Top: product images, minimise and close.
  const std::pair<const char16_t*, RectF> images[] = {
      {u"ImageCompnayLogo", {30, 30, 160, 60}},      {u"ImageProductTitle", {332, 24, 360, 40}},
      {u"ImageProductSubTitle", {362, 72, 300, 24}}, {u"ImageSoftwareVersion", {824, 688, 160, 18}},
      {u"ImageCopyRightText", {684, 716, 300, 18}},
  };
  for (std::size_t i = 0; i < productImages_.size(); ++i) {
    Layout& area = i < 3 ? *top_ : *bottom_;
    ImageView& view = AddAt<ImageView>(area, images[i].first, images[i].second);
    view.hitTest = false;
    view.wrap = WrapMode::Original;  // drawn at their own size: no resampling
    productImages_[i] = {&view, std::u16string(images[i].first) + u".png"};
  }
  minimise_ = &AddButton(*top_, u"BSBTNMIN", G::kMinimise, kFrameButtonStyle, u"_", 13);
  minimise_->autoTranslate = false;
  close_ = &AddButton(*top_, u"BtnClose", G::kClose, kFrameButtonStyle, u"X", 13);
  close_->autoTranslate = false;

  // Client: the mouse with its badges, the key functions, the options area.
  mouse_ = &AddAt<ImageView>(*client_, u"ImageMouse", G::kMousePicture);
  mouse_->hitTest = false;
  mouse_->wrap = WrapMode::Original;
  for (int i = 0; i < 5; ++i) {
    const RectF r = G::Badge(i);
    const std::u16string name = u"BitmapStateButton" + std::u16string(1, char16_t(u'1' + i));
    badges_[i] = &AddButton(*client_, name.c_str(), r, kBadgeStyle,
                            std::u16string(1, char16_t(u'1' + i)), 11);
    badges_[i]->autoTranslate = false;
    badges_[i]->tag = i;
  }
  AddLabel(*client_, u"LabelKeyFunctions", G::kKeyFunctionsLabel, u"Key Functions", 16);
  for (int i = 0; i < 5; ++i) {
    const std::u16string name = u"BtnSet" + std::u16string(1, char16_t(u'1' + i));
    btnSet_[i] = &AddButton(*client_, name.c_str(), G::BtnSet(i), kSetButtonStyle, u"", 13);
    btnSet_[i]->autoTranslate = false;  // captions are set translated
    btnSet_[i]->tag = i;
  }
  options_ = &AddAt<Layout>(*client_, u"LayoutOptionsShow", G::kOptions);

  // Profiles.
  AddLabel(*profiles_, u"LabelProfiles", {40, 601, 130, 40}, u"PROFILES:", 14);
  for (int i = 0; i < PROFILE_COUNT; ++i) {
    const std::u16string name = u"BtnProfile" + std::u16string(1, char16_t(u'1' + i));
    profileButtons_[i] = &AddButton(*profiles_, name.c_str(), G::BtnProfile(i), kFrameButtonStyle,
                                    ProfileCaption(i), 10);
    profileButtons_[i]->tag = i;
  }

  // Bottom: the OK / CANCEL / APPLY strip, RESET.
  strip_ = &AddAt<ImageView>(*bottom_, u"ImageButtonControl", G::kStrip);
  strip_->hitTest = false;
  strip_->wrap = WrapMode::Original;
  const char16_t* mainNames[3] = {u"BTNOK", u"BTNCANCEL", u"BTNAPPLY"};
  for (int i = 0; i < 3; ++i) {
    mainButtons_[i] =
        &AddButton(*bottom_, mainNames[i], G::StripButton(i), kStripButtonStyle, u"", 13);
    mainButtons_[i]->tag = i;
  }
  AddLabel(*bottom_, u"LabelDefaults", {420, 686, 118, 40}, u"DEFAULTS:", 14);
  reset_ =
      &AddButton(*bottom_, u"BSBTNRESTOREDEFAULTS", G::kReset, kFrameButtonStyle, u"RESET", 13);
  stripPicture_ = u"OKCANCELAPPLY-N.png";
}

void MainWindowScene::ReloadPictures() {
  if (!pictures_) return;
  for (NamedImage& image : productImages_) image.view->SetPicture(pictures_(image.file, false));
  mouse_->SetPicture(pictures_(kMousePictureName, true));
  strip_->SetPicture(pictures_(stripPicture_, false));
}

void MainWindowScene::StripEventOn(StripEvent event, int tag) {
  stripPicture_ = ConfigMainController::StripImage(event, mainButtons_[tag]->name);
  if (pictures_) strip_->SetPicture(pictures_(stripPicture_, false));
}

void MainWindowScene::Bind(ConfigMainController& controller,
                           std::function<const TMouseProfileInfo&()> profile) {
  controller_ = &controller;
  profile_ = std::move(profile);
  close_->OnClick = [this](Object&) { controller_->BtnCloseClick(); };
  minimise_->OnClick = [this](Object&) { controller_->BSBTNMINClick(); };
  for (Button* b : profileButtons_)
    b->OnClick = [this](Object& o) { controller_->BtnProfileClick(static_cast<int>(o.tag)); };
  for (Button* b : mainButtons_) {
    const int tag = static_cast<int>(b->tag);
    b->OnMouseEnter = [this, tag](Object&) { StripEventOn(StripEvent::Enter, tag); };
    b->OnMouseLeave = [this, tag](Object&) { StripEventOn(StripEvent::Leave, tag); };
    b->OnMouseDown = [this, tag](Object&, MouseButton, PointF) {
      StripEventOn(StripEvent::Down, tag);
    };
    b->OnMouseUp = [this, tag](Object&, MouseButton, PointF) { StripEventOn(StripEvent::Up, tag); };
    b->OnClick = [this, tag](Object&) { controller_->OnMainButtonClick(tag); };
  }
  reset_->OnClick = [this](Object&) { controller_->BSBTNRESTOREDEFAULTSClick(); };

  // The first step of every refresh, unless a page of the assignment buttons shows them.
  if (!controller.OnRefreshButtonCaptions)
    controller.OnRefreshButtonCaptions = [this] { ShowButtonCaptions(); };
  auto refreshed = std::move(controller.OnRefreshed);
  controller.OnRefreshed = [this, refreshed] {
    ShowState();
    if (refreshed) refreshed();
  };
}

void MainWindowScene::ShowState() {
  if (!controller_) return;
  const auto& pressed = controller_->ProfileButtonsPressed();
  for (int i = 0; i < PROFILE_COUNT; ++i) {
    profileButtons_[i]->SetPressed(pressed[i]);
    // The pressed profile's caption is a point larger.
    profileButtons_[i]->font.size = static_cast<float>(profileFontSize_ + (pressed[i] ? 1 : 0));
    profileButtons_[i]->Invalidate();
  }
  mainButtons_[ConfigMainController::kApply]->SetEnabled(controller_->ApplyEnabled());
}

void MainWindowScene::SetProfileButtonFontSize(int points) {
  // A size no design uses is kept out: the captions stay readable and inside their buttons.
  if (points < 6 || points > 24) return;
  profileFontSize_ = points;
  ShowState();
}

void MainWindowScene::SetImageFolder(const std::u16string& folder) {
  if (OnImageFolder) OnImageFolder(folder);
  ReloadPictures();
}

void MainWindowScene::SetApplicationTitle(const std::u16string& title) {
  if (OnApplicationTitle) OnApplicationTitle(title);
}

void MainWindowScene::RefreshButtonCaptions() {
  scene_.RetranslateTexts();
  if (controller_ && controller_->OnRefreshButtonCaptions)
    controller_->OnRefreshButtonCaptions();
  else
    ShowButtonCaptions();
}

void MainWindowScene::ShowProductImage(std::u16string_view imageName) {
  if (!pictures_) return;
  for (NamedImage& image : productImages_)
    if (image.view->name == imageName) image.view->SetPicture(pictures_(image.file, false));
}

void MainWindowScene::ShowButtonCaptions() {
  if (!profile_) return;
  const TMouseProfileInfo& p = profile_();
  for (int i = 0; i < 5; ++i)
    btnSet_[i]->SetText(ButtonFunctionCaption(i, p.ConfigInfo.ButtonFuncInfo[i]));
}

}  // namespace quarn
