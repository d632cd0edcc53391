// native_text_boxes.cpp - the text-box group: text boxes at the top level and in groups.
#include "frame.h"

namespace velmora::native {

namespace {

// name, parameters, core operation (null: not built yet).
constexpr FunctionRow kRows[] = {
    {"add_slide_text_box_json", "input, output, slide_index, x_emu, y_emu, cx_emu, cy_emu",
     nullptr},
    {"add_slide_text_box_with_text_json", "input, output, slide_index, x_emu, y_emu, cx_emu, cy_emu, text",
     nullptr},
    {"add_slide_group_text_box_with_text_json", "input, output, slide_index, group_index, x_emu, y_emu, cx_emu, cy_emu, text",
     nullptr},
    {"add_slide_nested_group_text_box_with_text_json", "input, output, slide_index, group_index, nested_group_child_index, x_emu, y_emu, cx_emu, cy_emu, text",
     nullptr},
    {"add_slide_deeper_nested_group_text_box_with_text_json", "input, output, slide_index, group_index, nested_group_child_index, deeper_group_child_index, x_emu, y_emu, cx_emu, cy_emu, text",
     nullptr},
    {"add_slide_nested_group_text_box_in_new_group_with_text_json", "input, output, slide_index, group_index, x_emu, y_emu, cx_emu, cy_emu, text",
     nullptr},
};

}  // namespace

int add_native_text_boxes(PyObject* module) {
  return PyModule_AddFunctions(module, method_table<kRows, std::size(kRows)>());
}

}  // namespace velmora::native
