#include "text_lists.h"

#include <algorithm>

namespace quarn {

namespace {
char16_t FoldAscii(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}
}  // namespace

void SortUnique(std::vector<std::u16string>& texts) {
  std::sort(texts.begin(), texts.end());
  texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

std::u16string AsciiLower(std::u16string_view s) {
  std::u16string r(s);
  for (auto& c : r) c = FoldAscii(c);
  return r;
}

}  // namespace quarn
