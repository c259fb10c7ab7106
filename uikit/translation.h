// The program-wide translation state and the seams that follow it.
//
// A program has one active translation table, shared by every window, and one
// translate function over it (quarn::Translate): menus, titles, hints and
// message texts built at run time pass through it. Two kinds of targets follow
// a change of language:
//  - scenes (LanguageScene): a toolkit scene re-translates its own texts from
//    their originals whenever the active table changes;
//  - language forms (LanguageForm): a form registers the text properties that
//    translate (its own caption and hint, those of its controls); menus, menu
//    items and scenes are never registered there. The language component walks
//    these forms at every change of language.
// Both unregister themselves when destroyed, so no walk reaches a dead object.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "locale_tables.h"
#include "translation_table.h"

namespace quarn {

class LanguageContext;

// The program's translation state; tests make their own.
LanguageContext& ProgramLanguage();

// The program's translate function: empty for an empty text, the text itself
// without an active table, else its translation in the active table (or the text
// itself when it has none or an empty one).
std::u16string Translate(std::u16string_view text);

class LanguageScene {
 public:
  explicit LanguageScene(LanguageContext& context = ProgramLanguage());
  virtual ~LanguageScene();
  LanguageScene(const LanguageScene&) = delete;
  LanguageScene& operator=(const LanguageScene&) = delete;

  // Shows every text of the scene as the translation of its original under the
  // context's active table (with no active table: the originals).
  virtual void RetranslateTexts() = 0;

  LanguageContext* Context() const { return context_; }

 private:
  friend class LanguageContext;
  LanguageContext* context_;
};

class LanguageForm {
 public:
  using TextGetter = std::function<std::u16string()>;
  using TextSetter = std::function<void(const std::u16string&)>;

  explicit LanguageForm(std::u16string className);
  virtual ~LanguageForm();
  LanguageForm(const LanguageForm&) = delete;
  LanguageForm& operator=(const LanguageForm&) = delete;

  const std::u16string& FormClassName() const { return className_; }

  // Registers a text property of the form or of a control it owns, e.g.
  // ("BtnOK.Hint", getter, setter). Its current text is its original.
  void AddTranslatedText(std::u16string name, TextGetter get, TextSetter set);

  // Shows every registered text as the translation of its original. The
  // original is the text as designed, or the text the program assigned since
  // the last translation: a translated text is never taken for a key, so
  // switching back to English restores the English texts.
  void TranslateTexts(const LanguageContext& context);

  // The registered texts' names and originals, in registration order.
  std::vector<std::pair<std::u16string, std::u16string>> Originals() const;

 private:
  friend class LanguageContext;
  struct Text {
    std::u16string name;
    TextGetter get;
    TextSetter set;
    std::u16string original;
    std::u16string shown;  // what the last translation wrote
  };
  std::u16string className_;
  std::vector<Text> texts_;
  std::vector<LanguageContext*> lists_;  // contexts whose form list holds this form
};

class LanguageContext {
 public:
  LanguageContext() = default;
  ~LanguageContext();
  LanguageContext(const LanguageContext&) = delete;
  LanguageContext& operator=(const LanguageContext&) = delete;

  std::u16string Translate(std::u16string_view text) const;
  const TranslationTable* ActiveTable() const { return active_.get(); }

  // Makes `table` the active table, then every scene re-translates itself.
  void Activate(std::shared_ptr<const TranslationTable> table);
  // Drops the active table: every scene returns to its originals.
  void Deactivate();

  // The language forms, in registration order; a form is listed once for each
  // language component it owns, and leaves the list when it is destroyed.
  void RegisterForm(LanguageForm& form);
  std::size_t FormCount() const { return forms_.size(); }
  // Calls `fn` for each listed form in order; a form destroyed by an earlier
  // call is passed over.
  void ForEachForm(const std::function<void(LanguageForm&)>& fn);

  std::size_t SceneCount() const { return scenes_.size(); }

  // Live language components owned by a form.
  int FormComponentCount() const { return formComponents_; }
  void AddFormComponent() { ++formComponents_; }
  void RemoveFormComponent() { --formComponents_; }

  // The locale tables: built from `source` on first use and shared by every
  // component of the context until it ends.
  const LocaleTables& Locales(LocaleSource& source);

 private:
  friend class LanguageScene;
  friend class LanguageForm;
  void RetranslateScenes();
  void RemoveForm(LanguageForm* form);

  std::shared_ptr<const TranslationTable> active_;
  std::vector<LanguageScene*> scenes_;
  std::vector<LanguageForm*> forms_;
  int formComponents_ = 0;
  std::optional<LocaleTables> locales_;
};

}  // namespace quarn
