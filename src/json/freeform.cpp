// freeform.cpp - the JSON form of a freeform path, read into path commands.
#include "json/freeform.h"

#include <cstdint>
#include <limits>
#include <string>

#include "json/arguments.h"

namespace velmora::json {
namespace {

using nlohmann::json;
using shapes::FreeformPathOperation;
using shapes::PathCommand;

[[noreturn]] void fail(const std::string& message, size_t index) {
  throw JsonArgumentError(message + " at element " + std::to_string(index) + " of the top-level array");
}

const json& member(const json& object, const char* name, size_t index) {
  const auto found = object.find(name);
  if (found == object.end()) fail("missing field `" + std::string(name) + "`", index);
  return *found;
}

int64_t coordinate(const json& object, const char* name, size_t index) {
  const json& value = member(object, name, index);
  const bool fits = value.is_number_integer() &&
                    (!value.is_number_unsigned() ||
                     value.get<uint64_t>() <= uint64_t(std::numeric_limits<int64_t>::max()));
  if (!fits) {
    fail("invalid type: expected a signed 64-bit integer as `" + std::string(name) + "`, found " + value.dump(),
         index);
  }
  return value.get<int64_t>();
}

FreeformPathOperation read_operation(const json& item, size_t index) {
  if (!item.is_object()) fail("invalid type: expected a path operation object, found " + item.dump(), index);
  const json& type = member(item, "type", index);
  if (!type.is_string()) fail("invalid type: expected a string as `type`, found " + type.dump(), index);
  const auto& tag = type.get_ref<const std::string&>();
  if (tag == "move_to") return {PathCommand::MoveTo, coordinate(item, "x", index), coordinate(item, "y", index)};
  if (tag == "line_to") return {PathCommand::LineTo, coordinate(item, "x", index), coordinate(item, "y", index)};
  if (tag == "close") return {PathCommand::Close};
  fail("unknown variant `" + tag + "`, expected one of `move_to`, `line_to`, `close`", index);
}

}  // namespace

std::vector<FreeformPathOperation> parse_freeform_path_operations(const json& document) {
  if (!document.is_array()) {
    throw JsonArgumentError("invalid type: expected an array at the top level, found " + document.dump());
  }
  std::vector<FreeformPathOperation> operations;
  operations.reserve(document.size());
  for (size_t i = 0; i < document.size(); ++i) operations.push_back(read_operation(document[i], i));
  return operations;
}

}  // namespace velmora::json
