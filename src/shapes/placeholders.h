// placeholders.h - XML text of placeholder shapes: new ones from a spec, and
// the placeholders of a slide layout.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shapes/placeholder_spec.h"
#include "zip/reader.h"

namespace velmora::shapes {

/// The `p:ph` attributes in the order type, orient, sz, idx, each written
/// ` name="{value}"` with the value escaped (`xml_attr`). An attribute is
/// left out when its value is absent, empty or the schema default ("obj",
/// "horz", "full", "0" in that order).
std::string placeholder_attributes_xml(const PlaceholderShapeSpec& spec);

/// The name stem of a placeholder of `type` ("Title", "Text Placeholder",
/// ...; "Content Placeholder" for an absent or unknown type), with
/// "Vertical " in front when `orient` is exactly "vert".
std::string placeholder_base_name(std::optional<std::string_view> type, std::optional<std::string_view> orient);

/// `slide_xml` with a new placeholder `p:sp` of id `shape_id` inserted before
/// its last "</p:spTree>". The shape is named "{base} {n}", where n starts at
/// `shape_id` - 1 (0 for id 0) and goes up while a `p:cNvPr` of the slide
/// already carries that exact name. Throws InvalidInput "slide XML is missing
/// </p:spTree>".
std::string add_placeholder_shape_to_slide_xml(std::string_view slide_xml, uint64_t shape_id,
                                               const PlaceholderShapeSpec& spec);

/// The raw (not unescaped) type, orient, sz and idx of the `p:ph` of every
/// "<p:sp>" ... "</p:sp>" block of a layout, in order. Blocks without a
/// `p:ph` and date, footer and slide-number placeholders are skipped. Only
/// the literal start tag "<p:sp>" opens a block.
std::vector<PlaceholderShapeSpec> placeholder_specs_from_layout_xml(std::string_view layout_xml);

/// The "<p:sp>" ... "</p:sp>" blocks of a layout that hold a `p:ph` and are
/// not date, footer or slide-number placeholders, each with its `p:spPr`
/// emptied to "<p:spPr/>" and its `p:txBody` reduced to one empty paragraph.
/// Ids and names stay as in the layout.
std::vector<std::string> extract_placeholder_shape_blocks(std::string_view layout_xml);

/// The kept placeholder blocks of the layout that `layout_target` (written in
/// the relationship part of `slide_part`) refers to, concatenated; empty text
/// when the package has no such part. Throws Io when the layout cannot be
/// read or is not UTF-8.
std::string placeholder_shapes_from_layout(const zip::Archive& package, std::string_view slide_part,
                                           std::string_view layout_target);

}  // namespace velmora::shapes
