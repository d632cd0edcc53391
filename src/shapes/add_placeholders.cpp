// add_placeholders.cpp - placeholder shapes added to a slide, the package rewritten and inspected.
#include "shapes/add_placeholders.h"

#include <utility>

#include "error.h"
#include "package/inspect.h"
#include "package/package.h"
#include "package/relationships.h"
#include "package/slide_list.h"
#include "shapes/placeholders.h"
#include "shapes/placement.h"
#include "xml/shape_tree.h"

namespace velmora::shapes {
namespace {

/// The slide text with every spec added in order, and the ids given.
struct AddedPlaceholders {
  std::string slide_xml;
  std::vector<uint64_t> shape_ids;
};

AddedPlaceholders add_placeholders(std::string slide_xml, const std::vector<PlaceholderShapeSpec>& specs) {
  AddedPlaceholders added{std::move(slide_xml), {}};
  uint64_t shape_id = xml::max_cnvpr_id(added.slide_xml);
  for (const PlaceholderShapeSpec& spec : specs) {
    shape_id = next_shape_id(shape_id);
    added.slide_xml = add_placeholder_shape_to_slide_xml(added.slide_xml, shape_id, spec);
    added.shape_ids.push_back(shape_id);
  }
  return added;
}

/// Writes the package with every entry re-encoded and the slide replaced,
/// then reads the package facts back from the written file.
package::PackageFacts write_and_inspect(const zip::Archive& input_package, const std::string& output,
                                        const std::string& slide_part, std::string slide_xml) {
  package::RewritePlan plan;
  plan.mode = package::RewriteMode::ReEncode;
  plan.replaced.emplace(slide_part, std::move(slide_xml));
  package::write_package_file(input_package, output, plan);
  const package::PackageManifest manifest = package::inspect_package(output);
  return {manifest.parts.size(), manifest.has_vba()};
}

/// The slide part at `slide_index`, or InvalidInput.
std::string require_slide_part(const zip::Archive& input_package, uint64_t slide_index) {
  std::optional<std::string> part = package::slide_part_at_index(input_package, slide_index);
  if (!part) throw_invalid_input("slide index " + std::to_string(slide_index) + " was not found");
  return std::move(*part);
}

/// The text of `slide_part`, or InvalidInput.
std::string require_slide_xml(const zip::Archive& input_package, const std::string& slide_part) {
  std::optional<std::string> xml = package::read_archive_text(input_package, slide_part);
  if (!xml) throw_invalid_input("slide part " + slide_part + " was not found");
  return std::move(*xml);
}

PlaceholderShapeBatchAddSummary add_to_slide(const zip::Archive& input_package, const std::string& output,
                                             uint64_t slide_index, std::string slide_part, std::string slide_xml,
                                             const std::vector<PlaceholderShapeSpec>& specs) {
  AddedPlaceholders added = add_placeholders(std::move(slide_xml), specs);
  const package::PackageFacts facts = write_and_inspect(input_package, output, slide_part, std::move(added.slide_xml));
  return {output, slide_index, std::move(slide_part), std::move(added.shape_ids), facts.part_count, facts.has_vba};
}

}  // namespace

void write_json(json::PrettyWriter& out, const PlaceholderShapeAddSummary& summary) {
  out.begin_object();
  out.field("path", summary.path);
  out.field("slide_index", summary.slide_index);
  out.field("slide_part", summary.slide_part);
  out.field("placeholder_type", summary.placeholder_type);
  out.field("placeholder_idx", summary.placeholder_idx);
  out.field("shape_id", summary.shape_id);
  out.field("part_count", summary.part_count);
  out.field("has_vba", summary.has_vba);
  out.end_object();
}

void write_json(json::PrettyWriter& out, const PlaceholderShapeBatchAddSummary& summary) {
  out.begin_object();
  out.field("path", summary.path);
  out.field("slide_index", summary.slide_index);
  out.field("slide_part", summary.slide_part);
  out.field("shape_ids", summary.shape_ids);
  out.field("part_count", summary.part_count);
  out.field("has_vba", summary.has_vba);
  out.end_object();
}

PlaceholderShapeAddSummary add_slide_placeholder_shape(const std::string& input, const std::string& output,
                                                       uint64_t slide_index, const PlaceholderShapeSpec& spec) {
  PlaceholderShapeBatchAddSummary batch = add_slide_placeholder_shapes(input, output, slide_index, {spec});
  return {std::move(batch.path), slide_index, std::move(batch.slide_part), spec.placeholder_type,
          spec.placeholder_idx, batch.shape_ids.front(), batch.part_count, batch.has_vba};
}

PlaceholderShapeBatchAddSummary add_slide_placeholder_shapes(const std::string& input, const std::string& output,
                                                             uint64_t slide_index,
                                                             const std::vector<PlaceholderShapeSpec>& specs) {
  if (specs.empty()) throw_invalid_input("at least one placeholder shape is required");
  package::prepare_output_parent(output);
  const zip::Archive input_package = package::open_package(input);
  std::string slide_part = require_slide_part(input_package, slide_index);
  std::string slide_xml = require_slide_xml(input_package, slide_part);
  return add_to_slide(input_package, output, slide_index, std::move(slide_part), std::move(slide_xml), specs);
}

PlaceholderShapeBatchAddSummary add_slide_layout_placeholders(const std::string& input, const std::string& output,
                                                              uint64_t slide_index, uint64_t layout_index) {
  package::prepare_output_parent(output);
  const zip::Archive input_package = package::open_package(input);
  std::string slide_part = require_slide_part(input_package, slide_index);
  const std::string layout_part = package::resolve_target(
      slide_part, package::slide_layout_target_at_index(input_package, layout_index));
  const std::optional<std::string> layout_xml = package::read_archive_text(input_package, layout_part);
  if (!layout_xml) throw_invalid_input("slide layout part " + layout_part + " was not found");
  const std::vector<PlaceholderShapeSpec> specs = placeholder_specs_from_layout_xml(*layout_xml);
  std::string slide_xml = require_slide_xml(input_package, slide_part);
  return add_to_slide(input_package, output, slide_index, std::move(slide_part), std::move(slide_xml), specs);
}

}  // namespace velmora::shapes
