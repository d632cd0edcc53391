// slide_list.cpp - the ordered slide list, slide and layout part names, and slide id edits of the presentation part.
#include "package/slide_list.h"

#include <functional>
#include <limits>
#include <map>
#include <set>

#include "error.h"
#include "package/natural_order.h"
#include "package/package.h"
#include "package/relationships.h"
#include "xml/concat.h"
#include "xml/escape.h"
#include "xml/number.h"
#include "xml/reader.h"
#include "xml/splice.h"
#include "xml/text_search.h"

namespace velmora::package {
namespace {

constexpr std::string_view kPresentationPart = "ppt/presentation.xml";
constexpr std::string_view kSlidePrefix = "ppt/slides/slide";
constexpr std::string_view kSlideLayoutPrefix = "ppt/slideLayouts/slideLayout";
constexpr std::string_view kXmlSuffix = ".xml";

/// The text between `prefix` and `suffix` when `name` has both and something
/// between them.
std::optional<std::string_view> numbered_middle(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() + kXmlSuffix.size()) return std::nullopt;
  if (!name.starts_with(prefix) || !name.ends_with(kXmlSuffix)) return std::nullopt;
  return name.substr(prefix.size(), name.size() - prefix.size() - kXmlSuffix.size());
}

bool is_numbered_part(std::string_view name, std::string_view prefix) {
  const std::optional<std::string_view> middle = numbered_middle(name, prefix);
  if (!middle) return false;
  for (char c : *middle) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

/// The names of the archive's entries that pass `wanted`, in natural order.
/// Every entry is opened on the way, as a reader walking the archive does,
/// so an entry that cannot be opened throws Zip.
std::vector<std::string> naturally_sorted_parts(const zip::Archive& package,
                                                const std::function<bool(std::string_view)>& wanted) {
  std::vector<std::string> names;
  for (size_t i = 0; i < package.size(); ++i) {
    package.check_open(i);
    const std::string& name = package.entry(i).name;
    if (wanted(name)) names.push_back(name);
  }
  natural_sort(names);
  return names;
}

}  // namespace

bool is_slide_part(std::string_view name) { return is_numbered_part(name, kSlidePrefix); }

bool is_slide_layout_part(std::string_view name) { return is_numbered_part(name, kSlideLayoutPrefix); }

std::optional<uint64_t> slide_number(std::string_view name) {
  const std::optional<std::string_view> middle = numbered_middle(name, kSlidePrefix);
  if (!middle) return std::nullopt;
  return xml::parse_u64(*middle);
}

std::vector<std::string> slide_parts(const zip::Archive& package) {
  std::vector<std::string> fallback = naturally_sorted_parts(package, is_slide_part);
  const std::optional<std::string> presentation = read_archive_text(package, kPresentationPart);
  if (!presentation) return fallback;
  const std::vector<std::string> ids = slide_relationship_ids_in_presentation(*presentation);

  // The relationship list is sorted, so a repeated id keeps its last entry.
  std::map<std::string, std::string, std::less<>> slide_by_id;
  for (const RelationshipSummary& relationship :
       relationships_by_type(read_relationships(package, kPresentationPart), {"/slide"})) {
    slide_by_id[relationship.id] = resolve_target(kPresentationPart, relationship.target);
  }

  std::vector<std::string> listed;
  for (const std::string& id : ids) {
    if (auto found = slide_by_id.find(id); found != slide_by_id.end()) listed.push_back(found->second);
  }

  // The presentation's order counts only when it names exactly the slide parts present.
  if (listed.size() != fallback.size()) return fallback;
  const std::set<std::string_view> present(fallback.begin(), fallback.end());
  std::set<std::string_view> seen;
  for (const std::string& name : listed) {
    if (!present.contains(name) || !seen.insert(name).second) return fallback;
  }
  return listed;
}

std::optional<std::string> slide_part_at_index(const zip::Archive& package, size_t index) {
  std::vector<std::string> slides = slide_parts(package);
  if (index >= slides.size()) return std::nullopt;
  return std::move(slides[index]);
}

std::vector<std::string> slide_relationship_ids_in_presentation(std::string_view presentation_xml) {
  std::vector<std::string> ids;
  xml::Reader reader(presentation_xml);
  for (xml::Event event = reader.next(); event.kind != xml::EventKind::Eof; event = reader.next()) {
    if (!event.is_tag() || event.local_name() != "sldId") continue;
    for (const xml::Attribute& attribute : event.attributes()) {
      if (attribute.key.ends_with(":id")) ids.push_back(xml::unescape(attribute.value).value_or(std::string()));
    }
  }
  return ids;
}

uint64_t next_slide_id(std::string_view presentation_xml) {
  uint64_t largest = 255;
  xml::Reader reader(presentation_xml);
  try {
    for (xml::Event event = reader.next(); event.kind != xml::EventKind::Eof; event = reader.next()) {
      if (!event.is_tag() || event.local_name() != "sldId") continue;
      for (const xml::Attribute& attribute : event.attributes()) {
        if (xml::local_name(attribute.key) != "id") continue;
        if (const std::optional<uint64_t> id = xml::parse_u64(attribute.value); id && *id > largest) largest = *id;
      }
    }
  } catch (const VelmoraError&) {
    // Ids read before malformed XML still count.
  }
  if (largest == std::numeric_limits<uint64_t>::max()) {
    throw_invalid_input(xml::concat({"no slide id is left after ", std::to_string(largest)}));
  }
  return largest + 1;
}

std::string append_slide_id(std::string_view presentation_xml, uint64_t slide_id, std::string_view relationship_id) {
  const std::string entry =
      xml::concat({"<p:sldId id=\"", std::to_string(slide_id), "\" r:id=\"", relationship_id, "\"/>"});
  if (presentation_xml.find("</p:sldIdLst>") != std::string_view::npos) {
    return xml::insert_before(presentation_xml, "</p:sldIdLst>", entry);
  }
  const std::string list = xml::concat({"<p:sldIdLst>", entry, "</p:sldIdLst>"});

  // An empty list written as a self-closing tag becomes the new list.
  if (const std::optional<size_t> empty_list = xml::find_tag_start(presentation_xml, 0, "p:sldIdLst")) {
    const size_t close = presentation_xml.find('>', *empty_list);
    if (close != std::string_view::npos && presentation_xml[close - 1] == '/') {
      return xml::concat({presentation_xml.substr(0, *empty_list), list, presentation_xml.substr(close + 1)});
    }
  }

  // Otherwise the list goes where the schema's element order puts it: after
  // the master id list, before the slide size.
  constexpr std::string_view kMasterListClose = "</p:sldMasterIdLst>";
  if (const size_t at = presentation_xml.rfind(kMasterListClose); at != std::string_view::npos) {
    const size_t after = at + kMasterListClose.size();
    return xml::concat({presentation_xml.substr(0, after), list, presentation_xml.substr(after)});
  }
  for (std::string_view marker : {"<p:sldSz", "<p:notesSz", "<p:defaultTextStyle"}) {
    if (presentation_xml.find(marker) != std::string_view::npos) {
      return xml::insert_before(presentation_xml, marker, list);
    }
  }
  return xml::insert_before(presentation_xml, "</p:presentation>", list);
}

std::string slide_layout_target_at_index(const zip::Archive& package, size_t layout_index) {
  const std::vector<std::string> layouts = naturally_sorted_parts(package, is_slide_layout_part);
  if (layout_index >= layouts.size()) {
    throw_xml_text_decode(xml::concat({"slide layout index ", std::to_string(layout_index), " was not found"}));
  }
  const std::string& layout = layouts[layout_index];
  return xml::concat({"../slideLayouts/", std::string_view(layout).substr(layout.rfind('/') + 1)});
}

}  // namespace velmora::package
