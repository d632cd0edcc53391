// escape.h - escaping for attribute values and text, unescaping, and decoding of text and reference events.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "xml/event.h"

namespace velmora::xml {

/// `text` ready for an attribute value of generated XML: "&" becomes
/// "&amp;", "\"" "&quot;", "<" "&lt;" and ">" "&gt;". The apostrophe is
/// left alone.
std::string xml_attr(std::string_view text);

/// `text` with all five special characters written as entities: "&amp;",
/// "&lt;", "&gt;", "&quot;" and "&apos;". Nothing else is escaped. Used for
/// character data and for attribute values set by rewriting.
std::string xml_escape(std::string_view text);
/// Appends `xml_escape(text)` to `out`.
void append_escaped(std::string& out, std::string_view text);

/// The character of a numeric character reference name ("#65", "#x41"; hex
/// digits only after a lower-case "x"): absent when the digits are missing
/// or invalid, or the value is 0, a surrogate or above U+10FFFF.
std::optional<char32_t> decode_char_ref(std::string_view name) noexcept;

/// `raw` with the five predefined entities and numeric character
/// references replaced by their characters. Absent when `raw` is not valid
/// UTF-8, holds an "&" without a closing ";", an unknown entity name or an
/// invalid character reference.
std::optional<std::string> unescape(std::string_view raw);

/// The text of a Text event, decoded as UTF-8 with line ends normalised (CR
/// LF and a lone CR become LF). Absent when the bytes are not valid UTF-8 or
/// the result is empty.
std::optional<std::string> xml_text_content(const Event& text_event);

/// The text a Reference event stands for: a numeric character reference
/// gives its character; "lt", "gt", "amp", "quot", "apos" give < > & " ';
/// any other name, and a character reference that does not decode, gives
/// the reference itself ("&foo;"). Absent when the name is not valid UTF-8.
std::optional<std::string> xml_reference_content(const Event& reference_event);

}  // namespace velmora::xml
