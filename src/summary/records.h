// records.h - the summary records of presentations, slides, shapes and tables, and their JSON form.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "json/pretty_writer.h"
#include "package/relationships.h"

namespace velmora::summary {

/// A position and size in EMU.
struct TransformSummary {
  int64_t x = 0;
  int64_t y = 0;
  int64_t cx = 0;
  int64_t cy = 0;

  bool operator==(const TransformSummary&) const = default;
};

/// One field of a paragraph, placed among the paragraph's runs and breaks.
struct ParagraphFieldSummary {
  uint64_t run_slot = 0;            ///< runs before the field in its paragraph
  uint64_t line_breaks_before = 0;  ///< line breaks before the field in its paragraph
  std::string text;                 ///< the field's text elements, concatenated

  bool operator==(const ParagraphFieldSummary&) const = default;
};

/// One table: the cell texts row by row (a cell's paragraphs joined by "\n").
struct TableSummary {
  std::vector<std::vector<std::string>> rows;
  uint64_t row_count = 0;
  uint64_t col_count = 0;  ///< the longest row; 0 without rows

  bool operator==(const TableSummary&) const = default;
};

/// One shape of a shape tree; a group carries its members in `children`.
///
/// Groups can nest arbitrarily deep, so the record is move-only and its
/// destructor takes the member tree apart with an explicit stack instead of
/// recursing through nested vectors.
struct ShapeSummary {
  std::optional<std::string> id;
  std::optional<std::string> name;
  std::string kind;  ///< shape, picture, movie, graphic_frame, ole_object, group, connector or unknown
  bool is_placeholder = false;
  std::optional<std::string> placeholder_type;
  std::optional<std::string> placeholder_idx;
  std::string text;  ///< `paragraphs` joined with "\n"
  std::vector<std::string> paragraphs;
  std::vector<std::vector<std::string>> paragraph_runs;
  std::vector<std::vector<uint64_t>> paragraph_line_breaks;
  std::vector<std::vector<ParagraphFieldSummary>> paragraph_fields;
  std::vector<std::vector<std::optional<bool>>> paragraph_run_bold;
  std::vector<std::vector<std::optional<bool>>> paragraph_run_italic;
  std::vector<std::vector<std::optional<bool>>> paragraph_run_underline;
  std::vector<std::vector<std::optional<int64_t>>> paragraph_run_font_size;
  std::vector<std::vector<std::optional<std::string>>> paragraph_run_font_name;
  std::vector<TableSummary> tables;
  std::vector<std::string> relationship_ids;  ///< sorted by bytes, no duplicates
  bool has_chart = false;
  bool has_picture = false;
  bool has_group = false;
  std::optional<TransformSummary> transform;
  std::optional<TransformSummary> effective_transform;  ///< after the enclosing groups' scaling
  std::vector<ShapeSummary> children;

  ShapeSummary() = default;
  ShapeSummary(ShapeSummary&&) noexcept = default;
  ShapeSummary& operator=(ShapeSummary&&) noexcept = default;
  ShapeSummary(const ShapeSummary&) = delete;
  ShapeSummary& operator=(const ShapeSummary&) = delete;
  ~ShapeSummary();
};

/// One slide: its texts, shapes, tables, notes and relationships.
struct SlideSummary {
  std::string part;
  std::vector<std::string> texts;
  std::vector<ShapeSummary> shapes;
  std::vector<TableSummary> tables;
  std::vector<std::string> notes;
  std::vector<package::RelationshipSummary> relationships;
  std::vector<package::RelationshipSummary> image_relationships;
  std::vector<package::RelationshipSummary> chart_relationships;
  std::vector<package::RelationshipSummary> comment_relationships;
  std::vector<package::RelationshipSummary> media_relationships;
  std::vector<package::RelationshipSummary> ole_relationships;
  bool has_transition = false;
  bool has_timing = false;
};

/// Every slide of a presentation, in presentation order.
struct PresentationSummary {
  std::string path;
  uint64_t slide_count = 0;
  std::vector<SlideSummary> slides;
  bool has_vba = false;
};

/// Each record as a JSON object, members in declaration order, absent
/// values as null. Nested groups are written without recursion.
void write_json(json::PrettyWriter& out, const TransformSummary& transform);
void write_json(json::PrettyWriter& out, const ParagraphFieldSummary& field);
void write_json(json::PrettyWriter& out, const TableSummary& table);
void write_json(json::PrettyWriter& out, const ShapeSummary& shape);
void write_json(json::PrettyWriter& out, const SlideSummary& slide);
void write_json(json::PrettyWriter& out, const PresentationSummary& presentation);

}  // namespace velmora::summary
