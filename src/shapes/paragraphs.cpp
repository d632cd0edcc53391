// paragraphs.cpp - plain paragraphs of DrawingML text built from a text.
#include "shapes/paragraphs.h"

#include "xml/escape.h"

namespace velmora::shapes {

std::string replacement_paragraphs_xml(std::string_view text) {
  std::string out;
  for (;;) {
    const size_t line_end = text.find('\n');
    out += "<a:p><a:r><a:t>";
    xml::append_escaped(out, text.substr(0, line_end));
    out += "</a:t></a:r></a:p>";
    if (line_end == std::string_view::npos) return out;
    text.remove_prefix(line_end + 1);
  }
}

}  // namespace velmora::shapes
