// TvnLanguage: the program's run-time translation component. It loads the
// language file vn.local from the program's folder when it is created, switches
// the program-wide active table by language ID (SetLang), re-translates the
// scenes and the registered language forms, and looks up languages by position,
// ID and native name. Each program's main form owns one.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "locale_tables.h"
#include "stores.h"
#include "translation.h"
#include "translation_table.h"

namespace quarn {

// What the component needs from the platform.
struct LanguageServices {
  FileStore& files;
  LocaleSource& locales;
  std::u16string executablePath;  // the running program's file; vn.local lies in its folder
};

}  // namespace quarn

class TvnLanguage;

// Texts built at run time that are no control's design text: the macro steps
// and delays and the mouse-button descriptions. The language file translates
// them like every other text.
inline constexpr std::u16string_view TranslateConstTexts[10] = {
    u"Down",  // macro steps
    u"Up",
    u"ms",           // delays
    u"Mouse Click",  // mouse-button descriptions
    u"Mouse Right Click",
    u"Mouse Middle Click",
    u"Backward(Mouse)",
    u"Forward(Mouse)",
    u"Wheel up(Mouse)",
    u"Wheel Down(Mouse)",
};

// (the language component, the new language ID, its native name or "")
using TOnLanguageChanged =
    std::function<void(TvnLanguage& AComponent, const std::u16string& LanguageShortID,
                       const std::u16string& LanguageLongName)>;

class TvnLanguage {
 public:
  // AOwner: the form that owns the component, or null. An owning form is
  // registered as a language form.
  TvnLanguage(quarn::LanguageForm* AOwner, const quarn::LanguageServices& services,
              quarn::LanguageContext& context = quarn::ProgramLanguage());
  ~TvnLanguage();
  TvnLanguage(const TvnLanguage&) = delete;
  TvnLanguage& operator=(const TvnLanguage&) = delete;

  // The load step, run by the owning form once its controls exist: the
  // selected language becomes the lower-case first two letters of the user
  // locale's abbreviated language name ("en", "ch"), and when a loaded language
  // carries that ID its table becomes active. Lang stays as it is, no form is
  // walked and OnLanguageChanged is not called.
  void Loaded();

  // The last ID given to SetLang, also when that ID is not loaded.
  const std::u16string& Lang() const { return FLanguageName; }
  // "en" (exactly) drops the active table; a loaded ID (letter case ignored,
  // first match) makes its table active; any other ID leaves the active table
  // as it is. Then every language form is translated and OnLanguageChanged runs.
  void SetLang(const std::u16string& Value);

  bool AutoSelect() const { return FAutoSelect; }
  // Writing true also selects the user locale's language (see Loaded) through SetLang.
  void SetAutoSelect(bool Value);

  // Live language components whose owner is a form.
  int vnParentFormCount() const { return context_.FormComponentCount(); }

  // The system default language identifier as four upper-case hexadecimal digits.
  std::u16string GetOSDefaultLang();
  // Position of a language ID in the language list (letter case ignored, first
  // match), -1 when it is not loaded.
  int GetLanguageIndexByShortID(std::u16string_view Index) const;
  // The ID at a position; "" outside the list.
  std::u16string GetLanguageShortIDByIndex(int Index) const;
  // Native language name of a language ID; "" when the system has none.
  std::u16string GetLanguageLongNameByLangID(std::u16string_view LangID);
  std::u16string GetLanguageLongNameByShortID(std::u16string_view ShortID);

  void RegisterLanguageForm(quarn::LanguageForm& Form);
  // The system's languages by ID (shared by every component of the program).
  const quarn::LocaleTable& SystemLanguageList();

  int LanguageCount() const { return static_cast<int>(FResources.size()); }
  // The originals of the language file, sorted, each once, none empty.
  const std::vector<std::u16string>& Originals() const { return FOriginal; }
  // The toolkit's selected language: the last value of SetLang or of the load step.
  const std::u16string& SelectedLanguage() const { return FLang; }

  TOnLanguageChanged OnLanguageChanged;

 private:
  struct Language {
    std::u16string id;
    std::shared_ptr<const quarn::TranslationTable> table;
  };

  void LoadFromFile(std::u16string_view path);
  const Language* FindLanguage(std::u16string_view id) const;
  std::u16string DefaultLanguageCode();

  quarn::LanguageContext& context_;
  quarn::FileStore& files_;
  quarn::LocaleSource& locales_;
  bool ownedByForm_;
  std::vector<std::u16string> FOriginal;
  std::vector<Language> FResources;
  std::u16string FLang;
  bool FAutoSelect = false;
  std::u16string FLanguageName;
};
