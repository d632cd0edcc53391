// paragraph_passes.cpp - event passes over text bodies: paragraph texts, runs, line breaks, fields and run attributes.
#include "summary/paragraph_passes.h"

#include "xml/escape.h"
#include "xml/utf8.h"

namespace velmora::summary {
namespace {

using xml::Event;
using xml::EventKind;

}  // namespace

TextElement text_element(const Event& event) {
  if (!event.is_tag() && !event.is_end()) return TextElement::Other;
  const std::string_view name = event.local_name();
  if (name == "p") return TextElement::Paragraph;
  if (name == "r") return TextElement::Run;
  if (name == "t") return TextElement::Text;
  if (name == "br") return TextElement::LineBreak;
  if (name == "fld") return TextElement::Field;
  return TextElement::Other;
}

void append_character_data(std::string& out, const Event& event) {
  std::optional<std::string> text;
  if (event.kind == EventKind::Text) {
    text = xml::xml_text_content(event);
  } else if (event.kind == EventKind::Reference) {
    text = xml::xml_reference_content(event);
  }
  if (text) out += *text;
}

void ParagraphTextPass::on(const Event& event, TextElement element) {
  if (!event.is_tag() && !event.is_end()) {
    if (paragraph_.inside && in_text_) append_character_data(paragraph_.content, event);
    return;
  }
  switch (element) {
    case TextElement::Paragraph:
      if (auto text = paragraph_.on(event)) paragraphs.push_back(std::move(*text));
      break;
    case TextElement::Text:
      if (event.is_start() && paragraph_.inside) in_text_ = true;
      if (event.is_end()) in_text_ = false;
      break;
    case TextElement::LineBreak:
      if (event.is_tag() && paragraph_.inside) paragraph_.content += '\v';
      break;
    default:
      break;
  }
}

void RunTextPass::on(const Event& event, TextElement element) {
  if (!event.is_tag() && !event.is_end()) {
    if (run_.inside && in_text_) append_character_data(run_.content, event);
    return;
  }
  switch (element) {
    case TextElement::Paragraph:
      if (auto runs = paragraph_.on(event)) paragraphs.push_back(std::move(*runs));
      break;
    case TextElement::Run:
      if (auto run = run_.on(event, paragraph_.inside)) paragraph_.content.push_back(std::move(*run));
      break;
    case TextElement::Text:
      if (event.is_start() && run_.inside) in_text_ = true;
      if (event.is_end()) in_text_ = false;
      break;
    default:
      break;
  }
}

void LineBreakPass::on(const Event& event, TextElement element) {
  if (!event.is_tag() && !event.is_end()) return;
  switch (element) {
    case TextElement::Paragraph:
      if (event.is_start()) runs_ = 0;
      if (auto breaks = paragraph_.on(event)) paragraphs.push_back(std::move(*breaks));
      break;
    case TextElement::Run:
      if (event.is_tag() && paragraph_.inside) ++runs_;
      break;
    case TextElement::LineBreak:
      if (event.is_tag() && paragraph_.inside) paragraph_.content.push_back(runs_);
      break;
    default:
      break;
  }
}

void FieldPass::on(const Event& event, TextElement element) {
  if (!event.is_tag() && !event.is_end()) {
    if (field_.inside && in_text_) append_character_data(field_.content, event);
    return;
  }
  switch (element) {
    case TextElement::Paragraph:
      if (event.is_start()) runs_ = breaks_ = 0;
      if (auto fields = paragraph_.on(event)) paragraphs.push_back(std::move(*fields));
      break;
    case TextElement::Run:
      if (event.is_tag() && paragraph_.inside) ++runs_;
      break;
    case TextElement::LineBreak:
      if (event.is_tag() && paragraph_.inside) ++breaks_;
      break;
    case TextElement::Field:
      if (auto text = field_.on(event, paragraph_.inside)) {
        paragraph_.content.push_back({runs_, breaks_, std::move(*text)});
      }
      break;
    case TextElement::Text:
      if (event.is_start() && field_.inside) in_text_ = true;
      if (event.is_end()) in_text_ = false;
      break;
    default:
      break;
  }
}

void RunPropertyPass::on(const Event& event, TextElement element) {
  if (element == TextElement::Paragraph) {
    if (auto values = paragraph_.on(event)) paragraphs.push_back(std::move(*values));
  } else if (element == TextElement::Run) {
    if (auto value = run_.on(event, paragraph_.inside)) paragraph_.content.push_back(std::move(*value));
  }
  if (run_.inside && event.is_tag() && event.local_name() == element_) {
    run_.content.reset();
    for (const xml::Attribute& attribute : event.attributes()) {
      if (xml::local_name(attribute.key) != attribute_) continue;
      run_.content = xml::is_valid_utf8(attribute.value) ? std::string(attribute.value) : std::string();
      break;
    }
  }
}

std::vector<std::string> extract_paragraph_texts(std::string_view xml) {
  ParagraphTextPass pass;
  run_passes(xml, pass);
  return std::move(pass.paragraphs);
}

std::vector<std::vector<std::optional<std::string>>> extract_paragraph_run_property(std::string_view xml,
                                                                                     std::string_view element,
                                                                                     std::string_view attribute) {
  RunPropertyPass pass(element, attribute);
  run_passes(xml, pass);
  return std::move(pass.paragraphs);
}

}  // namespace velmora::summary
