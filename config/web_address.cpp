#include "web_address.h"

#include "ini_file.h"

namespace quarn {

bool IsWebAddress(std::u16string_view a) {
  if (a.empty() || a.size() > kMaxWebAddress) return false;
  std::size_t rest;
  if (a.size() > 7 && EqualsIgnoreCase(a.substr(0, 7), u"http://"))
    rest = 7;
  else if (a.size() > 8 && EqualsIgnoreCase(a.substr(0, 8), u"https://"))
    rest = 8;
  else
    return false;
  for (char16_t c : a)
    if (c <= 0x20 || c == 0x7F || c == u'"' || c == u'<' || c == u'>' || c == u'\\' || c == u'^' ||
        c == u'`' || c == u'{' || c == u'}' || c == u'|')
      return false;
  // The host: up to the first '/', '?' or '#', without user information.
  const std::size_t end = a.find_first_of(u"/?#", rest);
  const std::u16string_view authority =
      a.substr(rest, end == std::u16string_view::npos ? end : end - rest);
  const std::size_t at = authority.rfind(u'@');
  const std::u16string_view host =
      at == std::u16string_view::npos ? authority : authority.substr(at + 1);
  return !host.empty() && host.front() != u':';
}

}  // namespace quarn
