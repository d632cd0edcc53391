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

// Every member of a shape but `children`, which the caller writes.
void write_shape_members(PrettyWriter& out, const ShapeSummary& shape) {
  out.field("id", shape.id);
  out.field("name", shape.name);
  out.field("kind", shape.kind);
  out.field("is_placeholder", shape.is_placeholder);
  out.field("placeholder_type", shape.placeholder_type);
  out.field("placeholder_idx", shape.placeholder_idx);
  out.field("text", shape.text);
  out.field("paragraphs", shape.paragraphs);
  out.field("paragraph_runs", shape.paragraph_runs);
  out.field("paragraph_line_breaks", shape.paragraph_line_breaks);
  out.field("paragraph_fields", shape.paragraph_fields);
  out.field("paragraph_run_bold", shape.paragraph_run_bold);
  out.field("paragraph_run_italic", shape.paragraph_run_italic);
  out.field("paragraph_run_underline", shape.paragraph_run_underline);
  out.field("paragraph_run_font_size", shape.paragraph_run_font_size);
  out.field("paragraph_run_font_name", shape.paragraph_run_font_name);
  out.field("tables", shape.tables);
  out.field("relationship_ids", shape.relationship_ids);
  out.field("has_chart", shape.has_chart);
  out.field("has_picture", shape.has_picture);
  out.field("has_group", shape.has_group);
  out.field("transform", shape.transform);
  out.field("effective_transform", shape.effective_transform);
}

}  // namespace

void write_json(PrettyWriter& out, const TransformSummary& transform) {
  out.begin_object();
  out.field("x", transform.x);
  out.field("y", transform.y);
  out.field("cx", transform.cx);
  out.field("cy", transform.cy);
  out.end_object();
}

void write_json(PrettyWriter& out, const ParagraphFieldSummary& field) {
  out.begin_object();
  out.field("run_slot", field.run_slot);
  out.field("line_breaks_before", field.line_breaks_before);
  out.field("text", field.text);
  out.end_object();
}

void write_json(PrettyWriter& out, const TableSummary& table) {
  out.begin_object();
  out.field("rows", table.rows);
  out.field("row_count", table.row_count);
  out.field("col_count", table.col_count);
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
  out.field("part", slide.part);
  out.field("texts", slide.texts);
  out.field("shapes", slide.shapes);
  out.field("tables", slide.tables);
  out.field("notes", slide.notes);
  out.field("relationships", slide.relationships);
  out.field("image_relationships", slide.image_relationships);
  out.field("chart_relationships", slide.chart_relationships);
  out.field("comment_relationships", slide.comment_relationships);
  out.field("media_relationships", slide.media_relationships);
  out.field("ole_relationships", slide.ole_relationships);
  out.field("has_transition", slide.has_transition);
  out.field("has_timing", slide.has_timing);
  out.end_object();
}

void write_json(PrettyWriter& out, const PresentationSummary& presentation) {
  out.begin_object();
  out.field("path", presentation.path);
  out.field("slide_count", presentation.slide_count);
  out.field("slides", presentation.slides);
  out.field("has_vba", presentation.has_vba);
  out.end_object();
}

}  // namespace velmora::summary
