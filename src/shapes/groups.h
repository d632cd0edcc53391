// groups.h - group shapes on a slide: empty groups, grouping a group's children, and new shapes placed in groups.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "shapes/add_shape.h"
#include "shapes/group_targets.h"
#include "shapes/placement.h"
#include "shapes/summaries.h"

namespace velmora::shapes {

/// An empty group ("Group {n}", every transform value 0) at `placement`,
/// with the largest `p:cNvPr` id of the slide plus 1; the road and failures
/// of edit_slide_shapes and place_shapes.
GroupShapeAddSummary add_group_shape(const std::string& input, const std::string& output, uint64_t slide_index,
                                     const ShapePlacement& placement);

/// `slide_xml` with the direct children `child_indices` of the group
/// `target` (see GroupTarget) moved into a new group with id `id`, which
/// becomes the last child of `target`. The new group holds the children in
/// the order of `child_indices`, each with all its XML; its offset and extent
/// are the bounds of their transforms (the first `a:xfrm` of each child, or
/// its first `p:xfrm`, read from its `a:off` and `a:ext`, a missing or
/// non-numeric value as 0), and its child offset and extent repeat them, so
/// the children keep their coordinates. The other children keep their order;
/// no other transform changes.
/// Throws InvalidInput, in this order: "at least one group child is
/// required" for an empty list; the messages of group_target_bounds; then for
/// each index in order "group child index {} was not found", "group child
/// index {} is given more than once" (a child index may be named once only)
/// and "selected group child is missing transform"; last "group shape XML is
/// missing </p:grpSp>".
std::string group_existing_group_children_xml(std::string_view slide_xml, const GroupTarget& target,
                                              std::span<const uint64_t> child_indices, uint64_t id);

/// group_existing_group_children_xml on the slide at `slide_index`, the new
/// group taking the largest `p:cNvPr` id of the slide plus 1; the road and
/// failures of edit_slide_shapes.
GroupShapeAddSummary group_existing_children(const std::string& input, const std::string& output,
                                             uint64_t slide_index, const GroupTarget& target,
                                             std::span<const uint64_t> child_indices);

// The catalogue's operations: each is one of the operations above, or of
// add_shape.h, with its target.

inline GroupShapeAddSummary add_slide_group_shape(const std::string& input, const std::string& output,
                                                  uint64_t slide_index) {
  return add_group_shape(input, output, slide_index, ShapePlacement::shape_tree());
}
inline GroupShapeAddSummary add_slide_nested_group_shape(const std::string& input, const std::string& output,
                                                         uint64_t slide_index, uint64_t group_index) {
  return add_group_shape(input, output, slide_index, ShapePlacement::into(GroupTarget::group(group_index)));
}
inline GroupShapeAddSummary add_slide_group_shape_to_nested_group(const std::string& input,
                                                                  const std::string& output, uint64_t slide_index,
                                                                  uint64_t group_index, uint64_t nested_index) {
  return add_group_shape(input, output, slide_index,
                         ShapePlacement::into(GroupTarget::nested(group_index, nested_index)));
}
inline GroupShapeAddSummary add_slide_group_shape_to_deeper_nested_group(const std::string& input,
                                                                         const std::string& output,
                                                                         uint64_t slide_index, uint64_t group_index,
                                                                         uint64_t nested_index,
                                                                         uint64_t deeper_index) {
  return add_group_shape(input, output, slide_index,
                         ShapePlacement::into(GroupTarget::deeper(group_index, nested_index, deeper_index)));
}

inline GroupShapeAddSummary group_slide_existing_group_children(const std::string& input, const std::string& output,
                                                                uint64_t slide_index, uint64_t group_index,
                                                                std::span<const uint64_t> child_indices) {
  return group_existing_children(input, output, slide_index, GroupTarget::group(group_index), child_indices);
}
inline GroupShapeAddSummary group_slide_existing_nested_group_children(const std::string& input,
                                                                       const std::string& output,
                                                                       uint64_t slide_index, uint64_t group_index,
                                                                       uint64_t nested_index,
                                                                       std::span<const uint64_t> child_indices) {
  return group_existing_children(input, output, slide_index, GroupTarget::nested(group_index, nested_index),
                                 child_indices);
}
inline GroupShapeAddSummary group_slide_existing_deeper_nested_group_children(
    const std::string& input, const std::string& output, uint64_t slide_index, uint64_t group_index,
    uint64_t nested_index, uint64_t deeper_index, std::span<const uint64_t> child_indices) {
  return group_existing_children(input, output, slide_index,
                                 GroupTarget::deeper(group_index, nested_index, deeper_index), child_indices);
}

// Text boxes, auto shapes, connectors and freeforms in a group, in a group
// nested in it, in one nested a level further, or in a new group made for
// the shape inside a top-level group.

inline TextBoxAddSummary add_slide_group_text_box_with_text(const std::string& input, const std::string& output,
                                                            uint64_t slide_index, uint64_t group_index, uint64_t x,
                                                            uint64_t y, uint64_t cx, uint64_t cy,
                                                            std::string_view text) {
  return add_text_box(input, output, slide_index, ShapePlacement::into(GroupTarget::group(group_index)), x, y, cx, cy,
                      text);
}
inline TextBoxAddSummary add_slide_nested_group_text_box_with_text(const std::string& input,
                                                                   const std::string& output, uint64_t slide_index,
                                                                   uint64_t group_index, uint64_t nested_index,
                                                                   uint64_t x, uint64_t y, uint64_t cx, uint64_t cy,
                                                                   std::string_view text) {
  return add_text_box(input, output, slide_index, ShapePlacement::into(GroupTarget::nested(group_index, nested_index)),
                      x, y, cx, cy, text);
}
inline TextBoxAddSummary add_slide_deeper_nested_group_text_box_with_text(
    const std::string& input, const std::string& output, uint64_t slide_index, uint64_t group_index,
    uint64_t nested_index, uint64_t deeper_index, uint64_t x, uint64_t y, uint64_t cx, uint64_t cy,
    std::string_view text) {
  return add_text_box(input, output, slide_index,
                      ShapePlacement::into(GroupTarget::deeper(group_index, nested_index, deeper_index)), x, y, cx,
                      cy, text);
}
inline TextBoxAddSummary add_slide_nested_group_text_box_in_new_group_with_text(
    const std::string& input, const std::string& output, uint64_t slide_index, uint64_t group_index, uint64_t x,
    uint64_t y, uint64_t cx, uint64_t cy, std::string_view text) {
  return add_text_box(input, output, slide_index, ShapePlacement::in_new_group(group_index), x, y, cx, cy, text);
}

inline AutoShapeAddSummary add_slide_group_auto_shape_with_text(const std::string& input, const std::string& output,
                                                                uint64_t slide_index, uint64_t group_index,
                                                                std::string_view preset, uint64_t x, uint64_t y,
                                                                uint64_t cx, uint64_t cy, std::string_view text) {
  return add_auto_shape(input, output, slide_index, ShapePlacement::into(GroupTarget::group(group_index)), preset, x,
                        y, cx, cy, text, {});
}
inline AutoShapeAddSummary add_slide_nested_group_auto_shape_with_text(
    const std::string& input, const std::string& output, uint64_t slide_index, uint64_t group_index,
    uint64_t nested_index, std::string_view preset, uint64_t x, uint64_t y, uint64_t cx, uint64_t cy,
    std::string_view text) {
  return add_auto_shape(input, output, slide_index,
                        ShapePlacement::into(GroupTarget::nested(group_index, nested_index)), preset, x, y, cx, cy,
                        text, {});
}
inline AutoShapeAddSummary add_slide_deeper_nested_group_auto_shape_with_text(
    const std::string& input, const std::string& output, uint64_t slide_index, uint64_t group_index,
    uint64_t nested_index, uint64_t deeper_index, std::string_view preset, uint64_t x, uint64_t y, uint64_t cx,
    uint64_t cy, std::string_view text) {
  return add_auto_shape(input, output, slide_index,
                        ShapePlacement::into(GroupTarget::deeper(group_index, nested_index, deeper_index)), preset,
                        x, y, cx, cy, text, {});
}
inline AutoShapeAddSummary add_slide_nested_group_auto_shape_in_new_group_with_text(
    const std::string& input, const std::string& output, uint64_t slide_index, uint64_t group_index,
    std::string_view preset, uint64_t x, uint64_t y, uint64_t cx, uint64_t cy, std::string_view text) {
  return add_auto_shape(input, output, slide_index, ShapePlacement::in_new_group(group_index), preset, x, y, cx, cy,
                        text, {});
}

/// A connector in the group `group_index`, each end glued as connection_end says.
inline ConnectorAddSummary add_slide_group_connector_impl(
    const std::string& input, const std::string& output, uint64_t slide_index, uint64_t group_index,
    std::string_view preset, uint64_t begin_x, uint64_t begin_y, uint64_t end_x, uint64_t end_y,
    std::optional<uint64_t> begin_shape_id, std::optional<uint64_t> begin_site, std::optional<uint64_t> end_shape_id,
    std::optional<uint64_t> end_site) {
  return add_connector(input, output, slide_index, ShapePlacement::into(GroupTarget::group(group_index)), preset,
                       begin_x, begin_y, end_x, end_y, connection_end(begin_shape_id, begin_site),
                       connection_end(end_shape_id, end_site));
}
inline ConnectorAddSummary add_slide_nested_group_connector(const std::string& input, const std::string& output,
                                                            uint64_t slide_index, uint64_t group_index,
                                                            uint64_t nested_index, std::string_view preset,
                                                            uint64_t begin_x, uint64_t begin_y, uint64_t end_x,
                                                            uint64_t end_y) {
  return add_connector(input, output, slide_index, ShapePlacement::into(GroupTarget::nested(group_index, nested_index)),
                       preset, begin_x, begin_y, end_x, end_y, std::nullopt, std::nullopt);
}
inline ConnectorAddSummary add_slide_deeper_nested_group_connector(
    const std::string& input, const std::string& output, uint64_t slide_index, uint64_t group_index,
    uint64_t nested_index, uint64_t deeper_index, std::string_view preset, uint64_t begin_x, uint64_t begin_y,
    uint64_t end_x, uint64_t end_y) {
  return add_connector(input, output, slide_index,
                       ShapePlacement::into(GroupTarget::deeper(group_index, nested_index, deeper_index)), preset,
                       begin_x, begin_y, end_x, end_y, std::nullopt, std::nullopt);
}
inline ConnectorAddSummary add_slide_nested_group_connector_in_new_group(
    const std::string& input, const std::string& output, uint64_t slide_index, uint64_t group_index,
    std::string_view preset, uint64_t begin_x, uint64_t begin_y, uint64_t end_x, uint64_t end_y) {
  return add_connector(input, output, slide_index, ShapePlacement::in_new_group(group_index), preset, begin_x, begin_y,
                       end_x, end_y, std::nullopt, std::nullopt);
}
inline ConnectorAddSummary add_slide_connected_group_connector_with_auto_shapes(
    const std::string& input, const std::string& output, uint64_t slide_index, uint64_t group_index,
    const AutoShapeBox& begin, const AutoShapeBox& end, const ConnectorLine& connector, uint64_t begin_site,
    uint64_t end_site) {
  return add_connected_connector_with_auto_shapes(input, output, slide_index,
                                                  ShapePlacement::into(GroupTarget::group(group_index)), begin, end,
                                                  connector, begin_site, end_site);
}

inline FreeformShapeAddSummary add_slide_group_freeform_shape_with_text(
    const std::string& input, const std::string& output, uint64_t slide_index, uint64_t group_index, int64_t x,
    int64_t y, int64_t cx, int64_t cy, int64_t path_w, int64_t path_h,
    std::span<const FreeformPathOperation> operations, std::string_view text) {
  return add_freeform_shape(input, output, slide_index, ShapePlacement::into(GroupTarget::group(group_index)), x, y,
                            cx, cy, path_w, path_h, operations, text);
}
inline FreeformShapeAddSummary add_slide_nested_group_freeform_shape_with_text(
    const std::string& input, const std::string& output, uint64_t slide_index, uint64_t group_index,
    uint64_t nested_index, int64_t x, int64_t y, int64_t cx, int64_t cy, int64_t path_w, int64_t path_h,
    std::span<const FreeformPathOperation> operations, std::string_view text) {
  return add_freeform_shape(input, output, slide_index,
                            ShapePlacement::into(GroupTarget::nested(group_index, nested_index)), x, y, cx, cy, path_w,
                            path_h, operations, text);
}
inline FreeformShapeAddSummary add_slide_deeper_nested_group_freeform_shape_with_text(
    const std::string& input, const std::string& output, uint64_t slide_index, uint64_t group_index,
    uint64_t nested_index, uint64_t deeper_index, int64_t x, int64_t y, int64_t cx, int64_t cy, int64_t path_w,
    int64_t path_h, std::span<const FreeformPathOperation> operations, std::string_view text) {
  return add_freeform_shape(input, output, slide_index,
                            ShapePlacement::into(GroupTarget::deeper(group_index, nested_index, deeper_index)), x, y,
                            cx, cy, path_w, path_h, operations, text);
}
inline FreeformShapeAddSummary add_slide_nested_group_freeform_shape_in_new_group_with_text(
    const std::string& input, const std::string& output, uint64_t slide_index, uint64_t group_index, int64_t x,
    int64_t y, int64_t cx, int64_t cy, int64_t path_w, int64_t path_h,
    std::span<const FreeformPathOperation> operations, std::string_view text) {
  return add_freeform_shape(input, output, slide_index, ShapePlacement::in_new_group(group_index), x, y, cx, cy,
                            path_w, path_h, operations, text);
}

}  // namespace velmora::shapes
