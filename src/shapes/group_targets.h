// group_targets.h - addressing the groups of a slide's shape tree: a top-level group, a group nested in it, or one nested a level further.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace velmora::shapes {

/// The bytes [begin, end) of a text.
struct TextRange {
  size_t begin = 0;
  size_t end = 0;

  bool operator==(const TextRange&) const = default;
};

/// One shape element of a text: from its "<" to the end of its closing tag,
/// and its qualified name ("p:sp", "p:grpSp", ...).
struct ShapeBlock {
  TextRange range;
  std::string_view name;
};

/// A group of a slide addressed by zero-based indices. `group_index` counts
/// the top-level `p:grpSp` shapes of the slide in document order, other
/// shape kinds left out; a group inside an "mc:AlternateContent" wrapper
/// counts too. A nested group is the direct child `nested_group_child_index`
/// of that group (all five shape kinds count among the children) and must be
/// a group itself; a deeper nested group is the direct child
/// `deeper_group_child_index` of the nested group, likewise.
struct GroupTarget {
  enum class Level { Group, NestedGroup, DeeperNestedGroup };

  Level level = Level::Group;
  uint64_t group_index = 0;
  uint64_t nested_group_child_index = 0;  ///< NestedGroup and DeeperNestedGroup only
  uint64_t deeper_group_child_index = 0;  ///< DeeperNestedGroup only

  static GroupTarget group(uint64_t group_index) { return {Level::Group, group_index, 0, 0}; }
  static GroupTarget nested(uint64_t group_index, uint64_t nested_group_child_index) {
    return {Level::NestedGroup, group_index, nested_group_child_index, 0};
  }
  static GroupTarget deeper(uint64_t group_index, uint64_t nested_group_child_index,
                            uint64_t deeper_group_child_index) {
    return {Level::DeeperNestedGroup, group_index, nested_group_child_index, deeper_group_child_index};
  }
};

/// The `group_index`-th top-level `p:grpSp` block of the slide. The shape
/// elements are visited in document order, each from the end of the one
/// before, so the members of a group are skipped with it; the scan stops at
/// an element that is not closed. Absent when there are too few groups.
std::optional<TextRange> top_level_group_bounds(std::string_view slide_xml, uint64_t group_index);

/// The direct children of a group block, in document order: the shape
/// elements that start after the end of the group's own `p:grpSpPr` and end
/// before its last "</p:grpSp>", visited as above. None when the group's own
/// `p:grpSpPr` is self-closing or missing. Ranges are in `group_xml`.
std::vector<ShapeBlock> direct_group_children(std::string_view group_xml);

/// The direct child `index` of a group block (see direct_group_children).
std::optional<ShapeBlock> direct_group_child_bounds(std::string_view group_xml, uint64_t index);

/// The range in the slide of the nested group child `nested_group_child_index`
/// of the top-level group `group_index`. Throws InvalidInput "group shape
/// index {} was not found", "nested group child index {} was not found" or
/// "nested group child index {} is not a group shape".
TextRange nested_group_child_bounds(std::string_view slide_xml, uint64_t group_index,
                                    uint64_t nested_group_child_index);

/// The range in the slide of the group `target` addresses. Throws the
/// messages of nested_group_child_bounds, and for a deeper nested group
/// "deeper nested group child index {} was not found" or "deeper nested group
/// child index {} is not a group shape".
TextRange group_target_bounds(std::string_view slide_xml, const GroupTarget& target);

/// Where a new last child of the target group goes: the position in the
/// slide of the last "</p:grpSp>" inside the group's block. Throws as
/// group_target_bounds, and "group shape XML is missing </p:grpSp>" ("nested
/// group shape ..." and "deeper nested group shape ..." for the two deeper
/// levels) when the block has no such marker.
size_t group_insertion_point(std::string_view slide_xml, const GroupTarget& target);

}  // namespace velmora::shapes
