// presentation.cpp - read-only summaries of a presentation package and of its slides.
#include "summary/presentation.h"

#include "error.h"
#include "package/package.h"
#include "package/slide_list.h"
#include "summary/shape_extract.h"
#include "summary/slide_text.h"
#include "xml/concat.h"

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

// Whether an element of a local name occurs (xml::has_element), as a pass,
// so that one reading answers several of them next to other passes.
class ElementPresence {
 public:
  explicit ElementPresence(std::string_view local_name) : local_name_(local_name) {}
  void on(const xml::Event& event, TextElement) {
    if (!found && event.is_tag() && event.local_name() == local_name_) found = true;
  }

  bool found = false;

 private:
  std::string_view local_name_;
};

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
  TextRunPass texts;
  ElementPresence transition("transition");
  ElementPresence timing("timing");
  run_passes(slide, texts, transition, timing);
  summary.texts = std::move(texts.texts);
  SlideContent content = extract_slide_content(slide);
  summary.shapes = std::move(content.shapes);
  summary.tables = std::move(content.tables);
  summary.has_transition = transition.found;
  summary.has_timing = timing.found;
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
