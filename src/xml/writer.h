// writer.h - event writer: read events back byte for byte, new tags built.
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "xml/event.h"

namespace velmora::xml {

/// A (key, value) pair written as ` key="value"`; the value is written as
/// given, so it must already be escaped.
using RawAttribute = std::pair<std::string_view, std::string_view>;

/// Appends XML text to a string it owns.
class Writer {
 public:
  Writer() = default;
  /// Starts with `capacity` bytes reserved.
  explicit Writer(size_t capacity) { out_.reserve(capacity); }

  /// Writes the event's raw bytes back unchanged (nothing for Eof).
  void write(const Event& event) { out_ += event.raw; }
  /// Writes `text` verbatim.
  void raw(std::string_view text) { out_ += text; }
  /// Writes `text` as character data, escaping the five characters
  /// & < > " ' as entities.
  void text(std::string_view text);
  /// Writes `<name k="v"...>`, or `<name k="v"/>` when `empty`.
  void start(std::string_view name, std::span<const RawAttribute> attributes, bool empty = false);
  void start(std::string_view name, std::initializer_list<RawAttribute> attributes = {}, bool empty = false) {
    start(name, std::span<const RawAttribute>(attributes.begin(), attributes.size()), empty);
  }
  /// Writes `</name>`.
  void end(std::string_view name);

  std::string& str() noexcept { return out_; }
  /// Moves the text out, leaving the writer empty.
  std::string take() noexcept { return std::exchange(out_, std::string()); }

 private:
  std::string out_;
};

}  // namespace velmora::xml
