// native_shapes.cpp - the shapes group: placeholders, auto shapes and connectors.
#include "frame.h"
#include "shapes/add_shape.h"
#include "shapes/add_placeholders.h"

namespace velmora::native {

namespace {

// name, parameters, core operation (null: not built yet).
constexpr FunctionRow kRows[] = {
    {"add_slide_placeholder_shape_json", "input, output, slide_index, placeholder_type, placeholder_orient, placeholder_size, placeholder_idx",
     [](const Args& a) {
       return json_result(shapes::add_slide_placeholder_shape(
           a.text(0), a.text(1), a.u64(2), {a.opt_text(3), a.opt_text(4), a.opt_text(5), a.opt_text(6)}));
     }},
    {"add_slide_placeholder_shapes_json", "input, output, slide_index, placeholders_json",
     [](const Args& a) {
       return json_result(shapes::add_slide_placeholder_shapes(a.text(0), a.text(1), a.u64(2),
                                                               a.parsed<json::PlaceholderShapeSpecs>(3)));
     }},
    {"add_slide_layout_placeholders_json", "input, output, slide_index, layout_index",
     [](const Args& a) {
       return json_result(shapes::add_slide_layout_placeholders(a.text(0), a.text(1), a.u64(2), a.u64(3)));
     }},
    {"add_slide_auto_shape_json", "input, output, slide_index, preset_geometry, x_emu, y_emu, cx_emu, cy_emu",
     [](const Args& a) {
       return json_result(shapes::add_slide_auto_shape_impl(
           a.text(0), a.text(1), a.u64(2), a.text(3), a.u64(4), a.u64(5), a.u64(6), a.u64(7), std::nullopt, {}));
     }},
    {"add_slide_auto_shape_with_text_json", "input, output, slide_index, preset_geometry, x_emu, y_emu, cx_emu, cy_emu, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_auto_shape_impl(
           a.text(0), a.text(1), a.u64(2), a.text(3), a.u64(4), a.u64(5), a.u64(6), a.u64(7), a.text(8), {}));
     }},
    {"add_slide_auto_shape_with_options_json", "input, output, slide_index, preset_geometry, x_emu, y_emu, cx_emu, cy_emu, text, adjustment_guides_json",
     [](const Args& a) {
       return json_result(shapes::add_slide_auto_shape_impl(
           a.text(0), a.text(1), a.u64(2), a.text(3), a.u64(4), a.u64(5), a.u64(6), a.u64(7),
           a.opt_text(8) ? std::optional<std::string_view>(*a.opt_text(8)) : std::nullopt,
           a.parsed<json::AdjustmentGuides>(9)));
     }},
    {"add_slide_connector_json", "input, output, slide_index, preset_geometry, begin_x_emu, begin_y_emu, end_x_emu, end_y_emu",
     [](const Args& a) {
       return json_result(shapes::add_slide_connector(
           a.text(0), a.text(1), a.u64(2), a.text(3), a.u64(4), a.u64(5), a.u64(6), a.u64(7)));
     }},
    {"add_slide_connected_connector_json", "input, output, slide_index, preset_geometry, begin_x_emu, begin_y_emu, end_x_emu, end_y_emu, begin_shape_id, begin_cxn_pt_idx, end_shape_id, end_cxn_pt_idx",
     [](const Args& a) {
       return json_result(shapes::add_slide_connected_connector(
           a.text(0), a.text(1), a.u64(2), a.text(3), a.u64(4), a.u64(5), a.u64(6), a.u64(7), a.opt_u64(8),
           a.opt_u64(9), a.opt_u64(10), a.opt_u64(11)));
     }},
    {"add_slide_connected_connector_with_auto_shapes_json", "input, output, slide_index, begin_preset_geometry, begin_x_emu, begin_y_emu, begin_cx_emu, begin_cy_emu, end_preset_geometry, end_x_emu, end_y_emu, end_cx_emu, end_cy_emu, connector_preset_geometry, connector_begin_x_emu, connector_begin_y_emu, connector_end_x_emu, connector_end_y_emu, begin_cxn_pt_idx, end_cxn_pt_idx",
     [](const Args& a) {
       return json_result(shapes::add_slide_connected_connector_with_auto_shapes(
           a.text(0), a.text(1), a.u64(2), {a.text(3), a.u64(4), a.u64(5), a.u64(6), a.u64(7)},
           {a.text(8), a.u64(9), a.u64(10), a.u64(11), a.u64(12)},
           {a.text(13), a.u64(14), a.u64(15), a.u64(16), a.u64(17)}, a.u64(18), a.u64(19)));
     }},
};

}  // namespace

int add_native_shapes(PyObject* module) {
  return PyModule_AddFunctions(module, method_table<kRows, std::size(kRows)>());
}

}  // namespace velmora::native
