// group_targets.cpp - addressing the groups of a slide's shape tree.
#include "shapes/group_targets.h"

#include <string>

#include "error.h"
#include "xml/concat.h"
#include "xml/shape_tree.h"
#include "xml/text_search.h"

namespace velmora::shapes {
namespace {

constexpr std::string_view kGroup = "p:grpSp";
constexpr std::string_view kGroupEnd = "</p:grpSp>";
constexpr std::string_view kGroupProperties = "p:grpSpPr";
constexpr std::string_view kGroupPropertiesEnd = "</p:grpSpPr>";

/// Calls `visit` with each shape block of `xml` from `from` on, each found
/// after the end of the one before; stops at a block that is not closed or
/// when `visit` returns false.
template <class Visit>
void for_each_shape_block(std::string_view xml, size_t from, Visit visit) {
  while (const std::optional<xml::ShapeStart> start = xml::find_next_shape_start(xml, from)) {
    const xml::ElementEnd end = xml::find_element_end(xml, start->position, start->name);
    if (!end.closed || !visit(ShapeBlock{{start->position, end.end}, start->name})) return;
    from = end.end;
  }
}

std::string_view part(std::string_view text, TextRange range) {
  return text.substr(range.begin, range.end - range.begin);
}

TextRange shifted(TextRange range, size_t by) { return {range.begin + by, range.end + by}; }

/// The child `index` of the group at `group` in the slide, which must be a
/// group too; `label` names the level in the messages.
TextRange child_group_bounds(std::string_view slide_xml, TextRange group, uint64_t index, std::string_view label) {
  const std::optional<ShapeBlock> child = direct_group_child_bounds(part(slide_xml, group), index);
  const std::string number = std::to_string(index);
  if (!child) throw_invalid_input(xml::concat({label, " child index ", number, " was not found"}));
  if (child->name != kGroup) throw_invalid_input(xml::concat({label, " child index ", number, " is not a group shape"}));
  return shifted(child->range, group.begin);
}

std::string_view level_label(GroupTarget::Level level) {
  switch (level) {
    case GroupTarget::Level::Group:
      return "group shape";
    case GroupTarget::Level::NestedGroup:
      return "nested group shape";
    case GroupTarget::Level::DeeperNestedGroup:
      return "deeper nested group shape";
  }
  return "group shape";
}

}  // namespace

std::optional<TextRange> top_level_group_bounds(std::string_view slide_xml, uint64_t group_index) {
  std::optional<TextRange> found;
  uint64_t groups = 0;
  for_each_shape_block(slide_xml, 0, [&](const ShapeBlock& block) {
    if (block.name != kGroup) return true;
    if (groups++ == group_index) found = block.range;
    return !found;
  });
  return found;
}

std::vector<ShapeBlock> direct_group_children(std::string_view group_xml) {
  std::vector<ShapeBlock> children;
  // The children follow the group's own properties, which come before its
  // first child. When those are self-closing the group has no children: the
  // properties of a child group must not stand in for them, or a grandchild
  // would be taken for a child.
  const std::optional<size_t> properties = xml::find_tag_start(group_xml, 1, kGroupProperties);
  const std::optional<xml::ShapeStart> first_shape = xml::find_next_shape_start(group_xml, 1);
  if (!properties || (first_shape && first_shape->position < *properties)) return children;
  const size_t properties_tag_end = group_xml.find('>', *properties);
  if (properties_tag_end == std::string_view::npos || group_xml[properties_tag_end - 1] == '/') return children;
  const size_t properties_end = group_xml.find(kGroupPropertiesEnd, properties_tag_end);
  const size_t group_end = group_xml.rfind(kGroupEnd);
  if (properties_end == std::string_view::npos || group_end == std::string_view::npos) return children;
  // Limiting the text to the group's last closing tag keeps every child inside it.
  for_each_shape_block(group_xml.substr(0, group_end), properties_end + kGroupPropertiesEnd.size(),
                       [&](const ShapeBlock& block) {
                         children.push_back(block);
                         return true;
                       });
  return children;
}

std::optional<ShapeBlock> direct_group_child_bounds(std::string_view group_xml, uint64_t index) {
  std::vector<ShapeBlock> children = direct_group_children(group_xml);
  if (index >= children.size()) return std::nullopt;
  return children[index];
}

TextRange nested_group_child_bounds(std::string_view slide_xml, uint64_t group_index,
                                    uint64_t nested_group_child_index) {
  return group_target_bounds(slide_xml, GroupTarget::nested(group_index, nested_group_child_index));
}

TextRange group_target_bounds(std::string_view slide_xml, const GroupTarget& target) {
  const std::optional<TextRange> group = top_level_group_bounds(slide_xml, target.group_index);
  if (!group) throw_invalid_input("group shape index " + std::to_string(target.group_index) + " was not found");
  if (target.level == GroupTarget::Level::Group) return *group;
  const TextRange nested = child_group_bounds(slide_xml, *group, target.nested_group_child_index, "nested group");
  if (target.level == GroupTarget::Level::NestedGroup) return nested;
  return child_group_bounds(slide_xml, nested, target.deeper_group_child_index, "deeper nested group");
}

size_t group_insertion_point(std::string_view slide_xml, const GroupTarget& target) {
  const TextRange group = group_target_bounds(slide_xml, target);
  const size_t end = part(slide_xml, group).rfind(kGroupEnd);
  if (end == std::string_view::npos) {
    throw_invalid_input(xml::concat({level_label(target.level), " XML is missing </p:grpSp>"}));
  }
  return group.begin + end;
}

}  // namespace velmora::shapes
