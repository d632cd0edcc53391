// shapes_builders_test.cpp - the XML text of new text boxes, auto shapes, connectors and freeforms.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "error.h"
#include "shapes/builders.h"
#include "shapes/paragraphs.h"
#include "xml/event.h"
#include "xml/reader.h"

namespace velmora::shapes {
namespace {

using Ops = std::vector<FreeformPathOperation>;
using Guides = std::vector<AdjustmentGuide>;

constexpr FreeformPathOperation move_to(int64_t x, int64_t y) { return {PathCommand::MoveTo, x, y}; }
constexpr FreeformPathOperation line_to(int64_t x, int64_t y) { return {PathCommand::LineTo, x, y}; }
constexpr FreeformPathOperation kClose{PathCommand::Close};

/// Runs `call` and returns the detail of the InvalidInput error it throws.
std::string invalid_input_of(const std::function<void()>& call) {
  try {
    call();
  } catch (const VelmoraError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::InvalidInput);
    return error.detail();
  }
  ADD_FAILURE() << "no error";
  return {};
}

/// The text between the first `open` and the following `close`, both included.
std::string element(const std::string& xml, const std::string& open, const std::string& close) {
  const size_t begin = xml.find(open);
  if (begin == std::string::npos) return "<missing " + open + ">";
  return xml.substr(begin, xml.find(close, begin) + close.size() - begin);
}

// Whole elements, written out from the published templates with the values
// of each case in place.

TEST(TextBoxShapeXml, FillsTheTemplateWithAnEmptyParagraph) {
  EXPECT_EQ(text_box_shape_xml(2, 10, 20, 300, 400, std::nullopt),
            R"(<p:sp><p:nvSpPr><p:cNvPr id="2" name="TextBox 1"/><p:cNvSpPr txBox="1"/><p:nvPr/></p:nvSpPr>)"
            R"(<p:spPr><a:xfrm><a:off x="10" y="20"/><a:ext cx="300" cy="400"/></a:xfrm>)"
            R"(<a:prstGeom prst="rect"><a:avLst/></a:prstGeom><a:noFill/></p:spPr>)"
            R"(<p:txBody><a:bodyPr wrap="none"><a:spAutoFit/></a:bodyPr><a:lstStyle/><a:p/></p:txBody></p:sp>)");
}

TEST(TextBoxShapeXml, WritesOneParagraphPerLine) {
  EXPECT_EQ(element(text_box_shape_xml(2, 0, 0, 1, 1, "Hello\nWorld"), "<a:lstStyle/>", "</p:txBody>"),
            "<a:lstStyle/><a:p><a:r><a:t>Hello</a:t></a:r></a:p><a:p><a:r><a:t>World</a:t></a:r></a:p></p:txBody>");
}

TEST(AutoShapeXml, FillsTheTemplateForARectangle) {
  EXPECT_EQ(auto_shape_xml(5, "rect", 100, 200, 3000, 4000, std::nullopt, {}),
            R"(<p:sp><p:nvSpPr><p:cNvPr id="5" name="Rectangle 4"/><p:cNvSpPr/><p:nvPr/></p:nvSpPr>)"
            R"(<p:spPr><a:xfrm><a:off x="100" y="200"/><a:ext cx="3000" cy="4000"/></a:xfrm>)"
            R"(<a:prstGeom prst="rect"><a:avLst></a:avLst></a:prstGeom></p:spPr>)"
            R"(<p:style><a:lnRef idx="1"><a:schemeClr val="accent1"/></a:lnRef>)"
            R"(<a:fillRef idx="3"><a:schemeClr val="accent1"/></a:fillRef>)"
            R"(<a:effectRef idx="2"><a:schemeClr val="accent1"/></a:effectRef>)"
            R"(<a:fontRef idx="minor"><a:schemeClr val="lt1"/></a:fontRef></p:style>)"
            R"(<p:txBody><a:bodyPr rtlCol="0" anchor="ctr"/><a:lstStyle/>)"
            R"(<a:p><a:pPr algn="ctr"/></a:p></p:txBody></p:sp>)");
}

TEST(AutoShapeXml, NamesTheShapeAfterThePresetsDisplayName) {
  EXPECT_NE(auto_shape_xml(3, "ellipse", 0, 0, 1, 1, std::nullopt, {}).find(R"(name="Oval 2")"), std::string::npos);
  EXPECT_NE(auto_shape_xml(3, "pentagon", 0, 0, 1, 1, std::nullopt, {}).find(R"(name="Auto Shape 2")"),
            std::string::npos);
}

TEST(AutoShapeXml, WritesGuidesInOrderAndTheTextInPlainParagraphs) {
  const Guides guides = {{"adj1", -5000}, {"adj2", 25000}};
  const std::string xml = auto_shape_xml(9, "roundRect", 0, 0, 10, 10, "A\nB", guides);
  EXPECT_EQ(element(xml, "<a:prstGeom", "</a:prstGeom>"),
            R"(<a:prstGeom prst="roundRect"><a:avLst><a:gd name="adj1" fmla="val -5000"/>)"
            R"(<a:gd name="adj2" fmla="val 25000"/></a:avLst></a:prstGeom>)");
  EXPECT_EQ(element(xml, "<a:lstStyle/>", "</p:txBody>"),
            "<a:lstStyle/><a:p><a:r><a:t>A</a:t></a:r></a:p><a:p><a:r><a:t>B</a:t></a:r></a:p></p:txBody>");
}

TEST(AutoShapeXml, RefusesPresetsOutsideTheTable) {
  EXPECT_EQ(invalid_input_of([] { auto_shape_xml(2, "line", 0, 0, 1, 1, "text", {}); }),
            "unsupported auto shape preset geometry: line");
  EXPECT_EQ(invalid_input_of([] { auto_shape_xml(2, "Rect", 0, 0, 1, 1, std::nullopt, {}); }),
            "unsupported auto shape preset geometry: Rect");
}

TEST(AdjustmentGuidesXml, IsEmptyWithoutGuidesAndWritesExtremeValues) {
  EXPECT_EQ(adjustment_guides_xml({}), "");
  const Guides guides = {{"adj", std::numeric_limits<int64_t>::min()}, {"adj", 0}};
  EXPECT_EQ(adjustment_guides_xml(guides),
            R"(<a:gd name="adj" fmla="val -9223372036854775808"/><a:gd name="adj" fmla="val 0"/>)");
}

TEST(AdjustmentGuidesXml, EscapesNamesSoTheyStayInsideTheirAttribute) {
  const Guides guides = {{"adj", 1}, {R"(a"/><x y="&<)", 2}};
  EXPECT_EQ(adjustment_guides_xml(guides),
            R"(<a:gd name="adj" fmla="val 1"/><a:gd name="a&quot;/&gt;&lt;x y=&quot;&amp;&lt;" fmla="val 2"/>)");
}

TEST(ConnectorShapeXml, FillsTheTemplateForAGluedReversedLine) {
  EXPECT_EQ(connector_shape_xml(3, "line", 100, 500, 50, 200, ConnectionEnd{4, 1}, std::nullopt),
            R"(<p:cxnSp><p:nvCxnSpPr><p:cNvPr id="3" name="Connector 2"/>)"
            R"(<p:cNvCxnSpPr><a:stCxn id="4" idx="1"/></p:cNvCxnSpPr><p:nvPr/></p:nvCxnSpPr>)"
            R"(<p:spPr><a:xfrm flipH="1" flipV="1"><a:off x="50" y="200"/><a:ext cx="50" cy="300"/></a:xfrm>)"
            R"(<a:prstGeom prst="line"><a:avLst/></a:prstGeom></p:spPr>)"
            R"(<p:style><a:lnRef idx="2"><a:schemeClr val="accent1"/></a:lnRef>)"
            R"(<a:fillRef idx="0"><a:schemeClr val="accent1"/></a:fillRef>)"
            R"(<a:effectRef idx="1"><a:schemeClr val="accent1"/></a:effectRef>)"
            R"(<a:fontRef idx="minor"><a:schemeClr val="tx1"/></a:fontRef></p:style></p:cxnSp>)");
}

struct ConnectorBox {
  uint64_t begin_x, begin_y, end_x, end_y;
  std::string xfrm;  // the whole a:xfrm start tag, offset and extent
};

void PrintTo(const ConnectorBox& c, std::ostream* out) {
  *out << "(" << c.begin_x << ", " << c.begin_y << ") to (" << c.end_x << ", " << c.end_y << ")";
}

class ConnectorBoxTest : public testing::TestWithParam<ConnectorBox> {};

TEST_P(ConnectorBoxTest, SpansBothPointsAndFlipsTowardsTheEnd) {
  const ConnectorBox& c = GetParam();
  const std::string xml = connector_shape_xml(2, "bentConnector3", c.begin_x, c.begin_y, c.end_x, c.end_y,
                                              std::nullopt, std::nullopt);
  EXPECT_EQ(element(xml, "<a:xfrm", "</a:xfrm>"), c.xfrm + "</a:xfrm>");
}

constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Points, ConnectorBoxTest,
    testing::Values(
        ConnectorBox{10, 20, 110, 220, R"(<a:xfrm><a:off x="10" y="20"/><a:ext cx="100" cy="200"/>)"},
        ConnectorBox{110, 20, 10, 220, R"(<a:xfrm flipH="1"><a:off x="10" y="20"/><a:ext cx="100" cy="200"/>)"},
        ConnectorBox{10, 220, 110, 20, R"(<a:xfrm flipV="1"><a:off x="10" y="20"/><a:ext cx="100" cy="200"/>)"},
        ConnectorBox{100, 500, 50, 200,
                     R"(<a:xfrm flipH="1" flipV="1"><a:off x="50" y="200"/><a:ext cx="50" cy="300"/>)"},
        // Equal coordinates never flip.
        ConnectorBox{7, 7, 7, 7, R"(<a:xfrm><a:off x="7" y="7"/><a:ext cx="0" cy="0"/>)"},
        ConnectorBox{7, 9, 7, 3, R"(<a:xfrm flipV="1"><a:off x="7" y="3"/><a:ext cx="0" cy="6"/>)"},
        // The full unsigned range, without wrapping.
        ConnectorBox{kMax, 0, 0, kMax,
                     R"(<a:xfrm flipH="1"><a:off x="0" y="0"/><a:ext cx="18446744073709551615" )"
                     R"(cy="18446744073709551615"/>)"}));

struct ConnectorEnds {
  std::optional<ConnectionEnd> start, end;
  std::string properties;
};

void PrintTo(const ConnectorEnds& c, std::ostream* out) { *out << c.properties; }

class ConnectorEndsTest : public testing::TestWithParam<ConnectorEnds> {};

TEST_P(ConnectorEndsTest, GluesEachConnectedEnd) {
  const ConnectorEnds& c = GetParam();
  const std::string xml = connector_shape_xml(2, "curvedConnector3", 0, 0, 10, 10, c.start, c.end);
  EXPECT_EQ(element(xml, "<p:cNvCxnSpPr", "<p:nvPr/>"), c.properties + "<p:nvPr/>");
}

INSTANTIATE_TEST_SUITE_P(
    Ends, ConnectorEndsTest,
    testing::Values(ConnectorEnds{std::nullopt, std::nullopt, "<p:cNvCxnSpPr/>"},
                    ConnectorEnds{ConnectionEnd{4, 1}, std::nullopt,
                                  R"(<p:cNvCxnSpPr><a:stCxn id="4" idx="1"/></p:cNvCxnSpPr>)"},
                    ConnectorEnds{std::nullopt, ConnectionEnd{0, 0},
                                  R"(<p:cNvCxnSpPr><a:endCxn id="0" idx="0"/></p:cNvCxnSpPr>)"},
                    ConnectorEnds{ConnectionEnd{12, 3}, ConnectionEnd{kMax, 2},
                                  R"(<p:cNvCxnSpPr><a:stCxn id="12" idx="3"/>)"
                                  R"(<a:endCxn id="18446744073709551615" idx="2"/></p:cNvCxnSpPr>)"}));

TEST(ConnectorPresetGeometry, AcceptsExactlyThreePresets) {
  for (const char* preset : {"line", "bentConnector3", "curvedConnector3"}) {
    EXPECT_EQ(connector_preset_geometry(preset), "Connector") << preset;
  }
  for (const char* preset : {"straightConnector1", "bentConnector2", "curvedConnector4", "Line", "rect", ""}) {
    EXPECT_EQ(invalid_input_of([&] { connector_preset_geometry(preset); }),
              std::string("unsupported connector preset geometry: ") + preset);
  }
  EXPECT_EQ(invalid_input_of([] {
              connector_shape_xml(2, "straightConnector1", 0, 0, 1, 1, std::nullopt, std::nullopt);
            }),
            "unsupported connector preset geometry: straightConnector1");
}

TEST(FreeformShapeXml, FillsTheTemplateWithNegativeCoordinates) {
  const Ops ops = {move_to(0, 0), line_to(100, -50), kClose};
  EXPECT_EQ(freeform_shape_xml(7, -100, -200, 300, 400, 1000, 800, ops, std::nullopt),
            R"(<p:sp><p:nvSpPr><p:cNvPr id="7" name="Freeform 6"/><p:cNvSpPr/><p:nvPr/></p:nvSpPr>)"
            R"(<p:spPr><a:xfrm><a:off x="-100" y="-200"/><a:ext cx="300" cy="400"/></a:xfrm>)"
            R"(<a:custGeom><a:avLst/><a:gdLst/><a:ahLst/><a:cxnLst/><a:rect l="l" t="t" r="r" b="b"/>)"
            R"(<a:pathLst><a:path w="1000" h="800">)"
            R"(<a:moveTo><a:pt x="0" y="0"/></a:moveTo><a:lnTo><a:pt x="100" y="-50"/></a:lnTo><a:close/>)"
            R"(</a:path></a:pathLst></a:custGeom></p:spPr>)"
            R"(<p:style><a:lnRef idx="1"><a:schemeClr val="accent1"/></a:lnRef>)"
            R"(<a:fillRef idx="3"><a:schemeClr val="accent1"/></a:fillRef>)"
            R"(<a:effectRef idx="2"><a:schemeClr val="accent1"/></a:effectRef>)"
            R"(<a:fontRef idx="minor"><a:schemeClr val="lt1"/></a:fontRef></p:style>)"
            R"(<p:txBody><a:bodyPr rtlCol="0" anchor="ctr"/><a:lstStyle/>)"
            R"(<a:p><a:pPr algn="ctr"/></a:p></p:txBody></p:sp>)");
}

TEST(FreeformShapeXml, WritesEveryCommandAsGivenWithoutCheckingTheOrder) {
  const Ops ops = {line_to(-1, 2), kClose, move_to(std::numeric_limits<int64_t>::min(), 5), kClose};
  const std::string xml = freeform_shape_xml(1, 0, 0, 10, 10, -10, 10, ops, "x");
  EXPECT_EQ(element(xml, "<a:path ", "</a:path>"),
            R"(<a:path w="-10" h="10"><a:lnTo><a:pt x="-1" y="2"/></a:lnTo><a:close/>)"
            R"(<a:moveTo><a:pt x="-9223372036854775808" y="5"/></a:moveTo><a:close/></a:path>)");
  EXPECT_EQ(element(xml, "<a:lstStyle/>", "</p:txBody>"),
            "<a:lstStyle/><a:p><a:r><a:t>x</a:t></a:r></a:p></p:txBody>");
}

TEST(FreeformShapeXml, RefusesAnEmptyPath) {
  EXPECT_EQ(invalid_input_of([] { freeform_shape_xml(2, 0, 0, 1, 1, 1, 1, {}, "text"); }),
            "freeform shape requires at least one path operation");
}

TEST(ShapeNames, UseTheIdMinusOneAndZeroForIdZero) {
  struct Case {
    uint64_t id;
    std::string number;
  };
  const Ops ops = {move_to(0, 0)};
  for (const Case& c : {Case{0, "0"}, Case{1, "0"}, Case{2, "1"}, Case{kMax, "18446744073709551614"}}) {
    SCOPED_TRACE(c.id);
    const auto names = [&](const std::string& xml, const std::string& kind) {
      return xml.find("<p:cNvPr id=\"" + std::to_string(c.id) + "\" name=\"" + kind + " " + c.number + "\"/>") !=
             std::string::npos;
    };
    EXPECT_TRUE(names(text_box_shape_xml(c.id, 0, 0, 1, 1, std::nullopt), "TextBox"));
    EXPECT_TRUE(names(auto_shape_xml(c.id, "rect", 0, 0, 1, 1, std::nullopt, {}), "Rectangle"));
    EXPECT_TRUE(names(connector_shape_xml(c.id, "line", 0, 0, 1, 1, std::nullopt, std::nullopt), "Connector"));
    EXPECT_TRUE(names(freeform_shape_xml(c.id, 0, 0, 1, 1, 1, 1, ops, std::nullopt), "Freeform"));
  }
}

struct ParagraphCase {
  std::string text;
  std::string xml;
};

void PrintTo(const ParagraphCase& c, std::ostream* out) { *out << testing::PrintToString(c.text); }

class ReplacementParagraphsTest : public testing::TestWithParam<ParagraphCase> {};

TEST_P(ReplacementParagraphsTest, WritesOnePlainParagraphPerLine) {
  EXPECT_EQ(replacement_paragraphs_xml(GetParam().text), GetParam().xml);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReplacementParagraphsTest,
    testing::Values(ParagraphCase{"", "<a:p><a:r><a:t></a:t></a:r></a:p>"},
                    ParagraphCase{"one", "<a:p><a:r><a:t>one</a:t></a:r></a:p>"},
                    ParagraphCase{"A\n", "<a:p><a:r><a:t>A</a:t></a:r></a:p><a:p><a:r><a:t></a:t></a:r></a:p>"},
                    ParagraphCase{"\n\n", "<a:p><a:r><a:t></a:t></a:r></a:p><a:p><a:r><a:t></a:t></a:r></a:p>"
                                          "<a:p><a:r><a:t></a:t></a:r></a:p>"},
                    // Carriage returns and tabs stay; only the five markup characters become entities.
                    ParagraphCase{"a\r\nb\tc",
                                  "<a:p><a:r><a:t>a\r</a:t></a:r></a:p><a:p><a:r><a:t>b\tc</a:t></a:r></a:p>"},
                    ParagraphCase{"<&>\"'", "<a:p><a:r><a:t>&lt;&amp;&gt;&quot;&apos;</a:t></a:r></a:p>"},
                    ParagraphCase{"x &amp; {}", "<a:p><a:r><a:t>x &amp;amp; {}</a:t></a:r></a:p>"}));

// Every builder, with and without its options, yields one element that the
// tokenizer reads to the end: balanced tags, well-formed markup.
TEST(ShapeBuilders, WriteOneWellFormedElement) {
  const Ops ops = {move_to(-5, 5), line_to(5, -5), kClose};
  const Guides guides = {{"adj", 1}};
  const std::string text = "a <b> & \"c\" 'd'\n\nline";
  const std::vector<std::string> fragments = {
      text_box_shape_xml(2, 0, 0, 1, 1, std::nullopt),
      text_box_shape_xml(2, 0, 0, 1, 1, text),
      auto_shape_xml(2, "rect", 0, 0, 1, 1, std::nullopt, {}),
      auto_shape_xml(2, "wedgeRectCallout", 0, 0, 1, 1, text, guides),
      connector_shape_xml(2, "line", 5, 5, 0, 0, std::nullopt, std::nullopt),
      connector_shape_xml(2, "bentConnector3", 0, 0, 5, 5, ConnectionEnd{1, 0}, ConnectionEnd{3, 2}),
      freeform_shape_xml(2, -1, -1, 1, 1, 1, 1, ops, std::nullopt),
      freeform_shape_xml(2, -1, -1, 1, 1, 1, 1, ops, text),
  };
  for (const std::string& fragment : fragments) {
    SCOPED_TRACE(fragment);
    xml::Reader reader(fragment);
    size_t top_level_elements = 0;
    for (xml::Event event = reader.next(); event.kind != xml::EventKind::Eof; event = reader.next()) {
      if (event.is_start() && reader.depth() == 1) ++top_level_elements;
    }
    EXPECT_EQ(top_level_elements, 1u);
    EXPECT_TRUE(reader.at_end());
  }
}

}  // namespace
}  // namespace velmora::shapes
