// natural_order.cpp - natural sort keys and the stable natural sort.
#include "package/natural_order.h"

#include <algorithm>

#include "xml/number.h"

namespace velmora::package {
namespace {

bool is_digit(char c) noexcept { return c >= '0' && c <= '9'; }

}  // namespace

std::vector<NaturalChunk> natural_key(std::string_view text) {
  std::vector<NaturalChunk> key;
  size_t pos = 0;
  while (pos < text.size()) {
    const bool digits = is_digit(text[pos]);
    size_t end = pos;
    while (end < text.size() && is_digit(text[end]) == digits) ++end;
    const std::string_view run = text.substr(pos, end - pos);
    if (digits) {
      key.emplace_back(xml::parse_u64(run).value_or(0));
    } else {
      key.emplace_back(std::string(run));
    }
    pos = end;
  }
  return key;
}

bool natural_less(std::string_view a, std::string_view b) { return natural_key(a) < natural_key(b); }

void natural_sort(std::vector<std::string>& names) {
  std::ranges::stable_sort(names, [](const std::string& a, const std::string& b) { return natural_less(a, b); });
}

}  // namespace velmora::package
