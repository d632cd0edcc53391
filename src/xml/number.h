// number.h - strict decimal parsing of attribute values.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora::xml {

/// `text` read as an unsigned decimal number: an optional "+" and at least
/// one digit, nothing else; absent when it does not fit 64 bits.
std::optional<uint64_t> parse_u64(std::string_view text) noexcept;

/// `text` read as a signed decimal number: an optional "+" or "-" and at
/// least one digit, nothing else; absent when it does not fit 64 bits.
std::optional<int64_t> parse_i64(std::string_view text) noexcept;

}  // namespace velmora::xml
