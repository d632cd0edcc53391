// summary_shapes_test - shape summaries from slide XML: text, formatting, identity, transforms, groups, tables, bad XML.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "json/pretty_writer.h"
#include "summary/shape_extract.h"
#include "summary/tables.h"

namespace velmora::summary {
namespace {

using Runs = std::vector<std::vector<std::string>>;
using Breaks = std::vector<std::vector<uint64_t>>;
using Flags = std::vector<std::vector<std::optional<bool>>>;

std::string slide_with(std::string_view tree) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<p:sld xmlns:a=\"a\" xmlns:p=\"p\" xmlns:r=\"r\"><p:cSld><p:spTree>"
         "<p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/></p:nvGrpSpPr><p:grpSpPr/>" +
         std::string(tree) + "</p:spTree></p:cSld></p:sld>";
}

std::string text_box(std::string_view body, std::string_view id = "2") {
  return "<p:sp><p:nvSpPr><p:cNvPr id=\"" + std::string(id) + "\" name=\"TextBox\"/></p:nvSpPr><p:txBody>" +
         std::string(body) + "</p:txBody></p:sp>";
}

std::string transform_xml(std::string_view element, int64_t x, int64_t y, int64_t cx, int64_t cy) {
  return "<" + std::string(element) + "><a:off x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) +
         "\"/><a:ext cx=\"" + std::to_string(cx) + "\" cy=\"" + std::to_string(cy) + "\"/></" + std::string(element) +
         ">";
}

std::string group_open(std::string_view xfrm_content, std::string_view id = "10") {
  return "<p:grpSp><p:nvGrpSpPr><p:cNvPr id=\"" + std::string(id) + "\" name=\"Group\"/></p:nvGrpSpPr><p:grpSpPr><a:xfrm>" +
         std::string(xfrm_content) + "</a:xfrm></p:grpSpPr>";
}

std::string placed_shape(int64_t x, int64_t y, int64_t cx, int64_t cy, std::string_view id = "20") {
  return "<p:sp><p:nvSpPr><p:cNvPr id=\"" + std::string(id) + "\" name=\"s\"/></p:nvSpPr><p:spPr>" +
         transform_xml("a:xfrm", x, y, cx, cy) + "</p:spPr></p:sp>";
}

std::string child_frame(int64_t x, int64_t y, int64_t cx, int64_t cy, int64_t ch_x, int64_t ch_y, int64_t ch_cx,
                        int64_t ch_cy) {
  return "<a:off x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\"/><a:ext cx=\"" + std::to_string(cx) +
         "\" cy=\"" + std::to_string(cy) + "\"/><a:chOff x=\"" + std::to_string(ch_x) + "\" y=\"" +
         std::to_string(ch_y) + "\"/><a:chExt cx=\"" + std::to_string(ch_cx) + "\" cy=\"" + std::to_string(ch_cy) +
         "\"/>";
}

std::vector<ShapeSummary> shapes_of(std::string_view tree) { return extract_shapes(slide_with(tree)); }

template <class Case>
std::string case_name(const testing::TestParamInfo<Case>& tested) {
  return tested.param.name;
}

// ---------------------------------------------------------------------------
// Paragraphs, runs, line breaks and fields.

struct TextCase {
  const char* name;
  std::string body;
  std::vector<std::string> paragraphs;
  Runs runs;
  Breaks breaks;
  std::vector<std::vector<ParagraphFieldSummary>> fields;
};

class ParagraphStructure : public testing::TestWithParam<TextCase> {};

TEST_P(ParagraphStructure, ParagraphsRunsBreaksAndFields) {
  const TextCase& c = GetParam();
  const std::vector<ShapeSummary> shapes = shapes_of(text_box(c.body));
  ASSERT_EQ(shapes.size(), 1u);
  const ShapeSummary& shape = shapes[0];
  EXPECT_EQ(shape.paragraphs, c.paragraphs);
  EXPECT_EQ(shape.paragraph_runs, c.runs);
  EXPECT_EQ(shape.paragraph_line_breaks, c.breaks);
  EXPECT_EQ(shape.paragraph_fields, c.fields);
  std::string joined;
  for (size_t i = 0; i < c.paragraphs.size(); ++i) joined += (i ? "\n" : "") + c.paragraphs[i];
  EXPECT_EQ(shape.text, joined);
  // One entry per paragraph in each per-paragraph list, one per run inside.
  ASSERT_EQ(shape.paragraph_run_bold.size(), c.runs.size());
  for (size_t i = 0; i < c.runs.size(); ++i) EXPECT_EQ(shape.paragraph_run_font_name[i].size(), c.runs[i].size());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParagraphStructure,
    testing::Values(
        TextCase{"two_paragraphs_with_break",
                 "<a:p><a:r><a:t>A</a:t></a:r></a:p>"
                 "<a:p><a:r><a:t>x</a:t></a:r><a:br/><a:r><a:t>y</a:t></a:r></a:p>",
                 {"A", "x\vy"}, {{"A"}, {"x", "y"}}, {{}, {1}}, {{}, {}}},
        TextCase{"field_after_run_keeps_blank",
                 "<a:p><a:r><a:t>Page </a:t></a:r><a:fld id=\"{1}\" type=\"slidenum\"><a:rPr/><a:t>3</a:t></a:fld></a:p>",
                 {"Page 3"}, {{"Page "}}, {{}}, {{{1, 0, "3"}}}},
        TextCase{"field_after_breaks",
                 "<a:p><a:br/><a:r><a:t>a</a:t></a:r><a:br/><a:fld><a:t>f</a:t></a:fld><a:r><a:t>b</a:t></a:r></a:p>",
                 {"\va\vfb"}, {{"a", "b"}}, {{0, 1}}, {{{1, 2, "f"}}}},
        TextCase{"empty_elements", "<a:p/><a:p><a:r/><a:fld/></a:p>", {"", ""}, {{}, {""}}, {{}, {}},
                 {{}, {{1, 0, ""}}}},
        TextCase{"several_text_elements_in_one_run", "<a:p><a:r><a:t>a</a:t><a:t>b</a:t></a:r></a:p>", {"ab"},
                 {{"ab"}}, {{}}, {{}}},
        TextCase{"references_resolved_unknown_kept",
                 "<a:p><a:r><a:t>x &lt; y &amp; &foo; &#65;&#x42;</a:t></a:r></a:p>", {"x < y & &foo; AB"},
                 {{"x < y & &foo; AB"}}, {{}}, {{}}},
        TextCase{"line_ends_normalised_blanks_kept", "<a:p><a:r><a:t> a\r\nb\rc </a:t></a:r></a:p>",
                 {" a\nb\nc "}, {{" a\nb\nc "}}, {{}}, {{}}},
        TextCase{"cdata_and_comments_add_nothing", "<a:p><a:r><a:t><![CDATA[x]]>y<!--z--></a:t></a:r></a:p>",
                 {"y"}, {{"y"}}, {{}}, {{}}},
        TextCase{"text_outside_runs_is_paragraph_text_only", "<a:p><a:t>loose</a:t><a:r><a:t>r</a:t></a:r></a:p>",
                 {"looser"}, {{"r"}}, {{}}, {{}}},
        TextCase{"any_prefix", "<x:p><x:r><x:t>q</x:t></x:r><x:br/></x:p>", {"q\v"}, {{"q"}}, {{1}}, {{}}}),
    case_name<TextCase>);

// ---------------------------------------------------------------------------
// The five run attributes.

TEST(RunAttributes, BooleanUnderlineSizeAndFontMapping) {
  const std::vector<ShapeSummary> shapes = shapes_of(text_box(
      "<a:p>"
      "<a:r><a:rPr b=\"1\" i=\"0\" u=\"none\" sz=\"1800\"><a:latin typeface=\"Calibri\"/></a:rPr><a:t>a</a:t></a:r>"
      "<a:r><a:rPr b=\"on\" i=\"off\" u=\"sng\" sz=\"18.5\"/><a:t>b</a:t></a:r>"
      "<a:r><a:rPr b=\"true\" i=\"false\" u=\"dbl\" sz=\"-7\"><a:latin typeface=\"A&amp;B\"/></a:rPr><a:t>c</a:t></a:r>"
      "<a:r><a:rPr b=\"yes\" i=\"TRUE\" sz=\"\"/><a:t>d</a:t></a:r>"
      "<a:r><a:t>no properties</a:t></a:r>"
      "<a:r><x:rPr x:b=\"1\"/><a:t>prefixed</a:t></a:r>"
      "</a:p>"));
  ASSERT_EQ(shapes.size(), 1u);
  const ShapeSummary& shape = shapes[0];
  EXPECT_EQ(shape.paragraph_run_bold, (Flags{{true, true, true, std::nullopt, std::nullopt, true}}));
  EXPECT_EQ(shape.paragraph_run_italic,
            (Flags{{false, false, false, std::nullopt, std::nullopt, std::nullopt}}));
  EXPECT_EQ(shape.paragraph_run_underline,
            (Flags{{false, true, true, std::nullopt, std::nullopt, std::nullopt}}));
  using Sizes = std::vector<std::vector<std::optional<int64_t>>>;
  EXPECT_EQ(shape.paragraph_run_font_size,
            (Sizes{{1800, std::nullopt, -7, std::nullopt, std::nullopt, std::nullopt}}));
  using Names = std::vector<std::vector<std::optional<std::string>>>;
  EXPECT_EQ(shape.paragraph_run_font_name, (Names{{"Calibri", std::nullopt, "A&amp;B", std::nullopt, std::nullopt,
                                                   std::nullopt}}));
}

TEST(RunAttributes, LaterPropertiesInTheSameRunWin) {
  const std::vector<ShapeSummary> shapes =
      shapes_of(text_box("<a:p><a:r><a:rPr b=\"1\"/><a:rPr i=\"1\"/><a:t>x</a:t></a:r><a:r/></a:p>"));
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_EQ(shapes[0].paragraph_run_bold, (Flags{{std::nullopt, std::nullopt}}));
  EXPECT_EQ(shapes[0].paragraph_run_italic, (Flags{{true, std::nullopt}}));
}

// ---------------------------------------------------------------------------
// Identity, kind, placeholders, relationship ids and flags.

TEST(ShapeIdentity, KindsAndTheirFlags) {
  const std::vector<ShapeSummary> shapes = shapes_of(
      "<p:sp><p:nvSpPr><p:cNvPr id=\"2\" name=\"Q&amp;A\"/><p:nvPr><p:ph type=\"title\" idx=\"1\"/></p:nvPr></p:nvSpPr></p:sp>"
      "<p:pic><p:nvPicPr><p:cNvPr id=\"3\" name=\"Picture\"/></p:nvPicPr><p:blipFill><a:blip r:embed=\"rId7\"/></p:blipFill></p:pic>"
      "<p:pic><p:nvPicPr><p:cNvPr id=\"4\" name=\"Movie\"/><p:nvPr><a:videoFile r:link=\"rId9\"/></p:nvPr></p:nvPicPr>"
      "<p:blipFill><a:blip r:embed=\"rId8\"/></p:blipFill></p:pic>"
      "<p:graphicFrame><p:nvGraphicFramePr><p:cNvPr id=\"5\" name=\"Chart\"/></p:nvGraphicFramePr>"
      "<a:graphic><a:graphicData><c:chart r:id=\"rId3\"/></a:graphicData></a:graphic></p:graphicFrame>"
      "<p:graphicFrame><p:nvGraphicFramePr><p:cNvPr id=\"6\" name=\"Object\"/></p:nvGraphicFramePr>"
      "<a:graphic><a:graphicData><p:oleObj r:id=\"rId4\"/></a:graphicData></a:graphic></p:graphicFrame>"
      "<p:cxnSp><p:nvCxnSpPr><p:cNvPr id=\"7\"/></p:nvCxnSpPr></p:cxnSp>");
  struct Expected {
    std::optional<std::string> id, name;
    std::string kind;
    bool has_picture, has_chart;
    std::vector<std::string> relationship_ids;
  };
  const std::vector<Expected> expected = {
      {"2", "Q&amp;A", "shape", false, false, {}},
      {"3", "Picture", "picture", true, false, {"rId7"}},
      {"4", "Movie", "movie", false, false, {"rId8", "rId9"}},
      {"5", "Chart", "graphic_frame", false, true, {"rId3"}},
      {"6", "Object", "ole_object", false, false, {"rId4"}},
      {"7", std::nullopt, "connector", false, false, {}},
  };
  ASSERT_EQ(shapes.size(), expected.size());
  for (size_t i = 0; i < shapes.size(); ++i) {
    SCOPED_TRACE(expected[i].kind);
    EXPECT_EQ(shapes[i].id, expected[i].id);
    EXPECT_EQ(shapes[i].name, expected[i].name);
    EXPECT_EQ(shapes[i].kind, expected[i].kind);
    EXPECT_EQ(shapes[i].has_picture, expected[i].has_picture);
    EXPECT_EQ(shapes[i].has_chart, expected[i].has_chart);
    EXPECT_FALSE(shapes[i].has_group);
    EXPECT_EQ(shapes[i].relationship_ids, expected[i].relationship_ids);
    EXPECT_EQ(shapes[i].is_placeholder, i == 0);
  }
  EXPECT_EQ(shapes[0].placeholder_type, "title");
  EXPECT_EQ(shapes[0].placeholder_idx, "1");
  EXPECT_EQ(shapes[1].placeholder_type, std::nullopt);
}

TEST(ShapeIdentity, PlaceholderWithoutAttributes) {
  const std::vector<ShapeSummary> shapes = shapes_of("<p:sp><p:nvSpPr><p:nvPr><p:ph/></p:nvPr></p:nvSpPr></p:sp>");
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_TRUE(shapes[0].is_placeholder);
  EXPECT_EQ(shapes[0].placeholder_type, std::nullopt);
  EXPECT_EQ(shapes[0].placeholder_idx, std::nullopt);
  EXPECT_EQ(shapes[0].id, std::nullopt);
}

TEST(ShapeIdentity, GroupCollectsRelationshipIdsOfItsMembersOnce) {
  const std::string picture = "<p:pic><p:blipFill><a:blip r:embed=\"rId2\"/></p:blipFill></p:pic>";
  const std::vector<ShapeSummary> shapes =
      shapes_of(group_open(child_frame(0, 0, 1, 1, 0, 0, 1, 1)) + picture + picture + "</p:grpSp>");
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_EQ(shapes[0].relationship_ids, std::vector<std::string>{"rId2"});
  EXPECT_TRUE(shapes[0].has_group);
  ASSERT_EQ(shapes[0].children.size(), 2u);
  EXPECT_EQ(shapes[0].children[1].relationship_ids, std::vector<std::string>{"rId2"});
}

// ---------------------------------------------------------------------------
// Transforms and group mapping.

struct MappingCase {
  const char* name;
  std::string frame;  // content of the group's a:xfrm
  TransformSummary child;
  TransformSummary expected;
};

class GroupMappingCases : public testing::TestWithParam<MappingCase> {};

TEST_P(GroupMappingCases, MemberPlacedThroughGroup) {
  const MappingCase& c = GetParam();
  const std::vector<ShapeSummary> shapes =
      shapes_of(group_open(c.frame) + placed_shape(c.child.x, c.child.y, c.child.cx, c.child.cy) + "</p:grpSp>");
  ASSERT_EQ(shapes.size(), 1u);
  ASSERT_EQ(shapes[0].children.size(), 1u);
  const ShapeSummary& member = shapes[0].children[0];
  EXPECT_EQ(member.transform, c.child);
  EXPECT_EQ(member.effective_transform, c.expected);
  EXPECT_EQ(shapes[0].effective_transform, shapes[0].transform);  // a top-level shape is placed as written
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GroupMappingCases,
    testing::Values(
        MappingCase{"scaled", child_frame(1000, 1000, 2000, 2000, 0, 0, 1000, 1000), {100, 100, 50, 50},
                    {1200, 1200, 100, 100}},
        MappingCase{"zero_child_extent_only_shifts", child_frame(1000, 1000, 2000, 2000, 0, 0, 0, 0),
                    {100, 100, 50, 50}, {1100, 1100, 50, 50}},
        MappingCase{"zero_child_extent_on_one_axis", child_frame(1000, 1000, 2000, 2000, 0, 0, 1000, 0),
                    {100, 100, 50, 50}, {1200, 1100, 100, 50}},
        MappingCase{"child_offset_subtracted", child_frame(10, 20, 100, 100, 500, 600, 100, 100),
                    {550, 650, 10, 10}, {60, 70, 10, 10}},
        MappingCase{"missing_child_elements_mean_same_space",
                    "<a:off x=\"1000\" y=\"2000\"/><a:ext cx=\"300\" cy=\"400\"/>", {5, 6, 7, 8},
                    {1005, 2006, 7, 8}},
        MappingCase{"halves_round_away_from_zero", child_frame(0, 0, 3, 3, 0, 0, 2, 2), {1, -1, 1, 3},
                    {2, -2, 2, 5}},
        MappingCase{"child_attribute_not_a_number_counts_as_zero",
                    "<a:off x=\"0\" y=\"0\"/><a:ext cx=\"10\" cy=\"10\"/><a:chOff x=\"oops\"/><a:chExt cx=\"5\"/>",
                    {1, 1, 1, 1}, {2, 1, 2, 1}},
        MappingCase{"saturates", child_frame(0, 0, 9000000000000000000, 1, 0, 0, 1, 1),
                    {0, 0, 3, 1}, {0, 0, INT64_MAX, 1}}),
    case_name<MappingCase>);

TEST(Transforms, NestedGroupsCompose) {
  const std::string tree = group_open(child_frame(1000, 0, 200, 200, 0, 0, 100, 100), "10") +
                           group_open(child_frame(10, 10, 50, 50, 0, 0, 10, 10), "11") + placed_shape(1, 1, 2, 2) +
                           "</p:grpSp></p:grpSp>";
  const std::vector<ShapeSummary> shapes = shapes_of(tree);
  ASSERT_EQ(shapes.size(), 1u);
  ASSERT_EQ(shapes[0].children.size(), 1u);
  const ShapeSummary& inner = shapes[0].children[0];
  // The inner group is placed by the outer one: (10,10,50,50) scaled by 2 and moved by 1000.
  EXPECT_EQ(inner.effective_transform, (TransformSummary{1020, 20, 100, 100}));
  ASSERT_EQ(inner.children.size(), 1u);
  // Its member is scaled by 100/10 inside the inner group's placed frame.
  EXPECT_EQ(inner.children[0].effective_transform, (TransformSummary{1030, 30, 20, 20}));
}

TEST(Transforms, SourcesOfTheTransform) {
  const std::vector<ShapeSummary> shapes = shapes_of(
      "<p:graphicFrame><p:nvGraphicFramePr><p:cNvPr id=\"2\"/></p:nvGraphicFramePr>" +
      transform_xml("p:xfrm", 1, 2, 3, 4) + "</p:graphicFrame>" +  // a graphic frame's own transform
      "<p:sp><p:spPr/></p:sp>" +                                    // none at all
      "<p:sp><p:spPr><a:xfrm><a:off x=\"5\"/></a:xfrm></p:spPr></p:sp>" +  // no a:ext
      "<p:sp><p:spPr><a:xfrm><a:off x=\"1\" y=\"2\"/><a:ext cx=\"big\"/></a:xfrm></p:spPr></p:sp>");
  ASSERT_EQ(shapes.size(), 4u);
  EXPECT_EQ(shapes[0].transform, (TransformSummary{1, 2, 3, 4}));
  EXPECT_EQ(shapes[1].transform, std::nullopt);
  EXPECT_EQ(shapes[1].effective_transform, std::nullopt);
  EXPECT_EQ(shapes[2].transform, std::nullopt);
  EXPECT_EQ(shapes[3].transform, (TransformSummary{1, 2, 0, 0}));
}

// ---------------------------------------------------------------------------
// Groups.

TEST(Groups, MembersInOrderAndTheirTextInTheGroup) {
  const std::string tree = group_open(child_frame(0, 0, 10, 10, 0, 0, 10, 10)) +
                           text_box("<a:p><a:r><a:t>one</a:t></a:r></a:p>", "21") +
                           text_box("<a:p><a:r><a:t>two</a:t></a:r></a:p>", "22") + "</p:grpSp>" +
                           text_box("<a:p><a:r><a:t>after</a:t></a:r></a:p>", "23");
  const std::vector<ShapeSummary> shapes = shapes_of(tree);
  ASSERT_EQ(shapes.size(), 2u);
  EXPECT_EQ(shapes[0].kind, "group");
  EXPECT_EQ(shapes[0].paragraphs, (std::vector<std::string>{"one", "two"}));
  ASSERT_EQ(shapes[0].children.size(), 2u);
  EXPECT_EQ(shapes[0].children[0].id, "21");
  EXPECT_EQ(shapes[0].children[1].text, "two");
  EXPECT_EQ(shapes[1].id, "23");
  EXPECT_TRUE(shapes[1].children.empty());
}

TEST(Groups, EmptyElementGroupPropertiesMeanNoMembers) {
  const std::vector<ShapeSummary> shapes =
      shapes_of("<p:grpSp><p:nvGrpSpPr/><p:grpSpPr/>" + text_box("<a:p><a:r><a:t>x</a:t></a:r></a:p>") + "</p:grpSp>");
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_TRUE(shapes[0].children.empty());
  EXPECT_EQ(shapes[0].text, "x");  // the group's own text still covers its whole block
}

TEST(Groups, TenThousandLevelsDeep) {
  constexpr int kDepth = 10000;
  std::string tree;
  for (int level = 0; level < kDepth; ++level) tree += group_open(child_frame(1, 1, 10, 10, 0, 0, 10, 10));
  tree += placed_shape(0, 0, 10, 10) + text_box("<a:p><a:r><a:t>deep</a:t></a:r></a:p>");
  for (int level = 0; level < kDepth; ++level) tree += "</p:grpSp>";
  std::vector<ShapeSummary> shapes = shapes_of(tree);
  ASSERT_EQ(shapes.size(), 1u);
  const ShapeSummary* group = &shapes[0];
  int depth = 1;
  while (group->children.size() == 1) {
    EXPECT_EQ(group->text, "deep");
    group = &group->children[0];
    ++depth;
  }
  EXPECT_EQ(depth, kDepth);
  ASSERT_EQ(group->children.size(), 2u);
  // Each level moves its members by (1, 1).
  EXPECT_EQ(group->children[0].effective_transform, (TransformSummary{kDepth, kDepth, 10, 10}));
  EXPECT_EQ(group->children[1].paragraph_runs, Runs{{"deep"}});
  json::PrettyWriter out;
  write_json(out, group->children[0]);
  EXPECT_NE(out.str().find("\"children\": []"), std::string::npos);
  shapes.clear();  // tearing the tree down must not recurse either
}

// ---------------------------------------------------------------------------
// Tables.

TEST(Tables, GraphicFrameTableRowsAndParagraphs) {
  const auto cell = [](std::string_view text) {
    return "<a:tc><a:txBody><a:p><a:r><a:t>" + std::string(text) + "</a:t></a:r></a:p></a:txBody><a:tcPr/></a:tc>";
  };
  const std::string table = "<p:graphicFrame><a:graphic><a:graphicData><a:tbl><a:tblGrid/>"
                            "<a:tr h=\"1\">" + cell("a") + cell("b") + cell("c") + "</a:tr>"
                            "<a:tr h=\"1\">" + cell("d") + "<a:tc hMerge=\"1\"><a:txBody><a:p/><a:p><a:r><a:t>e</a:t>"
                            "</a:r></a:p></a:txBody></a:tc>" + cell("f") + "</a:tr>"
                            "</a:tbl></a:graphicData></a:graphic></p:graphicFrame>";
  const std::vector<ShapeSummary> shapes = shapes_of(table);
  ASSERT_EQ(shapes.size(), 1u);
  ASSERT_EQ(shapes[0].tables.size(), 1u);
  const TableSummary& summary = shapes[0].tables[0];
  EXPECT_EQ(summary.rows, (Runs{{"a", "b", "c"}, {"d", "\ne", "f"}}));
  EXPECT_EQ(summary.row_count, 2u);
  EXPECT_EQ(summary.col_count, 3u);
  EXPECT_EQ(shapes[0].paragraphs, (std::vector<std::string>{"a", "b", "c", "d", "", "e", "f"}));
  EXPECT_EQ(shapes[0].kind, "graphic_frame");
}

TEST(Tables, RaggedRowsAndUnclosedTables) {
  const std::vector<TableSummary> tables = extract_tables(
      "<a:tbl><a:tr><a:tc/></a:tr></a:tbl>"  // a self-closing cell runs to the next cell end: none here
      "<a:tbl><a:tr><a:tc>x</a:tc></a:tr><a:tr></a:tr>"
      "<a:tr><a:tc><a:txBody><a:p><a:r><a:t>y</a:t></a:r></a:p></a:txBody></a:tc><a:tc></a:tc></a:tr></a:tbl>"
      "<a:tbl><a:tr><a:tc>lost</a:tc></a:tr>");
  ASSERT_EQ(tables.size(), 2u);
  EXPECT_EQ(tables[0].rows, Runs(1));
  EXPECT_EQ(tables[0].col_count, 0u);
  EXPECT_EQ(tables[1].row_count, 3u);
  EXPECT_EQ(tables[1].col_count, 2u);
  EXPECT_EQ(tables[1].rows, (Runs{{""}, {}, {"y", ""}}));  // text outside paragraphs is not cell text
}

// ---------------------------------------------------------------------------
// Alternate content.

TEST(AlternateContent, WrappedShapesAreLeftOutInBothBranches) {
  const std::vector<ShapeSummary> shapes = shapes_of(
      text_box("<a:p><a:r><a:t>before</a:t></a:r></a:p>", "2") +
      "<mc:AlternateContent><mc:Choice Requires=\"p14\">" + text_box("<a:p><a:r><a:t>choice</a:t></a:r></a:p>", "3") +
      "</mc:Choice><mc:Fallback>" + text_box("<a:p><a:r><a:t>fallback</a:t></a:r></a:p>", "4") +
      "</mc:Fallback></mc:AlternateContent>" + text_box("<a:p><a:r><a:t>after</a:t></a:r></a:p>", "5"));
  ASSERT_EQ(shapes.size(), 2u);
  EXPECT_EQ(shapes[0].id, "2");
  EXPECT_EQ(shapes[1].id, "5");
}

// ---------------------------------------------------------------------------
// Malformed and hostile XML: the summary shortens, it never fails.

TEST(MalformedXml, MismatchedEndTagEndsTheTextPasses) {
  const std::vector<ShapeSummary> shapes = shapes_of(
      text_box("<a:p><a:r><a:t>one</a:t></a:r></a:p><a:p><a:r><a:t>two</a:x></a:r></a:p><a:p><a:r><a:t>three</a:t>"
               "</a:r></a:p>"));
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_EQ(shapes[0].paragraphs, std::vector<std::string>{"one"});
  EXPECT_EQ(shapes[0].paragraph_runs, Runs{{"one"}});
  EXPECT_EQ(shapes[0].paragraph_run_bold.size(), 1u);
  EXPECT_EQ(shapes[0].id, "2");  // text-level members are unaffected
}

TEST(MalformedXml, TruncatedSlidesAndUnclosedShapes) {
  const std::string slide = slide_with(text_box("<a:p><a:r><a:t>kept</a:t></a:r></a:p>") + text_box("<a:p>"));
  // Without its closing tags the shape tree is not found at all.
  EXPECT_TRUE(extract_shapes(slide.substr(0, slide.size() - 30)).empty());
  // An unclosed shape ends the list of shapes; the ones before it stay.
  const std::vector<ShapeSummary> shapes =
      shapes_of(text_box("<a:p><a:r><a:t>kept</a:t></a:r></a:p>") + "<p:sp><p:txBody><a:p>" +
                text_box("<a:p/>", "9"));
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_EQ(shapes[0].text, "kept");
}

TEST(MalformedXml, InvalidUtf8IsReplaced) {
  const std::vector<ShapeSummary> shapes = shapes_of(
      "<p:sp><p:nvSpPr><p:cNvPr id=\"2\" name=\"n\xFF\"/></p:nvSpPr><p:txBody><a:p><a:r><a:rPr><a:latin "
      "typeface=\"F\xC3\"/></a:rPr><a:t>a\xE2\x82z</a:t></a:r></a:p></p:txBody></p:sp>");
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_EQ(shapes[0].name, "n\xEF\xBF\xBD");
  EXPECT_EQ(shapes[0].paragraphs, std::vector<std::string>{"a\xEF\xBF\xBDz"});
  using Names = std::vector<std::vector<std::optional<std::string>>>;
  EXPECT_EQ(shapes[0].paragraph_run_font_name, (Names{{"F\xEF\xBF\xBD"}}));
}

TEST(MalformedXml, HugeAttributeValuesComeThroughWhole) {
  const std::string long_name(1 << 20, 'n');
  const std::string long_face(1 << 20, 'f');
  const std::vector<ShapeSummary> shapes =
      shapes_of("<p:sp><p:nvSpPr><p:cNvPr id=\"2\" name=\"" + long_name + "\"/></p:nvSpPr><p:txBody><a:p><a:r><a:rPr>"
                "<a:latin typeface=\"" + long_face + "\"/></a:rPr><a:t>x</a:t></a:r></a:p></p:txBody></p:sp>");
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_EQ(shapes[0].name, long_name);
  EXPECT_EQ(shapes[0].paragraph_run_font_name[0][0], long_face);
}

TEST(MalformedXml, UnclosedWrappersBeforeEveryShapeTakeLinearTime) {
  // Each shape opens a wrapper that never closes, so each is summarised; an
  // element end search walking every later tag would take quadratic time.
  constexpr size_t kShapes = 100000;
  std::string tree;
  for (size_t i = 0; i < kShapes; ++i) tree += "<mc:AlternateContent>" + text_box("<a:p/>");
  const auto began = std::chrono::steady_clock::now();
  const std::vector<ShapeSummary> shapes = shapes_of(tree);
  const auto elapsed = std::chrono::steady_clock::now() - began;
  EXPECT_EQ(shapes.size(), kShapes);
  EXPECT_LT(elapsed, std::chrono::seconds(10));
}

TEST(MalformedXml, DoctypeEntitiesAreNeverExpanded) {
  // Nine levels of ten references each: expanded, &lol9; would be a billion "lol"s.
  std::string doctype = "<!DOCTYPE p:sld [<!ENTITY lol0 \"lol\">";
  for (int level = 1; level <= 9; ++level) {
    doctype += "<!ENTITY lol" + std::to_string(level) + " \"";
    for (int i = 0; i < 10; ++i) doctype += "&lol" + std::to_string(level - 1) + ";";
    doctype += "\">";
  }
  doctype += "]>";
  std::string slide = slide_with(text_box("<a:p><a:r><a:t>&lol9;&foo;</a:t></a:r></a:p>"));
  slide.insert(slide.find('\n') + 1, doctype);
  const std::vector<ShapeSummary> shapes = extract_shapes(slide);
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_EQ(shapes[0].text, "&lol9;&foo;");
}

}  // namespace
}  // namespace velmora::summary
