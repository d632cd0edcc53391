// add_shape.h - adding text boxes, auto shapes, connectors and freeforms to a slide, at the top level or in a group.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "shapes/builders.h"
#include "shapes/placement.h"
#include "shapes/summaries.h"

namespace velmora::shapes {

// Every operation here reads the input package, adds its shapes to the slide
// at `slide_index` (presentation order) at `placement`, and writes the output
// with only that slide part replaced; see edit_slide_shapes for the road and
// its failures, place_shapes for the placement's. The new shape takes the
// largest `p:cNvPr` id of the slide plus 1 (plus 2 in a new group, which
// takes the id before it). Preset names are checked first, before the
// output's directory is created; the builders' other checks (an empty
// freeform path) run once the slide has been read and the place found, and
// still before any output file exists.

/// A text box (text_box_shape_xml).
TextBoxAddSummary add_text_box(const std::string& input, const std::string& output, uint64_t slide_index,
                               const ShapePlacement& placement, uint64_t x, uint64_t y, uint64_t cx, uint64_t cy,
                               std::optional<std::string_view> text);

/// An auto shape (auto_shape_xml). Throws InvalidInput "unsupported auto
/// shape preset geometry: {preset}" before touching the file system.
AutoShapeAddSummary add_auto_shape(const std::string& input, const std::string& output, uint64_t slide_index,
                                   const ShapePlacement& placement, std::string_view preset, uint64_t x, uint64_t y,
                                   uint64_t cx, uint64_t cy, std::optional<std::string_view> text,
                                   std::span<const AdjustmentGuide> guides);

/// A connector (connector_shape_xml), each end free or glued. Throws
/// InvalidInput "unsupported connector preset geometry: {preset}" before
/// touching the file system.
ConnectorAddSummary add_connector(const std::string& input, const std::string& output, uint64_t slide_index,
                                  const ShapePlacement& placement, std::string_view preset, uint64_t begin_x,
                                  uint64_t begin_y, uint64_t end_x, uint64_t end_y,
                                  std::optional<ConnectionEnd> start_connection,
                                  std::optional<ConnectionEnd> end_connection);

/// The preset and box of an auto shape.
struct AutoShapeBox {
  std::string_view preset;
  uint64_t x = 0, y = 0, cx = 0, cy = 0;
};

/// The preset and end points of a connector.
struct ConnectorLine {
  std::string_view preset;
  uint64_t begin_x = 0, begin_y = 0, end_x = 0, end_y = 0;
};

/// Two auto shapes, `begin` (id n) and `end` (id n + 1), and a connector
/// (id n + 2) whose start is glued to site `begin_site` of the first and
/// whose end to site `end_site` of the second, inserted in that order so the
/// connector is drawn on top. Reports the connector's preset and id. The
/// presets are checked in the order begin, end, connector, before touching
/// the file system.
ConnectorAddSummary add_connected_connector_with_auto_shapes(const std::string& input, const std::string& output,
                                                             uint64_t slide_index, const ShapePlacement& placement,
                                                             const AutoShapeBox& begin, const AutoShapeBox& end,
                                                             const ConnectorLine& connector, uint64_t begin_site,
                                                             uint64_t end_site);

/// A freeform (freeform_shape_xml). Throws InvalidInput "freeform shape
/// requires at least one path operation" for an empty path, once the slide
/// has been read and the place found.
FreeformShapeAddSummary add_freeform_shape(const std::string& input, const std::string& output, uint64_t slide_index,
                                           const ShapePlacement& placement, int64_t x, int64_t y, int64_t cx,
                                           int64_t cy, int64_t path_w, int64_t path_h,
                                           std::span<const FreeformPathOperation> operations,
                                           std::optional<std::string_view> text);

/// The record of an operation that added one shape.
ShapeAddSummary shape_add_summary(const std::string& output, uint64_t slide_index, SlideShapesResult result);

// The operations at the top of the shape tree.

/// A text box as the last shape of the slide.
TextBoxAddSummary add_slide_text_box_impl(const std::string& input, const std::string& output, uint64_t slide_index,
                                          uint64_t x, uint64_t y, uint64_t cx, uint64_t cy,
                                          std::optional<std::string_view> text);

/// An auto shape as the last shape of the slide.
AutoShapeAddSummary add_slide_auto_shape_impl(const std::string& input, const std::string& output,
                                              uint64_t slide_index, std::string_view preset, uint64_t x, uint64_t y,
                                              uint64_t cx, uint64_t cy, std::optional<std::string_view> text,
                                              std::span<const AdjustmentGuide> guides);

/// A connector with both ends free as the last shape of the slide.
ConnectorAddSummary add_slide_connector(const std::string& input, const std::string& output, uint64_t slide_index,
                                        std::string_view preset, uint64_t begin_x, uint64_t begin_y, uint64_t end_x,
                                        uint64_t end_y);

/// The glued end of a connector as callers give it: glued when the shape id
/// is given, at the given site or site 0; a site without a shape id is
/// ignored.
std::optional<ConnectionEnd> connection_end(std::optional<uint64_t> shape_id, std::optional<uint64_t> site_index);

/// A connector as the last shape of the slide, each end glued as
/// connection_end says.
ConnectorAddSummary add_slide_connected_connector(const std::string& input, const std::string& output,
                                                  uint64_t slide_index, std::string_view preset, uint64_t begin_x,
                                                  uint64_t begin_y, uint64_t end_x, uint64_t end_y,
                                                  std::optional<uint64_t> begin_shape_id,
                                                  std::optional<uint64_t> begin_site,
                                                  std::optional<uint64_t> end_shape_id,
                                                  std::optional<uint64_t> end_site);

/// add_connected_connector_with_auto_shapes at the top of the shape tree.
ConnectorAddSummary add_slide_connected_connector_with_auto_shapes(const std::string& input,
                                                                   const std::string& output, uint64_t slide_index,
                                                                   const AutoShapeBox& begin, const AutoShapeBox& end,
                                                                   const ConnectorLine& connector,
                                                                   uint64_t begin_site, uint64_t end_site);

/// A freeform as the last shape of the slide.
FreeformShapeAddSummary add_slide_freeform_shape_impl(const std::string& input, const std::string& output,
                                                      uint64_t slide_index, int64_t x, int64_t y, int64_t cx,
                                                      int64_t cy, int64_t path_w, int64_t path_h,
                                                      std::span<const FreeformPathOperation> operations,
                                                      std::optional<std::string_view> text);

}  // namespace velmora::shapes
