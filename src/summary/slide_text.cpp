// slide_text.cpp - every text element's text of a slide or notes part.
#include "summary/slide_text.h"

#include "error.h"
#include "summary/paragraph_passes.h"
#include "xml/reader.h"

namespace velmora::summary {
namespace {

bool is_text_element(std::string_view name) { return name == "t" || name.ends_with(":t"); }

bool is_xml_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_xml_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_xml_space(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::vector<std::string> extract_text_runs(std::string_view xml_bytes) {
  std::vector<std::string> texts;
  std::string buffer;
  bool in_text = false;
  xml::Reader reader(xml_bytes);
  try {
    for (xml::Event event = reader.next(); event.kind != xml::EventKind::Eof; event = reader.next()) {
      if (event.is_start() && is_text_element(event.name())) {
        buffer.clear();
        in_text = true;
      } else if (event.is_end() && is_text_element(event.name())) {
        if (!buffer.empty()) texts.push_back(buffer);
        buffer.clear();
        in_text = false;
      } else if (in_text && event.kind == xml::EventKind::Text) {
        const xml::Event segment{xml::EventKind::Text, trimmed(event.raw), event.offset};
        if (!segment.raw.empty()) append_character_data(buffer, segment);
      } else if (in_text && event.kind == xml::EventKind::Reference) {
        append_character_data(buffer, event);
      }
    }
  } catch (const VelmoraError&) {
    // A syntax error ends the extraction; the texts before it stand.
  }
  return texts;
}

}  // namespace velmora::summary
