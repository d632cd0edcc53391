// summary_text_test - the slide and notes texts: trimming, references, text element names and malformed XML.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "summary/paragraph_passes.h"
#include "summary/slide_text.h"

namespace velmora::summary {
namespace {

using Texts = std::vector<std::string>;

template <class Case>
std::string case_name(const testing::TestParamInfo<Case>& tested) {
  return tested.param.name;
}

struct TextRunCase {
  const char* name;
  std::string xml;
  Texts expected;
};

class TextRuns : public testing::TestWithParam<TextRunCase> {};

TEST_P(TextRuns, Extracted) { EXPECT_EQ(extract_text_runs(GetParam().xml), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, TextRuns,
    testing::Values(
        TextRunCase{"word_between_blanks", "<a:p><a:t>  word \t</a:t></a:p>", {"word"}},
        TextRunCase{"only_blanks_and_empty_element", "<a:t> \r\n </a:t><a:t/><a:t></a:t>", {}},
        TextRunCase{"references_split_segments", "<a:t>x &lt; y</a:t><a:t>a &amp; b</a:t>", {"x<y", "a&b"}},
        TextRunCase{"inner_blanks_kept", "<a:t>two  words</a:t>", {"two  words"}},
        TextRunCase{"unknown_entity_kept", "<a:t>&foo; &#x41;&#66;</a:t>", {"&foo;AB"}},
        TextRunCase{"any_prefix_or_none", "<t>plain</t><x:t>other</x:t><a:tab/><a:tx>no</a:tx>", {"plain", "other"}},
        TextRunCase{"line_ends_normalised", "<a:t>a\r\nb\rc</a:t>", {"a\nb\nc"}},
        TextRunCase{"cdata_comments_and_instructions_ignored", "<a:t><![CDATA[c]]><!--x--><?pi?>t</a:t>", {"t"}},
        TextRunCase{"text_outside_text_elements_ignored", "<a:p>loose<a:t>in</a:t>after</a:p>", {"in"}},
        TextRunCase{"document_order_across_shapes",
                    "<p:sp><a:t>1</a:t></p:sp><mc:AlternateContent><a:t>2</a:t></mc:AlternateContent><a:t>3</a:t>",
                    {"1", "2", "3"}},
        TextRunCase{"truncated_keeps_texts_before", "<r><a:t>first</a:t><a:t>sec", {"first"}},
        TextRunCase{"mismatched_end_tag_stops", "<r><a:t>one</a:t><a:t>two</a:x><a:t>three</a:t></r>", {"one"}},
        TextRunCase{"invalid_utf8_segment_skipped", "<a:t>ok</a:t><a:t>\xFF\xFE</a:t><a:t>a\xC3 &amp;</a:t>",
                    {"ok", "&"}},
        TextRunCase{"doctype_entities_not_expanded",
                    "<!DOCTYPE p:sld [<!ENTITY e \"expanded\"> <!ENTITY f \"&e;&e;\">]><r><a:t>&f;</a:t></r>",
                    {"&f;"}}),
    case_name<TextRunCase>);

TEST(ParagraphTexts, StopAtTheFirstErrorDroppingTheOpenParagraph) {
  EXPECT_EQ(extract_paragraph_texts("<a:p><a:t>a</a:t><a:br/><a:t>b</a:t></a:p><a:p><a:t>c</a:t>"),
            Texts{"a\vb"});
  EXPECT_EQ(extract_paragraph_texts("<a:p/><a:p><a:t>c</a:t></a:p>"), (Texts{"", "c"}));
}

TEST(RunProperty, FirstMatchingAttributeOfTheLastElementInTheRun) {
  using Values = std::vector<std::vector<std::optional<std::string>>>;
  EXPECT_EQ(extract_paragraph_run_property(
                "<a:p><a:r><a:rPr lang=\"en\" x:lang=\"de\"/></a:r><a:r/><a:rPr lang=\"outside\"/></a:p><a:p/>",
                "rPr", "lang"),
            (Values{{"en", std::nullopt}, {}}));
  EXPECT_EQ(extract_paragraph_run_property("<a:p><a:r><a:rPr lang=\"\xFF\"/></a:r></a:p>", "rPr", "lang"),
            (Values{{""}}));
}

}  // namespace
}  // namespace velmora::summary
