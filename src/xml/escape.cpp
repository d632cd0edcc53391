// escape.cpp - escaping, unescaping and decoding of text and reference events.
#include "xml/escape.h"

#include <cstdint>

#include "xml/utf8.h"

namespace velmora::xml {
namespace {

/// The character of a predefined entity name, or 0.
char predefined_entity(std::string_view name) noexcept {
  if (name == "lt") return '<';
  if (name == "gt") return '>';
  if (name == "amp") return '&';
  if (name == "quot") return '"';
  if (name == "apos") return '\'';
  return 0;
}

int digit_value(char c, unsigned base) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string xml_attr(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

void append_escaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
}

std::string xml_escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  append_escaped(out, text);
  return out;
}

std::optional<char32_t> decode_char_ref(std::string_view name) noexcept {
  if (!name.starts_with('#')) return std::nullopt;
  name.remove_prefix(1);
  unsigned base = 10;
  if (name.starts_with('x')) {
    base = 16;
    name.remove_prefix(1);
  }
  if (name.empty()) return std::nullopt;
  uint32_t value = 0;
  for (char c : name) {
    const int digit = digit_value(c, base);
    if (digit < 0) return std::nullopt;
    value = value * base + static_cast<uint32_t>(digit);
    if (value > 0x10FFFF) return std::nullopt;
  }
  if (value == 0 || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
  return static_cast<char32_t>(value);
}

std::optional<std::string> unescape(std::string_view raw) {
  if (!is_valid_utf8(raw)) return std::nullopt;
  std::string out;
  out.reserve(raw.size());
  size_t pos = 0;
  for (size_t amp = raw.find('&'); amp != std::string_view::npos; amp = raw.find('&', pos)) {
    out.append(raw, pos, amp - pos);
    const size_t semi = raw.find(';', amp + 1);
    if (semi == std::string_view::npos) return std::nullopt;
    const std::string_view name = raw.substr(amp + 1, semi - amp - 1);
    if (const char c = predefined_entity(name)) {
      out += c;
    } else if (const auto code_point = decode_char_ref(name)) {
      append_utf8(out, *code_point);
    } else {
      return std::nullopt;
    }
    pos = semi + 1;
  }
  out.append(raw, pos);
  return out;
}

std::optional<std::string> xml_text_content(const Event& text_event) {
  const std::string_view text = text_event.content();
  if (text.empty() || !is_valid_utf8(text)) return std::nullopt;
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
    } else {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
  }
  return out;
}

std::optional<std::string> xml_reference_content(const Event& reference_event) {
  const std::string_view name = reference_event.name();
  if (name.empty() || !is_valid_utf8(name)) return std::nullopt;
  if (const char c = predefined_entity(name)) return std::string(1, c);
  std::string out;
  if (const auto code_point = decode_char_ref(name)) {
    append_utf8(out, *code_point);
  } else {
    out += '&';
    out += name;
    out += ';';
  }
  return out;
}

}  // namespace velmora::xml
