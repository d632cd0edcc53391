// add_placeholders.h - adding placeholder shapes to a slide of a package:
// one from its attributes, several from specs, or those of a slide layout.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "json/pretty_writer.h"
#include "shapes/placeholder_spec.h"

namespace velmora::shapes {

struct PlaceholderShapeAddSummary {
  std::string path;  ///< the output path
  uint64_t slide_index = 0;
  std::string slide_part;
  std::optional<std::string> placeholder_type;  ///< the argument unchanged
  std::optional<std::string> placeholder_idx;   ///< the argument unchanged
  uint64_t shape_id = 0;
  uint64_t part_count = 0;
  bool has_vba = false;
};

struct PlaceholderShapeBatchAddSummary {
  std::string path;
  uint64_t slide_index = 0;
  std::string slide_part;
  std::vector<uint64_t> shape_ids;  ///< in the order the shapes were added
  uint64_t part_count = 0;
  bool has_vba = false;
};

void write_json(json::PrettyWriter& out, const PlaceholderShapeAddSummary& summary);
void write_json(json::PrettyWriter& out, const PlaceholderShapeBatchAddSummary& summary);

/// Adds one placeholder shape, with id one more than the slide's largest
/// `p:cNvPr` id, to the slide at `slide_index`. The package is written with
/// every entry re-encoded and the slide replaced; `part_count` and `has_vba`
/// come from inspecting the written output. Throws InvalidInput "slide index
/// {} was not found", "slide part {} was not found", "slide XML is missing
/// </p:spTree>", and the Io and Zip failures of reading and writing.
PlaceholderShapeAddSummary add_slide_placeholder_shape(const std::string& input, const std::string& output,
                                                       uint64_t slide_index, const PlaceholderShapeSpec& spec);

/// Adds the placeholders of `specs` in order, with consecutive ids, each
/// named apart from every shape already on the slide and those added before
/// it. An empty list throws InvalidInput "at least one placeholder shape is
/// required" before anything is touched; otherwise as
/// add_slide_placeholder_shape.
PlaceholderShapeBatchAddSummary add_slide_placeholder_shapes(const std::string& input, const std::string& output,
                                                             uint64_t slide_index,
                                                             const std::vector<PlaceholderShapeSpec>& specs);

/// Adds a placeholder for every eligible placeholder of the layout at
/// `layout_index` among all slide layout parts in natural order (not the
/// slide's own layout). A layout without eligible placeholders adds nothing
/// and the package is still written. Beyond the slide errors, throws
/// XmlTextDecode "slide layout index {} was not found" and InvalidInput
/// "slide layout part {} was not found".
PlaceholderShapeBatchAddSummary add_slide_layout_placeholders(const std::string& input, const std::string& output,
                                                              uint64_t slide_index, uint64_t layout_index);

}  // namespace velmora::shapes
