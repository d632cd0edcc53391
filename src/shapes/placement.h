// placement.h - where new shapes go on a slide (the end of the shape tree, the end of a group, or a new group at the end of a group) and the common road of an operation that adds them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "package/package.h"
#include "shapes/group_targets.h"

namespace velmora::shapes {

/// Where new shapes are placed on a slide. New shapes always become the last
/// children of their container, so they are drawn on top of its others.
struct ShapePlacement {
  enum class Kind {
    ShapeTree,        ///< before the slide's last "</p:spTree>"
    Group,            ///< before the last "</p:grpSp>" of the group `group`
    NewGroupInGroup,  ///< inside a new empty group placed as Group would
  };

  Kind kind = Kind::ShapeTree;
  GroupTarget group;  ///< Group and NewGroupInGroup only

  static ShapePlacement shape_tree() { return {}; }
  static ShapePlacement into(const GroupTarget& target) { return {Kind::Group, target}; }
  /// A new group holding the new shapes, added to the top-level group `group_index`.
  static ShapePlacement in_new_group(uint64_t group_index) {
    return {Kind::NewGroupInGroup, GroupTarget::group(group_index)};
  }
};

/// The shape id after `id`. Throws InvalidInput "no shape id is left after
/// {id}" when `id` is the largest 64-bit value: wrapping round to 0 would
/// give new shapes the ids of shapes already on the slide.
uint64_t next_shape_id(uint64_t id);

/// The XML of new shapes, and the id that the operation reports for them.
struct NewShapes {
  std::string xml;
  uint64_t shape_id = 0;
};

/// Builds the XML of new shapes numbered from `first_id` on.
using ShapeBuilder = std::function<NewShapes(uint64_t first_id)>;

/// A group element ("Group {n}", n the id minus 1, 0 for id 0) with offset
/// (x, y) and extent (cx, cy), whose child offset and extent repeat them so
/// its children keep their coordinates, holding `children`.
std::string group_shape_xml(uint64_t id, int64_t x, int64_t y, int64_t cx, int64_t cy, std::string_view children);

/// A slide's XML after an edit that added shapes, and the id to report.
struct PlacedShapes {
  std::string slide_xml;
  uint64_t shape_id = 0;
};

/// `slide_xml` with the shapes of `build` placed. The place is checked
/// before anything is built: InvalidInput "slide XML is missing </p:spTree>"
/// for the shape tree, the messages of group_insertion_point for a group.
/// The shapes are numbered from `first_id`; in a new group, the group takes
/// `first_id` and the shapes are numbered from `first_id` + 1. The errors of
/// `build` pass through.
PlacedShapes place_shapes(std::string_view slide_xml, const ShapePlacement& placement, uint64_t first_id,
                          const ShapeBuilder& build);

/// A slide edit that adds shapes: given the slide's XML and the first free
/// shape id, the new XML and the id to report.
using SlideShapesEdit = std::function<PlacedShapes(std::string_view slide_xml, uint64_t first_id)>;

/// What the common road hands back.
struct SlideShapesResult {
  std::string slide_part;
  uint64_t shape_id = 0;
  package::PackageFacts facts;
};

/// The common road of an operation that adds shapes to one slide: creates
/// the output's parent directory, opens the input, reads the slide at
/// `slide_index`, runs `edit` with the largest `p:cNvPr` id of the slide
/// plus 1, and writes the output with only that slide part replaced (every
/// other entry copied raw). Every failure before the write leaves no output
/// file. Throws the errors of package::open_slide_edit and of `edit`.
SlideShapesResult edit_slide_shapes(const std::string& input, const std::string& output, uint64_t slide_index,
                                    const SlideShapesEdit& edit);

/// edit_slide_shapes with place_shapes.
SlideShapesResult add_shapes_to_slide(const std::string& input, const std::string& output, uint64_t slide_index,
                                      const ShapePlacement& placement, const ShapeBuilder& build);

}  // namespace velmora::shapes
