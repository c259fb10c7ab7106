// What the button-assignment page shows for a stored button function: the
// caption of its menu item (translated), or for a key combination and a fire
// key the texts made from their values, and the hint shown on hover. Pure
// functions of the stored entry; any value out of range gives the plain text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "profile_records.h"

namespace quarn {

// The program's translate function; the text itself when empty.
using TranslateFn = std::function<std::u16string(std::u16string_view)>;

// The translated caption of the function menu's item `id`; "" when the ID
// reaches no item.
std::u16string GetMenuCaptionByID(std::int64_t id, const TranslateFn& translate);
// The same for the wheel menu.
std::u16string GetWheelMenuCaptionByID(std::int64_t id, const TranslateFn& translate);

// "<" + modifiers + first key ["+" + second key] + ">"; with no first key the
// second alone; "" when neither key has a name.
std::u16string ComboKeyCaptionText(const TCOMBOKEYINFO& combo);
// What the key-combination dialog shows for stored values: modifiers + first
// key, then "+" + second key when there is one.
std::u16string ComboKeyDialogText(const TCOMBOKEYINFO& combo);
// translate("Fire Key:") + "[T:<clicks>,D:<ms>]".
std::u16string FireKeyCaptionText(const TFIREKEYINFO& fire, const TranslateFn& translate);

// The menu ID an entry is shown by: its MenuID, or for 0 the default menu ID
// of its function code (-1 when the code has none).
std::int32_t DisplayMenuID(const TBUTTONFUNCINFO& entry);
// The caption of a button set to `entry`.
std::u16string ButtonCaption(const TBUTTONFUNCINFO& entry, const TranslateFn& translate);
// The hint of a button set to `entry`.
std::u16string ButtonHint(const TBUTTONFUNCINFO& entry, const TranslateFn& translate);

}  // namespace quarn
