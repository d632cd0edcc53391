// native_shapes.cpp - the shapes group: placeholders, auto shapes and connectors.
#include "frame.h"

namespace velmora::native {

namespace {

// name, parameters, core operation (null: not built yet).
constexpr FunctionRow kRows[] = {
    {"add_slide_placeholder_shape_json", "input, output, slide_index, placeholder_type, placeholder_orient, placeholder_size, placeholder_idx",
     nullptr},
    {"add_slide_placeholder_shapes_json", "input, output, slide_index, placeholders_json",
     nullptr},
    {"add_slide_layout_placeholders_json", "input, output, slide_index, layout_index",
     nullptr},
    {"add_slide_auto_shape_json", "input, output, slide_index, preset_geometry, x_emu, y_emu, cx_emu, cy_emu",
     nullptr},
    {"add_slide_auto_shape_with_text_json", "input, output, slide_index, preset_geometry, x_emu, y_emu, cx_emu, cy_emu, text",
     nullptr},
    {"add_slide_auto_shape_with_options_json", "input, output, slide_index, preset_geometry, x_emu, y_emu, cx_emu, cy_emu, text, adjustment_guides_json",
     nullptr},
    {"add_slide_connector_json", "input, output, slide_index, preset_geometry, begin_x_emu, begin_y_emu, end_x_emu, end_y_emu",
     nullptr},
    {"add_slide_connected_connector_json", "input, output, slide_index, preset_geometry, begin_x_emu, begin_y_emu, end_x_emu, end_y_emu, begin_shape_id, begin_cxn_pt_idx, end_shape_id, end_cxn_pt_idx",
     nullptr},
    {"add_slide_connected_connector_with_auto_shapes_json", "input, output, slide_index, begin_preset_geometry, begin_x_emu, begin_y_emu, begin_cx_emu, begin_cy_emu, end_preset_geometry, end_x_emu, end_y_emu, end_cx_emu, end_cy_emu, connector_preset_geometry, connector_begin_x_emu, connector_begin_y_emu, connector_end_x_emu, connector_end_y_emu, begin_cxn_pt_idx, end_cxn_pt_idx",
     nullptr},
};

}  // namespace

int add_native_shapes(PyObject* module) {
  return PyModule_AddFunctions(module, method_table<kRows, std::size(kRows)>());
}

}  // namespace velmora::native
