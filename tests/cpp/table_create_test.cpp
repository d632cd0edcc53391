// table_create_test.cpp - the graphic frame XML of new tables and its place in the slide.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "error.h"
#include "package_test_fixture.h"
#include "table/create.h"

namespace velmora::table {
namespace {

using package::testing_support::error_of;

/// How often `needle` occurs in `text`.
size_t count(const std::string& text, const std::string& needle) {
  size_t n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++n;
  return n;
}

/// The paragraphs of each cell, row by row, read back from the table XML.
std::vector<std::vector<std::string>> cell_paragraphs(const std::string& xml) {
  std::vector<std::vector<std::string>> rows;
  for (size_t tr = xml.find("<a:tr "); tr != std::string::npos; tr = xml.find("<a:tr ", tr + 1)) {
    const size_t row_end = xml.find("</a:tr>", tr);
    rows.emplace_back();
    for (size_t tc = xml.find("<a:lstStyle/>", tr); tc < row_end; tc = xml.find("<a:lstStyle/>", tc + 1)) {
      const size_t begin = tc + std::string("<a:lstStyle/>").size();
      rows.back().push_back(xml.substr(begin, xml.find("</a:txBody>", begin) - begin));
    }
  }
  return rows;
}

TEST(TableShapeXml, FillsTheFrameTemplate) {
  const TableRequest request{1, 2, 10, 20, 1000, 500, {{0, 1, "B"}}};
  EXPECT_EQ(
      table_shape_xml(7, request),
      R"(<p:graphicFrame><p:nvGraphicFramePr><p:cNvPr id="7" name="Table 7"/><p:cNvGraphicFramePr>)"
      R"(<a:graphicFrameLocks noGrp="1"/></p:cNvGraphicFramePr><p:nvPr/></p:nvGraphicFramePr><p:xfrm>)"
      R"(<a:off x="10" y="20"/><a:ext cx="1000" cy="500"/></p:xfrm><a:graphic>)"
      R"(<a:graphicData uri="http://schemas.openxmlformats.org/drawingml/2006/table"><a:tbl>)"
      R"(<a:tblPr firstRow="1" bandRow="1"><a:tableStyleId>{5C22544A-7EE6-4342-B048-85BDC9FD1C3A}</a:tableStyleId>)"
      R"(</a:tblPr><a:tblGrid><a:gridCol w="500"/><a:gridCol w="500"/></a:tblGrid><a:tr h="500">)"
      R"(<a:tc><a:txBody><a:bodyPr/><a:lstStyle/><a:p><a:r><a:t></a:t></a:r></a:p></a:txBody><a:tcPr/></a:tc>)"
      R"(<a:tc><a:txBody><a:bodyPr/><a:lstStyle/><a:p><a:r><a:t>B</a:t></a:r></a:p></a:txBody><a:tcPr/></a:tc>)"
      R"(</a:tr></a:tbl></a:graphicData></a:graphic></p:graphicFrame>)");
}

struct GridCase {
  uint64_t rows, cols, cx, cy;
  std::string width, height;  // of every grid column and row
};

void PrintTo(const GridCase& c, std::ostream* out) {
  *out << c.rows << "x" << c.cols << " in " << c.cx << "x" << c.cy;
}

class TableGridTest : public testing::TestWithParam<GridCase> {};

TEST_P(TableGridTest, SharesTheFrameEquallyDroppingTheRemainder) {
  const GridCase& c = GetParam();
  const std::string xml = table_shape_xml(2, {c.rows, c.cols, 0, 0, c.cx, c.cy, {}});
  EXPECT_EQ(count(xml, "<a:gridCol "), c.cols);
  EXPECT_EQ(count(xml, "<a:gridCol w=\"" + c.width + "\"/>"), c.cols);
  EXPECT_EQ(count(xml, "<a:tr "), c.rows);
  EXPECT_EQ(count(xml, "<a:tr h=\"" + c.height + "\">"), c.rows);
  EXPECT_EQ(count(xml, "<a:tc>"), c.rows * c.cols);
  // the frame keeps the requested size
  EXPECT_NE(xml.find("<a:ext cx=\"" + std::to_string(c.cx) + "\" cy=\"" + std::to_string(c.cy) + "\"/>"),
            std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TableGridTest,
                         testing::Values(GridCase{1, 1, 914400, 370840, "914400", "370840"},
                                         GridCase{2, 3, 1000, 1000, "333", "500"},
                                         GridCase{4, 2, 7, 3, "3", "0"},  // smaller than the grid: zero heights
                                         GridCase{3, 5, 0, 0, "0", "0"},
                                         GridCase{1, 2, 18446744073709551615u, 1, "9223372036854775807", "1"}));

struct CellCase {
  const char* what;
  json::CellTexts texts;
  std::vector<std::vector<std::string>> paragraphs;  // per cell, row by row
};

void PrintTo(const CellCase& c, std::ostream* out) { *out << c.what; }

class TableCellTextTest : public testing::TestWithParam<CellCase> {};

TEST_P(TableCellTextTest, PutsEachTextInItsCell) {
  EXPECT_EQ(cell_paragraphs(table_shape_xml(2, {2, 2, 0, 0, 100, 100, GetParam().texts})), GetParam().paragraphs);
}

constexpr const char* kEmpty = "<a:p><a:r><a:t></a:t></a:r></a:p>";

INSTANTIATE_TEST_SUITE_P(
    Texts, TableCellTextTest,
    testing::Values(
        CellCase{"none", {}, {{kEmpty, kEmpty}, {kEmpty, kEmpty}}},
        CellCase{"row then column",
                 {{1, 0, "r1c0"}, {0, 1, "r0c1"}},
                 {{kEmpty, "<a:p><a:r><a:t>r0c1</a:t></a:r></a:p>"},
                  {"<a:p><a:r><a:t>r1c0</a:t></a:r></a:p>", kEmpty}}},
        CellCase{"first entry wins",
                 {{0, 0, "first"}, {0, 0, "second"}},
                 {{"<a:p><a:r><a:t>first</a:t></a:r></a:p>", kEmpty}, {kEmpty, kEmpty}}},
        CellCase{"lines and escaping",
                 {{0, 0, "a<b\nc&d"}, {0, 1, "end\n"}, {1, 1, ""}},
                 {{"<a:p><a:r><a:t>a&lt;b</a:t></a:r></a:p><a:p><a:r><a:t>c&amp;d</a:t></a:r></a:p>",
                   "<a:p><a:r><a:t>end</a:t></a:r></a:p><a:p><a:r><a:t></a:t></a:r></a:p>"},
                  {kEmpty, kEmpty}}},
        CellCase{"quotes",
                 {{1, 1, "\"it's\""}},
                 {{kEmpty, kEmpty}, {kEmpty, "<a:p><a:r><a:t>&quot;it&apos;s&quot;</a:t></a:r></a:p>"}}}));

TEST(AddTableToSlideXml, InsertsBeforeTheLastTreeEnd) {
  const std::string slide = "<p:sld><p:spTree></p:spTree><x/><p:spTree>A</p:spTree></p:sld>";
  const TableRequest request{1, 1, 0, 0, 10, 10, {}};
  EXPECT_EQ(add_table_to_slide_xml(slide, 3, request),
            "<p:sld><p:spTree></p:spTree><x/><p:spTree>A" + table_shape_xml(3, request) + "</p:spTree></p:sld>");
}

TEST(AddTableToSlideXml, RefusesASlideWithoutShapeTreeEnd) {
  const VelmoraError error = error_of([] { add_table_to_slide_xml("<p:sld/>", 2, {1, 1, 0, 0, 1, 1, {}}); });
  EXPECT_EQ(error.kind(), ErrorKind::InvalidInput);
  EXPECT_EQ(error.detail(), "slide XML is missing </p:spTree>");
}

}  // namespace
}  // namespace velmora::table
