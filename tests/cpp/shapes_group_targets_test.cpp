// shapes_group_targets_test.cpp - locating groups of a slide, placing new shapes in the shape tree or a group, and grouping a group's children.
#include <gtest/gtest.h>

#include <cctype>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "error.h"
#include "shapes/group_targets.h"
#include "shapes/groups.h"
#include "shapes/placement.h"
#include "xml/text_search.h"

namespace velmora::shapes {
namespace {

// Slide fixtures. Every shape carries its id in its name too, so a located
// block is recognised by its first id.

std::string sp(int id, std::string_view transform = "") {
  return "<p:sp><p:nvSpPr><p:cNvPr id=\"" + std::to_string(id) + "\" name=\"S" + std::to_string(id) +
         "\"/><p:cNvSpPr/><p:nvPr/></p:nvSpPr><p:spPr>" + std::string(transform) + "</p:spPr></p:sp>";
}

std::string xfrm(int x, int y, int cx, int cy) {
  return "<a:xfrm><a:off x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\"/><a:ext cx=\"" +
         std::to_string(cx) + "\" cy=\"" + std::to_string(cy) + "\"/></a:xfrm>";
}

std::string pic(int id) {
  return "<p:pic><p:nvPicPr><p:cNvPr id=\"" + std::to_string(id) +
         "\" name=\"P\"/><p:cNvPicPr/><p:nvPr/></p:nvPicPr><p:blipFill/><p:spPr/></p:pic>";
}

std::string cxn(int id) {
  return "<p:cxnSp><p:nvCxnSpPr><p:cNvPr id=\"" + std::to_string(id) +
         "\" name=\"C\"/><p:cNvCxnSpPr/><p:nvPr/></p:nvCxnSpPr><p:spPr/></p:cxnSp>";
}

std::string group(int id, std::string_view children, std::string_view transform = "<a:xfrm/>") {
  return "<p:grpSp><p:nvGrpSpPr><p:cNvPr id=\"" + std::to_string(id) + "\" name=\"G" + std::to_string(id) +
         "\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr>" + std::string(transform) + "</p:grpSpPr>" +
         std::string(children) + "</p:grpSp>";
}

std::string alternate(std::string_view content) {
  return "<mc:AlternateContent><mc:Choice Requires=\"p14\">" + std::string(content) +
         "</mc:Choice><mc:Fallback/></mc:AlternateContent>";
}

std::string slide(std::string_view tree) {
  return "<?xml version=\"1.0\"?><p:sld><p:cSld><p:spTree><p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/>"
         "<p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr/>" +
         std::string(tree) + "</p:spTree></p:cSld></p:sld>";
}

template <class F>
std::string message_of(F&& action) {
  try {
    action();
  } catch (const VelmoraError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::InvalidInput) << error.what();
    return error.detail();
  }
  return "(no error)";
}

// A text box, a group three deep, a picture and a second group:
//   10 [11, 12 [13, 14 [15], 16], 17], 20 [21]
const std::string kDeepSlide =
    slide(sp(2) + group(10, sp(11) + group(12, sp(13) + group(14, sp(15)) + cxn(16)) + pic(17)) + pic(3) +
          group(20, sp(21)));

struct TargetCase {
  const char* label;
  std::string slide_xml;
  GroupTarget target;
  std::string expected;  // the located group's id, or the error text
};

class GroupTargetTest : public testing::TestWithParam<TargetCase> {};

TEST_P(GroupTargetTest, LocatesTheGroupOrSaysWhyNot) {
  const TargetCase& c = GetParam();
  std::string found;
  const std::string error = message_of([&] {
    const TextRange range = group_target_bounds(c.slide_xml, c.target);
    const std::string_view block = std::string_view(c.slide_xml).substr(range.begin, range.end - range.begin);
    ASSERT_TRUE(block.starts_with("<p:grpSp>") && block.ends_with("</p:grpSp>")) << block;
    found = std::string(*xml::attribute_value(block, "id"));
  });
  EXPECT_EQ(found.empty() ? error : found, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GroupTargetTest,
    testing::Values(
        TargetCase{"first group", kDeepSlide, GroupTarget::group(0), "10"},
        TargetCase{"groups only are counted", kDeepSlide, GroupTarget::group(1), "20"},
        TargetCase{"too few groups", kDeepSlide, GroupTarget::group(2), "group shape index 2 was not found"},
        TargetCase{"nested group", kDeepSlide, GroupTarget::nested(0, 1), "12"},
        TargetCase{"nested child not a group", kDeepSlide, GroupTarget::nested(0, 0),
                   "nested group child index 0 is not a group shape"},
        TargetCase{"nested child past the last", kDeepSlide, GroupTarget::nested(0, 3),
                   "nested group child index 3 was not found"},
        TargetCase{"nested in a missing group", kDeepSlide, GroupTarget::nested(2, 0),
                   "group shape index 2 was not found"},
        TargetCase{"deeper group", kDeepSlide, GroupTarget::deeper(0, 1, 1), "14"},
        TargetCase{"deeper child not a group", kDeepSlide, GroupTarget::deeper(0, 1, 2),
                   "deeper nested group child index 2 is not a group shape"},
        TargetCase{"deeper child past the last", kDeepSlide, GroupTarget::deeper(0, 1, 3),
                   "deeper nested group child index 3 was not found"},
        TargetCase{"deeper under a non-group", kDeepSlide, GroupTarget::deeper(0, 2, 0),
                   "nested group child index 2 is not a group shape"},
        TargetCase{"a group inside a group is not top-level", slide(group(10, group(11, sp(12)))),
                   GroupTarget::group(1), "group shape index 1 was not found"},
        TargetCase{"a group in alternate content counts", slide(alternate(group(30, sp(31))) + group(40, sp(41))),
                   GroupTarget::group(1), "40"},
        TargetCase{"a group in alternate content is first", slide(alternate(group(30, sp(31))) + group(40, sp(41))),
                   GroupTarget::group(0), "30"},
        TargetCase{"self-closing group properties: no children",
                   slide("<p:grpSp><p:nvGrpSpPr><p:cNvPr id=\"9\" name=\"G\"/></p:nvGrpSpPr><p:grpSpPr/>" +
                         group(10, "") + "</p:grpSp>"),
                   GroupTarget::nested(0, 0), "nested group child index 0 was not found"},
        TargetCase{"self-closing group properties: a grandchild is no child",
                   slide("<p:grpSp><p:nvGrpSpPr><p:cNvPr id=\"9\" name=\"G\"/></p:nvGrpSpPr><p:grpSpPr/>" +
                         group(10, group(11, "")) + "</p:grpSp>"),
                   GroupTarget::nested(0, 0), "nested group child index 0 was not found"},
        TargetCase{"an unclosed shape ends the scan", slide(group(10, "") + "<p:sp><p:nvSpPr>" + group(11, "")),
                   GroupTarget::group(1), "group shape index 1 was not found"}),
    [](const testing::TestParamInfo<TargetCase>& param) {
      std::string name;
      for (const char* c = param.param.label; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      return name;
    });

TEST(DirectGroupChildren, AllShapeKindsInOrderWithNestedContentSkipped) {
  const std::string g = group(10, sp(11) + group(12, sp(13) + pic(14)) + pic(15) + cxn(16) + alternate(sp(17)));
  const std::vector<ShapeBlock> children = direct_group_children(g);
  std::vector<std::string> names;
  for (const ShapeBlock& child : children) names.emplace_back(child.name);
  // The shape inside the alternate-content wrapper is a child too.
  EXPECT_EQ(names, (std::vector<std::string>{"p:sp", "p:grpSp", "p:pic", "p:cxnSp", "p:sp"}));
  EXPECT_EQ(g.substr(children[1].range.begin, children[1].range.end - children[1].range.begin),
            group(12, sp(13) + pic(14)));
  EXPECT_FALSE(direct_group_child_bounds(g, 5));
}

// Placing new shapes.

/// A builder that records the ids it was given.
struct RecordingBuilder {
  std::vector<uint64_t> calls;
  ShapeBuilder builder() {
    return [this](uint64_t id) {
      calls.push_back(id);
      return NewShapes{"<NEW" + std::to_string(id) + "/>", id * 100};
    };
  }
};

TEST(PlaceShapes, ShapeTreeGetsTheShapesBeforeItsLastEnd) {
  // A "</p:spTree>" inside a comment before the real end does not count.
  const std::string xml = slide(sp(2) + "<!-- </p:spTree> -->");
  RecordingBuilder build;
  const PlacedShapes placed = place_shapes(xml, ShapePlacement::shape_tree(), 3, build.builder());
  EXPECT_EQ(placed.slide_xml, slide(sp(2) + "<!-- </p:spTree> --><NEW3/>"));
  EXPECT_EQ(placed.shape_id, 300u);
}

TEST(PlaceShapes, GroupTargetsGetTheShapesAsTheirLastChild) {
  const struct {
    GroupTarget target;
    std::string expected;
  } cases[] = {
      {GroupTarget::group(1), slide(sp(2) + group(10, sp(11) + group(12, sp(13) + group(14, sp(15)) + cxn(16)) +
                                                          pic(17)) +
                                    pic(3) + group(20, sp(21) + "<NEW30/>"))},
      {GroupTarget::nested(0, 1), slide(sp(2) +
                                        group(10, sp(11) + group(12, sp(13) + group(14, sp(15)) + cxn(16) + "<NEW30/>") +
                                                      pic(17)) +
                                        pic(3) + group(20, sp(21)))},
      {GroupTarget::deeper(0, 1, 1),
       slide(sp(2) + group(10, sp(11) + group(12, sp(13) + group(14, sp(15) + "<NEW30/>") + cxn(16)) + pic(17)) +
             pic(3) + group(20, sp(21)))},
  };
  for (const auto& c : cases) {
    RecordingBuilder build;
    EXPECT_EQ(place_shapes(kDeepSlide, ShapePlacement::into(c.target), 30, build.builder()).slide_xml, c.expected);
  }
}

TEST(PlaceShapes, NewGroupTakesTheFirstIdAndHoldsTheShapes) {
  RecordingBuilder build;
  const PlacedShapes placed = place_shapes(slide(group(7, sp(8))), ShapePlacement::in_new_group(0), 9, build.builder());
  EXPECT_EQ(build.calls, std::vector<uint64_t>{10});
  EXPECT_EQ(placed.shape_id, 1000u);
  const std::string new_group =
      "<p:grpSp><p:nvGrpSpPr><p:cNvPr id=\"9\" name=\"Group 8\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr>"
      "<a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/><a:chOff x=\"0\" y=\"0\"/><a:chExt cx=\"0\" "
      "cy=\"0\"/></a:xfrm></p:grpSpPr><NEW10/></p:grpSp>";
  EXPECT_EQ(placed.slide_xml, slide(group(7, sp(8) + new_group)));
}

TEST(PlaceShapes, NothingIsBuiltWhenThePlaceIsMissing) {
  const struct {
    std::string slide_xml;
    ShapePlacement placement;
    std::string error;
  } cases[] = {
      {"<p:sld><p:cSld><p:spTree>" + sp(2) + "</p:cSld></p:sld>", ShapePlacement::shape_tree(),
       "slide XML is missing </p:spTree>"},
      {kDeepSlide, ShapePlacement::into(GroupTarget::group(2)), "group shape index 2 was not found"},
      {kDeepSlide, ShapePlacement::in_new_group(5), "group shape index 5 was not found"},
      {kDeepSlide, ShapePlacement::into(GroupTarget::deeper(0, 1, 9)),
       "deeper nested group child index 9 was not found"},
  };
  for (const auto& c : cases) {
    RecordingBuilder build;
    EXPECT_EQ(message_of([&] { place_shapes(c.slide_xml, c.placement, 1, build.builder()); }), c.error);
    EXPECT_TRUE(build.calls.empty());
  }
}

TEST(PlaceShapes, NewGroupLeavesNoIdForItsShapesAfterTheLargest) {
  RecordingBuilder build;
  EXPECT_EQ(message_of([&] {
              place_shapes(slide(group(7, sp(8))), ShapePlacement::in_new_group(0),
                           std::numeric_limits<uint64_t>::max(), build.builder());
            }),
            "no shape id is left after 18446744073709551615");
  EXPECT_TRUE(build.calls.empty());
}

TEST(GroupShapeXml, ZeroIdKeepsTheNumberZero) {
  EXPECT_EQ(group_shape_xml(0, -5, 6, 7, 8, "<c/>"),
            "<p:grpSp><p:nvGrpSpPr><p:cNvPr id=\"0\" name=\"Group 0\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr>"
            "<p:grpSpPr><a:xfrm><a:off x=\"-5\" y=\"6\"/><a:ext cx=\"7\" cy=\"8\"/><a:chOff x=\"-5\" y=\"6\"/>"
            "<a:chExt cx=\"7\" cy=\"8\"/></a:xfrm></p:grpSpPr><c/></p:grpSp>");
}

// Grouping existing children.

const std::string kFrame =
    "<p:graphicFrame><p:nvGraphicFramePr><p:cNvPr id=\"40\" name=\"F\"/></p:nvGraphicFramePr>"
    "<p:xfrm><a:off x=\"0\" y=\"20\"/><a:ext cx=\"5\" cy=\"5\"/></p:xfrm><a:graphic/></p:graphicFrame>";

TEST(GroupExistingChildren, NewGroupSpansTheChildrenInTheGivenOrder) {
  const std::string c0 = sp(11, xfrm(100, 100, 200, 50)), c1 = sp(12), c2 = sp(13, xfrm(50, 300, 10, 10));
  const std::string xml = slide(sp(2) + group(10, c0 + c1 + c2, xfrm(1, 2, 3, 4)) + pic(3));
  const std::vector<uint64_t> indices = {2, 0};
  EXPECT_EQ(group_existing_group_children_xml(xml, GroupTarget::group(0), indices, 14),
            slide(sp(2) + group(10, c1 + group_shape_xml(14, 50, 100, 250, 210, c2 + c0), xfrm(1, 2, 3, 4)) + pic(3)));
}

TEST(GroupExistingChildren, TransformsOfFramesAndGroupsAreRead) {
  const std::string child_group = group(30, sp(31, xfrm(9, 9, 1, 1)), xfrm(-10, 5, 20, 20));
  // A missing attribute reads as 0 (the frame's x), a non-numeric one too.
  const std::string odd = sp(50, "<a:xfrm><a:off y=\"x\"/><a:ext cx=\"1\" cy=\"1\"/></a:xfrm>");
  const std::string xml = slide(group(10, sp(11) + group(12, child_group + kFrame + odd)));
  const std::vector<uint64_t> indices = {0, 1, 2};
  EXPECT_EQ(group_existing_group_children_xml(xml, GroupTarget::nested(0, 1), indices, 60),
            slide(group(10, sp(11) + group(12, group_shape_xml(60, -10, 0, 20, 25, child_group + kFrame + odd)))));
}

TEST(GroupExistingChildren, Refusals) {
  const std::string xml = slide(group(10, sp(11, xfrm(0, 0, 1, 1)) + sp(12) + sp(13, "<a:xfrm/>") +
                                              sp(14, "<a:xfrm><a:off x=\"1\" y=\"1\"/></a:xfrm>")));
  const struct {
    GroupTarget target;
    std::vector<uint64_t> indices;
    std::string error;
  } cases[] = {
      {GroupTarget::group(0), {}, "at least one group child is required"},
      {GroupTarget::group(3), {}, "at least one group child is required"},
      {GroupTarget::group(3), {0}, "group shape index 3 was not found"},
      {GroupTarget::nested(0, 0), {0}, "nested group child index 0 is not a group shape"},
      {GroupTarget::group(0), {0, 4}, "group child index 4 was not found"},
      {GroupTarget::group(0), {0, 0}, "group child index 0 is given more than once"},
      {GroupTarget::group(0), {1}, "selected group child is missing transform"},
      {GroupTarget::group(0), {2}, "selected group child is missing transform"},
      {GroupTarget::group(0), {3}, "selected group child is missing transform"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(message_of([&] { group_existing_group_children_xml(xml, c.target, c.indices, 20); }), c.error);
  }
}

}  // namespace
}  // namespace velmora::shapes
