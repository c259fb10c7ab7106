// Small helpers over lists of texts as the translation code keeps them: sorted
// lists (ordered by code unit, letter case significant, each text once) and
// lookups of language IDs that ignore letter case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarn {

// Sorts by code unit and keeps each text once.
void SortUnique(std::vector<std::u16string>& texts);

// True when the texts are equal apart from the case of ASCII letters (language
// IDs and locale keys are ASCII: "0c04" and "0C04", "ch" and "CH").
bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b);

// ASCII letters in lower case, everything else unchanged.
std::u16string AsciiLower(std::u16string_view s);

}  // namespace quarn
