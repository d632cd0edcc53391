// groups.cpp - group shapes on a slide: empty groups and grouping a group's children.
#include "shapes/groups.h"

#include <algorithm>
#include <vector>

#include "error.h"
#include "xml/concat.h"
#include "xml/text_search.h"

namespace velmora::shapes {
namespace {

constexpr std::string_view kGroupEnd = "</p:grpSp>";

/// The offset and extent of a shape.
struct Box {
  int64_t x = 0, y = 0, cx = 0, cy = 0;
};

/// The first element `name` of `xml`: its start tag alone when it is
/// self-closing, else up to its closing tag (or the end of `xml`).
std::optional<std::string_view> first_element(std::string_view xml, std::string_view name) {
  const std::optional<size_t> start = xml::find_tag_start(xml, 0, name);
  if (!start) return std::nullopt;
  const size_t close = xml.find('>', *start);
  if (close == std::string_view::npos) return std::nullopt;
  if (xml[close - 1] == '/') return xml.substr(*start, close + 1 - *start);
  return xml.substr(*start, xml::find_element_end(xml, *start, name).end - *start);
}

/// The offset and extent of a group child, from its first `a:xfrm` (its
/// first `p:xfrm` when it has none).
Box child_box(std::string_view block) {
  std::optional<std::string_view> transform = first_element(block, "a:xfrm");
  if (!transform) transform = first_element(block, "p:xfrm");
  const std::optional<std::string_view> offset = transform ? xml::element_start_tag(*transform, "a:off") : std::nullopt;
  const std::optional<std::string_view> extent = transform ? xml::element_start_tag(*transform, "a:ext") : std::nullopt;
  if (!offset || !extent) throw_invalid_input("selected group child is missing transform");
  return {xml::attribute_i64(*offset, "x"), xml::attribute_i64(*offset, "y"), xml::attribute_i64(*extent, "cx"),
          xml::attribute_i64(*extent, "cy")};
}

// Bounds arithmetic wraps around on overflow, as two's-complement
// arithmetic does, instead of being undefined.
int64_t wrapping_add(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}
int64_t wrapping_sub(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}

}  // namespace

GroupShapeAddSummary add_group_shape(const std::string& input, const std::string& output, uint64_t slide_index,
                                     const ShapePlacement& placement) {
  const ShapeBuilder build = [](uint64_t id) { return NewShapes{group_shape_xml(id, 0, 0, 0, 0, {}), id}; };
  return shape_add_summary(output, slide_index, add_shapes_to_slide(input, output, slide_index, placement, build));
}

std::string group_existing_group_children_xml(std::string_view slide_xml, const GroupTarget& target,
                                              std::span<const uint64_t> child_indices, uint64_t id) {
  if (child_indices.empty()) throw_invalid_input("at least one group child is required");
  const TextRange container = group_target_bounds(slide_xml, target);
  const std::string_view group = slide_xml.substr(container.begin, container.end - container.begin);
  const std::vector<ShapeBlock> children = direct_group_children(group);

  std::vector<TextRange> taken;
  std::string selected;
  int64_t left = 0, top = 0, right = 0, bottom = 0;
  for (const uint64_t index : child_indices) {
    if (index >= children.size()) throw_invalid_input("group child index " + std::to_string(index) + " was not found");
    const TextRange range = children[index].range;
    if (std::ranges::find(taken, range) != taken.end()) {
      throw_invalid_input("group child index " + std::to_string(index) + " is given more than once");
    }
    const std::string_view block = group.substr(range.begin, range.end - range.begin);
    const Box box = child_box(block);
    const int64_t box_right = wrapping_add(box.x, box.cx), box_bottom = wrapping_add(box.y, box.cy);
    const bool first = taken.empty();
    left = first ? box.x : std::min(left, box.x);
    top = first ? box.y : std::min(top, box.y);
    right = first ? box_right : std::max(right, box_right);
    bottom = first ? box_bottom : std::max(bottom, box_bottom);
    selected += block;
    taken.push_back(range);
  }

  // The container without the selected children, the others in their order.
  std::ranges::sort(taken, {}, &TextRange::begin);
  std::string rebuilt;
  size_t kept_from = 0;
  for (const TextRange& range : taken) {
    rebuilt.append(group, kept_from, range.begin - kept_from);
    kept_from = range.end;
  }
  rebuilt.append(group, kept_from);

  const size_t at = rebuilt.rfind(kGroupEnd);
  if (at == std::string::npos) throw_invalid_input("group shape XML is missing </p:grpSp>");
  rebuilt.insert(at, group_shape_xml(id, left, top, wrapping_sub(right, left), wrapping_sub(bottom, top), selected));
  return xml::concat({slide_xml.substr(0, container.begin), rebuilt, slide_xml.substr(container.end)});
}

GroupShapeAddSummary group_existing_children(const std::string& input, const std::string& output,
                                             uint64_t slide_index, const GroupTarget& target,
                                             std::span<const uint64_t> child_indices) {
  return shape_add_summary(output, slide_index,
                           edit_slide_shapes(input, output, slide_index, [&](std::string_view slide_xml, uint64_t id) {
                             return PlacedShapes{
                                 group_existing_group_children_xml(slide_xml, target, child_indices, id), id};
                           }));
}

}  // namespace velmora::shapes
