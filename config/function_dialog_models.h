// The value rules of the dialogs that ask for a function's parameters: the
// fire-key numbers (1..255, shown clamped, stored as shown), the quick-launch
// path (at most what the stored field holds, never cut) and the seeding of a
// new fire key from the profile's defaults.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "profile_records.h"

namespace quarn {

constexpr std::int32_t kFireKeyMin = 1;
constexpr std::int32_t kFireKeyMax = 255;
// What the fire-key dialog shows for a record without clicks.
constexpr std::uint16_t kFireKeyDefaultCount = 2;
constexpr std::uint16_t kFireKeyDefaultDelay = 60;

// The longest program path the stored field holds with its terminator.
constexpr std::size_t kMaxProgramPathLength =
    sizeof(TBUTTONFUNCINFO::ProgramPath) / sizeof(char16_t) - 1;

std::uint16_t ClampFireKeyValue(std::int64_t value);

// The two numbers the fire-key dialog opens with: the record's values clamped
// to 1..255, or 2 and 60 when it has no clicks.
TFIREKEYINFO FireKeyDialogStart(const TFIREKEYINFO& stored);

// A fire-key box's text read on OK: a whole number clamped to 1..255; a text
// that is not a whole number keeps `shown`, the value the box showed last.
std::uint16_t FireKeyBoxValue(std::u16string_view text, std::uint16_t shown);

// The record the assignment hands to the fire-key dialog: the entry's own
// values, or when it has no delay the profile's default speed and count, each
// clamped into 1..255 (0 or less stays 0, so the dialog shows its own default).
TFIREKEYINFO SeedFireKey(const TFIREKEYINFO& entry, std::int32_t fireKeySpeed,
                         std::int32_t fireKeyCount);

// The path held by a stored program-path field: up to its terminator, or the
// whole field when it has none.
std::u16string StoredProgramPath(const char16_t (&field)[1024]);
// True when `path` fits the stored field with its terminator.
bool ProgramPathFits(std::u16string_view path);
// Writes `path` and its terminator into the field and clears the rest; false,
// and the field unchanged, when it does not fit.
bool StoreProgramPath(char16_t (&field)[1024], std::u16string_view path);

}  // namespace quarn
