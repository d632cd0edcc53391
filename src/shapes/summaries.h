// summaries.h - the result records of the operations that add shapes and groups to a slide.
#pragma once

#include <cstdint>
#include <string>

#include "json/pretty_writer.h"

namespace velmora::shapes {

/// What an operation that added one shape (or group) reports.
struct ShapeAddSummary {
  std::string path;        ///< the output path as passed
  uint64_t slide_index = 0;
  std::string slide_part;  ///< the slide part that was edited
  uint64_t shape_id = 0;   ///< the id of the new shape
  uint64_t part_count = 0; ///< entries written
  bool has_vba = false;
};

/// The same with the preset geometry as passed: for the operation that adds
/// two auto shapes and a connector, the connector's preset and id.
struct PresetShapeAddSummary {
  std::string path;
  uint64_t slide_index = 0;
  std::string slide_part;
  std::string preset_geometry;
  uint64_t shape_id = 0;
  uint64_t part_count = 0;
  bool has_vba = false;
};

using TextBoxAddSummary = ShapeAddSummary;
using FreeformShapeAddSummary = ShapeAddSummary;
using GroupShapeAddSummary = ShapeAddSummary;
using AutoShapeAddSummary = PresetShapeAddSummary;
using ConnectorAddSummary = PresetShapeAddSummary;

void write_json(json::PrettyWriter& out, const ShapeAddSummary& summary);
void write_json(json::PrettyWriter& out, const PresetShapeAddSummary& summary);

}  // namespace velmora::shapes
