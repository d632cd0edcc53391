// utf8.h - UTF-8 validation, lossy decoding and encoding of code points.
#pragma once

#include <string>
#include <string_view>

namespace velmora::xml {

/// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
/// nothing above U+10FFFF).
bool is_valid_utf8(std::string_view bytes) noexcept;

/// `bytes` with every ill-formed sequence replaced by U+FFFD. Each maximal
/// prefix of a valid sequence becomes one replacement character, so
/// "a\xE2\x82z" gives "a\uFFFDz" and "\xFF\xFF" gives two replacements.
std::string utf8_lossy(std::string_view bytes);

/// Appends the UTF-8 encoding of `code_point` (which must be a Unicode
/// scalar value) to `out`.
void append_utf8(std::string& out, char32_t code_point);

/// Length in bytes of the Unicode white-space character (White_Space
/// property) that begins `text`, or 0 when `text` does not begin with one.
size_t unicode_space_length(std::string_view text) noexcept;

}  // namespace velmora::xml
