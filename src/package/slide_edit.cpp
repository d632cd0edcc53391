// slide_edit.cpp - opening, reading and writing back one slide.
#include "package/slide_edit.h"

#include "error.h"
#include "package/slide_list.h"
#include "xml/splice.h"

namespace velmora::package {

namespace {
constexpr std::string_view kShapeTreeEnd = "</p:spTree>";
}

SlideEdit open_slide_edit(const std::string& input, const std::string& output, uint64_t slide_index) {
  prepare_output_parent(output);
  SlideEdit edit{open_package(input), slide_index, {}, {}};
  std::optional<std::string> part = slide_part_at_index(edit.package, slide_index);
  if (!part) throw_invalid_input("slide index " + std::to_string(slide_index) + " was not found");
  edit.slide_part = std::move(*part);
  std::optional<std::string> xml = read_archive_text(edit.package, edit.slide_part);
  if (!xml) throw_invalid_input("slide part " + edit.slide_part + " was not found");
  edit.slide_xml = std::move(*xml);
  return edit;
}

PackageFacts write_slide_edit(const SlideEdit& edit, const std::string& output, std::string new_xml) {
  return write_package_with_replaced_part(edit.package, output, edit.slide_part, std::move(new_xml));
}

void require_shape_tree_end(std::string_view slide_xml) {
  if (slide_xml.find(kShapeTreeEnd) == std::string_view::npos) {
    throw_invalid_input("slide XML is missing </p:spTree>");
  }
}

std::string insert_into_shape_tree(std::string_view slide_xml, std::string_view shapes) {
  require_shape_tree_end(slide_xml);
  return xml::insert_before(slide_xml, kShapeTreeEnd, shapes);
}

}  // namespace velmora::package
