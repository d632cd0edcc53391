// create.cpp - the XML of a new table and its insertion into a slide.
#include "table/create.h"

#include <map>
#include <utility>

#include "error.h"
#include "package/slide_edit.h"
#include "shapes/paragraphs.h"
#include "shapes/placement.h"
#include "summary/tables.h"
#include "xml/concat.h"
#include "xml/shape_tree.h"

namespace velmora::table {
namespace {

// The style every new table refers to: the built-in "Medium Style 2 - Accent 1".
constexpr std::string_view kTableStyleId = "{5C22544A-7EE6-4342-B048-85BDC9FD1C3A}";
constexpr std::string_view kTableGraphicUri = "http://schemas.openxmlformats.org/drawingml/2006/table";
constexpr std::string_view kEmptyCellParagraph = "<a:p><a:r><a:t></a:t></a:r></a:p>";

void check_request(const TableRequest& request) {
  if (request.rows == 0 || request.cols == 0) throw_invalid_input("table rows and columns must be greater than zero");
  for (const json::CellText& cell : request.cell_texts) {
    if (cell.row >= request.rows || cell.col >= request.cols) {
      throw_invalid_input("table cell " + std::to_string(cell.row) + "," + std::to_string(cell.col) +
                          " is outside " + std::to_string(request.rows) + "x" + std::to_string(request.cols) +
                          " table");
    }
  }
}

}  // namespace

void write_json(json::PrettyWriter& out, const TableAddSummary& summary) {
  out.begin_object();
  out.field("path", summary.path);
  out.field("slide_index", summary.slide_index);
  out.field("slide_part", summary.slide_part);
  out.field("table_index", summary.table_index);
  out.field("shape_id", summary.shape_id);
  out.field("rows", summary.rows);
  out.field("cols", summary.cols);
  out.field("part_count", summary.part_count);
  out.field("has_vba", summary.has_vba);
  out.end_object();
}

std::string table_shape_xml(uint64_t shape_id, const TableRequest& request) {
  // The first entry for a cell wins; later duplicates are ignored.
  std::map<std::pair<uint64_t, uint64_t>, std::string_view> texts;
  for (const json::CellText& cell : request.cell_texts) texts.try_emplace({cell.row, cell.col}, cell.text);

  const std::string width = std::to_string(request.cols == 0 ? 0 : request.cx_emu / request.cols);
  const std::string height = std::to_string(request.rows == 0 ? 0 : request.cy_emu / request.rows);
  const std::string id = std::to_string(shape_id);

  std::string out = xml::concat(
      {"<p:graphicFrame><p:nvGraphicFramePr><p:cNvPr id=\"", id, "\" name=\"Table ", id,
       "\"/><p:cNvGraphicFramePr><a:graphicFrameLocks noGrp=\"1\"/></p:cNvGraphicFramePr><p:nvPr/>"
       "</p:nvGraphicFramePr><p:xfrm><a:off x=\"",
       std::to_string(request.x_emu), "\" y=\"", std::to_string(request.y_emu), "\"/><a:ext cx=\"",
       std::to_string(request.cx_emu), "\" cy=\"", std::to_string(request.cy_emu),
       "\"/></p:xfrm><a:graphic><a:graphicData uri=\"", kTableGraphicUri,
       "\"><a:tbl><a:tblPr firstRow=\"1\" bandRow=\"1\"><a:tableStyleId>", kTableStyleId,
       "</a:tableStyleId></a:tblPr><a:tblGrid>"});
  for (uint64_t col = 0; col < request.cols; ++col) out += xml::concat({"<a:gridCol w=\"", width, "\"/>"});
  out += "</a:tblGrid>";
  for (uint64_t row = 0; row < request.rows; ++row) {
    out += xml::concat({"<a:tr h=\"", height, "\">"});
    for (uint64_t col = 0; col < request.cols; ++col) {
      out += "<a:tc><a:txBody><a:bodyPr/><a:lstStyle/>";
      const auto text = texts.find({row, col});
      out += text == texts.end() ? std::string(kEmptyCellParagraph) : shapes::replacement_paragraphs_xml(text->second);
      out += "</a:txBody><a:tcPr/></a:tc>";
    }
    out += "</a:tr>";
  }
  out += "</a:tbl></a:graphicData></a:graphic></p:graphicFrame>";
  return out;
}

std::string add_table_to_slide_xml(std::string_view slide_xml, uint64_t shape_id, const TableRequest& request) {
  package::require_shape_tree_end(slide_xml);
  return package::insert_into_shape_tree(slide_xml, table_shape_xml(shape_id, request));
}

TableAddSummary add_slide_table_impl(const std::string& input, const std::string& output, uint64_t slide_index,
                                     const TableRequest& request) {
  check_request(request);
  package::SlideEdit edit = package::open_slide_edit(input, output, slide_index);
  const uint64_t table_index = summary::extract_tables(edit.slide_xml).size();
  const uint64_t shape_id = shapes::next_shape_id(xml::max_cnvpr_id(edit.slide_xml));
  std::string new_xml = add_table_to_slide_xml(edit.slide_xml, shape_id, request);
  const package::PackageFacts facts = package::write_slide_edit(edit, output, std::move(new_xml));
  return {output,  slide_index,  edit.slide_part,   table_index,    shape_id,
          request.rows, request.cols, facts.part_count, facts.has_vba};
}

}  // namespace velmora::table
