// module_functions.cpp - the functions defined with the module: group shapes, freeforms and edit batches.
#include "frame.h"

namespace velmora::native {

namespace {

// name, parameters, core operation (null: not built yet).
constexpr FunctionRow kRows[] = {
    {"add_slide_group_auto_shape_with_text_json", "input, output, slide_index, group_index, preset_geometry, x_emu, y_emu, cx_emu, cy_emu, text",
     nullptr},
    {"add_slide_nested_group_auto_shape_with_text_json", "input, output, slide_index, group_index, nested_group_child_index, preset_geometry, x_emu, y_emu, cx_emu, cy_emu, text",
     nullptr},
    {"add_slide_deeper_nested_group_auto_shape_with_text_json", "input, output, slide_index, group_index, nested_group_child_index, deeper_group_child_index, preset_geometry, x_emu, y_emu, cx_emu, cy_emu, text",
     nullptr},
    {"add_slide_nested_group_auto_shape_in_new_group_with_text_json", "input, output, slide_index, group_index, preset_geometry, x_emu, y_emu, cx_emu, cy_emu, text",
     nullptr},
    {"add_slide_group_connector_json", "input, output, slide_index, group_index, preset_geometry, begin_x_emu, begin_y_emu, end_x_emu, end_y_emu",
     nullptr},
    {"add_slide_connected_group_connector_json", "input, output, slide_index, group_index, preset_geometry, begin_x_emu, begin_y_emu, end_x_emu, end_y_emu, begin_shape_id, begin_cxn_pt_idx, end_shape_id, end_cxn_pt_idx",
     nullptr},
    {"add_slide_connected_group_connector_with_auto_shapes_json", "input, output, slide_index, group_index, begin_preset_geometry, begin_x_emu, begin_y_emu, begin_cx_emu, begin_cy_emu, end_preset_geometry, end_x_emu, end_y_emu, end_cx_emu, end_cy_emu, connector_preset_geometry, connector_begin_x_emu, connector_begin_y_emu, connector_end_x_emu, connector_end_y_emu, begin_cxn_pt_idx, end_cxn_pt_idx",
     nullptr},
    {"add_slide_nested_group_connector_json", "input, output, slide_index, group_index, nested_group_child_index, preset_geometry, begin_x_emu, begin_y_emu, end_x_emu, end_y_emu",
     nullptr},
    {"add_slide_deeper_nested_group_connector_json", "input, output, slide_index, group_index, nested_group_child_index, deeper_group_child_index, preset_geometry, begin_x_emu, begin_y_emu, end_x_emu, end_y_emu",
     nullptr},
    {"add_slide_nested_group_connector_in_new_group_json", "input, output, slide_index, group_index, preset_geometry, begin_x_emu, begin_y_emu, end_x_emu, end_y_emu",
     nullptr},
    {"add_slide_group_shape_json", "input, output, slide_index",
     nullptr},
    {"add_slide_nested_group_shape_json", "input, output, slide_index, group_index",
     nullptr},
    {"add_slide_group_shape_to_nested_group_json", "input, output, slide_index, group_index, nested_group_child_index",
     nullptr},
    {"add_slide_group_shape_to_deeper_nested_group_json", "input, output, slide_index, group_index, nested_group_child_index, deeper_group_child_index",
     nullptr},
    {"group_slide_existing_group_children_json", "input, output, slide_index, group_index, child_indices",
     nullptr},
    {"group_slide_existing_nested_group_children_json", "input, output, slide_index, group_index, nested_group_child_index, child_indices",
     nullptr},
    {"group_slide_existing_deeper_nested_group_children_json", "input, output, slide_index, group_index, nested_group_child_index, deeper_group_child_index, child_indices",
     nullptr},
    {"add_slide_freeform_shape_json", "input, output, slide_index, x_emu, y_emu, cx_emu, cy_emu, path_w, path_h, operations_json",
     nullptr},
    {"add_slide_freeform_shape_with_text_json", "input, output, slide_index, x_emu, y_emu, cx_emu, cy_emu, path_w, path_h, operations_json, text",
     nullptr},
    {"add_slide_group_freeform_shape_with_text_json", "input, output, slide_index, group_index, x_emu, y_emu, cx_emu, cy_emu, path_w, path_h, operations_json, text",
     nullptr},
    {"add_slide_nested_group_freeform_shape_with_text_json", "input, output, slide_index, group_index, nested_group_child_index, x_emu, y_emu, cx_emu, cy_emu, path_w, path_h, operations_json, text",
     nullptr},
    {"add_slide_deeper_nested_group_freeform_shape_with_text_json", "input, output, slide_index, group_index, nested_group_child_index, deeper_group_child_index, x_emu, y_emu, cx_emu, cy_emu, path_w, path_h, operations_json, text",
     nullptr},
    {"add_slide_nested_group_freeform_shape_in_new_group_with_text_json", "input, output, slide_index, group_index, x_emu, y_emu, cx_emu, cy_emu, path_w, path_h, operations_json, text",
     nullptr},
    {"apply_edit_batch_json", "input, output, edits_json",
     nullptr},
};

}  // namespace

int add_module_functions(PyObject* module) {
  return PyModule_AddFunctions(module, method_table<kRows, std::size(kRows)>());
}

}  // namespace velmora::native
