// presentation.cpp - read-only summaries of a presentation package and of its slides.
#include "summary/presentation.h"

#include "error.h"
#include "package/package.h"
#include "package/slide_list.h"
#include "summary/shape_extract.h"
#include "summary/slide_text.h"
#include "summary/tables.h"
#include "xml/concat.h"
#include "xml/text_search.h"

namespace velmora::summary {
namespace {

// Opening every entry checks it as well as reading its name.
bool has_vba_project(const zip::Archive& package) {
  bool found = false;
  for (size_t index = 0; index < package.size(); ++index) {
    package.check_open(index);
    found = found || package::is_vba_name(package.entry(index).name);
  }
  return found;
}

}  // namespace

std::vector<std::string> read_notes(const zip::Archive& package, std::string_view slide_part,
                                    const std::vector<package::RelationshipSummary>& relationships) {
  const std::vector<package::RelationshipSummary> notes = package::relationships_by_type(relationships, {"/notesSlide"});
  if (notes.empty()) return {};
  const std::optional<size_t> index = package.index_of(package::resolve_target(slide_part, notes.front().target));
  if (!index) return {};
  try {
    package.check_open(*index);
  } catch (const VelmoraError&) {
    return {};  // notes that cannot be opened are left out
  }
  return extract_text_runs(package.read_all(*index));
}

SlideSummary summarize_slide(const zip::Archive& package, const std::string& slide_part) {
  const std::string slide = package::read_required_part(package, slide_part);
  SlideSummary summary;
  summary.part = slide_part;
  summary.relationships = package::read_relationships(package, slide_part);
  summary.notes = read_notes(package, slide_part, summary.relationships);
  summary.image_relationships = package::relationships_by_type(summary.relationships, {"/image"});
  summary.chart_relationships = package::relationships_by_type(summary.relationships, {"/chart"});
  summary.comment_relationships = package::relationships_by_type(summary.relationships, {"/comments", "/comment"});
  summary.media_relationships = package::relationships_by_type(summary.relationships, {"/audio", "/media", "/video"});
  summary.ole_relationships = package::relationships_by_type(summary.relationships, {"/oleObject", "/package"});
  summary.texts = extract_text_runs(slide);
  summary.shapes = extract_shapes(slide);
  summary.tables = extract_tables(slide);
  summary.has_transition = xml::has_element(slide, "transition");
  summary.has_timing = xml::has_element(slide, "timing");
  return summary;
}

PresentationSummary summarize_presentation(const std::string& path) {
  const zip::Archive package = package::open_package(path);
  const std::vector<std::string> parts = package::slide_parts(package);
  PresentationSummary summary;
  summary.path = path;
  summary.has_vba = has_vba_project(package);
  summary.slides.reserve(parts.size());
  for (const std::string& part : parts) summary.slides.push_back(summarize_slide(package, part));
  summary.slide_count = summary.slides.size();
  return summary;
}

SlideSummary summarize_slide_at_index(const std::string& path, uint64_t slide_index) {
  const zip::Archive package = package::open_package(path);
  const std::optional<std::string> part = package::slide_part_at_index(package, slide_index);
  if (!part) throw_invalid_input(xml::concat({"slide index ", std::to_string(slide_index), " was not found"}));
  return summarize_slide(package, *part);
}

}  // namespace velmora::summary
