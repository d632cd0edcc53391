// native_core.cpp - the core group: inspection, summaries, slides, text, tables and workbooks.
#include <map>
#include <string>
#include <variant>

#include "frame.h"
#include "package/inspect.h"
#include "summary/presentation.h"
#include "table/create.h"

namespace velmora::native {

namespace {

// The build information: built from a map ordered by key, so the members
// always come out sorted.
Outcome build_info(const Args&) {
  const std::map<std::string, std::variant<bool, std::string>> info{
      {"package", std::string("velmora-py")},
      {"version", std::string("0.1.2")},
      {"build_profile", std::string("release")},
      {"debug_assertions", false},
  };
  json::PrettyWriter out;
  out.begin_object();
  for (const auto& [key, value] : info) {
    out.key(key);
    std::visit([&](const auto& v) { out.value(v); }, value);
  }
  out.end_object();
  return {out.take(), false};
}

constexpr const char* kUpdateWorkbookCellsDoc =
    "Write `[reference, kind, value]` cells into the named sheet of an XLSX\n"
    "package in place. `kind` is `\"n\"` for a number, `\"s\"` for a string, or\n"
    "`\"e\"` to clear an existing cell (its value is ignored).";

// name, parameters, core operation (null: not built yet).
constexpr FunctionRow kRows[] = {
    {"build_info_json", "",
     &build_info},
    {"inspect_package_json", "path",
     [](const Args& a) { return json_result(package::inspect_package(a.text(0))); }},
    {"summarize_presentation_json", "path",
     [](const Args& a) { return json_result(summary::summarize_presentation(a.text(0))); }},
    {"summarize_slide_at_index_json", "path, slide_index",
     [](const Args& a) { return json_result(summary::summarize_slide_at_index(a.text(0), a.u64(1))); }},
    {"roundtrip_package_json", "input, output",
     [](const Args& a) { return json_result(package::roundtrip_package(a.text(0), a.text(1))); }},
    {"add_blank_slide_json", "input, output",
     nullptr},
    {"add_blank_slide_with_layout_json", "input, output, layout_index",
     nullptr},
    {"duplicate_slide_json", "input, output, source_slide_part",
     nullptr},
    {"delete_slide_json", "input, output, target_slide_part",
     nullptr},
    {"delete_slides_json", "input, output, target_slide_parts, ordered_survivor_parts=None",
     nullptr},
    {"replace_slide_text_json", "input, output, search, replacement",
     nullptr},
    {"replace_slide_text_at_index_json", "input, output, slide_index, search, replacement",
     nullptr},
    {"replace_slide_text_run_at_index_json", "input, output, slide_index, run_index, replacement",
     nullptr},
    {"set_slide_shape_text_at_index_json", "input, output, slide_index, shape_index, replacement",
     nullptr},
    {"set_slide_shape_paragraph_text_at_index_json", "input, output, slide_index, shape_index, paragraph_index, replacement",
     nullptr},
    {"replace_table_cell_text_json", "input, output, slide_index, table_index, row_index, col_index, replacement",
     nullptr},
    {"add_slide_table_json", "input, output, slide_index, rows, cols, x_emu, y_emu, cx_emu, cy_emu",
     [](const Args& a) {
       return json_result(table::add_slide_table_impl(
           a.text(0), a.text(1), a.u64(2), {a.u64(3), a.u64(4), a.u64(5), a.u64(6), a.u64(7), a.u64(8), {}}));
     }},
    {"add_slide_table_with_cell_texts_json", "input, output, slide_index, rows, cols, x_emu, y_emu, cx_emu, cy_emu, cell_texts_json",
     [](const Args& a) {
       return json_result(table::add_slide_table_impl(a.text(0), a.text(1), a.u64(2),
                                                      {a.u64(3), a.u64(4), a.u64(5), a.u64(6), a.u64(7), a.u64(8),
                                                       a.parsed<json::CellTexts>(9)}));
     }},
    {"update_workbook_cells", "xlsx, sheet_name, cells_json",
     nullptr, kUpdateWorkbookCellsDoc},
};

}  // namespace

int add_native_core(PyObject* module) {
  return PyModule_AddFunctions(module, method_table<kRows, std::size(kRows)>());
}

}  // namespace velmora::native
