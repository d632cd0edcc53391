// event.h - XML events as spans of the input, and their attribute iterator.
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

namespace velmora::xml {

/// The part of a qualified name after its last ":" (the whole name when it
/// has none). Prefixes are never resolved to namespaces.
std::string_view local_name(std::string_view qualified_name) noexcept;

/// One attribute of a start or empty-element tag, as written.
struct Attribute {
  std::string_view key;    ///< qualified name, such as "r:id"
  std::string_view value;  ///< raw text between the quotes, not unescaped
  char quote = '"';        ///< the quote character used, '"' or '\''
};

/// Forward range over the attributes of one tag. Malformed attributes (a key
/// without "=", a value without quotes, stray characters) are skipped, so
/// iteration never fails.
class AttributeRange {
 public:
  class iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Attribute;
    using difference_type = std::ptrdiff_t;
    using pointer = const Attribute*;
    using reference = const Attribute&;

    iterator() = default;
    const Attribute& operator*() const noexcept { return current_; }
    const Attribute* operator->() const noexcept { return &current_; }
    iterator& operator++() noexcept;
    iterator operator++(int) noexcept;
    bool operator==(const iterator& other) const noexcept {
      return rest_.data() == other.rest_.data() && at_end_ == other.at_end_;
    }

   private:
    friend class AttributeRange;
    explicit iterator(std::string_view text) noexcept : rest_(text) { ++*this; }

    std::string_view rest_;  // text after the current attribute
    Attribute current_;
    bool at_end_ = true;
  };

  AttributeRange() = default;
  /// `text` is the part of a tag between its name and its closing ">" or "/>".
  explicit AttributeRange(std::string_view text) noexcept : text_(text) {}

  iterator begin() const noexcept { return iterator(text_); }
  iterator end() const noexcept { return iterator(); }
  bool empty() const noexcept { return begin() == end(); }

 private:
  std::string_view text_;
};

enum class EventKind { Start, End, Empty, Text, Reference, CData, Comment, Decl, PI, DocType, Eof };

/// One event of the pull reader: a span of the caller's input, never a copy.
/// Writing `raw` of every event in order reproduces the input.
struct Event {
  EventKind kind = EventKind::Eof;
  std::string_view raw;  ///< the event's exact bytes ("<a:t x=\"1\">", "text", "&amp;", "<!--c-->")
  size_t offset = 0;     ///< where `raw` begins in the input
  size_t name_length = 0;  ///< length of the tag name (Start, End, Empty)

  /// Qualified name for Start, End and Empty; the entity name between "&"
  /// and ";" for Reference ("amp", "#x41"); empty otherwise.
  std::string_view name() const noexcept;
  /// `name()` after its last ":".
  std::string_view local_name() const noexcept { return xml::local_name(name()); }
  /// Text: the text. CData: inside "<![CDATA[" "]]>". Comment: inside
  /// "<!--" "-->". PI and Decl: inside "<?" "?>" (so "xml version=..." for
  /// a declaration). DocType: after "<!DOCTYPE" and the blanks that follow,
  /// up to the closing ">". Empty for the other kinds.
  std::string_view content() const noexcept;
  /// The attributes of a Start or Empty event; an empty range otherwise.
  AttributeRange attributes() const noexcept;

  bool is_start() const noexcept { return kind == EventKind::Start; }
  bool is_end() const noexcept { return kind == EventKind::End; }
  bool is_empty() const noexcept { return kind == EventKind::Empty; }
  /// Start or Empty: an event that carries a name and attributes.
  bool is_tag() const noexcept { return kind == EventKind::Start || kind == EventKind::Empty; }
};

}  // namespace velmora::xml
