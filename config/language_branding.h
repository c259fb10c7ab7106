// How the configuration window chooses its language and brands itself: the
// language box (one item per language of the language file), the stored
// language index and the config.ini option that forces English, and the
// branding that follows every language change (profile-button font size,
// per-language image folder, application title, button captions, product
// images). The window's face is reached through BrandingView, so this runs
// natively with fakes.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config_main_controller.h"
#include "config_seams.h"
#include "dm.h"
#include "stores.h"
#include "vn_language.h"

namespace quarn {

// The parts of the window's face that follow the language.
class BrandingView {
 public:
  virtual ~BrandingView() = default;
  virtual void SetProfileButtonFontSize(int points) = 0;
  // The folder the window's pictures come from (no trailing backslash).
  virtual void SetImageFolder(const std::u16string& folder) = 0;
  virtual void SetApplicationTitle(const std::u16string& title) = 0;
  virtual void RefreshButtonCaptions() = 0;
  // Draws the picture "<imageName>.png" of the image folder into the image of that name.
  virtual void ShowProductImage(std::u16string_view imageName) = 0;
};

inline constexpr std::u16string_view kEnglishLanguageId = u"0409";
inline constexpr std::u16string_view CFG_APP_TITLE = u"QUARN Mouse Config";
// The language each item position of the box stands for.
inline constexpr std::array<std::u16string_view, 3> kLanguageBoxIds = {u"0409", u"0804", u"0404"};
inline constexpr std::array<std::u16string_view, 5> kProductImages = {
    u"ImageProductTitle", u"ImageProductSubTitle", u"ImageCompnayLogo", u"ImageCopyRightText",
    u"ImageSoftwareVersion"};

// The hidden language box: what it lists and which item is selected (-1: none).
struct LanguageBoxModel {
  std::vector<std::u16string> Items;
  int ItemIndex = -1;
  // One item per language of the file, in its order: the native name the
  // system knows, else the language ID, so an item's position is its
  // language's position in the file.
  void Fill(TvnLanguage& language);
};

// Font size of the profile buttons' captions for a language ID.
int ProfileButtonFontSize(std::u16string_view languageId);

class LanguageBranding {
 public:
  struct Services {
    TDM& dm;
    ConfigMainController& window;
    TvnLanguage& language;
    FileStore& files;
    std::u16string programFolder;  // holds config.ini and images\ (no trailing backslash needed)
    MonitorLink& monitor;
    BrandingView& view;
    // The program's translate function; the text itself when not set.
    std::function<std::u16string(std::u16string_view)> translate;
  };

  explicit LanguageBranding(Services services) : s_(std::move(services)) {}

  // Hooks this component into the window's creation and language message.
  void AttachTo(ConfigMainController& window);

  // At window creation: fills the box, follows the stored index, and selects
  // the item of the stored index (item 0 when there is no such item), which
  // runs PopBoxLanguageChange. An empty box selects nothing.
  void FillLanguageBox();
  // The selection of item `item`: the language of that position, stored and
  // told to the monitor. An item beyond the three known languages keeps the
  // stored index; a position the box does not have is ignored.
  void PopBoxLanguageChange(int item);
  void ApplyLanguageAndBranding();

  LanguageBoxModel Box;
  bool FAllwaysEnglish = false;
  // The folder given to the view by the last branding.
  const std::u16string& ImageFolder() const { return imageFolder_; }

 private:
  void ReadAllwaysEnglishOption();
  std::u16string Tr(std::u16string_view text) const;
  // Follows the stored index when the language in use is not at that position.
  void FollowStoredIndex();

  Services s_;
  std::u16string imageFolder_;
};

}  // namespace quarn
