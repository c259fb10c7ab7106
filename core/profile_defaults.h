// Factory values of the stored records and the partial resets of a profile.
// Each function writes the values it owns and leaves every other byte as it was.
#pragma once

#include <cstdint>
#include <string>

#include "profile_records.h"

namespace quarn {

inline constexpr std::u16string_view kProfileKeyPath = u"software\\QUARNMouse";
inline constexpr std::u16string_view kDataFolderName = u"QUARN Mouse Driver";

// "zykProfile<n>.pfd" for slot index 0..4 (n = index + 1).
std::u16string SlotFileName(int slot);

// The defaults of one profile (buttons, wheel, pointer, DPI levels, LED, options).
void RestoreProfileDefaults(TMouseProfileInfo& p);
// The five profile slots not stored, slot 0 marked, current profile 0, and the
// language index 1 when the system language is "0804", else 0.
void RestoreAllSettingDefaults(TALLGAMESINFO& a, std::uint16_t systemLangID);
// Five file slots in `dataFolder` (no trailing backslash), groups selecting profiles 0 and 1.
// False when a path does not fit its field; the fields that fit are still written.
bool RestoreSettingGroupDefaults(TProfileSettingGroup& g, std::u16string_view dataFolder);
// The factory test profile: zero, then its few buttons.
void RestoreTestProfileDefaults(TMouseProfileInfo& p);

void RestoreCPIDefaults(TMouseProfileInfo& p);
void RestoreLightAndReportAdvancedDefaults(TMouseProfileInfo& p);
void RestoreReportRateDefaults(TMouseProfileInfo& p);

// Profile 0 green, 1 red, 2 blue, 3 yellow, 4 magenta; other indexes leave the record.
void SetProfileDefaultLEDColor(int AProfileIndex, TMouseProfileInfo& AProfileInfo);

// Four upper-case hexadecimal digits of a language identifier ("0804", "0C04").
std::u16string LangIDText(std::uint16_t langID);

}  // namespace quarn
