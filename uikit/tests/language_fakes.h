// Fakes of the seams the translation code is tested through: the system's
// locales, a toolkit scene and a form with a caption and a hint.
#pragma once

#include <string>
#include <vector>

#include "locale_tables.h"
#include "translation.h"

namespace quarn::testing {

class FakeLocales : public LocaleSource {
 public:
  std::vector<SystemLocale> SupportedLocales() override {
    ++enumerations;
    return locales;
  }
  std::uint16_t SystemDefaultLanguage() override { return systemLanguage; }
  std::u16string UserDefaultLanguageAbbreviation() override { return userAbbreviation; }

  std::vector<SystemLocale> locales = {
      {u"0409", u"English", true},          {u"0804", u"中文(简体)", true},
      {u"0404", u"中文(繁體)", true},       {u"0c04", u"中文(香港)", true},
      {u"0409", u"English (second)", true},  // duplicates keep their place; the first wins
      {u"1000", u"Custom", false},           // a country abbreviation longer than three letters
  };
  std::uint16_t systemLanguage = 0x0409;
  std::u16string userAbbreviation = u"ENU";
  int enumerations = 0;
};

// A scene whose texts follow the active table: each shows the translation of its original.
class FakeScene : public LanguageScene {
 public:
  FakeScene(LanguageContext& context, std::vector<std::u16string> originals)
      : LanguageScene(context), originals_(std::move(originals)), texts(originals_) {}
  void RetranslateTexts() override {
    ++retranslations;
    for (std::size_t i = 0; i < originals_.size(); ++i)
      texts[i] = Context()->Translate(originals_[i]);
    if (onRetranslate) onRetranslate();
  }

  std::vector<std::u16string> originals_;
  std::vector<std::u16string> texts;
  int retranslations = 0;
  std::function<void()> onRetranslate;
};

// A form with a caption and one control's hint, registered as translated texts.
class FakeForm : public LanguageForm {
 public:
  FakeForm(std::u16string designedCaption, std::u16string designedHint)
      : LanguageForm(u"TFakeForm"),
        caption(std::move(designedCaption)),
        hint(std::move(designedHint)) {
    AddTranslatedText(
        u"Caption", [this] { return caption; },
        [this](const std::u16string& s) {
          caption = s;
          ++writes;
        });
    AddTranslatedText(
        u"BtnOK.Hint", [this] { return hint; },
        [this](const std::u16string& s) {
          hint = s;
          ++writes;
        });
  }
  std::u16string caption;
  std::u16string hint;
  int writes = 0;
};

}  // namespace quarn::testing
