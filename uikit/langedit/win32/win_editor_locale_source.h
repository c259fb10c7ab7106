// The system's supported locales as the translation editor lists them: each
// locale's language ID, its display name (language and country in the system's
// language) and whether its country abbreviation fits ten characters.
#pragma once

#include "../language_editor.h"

namespace quarn {

class WinEditorLocaleSource final : public EditorLocaleSource {
 public:
  std::vector<EditorLocale> SupportedLocales() override;
};

}  // namespace quarn
