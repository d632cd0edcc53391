// json_freeform_test.cpp - reading `operations_json` into the commands of a freeform path.
#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "json/arguments.h"
#include "json/freeform.h"

namespace velmora::json {
namespace {

using shapes::FreeformPathOperation;
using shapes::PathCommand;
using Ops = std::vector<FreeformPathOperation>;

Ops read(const std::string& text) {
  return std::get<FreeformPathOperations>(parse_json_argument("operations_json", text));
}

TEST(FreeformPathOperations, ReadEachTaggedCommandInOrder) {
  EXPECT_EQ(read(R"([{"type": "move_to", "x": 0, "y": 0}, {"y": -50, "x": 100, "type": "line_to"},
                     {"type": "close"}])"),
            (Ops{{PathCommand::MoveTo, 0, 0}, {PathCommand::LineTo, 100, -50}, {PathCommand::Close}}));
}

TEST(FreeformPathOperations, IgnoreMembersACommandDoesNotDefine) {
  EXPECT_EQ(read(R"([{"type": "close", "x": 5, "y": "not read"}, {"type": "line_to", "x": 1, "y": 2, "note": []}])"),
            (Ops{{PathCommand::Close}, {PathCommand::LineTo, 1, 2}}));
}

TEST(FreeformPathOperations, TakeTheWholeSigned64BitRangeAndTheEmptyList) {
  constexpr int64_t min = std::numeric_limits<int64_t>::min();
  constexpr int64_t max = std::numeric_limits<int64_t>::max();
  EXPECT_EQ(read(R"([{"type": "move_to", "x": -9223372036854775808, "y": 9223372036854775807}])"),
            (Ops{{PathCommand::MoveTo, min, max}}));
  EXPECT_EQ(read("[]"), Ops{});
}

struct Refusal {
  std::string text;
  std::string message;
};

void PrintTo(const Refusal& c, std::ostream* out) { *out << c.text; }

class FreeformPathRefusalTest : public testing::TestWithParam<Refusal> {};

TEST_P(FreeformPathRefusalTest, NamesTheFaultAndTheElement) {
  try {
    read(GetParam().text);
    FAIL() << "accepted " << GetParam().text;
  } catch (const JsonArgumentError& error) {
    EXPECT_EQ(std::string(error.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FreeformPathRefusalTest,
    testing::Values(
        Refusal{R"({"type": "close"})", R"(invalid type: expected an array at the top level, found {"type":"close"})"},
        Refusal{R"([{"type": "close"}, 1])",
                "invalid type: expected a path operation object, found 1 at element 1 of the top-level array"},
        Refusal{R"([{"x": 1, "y": 2}])", "missing field `type` at element 0 of the top-level array"},
        Refusal{R"([{"type": 3}])", "invalid type: expected a string as `type`, found 3 at element 0 of the top-level array"},
        Refusal{R"([{"type": "lineTo", "x": 1, "y": 2}])",
                "unknown variant `lineTo`, expected one of `move_to`, `line_to`, `close` at element 0 of the top-level array"},
        Refusal{R"([{"type": "Close"}])",
                "unknown variant `Close`, expected one of `move_to`, `line_to`, `close` at element 0 of the top-level array"},
        Refusal{R"([{"type": "move_to", "x": 1}])", "missing field `y` at element 0 of the top-level array"},
        Refusal{R"([{"type": "line_to", "y": 1}])", "missing field `x` at element 0 of the top-level array"},
        Refusal{R"([{"type": "line_to", "x": 1.5, "y": 0}])",
                "invalid type: expected a signed 64-bit integer as `x`, found 1.5 at element 0 of the top-level array"},
        Refusal{R"([{"type": "line_to", "x": 0, "y": "2"}])",
                R"(invalid type: expected a signed 64-bit integer as `y`, found "2" at element 0 of the top-level array)"},
        Refusal{R"([{"type": "move_to", "x": 9223372036854775808, "y": 0}])",
                "invalid type: expected a signed 64-bit integer as `x`, found 9223372036854775808 at element 0 of "
                "the top-level array"},
        Refusal{R"([{"type": "move_to", "x": null, "y": 0}])",
                "invalid type: expected a signed 64-bit integer as `x`, found null at element 0 of the top-level array"}));

}  // namespace
}  // namespace velmora::json
