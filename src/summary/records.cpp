// records.cpp - the JSON form of the summary records, and the flat teardown of shape trees.
#include "summary/records.h"

#include <utility>

namespace velmora::summary {

ShapeSummary::~ShapeSummary() {
  if (children.empty()) return;
  // Move every descendant into one flat list before it is destroyed, so no
  // destructor ever runs with a non-empty `children`.
  std::vector<ShapeSummary> pending = std::move(children);
  while (!pending.empty()) {
    ShapeSummary last = std::move(pending.back());
    pending.pop_back();
    for (ShapeSummary& child : last.children) pending.push_back(std::move(child));
    last.children.clear();
  }
}

namespace {

using json::PrettyWriter;

// One writer per value form; lists become arrays of their elements.
template <class T>
void emit(PrettyWriter& out, const T& value) {
  out.value(value);
}
void emit(PrettyWriter& out, const ParagraphFieldSummary& field) { write_json(out, field); }
void emit(PrettyWriter& out, const TableSummary& table) { write_json(out, table); }
void emit(PrettyWriter& out, const SlideSummary& slide) { write_json(out, slide); }
void emit(PrettyWriter& out, const ShapeSummary& shape) { write_json(out, shape); }
void emit(PrettyWriter& out, const package::RelationshipSummary& relationship) { write_json(out, relationship); }
void emit(PrettyWriter& out, const std::optional<TransformSummary>& transform) {
  if (transform) {
    write_json(out, *transform);
  } else {
    out.null();
  }
}
template <class T>
void emit(PrettyWriter& out, const std::vector<T>& list) {
  out.begin_array();
  for (const T& element : list) emit(out, element);
  out.end_array();
}

template <class T>
void member(PrettyWriter& out, std::string_view name, const T& value) {
  out.key(name);
  emit(out, value);
}

// Every member of a shape but `children`, which the caller writes.
void write_shape_members(PrettyWriter& out, const ShapeSummary& shape) {
  member(out, "id", shape.id);
  member(out, "name", shape.name);
  member(out, "kind", shape.kind);
  member(out, "is_placeholder", shape.is_placeholder);
  member(out, "placeholder_type", shape.placeholder_type);
  member(out, "placeholder_idx", shape.placeholder_idx);
  member(out, "text", shape.text);
  member(out, "paragraphs", shape.paragraphs);
  member(out, "paragraph_runs", shape.paragraph_runs);
  member(out, "paragraph_line_breaks", shape.paragraph_line_breaks);
  member(out, "paragraph_fields", shape.paragraph_fields);
  member(out, "paragraph_run_bold", shape.paragraph_run_bold);
  member(out, "paragraph_run_italic", shape.paragraph_run_italic);
  member(out, "paragraph_run_underline", shape.paragraph_run_underline);
  member(out, "paragraph_run_font_size", shape.paragraph_run_font_size);
  member(out, "paragraph_run_font_name", shape.paragraph_run_font_name);
  member(out, "tables", shape.tables);
  member(out, "relationship_ids", shape.relationship_ids);
  member(out, "has_chart", shape.has_chart);
  member(out, "has_picture", shape.has_picture);
  member(out, "has_group", shape.has_group);
  member(out, "transform", shape.transform);
  member(out, "effective_transform", shape.effective_transform);
}

}  // namespace

void write_json(PrettyWriter& out, const TransformSummary& transform) {
  out.begin_object();
  member(out, "x", transform.x);
  member(out, "y", transform.y);
  member(out, "cx", transform.cx);
  member(out, "cy", transform.cy);
  out.end_object();
}

void write_json(PrettyWriter& out, const ParagraphFieldSummary& field) {
  out.begin_object();
  member(out, "run_slot", field.run_slot);
  member(out, "line_breaks_before", field.line_breaks_before);
  member(out, "text", field.text);
  out.end_object();
}

void write_json(PrettyWriter& out, const TableSummary& table) {
  out.begin_object();
  member(out, "rows", table.rows);
  member(out, "row_count", table.row_count);
  member(out, "col_count", table.col_count);
  out.end_object();
}

void write_json(PrettyWriter& out, const ShapeSummary& root) {
  // Depth-first with an explicit stack: a shape's object stays open, with
  // its "children" array, until every member has been written.
  struct Open {
    const ShapeSummary* shape;
    size_t next_child;
  };
  std::vector<Open> open;
  const auto begin_shape = [&](const ShapeSummary& shape) {
    out.begin_object();
    write_shape_members(out, shape);
    out.key("children");
    out.begin_array();
    open.push_back({&shape, 0});
  };
  begin_shape(root);
  while (!open.empty()) {
    Open& top = open.back();
    if (top.next_child < top.shape->children.size()) {
      begin_shape(top.shape->children[top.next_child++]);
    } else {
      out.end_array();
      out.end_object();
      open.pop_back();
    }
  }
}

void write_json(PrettyWriter& out, const SlideSummary& slide) {
  out.begin_object();
  member(out, "part", slide.part);
  member(out, "texts", slide.texts);
  member(out, "shapes", slide.shapes);
  member(out, "tables", slide.tables);
  member(out, "notes", slide.notes);
  member(out, "relationships", slide.relationships);
  member(out, "image_relationships", slide.image_relationships);
  member(out, "chart_relationships", slide.chart_relationships);
  member(out, "comment_relationships", slide.comment_relationships);
  member(out, "media_relationships", slide.media_relationships);
  member(out, "ole_relationships", slide.ole_relationships);
  member(out, "has_transition", slide.has_transition);
  member(out, "has_timing", slide.has_timing);
  out.end_object();
}

void write_json(PrettyWriter& out, const PresentationSummary& presentation) {
  out.begin_object();
  member(out, "path", presentation.path);
  member(out, "slide_count", presentation.slide_count);
  member(out, "slides", presentation.slides);
  member(out, "has_vba", presentation.has_vba);
  out.end_object();
}

}  // namespace velmora::summary
