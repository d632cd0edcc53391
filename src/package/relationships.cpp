// relationships.cpp - relationship parts: naming, parsing, target resolution, id allocation and text edits.
#include "package/relationships.h"

#include <algorithm>
#include <cstdint>

#include "error.h"
#include "xml/concat.h"
#include "xml/escape.h"
#include "xml/number.h"
#include "xml/reader.h"
#include "xml/splice.h"
#include "xml/writer.h"

namespace velmora::package {
namespace {

constexpr std::string_view kRelationshipsClose = "</Relationships>";
constexpr std::string_view kIdPrefix = "rId";

std::vector<std::string_view> split_segments(std::string_view text) {
  std::vector<std::string_view> segments;
  size_t pos = 0;
  while (true) {
    const size_t slash = text.find('/', pos);
    if (slash == std::string_view::npos) {
      segments.push_back(text.substr(pos));
      return segments;
    }
    segments.push_back(text.substr(pos, slash - pos));
    pos = slash + 1;
  }
}

std::string join_segments(std::span<const std::string_view> segments) {
  std::string out;
  for (size_t i = 0; i < segments.size(); ++i) {
    if (i > 0) out += '/';
    out += segments[i];
  }
  return out;
}

RelationshipSummary read_relationship(const xml::Event& element) {
  RelationshipSummary relationship;
  for (const xml::Attribute& attribute : element.attributes()) {
    const std::string_view name = xml::local_name(attribute.key);
    std::string value = xml::unescape(attribute.value).value_or(std::string());
    if (name == "Id") {
      relationship.id = std::move(value);
    } else if (name == "Type") {
      relationship.relationship_type = std::move(value);
    } else if (name == "Target") {
      relationship.target = std::move(value);
    } else if (name == "TargetMode") {
      relationship.target_mode = std::move(value);
    }
  }
  return relationship;
}

/// The decimal text of `value + 1`, which may need a 20th digit.
std::string decimal_successor(uint64_t value) {
  std::string digits = std::to_string(value);
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return digits;
    }
    *it = '0';
  }
  return "1" + digits;
}

std::string relationship_element(std::string_view id, std::string_view type, std::string_view target) {
  return xml::concat({"<Relationship Id=\"", id, "\" Type=\"", type, "\" Target=\"", target, "\"/>"});
}

}  // namespace

void write_json(json::PrettyWriter& writer, const RelationshipSummary& relationship) {
  writer.begin_object();
  writer.field("id", relationship.id);
  writer.field("relationship_type", relationship.relationship_type);
  writer.field("target", relationship.target);
  writer.field("target_mode", relationship.target_mode);
  writer.end_object();
}

std::string relationship_part_name(std::string_view part_name) {
  const size_t slash = part_name.rfind('/');
  if (slash == std::string_view::npos) return xml::concat({"_rels/", part_name, ".rels"});
  return xml::concat({part_name.substr(0, slash), "/_rels/", part_name.substr(slash + 1), ".rels"});
}

std::vector<RelationshipSummary> parse_relationships(std::string_view xml_bytes) {
  std::vector<RelationshipSummary> relationships;
  xml::Reader reader(xml_bytes);
  try {
    for (xml::Event event = reader.next(); event.kind != xml::EventKind::Eof; event = reader.next()) {
      if (event.is_tag() && event.local_name() == "Relationship") relationships.push_back(read_relationship(event));
    }
  } catch (const VelmoraError&) {
    // A malformed part keeps the relationships read before the fault.
  }
  std::ranges::stable_sort(relationships, [](const RelationshipSummary& a, const RelationshipSummary& b) {
    if (a.id != b.id) return a.id < b.id;
    return a.target < b.target;
  });
  return relationships;
}

std::vector<RelationshipSummary> read_relationships(const zip::Archive& package, std::string_view part_name) {
  const std::optional<size_t> index = package.index_of(relationship_part_name(part_name));
  if (!index) return {};
  try {
    package.check_open(*index);
  } catch (const VelmoraError&) {
    return {};  // an entry that cannot be opened counts as no relationships
  }
  return parse_relationships(package.read_all(*index));
}

std::vector<RelationshipSummary> relationships_by_type(const std::vector<RelationshipSummary>& relationships,
                                                       std::span<const std::string_view> type_suffixes) {
  std::vector<RelationshipSummary> matching;
  for (const RelationshipSummary& relationship : relationships) {
    const bool wanted = std::ranges::any_of(type_suffixes, [&](std::string_view suffix) {
      return relationship.relationship_type.ends_with(suffix);
    });
    if (wanted) matching.push_back(relationship);
  }
  return matching;
}

std::string resolve_target(std::string_view source_part, std::string_view target) {
  if (target.starts_with('/')) return std::string(target.substr(1));
  std::vector<std::string_view> segments = split_segments(source_part);
  segments.pop_back();  // the source's own file name
  for (std::string_view segment : split_segments(target)) {
    if (segment.empty() || segment == ".") continue;
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
      continue;
    }
    segments.push_back(segment);
  }
  return join_segments(segments);
}

std::string make_relative_target(std::string_view from_part, std::string_view to_part) {
  const std::vector<std::string_view> from = split_segments(from_part);
  const std::vector<std::string_view> to = split_segments(to_part);
  const size_t from_depth = from.size() - 1;
  const size_t to_depth = to.size() - 1;
  size_t shared = 0;
  while (shared < from_depth && shared < to_depth && from[shared] == to[shared]) ++shared;
  std::vector<std::string_view> segments(from_depth - shared, "..");
  segments.insert(segments.end(), to.begin() + static_cast<std::ptrdiff_t>(shared), to.end());
  return join_segments(segments);
}

std::string next_relationship_id(std::string_view rels_xml) {
  std::optional<uint64_t> largest;
  for (const RelationshipSummary& relationship : parse_relationships(rels_xml)) {
    const std::string_view id = relationship.id;
    if (!id.starts_with(kIdPrefix)) continue;
    const std::optional<uint64_t> number = xml::parse_u64(id.substr(kIdPrefix.size()));
    if (number && (!largest || *number > *largest)) largest = number;
  }
  if (!largest) return "rId1";
  return std::string(kIdPrefix) + decimal_successor(*largest);
}

std::string relationship_id(const xml::Event& element) {
  for (const xml::Attribute& attribute : element.attributes()) {
    if (xml::local_name(attribute.key) == "Id") return xml::unescape(attribute.value).value_or(std::string());
  }
  return {};
}

std::string empty_relationships_xml() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "</Relationships>\n";
}

std::string append_relationship(std::string_view rels_xml, std::string_view id, std::string_view type,
                                std::string_view target) {
  return xml::insert_before(rels_xml, kRelationshipsClose, relationship_element(id, type, target));
}

std::string add_relationship(std::string_view rels_xml, std::string_view id, std::string_view type,
                             std::string_view target) {
  if (rels_xml.find(kRelationshipsClose) == std::string_view::npos) {
    throw_invalid_input("relationships part is missing </Relationships>");
  }
  const std::string element = relationship_element(xml::xml_attr(id), xml::xml_attr(type), xml::xml_attr(target));
  return xml::insert_before(rels_xml, kRelationshipsClose, element);
}

RelationshipRemoval remove_relationships_by_id(std::string_view rels_xml, const RelationshipIdSet& ids) {
  RelationshipRemoval result;
  xml::Writer writer(rels_xml.size());
  xml::Reader reader(rels_xml);
  for (xml::Event event = reader.next(); event.kind != xml::EventKind::Eof; event = reader.next()) {
    const bool dropped = event.is_tag() && event.local_name() == "Relationship" && ids.contains(relationship_id(event));
    if (!dropped) {
      writer.write(event);
      continue;
    }
    ++result.removed;
    if (event.is_empty()) continue;
    // Skip the content of a dropped start element up to its matching end.
    for (size_t depth = 1; depth > 0;) {
      if (reader.at_end()) throw_xml_text_decode("unexpected EOF while removing relationship");
      const xml::Event inner = reader.next();
      if (inner.is_start()) ++depth;
      if (inner.is_end()) --depth;
    }
  }
  result.xml = writer.take();
  return result;
}

void collect_relationship_ids(const xml::Event& element, RelationshipIdSet& ids) {
  for (const xml::Attribute& attribute : element.attributes()) {
    if (attribute.key.find(':') == std::string_view::npos) continue;
    const std::string_view name = xml::local_name(attribute.key);
    if (name != "embed" && name != "link" && name != "id") continue;
    if (std::optional<std::string> value = xml::unescape(attribute.value)) ids.insert(std::move(*value));
  }
}

RelationshipIdSet relationship_ids_in_xml(std::string_view xml) {
  RelationshipIdSet ids;
  xml::Reader reader(xml);
  try {
    for (xml::Event event = reader.next(); event.kind != xml::EventKind::Eof; event = reader.next()) {
      if (event.is_tag()) collect_relationship_ids(event, ids);
    }
  } catch (const VelmoraError&) {
    // Ids found before malformed XML still count.
  }
  return ids;
}

}  // namespace velmora::package
