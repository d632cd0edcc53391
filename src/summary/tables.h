// tables.h - the tables of a slide or shape as rows of cell texts.
#pragma once

#include <string_view>
#include <vector>

#include "summary/records.h"
#include "summary/text_index.h"

namespace velmora::summary {

/// Every closed "a:tbl" of the XML (bytes decoded as UTF-8, invalid
/// sequences replaced by U+FFFD), in document order. Each closed "a:tr" is a
/// row and each closed "a:tc" in it a cell, merged cells included; a cell's
/// text is its paragraph texts joined by "\n". The search for tables, rows
/// or cells ends at the first one not closed.
std::vector<TableSummary> extract_tables(std::string_view xml_bytes);
/// The same, for a slice of the indexed (already decoded) text.
std::vector<TableSummary> extract_tables(const TextIndex& index, std::string_view view);

}  // namespace velmora::summary
