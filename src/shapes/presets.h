// presets.h - the preset geometries accepted for new auto shapes and their display names.
#pragma once

#include <string_view>

namespace velmora::shapes {

/// The display name that a new auto shape with preset geometry `preset` (an
/// `a:prstGeom` `prst` value) is named after: "Rectangle" for "rect", "Oval"
/// for "ellipse", "Auto Shape" for most presets. The match is exact: no case
/// folding, no trimming. The line and connector presets are not accepted.
/// Allocates nothing and returns a constant text.
/// Throws VelmoraError(InvalidInput) "unsupported auto shape preset geometry:
/// {preset}" for any other text.
std::string_view auto_shape_display_name(std::string_view preset);

}  // namespace velmora::shapes
