#include "translation_table.h"

#include <algorithm>

#include "text_lists.h"

namespace quarn {

TranslationTable::TranslationTable(std::vector<std::u16string> lines) : lines_(std::move(lines)) {
  lines_.erase(std::remove_if(lines_.begin(), lines_.end(),
                              [](const std::u16string& l) {
                                auto eq = l.find(u'=');
                                return eq == std::u16string::npos || eq == 0;
                              }),
               lines_.end());
  SortUnique(lines_);
}

std::optional<std::u16string_view> TranslationTable::Find(std::u16string_view key) const {
  if (key.empty() || key.find(u'=') != std::u16string_view::npos) return std::nullopt;
  // Every line whose key is `key` starts with key + "=", and they sort together
  // from the first line not below that prefix.
  std::u16string prefix(key);
  prefix += u'=';
  auto it = std::lower_bound(lines_.begin(), lines_.end(), prefix);
  if (it == lines_.end() || std::u16string_view(*it).substr(0, prefix.size()) != prefix)
    return std::nullopt;
  return std::u16string_view(*it).substr(prefix.size());
}

std::u16string TranslationTable::Translate(std::u16string_view text) const {
  if (text.empty()) return {};
  auto found = Find(text);
  if (!found || found->empty()) return std::u16string(text);
  return std::u16string(*found);
}

}  // namespace quarn
