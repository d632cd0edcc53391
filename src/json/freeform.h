// freeform.h - the JSON form of a freeform path, read into path commands.
#pragma once

#include <nlohmann/json.hpp>
#include <vector>

#include "shapes/freeform_path.h"

namespace velmora::json {

/// Reads `operations_json`: an array of objects tagged by their member
/// "type", {"type": "move_to", "x": 0, "y": 0}, {"type": "line_to", "x": ..,
/// "y": ..} or {"type": "close"}; x and y are signed 64-bit integers.
/// Members a command does not define are ignored. The empty array is read
/// (the builder refuses it later). Throws JsonArgumentError naming what is
/// wrong and the element index: "missing field `x`", "unknown variant ...",
/// "invalid type: ...".
std::vector<shapes::FreeformPathOperation> parse_freeform_path_operations(const nlohmann::json& document);

}  // namespace velmora::json
