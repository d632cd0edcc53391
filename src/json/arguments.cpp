// arguments.cpp - reading JSON-text arguments into their shapes.
#include "json/arguments.h"

#include <limits>
#include <optional>

#include "json/freeform.h"

namespace velmora::json {

namespace {

using nlohmann::json;

[[noreturn]] void fail(const std::string& message) { throw JsonArgumentError(message); }

std::string where(size_t index) { return "element " + std::to_string(index) + " of the top-level array"; }

const json& expect_tuple(const json& item, size_t index, size_t arity, const char* shape) {
  if (!item.is_array() || item.size() != arity) {
    fail("invalid type: expected " + std::string(shape) + " at " + where(index) + ", found " + item.dump());
  }
  return item;
}

uint64_t expect_u64(const json& value, size_t index, const char* what) {
  if (!value.is_number_unsigned()) {
    fail("invalid type: expected an unsigned integer as " + std::string(what) + " at " + where(index) +
         ", found " + value.dump());
  }
  return value.get<uint64_t>();
}

int64_t expect_i64(const json& value, size_t index, const char* what) {
  if (value.is_number_integer() &&
      (value.is_number_unsigned() ? value.get<uint64_t>() <= uint64_t(std::numeric_limits<int64_t>::max())
                                  : true)) {
    return value.get<int64_t>();
  }
  fail("invalid type: expected a signed 64-bit integer as " + std::string(what) + " at " + where(index) +
       ", found " + value.dump());
}

std::string expect_string(const json& value, size_t index, const char* what) {
  if (!value.is_string()) {
    fail("invalid type: expected a string as " + std::string(what) + " at " + where(index) + ", found " +
         value.dump());
  }
  return value.get<std::string>();
}

// The documents of these arguments nest a few levels at most. Deeper ones are
// refused before parsing: the routines that walk or print a parsed document
// recurse once per level and would run out of stack.
constexpr size_t max_nesting = 128;

void check_nesting(std::string_view text) {
  size_t depth = 0, line = 1, column = 0;
  bool in_string = false, escaped = false;
  for (const char c : text) {
    ++column;
    if (c == '\n') {
      ++line;
      column = 0;
    } else if (in_string) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        in_string = false;
      }
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      if (++depth > max_nesting) {
        fail("parse error at line " + std::to_string(line) + ", column " + std::to_string(column) +
             ": nesting deeper than " + std::to_string(max_nesting) + " levels");
      }
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
}

json parse_document(std::string_view text) {
  check_nesting(text);
  try {
    return json::parse(text);
  } catch (const json::exception& error) {
    // Syntax errors and numbers out of range. Drop the library's
    // "[json.exception.parse_error.101] " tag; the rest says what was wrong
    // and, for syntax errors, gives the line and column.
    std::string message = error.what();
    if (const size_t end = message.find("] "); message.starts_with("[json.exception") && end != std::string::npos) {
      message.erase(0, end + 2);
    }
    fail(message);
  }
}

const json& expect_array(const json& document) {
  if (!document.is_array()) fail("invalid type: expected an array at the top level, found " + document.dump());
  return document;
}

std::optional<std::string> optional_string_member(const json& object, const char* name, size_t index) {
  const auto found = object.find(name);
  if (found == object.end() || found->is_null()) return std::nullopt;
  if (!found->is_string()) {
    fail("invalid type: expected a string or null as `" + std::string(name) + "` at " + where(index) + ", found " +
         found->dump());
  }
  return found->get<std::string>();
}

shapes::PlaceholderShapeSpec placeholder_spec(const json& item, size_t index) {
  if (!item.is_object()) {
    fail("invalid type: expected a placeholder object at " + where(index) + ", found " + item.dump());
  }
  return {optional_string_member(item, "placeholder_type", index),
          optional_string_member(item, "placeholder_orient", index),
          optional_string_member(item, "placeholder_size", index),
          optional_string_member(item, "placeholder_idx", index)};
}

}  // namespace

JsonArgument parse_json_argument(std::string_view parameter, std::string_view text) {
  json document = parse_document(text);
  if (parameter == "adjustment_guides_json") {
    AdjustmentGuides guides;
    size_t i = 0;
    for (const json& item : expect_array(document)) {
      expect_tuple(item, i, 2, "a [name, value] pair");
      guides.emplace_back(expect_string(item[0], i, "the guide name"), expect_i64(item[1], i, "the guide value"));
      ++i;
    }
    return guides;
  }
  if (parameter == "cell_texts_json") {
    CellTexts cells;
    size_t i = 0;
    for (const json& item : expect_array(document)) {
      expect_tuple(item, i, 3, "a [row, column, text] triple");
      cells.push_back({expect_u64(item[0], i, "the row"), expect_u64(item[1], i, "the column"),
                       expect_string(item[2], i, "the text")});
      ++i;
    }
    return cells;
  }
  if (parameter == "cells_json") {
    WorkbookCellTriples cells;
    size_t i = 0;
    for (const json& item : expect_array(document)) {
      expect_tuple(item, i, 3, "a [reference, kind, value] triple");
      cells.push_back({expect_string(item[0], i, "the reference"), expect_string(item[1], i, "the kind"),
                       expect_string(item[2], i, "the value")});
      ++i;
    }
    return cells;
  }
  if (parameter == "operations_json") return parse_freeform_path_operations(document);
  if (parameter == "placeholders_json") {
    PlaceholderShapeSpecs specs;
    size_t i = 0;
    for (const json& item : expect_array(document)) specs.push_back(placeholder_spec(item, i++));
    return specs;
  }
  // edits_json is an array of objects whose members the operation reads.
  expect_array(document);
  return JsonDocument{std::move(document)};
}

}  // namespace velmora::json
