// slide_text.h - every text element's text of a slide or notes part.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora::summary {

/// The text of every text element (qualified name "t" or ending ":t") that
/// has any, in document order. Each character-data segment is trimmed of
/// XML white space (blank, tab, CR, LF) at both ends, and references split
/// segments, so "a &amp; b" gives "a&b"; references resolve to their
/// character, unknown entities stay as written. CDATA, comments and
/// processing instructions add nothing. The first XML error ends the
/// extraction, keeping the texts before it.
std::vector<std::string> extract_text_runs(std::string_view xml_bytes);

}  // namespace velmora::summary
