// pretty_writer.cpp - two-space pretty JSON output.
#include "json/pretty_writer.h"

#include <charconv>

namespace velmora::json {

void write_string(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  size_t run_start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(text, run_start, i - run_start);
    run_start = i + 1;
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        out += "\\u00";
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
    }
  }
  out.append(text, run_start, text.size() - run_start);
  out += '"';
}

void PrettyWriter::newline_indent(size_t depth) {
  out_ += '\n';
  out_.append(depth * 2, ' ');
}

void PrettyWriter::before_value() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (counts_.empty()) return;  // the document's root value
  out_ += counts_.back()++ == 0 ? "" : ",";
  newline_indent(counts_.size());
}

PrettyWriter& PrettyWriter::key(std::string_view name) {
  out_ += counts_.back()++ == 0 ? "" : ",";
  newline_indent(counts_.size());
  write_string(out_, name);
  out_ += ": ";
  after_key_ = true;
  return *this;
}

void PrettyWriter::open(char bracket) {
  before_value();
  out_ += bracket;
  counts_.push_back(0);
}

void PrettyWriter::close(char bracket) {
  const bool empty = counts_.back() == 0;
  counts_.pop_back();
  if (!empty) newline_indent(counts_.size());
  out_ += bracket;
}

void PrettyWriter::begin_object() { open('{'); }
void PrettyWriter::end_object() { close('}'); }
void PrettyWriter::begin_array() { open('['); }
void PrettyWriter::end_array() { close(']'); }

void PrettyWriter::value(std::string_view text) {
  before_value();
  write_string(out_, text);
}

void PrettyWriter::value(uint64_t number) {
  before_value();
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, number);
  out_.append(buf, res.ptr);
}

void PrettyWriter::value(int64_t number) {
  before_value();
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, number);
  out_.append(buf, res.ptr);
}

void PrettyWriter::value(bool flag) {
  before_value();
  out_ += flag ? "true" : "false";
}

void PrettyWriter::null() {
  before_value();
  out_ += "null";
}

}  // namespace velmora::json
