// module_functions.cpp - the functions defined with the module: group shapes, freeforms and edit batches.
#include "frame.h"
#include "shapes/groups.h"

namespace velmora::native {

namespace {

// name, parameters, core operation (null: not built yet).
constexpr FunctionRow kRows[] = {
    {"add_slide_group_auto_shape_with_text_json", "input, output, slide_index, group_index, preset_geometry, x_emu, y_emu, cx_emu, cy_emu, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_group_auto_shape_with_text(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.text(4), a.u64(5), a.u64(6), a.u64(7), a.u64(8),
           a.text(9)));
     }},
    {"add_slide_nested_group_auto_shape_with_text_json", "input, output, slide_index, group_index, nested_group_child_index, preset_geometry, x_emu, y_emu, cx_emu, cy_emu, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_nested_group_auto_shape_with_text(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.text(5), a.u64(6), a.u64(7), a.u64(8),
           a.u64(9), a.text(10)));
     }},
    {"add_slide_deeper_nested_group_auto_shape_with_text_json", "input, output, slide_index, group_index, nested_group_child_index, deeper_group_child_index, preset_geometry, x_emu, y_emu, cx_emu, cy_emu, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_deeper_nested_group_auto_shape_with_text(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.u64(5), a.text(6), a.u64(7), a.u64(8),
           a.u64(9), a.u64(10), a.text(11)));
     }},
    {"add_slide_nested_group_auto_shape_in_new_group_with_text_json", "input, output, slide_index, group_index, preset_geometry, x_emu, y_emu, cx_emu, cy_emu, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_nested_group_auto_shape_in_new_group_with_text(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.text(4), a.u64(5), a.u64(6), a.u64(7), a.u64(8),
           a.text(9)));
     }},
    {"add_slide_group_connector_json", "input, output, slide_index, group_index, preset_geometry, begin_x_emu, begin_y_emu, end_x_emu, end_y_emu",
     [](const Args& a) {
       return json_result(shapes::add_slide_group_connector_impl(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.text(4), a.u64(5), a.u64(6), a.u64(7), a.u64(8),
           std::nullopt, std::nullopt, std::nullopt, std::nullopt));
     }},
    {"add_slide_connected_group_connector_json", "input, output, slide_index, group_index, preset_geometry, begin_x_emu, begin_y_emu, end_x_emu, end_y_emu, begin_shape_id, begin_cxn_pt_idx, end_shape_id, end_cxn_pt_idx",
     [](const Args& a) {
       return json_result(shapes::add_slide_group_connector_impl(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.text(4), a.u64(5), a.u64(6), a.u64(7), a.u64(8),
           a.opt_u64(9), a.opt_u64(10), a.opt_u64(11), a.opt_u64(12)));
     }},
    {"add_slide_connected_group_connector_with_auto_shapes_json", "input, output, slide_index, group_index, begin_preset_geometry, begin_x_emu, begin_y_emu, begin_cx_emu, begin_cy_emu, end_preset_geometry, end_x_emu, end_y_emu, end_cx_emu, end_cy_emu, connector_preset_geometry, connector_begin_x_emu, connector_begin_y_emu, connector_end_x_emu, connector_end_y_emu, begin_cxn_pt_idx, end_cxn_pt_idx",
     [](const Args& a) {
       return json_result(shapes::add_slide_connected_group_connector_with_auto_shapes(
           a.text(0), a.text(1), a.u64(2), a.u64(3), {a.text(4), a.u64(5), a.u64(6), a.u64(7), a.u64(8)},
           {a.text(9), a.u64(10), a.u64(11), a.u64(12), a.u64(13)},
           {a.text(14), a.u64(15), a.u64(16), a.u64(17), a.u64(18)}, a.u64(19), a.u64(20)));
     }},
    {"add_slide_nested_group_connector_json", "input, output, slide_index, group_index, nested_group_child_index, preset_geometry, begin_x_emu, begin_y_emu, end_x_emu, end_y_emu",
     [](const Args& a) {
       return json_result(shapes::add_slide_nested_group_connector(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.text(5), a.u64(6), a.u64(7), a.u64(8),
           a.u64(9)));
     }},
    {"add_slide_deeper_nested_group_connector_json", "input, output, slide_index, group_index, nested_group_child_index, deeper_group_child_index, preset_geometry, begin_x_emu, begin_y_emu, end_x_emu, end_y_emu",
     [](const Args& a) {
       return json_result(shapes::add_slide_deeper_nested_group_connector(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.u64(5), a.text(6), a.u64(7), a.u64(8),
           a.u64(9), a.u64(10)));
     }},
    {"add_slide_nested_group_connector_in_new_group_json", "input, output, slide_index, group_index, preset_geometry, begin_x_emu, begin_y_emu, end_x_emu, end_y_emu",
     [](const Args& a) {
       return json_result(shapes::add_slide_nested_group_connector_in_new_group(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.text(4), a.u64(5), a.u64(6), a.u64(7), a.u64(8)));
     }},
    {"add_slide_group_shape_json", "input, output, slide_index",
     [](const Args& a) {
       return json_result(shapes::add_slide_group_shape(
           a.text(0), a.text(1), a.u64(2)));
     }},
    {"add_slide_nested_group_shape_json", "input, output, slide_index, group_index",
     [](const Args& a) {
       return json_result(shapes::add_slide_nested_group_shape(
           a.text(0), a.text(1), a.u64(2), a.u64(3)));
     }},
    {"add_slide_group_shape_to_nested_group_json", "input, output, slide_index, group_index, nested_group_child_index",
     [](const Args& a) {
       return json_result(shapes::add_slide_group_shape_to_nested_group(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4)));
     }},
    {"add_slide_group_shape_to_deeper_nested_group_json", "input, output, slide_index, group_index, nested_group_child_index, deeper_group_child_index",
     [](const Args& a) {
       return json_result(shapes::add_slide_group_shape_to_deeper_nested_group(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.u64(5)));
     }},
    {"group_slide_existing_group_children_json", "input, output, slide_index, group_index, child_indices",
     [](const Args& a) {
       return json_result(shapes::group_slide_existing_group_children(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64_list(4)));
     }},
    {"group_slide_existing_nested_group_children_json", "input, output, slide_index, group_index, nested_group_child_index, child_indices",
     [](const Args& a) {
       return json_result(shapes::group_slide_existing_nested_group_children(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.u64_list(5)));
     }},
    {"group_slide_existing_deeper_nested_group_children_json", "input, output, slide_index, group_index, nested_group_child_index, deeper_group_child_index, child_indices",
     [](const Args& a) {
       return json_result(shapes::group_slide_existing_deeper_nested_group_children(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.u64(5), a.u64_list(6)));
     }},
    {"add_slide_freeform_shape_json", "input, output, slide_index, x_emu, y_emu, cx_emu, cy_emu, path_w, path_h, operations_json",
     [](const Args& a) {
       return json_result(shapes::add_slide_freeform_shape_impl(
           a.text(0), a.text(1), a.u64(2), a.i64(3), a.i64(4), a.i64(5), a.i64(6), a.i64(7), a.i64(8),
           a.parsed<json::FreeformPathOperations>(9), std::nullopt));
     }},
    {"add_slide_freeform_shape_with_text_json", "input, output, slide_index, x_emu, y_emu, cx_emu, cy_emu, path_w, path_h, operations_json, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_freeform_shape_impl(
           a.text(0), a.text(1), a.u64(2), a.i64(3), a.i64(4), a.i64(5), a.i64(6), a.i64(7), a.i64(8),
           a.parsed<json::FreeformPathOperations>(9), a.text(10)));
     }},
    {"add_slide_group_freeform_shape_with_text_json", "input, output, slide_index, group_index, x_emu, y_emu, cx_emu, cy_emu, path_w, path_h, operations_json, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_group_freeform_shape_with_text(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.i64(4), a.i64(5), a.i64(6), a.i64(7), a.i64(8),
           a.i64(9), a.parsed<json::FreeformPathOperations>(10), a.text(11)));
     }},
    {"add_slide_nested_group_freeform_shape_with_text_json", "input, output, slide_index, group_index, nested_group_child_index, x_emu, y_emu, cx_emu, cy_emu, path_w, path_h, operations_json, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_nested_group_freeform_shape_with_text(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.i64(5), a.i64(6), a.i64(7), a.i64(8),
           a.i64(9), a.i64(10), a.parsed<json::FreeformPathOperations>(11), a.text(12)));
     }},
    {"add_slide_deeper_nested_group_freeform_shape_with_text_json", "input, output, slide_index, group_index, nested_group_child_index, deeper_group_child_index, x_emu, y_emu, cx_emu, cy_emu, path_w, path_h, operations_json, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_deeper_nested_group_freeform_shape_with_text(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.u64(5), a.i64(6), a.i64(7), a.i64(8),
           a.i64(9), a.i64(10), a.i64(11), a.parsed<json::FreeformPathOperations>(12), a.text(13)));
     }},
    {"add_slide_nested_group_freeform_shape_in_new_group_with_text_json", "input, output, slide_index, group_index, x_emu, y_emu, cx_emu, cy_emu, path_w, path_h, operations_json, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_nested_group_freeform_shape_in_new_group_with_text(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.i64(4), a.i64(5), a.i64(6), a.i64(7), a.i64(8),
           a.i64(9), a.parsed<json::FreeformPathOperations>(10), a.text(11)));
     }},
    {"apply_edit_batch_json", "input, output, edits_json",
     nullptr},
};

}  // namespace

int add_module_functions(PyObject* module) {
  return PyModule_AddFunctions(module, method_table<kRows, std::size(kRows)>());
}

}  // namespace velmora::native
