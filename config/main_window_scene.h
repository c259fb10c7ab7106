// The face of the configuration program's main window as a toolkit scene: its four
// areas (top, client, profiles, bottom) and the visible controls in them, wired to the
// window's logic. Pages built elsewhere attach to the areas and controls it exposes
// (the options area, the five assignment buttons, the mouse picture and its badges).
// The face follows the language as the branding's view.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "config_main_controller.h"
#include "language_branding.h"
#include "ui/scene.h"

namespace quarn {

// Where the areas and controls are, in client pixels of the 1024 x 760 window.
struct MainWindowGeometry {
  static constexpr float kWidth = 1024, kHeight = 760;
  static constexpr float kTopHeight = 119, kClientHeight = 471, kProfilesHeight = 63,
                         kBottomHeight = 107;
  static constexpr ui::RectF kClose{980, 10, 32, 28};
  static constexpr ui::RectF kMinimise{944, 10, 32, 28};
  static constexpr ui::RectF kMousePicture{60, 139, 260, 420};
  // The numbered badges on the mouse picture's buttons: left, right, wheel, back, forward.
  static constexpr ui::RectF Badge(int i) {
    constexpr ui::RectF places[5] = {{110, 190, 28, 28},
                                     {244, 190, 28, 28},
                                     {176, 236, 28, 28},
                                     {66, 350, 28, 28},
                                     {66, 300, 28, 28}};
    return places[i >= 0 && i < 5 ? i : 0];
  }
  static constexpr ui::RectF kKeyFunctionsLabel{370, 149, 260, 32};
  // BtnSet1..5: one below the other.
  static constexpr ui::RectF BtnSet(int i) { return {370, 195 + 64.0f * i, 260, 48}; }
  static constexpr ui::RectF BtnProfile(int i) { return {180 + 132.0f * i, 601, 120, 40}; }
  static constexpr ui::RectF kStrip{40, 684, 290, 45};
  // OK, CANCEL and APPLY on the strip picture.
  static constexpr ui::RectF StripButton(int i) { return {48 + 94.0f * i, 688, 86, 37}; }
  static constexpr ui::RectF kReset{540, 686, 110, 40};
  // The options area, where menus and dialogs appear.
  static constexpr ui::RectF kOptions{660, 119, 324, 471};
  // What the window shows behind the controls.
  static constexpr ui::Color kBackground = ui::Rgb(0x1C, 0x1F, 0x27);
};

// The names of the pictures the window shows: the strip and the product images from
// the current language's folder, the mouse from the images folder itself.
inline constexpr std::u16string_view kMousePictureName = u"ImageMouse.png";

class MainWindowScene final : public BrandingView {
 public:
  // A picture by file name (the mouse picture has `shared` set: it is the same in every
  // language). May give the empty picture.
  using PictureSource = std::function<ui::PictureRef(std::u16string_view name, bool shared)>;

  explicit MainWindowScene(PictureSource pictures);
  MainWindowScene(const MainWindowScene&) = delete;
  MainWindowScene& operator=(const MainWindowScene&) = delete;

  ui::Scene& GetScene() { return scene_; }

  // Clicks and mouse events go to `controller`; its refresh shows the current state
  // here (an OnRefreshed set before still runs after it). The assignment buttons show
  // the basic captions unless OnRefreshButtonCaptions was set before.
  // `profile` is the profile whose functions the assignment buttons show.
  void Bind(ConfigMainController& controller, std::function<const TMouseProfileInfo&()> profile);

  // Profile buttons pressed as the controller says, APPLY enabled as it says.
  void ShowState();
  // The assignment buttons' captions from the profile's functions.
  void ShowButtonCaptions();
  // Loads every picture (at the start, and after a change of language folder): the face
  // shows none before.
  void ReloadPictures();

  // ---- BrandingView ----
  // The captions of the profile buttons (the pressed one a point larger).
  void SetProfileButtonFontSize(int points) override;
  // Hands the folder to OnImageFolder, then reloads every picture from it.
  void SetImageFolder(const std::u16string& folder) override;
  // Hands the title to OnApplicationTitle.
  void SetApplicationTitle(const std::u16string& title) override;
  // Every translated text again, then the assignment buttons' captions.
  void RefreshButtonCaptions() override;
  void ShowProductImage(std::u16string_view imageName) override;
  // Where the window keeps the folder of its pictures and its title.
  std::function<void(const std::u16string& folder)> OnImageFolder;
  std::function<void(const std::u16string& title)> OnApplicationTitle;

  // ---- areas and controls, for pages attached elsewhere ----
  ui::Layout& TopArea() { return *top_; }
  ui::Layout& ClientArea() { return *client_; }
  ui::Layout& ProfilesArea() { return *profiles_; }
  ui::Layout& BottomArea() { return *bottom_; }
  ui::Layout& OptionsArea() { return *options_; }
  ui::ImageView& MousePicture() { return *mouse_; }
  ui::Button& Badge(int i) { return *badges_.at(i); }
  ui::Button& BtnSet(int i) { return *btnSet_.at(i); }
  ui::Button& BtnProfile(int i) { return *profileButtons_.at(i); }
  ui::Button& MainButton(int tag) { return *mainButtons_.at(tag); }
  ui::Button& Reset() { return *reset_; }
  ui::Button& Close() { return *close_; }
  ui::Button& Minimise() { return *minimise_; }
  ui::ImageView& Strip() { return *strip_; }

 private:
  void Build();
  void StripEventOn(StripEvent event, int tag);

  PictureSource pictures_;
  ui::Scene scene_;
  ConfigMainController* controller_ = nullptr;
  std::function<const TMouseProfileInfo&()> profile_;
  ui::Layout* top_ = nullptr;
  ui::Layout* client_ = nullptr;
  ui::Layout* profiles_ = nullptr;
  ui::Layout* bottom_ = nullptr;
  ui::Layout* options_ = nullptr;
  ui::ImageView* mouse_ = nullptr;
  ui::ImageView* strip_ = nullptr;
  struct NamedImage {
    ui::ImageView* view;
    std::u16string file;
  };
  std::array<NamedImage, 5> productImages_{};
  std::array<ui::Button*, 5> badges_{};
  std::array<ui::Button*, 5> btnSet_{};
  std::array<ui::Button*, PROFILE_COUNT> profileButtons_{};
  std::array<ui::Button*, 3> mainButtons_{};
  ui::Button* reset_ = nullptr;
  ui::Button* close_ = nullptr;
  ui::Button* minimise_ = nullptr;
  std::u16string stripPicture_;
  int profileFontSize_ = 10;
};

// The caption of an assignment button for its stored function: the function menu's
// caption of a basic function, the button's own function for an entry no writer makes
// (MenuID 0), empty for one the menu shows in a group of its own.
std::u16string ButtonFunctionCaption(int buttonIndex, const TBUTTONFUNCINFO& entry);

}  // namespace quarn
