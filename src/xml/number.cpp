// number.cpp - strict decimal parsing of attribute values.
#include "xml/number.h"

#include <charconv>

namespace velmora::xml {
namespace {

/// True when `text` is one or more ASCII digits.
bool all_digits(std::string_view text) noexcept {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

/// The whole of `text` read by from_chars; absent on overflow.
template <typename T>
std::optional<T> read_whole(std::string_view text) noexcept {
  T value{};
  const char* last = text.data() + text.size();
  const auto [end, ec] = std::from_chars(text.data(), last, value);
  if (ec != std::errc() || end != last) return std::nullopt;
  return value;
}

}  // namespace

std::optional<uint64_t> parse_u64(std::string_view text) noexcept {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (!all_digits(text)) return std::nullopt;
  return read_whole<uint64_t>(text);
}

std::optional<int64_t> parse_i64(std::string_view text) noexcept {
  const bool has_sign = !text.empty() && (text.front() == '+' || text.front() == '-');
  if (!all_digits(has_sign ? text.substr(1) : text)) return std::nullopt;
  // from_chars takes the minus sign itself, which keeps INT64_MIN in range.
  return read_whole<int64_t>(!text.empty() && text.front() == '+' ? text.substr(1) : text);
}

}  // namespace velmora::xml
