// text_index.cpp - substring and tag searches inside slices of one text, answered from positions found once.
#include "summary/text_index.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "xml/concat.h"
#include "xml/shape_tree.h"
#include "xml/utf8.h"

namespace velmora::summary {
namespace {

// The longest UTF-8 encoding of a white-space character that can end a tag name.
constexpr size_t kLongestSpace = 3;

constexpr size_t kUnclosed = static_cast<size_t>(-1);

// The bytes after a "<" that sort it into its bucket.
constexpr size_t kBucketKeySize = 4;

uint32_t bucket_key(std::string_view text, size_t at) {
  uint32_t key = 0;
  std::memcpy(&key, text.data() + at, kBucketKeySize);
  return key;
}

bool ends_tag_name(std::string_view after) {
  return !after.empty() && (after.front() == '>' || after.front() == '/' || xml::unicode_space_length(after) > 0);
}

}  // namespace

TextIndex::TextIndex(std::string_view text) : text_(text) {
  // One pass over the markup serves every search for a string that starts with "<".
  for (size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    if (at + kBucketKeySize < text.size()) markup_[bucket_key(text, at + 1)].push_back(at);
  }
}

const TextIndex::Positions& TextIndex::occurrences(std::string_view needle) const {
  auto found = occurrences_.find(needle);
  if (found != occurrences_.end()) return found->second;
  Positions positions;
  if (needle.size() > kBucketKeySize && needle.front() == '<') {
    const auto bucket = markup_.find(bucket_key(needle, 1));
    if (bucket != markup_.end()) {
      for (const size_t at : bucket->second) {
        if (text_.substr(at, needle.size()) == needle) positions.push_back(at);
      }
    }
  } else {
    for (size_t at = text_.find(needle); at != std::string_view::npos; at = text_.find(needle, at + 1)) {
      positions.push_back(at);
    }
  }
  return occurrences_.emplace(std::string(needle), std::move(positions)).first->second;
}

const TextIndex::Positions& TextIndex::tag_starts(std::string_view name) const {
  auto found = tag_starts_.find(name);
  if (found != tag_starts_.end()) return found->second;
  const std::string needle = xml::concat({"<", name});
  Positions positions;
  for (const size_t at : occurrences(needle)) {
    if (ends_tag_name(text_.substr(at + needle.size()))) positions.push_back(at);
  }
  return tag_starts_.emplace(std::string(name), std::move(positions)).first->second;
}

std::optional<size_t> TextIndex::find(std::string_view view, std::string_view needle, size_t from) const {
  if (from > view.size()) return std::nullopt;
  const size_t begin = offset_of(view);
  const Positions& positions = occurrences(needle);
  const auto at = std::lower_bound(positions.begin(), positions.end(), begin + from);
  if (at == positions.end() || *at + needle.size() > begin + view.size()) return std::nullopt;
  return *at - begin;
}

std::optional<size_t> TextIndex::rfind(std::string_view view, std::string_view needle) const {
  if (needle.size() > view.size()) return std::nullopt;
  const size_t begin = offset_of(view);
  const Positions& positions = occurrences(needle);
  const auto after = std::upper_bound(positions.begin(), positions.end(), begin + view.size() - needle.size());
  if (after == positions.begin() || *std::prev(after) < begin) return std::nullopt;
  return *std::prev(after) - begin;
}

std::optional<size_t> TextIndex::first_tag_in_view(Positions::const_iterator at, const Positions& positions,
                                                  size_t needle_size, size_t begin, size_t end) const {
  for (; at != positions.end() && *at + needle_size < end; ++at) {
    // A white-space character cut off by the end of the view does not count.
    const size_t after = *at + needle_size;
    if (after + kLongestSpace >= end && !ends_tag_name(text_.substr(after, end - after))) continue;
    return *at - begin;
  }
  return std::nullopt;
}

std::optional<size_t> TextIndex::find_tag_start(std::string_view view, size_t from, std::string_view name) const {
  if (from > view.size()) return std::nullopt;
  const size_t begin = offset_of(view);
  const Positions& positions = tag_starts(name);
  return first_tag_in_view(std::lower_bound(positions.begin(), positions.end(), begin + from), positions,
                           name.size() + 1, begin, begin + view.size());
}

std::optional<std::string_view> TextIndex::start_tag(std::string_view view, std::string_view name) const {
  const std::optional<size_t> start = find_tag_start(view, 0, name);
  if (!start) return std::nullopt;
  const size_t close = view.find('>', *start);
  if (close == std::string_view::npos) return std::nullopt;
  return view.substr(*start, close + 1 - *start);
}

const TextIndex::Ends& TextIndex::element_ends(std::string_view name) const {
  auto found = element_ends_.find(name);
  if (found != element_ends_.end()) return found->second;
  // Opening tags and closing tags merged in text order; each closing tag
  // ends the innermost element still open.
  const std::string closing = xml::concat({"</", name, ">"});
  const Positions& opens = tag_starts(name);
  const Positions& closes = occurrences(closing);
  Ends ends;
  ends.reserve(opens.size());
  std::vector<size_t> open;  // indices into ends
  auto close = closes.begin();
  for (const size_t at : opens) {
    for (; close != closes.end() && *close < at; ++close) {
      if (open.empty()) continue;
      ends[open.back()].second = *close + closing.size();
      open.pop_back();
    }
    open.push_back(ends.size());
    ends.emplace_back(at, kUnclosed);
  }
  for (; close != closes.end() && !open.empty(); ++close) {
    ends[open.back()].second = *close + closing.size();
    open.pop_back();
  }
  return element_ends_.emplace(std::string(name), std::move(ends)).first->second;
}

xml::ElementEnd TextIndex::find_element_end(std::string_view view, size_t start, std::string_view name) const {
  const size_t begin = offset_of(view);
  const size_t end = begin + view.size();
  // An element that ends inside the view ends there whatever the view: the
  // tags between its start and its end lie well inside the view too.
  const Ends& ends = element_ends(name);
  const auto known = std::lower_bound(ends.begin(), ends.end(), std::pair<size_t, size_t>(begin + start, 0));
  if (known != ends.end() && known->first == begin + start && known->second <= end) {
    return {true, known->second - begin};
  }
  // Otherwise the element ends at the first closing tag after its start
  // that brings the nesting level below the level before it; unclosed, at
  // the end of the last tag counted after its start.
  const size_t from = begin + std::min(start + 1 + name.size(), view.size());
  const ViewTags& tags = view_tags(name, begin, end);
  const size_t first = static_cast<size_t>(std::lower_bound(tags.at.begin(), tags.at.end(), from) - tags.at.begin());
  const int64_t level = first == 0 ? 0 : tags.levels[first - 1];
  if (const std::optional<size_t> closing = tags.first_below(first, level)) return {true, tags.after[*closing] - begin};
  return {false, (first < tags.at.size() ? tags.after.back() : from) - begin};
}

const TextIndex::ViewTags& TextIndex::view_tags(std::string_view name, size_t begin, size_t end) const {
  auto slot = view_tags_.find(name);
  if (slot == view_tags_.end()) slot = view_tags_.emplace(std::string(name), ViewTags()).first;
  ViewTags& tags = slot->second;
  if (!tags.tree.empty() && tags.begin == begin && tags.end == end) return tags;
  const std::string closing = xml::concat({"</", name, ">"});
  const Positions& opens = tag_starts(name);
  const Positions& closes = occurrences(closing);
  tags = ViewTags{.begin = begin, .end = end};
  auto open_at = std::lower_bound(opens.begin(), opens.end(), begin);
  auto close_at = std::lower_bound(closes.begin(), closes.end(), begin);
  int64_t level = 0;
  for (;;) {
    const std::optional<size_t> open = first_tag_in_view(open_at, opens, name.size() + 1, begin, end);
    const bool closed_in_view = close_at != closes.end() && *close_at + closing.size() <= end;
    if (closed_in_view && (!open || *close_at < begin + *open)) {
      tags.at.push_back(*close_at);
      tags.after.push_back(*close_at + closing.size());
      tags.levels.push_back(--level);
      ++close_at;
    } else if (open) {
      tags.at.push_back(begin + *open);
      tags.after.push_back(begin + *open + 1 + name.size());
      tags.levels.push_back(++level);
      open_at = std::upper_bound(opens.begin(), opens.end(), begin + *open);
    } else {
      break;
    }
  }
  while (tags.leaves < tags.levels.size()) tags.leaves *= 2;
  tags.tree.assign(2 * tags.leaves, std::numeric_limits<int64_t>::max());
  std::copy(tags.levels.begin(), tags.levels.end(), tags.tree.begin() + static_cast<std::ptrdiff_t>(tags.leaves));
  for (size_t node = tags.leaves - 1; node > 0; --node) {
    tags.tree[node] = std::min(tags.tree[2 * node], tags.tree[2 * node + 1]);
  }
  return tags;
}

std::optional<size_t> TextIndex::ViewTags::first_below(size_t first, int64_t level) const {
  if (first >= levels.size()) return std::nullopt;
  size_t node = leaves + first;
  // Climb until a node at or right of `first` holds a lower level, then
  // descend to its leftmost such leaf.
  while (tree[node] >= level) {
    while (node % 2 == 1) {
      node /= 2;
      if (node == 0) return std::nullopt;
    }
    ++node;
  }
  while (node < leaves) node = tree[2 * node] < level ? 2 * node : 2 * node + 1;
  return node - leaves;
}

std::vector<std::string_view> shape_blocks(const TextIndex& index, std::string_view view) {
  constexpr std::string_view kWrapper = "mc:AlternateContent";
  constexpr std::string_view kWrapperOpen = "<mc:AlternateContent";
  constexpr std::string_view kWrapperClose = "</mc:AlternateContent>";
  std::vector<std::string_view> blocks;
  size_t cursor = 0;
  for (;;) {
    std::optional<size_t> position;
    std::string_view name;
    for (const std::string_view candidate : xml::kShapeElementNames) {
      const std::optional<size_t> at = index.find_tag_start(view, cursor, candidate);
      if (at && (!position || *at < *position)) {
        position = at;
        name = candidate;
      }
    }
    if (!position) break;
    const std::string_view before = view.substr(0, *position);
    if (const std::optional<size_t> wrapper = index.rfind(before, kWrapperOpen);
        wrapper && !index.find(before, kWrapperClose, *wrapper)) {
      // The shape lies inside an open wrapper: skip the wrapper whole.
      const xml::ElementEnd wrapper_end = index.find_element_end(view, *wrapper, kWrapper);
      if (wrapper_end.closed) {
        cursor = wrapper_end.end;
        continue;
      }
    }
    const xml::ElementEnd end = index.find_element_end(view, *position, name);
    if (!end.closed) break;
    blocks.push_back(view.substr(*position, end.end - *position));
    cursor = end.end;
  }
  return blocks;
}

}  // namespace velmora::summary
