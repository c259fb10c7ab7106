#include "function_dialog_models.h"

#include <algorithm>
#include <cstring>

namespace quarn {

std::uint16_t ClampFireKeyValue(std::int64_t value) {
  return static_cast<std::uint16_t>(std::clamp<std::int64_t>(value, kFireKeyMin, kFireKeyMax));
}

TFIREKEYINFO FireKeyDialogStart(const TFIREKEYINFO& stored) {
  if (stored.nLoopCount == 0) return {kFireKeyDefaultCount, kFireKeyDefaultDelay};
  return {ClampFireKeyValue(stored.nLoopCount), ClampFireKeyValue(stored.DelyValue)};
}

std::uint16_t FireKeyBoxValue(std::u16string_view text, std::uint16_t shown) {
  while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  if (text.empty()) return shown;
  std::int64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return shown;
    value = std::min<std::int64_t>(value * 10 + (c - u'0'), 1000000);  // held above the range
  }
  return ClampFireKeyValue(negative ? -value : value);
}

TFIREKEYINFO SeedFireKey(const TFIREKEYINFO& entry, std::int32_t fireKeySpeed,
                         std::int32_t fireKeyCount) {
  if (entry.DelyValue != 0) return entry;
  auto seed = [](std::int32_t v) -> std::uint16_t { return v <= 0 ? 0 : ClampFireKeyValue(v); };
  return {seed(fireKeyCount), seed(fireKeySpeed)};
}

std::u16string StoredProgramPath(const char16_t (&field)[1024]) {
  const char16_t* end = std::find(std::begin(field), std::end(field), u'\0');
  return std::u16string(std::begin(field), end);
}

bool ProgramPathFits(std::u16string_view path) {
  return path.size() <= kMaxProgramPathLength;
}

bool StoreProgramPath(char16_t (&field)[1024], std::u16string_view path) {
  if (!ProgramPathFits(path)) return false;
  std::fill(std::begin(field), std::end(field), u'\0');
  std::copy(path.begin(), path.end(), std::begin(field));
  return true;
}

}  // namespace quarn
