#include "vn_language.h"

#include "language_file.h"
#include "text_lists.h"

using quarn::LanguageForm;

TvnLanguage::TvnLanguage(LanguageForm* AOwner, const quarn::LanguageServices& services,
                         quarn::LanguageContext& context)
    : context_(context),
      files_(services.files),
      locales_(services.locales),
      ownedByForm_(AOwner != nullptr) {
  if (AOwner) {
    RegisterLanguageForm(*AOwner);
    context_.AddFormComponent();
  }
  std::u16string path(quarn::FolderPart(services.executablePath));
  path += u"vn.local";
  LoadFromFile(path);
}

TvnLanguage::~TvnLanguage() {
  if (ownedByForm_) context_.RemoveFormComponent();
}

void TvnLanguage::LoadFromFile(std::u16string_view path) {
  std::vector<std::uint8_t> bytes;
  if (files_.ReadWholeFile(path, bytes) != quarn::StoreStatus::Ok) return;
  auto content = quarn::ReadLanguageFile(bytes.data(), bytes.size());
  if (!content) return;  // a damaged file is treated as a missing one

  FResources.clear();
  FOriginal = std::move(content->originals);
  std::erase_if(FOriginal, [](const std::u16string& s) { return s.empty(); });
  quarn::SortUnique(FOriginal);
  for (auto& block : content->languages)
    FResources.push_back(
        Language{std::move(block.id),
                 std::make_shared<const quarn::TranslationTable>(std::move(block.lines))});
}

const TvnLanguage::Language* TvnLanguage::FindLanguage(std::u16string_view id) const {
  for (const auto& l : FResources)
    if (quarn::EqualsIgnoringCase(l.id, id)) return &l;
  return nullptr;
}

std::u16string TvnLanguage::DefaultLanguageCode() {
  auto abbreviation = locales_.UserDefaultLanguageAbbreviation();
  return quarn::AsciiLower(std::u16string_view(abbreviation).substr(0, 2));
}

void TvnLanguage::Loaded() {
  FLang = DefaultLanguageCode();
  if (const auto* language = FindLanguage(FLang)) context_.Activate(language->table);
}

void TvnLanguage::SetLang(const std::u16string& Value) {
  FLang = Value;
  if (Value == u"en") {
    context_.Deactivate();
  } else if (const auto* language = FindLanguage(Value)) {
    context_.Activate(language->table);
  }
  FLanguageName = Value;
  context_.ForEachForm([this](LanguageForm& form) { form.TranslateTexts(context_); });
  if (OnLanguageChanged) OnLanguageChanged(*this, Value, GetLanguageLongNameByShortID(Value));
}

void TvnLanguage::SetAutoSelect(bool Value) {
  FAutoSelect = Value;
  if (Value) SetLang(DefaultLanguageCode());
}

std::u16string TvnLanguage::GetOSDefaultLang() {
  return quarn::FormatLanguageId(locales_.SystemDefaultLanguage());
}

int TvnLanguage::GetLanguageIndexByShortID(std::u16string_view Index) const {
  for (std::size_t i = 0; i < FResources.size(); ++i)
    if (quarn::EqualsIgnoringCase(FResources[i].id, Index)) return static_cast<int>(i);
  return -1;
}

std::u16string TvnLanguage::GetLanguageShortIDByIndex(int Index) const {
  if (Index < 0 || static_cast<std::size_t>(Index) >= FResources.size()) return {};
  return FResources[static_cast<std::size_t>(Index)].id;
}

std::u16string TvnLanguage::GetLanguageLongNameByLangID(std::u16string_view LangID) {
  const auto* record = context_.Locales(locales_).LangIDLanguageList.Find(LangID);
  return record ? record->nativeName : std::u16string();
}

std::u16string TvnLanguage::GetLanguageLongNameByShortID(std::u16string_view ShortID) {
  const auto* record = context_.Locales(locales_).ShortIDLanguageList.Find(ShortID);
  return record ? record->nativeName : std::u16string();
}

void TvnLanguage::RegisterLanguageForm(LanguageForm& Form) {
  context_.RegisterForm(Form);
}

const quarn::LocaleTable& TvnLanguage::SystemLanguageList() {
  return context_.Locales(locales_).SystemLanguageList;
}
