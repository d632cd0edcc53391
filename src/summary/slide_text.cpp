// slide_text.cpp - every text element's text of a slide or notes part.
#include "summary/slide_text.h"

namespace velmora::summary {
namespace {

bool is_xml_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_xml_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_xml_space(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

void TextRunPass::on(const xml::Event& event, TextElement element) {
  if (element == TextElement::Text && event.is_start()) {
    buffer_.clear();
    in_text_ = true;
  } else if (element == TextElement::Text && event.is_end()) {
    if (!buffer_.empty()) texts.push_back(buffer_);
    buffer_.clear();
    in_text_ = false;
  } else if (in_text_ && event.kind == xml::EventKind::Text) {
    const xml::Event segment{xml::EventKind::Text, trimmed(event.raw), event.offset};
    if (!segment.raw.empty()) append_character_data(buffer_, segment);
  } else if (in_text_ && event.kind == xml::EventKind::Reference) {
    append_character_data(buffer_, event);
  }
}

std::vector<std::string> extract_text_runs(std::string_view xml_bytes) {
  TextRunPass pass;
  run_passes(xml_bytes, pass);
  return std::move(pass.texts);
}

}  // namespace velmora::summary
