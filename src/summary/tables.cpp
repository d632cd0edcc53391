// tables.cpp - the tables of a slide or shape as rows of cell texts.
#include "summary/tables.h"

#include <algorithm>
#include <string>

#include "summary/paragraph_passes.h"
#include "xml/utf8.h"

namespace velmora::summary {
namespace {

// The closed elements `name` of `view`, one after another, as slices of it.
std::vector<std::string_view> elements(const TextIndex& index, std::string_view view, std::string_view name) {
  std::vector<std::string_view> found;
  size_t cursor = 0;
  while (const std::optional<size_t> start = index.find_tag_start(view, cursor, name)) {
    const xml::ElementEnd end = index.find_element_end(view, *start, name);
    if (!end.closed) break;
    found.push_back(view.substr(*start, end.end - *start));
    cursor = end.end;
  }
  return found;
}

std::string cell_text(std::string_view cell) {
  std::string text;
  const std::vector<std::string> paragraphs = extract_paragraph_texts(cell);
  for (size_t i = 0; i < paragraphs.size(); ++i) {
    if (i > 0) text += '\n';
    text += paragraphs[i];
  }
  return text;
}

}  // namespace

std::vector<TableSummary> extract_tables(std::string_view xml_bytes) {
  if (xml::is_valid_utf8(xml_bytes)) return extract_tables(TextIndex(xml_bytes), xml_bytes);
  const std::string text = xml::utf8_lossy(xml_bytes);
  return extract_tables(TextIndex(text), text);
}

std::vector<TableSummary> extract_tables(const TextIndex& index, std::string_view view) {
  std::vector<TableSummary> tables;
  for (const std::string_view table : elements(index, view, "a:tbl")) {
    TableSummary& summary = tables.emplace_back();
    for (const std::string_view row : elements(index, table, "a:tr")) {
      std::vector<std::string>& cells = summary.rows.emplace_back();
      for (const std::string_view cell : elements(index, row, "a:tc")) cells.push_back(cell_text(cell));
      summary.col_count = std::max<uint64_t>(summary.col_count, cells.size());
    }
    summary.row_count = summary.rows.size();
  }
  return tables;
}

}  // namespace velmora::summary
