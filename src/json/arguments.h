// arguments.h - JSON-text arguments read into their record shapes.
#pragma once

#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "shapes/freeform_path.h"
#include "shapes/placeholder_spec.h"

namespace velmora::json {

/// `adjustment_guides_json`: [name, value] pairs.
using AdjustmentGuides = std::vector<std::pair<std::string, int64_t>>;

/// `cell_texts_json`: [row, column, text] triples.
struct CellText {
  uint64_t row = 0;
  uint64_t col = 0;
  std::string text;
};
using CellTexts = std::vector<CellText>;

/// `cells_json`: [reference, kind, value] triples of strings, as given.
using WorkbookCellTriples = std::vector<std::array<std::string, 3>>;

/// `operations_json`: the commands of a freeform path.
using FreeformPathOperations = std::vector<shapes::FreeformPathOperation>;

/// `placeholders_json`: one object per placeholder, each member ("placeholder_type",
/// "placeholder_orient", "placeholder_size", "placeholder_idx") a string, null
/// or left out; other members are ignored.
using PlaceholderShapeSpecs = std::vector<shapes::PlaceholderShapeSpec>;

/// A document whose record shape is read by the operation that uses it.
struct JsonDocument {
  nlohmann::json value;
};

using JsonArgument =
    std::variant<AdjustmentGuides, CellTexts, WorkbookCellTriples, FreeformPathOperations, PlaceholderShapeSpecs,
                 JsonDocument>;

/// A JSON-text argument that does not read into its shape. The message says
/// what was expected and where.
class JsonArgumentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Reads the JSON-text argument named `parameter` ("edits_json",
/// "cells_json", ...) into its shape. Throws JsonArgumentError.
JsonArgument parse_json_argument(std::string_view parameter, std::string_view text);

}  // namespace velmora::json
