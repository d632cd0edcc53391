// text_search.h - text-level search for elements and attributes in raw XML.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::xml {

/// Position of the first "<{name}" at or after `from` that is followed by
/// ">", "/", an ASCII blank (space, tab, LF, VT, FF, CR) or a Unicode white
/// space, so "p:sp" matches neither "<p:spPr" nor "<p:spTree". An occurrence
/// with nothing after it does not count. Positions are byte offsets.
std::optional<size_t> find_tag_start(std::string_view xml, size_t from, std::string_view name);

/// Result of `find_element_end`: whether the element is closed, and the
/// position just after its closing tag (or the last position reached).
struct ElementEnd {
  bool closed = false;
  size_t end = 0;
};

/// The end of the element whose "<{name}" begins at `start`, counting
/// nested elements of the same name: after that text, the next tag start of
/// the name (`find_tag_start`) raises the depth, the next "</{name}>" lowers
/// it, whichever comes first, until the depth reaches 0. A self-closing
/// element of the same name inside counts as an opening.
ElementEnd find_element_end(std::string_view xml, size_t start, std::string_view name);

/// The first start tag of `name`: from `find_tag_start` up to and including
/// the next ">".
std::optional<std::string_view> element_start_tag(std::string_view xml, std::string_view name);

/// The qualified name up to and including its last ":" ("x:" for "x:row"),
/// or empty text when it has none; invalid UTF-8 becomes U+FFFD.
std::string element_prefix(std::string_view name);

/// The raw text between the first "{name}=\"" in `text` and the next quote.
/// A plain substring search: pass one start tag, or a fragment in which
/// `name` cannot be the tail of a longer attribute name ("id" also matches
/// the tail of "r:id").
std::optional<std::string_view> attribute_value(std::string_view text, std::string_view name);
/// The same routine as `attribute_value`.
inline std::optional<std::string_view> extract_string_attribute(std::string_view text, std::string_view name) {
  return attribute_value(text, name);
}

/// `attribute_value` read as a signed decimal number (optional sign); 0 when
/// missing, empty, not a number or out of range.
int64_t attribute_i64(std::string_view text, std::string_view name);

/// True when some start or empty element of `xml` has the local name
/// `local_name`; an XML error ends the scan with false.
bool has_element(std::string_view xml, std::string_view local_name);

}  // namespace velmora::xml
