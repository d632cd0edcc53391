// native_text_boxes.cpp - the text-box group: text boxes at the top level and in groups.
#include "frame.h"
#include "shapes/groups.h"

namespace velmora::native {

namespace {

// name, parameters, core operation (null: not built yet).
constexpr FunctionRow kRows[] = {
    {"add_slide_text_box_json", "input, output, slide_index, x_emu, y_emu, cx_emu, cy_emu",
     [](const Args& a) {
       return json_result(shapes::add_slide_text_box_impl(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.u64(5), a.u64(6), std::nullopt));
     }},
    {"add_slide_text_box_with_text_json", "input, output, slide_index, x_emu, y_emu, cx_emu, cy_emu, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_text_box_impl(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.u64(5), a.u64(6), a.text(7)));
     }},
    {"add_slide_group_text_box_with_text_json", "input, output, slide_index, group_index, x_emu, y_emu, cx_emu, cy_emu, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_group_text_box_with_text(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.u64(5), a.u64(6), a.u64(7), a.text(8)));
     }},
    {"add_slide_nested_group_text_box_with_text_json", "input, output, slide_index, group_index, nested_group_child_index, x_emu, y_emu, cx_emu, cy_emu, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_nested_group_text_box_with_text(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.u64(5), a.u64(6), a.u64(7), a.u64(8),
           a.text(9)));
     }},
    {"add_slide_deeper_nested_group_text_box_with_text_json", "input, output, slide_index, group_index, nested_group_child_index, deeper_group_child_index, x_emu, y_emu, cx_emu, cy_emu, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_deeper_nested_group_text_box_with_text(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.u64(5), a.u64(6), a.u64(7), a.u64(8),
           a.u64(9), a.text(10)));
     }},
    {"add_slide_nested_group_text_box_in_new_group_with_text_json", "input, output, slide_index, group_index, x_emu, y_emu, cx_emu, cy_emu, text",
     [](const Args& a) {
       return json_result(shapes::add_slide_nested_group_text_box_in_new_group_with_text(
           a.text(0), a.text(1), a.u64(2), a.u64(3), a.u64(4), a.u64(5), a.u64(6), a.u64(7), a.text(8)));
     }},
};

}  // namespace

int add_native_text_boxes(PyObject* module) {
  return PyModule_AddFunctions(module, method_table<kRows, std::size(kRows)>());
}

}  // namespace velmora::native
