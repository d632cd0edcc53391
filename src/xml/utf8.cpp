// utf8.cpp - UTF-8 validation, lossy decoding and encoding of code points.
#include "xml/utf8.h"

namespace velmora::xml {
namespace {

/// Length of the valid sequence that begins `text` at `pos`; when it is
/// ill-formed, 0 and `bad_length` set to the length of the maximal prefix of
/// a valid sequence (at least 1), which is what one U+FFFD stands for.
size_t sequence_length(std::string_view text, size_t pos, size_t& bad_length) noexcept {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  bad_length = 1;
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // no overlong forms
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  for (size_t i = 1; i < length; ++i) {
    if (pos + i >= text.size()) return 0;
    const unsigned char next = byte(pos + i);
    const unsigned char lo = i == 1 ? low : 0x80;
    const unsigned char hi = i == 1 ? high : 0xBF;
    if (next < lo || next > hi) return 0;
    bad_length = i + 1;
  }
  return length;
}

}  // namespace

bool is_valid_utf8(std::string_view bytes) noexcept {
  size_t pos = 0;
  size_t bad = 0;
  while (pos < bytes.size()) {
    const size_t length = sequence_length(bytes, pos, bad);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::string utf8_lossy(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  size_t pos = 0;
  size_t bad = 0;
  while (pos < bytes.size()) {
    const size_t length = sequence_length(bytes, pos, bad);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      pos += bad;
    } else {
      out.append(bytes, pos, length);
      pos += length;
    }
  }
  return out;
}

void append_utf8(std::string& out, char32_t code_point) {
  const auto put = [&](unsigned value) { out.push_back(static_cast<char>(value)); };
  if (code_point < 0x80) {
    put(code_point);
  } else if (code_point < 0x800) {
    put(0xC0 | (code_point >> 6));
    put(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    put(0xE0 | (code_point >> 12));
    put(0x80 | ((code_point >> 6) & 0x3F));
    put(0x80 | (code_point & 0x3F));
  } else {
    put(0xF0 | (code_point >> 18));
    put(0x80 | ((code_point >> 12) & 0x3F));
    put(0x80 | ((code_point >> 6) & 0x3F));
    put(0x80 | (code_point & 0x3F));
  }
}

size_t unicode_space_length(std::string_view text) noexcept {
  if (text.empty()) return 0;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  switch (byte(0)) {
    case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x20:
      return 1;
    case 0xC2:  // U+0085, U+00A0
      return text.size() >= 2 && (byte(1) == 0x85 || byte(1) == 0xA0) ? 2 : 0;
    case 0xE1:  // U+1680
      return text.size() >= 3 && byte(1) == 0x9A && byte(2) == 0x80 ? 3 : 0;
    case 0xE2:
      if (text.size() < 3) return 0;
      if (byte(1) == 0x80) {  // U+2000-200A, U+2028, U+2029, U+202F
        const unsigned char last = byte(2);
        return (last >= 0x80 && last <= 0x8A) || last == 0xA8 || last == 0xA9 || last == 0xAF ? 3 : 0;
      }
      return byte(1) == 0x81 && byte(2) == 0x9F ? 3 : 0;  // U+205F
    case 0xE3:  // U+3000
      return text.size() >= 3 && byte(1) == 0x80 && byte(2) == 0x80 ? 3 : 0;
    default:
      return 0;
  }
}

}  // namespace velmora::xml
