// create.h - new tables: the graphic frame XML of an equal-celled table and
// the operation that adds one to a slide.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "json/arguments.h"
#include "json/pretty_writer.h"

namespace velmora::table {

/// The size and place of a new table, and the texts to put in its cells.
struct TableRequest {
  uint64_t rows = 0;
  uint64_t cols = 0;
  uint64_t x_emu = 0;
  uint64_t y_emu = 0;
  uint64_t cx_emu = 0;
  uint64_t cy_emu = 0;
  /// (row, column, text) entries; the first entry for a cell wins.
  json::CellTexts cell_texts;
};

struct TableAddSummary {
  std::string path;  ///< the output path
  uint64_t slide_index = 0;
  std::string slide_part;
  uint64_t table_index = 0;  ///< index of the new table among the slide's tables
  uint64_t shape_id = 0;     ///< id of the new graphic frame
  uint64_t rows = 0;
  uint64_t cols = 0;
  uint64_t part_count = 0;
  bool has_vba = false;
};

void write_json(json::PrettyWriter& out, const TableAddSummary& summary);

/// The `p:graphicFrame` of a table named "Table {shape_id}": `rows` rows of
/// height cy / rows and `cols` grid columns of width cx / cols (remainders
/// dropped), one `a:tc` per grid position. A cell with an entry in
/// `cell_texts` (the first one for it) gets one paragraph per line of its
/// text; every other cell one empty run. Entries outside the grid are
/// ignored here.
std::string table_shape_xml(uint64_t shape_id, const TableRequest& request);

/// `slide_xml` with the table inserted before its last "</p:spTree>". Throws
/// InvalidInput "slide XML is missing </p:spTree>".
std::string add_table_to_slide_xml(std::string_view slide_xml, uint64_t shape_id, const TableRequest& request);

/// Adds the table after every shape of the slide at `slide_index`, with id
/// one more than the slide's largest `p:cNvPr` id, and writes the package
/// with only that slide replaced (every other entry copied raw). Checked
/// before any file is touched: InvalidInput "table rows and columns must be
/// greater than zero", then "table cell {row},{col} is outside {rows}x{cols}
/// table" for the first entry outside the grid. Then the slide errors of
/// `open_slide_edit`, the missing shape tree end, and Io and Zip failures.
TableAddSummary add_slide_table_impl(const std::string& input, const std::string& output, uint64_t slide_index,
                                     const TableRequest& request);

}  // namespace velmora::table
