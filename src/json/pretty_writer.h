// pretty_writer.h - the pretty JSON writer used for every result record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::json {

/// Writes one JSON document with two-space indentation: one member or element
/// per line, "{}" and "[]" for empty containers, ": " after keys and no line
/// feed after the final bracket. Strings are escaped as JSON requires and no
/// further (see write_string). Members are written in call order.
class PrettyWriter {
 public:
  void begin_object();
  void end_object();
  void begin_array();
  void end_array();
  /// Starts a member of the innermost object; the next call writes its value.
  PrettyWriter& key(std::string_view name);

  void value(std::string_view text);
  void value(const char* text) { value(std::string_view(text)); }
  void value(const std::string& text) { value(std::string_view(text)); }
  void value(uint64_t number);
  void value(int64_t number);
  void value(uint32_t number) { value(static_cast<uint64_t>(number)); }
  void value(int32_t number) { value(static_cast<int64_t>(number)); }
  void value(bool flag);
  void null();
  template <class T>
  void value(const std::optional<T>& maybe) {
    if (maybe) value(*maybe); else null();
  }
  /// A list is an array of its elements.
  template <class T>
  void value(const std::vector<T>& list) {
    begin_array();
    for (const auto& element : list) value(element);
    end_array();
  }
  /// A record is written by its write_json(PrettyWriter&, const Record&),
  /// found beside the record's type.
  template <class Record>
    requires requires(PrettyWriter& out, const Record& record) { write_json(out, record); }
  void value(const Record& record) {
    write_json(*this, record);
  }

  /// key(name) then value(v): the common case of a record field.
  template <class T>
  void field(std::string_view name, const T& v) {
    key(name);
    value(v);
  }

  const std::string& str() const { return out_; }
  std::string take() { return std::move(out_); }

 private:
  void before_value();
  void open(char bracket);
  void close(char bracket);
  void newline_indent(size_t depth);

  std::string out_;
  std::vector<uint64_t> counts_;  // members written so far, per open container
  bool after_key_ = false;
};

/// Appends `text` as a JSON string: quote and reverse solidus escaped, \n \r
/// \t \b \f for those controls, \u00xx (lower-case hex) for the other controls
/// below 0x20, everything else (solidus and non-ASCII included) as it is.
void write_string(std::string& out, std::string_view text);

}  // namespace velmora::json
