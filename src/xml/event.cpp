// event.cpp - names, contents and attributes of XML events.
#include "xml/event.h"

namespace velmora::xml {
namespace {

bool is_blank(char c) noexcept { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view skip_blanks(std::string_view text) noexcept {
  size_t i = 0;
  while (i < text.size() && is_blank(text[i])) ++i;
  return text.substr(i);
}

}  // namespace

std::string_view local_name(std::string_view qualified_name) noexcept {
  const size_t colon = qualified_name.rfind(':');
  return colon == std::string_view::npos ? qualified_name : qualified_name.substr(colon + 1);
}

AttributeRange::iterator& AttributeRange::iterator::operator++() noexcept {
  // Each round consumes at least one character, so malformed text always
  // makes progress and ends. Every quote outside a value opens a quoted run
  // that is skipped whole, as the reader skips it when it finds the tag's
  // end, so no attribute is taken from text the reader saw as quoted.
  const auto is_quote = [](char c) { return c == '"' || c == '\''; };
  for (;;) {
    rest_ = skip_blanks(rest_);
    if (rest_.empty()) {
      at_end_ = true;
      rest_ = {};
      return *this;
    }
    if (is_quote(rest_.front())) {
      const size_t close = rest_.find(rest_.front(), 1);
      rest_ = close == std::string_view::npos ? std::string_view() : rest_.substr(close + 1);
      continue;
    }
    size_t i = 0;
    while (i < rest_.size() && !is_blank(rest_[i]) && rest_[i] != '=' && !is_quote(rest_[i])) ++i;
    if (i == 0) {  // a stray "="
      rest_.remove_prefix(1);
      continue;
    }
    const std::string_view key = rest_.substr(0, i);
    std::string_view after = skip_blanks(rest_.substr(i));
    if (after.empty() || after.front() != '=') {  // a key without a value
      rest_ = after;
      continue;
    }
    after = skip_blanks(after.substr(1));
    if (after.empty() || !is_quote(after.front())) {  // an unquoted value: skip it
      size_t j = 0;
      while (j < after.size() && !is_blank(after[j]) && !is_quote(after[j])) ++j;
      rest_ = after.substr(j);
      continue;
    }
    const size_t close = after.find(after.front(), 1);
    if (close == std::string_view::npos) {
      rest_ = {};
      continue;
    }
    current_ = Attribute{key, after.substr(1, close - 1), after.front()};
    rest_ = after.substr(close + 1);
    at_end_ = false;
    return *this;
  }
}

AttributeRange::iterator AttributeRange::iterator::operator++(int) noexcept {
  iterator before = *this;
  ++*this;
  return before;
}

std::string_view Event::name() const noexcept {
  switch (kind) {
    case EventKind::Start:
    case EventKind::Empty: return raw.substr(1, name_length);
    case EventKind::End: return raw.substr(2, name_length);
    case EventKind::Reference: return raw.substr(1, raw.size() - 2);
    default: return {};
  }
}

std::string_view Event::content() const noexcept {
  switch (kind) {
    case EventKind::Text: return raw;
    case EventKind::CData: return raw.substr(9, raw.size() - 12);
    case EventKind::Comment: return raw.substr(4, raw.size() - 7);
    case EventKind::Decl:
    case EventKind::PI: return raw.substr(2, raw.size() - 4);
    case EventKind::DocType: return skip_blanks(raw.substr(9, raw.size() - 10));
    default: return {};
  }
}

AttributeRange Event::attributes() const noexcept {
  if (kind == EventKind::Start) return AttributeRange(raw.substr(1 + name_length, raw.size() - 2 - name_length));
  if (kind == EventKind::Empty) return AttributeRange(raw.substr(1 + name_length, raw.size() - 3 - name_length));
  return {};
}

}  // namespace velmora::xml
