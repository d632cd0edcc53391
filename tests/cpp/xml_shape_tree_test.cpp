// xml_shape_tree_test.cpp - shape names, shape ids, and top-level shape blocks of a slide.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "xml/reader.h"
#include "xml/shape_tree.h"

namespace velmora::xml {
namespace {

std::string shape(std::string_view id, std::string_view body = "") {
  return "<p:sp><p:nvSpPr><p:cNvPr id=\"" + std::string(id) + "\" name=\"Shape " + std::string(id) +
         "\"/><p:cNvSpPr/><p:nvPr/></p:nvSpPr><p:spPr/>" + std::string(body) + "</p:sp>";
}

std::string slide(std::string_view tree_content) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<p:sld xmlns:a=\"a\" xmlns:p=\"p\"><p:cSld>"
         "<p:spTree><p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr/>" +
         std::string(tree_content) + "</p:spTree></p:cSld></p:sld>";
}

const std::string kTextBox = shape("2", "<p:txBody><a:p><a:r><a:t>hello</a:t></a:r></a:p></p:txBody>");
const std::string kGroup =
    "<p:grpSp><p:nvGrpSpPr><p:cNvPr id=\"10\" name=\"Group\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr/>" +
    shape("4") + "<p:cxnSp><p:nvCxnSpPr><p:cNvPr id=\"5\" name=\"c\"/></p:nvCxnSpPr></p:cxnSp></p:grpSp>";
const std::string kPicture =
    "<p:pic><p:nvPicPr><p:cNvPr id=\"3\" name=\"Picture\"/></p:nvPicPr><p:blipFill><a:blip r:embed=\"rId2\"/>"
    "</p:blipFill></p:pic>";

TEST(ShapeTree, ShapeElementNames) {
  for (std::string_view name : {"sp", "pic", "graphicFrame", "grpSp", "cxnSp"}) {
    EXPECT_TRUE(is_shape_element_name(name)) << name;
    EXPECT_TRUE(is_shape_tree_shape(name)) << name;
  }
  for (std::string_view name : {"spTree", "p:sp", "nvSpPr", "graphicframe", "", "contentPart"}) {
    EXPECT_FALSE(is_shape_element_name(name)) << name;
    EXPECT_FALSE(is_shape_tree_shape(name)) << name;
  }
}

TEST(ShapeTree, MaxCnvprId) {
  EXPECT_EQ(max_cnvpr_id(slide(shape("2") + shape("10") + shape("3"))), 10u);
  EXPECT_EQ(max_cnvpr_id("<p:sld><p:spTree/></p:sld>"), 0u);
  EXPECT_EQ(max_cnvpr_id(slide(shape("x") + shape("+7") + shape("-9") + shape("18446744073709551616"))), 7u);
  EXPECT_EQ(max_cnvpr_id("<p:cNvPr name=\"a\" id=\"4\"/><a:cNvPr id=\"99\"/><p:cNvPr id=\"2\">"), 4u);
  // A tag that never closes ends the scan with what was found before it.
  EXPECT_EQ(max_cnvpr_id("<p:cNvPr id=\"3\"/><p:cNvPr id=\"8\" "), 3u);
  EXPECT_EQ(max_cnvpr_id(slide(kTextBox + kGroup + kPicture)), 10u);
}

TEST(ShapeTree, FindNextShapeStart) {
  const std::string xml = slide(kTextBox + kGroup + kPicture);
  const std::optional<ShapeStart> first = find_next_shape_start(xml, 0);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->name, "p:sp");
  EXPECT_EQ(first->position, xml.find(kTextBox));

  const size_t group = xml.find(kGroup);
  const std::optional<ShapeStart> at_group = find_next_shape_start(xml, first->position + 1);
  ASSERT_TRUE(at_group);
  EXPECT_EQ(at_group->name, "p:grpSp");
  EXPECT_EQ(at_group->position, group);

  // From inside the group's block: its first child.
  const std::optional<ShapeStart> child = find_next_shape_start(xml, group + 1);
  ASSERT_TRUE(child);
  EXPECT_EQ(child->name, "p:sp");
  EXPECT_EQ(child->position, xml.find(shape("4")));

  EXPECT_FALSE(find_next_shape_start(slide(""), 0));
}

TEST(ShapeTree, ExtractShapeBlocksListsTopLevelShapes) {
  const std::vector<std::string_view> blocks = extract_shape_blocks(slide(kTextBox + kGroup + kPicture));
  EXPECT_EQ(blocks, (std::vector<std::string_view>{kTextBox, kGroup, kPicture}));
}

TEST(ShapeTree, ExtractShapeBlocksLeavesOutAlternateContent) {
  const std::string wrapped = "<mc:AlternateContent><mc:Choice Requires=\"p14\">" + shape("6") +
                              "</mc:Choice><mc:Fallback>" + kPicture + "</mc:Fallback></mc:AlternateContent>";
  const std::vector<std::string_view> blocks = extract_shape_blocks(slide(kTextBox + wrapped + shape("7")));
  EXPECT_EQ(blocks, (std::vector<std::string_view>{kTextBox, shape("7")}));
}

TEST(ShapeTree, ExtractShapeBlocksStopsAtAnUnclosedShape) {
  const std::string xml = kTextBox + "<p:pic><p:nvPicPr>" + shape("8");
  EXPECT_EQ(extract_shape_blocks(xml), (std::vector<std::string_view>{kTextBox}));
}

TEST(ShapeTree, ShapeIdFromEvent) {
  const auto id_of = [](std::string_view tag) { return extract_shape_id_from_event(Reader(tag).next()); };
  EXPECT_EQ(id_of("<p:cNvPr id=\"42\" name=\"x\"/>"), 42u);
  EXPECT_EQ(id_of("<cNvPr name=\"x\" id=\"+7\">"), 7u);
  EXPECT_EQ(id_of("<p:cNvPr id=\"&#52;2\"/>"), 42u);  // unescaped before reading
  EXPECT_EQ(id_of("<p:cNvPr r:id=\"5\"/>"), 5u);      // any prefix of "id"
  EXPECT_EQ(id_of("<p:cNvPr id=\"x\"/>"), std::nullopt);
  EXPECT_EQ(id_of("<p:cNvPr name=\"x\"/>"), std::nullopt);
  EXPECT_EQ(id_of("<p:cNvSpPr id=\"3\"/>"), std::nullopt);
}

}  // namespace
}  // namespace velmora::xml
