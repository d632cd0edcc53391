// transform.cpp - a shape's transform as written, and its placement on the slide through enclosing groups.
#include "summary/transform.h"

#include <cmath>
#include <limits>

namespace velmora::summary {
namespace {

// The first closed element `name` of the block, as a slice of it.
std::optional<std::string_view> first_element(const TextIndex& index, std::string_view block, std::string_view name) {
  const std::optional<size_t> start = index.find_tag_start(block, 0, name);
  if (!start) return std::nullopt;
  const xml::ElementEnd end = index.find_element_end(block, *start, name);
  if (!end.closed) return std::nullopt;
  return block.substr(*start, end.end - *start);
}

// Integer offsets wrap around on overflow instead of failing.
int64_t wrapping_add(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}
int64_t wrapping_sub(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}

// Rounded half away from zero, saturated to the 64-bit range, NaN as 0.
int64_t to_emu(double value) {
  if (std::isnan(value)) return 0;
  const double rounded = std::round(value);
  if (rounded >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (rounded <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(rounded);
}

double scaled(int64_t length, int64_t extent, int64_t child_extent) {
  return static_cast<double>(length) * static_cast<double>(extent) / static_cast<double>(child_extent);
}

}  // namespace

std::optional<TransformSummary> extract_transform(std::string_view block) {
  return extract_transform(TextIndex(block), block);
}

std::optional<TransformSummary> extract_transform(const TextIndex& index, std::string_view block) {
  // A graphic frame's transform is "p:xfrm"; it counts only without any "a:xfrm".
  const bool drawing_transform = index.find_tag_start(block, 0, "a:xfrm").has_value();
  const std::optional<std::string_view> xfrm = first_element(index, block, drawing_transform ? "a:xfrm" : "p:xfrm");
  if (!xfrm) return std::nullopt;
  const std::optional<std::string_view> off = index.start_tag(*xfrm, "a:off");
  const std::optional<std::string_view> ext = index.start_tag(*xfrm, "a:ext");
  if (!off || !ext) return std::nullopt;
  return TransformSummary{xml::attribute_i64(*off, "x"), xml::attribute_i64(*off, "y"), xml::attribute_i64(*ext, "cx"),
                          xml::attribute_i64(*ext, "cy")};
}

std::optional<GroupMapping> group_mapping(const TextIndex& index, std::string_view group_block,
                                          const TransformSummary& effective) {
  const std::optional<std::string_view> xfrm = first_element(index, group_block, "a:xfrm");
  if (!xfrm) return std::nullopt;
  GroupMapping mapping{effective, 0, 0, effective.cx, effective.cy};
  if (const std::optional<std::string_view> offset = index.start_tag(*xfrm, "a:chOff")) {
    mapping.child_x = xml::attribute_i64(*offset, "x");
    mapping.child_y = xml::attribute_i64(*offset, "y");
  }
  if (const std::optional<std::string_view> extent = index.start_tag(*xfrm, "a:chExt")) {
    mapping.child_cx = xml::attribute_i64(*extent, "cx");
    mapping.child_cy = xml::attribute_i64(*extent, "cy");
  }
  return mapping;
}

TransformSummary map_transform(const TransformSummary& transform, const GroupMapping& mapping) {
  const TransformSummary& frame = mapping.frame;
  TransformSummary placed;
  if (mapping.child_cx != 0) {
    placed.x = wrapping_add(frame.x, to_emu(scaled(wrapping_sub(transform.x, mapping.child_x), frame.cx, mapping.child_cx)));
    placed.cx = to_emu(scaled(transform.cx, frame.cx, mapping.child_cx));
  } else {
    placed.x = wrapping_add(wrapping_sub(transform.x, mapping.child_x), frame.x);
    placed.cx = transform.cx;
  }
  if (mapping.child_cy != 0) {
    placed.y = wrapping_add(frame.y, to_emu(scaled(wrapping_sub(transform.y, mapping.child_y), frame.cy, mapping.child_cy)));
    placed.cy = to_emu(scaled(transform.cy, frame.cy, mapping.child_cy));
  } else {
    placed.y = wrapping_add(wrapping_sub(transform.y, mapping.child_y), frame.y);
    placed.cy = transform.cy;
  }
  return placed;
}

}  // namespace velmora::summary
