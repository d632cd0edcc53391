// placeholder_spec.h - the p:ph attributes asked for one new placeholder shape.
#pragma once

#include <optional>
#include <string>

namespace velmora::shapes {

/// One placeholder to add. Every value is optional and written as given
/// (escaped); an absent or empty value, or the schema default, leaves its
/// attribute out.
struct PlaceholderShapeSpec {
  std::optional<std::string> placeholder_type;    ///< `type`, such as "title", "body" or "dt"
  std::optional<std::string> placeholder_orient;  ///< `orient`; "vert" also names the shape "Vertical ..."
  std::optional<std::string> placeholder_size;    ///< `sz`
  std::optional<std::string> placeholder_idx;     ///< `idx`

  bool operator==(const PlaceholderShapeSpec&) const = default;
};

}  // namespace velmora::shapes
