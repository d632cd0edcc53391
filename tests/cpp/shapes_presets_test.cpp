// shapes_presets_test.cpp - the preset geometries accepted for auto shapes and their display names.
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "error.h"
#include "shapes/presets.h"

namespace velmora::shapes {
namespace {

struct NamedPreset {
  std::string_view preset;
  std::string_view display_name;
};

void PrintTo(const NamedPreset& c, std::ostream* out) { *out << c.preset; }

class DisplayNameTest : public testing::TestWithParam<NamedPreset> {};

TEST_P(DisplayNameTest, GivesTheTablesName) {
  EXPECT_EQ(auto_shape_display_name(GetParam().preset), GetParam().display_name);
}

// Neighbouring presets that fall into different rows, and the edges of the
// 142 presets that share "Auto Shape".
INSTANTIATE_TEST_SUITE_P(
    Presets, DisplayNameTest,
    testing::Values(NamedPreset{"rect", "Rectangle"}, NamedPreset{"roundRect", "Rounded Rectangle"},
                    NamedPreset{"ellipse", "Oval"}, NamedPreset{"homePlate", "Pentagon"},
                    NamedPreset{"pentagon", "Auto Shape"}, NamedPreset{"star5", "5-Point Star"},
                    NamedPreset{"star4", "Auto Shape"}, NamedPreset{"borderCallout1", "Auto Shape"},
                    NamedPreset{"borderCallout2", "Line Callout 2"}, NamedPreset{"borderCallout3", "Auto Shape"},
                    NamedPreset{"plus", "Cross"}, NamedPreset{"mathPlus", "Auto Shape"},
                    NamedPreset{"noSmoking", "No Symbol"}, NamedPreset{"can", "Can"}, NamedPreset{"arc", "Arc"},
                    NamedPreset{"flowChartInputOutput", "Flowchart Data"},
                    NamedPreset{"flowChartOfflineStorage", "Flowchart Offline Storage"},
                    NamedPreset{"flowChartOnlineStorage", "Auto Shape"}, NamedPreset{"lineInv", "Auto Shape"},
                    NamedPreset{"chartPlus", "Auto Shape"},
                    NamedPreset{"leftRightRibbon", "Left Right Ribbon"}));

class RefusedPresetTest : public testing::TestWithParam<std::string> {};

TEST_P(RefusedPresetTest, FailsWithThePresetAsPassed) {
  try {
    auto_shape_display_name(GetParam());
    FAIL() << "accepted " << GetParam();
  } catch (const VelmoraError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::InvalidInput);
    EXPECT_EQ(error.detail(), "unsupported auto shape preset geometry: " + GetParam());
  }
}

// Case and blanks matter; the line and the connectors are valid presets but
// no auto shapes.
INSTANTIATE_TEST_SUITE_P(Texts, RefusedPresetTest,
                         testing::Values("Rect", "RECT", "rect ", " rect", "", "rectangle", "star", "line",
                                         "straightConnector1", "bentConnector3", "curvedConnector5",
                                         std::string("rect\0", 5)));

/// The values of the DrawingML shape-type enumeration, read from the schema.
std::vector<std::string> schema_shape_types() {
  std::ifstream file(VELMORA_CORPUS "/../schemas/ecma376-transitional/dml-main.xsd");
  if (!file) return {};
  std::stringstream content;
  content << file.rdbuf();
  const std::string xsd = content.str();
  const size_t begin = xsd.find("<xsd:simpleType name=\"ST_ShapeType\">");
  const size_t end = xsd.find("</xsd:simpleType>", begin);
  if (begin == std::string::npos || end == std::string::npos) return {};
  const std::string block = xsd.substr(begin, end - begin);
  const std::regex enumeration("<xsd:enumeration value=\"([^\"]+)\"/>");
  std::vector<std::string> values;
  for (std::sregex_iterator it(block.begin(), block.end(), enumeration), last; it != last; ++it) {
    values.push_back((*it)[1]);
  }
  return values;
}

TEST(AutoShapePresets, AreEveryShapeTypeButTheLineAndTheConnectors) {
  const std::vector<std::string> shape_types = schema_shape_types();
  if (shape_types.empty()) GTEST_SKIP() << "DrawingML schema not found";
  const std::set<std::string> not_auto_shapes = {
      "line",           "straightConnector1", "bentConnector2",   "bentConnector3",   "bentConnector4",
      "bentConnector5", "curvedConnector2",   "curvedConnector3", "curvedConnector4", "curvedConnector5"};

  std::set<std::string> refused;
  size_t accepted = 0;
  size_t named = 0;
  for (const std::string& type : shape_types) {
    try {
      const std::string_view name = auto_shape_display_name(type);
      ++accepted;
      if (name != "Auto Shape") ++named;
    } catch (const VelmoraError&) {
      refused.insert(type);
    }
  }
  EXPECT_EQ(refused, not_auto_shapes);
  EXPECT_EQ(accepted, 177u);
  EXPECT_EQ(named, 35u);
}

}  // namespace
}  // namespace velmora::shapes
