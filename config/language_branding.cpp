#include "language_branding.h"

#include <algorithm>

#include "config_ini.h"
#include "window_messages.h"

namespace quarn {

namespace {

constexpr int kEnglishFontSize = 10;
constexpr int kOtherFontSize = 11;

// An empty ID (no language file, or a position beyond it) shows the
// originals: English.
std::u16string_view LanguageOrEnglish(std::u16string_view id) {
  return id.empty() ? kEnglishLanguageId : id;
}

}  // namespace

void LanguageBoxModel::Fill(TvnLanguage& language) {
  Items.clear();
  ItemIndex = -1;
  for (int i = 0; i < language.LanguageCount(); ++i) {
    const std::u16string id = language.GetLanguageShortIDByIndex(i);
    const LocaleRecord* known = language.SystemLanguageList().Find(id);
    Items.push_back(known && !known->nativeName.empty() ? known->nativeName : id);
  }
}

int ProfileButtonFontSize(std::u16string_view languageId) {
  return LanguageOrEnglish(languageId) == kEnglishLanguageId ? kEnglishFontSize : kOtherFontSize;
}

void LanguageBranding::AttachTo(ConfigMainController& window) {
  window.OnFillLanguageBox = [this] { FillLanguageBox(); };
  window.OnApplyLanguageAndBranding = [this] { ApplyLanguageAndBranding(); };
}

std::u16string LanguageBranding::Tr(std::u16string_view text) const {
  return s_.translate ? s_.translate(text) : std::u16string(text);
}

void LanguageBranding::ReadAllwaysEnglishOption() {
  FAllwaysEnglish = ReadAllwaysEnglish(LoadConfigIni(s_.files, s_.programFolder));
}

void LanguageBranding::FollowStoredIndex() {
  TvnLanguage& lang = s_.language;
  const int stored = s_.dm.FAllProfileSettingInfo.CurrentLanguage;
  if (lang.GetLanguageIndexByShortID(lang.Lang()) != stored)
    lang.SetLang(lang.GetLanguageShortIDByIndex(stored));
}

void LanguageBranding::FillLanguageBox() {
  Box.Fill(s_.language);
  FollowStoredIndex();
  if (Box.Items.empty()) return;
  const int stored = s_.dm.FAllProfileSettingInfo.CurrentLanguage;
  const int count = static_cast<int>(Box.Items.size());
  Box.ItemIndex = stored >= 0 && stored < count ? stored : 0;
  PopBoxLanguageChange(Box.ItemIndex);
}

void LanguageBranding::PopBoxLanguageChange(int item) {
  // Only an item of the box can be selected.
  if (s_.window.Ending() || item < 0 || item >= static_cast<int>(Box.Items.size())) return;
  Box.ItemIndex = item;
  std::int32_t& index = s_.dm.FAllProfileSettingInfo.CurrentLanguage;
  if (item >= 0 && item < static_cast<int>(kLanguageBoxIds.size())) {
    s_.language.SetLang(std::u16string(kLanguageBoxIds[static_cast<std::size_t>(item)]));
    index = item;
  }
  s_.dm.SaveBackAllProfileSettingInfo();
  ApplyLanguageAndBranding();
  // A negative index can remain only when an item beyond the known three is
  // chosen over one; the monitor is never sent a wrapped number.
  s_.monitor.SendToMonitor(WM_LANGUAGE_CHANGED, static_cast<std::uint64_t>(std::max(index, 0)), 0);
  s_.window.SettingsChanged = true;
}

void LanguageBranding::ApplyLanguageAndBranding() {
  ReadAllwaysEnglishOption();
  TvnLanguage& lang = s_.language;
  if (FAllwaysEnglish)
    lang.SetLang(std::u16string(kEnglishLanguageId));
  else
    FollowStoredIndex();
  const std::u16string_view id = LanguageOrEnglish(lang.Lang());
  s_.view.SetProfileButtonFontSize(ProfileButtonFontSize(id));
  const std::u16string images = WithTrailingBackslash(s_.programFolder) + u"images\\";
  imageFolder_ = images + std::u16string(id);
  if (!s_.files.DirectoryExists(imageFolder_))
    imageFolder_ = images + std::u16string(kEnglishLanguageId);
  s_.view.SetImageFolder(imageFolder_);
  s_.view.SetApplicationTitle(Tr(CFG_APP_TITLE));
  s_.view.RefreshButtonCaptions();
  for (std::u16string_view image : kProductImages) s_.view.ShowProductImage(image);
}

}  // namespace quarn
