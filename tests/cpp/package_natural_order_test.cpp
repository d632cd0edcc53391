// package_natural_order_test.cpp - natural sort keys and ordering of part names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/natural_order.h"

namespace velmora::package {
namespace {

TEST(NaturalKey, CutsDigitRunsFromOtherRuns) {
  EXPECT_EQ(natural_key("ppt/slides/slide10.xml"),
            (std::vector<NaturalChunk>{std::string("ppt/slides/slide"), uint64_t{10}, std::string(".xml")}));
  EXPECT_EQ(natural_key("007a8"), (std::vector<NaturalChunk>{uint64_t{7}, std::string("a"), uint64_t{8}}));
  EXPECT_EQ(natural_key("18446744073709551615"), (std::vector<NaturalChunk>{uint64_t{18446744073709551615u}}));
  // One digit more than 64 bits hold reads as 0.
  EXPECT_EQ(natural_key("x18446744073709551616"), (std::vector<NaturalChunk>{std::string("x"), uint64_t{0}}));
  EXPECT_TRUE(natural_key("").empty());
}

struct OrderCase {
  const char* less;
  const char* greater;
};

class NaturalLessTest : public testing::TestWithParam<OrderCase> {};

TEST_P(NaturalLessTest, OrdersOneWayOnly) {
  EXPECT_TRUE(natural_less(GetParam().less, GetParam().greater));
  EXPECT_FALSE(natural_less(GetParam().greater, GetParam().less));
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, NaturalLessTest,
    testing::Values(OrderCase{"slide2.xml", "slide10.xml"},  // numbers by value
                    OrderCase{"slide9", "slide10"},
                    OrderCase{"a10", "b2"},          // an earlier text chunk decides
                    OrderCase{"Slide2", "slide1"},   // texts as bytes: upper case first
                    OrderCase{"slide", "slide1"},    // a key that is a prefix is less
                    OrderCase{"slide1", "slideA"},   // text run "slide" against "slideA"
                    OrderCase{"a", "1"},             // a text chunk before a number chunk
                    OrderCase{"x\x7f", "x\x80"}));  // bytes compare unsigned

TEST(NaturalSort, IsStableForEqualKeys) {
  std::vector<std::string> names{"slide10.xml", "slide01.xml", "slide2.xml", "slide1.xml", "slide001.xml"};
  natural_sort(names);
  EXPECT_EQ(names, (std::vector<std::string>{"slide01.xml", "slide1.xml", "slide001.xml", "slide2.xml", "slide10.xml"}));
}

}  // namespace
}  // namespace velmora::package
