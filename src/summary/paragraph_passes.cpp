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
    if (in_paragraph_ && in_text_) append_character_data(current_, event);
    return;
  }
  switch (element) {
    case TextElement::Paragraph:
      if (event.is_empty()) {
        paragraphs.emplace_back();
      } else if (event.is_start()) {
        current_.clear();
        in_paragraph_ = true;
      } else if (in_paragraph_) {
        paragraphs.push_back(std::move(current_));
        current_.clear();
        in_paragraph_ = false;
      }
      break;
    case TextElement::Text:
      if (event.is_start() && in_paragraph_) in_text_ = true;
      if (event.is_end()) in_text_ = false;
      break;
    case TextElement::LineBreak:
      if (event.is_tag() && in_paragraph_) current_ += '\v';
      break;
    default:
      break;
  }
}

void RunTextPass::on(const Event& event, TextElement element) {
  if (!event.is_tag() && !event.is_end()) {
    if (in_run_ && in_text_) append_character_data(run_, event);
    return;
  }
  switch (element) {
    case TextElement::Paragraph:
      if (event.is_empty()) {
        paragraphs.emplace_back();
      } else if (event.is_start()) {
        runs_.clear();
        in_paragraph_ = true;
      } else if (in_paragraph_) {
        paragraphs.push_back(std::move(runs_));
        runs_.clear();
        in_paragraph_ = false;
      }
      break;
    case TextElement::Run:
      if (event.is_empty()) {
        if (in_paragraph_) runs_.emplace_back();
      } else if (event.is_start()) {
        if (in_paragraph_) {
          run_.clear();
          in_run_ = true;
        }
      } else if (in_run_) {
        runs_.push_back(std::move(run_));
        run_.clear();
        in_run_ = false;
      }
      break;
    case TextElement::Text:
      if (event.is_start() && in_run_) in_text_ = true;
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
      if (event.is_empty()) {
        paragraphs.emplace_back();
      } else if (event.is_start()) {
        breaks_.clear();
        runs_ = 0;
        in_paragraph_ = true;
      } else if (in_paragraph_) {
        paragraphs.push_back(std::move(breaks_));
        breaks_.clear();
        in_paragraph_ = false;
      }
      break;
    case TextElement::Run:
      if (event.is_tag() && in_paragraph_) ++runs_;
      break;
    case TextElement::LineBreak:
      if (event.is_tag() && in_paragraph_) breaks_.push_back(runs_);
      break;
    default:
      break;
  }
}

void FieldPass::on(const Event& event, TextElement element) {
  if (!event.is_tag() && !event.is_end()) {
    if (in_field_ && in_text_) append_character_data(text_, event);
    return;
  }
  switch (element) {
    case TextElement::Paragraph:
      if (event.is_empty()) {
        paragraphs.emplace_back();
      } else if (event.is_start()) {
        fields_.clear();
        runs_ = 0;
        breaks_ = 0;
        in_paragraph_ = true;
      } else if (in_paragraph_) {
        paragraphs.push_back(std::move(fields_));
        fields_.clear();
        in_paragraph_ = false;
      }
      break;
    case TextElement::Run:
      if (event.is_tag() && in_paragraph_) ++runs_;
      break;
    case TextElement::LineBreak:
      if (event.is_tag() && in_paragraph_) ++breaks_;
      break;
    case TextElement::Field:
      if (event.is_empty()) {
        if (in_paragraph_) fields_.push_back({runs_, breaks_, {}});
      } else if (event.is_start()) {
        if (in_paragraph_) {
          text_.clear();
          in_field_ = true;
        }
      } else if (in_field_) {
        fields_.push_back({runs_, breaks_, std::move(text_)});
        text_.clear();
        in_field_ = false;
      }
      break;
    case TextElement::Text:
      if (event.is_start() && in_field_) in_text_ = true;
      if (event.is_end()) in_text_ = false;
      break;
    default:
      break;
  }
}

void RunPropertyPass::on(const Event& event, TextElement element) {
  if (element == TextElement::Paragraph) {
    if (event.is_empty()) {
      paragraphs.emplace_back();
    } else if (event.is_start()) {
      values_.clear();
      in_paragraph_ = true;
    } else if (in_paragraph_) {
      paragraphs.push_back(std::move(values_));
      values_.clear();
      in_paragraph_ = false;
    }
  } else if (element == TextElement::Run) {
    if (event.is_empty()) {
      if (in_paragraph_) values_.emplace_back();
    } else if (event.is_start()) {
      if (in_paragraph_) {
        value_.reset();
        in_run_ = true;
      }
    } else if (in_run_) {
      values_.push_back(std::move(value_));
      value_.reset();
      in_run_ = false;
    }
  }
  if (in_run_ && event.is_tag() && event.local_name() == element_) {
    value_.reset();
    for (const xml::Attribute& attribute : event.attributes()) {
      if (xml::local_name(attribute.key) != attribute_) continue;
      value_ = xml::is_valid_utf8(attribute.value) ? std::string(attribute.value) : std::string();
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
