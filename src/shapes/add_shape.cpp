// add_shape.cpp - adding text boxes, auto shapes, connectors and freeforms to a slide, at the top level or in a group.
#include "shapes/add_shape.h"

#include "shapes/presets.h"

namespace velmora::shapes {
namespace {

PresetShapeAddSummary preset_shape_add_summary(const std::string& output, uint64_t slide_index,
                                               std::string_view preset, SlideShapesResult result) {
  return {output, slide_index, std::move(result.slide_part), std::string(preset), result.shape_id,
          result.facts.part_count, result.facts.has_vba};
}

/// A builder of one shape that takes the first id.
template <class Build>
ShapeBuilder one_shape(Build build) {
  return [build](uint64_t id) { return NewShapes{build(id), id}; };
}

}  // namespace

ShapeAddSummary shape_add_summary(const std::string& output, uint64_t slide_index, SlideShapesResult result) {
  return {output, slide_index, std::move(result.slide_part), result.shape_id, result.facts.part_count,
          result.facts.has_vba};
}

TextBoxAddSummary add_text_box(const std::string& input, const std::string& output, uint64_t slide_index,
                               const ShapePlacement& placement, uint64_t x, uint64_t y, uint64_t cx, uint64_t cy,
                               std::optional<std::string_view> text) {
  return shape_add_summary(output, slide_index,
                           add_shapes_to_slide(input, output, slide_index, placement, one_shape([&](uint64_t id) {
                                                 return text_box_shape_xml(id, x, y, cx, cy, text);
                                               })));
}

AutoShapeAddSummary add_auto_shape(const std::string& input, const std::string& output, uint64_t slide_index,
                                   const ShapePlacement& placement, std::string_view preset, uint64_t x, uint64_t y,
                                   uint64_t cx, uint64_t cy, std::optional<std::string_view> text,
                                   std::span<const AdjustmentGuide> guides) {
  auto_shape_display_name(preset);
  return preset_shape_add_summary(
      output, slide_index, preset,
      add_shapes_to_slide(input, output, slide_index, placement, one_shape([&](uint64_t id) {
                            return auto_shape_xml(id, preset, x, y, cx, cy, text, guides);
                          })));
}

ConnectorAddSummary add_connector(const std::string& input, const std::string& output, uint64_t slide_index,
                                  const ShapePlacement& placement, std::string_view preset, uint64_t begin_x,
                                  uint64_t begin_y, uint64_t end_x, uint64_t end_y,
                                  std::optional<ConnectionEnd> start_connection,
                                  std::optional<ConnectionEnd> end_connection) {
  connector_preset_geometry(preset);
  return preset_shape_add_summary(
      output, slide_index, preset,
      add_shapes_to_slide(input, output, slide_index, placement, one_shape([&](uint64_t id) {
                            return connector_shape_xml(id, preset, begin_x, begin_y, end_x, end_y, start_connection,
                                                       end_connection);
                          })));
}

ConnectorAddSummary add_connected_connector_with_auto_shapes(const std::string& input, const std::string& output,
                                                             uint64_t slide_index, const ShapePlacement& placement,
                                                             const AutoShapeBox& begin, const AutoShapeBox& end,
                                                             const ConnectorLine& connector, uint64_t begin_site,
                                                             uint64_t end_site) {
  auto_shape_display_name(begin.preset);
  auto_shape_display_name(end.preset);
  connector_preset_geometry(connector.preset);
  const ShapeBuilder build = [&](uint64_t begin_id) {
    const uint64_t end_id = next_shape_id(begin_id), connector_id = next_shape_id(end_id);
    std::string xml = auto_shape_xml(begin_id, begin.preset, begin.x, begin.y, begin.cx, begin.cy, std::nullopt, {});
    xml += auto_shape_xml(end_id, end.preset, end.x, end.y, end.cx, end.cy, std::nullopt, {});
    xml += connector_shape_xml(connector_id, connector.preset, connector.begin_x, connector.begin_y,
                               connector.end_x, connector.end_y, ConnectionEnd{begin_id, begin_site},
                               ConnectionEnd{end_id, end_site});
    return NewShapes{std::move(xml), connector_id};
  };
  return preset_shape_add_summary(output, slide_index, connector.preset,
                                  add_shapes_to_slide(input, output, slide_index, placement, build));
}

FreeformShapeAddSummary add_freeform_shape(const std::string& input, const std::string& output, uint64_t slide_index,
                                           const ShapePlacement& placement, int64_t x, int64_t y, int64_t cx,
                                           int64_t cy, int64_t path_w, int64_t path_h,
                                           std::span<const FreeformPathOperation> operations,
                                           std::optional<std::string_view> text) {
  return shape_add_summary(output, slide_index,
                           add_shapes_to_slide(input, output, slide_index, placement, one_shape([&](uint64_t id) {
                                                 return freeform_shape_xml(id, x, y, cx, cy, path_w, path_h,
                                                                           operations, text);
                                               })));
}

TextBoxAddSummary add_slide_text_box_impl(const std::string& input, const std::string& output, uint64_t slide_index,
                                          uint64_t x, uint64_t y, uint64_t cx, uint64_t cy,
                                          std::optional<std::string_view> text) {
  return add_text_box(input, output, slide_index, ShapePlacement::shape_tree(), x, y, cx, cy, text);
}

AutoShapeAddSummary add_slide_auto_shape_impl(const std::string& input, const std::string& output,
                                              uint64_t slide_index, std::string_view preset, uint64_t x, uint64_t y,
                                              uint64_t cx, uint64_t cy, std::optional<std::string_view> text,
                                              std::span<const AdjustmentGuide> guides) {
  return add_auto_shape(input, output, slide_index, ShapePlacement::shape_tree(), preset, x, y, cx, cy, text, guides);
}

ConnectorAddSummary add_slide_connector(const std::string& input, const std::string& output, uint64_t slide_index,
                                        std::string_view preset, uint64_t begin_x, uint64_t begin_y, uint64_t end_x,
                                        uint64_t end_y) {
  return add_connector(input, output, slide_index, ShapePlacement::shape_tree(), preset, begin_x, begin_y, end_x,
                       end_y, std::nullopt, std::nullopt);
}

std::optional<ConnectionEnd> connection_end(std::optional<uint64_t> shape_id, std::optional<uint64_t> site_index) {
  if (!shape_id) return std::nullopt;
  return ConnectionEnd{*shape_id, site_index.value_or(0)};
}

ConnectorAddSummary add_slide_connected_connector(const std::string& input, const std::string& output,
                                                  uint64_t slide_index, std::string_view preset, uint64_t begin_x,
                                                  uint64_t begin_y, uint64_t end_x, uint64_t end_y,
                                                  std::optional<uint64_t> begin_shape_id,
                                                  std::optional<uint64_t> begin_site,
                                                  std::optional<uint64_t> end_shape_id,
                                                  std::optional<uint64_t> end_site) {
  return add_connector(input, output, slide_index, ShapePlacement::shape_tree(), preset, begin_x, begin_y, end_x,
                       end_y, connection_end(begin_shape_id, begin_site), connection_end(end_shape_id, end_site));
}

ConnectorAddSummary add_slide_connected_connector_with_auto_shapes(const std::string& input,
                                                                   const std::string& output, uint64_t slide_index,
                                                                   const AutoShapeBox& begin, const AutoShapeBox& end,
                                                                   const ConnectorLine& connector,
                                                                   uint64_t begin_site, uint64_t end_site) {
  return add_connected_connector_with_auto_shapes(input, output, slide_index, ShapePlacement::shape_tree(), begin,
                                                  end, connector, begin_site, end_site);
}

FreeformShapeAddSummary add_slide_freeform_shape_impl(const std::string& input, const std::string& output,
                                                      uint64_t slide_index, int64_t x, int64_t y, int64_t cx,
                                                      int64_t cy, int64_t path_w, int64_t path_h,
                                                      std::span<const FreeformPathOperation> operations,
                                                      std::optional<std::string_view> text) {
  return add_freeform_shape(input, output, slide_index, ShapePlacement::shape_tree(), x, y, cx, cy, path_w, path_h,
                            operations, text);
}

}  // namespace velmora::shapes
