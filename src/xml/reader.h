// reader.h - pull tokenizer: XML text to a stream of events that borrow it.
#pragma once

#include <initializer_list>
#include <string_view>
#include <vector>

#include "xml/event.h"

namespace velmora::xml {

/// Reads XML text as events. Not validating: it checks only what it needs
/// to cut the input into events, plus end-tag names against the open start
/// tags. Text is not trimmed, empty elements are not expanded, entity and
/// character references are Reference events of their own (unknown ones
/// included), and a DOCTYPE, internal subset and all, is one event whose
/// entity declarations are never expanded. Nothing recurses, so nesting depth
/// is bounded only by memory.
///
/// Errors: `next()` throws VelmoraError(Xml) whose message names what was
/// opened, what was found and the byte offset where the faulty construct
/// begins. The events returned before the error cover exactly the input up to
/// `position()`, and every later `next()` returns Eof. End of input while
/// elements are open is such an error ("unexpected end of input: <x> not
/// closed"), thrown by the call that would otherwise return Eof, so callers
/// see every event first; `at_end()` tells that point apart beforehand.
/// Bytes of text are passed through as they are; UTF-8 is not checked. Input
/// must be UTF-8 (or ASCII-compatible): input that opens with a UTF-16 byte
/// order mark fails at once.
class Reader {
 public:
  explicit Reader(std::string_view xml) noexcept : input_(xml) {}

  /// The next event; Eof at the end of the input and after an error.
  Event next();
  /// The number of open elements.
  size_t depth() const noexcept { return open_.size(); }
  /// Offset of the first byte not yet delivered in an event.
  size_t position() const noexcept { return pos_; }
  /// True when every byte of the input has been delivered (or reading has
  /// stopped after an error): the next call returns Eof or reports the
  /// elements left open.
  bool at_end() const noexcept { return failed_ || pos_ >= input_.size(); }

 private:
  Event text();
  Event reference();
  Event markup();
  Event start_tag();
  Event end_tag();
  Event comment();
  Event cdata();
  Event doctype();
  Event processing_instruction();
  Event emit(EventKind kind, size_t end, size_t name_length = 0);
  [[noreturn]] void fail(std::initializer_list<std::string_view> message);

  std::string_view input_;
  size_t pos_ = 0;
  bool failed_ = false;
  std::vector<std::string_view> open_;  // names of the open start tags, views into input_
};

}  // namespace velmora::xml
