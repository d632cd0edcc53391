// summaries.cpp - the result records of the operations that add shapes and groups to a slide.
#include "shapes/summaries.h"

namespace velmora::shapes {

void write_json(json::PrettyWriter& out, const ShapeAddSummary& summary) {
  out.begin_object();
  out.field("path", summary.path);
  out.field("slide_index", summary.slide_index);
  out.field("slide_part", summary.slide_part);
  out.field("shape_id", summary.shape_id);
  out.field("part_count", summary.part_count);
  out.field("has_vba", summary.has_vba);
  out.end_object();
}

void write_json(json::PrettyWriter& out, const PresetShapeAddSummary& summary) {
  out.begin_object();
  out.field("path", summary.path);
  out.field("slide_index", summary.slide_index);
  out.field("slide_part", summary.slide_part);
  out.field("preset_geometry", summary.preset_geometry);
  out.field("shape_id", summary.shape_id);
  out.field("part_count", summary.part_count);
  out.field("has_vba", summary.has_vba);
  out.end_object();
}

}  // namespace velmora::shapes
