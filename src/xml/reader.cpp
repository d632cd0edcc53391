// reader.cpp - pull tokenizer: one small scanner per construct.
#include "xml/reader.h"

#include <string>

#include "error.h"
#include "xml/concat.h"

namespace velmora::xml {
namespace {

bool is_blank(char c) noexcept { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

/// True when `text` begins with `prefix`, ignoring ASCII case.
bool starts_with_nocase(std::string_view text, std::string_view prefix) noexcept {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != prefix[i]) return false;
  }
  return true;
}

std::string at_offset(size_t offset) { return concat({" at offset ", std::to_string(offset)}); }
std::string opened_at(size_t offset) { return concat({" (opened at offset ", std::to_string(offset), ")"}); }

}  // namespace

void Reader::fail(std::initializer_list<std::string_view> message) {
  failed_ = true;
  throw_xml(concat(message));
}

Event Reader::emit(EventKind kind, size_t end, size_t name_length) {
  Event event{kind, input_.substr(pos_, end - pos_), pos_, name_length};
  pos_ = end;
  return event;
}

Event Reader::next() {
  if (failed_) return Event{EventKind::Eof, {}, pos_};
  if (pos_ >= input_.size()) {
    if (!open_.empty()) {
      const std::string_view name = open_.back();
      const size_t offset = static_cast<size_t>(name.data() - input_.data()) - 1;
      fail({"unexpected end of input: <", name, "> not closed", opened_at(offset)});
    }
    return Event{EventKind::Eof, input_.substr(input_.size()), input_.size()};
  }
  if (pos_ == 0 && (input_.starts_with("\xFF\xFE") || input_.starts_with("\xFE\xFF"))) {
    fail({"UTF-16 input is not supported: byte order mark at offset 0"});
  }
  switch (input_[pos_]) {
    case '<': return markup();
    case '&': return reference();
    default: return text();
  }
}

Event Reader::text() {
  const size_t end = input_.find_first_of("<&", pos_);
  return emit(EventKind::Text, end == std::string_view::npos ? input_.size() : end);
}

Event Reader::reference() {
  size_t i = pos_ + 1;
  while (i < input_.size() && input_[i] != ';' && input_[i] != '<' && input_[i] != '&' && !is_blank(input_[i])) ++i;
  if (i >= input_.size() || input_[i] != ';') {
    fail({"reference not closed: `;` not found after `&`", at_offset(pos_)});
  }
  if (i == pos_ + 1) fail({"empty reference `&;`", at_offset(pos_)});
  return emit(EventKind::Reference, i + 1);
}

Event Reader::markup() {
  if (pos_ + 1 >= input_.size()) fail({"unexpected end of input after `<`", at_offset(pos_)});
  const std::string_view rest = input_.substr(pos_);
  switch (rest[1]) {
    case '/': return end_tag();
    case '?': return processing_instruction();
    case '!': break;
    default: return start_tag();
  }
  if (rest.starts_with("<!--")) return comment();
  if (rest.starts_with("<![CDATA[")) return cdata();
  if (starts_with_nocase(rest, "<!DOCTYPE")) return doctype();
  for (std::string_view opener : {"<!--", "<![CDATA[", "<!DOCTYPE"}) {
    if (rest.size() < opener.size() && starts_with_nocase(opener, rest)) {
      fail({"unexpected end of input in `", rest, "`", at_offset(pos_)});
    }
  }
  fail({"unknown markup `<!`", at_offset(pos_), ": expected a comment, CDATA section or DOCTYPE"});
}

Event Reader::start_tag() {
  size_t i = pos_ + 1;
  while (i < input_.size() && !is_blank(input_[i]) && input_[i] != '/' && input_[i] != '>' && input_[i] != '<') ++i;
  const size_t name_length = i - pos_ - 1;
  if (name_length == 0) fail({"stray `<`", at_offset(pos_), ": expected a tag name"});
  const std::string_view name = input_.substr(pos_ + 1, name_length);
  char quote = 0;
  for (; i < input_.size(); ++i) {
    const char c = input_[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '<') {
      fail({"unexpected `<` inside start tag <", name, ">", at_offset(i), " (tag opened at offset ",
            std::to_string(pos_), ")"});
    } else if (c == '>') {
      break;
    }
  }
  if (i >= input_.size()) {
    if (quote != 0) {
      fail({"attribute value not closed: `", std::string_view(&quote, 1), "` not found before end of input (in <", name,
            "> opened at offset ", std::to_string(pos_), ")"});
    }
    fail({"start tag <", name, "> not closed: `>` not found before end of input", opened_at(pos_)});
  }
  if (input_[i - 1] == '/' && i - 1 > pos_ + name_length) return emit(EventKind::Empty, i + 1, name_length);
  open_.push_back(name);
  return emit(EventKind::Start, i + 1, name_length);
}

Event Reader::end_tag() {
  size_t i = pos_ + 2;
  while (i < input_.size() && !is_blank(input_[i]) && input_[i] != '>' && input_[i] != '<') ++i;
  const std::string_view name = input_.substr(pos_ + 2, i - pos_ - 2);
  while (i < input_.size() && is_blank(input_[i])) ++i;
  if (i >= input_.size()) {
    fail({"end tag </", name, "> not closed: `>` not found before end of input", opened_at(pos_)});
  }
  if (input_[i] != '>') fail({"malformed end tag </", name, at_offset(pos_), ": expected `>`"});
  if (open_.empty()) {
    fail({"unexpected end tag </", name, ">", at_offset(pos_), ": no element is open"});
  }
  if (open_.back() != name) {
    fail({"mismatched end tag: expected </", open_.back(), ">, found </", name, ">", at_offset(pos_)});
  }
  open_.pop_back();
  return emit(EventKind::End, i + 1, name.size());
}

Event Reader::comment() {
  const size_t close = input_.find("-->", pos_ + 4);
  if (close == std::string_view::npos) {
    fail({"comment not closed: `-->` not found before end of input", opened_at(pos_)});
  }
  return emit(EventKind::Comment, close + 3);
}

Event Reader::cdata() {
  const size_t close = input_.find("]]>", pos_ + 9);
  if (close == std::string_view::npos) {
    fail({"CDATA not closed: `]]>` not found before end of input", opened_at(pos_)});
  }
  return emit(EventKind::CData, close + 3);
}

Event Reader::processing_instruction() {
  // "<?xml" followed by a blank or "?>" is the XML declaration; any other
  // target ("xml-stylesheet" included) is a processing instruction.
  const std::string_view target = input_.substr(pos_ + 2);
  const bool decl = target.starts_with("xml") && target.size() > 3 && (is_blank(target[3]) || target[3] == '?');
  const size_t close = input_.find("?>", pos_ + 2);
  if (close == std::string_view::npos) {
    fail({decl ? "XML declaration" : "processing instruction", " not closed: `?>` not found before end of input",
          opened_at(pos_)});
  }
  return emit(decl ? EventKind::Decl : EventKind::PI, close + 2);
}

Event Reader::doctype() {
  // Quotes hide brackets and ">" (entity values, system ids); the internal
  // subset between "[" and "]" may hold declarations ending in ">" and
  // comments, which are skipped whole. Nothing is expanded.
  size_t depth = 0;
  char quote = 0;
  for (size_t i = pos_ + 9; i < input_.size(); ++i) {
    const char c = input_[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (depth > 0 && input_.substr(i).starts_with("<!--")) {
      const size_t close = input_.find("-->", i + 4);
      if (close == std::string_view::npos) break;
      i = close + 2;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '[') {
      ++depth;
    } else if (c == ']') {
      if (depth > 0) --depth;
    } else if (c == '>' && depth == 0) {
      return emit(EventKind::DocType, i + 1);
    }
  }
  fail({"DOCTYPE not closed: `>` not found before end of input", opened_at(pos_)});
}

}  // namespace velmora::xml
