// placement.cpp - where new shapes go on a slide, and the common road of an operation that adds them.
#include "shapes/placement.h"

#include <limits>

#include "error.h"
#include "package/slide_edit.h"
#include "xml/concat.h"
#include "xml/shape_tree.h"

namespace velmora::shapes {

uint64_t next_shape_id(uint64_t id) {
  if (id == std::numeric_limits<uint64_t>::max()) throw_invalid_input("no shape id is left after " + std::to_string(id));
  return id + 1;
}

std::string group_shape_xml(uint64_t id, int64_t x, int64_t y, int64_t cx, int64_t cy, std::string_view children) {
  const std::string ids[] = {std::to_string(id), std::to_string(id == 0 ? 0 : id - 1)};
  const std::string off_x = std::to_string(x), off_y = std::to_string(y);
  const std::string ext_cx = std::to_string(cx), ext_cy = std::to_string(cy);
  return xml::concat({"<p:grpSp><p:nvGrpSpPr><p:cNvPr id=\"", ids[0], "\" name=\"Group ", ids[1],
                      "\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr><a:xfrm><a:off x=\"", off_x, "\" y=\"",
                      off_y, "\"/><a:ext cx=\"", ext_cx, "\" cy=\"", ext_cy, "\"/><a:chOff x=\"", off_x, "\" y=\"",
                      off_y, "\"/><a:chExt cx=\"", ext_cx, "\" cy=\"", ext_cy, "\"/></a:xfrm></p:grpSpPr>", children,
                      "</p:grpSp>"});
}

PlacedShapes place_shapes(std::string_view slide_xml, const ShapePlacement& placement, uint64_t first_id,
                          const ShapeBuilder& build) {
  if (placement.kind == ShapePlacement::Kind::ShapeTree) {
    package::require_shape_tree_end(slide_xml);
    NewShapes shapes = build(first_id);
    return {package::insert_into_shape_tree(slide_xml, shapes.xml), shapes.shape_id};
  }
  const size_t at = group_insertion_point(slide_xml, placement.group);
  NewShapes shapes;
  if (placement.kind == ShapePlacement::Kind::Group) {
    shapes = build(first_id);
  } else {
    shapes = build(next_shape_id(first_id));
    shapes.xml = group_shape_xml(first_id, 0, 0, 0, 0, shapes.xml);
  }
  return {xml::concat({slide_xml.substr(0, at), shapes.xml, slide_xml.substr(at)}), shapes.shape_id};
}

SlideShapesResult edit_slide_shapes(const std::string& input, const std::string& output, uint64_t slide_index,
                                    const SlideShapesEdit& edit) {
  const package::SlideEdit slide = package::open_slide_edit(input, output, slide_index);
  PlacedShapes placed = edit(slide.slide_xml, next_shape_id(xml::max_cnvpr_id(slide.slide_xml)));
  const package::PackageFacts facts = package::write_slide_edit(slide, output, std::move(placed.slide_xml));
  return {slide.slide_part, placed.shape_id, facts};
}

SlideShapesResult add_shapes_to_slide(const std::string& input, const std::string& output, uint64_t slide_index,
                                      const ShapePlacement& placement, const ShapeBuilder& build) {
  return edit_slide_shapes(input, output, slide_index, [&](std::string_view slide_xml, uint64_t first_id) {
    return place_shapes(slide_xml, placement, first_id, build);
  });
}

}  // namespace velmora::shapes
