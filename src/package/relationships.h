// relationships.h - relationship parts: naming, parsing, target resolution, id allocation and text edits.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "json/pretty_writer.h"
#include "xml/event.h"
#include "zip/reader.h"

namespace velmora::package {

/// One parsed `Relationship` element. Missing attributes read as empty text,
/// except `target_mode`, which is absent when the attribute is missing.
struct RelationshipSummary {
  std::string id;
  std::string relationship_type;
  std::string target;  ///< as written: relative, absolute ("/...") or external
  std::optional<std::string> target_mode;
};

/// Writes the record as a JSON object: id, relationship_type, target,
/// target_mode (null when absent).
void write_json(json::PrettyWriter& writer, const RelationshipSummary& relationship);

/// The sorted set of relationship ids that a fragment refers to.
using RelationshipIdSet = std::set<std::string, std::less<>>;

/// The relationship part of `part_name`: "{folder}/_rels/{file}.rels", or
/// "_rels/{name}.rels" for a name without "/" (so "" gives "_rels/.rels").
std::string relationship_part_name(std::string_view part_name);

/// Every element with local name "Relationship", at any depth, sorted by id
/// then target as byte strings ("rId10" before "rId2"). Attributes match by
/// local name; a repeated attribute keeps its later value; a value that does
/// not unescape reads as empty text. Never fails: reading stops quietly at
/// the first XML error, keeping what was read before it.
std::vector<RelationshipSummary> parse_relationships(std::string_view xml_bytes);

/// The relationships of `part_name` in `package`. A relationship part that
/// is missing or cannot be opened gives the empty list; failing to read an
/// existing one throws Io.
std::vector<RelationshipSummary> read_relationships(const zip::Archive& package, std::string_view part_name);

/// Copies of the relationships whose type ends with one of `type_suffixes`
/// (such as "/slide" or "/slideLayout"), in list order.
std::vector<RelationshipSummary> relationships_by_type(const std::vector<RelationshipSummary>& relationships,
                                                       std::span<const std::string_view> type_suffixes);
inline std::vector<RelationshipSummary> relationships_by_type(
    const std::vector<RelationshipSummary>& relationships, std::initializer_list<std::string_view> type_suffixes) {
  return relationships_by_type(relationships, std::span(type_suffixes.begin(), type_suffixes.size()));
}

/// The part name that `target`, written in the relationship part of
/// `source_part`, refers to. An absolute target loses its leading "/";
/// a relative one is applied to the source's folder ("." and empty segments
/// skipped, ".." drops a folder, never above the root). The target mode is
/// not consulted: callers decide about external targets.
std::string resolve_target(std::string_view source_part, std::string_view target);

/// The relative target that, written in the relationship part of
/// `from_part`, refers to `to_part` ("../slideLayouts/slideLayout1.xml"
/// from a slide).
std::string make_relative_target(std::string_view from_part, std::string_view to_part);

/// "rId" followed by one more than the largest number among the ids of the
/// form "rId{unsigned decimal}" in `rels_xml`, or "rId1" when there is none.
/// Gaps are never filled.
std::string next_relationship_id(std::string_view rels_xml);

/// The unescaped value of the element's attribute with local name "Id", or
/// empty text when there is none or it does not unescape.
std::string relationship_id(const xml::Event& element);

/// The text of a relationship part with no relationships.
std::string empty_relationships_xml();

/// Inserts `<Relationship Id= Type= Target=/>` with the values exactly as
/// passed before the last "</Relationships>". Missing marker: XmlTextDecode
/// "expected closing marker </Relationships>".
std::string append_relationship(std::string_view rels_xml, std::string_view id, std::string_view type,
                                std::string_view target);

/// As `append_relationship`, with the values escaped for an attribute
/// (`xml_attr`). Missing marker: InvalidInput "relationships part is missing
/// </Relationships>".
std::string add_relationship(std::string_view rels_xml, std::string_view id, std::string_view type,
                             std::string_view target);

/// The text with every "Relationship" element whose id is in `ids` dropped
/// (with its content), and how many were dropped.
struct RelationshipRemoval {
  std::string xml;
  size_t removed = 0;
};

/// Streams `rels_xml` and drops the relationships whose id is in `ids`;
/// every other event is written back unchanged. Input ending inside a
/// dropped element: XmlTextDecode "unexpected EOF while removing
/// relationship"; other malformed XML throws Xml.
RelationshipRemoval remove_relationships_by_id(std::string_view rels_xml, const RelationshipIdSet& ids);

/// Adds to `ids` the unescaped value of every prefixed attribute of
/// `element` whose local name is "embed", "link" or "id" ("r:embed",
/// "r:id", ...). Malformed or undecodable attributes are skipped.
void collect_relationship_ids(const xml::Event& element, RelationshipIdSet& ids);

/// The relationship ids that the elements of `xml` refer to
/// (`collect_relationship_ids` over every start or empty element). Reading
/// stops quietly at the first XML error.
RelationshipIdSet relationship_ids_in_xml(std::string_view xml);

}  // namespace velmora::package
