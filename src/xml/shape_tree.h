// shape_tree.h - navigation of a slide's shape tree on its XML text.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "xml/event.h"

namespace velmora::xml {

/// The qualified names of shape elements, in their order of search.
inline constexpr std::string_view kShapeElementNames[] = {"p:sp", "p:pic", "p:graphicFrame", "p:grpSp", "p:cxnSp"};

/// True exactly for the local names "sp", "pic", "graphicFrame", "grpSp"
/// and "cxnSp".
bool is_shape_element_name(std::string_view local_name) noexcept;
/// The same rule as `is_shape_element_name`.
bool is_shape_tree_shape(std::string_view local_name) noexcept;

/// The largest `id` of the "<p:cNvPr" tags of the slide (the shape tree's
/// own included), read from the first `id="` in each tag as an unsigned
/// decimal number; ids that are not numbers do not count. 0 when there is
/// none. A tag without a closing ">" ends the scan.
uint64_t max_cnvpr_id(std::string_view slide_xml);

/// A shape element found by `find_next_shape_start`.
struct ShapeStart {
  size_t position = 0;    ///< offset of its "<"
  std::string_view name;  ///< one of kShapeElementNames
};

/// The earliest tag start (`find_tag_start`) at or after `from` of any of
/// the five shape element names.
std::optional<ShapeStart> find_next_shape_start(std::string_view xml, size_t from);

/// The top-level shape elements of a shape tree's content, each the text
/// from its "<" to the end of its closing tag, in document order. Members of
/// a group are part of the group's block; shapes inside an
/// "mc:AlternateContent" wrapper are left out. The scan stops at the first
/// shape element that is not closed. The blocks are views into `slide_xml`.
std::vector<std::string_view> extract_shape_blocks(std::string_view slide_xml);

/// For an element with local name "cNvPr": the unescaped value of its
/// attribute with local name "id", read as an unsigned decimal number
/// (optional "+"). Absent for other elements and for missing or invalid ids.
std::optional<uint64_t> extract_shape_id_from_event(std::string_view local_name, AttributeRange attributes);
inline std::optional<uint64_t> extract_shape_id_from_event(const Event& element) {
  return extract_shape_id_from_event(element.local_name(), element.attributes());
}

}  // namespace velmora::xml
