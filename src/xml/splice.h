// splice.h - text-level splicing: insert before a closing marker, replace an element.
#pragma once

#include <string>
#include <string_view>

namespace velmora::xml {

/// `xml` (read as UTF-8, each invalid sequence becoming U+FFFD) with
/// `insertion` placed immediately before the last occurrence of `marker`.
/// Throws VelmoraError(XmlTextDecode) "expected closing marker {marker}"
/// when the marker does not occur.
std::string insert_before(std::string_view xml, std::string_view marker, std::string_view insertion);

/// `xml` with the first element "<{name}" (a plain substring, no boundary
/// check) replaced by `replacement`. The element ends at the first ">" after
/// it when that ends "/>", otherwise after the first "</{name}>" that follows
/// (nesting is not considered). Returns `xml` unchanged when the tag or its
/// end is missing.
std::string replace_element(std::string_view xml, std::string_view name, std::string_view replacement);

}  // namespace velmora::xml
