#include "translation.h"

#include <algorithm>

namespace quarn {

LanguageContext& ProgramLanguage() {
  // Never destroyed: scenes and forms may outlive static destruction order.
  static LanguageContext* program = new LanguageContext;
  return *program;
}

std::u16string Translate(std::u16string_view text) {
  return ProgramLanguage().Translate(text);
}

// --- scenes ---

LanguageScene::LanguageScene(LanguageContext& context) : context_(&context) {
  context.scenes_.push_back(this);
}

LanguageScene::~LanguageScene() {
  if (!context_) return;
  auto& list = context_->scenes_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

// --- forms ---

LanguageForm::LanguageForm(std::u16string className) : className_(std::move(className)) {}

LanguageForm::~LanguageForm() {
  auto lists = lists_;
  for (auto* context : lists) context->RemoveForm(this);
}

void LanguageForm::AddTranslatedText(std::u16string name, TextGetter get, TextSetter set) {
  Text t{std::move(name), std::move(get), std::move(set), {}, {}};
  t.original = t.get ? t.get() : std::u16string();
  t.shown = t.original;
  texts_.push_back(std::move(t));
}

void LanguageForm::TranslateTexts(const LanguageContext& context) {
  for (auto& t : texts_) {
    if (!t.get || !t.set) continue;  // a property that cannot be read or written is passed over
    std::u16string current = t.get();
    if (current != t.shown) t.original = current;  // assigned by the program since
    if (t.original.empty()) {
      t.shown = current;
      continue;
    }
    t.shown = context.Translate(t.original);
    t.set(t.shown);
  }
}

std::vector<std::pair<std::u16string, std::u16string>> LanguageForm::Originals() const {
  std::vector<std::pair<std::u16string, std::u16string>> r;
  for (const auto& t : texts_) r.emplace_back(t.name, t.original);
  return r;
}

// --- context ---

LanguageContext::~LanguageContext() {
  for (auto* scene : scenes_) scene->context_ = nullptr;
  for (auto* form : forms_) {
    auto& l = form->lists_;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
  }
}

std::u16string LanguageContext::Translate(std::u16string_view text) const {
  if (text.empty()) return {};
  if (!active_) return std::u16string(text);
  return active_->Translate(text);
}

void LanguageContext::Activate(std::shared_ptr<const TranslationTable> table) {
  active_ = std::move(table);
  RetranslateScenes();
}

void LanguageContext::Deactivate() {
  active_.reset();
  RetranslateScenes();
}

void LanguageContext::RetranslateScenes() {
  // A scene may create or destroy scenes while it re-translates: walk a copy and
  // pass over any that left the list meanwhile.
  auto scenes = scenes_;
  for (auto* scene : scenes)
    if (std::find(scenes_.begin(), scenes_.end(), scene) != scenes_.end())
      scene->RetranslateTexts();
}

void LanguageContext::RegisterForm(LanguageForm& form) {
  forms_.push_back(&form);
  if (std::find(form.lists_.begin(), form.lists_.end(), this) == form.lists_.end())
    form.lists_.push_back(this);
}

void LanguageContext::RemoveForm(LanguageForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  auto& l = form->lists_;
  l.erase(std::remove(l.begin(), l.end(), this), l.end());
}

void LanguageContext::ForEachForm(const std::function<void(LanguageForm&)>& fn) {
  auto forms = forms_;
  for (auto* form : forms)
    if (std::find(forms_.begin(), forms_.end(), form) != forms_.end()) fn(*form);
}

const LocaleTables& LanguageContext::Locales(LocaleSource& source) {
  if (!locales_) locales_ = LocaleTables::Build(source.SupportedLocales());
  return *locales_;
}

}  // namespace quarn
