#include "button_captions.h"

#include "function_catalog.h"
#include "function_ids.h"
#include "key_tables.h"

namespace quarn {
namespace {

std::u16string Tr(const TranslateFn& translate, std::u16string_view text) {
  return translate ? translate(text) : std::u16string(text);
}

std::u16string Caption(std::span<const FunctionMenuNode> menu, std::int64_t id,
                       const TranslateFn& translate) {
  const FunctionMenuNode* item = FindMenuItem(menu, id);
  return item ? Tr(translate, item->Caption) : std::u16string();
}

struct ComboParts {
  std::u16string mods, k1, k2;
};

ComboParts PartsOf(const TCOMBOKEYINFO& combo) {
  ComboParts p;
  GetModifierText(combo.nModifier, p.mods);
  GetKeyDescription(combo.nKeyValue1, combo.nKey1Extended, p.k1);
  GetKeyDescription(combo.nKeyValue2, combo.nKey2Extended, p.k2);
  return p;
}

}  // namespace

std::u16string GetMenuCaptionByID(std::int64_t id, const TranslateFn& translate) {
  return Caption(FunctionMenuItems(), id, translate);
}

std::u16string GetWheelMenuCaptionByID(std::int64_t id, const TranslateFn& translate) {
  return Caption(WheelMenuItems(), id, translate);
}

std::u16string ComboKeyCaptionText(const TCOMBOKEYINFO& combo) {
  const ComboParts p = PartsOf(combo);
  if (!p.k1.empty()) return u"<" + p.mods + p.k1 + (p.k2.empty() ? u"" : u"+" + p.k2) + u">";
  if (!p.k2.empty()) return u"<" + p.mods + p.k2 + u">";
  return {};
}

std::u16string ComboKeyDialogText(const TCOMBOKEYINFO& combo) {
  const ComboParts p = PartsOf(combo);
  std::u16string text;
  if (!p.k1.empty()) text = p.mods + p.k1;
  if (!p.k2.empty()) text += u"+" + p.k2;
  return text;
}

std::u16string FireKeyCaptionText(const TFIREKEYINFO& fire, const TranslateFn& translate) {
  auto number = [](unsigned v) {
    const std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
  };
  return Tr(translate, u"Fire Key:") + u"[T:" + number(fire.nLoopCount) + u",D:" +
         number(fire.DelyValue) + u"]";
}

std::int32_t DisplayMenuID(const TBUTTONFUNCINFO& entry) {
  return entry.MenuID != 0 ? entry.MenuID : DefaultMenuIDOfFunctionCode(entry.FunctionCode);
}

std::u16string ButtonCaption(const TBUTTONFUNCINFO& entry, const TranslateFn& translate) {
  const std::int32_t id = DisplayMenuID(entry);
  if (id == MENUID_VIRTUAL_KEYBOARD) {
    std::u16string combo = ComboKeyCaptionText(entry.ComboKey);
    if (!combo.empty()) return combo;
  } else if (id == MENUID_FIRE_KEY) {
    return FireKeyCaptionText(entry.FireKeyInfo, translate);
  }
  return GetMenuCaptionByID(id, translate);
}

std::u16string ButtonHint(const TBUTTONFUNCINFO& entry, const TranslateFn& translate) {
  const std::int32_t id = DisplayMenuID(entry);
  if (id == MENUID_VIRTUAL_KEYBOARD)
    return Tr(translate, u"Virtual Keyboard:") + u" " + ComboKeyCaptionText(entry.ComboKey);
  return GetMenuCaptionByID(id, translate);
}

}  // namespace quarn
