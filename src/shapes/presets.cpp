// presets.cpp - the table of preset geometries accepted for auto shapes.
#include "shapes/presets.h"

#include <algorithm>
#include <array>
#include <string>

#include "error.h"

namespace velmora::shapes {
namespace {

struct Preset {
  std::string_view name;
  std::string_view display_name;
};

constexpr std::string_view kAuto = "Auto Shape";

// Shorter names first, then byte order: a lookup compares lengths before it
// looks at any content.
constexpr bool shorter_first(std::string_view a, std::string_view b) {
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// Every preset shape type of DrawingML except "line" and the nine straight,
// bent and curved connectors, in the order the schema lists them.
constexpr auto kPresets = [] {
  std::array<Preset, 177> presets{{
    {"lineInv", kAuto}, {"triangle", "Triangle"}, {"rtTriangle", "Right Triangle"}, {"rect", "Rectangle"},
    {"diamond", "Diamond"}, {"parallelogram", "Parallelogram"}, {"trapezoid", "Trapezoid"},
    {"nonIsoscelesTrapezoid", kAuto}, {"pentagon", kAuto}, {"hexagon", "Hexagon"}, {"heptagon", kAuto},
    {"octagon", "Octagon"}, {"decagon", kAuto}, {"dodecagon", kAuto}, {"star4", kAuto},
    {"star5", "5-Point Star"}, {"star6", kAuto}, {"star7", kAuto}, {"star8", kAuto}, {"star10", kAuto},
    {"star12", kAuto}, {"star16", kAuto}, {"star24", kAuto}, {"star32", kAuto},
    {"roundRect", "Rounded Rectangle"}, {"round1Rect", kAuto}, {"round2SameRect", kAuto},
    {"round2DiagRect", kAuto}, {"snipRoundRect", kAuto}, {"snip1Rect", kAuto}, {"snip2SameRect", kAuto},
    {"snip2DiagRect", kAuto}, {"plaque", "Plaque"}, {"ellipse", "Oval"}, {"teardrop", kAuto},
    {"homePlate", "Pentagon"}, {"chevron", "Chevron"}, {"pieWedge", kAuto}, {"pie", kAuto},
    {"blockArc", "Block Arc"}, {"donut", "Donut"}, {"noSmoking", "No Symbol"}, {"rightArrow", "Right Arrow"},
    {"leftArrow", "Left Arrow"}, {"upArrow", "Up Arrow"}, {"downArrow", "Down Arrow"},
    {"stripedRightArrow", kAuto}, {"notchedRightArrow", kAuto}, {"bentUpArrow", kAuto},
    {"leftRightArrow", kAuto}, {"upDownArrow", kAuto}, {"leftUpArrow", kAuto}, {"leftRightUpArrow", kAuto},
    {"quadArrow", kAuto}, {"leftArrowCallout", kAuto}, {"rightArrowCallout", kAuto}, {"upArrowCallout", kAuto},
    {"downArrowCallout", kAuto}, {"leftRightArrowCallout", kAuto}, {"upDownArrowCallout", kAuto},
    {"quadArrowCallout", kAuto}, {"bentArrow", kAuto}, {"uturnArrow", kAuto}, {"circularArrow", kAuto},
    {"leftCircularArrow", kAuto}, {"leftRightCircularArrow", kAuto}, {"curvedRightArrow", kAuto},
    {"curvedLeftArrow", kAuto}, {"curvedUpArrow", kAuto}, {"curvedDownArrow", kAuto}, {"swooshArrow", kAuto},
    {"cube", "Cube"}, {"can", "Can"}, {"lightningBolt", kAuto}, {"heart", "Heart"}, {"sun", kAuto},
    {"moon", kAuto}, {"smileyFace", "Smiley Face"}, {"irregularSeal1", kAuto}, {"irregularSeal2", kAuto},
    {"foldedCorner", kAuto}, {"bevel", kAuto}, {"frame", kAuto}, {"halfFrame", kAuto}, {"corner", kAuto},
    {"diagStripe", kAuto}, {"chord", kAuto}, {"arc", "Arc"}, {"leftBracket", kAuto}, {"rightBracket", kAuto},
    {"leftBrace", kAuto}, {"rightBrace", kAuto}, {"bracketPair", kAuto}, {"bracePair", kAuto},
    {"callout1", kAuto}, {"callout2", kAuto}, {"callout3", kAuto}, {"accentCallout1", kAuto},
    {"accentCallout2", kAuto}, {"accentCallout3", kAuto}, {"borderCallout1", kAuto},
    {"borderCallout2", "Line Callout 2"}, {"borderCallout3", kAuto}, {"accentBorderCallout1", kAuto},
    {"accentBorderCallout2", kAuto}, {"accentBorderCallout3", kAuto}, {"wedgeRectCallout", kAuto},
    {"wedgeRoundRectCallout", kAuto}, {"wedgeEllipseCallout", kAuto}, {"cloudCallout", kAuto},
    {"cloud", "Cloud"}, {"ribbon", kAuto}, {"ribbon2", kAuto}, {"ellipseRibbon", kAuto},
    {"ellipseRibbon2", kAuto}, {"leftRightRibbon", "Left Right Ribbon"}, {"verticalScroll", kAuto},
    {"horizontalScroll", kAuto}, {"wave", kAuto}, {"doubleWave", kAuto}, {"plus", "Cross"},
    {"flowChartProcess", "Flowchart Process"}, {"flowChartDecision", "Flowchart Decision"},
    {"flowChartInputOutput", "Flowchart Data"}, {"flowChartPredefinedProcess", kAuto},
    {"flowChartInternalStorage", kAuto}, {"flowChartDocument", "Flowchart Document"},
    {"flowChartMultidocument", kAuto}, {"flowChartTerminator", kAuto}, {"flowChartPreparation", kAuto},
    {"flowChartManualInput", kAuto}, {"flowChartManualOperation", kAuto}, {"flowChartConnector", kAuto},
    {"flowChartPunchedCard", kAuto}, {"flowChartPunchedTape", kAuto}, {"flowChartSummingJunction", kAuto},
    {"flowChartOr", kAuto}, {"flowChartCollate", kAuto}, {"flowChartSort", kAuto}, {"flowChartExtract", kAuto},
    {"flowChartMerge", kAuto}, {"flowChartOfflineStorage", "Flowchart Offline Storage"},
    {"flowChartOnlineStorage", kAuto}, {"flowChartMagneticTape", kAuto}, {"flowChartMagneticDisk", kAuto},
    {"flowChartMagneticDrum", kAuto}, {"flowChartDisplay", kAuto}, {"flowChartDelay", kAuto},
    {"flowChartAlternateProcess", kAuto}, {"flowChartOffpageConnector", kAuto}, {"actionButtonBlank", kAuto},
    {"actionButtonHome", kAuto}, {"actionButtonHelp", kAuto}, {"actionButtonInformation", kAuto},
    {"actionButtonForwardNext", kAuto}, {"actionButtonBackPrevious", kAuto}, {"actionButtonEnd", kAuto},
    {"actionButtonBeginning", kAuto}, {"actionButtonReturn", kAuto}, {"actionButtonDocument", kAuto},
    {"actionButtonSound", kAuto}, {"actionButtonMovie", kAuto}, {"gear6", kAuto}, {"gear9", kAuto},
    {"funnel", kAuto}, {"mathPlus", kAuto}, {"mathMinus", kAuto}, {"mathMultiply", kAuto},
    {"mathDivide", kAuto}, {"mathEqual", kAuto}, {"mathNotEqual", kAuto}, {"cornerTabs", kAuto},
    {"squareTabs", kAuto}, {"plaqueTabs", kAuto}, {"chartX", kAuto}, {"chartStar", kAuto}, {"chartPlus", kAuto},
  }};
  std::ranges::sort(presets, shorter_first, &Preset::name);
  return presets;
}();

static_assert(!kPresets.front().name.empty(), "all 177 presets are filled in");
static_assert(std::ranges::adjacent_find(kPresets, {}, &Preset::name) == kPresets.end(),
              "each preset is listed once");

}  // namespace

std::string_view auto_shape_display_name(std::string_view preset) {
  const auto* found = std::ranges::lower_bound(kPresets, preset, shorter_first, &Preset::name);
  if (found == kPresets.end() || found->name != preset) {
    throw_invalid_input("unsupported auto shape preset geometry: " + std::string(preset));
  }
  return found->display_name;
}

}  // namespace velmora::shapes
