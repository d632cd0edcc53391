// shapes_placeholders_test.cpp - placeholder shapes from specs and from slide layouts.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "error.h"
#include "package_test_fixture.h"
#include "shapes/placeholders.h"

namespace velmora::shapes {
namespace {

using package::testing_support::error_of;
using package::testing_support::MemoryPackage;
using package::testing_support::Parts;

using Spec = PlaceholderShapeSpec;

constexpr const char* kSlideHead =
    R"(<p:sld><p:cSld><p:spTree><p:nvGrpSpPr><p:cNvPr id="1" name=""/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr>)"
    R"(<p:grpSpPr/>)";
constexpr const char* kSlideTail = "</p:spTree></p:cSld></p:sld>";

/// A slide whose shape tree holds `shapes`.
std::string slide(const std::string& shapes) { return kSlideHead + shapes + kSlideTail; }

/// A plain shape with the given id and name.
std::string named_shape(int id, const std::string& name) {
  return R"(<p:sp><p:nvSpPr><p:cNvPr id=")" + std::to_string(id) + R"(" name=")" + name +
         R"("/><p:cNvSpPr/><p:nvPr/></p:nvSpPr><p:spPr/></p:sp>)";
}

/// The name given to the shape added last to `xml`.
std::string added_name(const std::string& xml) {
  const size_t shape = xml.rfind("<p:sp>");
  const size_t begin = xml.find("name=\"", shape) + 6;
  return xml.substr(begin, xml.find('"', begin) - begin);
}

// ---- p:ph attributes

struct AttributeCase {
  Spec spec;
  std::string attributes;
};

void PrintTo(const AttributeCase& c, std::ostream* out) { *out << "'" << c.attributes << "'"; }

class PlaceholderAttributesTest : public testing::TestWithParam<AttributeCase> {};

TEST_P(PlaceholderAttributesTest, WritesOnlyValuesThatDifferFromTheDefaults) {
  EXPECT_EQ(placeholder_attributes_xml(GetParam().spec), GetParam().attributes);
}

INSTANTIATE_TEST_SUITE_P(
    Specs, PlaceholderAttributesTest,
    testing::Values(
        AttributeCase{{}, ""},
        AttributeCase{{"title", std::nullopt, "full", "0"}, R"( type="title")"},
        AttributeCase{{"obj", std::nullopt, std::nullopt, "1"}, R"( idx="1")"},
        AttributeCase{{"", "", "", ""}, ""},
        AttributeCase{{"obj", "horz", "full", "0"}, ""},
        // every attribute present, written in the schema's order
        AttributeCase{{"body", "vert", "half", "2"}, R"( type="body" orient="vert" sz="half" idx="2")"},
        // values are not checked against the enumerations, only escaped
        AttributeCase{{"a&b", "<x>", "\"q\"", "it's"},
                      R"( type="a&amp;b" orient="&lt;x&gt;" sz="&quot;q&quot;" idx="it's")"},
        // defaults are compared exactly
        AttributeCase{{"Obj", "Horz", "Full", "00"}, R"( type="Obj" orient="Horz" sz="Full" idx="00")"}));

// ---- names

struct NameCase {
  std::optional<std::string> type;
  std::optional<std::string> orient;
  std::string base;
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.type.value_or("(none)") << " -> " << c.base; }

class PlaceholderBaseNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(PlaceholderBaseNameTest, FollowsTheType) {
  EXPECT_EQ(placeholder_base_name(GetParam().type, GetParam().orient), GetParam().base);
}

INSTANTIATE_TEST_SUITE_P(
    Types, PlaceholderBaseNameTest,
    testing::Values(NameCase{"title", std::nullopt, "Title"}, NameCase{"ctrTitle", std::nullopt, "Title"},
                    NameCase{"subTitle", std::nullopt, "Subtitle"},
                    NameCase{"body", std::nullopt, "Text Placeholder"},
                    NameCase{"dt", std::nullopt, "Date Placeholder"},
                    NameCase{"ftr", std::nullopt, "Footer Placeholder"},
                    NameCase{"sldNum", std::nullopt, "Slide Number Placeholder"},
                    NameCase{"pic", std::nullopt, "Picture Placeholder"},
                    NameCase{"tbl", std::nullopt, "Table Placeholder"},
                    NameCase{"chart", std::nullopt, "Chart Placeholder"},
                    NameCase{"dgm", std::nullopt, "SmartArt Placeholder"},
                    NameCase{"media", std::nullopt, "Media Placeholder"},
                    NameCase{"clipArt", std::nullopt, "ClipArt Placeholder"},
                    NameCase{"sldImg", std::nullopt, "Image Placeholder"},
                    NameCase{"obj", std::nullopt, "Content Placeholder"},
                    NameCase{std::nullopt, std::nullopt, "Content Placeholder"},
                    NameCase{"Title", std::nullopt, "Content Placeholder"},  // types match exactly
                    NameCase{"body", "vert", "Vertical Text Placeholder"},
                    NameCase{std::nullopt, "vert", "Vertical Content Placeholder"},
                    NameCase{"body", "Vert", "Text Placeholder"}, NameCase{"body", "horz", "Text Placeholder"}));

// ---- adding to a slide

TEST(AddPlaceholderShapeToSlideXml, InsertsTheShapeBeforeTheTreeEnd) {
  const std::string before = slide(named_shape(4, "Title 1"));
  EXPECT_EQ(add_placeholder_shape_to_slide_xml(before, 5, {"body", std::nullopt, std::nullopt, "1"}),
            kSlideHead + named_shape(4, "Title 1") +
                R"(<p:sp><p:nvSpPr><p:cNvPr id="5" name="Text Placeholder 4"/><p:cNvSpPr><a:spLocks noGrp="1"/>)"
                R"(</p:cNvSpPr><p:nvPr><p:ph type="body" idx="1"/></p:nvPr></p:nvSpPr><p:spPr/><p:txBody>)"
                R"(<a:bodyPr/><a:lstStyle/><a:p/></p:txBody></p:sp>)" +
                kSlideTail);
}

TEST(AddPlaceholderShapeToSlideXml, WritesABarePlaceholderWithoutAttributes) {
  const std::string xml = add_placeholder_shape_to_slide_xml(slide(""), 2, {});
  EXPECT_NE(xml.find("<p:nvPr><p:ph/></p:nvPr>"), std::string::npos);
  EXPECT_EQ(added_name(xml), "Content Placeholder 1");
}

struct NumberingCase {
  std::string shapes;  // already on the slide
  uint64_t shape_id;
  Spec spec;
  std::string name;
};

void PrintTo(const NumberingCase& c, std::ostream* out) { *out << c.name; }

class PlaceholderNumberingTest : public testing::TestWithParam<NumberingCase> {};

TEST_P(PlaceholderNumberingTest, CountsUpPastNamesInUse) {
  const NumberingCase& c = GetParam();
  EXPECT_EQ(added_name(add_placeholder_shape_to_slide_xml(slide(c.shapes), c.shape_id, c.spec)), c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Slides, PlaceholderNumberingTest,
    testing::Values(
        NumberingCase{"", 5, {"body"}, "Text Placeholder 4"},
        NumberingCase{named_shape(4, "Text Placeholder 4"), 5, {"body"}, "Text Placeholder 5"},
        NumberingCase{named_shape(2, "Text Placeholder 4") + named_shape(3, "Text Placeholder 5"), 5, {"body"},
                      "Text Placeholder 6"},
        // only an exact match counts
        NumberingCase{named_shape(2, "Text Placeholder 40") + named_shape(3, "text placeholder 4"), 5, {"body"},
                      "Text Placeholder 4"},
        NumberingCase{named_shape(2, "Text Placeholder 4"), 5, {"body", "vert"}, "Vertical Text Placeholder 4"},
        NumberingCase{"", 0, {"title"}, "Title 0"},
        NumberingCase{named_shape(2, "Title 0"), 0, {"title"}, "Title 1"},
        NumberingCase{"", 1, {"title"}, "Title 0"}));

TEST(AddPlaceholderShapeToSlideXml, UsesTheLastTreeEnd) {
  const std::string xml = add_placeholder_shape_to_slide_xml("<a></p:spTree><b></p:spTree>", 1, {});
  EXPECT_EQ(xml.find("<p:sp>"), std::string("<a></p:spTree><b>").size());
}

TEST(AddPlaceholderShapeToSlideXml, RefusesASlideWithoutShapeTreeEnd) {
  const VelmoraError error = error_of([] { add_placeholder_shape_to_slide_xml("<p:sld><p:spTree/></p:sld>", 2, {}); });
  EXPECT_EQ(error.kind(), ErrorKind::InvalidInput);
  EXPECT_EQ(error.detail(), "slide XML is missing </p:spTree>");
}

// ---- placeholders of a layout

/// A layout shape holding `ph` in its non-visual properties, with geometry
/// and text of its own.
std::string layout_shape(int id, const std::string& name, const std::string& ph) {
  return R"(<p:sp><p:nvSpPr><p:cNvPr id=")" + std::to_string(id) + R"(" name=")" + name +
         R"("/><p:cNvSpPr><a:spLocks noGrp="1"/></p:cNvSpPr><p:nvPr>)" + ph +
         R"(</p:nvPr></p:nvSpPr><p:spPr><a:xfrm><a:off x="1" y="2"/><a:ext cx="3" cy="4"/></a:xfrm></p:spPr>)"
         R"(<p:txBody><a:bodyPr vert="horz"/><a:lstStyle/><a:p><a:r><a:t>Click</a:t></a:r></a:p></p:txBody></p:sp>)";
}

const std::string kLayout =
    R"(<p:sldLayout><p:cSld><p:spTree><p:nvGrpSpPr><p:cNvPr id="1" name=""/></p:nvGrpSpPr>)" +
    layout_shape(2, "Title 1", R"(<p:ph type="title"/>)") +
    layout_shape(3, "Text 2", R"(<p:ph type="body" orient="vert" sz="quarter" idx="13"/>)") +
    layout_shape(4, "Date 3", R"(<p:ph type="dt" sz="half" idx="10"/>)") +
    layout_shape(5, "Footer 4", R"(<p:ph type="ftr" sz="quarter" idx="11"/>)") +
    layout_shape(6, "Number 5", R"(<p:ph type="sldNum" sz="quarter" idx="12"/>)") +
    layout_shape(7, "Decoration", "") +                                              // no placeholder
    R"(<p:sp useBgFill="1"><p:nvSpPr><p:nvPr><p:ph idx="20"/></p:nvPr></p:nvSpPr></p:sp>)" +  // not a literal <p:sp>
    layout_shape(8, "Content 7", R"(<p:ph idx="1" type="a&amp;b"/>)") + "</p:spTree></p:cSld></p:sldLayout>";

TEST(PlaceholderSpecsFromLayoutXml, KeepsPlaceholdersButTheFurniture) {
  EXPECT_EQ(placeholder_specs_from_layout_xml(kLayout),
            (std::vector<Spec>{{"title", std::nullopt, std::nullopt, std::nullopt},
                               {"body", "vert", "quarter", "13"},
                               {"a&amp;b", std::nullopt, std::nullopt, "1"}}));
}

TEST(PlaceholderSpecsFromLayoutXml, EndsAtAnUnclosedShape) {
  EXPECT_EQ(placeholder_specs_from_layout_xml(R"(<p:sp><p:ph type="title"/></p:sp><p:sp><p:ph type="body"/>)"),
            std::vector<Spec>{{"title"}});
}

TEST(ExtractPlaceholderShapeBlocks, EmptiesGeometryAndTextOfKeptBlocks) {
  const std::vector<std::string> blocks = extract_placeholder_shape_blocks(kLayout);
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(blocks[0],
            R"(<p:sp><p:nvSpPr><p:cNvPr id="2" name="Title 1"/><p:cNvSpPr><a:spLocks noGrp="1"/></p:cNvSpPr>)"
            R"(<p:nvPr><p:ph type="title"/></p:nvPr></p:nvSpPr><p:spPr/><p:txBody><a:bodyPr/><a:lstStyle/>)"
            R"(<a:p/></p:txBody></p:sp>)");
  EXPECT_NE(blocks[1].find(R"(<p:cNvPr id="3" name="Text 2"/>)"), std::string::npos);
  EXPECT_NE(blocks[2].find(R"(type="a&amp;b")"), std::string::npos);
}

TEST(ExtractPlaceholderShapeBlocks, KeepsASelfClosingShapePropertiesAsItIs) {
  EXPECT_EQ(extract_placeholder_shape_blocks(R"(<p:sp><p:ph/><p:spPr/><p:txBody><a:p/></p:txBody></p:sp>)"),
            std::vector<std::string>{
                R"(<p:sp><p:ph/><p:spPr/><p:txBody><a:bodyPr/><a:lstStyle/><a:p/></p:txBody></p:sp>)"});
}

TEST(PlaceholderShapesFromLayout, ConcatenatesTheKeptBlocksOfTheTargetLayout) {
  const MemoryPackage package(
      Parts{{"ppt/slides/slide1.xml", slide("")}, {"ppt/slideLayouts/slideLayout2.xml", kLayout}});
  const std::vector<std::string> blocks = extract_placeholder_shape_blocks(kLayout);
  EXPECT_EQ(placeholder_shapes_from_layout(package.archive(), "ppt/slides/slide1.xml",
                                           "../slideLayouts/slideLayout2.xml"),
            blocks[0] + blocks[1] + blocks[2]);
  EXPECT_EQ(placeholder_shapes_from_layout(package.archive(), "ppt/slides/slide1.xml",
                                           "../slideLayouts/slideLayout3.xml"),
            "");
}

TEST(PlaceholderShapesFromLayout, FailsOnALayoutThatIsNotUtf8) {
  const MemoryPackage package(Parts{{"ppt/slideLayouts/slideLayout1.xml", "<p:sp>\xff</p:sp>"}});
  const VelmoraError error = error_of([&] {
    placeholder_shapes_from_layout(package.archive(), "ppt/slides/slide1.xml", "../slideLayouts/slideLayout1.xml");
  });
  EXPECT_EQ(error.kind(), ErrorKind::Io);
}

}  // namespace
}  // namespace velmora::shapes
