// native_media.cpp - the media group: pictures, movies and OLE objects.
#include "frame.h"

namespace velmora::native {

namespace {

// name, parameters, core operation (null: not built yet).
constexpr FunctionRow kRows[] = {
    {"replace_slide_image_json", "input, output, relationship_id, image_path",
     nullptr},
    {"replace_slide_image_at_index_json", "input, output, slide_index, relationship_id, image_path",
     nullptr},
    {"add_slide_image_json", "input, output, slide_index, image_path, x_emu, y_emu, cx_emu, cy_emu",
     nullptr},
    {"add_slide_group_image_json", "input, output, slide_index, group_index, image_path, x_emu, y_emu, cx_emu, cy_emu",
     nullptr},
    {"add_slide_nested_group_image_json", "input, output, slide_index, group_index, nested_group_child_index, image_path, x_emu, y_emu, cx_emu, cy_emu",
     nullptr},
    {"add_slide_deeper_nested_group_image_json", "input, output, slide_index, group_index, nested_group_child_index, deeper_group_child_index, image_path, x_emu, y_emu, cx_emu, cy_emu",
     nullptr},
    {"add_slide_nested_group_image_in_new_group_json", "input, output, slide_index, group_index, image_path, x_emu, y_emu, cx_emu, cy_emu",
     nullptr},
    {"add_slide_movie_json", "input, output, slide_index, movie_path, poster_frame_path, x_emu, y_emu, cx_emu, cy_emu, mime_type",
     nullptr},
    {"add_slide_ole_object_json", "input, output, slide_index, object_path, prog_id, x_emu, y_emu, cx_emu, cy_emu, icon_path, icon_cx_emu, icon_cy_emu",
     nullptr},
    {"add_slide_group_ole_object_json", "input, output, slide_index, group_index, object_path, prog_id, x_emu, y_emu, cx_emu, cy_emu, icon_path, icon_cx_emu, icon_cy_emu",
     nullptr},
    {"add_slide_nested_group_ole_object_json", "input, output, slide_index, group_index, nested_group_child_index, object_path, prog_id, x_emu, y_emu, cx_emu, cy_emu, icon_path, icon_cx_emu, icon_cy_emu",
     nullptr},
    {"add_slide_deeper_nested_group_ole_object_json", "input, output, slide_index, group_index, nested_group_child_index, deeper_group_child_index, object_path, prog_id, x_emu, y_emu, cx_emu, cy_emu, icon_path, icon_cx_emu, icon_cy_emu",
     nullptr},
    {"add_slide_nested_group_ole_object_in_new_group_json", "input, output, slide_index, group_index, object_path, prog_id, x_emu, y_emu, cx_emu, cy_emu, icon_path, icon_cx_emu, icon_cy_emu",
     nullptr},
};

}  // namespace

int add_native_media(PyObject* module) {
  return PyModule_AddFunctions(module, method_table<kRows, std::size(kRows)>());
}

}  // namespace velmora::native
