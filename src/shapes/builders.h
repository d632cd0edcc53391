// builders.h - XML text of new shapes: text boxes, auto shapes, connectors and freeforms.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "shapes/freeform_path.h"

namespace velmora::shapes {

/// An adjustment guide of a preset geometry: its name ("adj", "adj1", ...)
/// and its value.
using AdjustmentGuide = std::pair<std::string, int64_t>;

/// The glued end of a connector: the id of the shape it is attached to and
/// the index of that shape's connection site.
struct ConnectionEnd {
  uint64_t shape_id = 0;
  uint64_t site_index = 0;
};

// The builders below return one complete `p:sp` or `p:cxnSp` element, ready
// to be spliced into a shape tree or a group. Each new shape is named after
// its kind and its display number, the id minus 1 (0 for id 0): "TextBox 1"
// for id 2. Offsets and extents are EMU. Optional `text` becomes one plain
// paragraph per line (replacement_paragraphs_xml); without it each builder
// writes its own empty paragraph. Names and presets are written as given,
// without escaping; guide names are escaped.

/// A text box ("TextBox {n}"): a rectangle without fill whose text does not
/// wrap and whose box grows with it; "<a:p/>" without text.
std::string text_box_shape_xml(uint64_t id, uint64_t x, uint64_t y, uint64_t cx, uint64_t cy,
                               std::optional<std::string_view> text);

/// An auto shape with preset geometry `preset`, named "{display name} {n}"
/// (auto_shape_display_name), with the theme's accent style, its guides in
/// `a:avLst` and its text centred; a centred empty paragraph without text.
/// Throws VelmoraError(InvalidInput) "unsupported auto shape preset
/// geometry: {preset}" before anything else is built.
std::string auto_shape_xml(uint64_t id, std::string_view preset, uint64_t x, uint64_t y, uint64_t cx, uint64_t cy,
                           std::optional<std::string_view> text, std::span<const AdjustmentGuide> guides);

/// Concatenated "<a:gd name=\"{name}\" fmla=\"val {value}\"/>", one per
/// guide in order, the name escaped (`xml_attr`); empty for no guides.
std::string adjustment_guides_xml(std::span<const AdjustmentGuide> guides);

/// "Connector" for the accepted connector presets "line", "bentConnector3"
/// and "curvedConnector3". Throws VelmoraError(InvalidInput) "unsupported
/// connector preset geometry: {preset}" for any other text.
std::string_view connector_preset_geometry(std::string_view preset);

/// A connector ("Connector {n}") from (begin_x, begin_y) to (end_x, end_y).
/// Its box spans the two points; it is flipped horizontally when the end
/// lies left of the begin and vertically when it lies above. Each end may be
/// glued to a connection site of another shape. Throws as
/// connector_preset_geometry.
std::string connector_shape_xml(uint64_t id, std::string_view preset, uint64_t begin_x, uint64_t begin_y,
                                uint64_t end_x, uint64_t end_y, std::optional<ConnectionEnd> start_connection,
                                std::optional<ConnectionEnd> end_connection);

/// A freeform ("Freeform {n}") whose outline is one path of `path_w` by
/// `path_h` units drawn by `operations` in order (not checked for sense: a
/// path may begin with a line or close several times), with the auto
/// shapes' style and centred text. Offsets may be negative.
/// Throws VelmoraError(InvalidInput) "freeform shape requires at least one
/// path operation" when `operations` is empty.
std::string freeform_shape_xml(uint64_t id, int64_t x, int64_t y, int64_t cx, int64_t cy, int64_t path_w,
                               int64_t path_h, std::span<const FreeformPathOperation> operations,
                               std::optional<std::string_view> text);

}  // namespace velmora::shapes
