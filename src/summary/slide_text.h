// slide_text.h - every text element's text of a slide or notes part.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "summary/paragraph_passes.h"
#include "xml/event.h"

namespace velmora::summary {

/// The text of every text element (qualified name "t" or ending ":t") that
/// has any, in document order. Each character-data segment is trimmed of
/// XML white space (blank, tab, CR, LF) at both ends, and references split
/// segments, so "a &amp; b" gives "a&b"; references resolve to their
/// character, unknown entities stay as written. CDATA, comments and
/// processing instructions add nothing. The first XML error ends the
/// extraction, keeping the texts before it.
std::vector<std::string> extract_text_runs(std::string_view xml_bytes);

/// extract_text_runs as a pass for run_passes.
class TextRunPass {
 public:
  void on(const xml::Event& event, TextElement element);

  std::vector<std::string> texts;

 private:
  std::string buffer_;
  bool in_text_ = false;
};

}  // namespace velmora::summary
