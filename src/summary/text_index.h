// text_index.h - substring and tag searches inside slices of one text, answered from positions found once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "xml/text_search.h"

namespace velmora::summary {

/// A shape summary searches every shape block, and each group's block again
/// for each enclosing group, for the same few strings. Scanning each slice
/// afresh costs time quadratic in the nesting depth; this index finds every
/// occurrence of a string in the whole text once (on first use) and answers
/// the search in a slice with a binary search; the end of an element closed
/// inside the slice is looked up the same way.
///
/// Every `view` passed in must be a slice of the indexed text (a
/// string_view pointing into it). Results are positions relative to the
/// view and equal those of the plain searches on the view itself:
/// std::string_view::find and rfind, xml::find_tag_start and
/// xml::find_element_end.
class TextIndex {
 public:
  explicit TextIndex(std::string_view text);

  /// The first occurrence of `needle` at or after `from` lying wholly inside `view`.
  std::optional<size_t> find(std::string_view view, std::string_view needle, size_t from = 0) const;
  /// The last occurrence of `needle` lying wholly inside `view`.
  std::optional<size_t> rfind(std::string_view view, std::string_view needle) const;
  bool contains(std::string_view view, std::string_view needle) const { return find(view, needle).has_value(); }

  /// As xml::find_tag_start(view, from, name).
  std::optional<size_t> find_tag_start(std::string_view view, size_t from, std::string_view name) const;
  /// As xml::element_start_tag(view, name).
  std::optional<std::string_view> start_tag(std::string_view view, std::string_view name) const;
  /// As xml::find_element_end(view, start, name).
  xml::ElementEnd find_element_end(std::string_view view, size_t start, std::string_view name) const;

 private:
  using Positions = std::vector<size_t>;
  /// (tag start, position after the matching closing tag) per tag start.
  using Ends = std::vector<std::pair<size_t, size_t>>;
  /// The opening and closing tags of one name that count inside one view,
  /// in text order, with the nesting level after each (openings +1,
  /// closings -1, from 0) and a minimum tree over those levels, so that the
  /// closing tag that ends an element from any start is found without
  /// walking every tag after it.
  struct ViewTags {
    size_t begin = 0;             ///< the slice [begin, end) of the text
    size_t end = 0;
    Positions after;              ///< position after each tag's counted text
    Positions at;                 ///< where each tag begins
    std::vector<int64_t> levels;  ///< nesting level after each tag
    size_t leaves = 1;            ///< the tree's leaf count, a power of two
    std::vector<int64_t> tree;    ///< minimum of the levels below each node; leaves from `leaves` on

    /// The first tag from `first` on whose level is below `level`, or none.
    std::optional<size_t> first_below(size_t first, int64_t level) const;
  };

  /// Every position of `needle` in the text.
  const Positions& occurrences(std::string_view needle) const;
  /// The positions of "<{name}" in the text followed by a character that
  /// ends a tag name there (">", "/" or white space).
  const Positions& tag_starts(std::string_view name) const;
  /// Every tag start of `name` in the text, paired with the end of its
  /// element in the whole text (the largest size_t when it is not closed).
  const Ends& element_ends(std::string_view name) const;
  /// The tags of `name` counted inside the slice [begin, end) of the text.
  /// Only the last slice asked for is kept per name: searches come slice
  /// by slice, and keeping every nested group's slice would take memory
  /// quadratic in the nesting depth.
  const ViewTags& view_tags(std::string_view name, size_t begin, size_t end) const;
  /// The first position from `at` on whose tag start lies inside the slice
  /// [begin, end) of the text with its name ended there, relative to begin.
  std::optional<size_t> first_tag_in_view(Positions::const_iterator at, const Positions& positions, size_t needle_size,
                                           size_t begin, size_t end) const;
  size_t offset_of(std::string_view view) const { return static_cast<size_t>(view.data() - text_.data()); }

  std::string_view text_;
  /// Every "<" of the text, by the four bytes that follow it.
  std::unordered_map<uint32_t, Positions> markup_;
  mutable std::map<std::string, Positions, std::less<>> occurrences_;
  mutable std::map<std::string, Positions, std::less<>> tag_starts_;
  mutable std::map<std::string, Ends, std::less<>> element_ends_;
  mutable std::map<std::string, ViewTags, std::less<>> view_tags_;
};

/// The top-level shape blocks of `view`, by the rules of
/// xml::extract_shape_blocks (wrapped shapes left out, the scan ending at the
/// first unclosed shape), found with the index. Blocks are slices of `view`.
std::vector<std::string_view> shape_blocks(const TextIndex& index, std::string_view view);

}  // namespace velmora::summary
