// xml_helpers_test.cpp - escaping, decoding, text-level search and splicing, event attribute helpers.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "error.h"
#include "xml/attributes.h"
#include "xml/escape.h"
#include "xml/number.h"
#include "xml/reader.h"
#include "xml/splice.h"
#include "xml/text_search.h"
#include "xml/utf8.h"

namespace velmora::xml {
namespace {

using std::nullopt;
using OptText = std::optional<std::string>;

/// The first event of `xml` (a single tag in these tests).
Event first_event(std::string_view xml) { return Reader(xml).next(); }

/// Runs `action` and returns the error's display text, or "" when nothing is thrown.
template <typename F>
std::string error_of(F&& action) {
  try {
    action();
  } catch (const VelmoraError& e) {
    return e.what();
  }
  return "";
}

// ---- escaping and decoding ----

TEST(Escape, AttributeEscapingLeavesTheApostrophe) {
  EXPECT_EQ(xml_attr("a<b & \"c\""), "a&lt;b &amp; &quot;c&quot;");
  EXPECT_EQ(xml_attr("it's > 1"), "it's &gt; 1");
  EXPECT_EQ(xml_escape("it's <a> & \"b\"\n"), "it&apos;s &lt;a&gt; &amp; &quot;b&quot;\n");
}

TEST(Escape, Unescape) {
  const std::vector<std::pair<std::string, OptText>> cases = {
      {"plain", "plain"},
      {"R&amp;D &lt;&gt;&quot;&apos;", "R&D <>\"'"},
      {"&#65;&#x42;&#x263a;&#128512;", "AB\u263A\U0001F600"},
      {"", ""},
      {"&foo;", nullopt},        // unknown entity
      {"a & b", nullopt},        // "&" without ";"
      {"&#X41;", nullopt},       // hex needs a lower-case x
      {"&#0;", nullopt},         // not a character
      {"&#xD800;", nullopt},     // surrogate
      {"&#x110000;", nullopt},   // beyond Unicode
      {"&#;", nullopt},
      {"caf\xC3", nullopt},      // invalid UTF-8
  };
  for (const auto& [raw, expected] : cases) EXPECT_EQ(unescape(raw), expected) << raw;
}

TEST(Escape, TextContentNormalisesLineEnds) {
  const auto text = [](std::string_view raw) { return xml_text_content(Event{EventKind::Text, raw, 0}); };
  EXPECT_EQ(text("a\r\nb\rc\nd"), "a\nb\nc\nd");
  EXPECT_EQ(text("\r\r\n"), "\n\n");
  EXPECT_EQ(text("  x  "), "  x  ");
  EXPECT_EQ(text(""), nullopt);
  EXPECT_EQ(text("bad \xFF"), nullopt);
}

TEST(Escape, ReferenceContent) {
  const std::vector<std::pair<std::string, OptText>> cases = {
      {"&lt;", "<"},     {"&gt;", ">"},   {"&amp;", "&"},        {"&quot;", "\""},      {"&apos;", "'"},
      {"&#65;", "A"},    {"&#xe9;", "\u00E9"}, {"&foo;", "&foo;"}, {"&#xZZ;", "&#xZZ;"}, {"&#0;", "&#0;"},
      {"&\xFF;", nullopt},
  };
  for (const auto& [raw, expected] : cases) {
    const Event event = first_event(raw);
    ASSERT_EQ(event.kind, EventKind::Reference) << raw;
    EXPECT_EQ(xml_reference_content(event), expected) << raw;
  }
}

TEST(Utf8, ValidationAndLossyDecoding) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"plain \u00E9\u263A\U0001F600", "plain \u00E9\u263A\U0001F600"},
      {"a\xE2\x82z", "a\uFFFDz"},              // truncated sequence: one replacement
      {"\xFF\xFF", "\uFFFD\uFFFD"},            // each invalid byte
      {"\xC0\x80", "\uFFFD\uFFFD"},            // overlong
      {"\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD"},  // surrogate
      {"\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"x\xF0\x9F\x98", "x\uFFFD"},
  };
  for (const auto& [bytes, lossy] : cases) {
    EXPECT_EQ(utf8_lossy(bytes), lossy) << bytes;
    EXPECT_EQ(is_valid_utf8(bytes), bytes == lossy) << bytes;
  }
  std::string encoded;
  for (char32_t c : {U'A', U'\u00E9', U'\u263A', U'\U0001F600'}) append_utf8(encoded, c);
  EXPECT_EQ(encoded, "A\u00E9\u263A\U0001F600");
}

TEST(Number, StrictDecimalParsing) {
  EXPECT_EQ(parse_u64("+12"), 12u);
  EXPECT_EQ(parse_u64("18446744073709551615"), std::numeric_limits<uint64_t>::max());
  for (std::string_view bad : {"", "+", "-1", "18446744073709551616", " 1", "1 ", "0x1", "+-1"}) {
    EXPECT_EQ(parse_u64(bad), nullopt) << bad;
  }
  EXPECT_EQ(parse_i64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(parse_i64("+7"), 7);
  for (std::string_view bad : {"", "-", "+-1", "9223372036854775808", "1.5"}) EXPECT_EQ(parse_i64(bad), nullopt) << bad;
}

// ---- text-level search ----

TEST(TextSearch, FindTagStartNeedsANameBoundary) {
  struct Case {
    std::string xml;
    size_t from;
    std::optional<size_t> expected;
  };
  const std::vector<Case> cases = {
      {"<p:spTree><p:sp>", 0, 10},
      {"<p:spPr/><p:sp/>", 0, 9},
      {"<p:sp\tid='1'>", 0, 0},
      {"<p:sp\x0B>", 0, 0},           // vertical tab
      {"<p:sp\xC2\xA0>", 0, 0},       // U+00A0
      {"<p:sp\xE3\x80\x80>", 0, 0},   // U+3000
      {"<p:sp\xE2\x80\xAF>", 0, 0},   // U+202F
      {"<p:sp\xE2\x80\x8B>", 0, nullopt},  // U+200B is not white space
      {"<p:sp>", 1, nullopt},
      {"<p:sp><p:sp>", 1, 6},
      {"<p:spTree><p:sp", 0, nullopt},  // at the very end
      {"<p:sp>", 99, nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(find_tag_start(c.xml, c.from, "p:sp"), c.expected) << c.xml;
}

TEST(TextSearch, FindElementEndCountsNestingOfTheSameName) {
  const std::string xml = "<p:grpSp><p:grpSpPr/><p:grpSp><p:sp/></p:grpSp><p:sp/></p:grpSp><p:sp/>";
  const ElementEnd outer = find_element_end(xml, 0, "p:grpSp");
  EXPECT_TRUE(outer.closed);
  EXPECT_EQ(xml.substr(0, outer.end), "<p:grpSp><p:grpSpPr/><p:grpSp><p:sp/></p:grpSp><p:sp/></p:grpSp>");
  const ElementEnd inner = find_element_end(xml, 21, "p:grpSp");
  EXPECT_TRUE(inner.closed);
  EXPECT_EQ(xml.substr(21, inner.end - 21), "<p:grpSp><p:sp/></p:grpSp>");

  const std::string open = "<p:sp><p:txBody></p:txBody>";
  const ElementEnd unclosed = find_element_end(open, 0, "p:sp");
  EXPECT_FALSE(unclosed.closed);
  EXPECT_EQ(unclosed.end, 5u);
}

TEST(TextSearch, ElementStartTagAndPrefix) {
  const std::string xml = "<a:offset/><a:off x=\"1\" y=\"2\"/><a:off x=\"3\"/>";
  EXPECT_EQ(element_start_tag(xml, "a:off"), "<a:off x=\"1\" y=\"2\"/>");
  EXPECT_EQ(element_start_tag(xml, "a:ext"), nullopt);
  EXPECT_EQ(element_start_tag("<a:off x=\"1\"", "a:off"), nullopt);

  EXPECT_EQ(element_prefix("x:row"), "x:");
  EXPECT_EQ(element_prefix("a:b:c"), "a:b:");
  EXPECT_EQ(element_prefix("row"), "");
  EXPECT_EQ(element_prefix("\xFF:t"), "\uFFFD:");
}

TEST(TextSearch, AttributeValueIsAPlainSubstringSearch) {
  const std::string tag = "<p:cNvPr r:id=\"rId5\" id=\"3\" name=\"A &amp; B\" cx=\"-12\" big=\"9223372036854775808\">";
  EXPECT_EQ(attribute_value(tag, "name"), "A &amp; B");
  EXPECT_EQ(extract_string_attribute(tag, "name"), "A &amp; B");
  EXPECT_EQ(attribute_value(tag, "id"), "rId5");  // the tail of r:id comes first
  EXPECT_EQ(attribute_value(tag, "descr"), nullopt);
  EXPECT_EQ(attribute_value("<a x=\"1", "x"), nullopt);

  EXPECT_EQ(attribute_i64(tag, "cx"), -12);
  EXPECT_EQ(attribute_i64("x=\"+40\"", "x"), 40);
  for (std::string_view name : {"name", "big", "missing"}) EXPECT_EQ(attribute_i64(tag, name), 0) << name;
  for (std::string_view text : {"x=\"\"", "x=\"-\"", "x=\"1e3\"", "x=\" 1\""}) {
    EXPECT_EQ(attribute_i64(text, "x"), 0) << text;
  }
}

TEST(TextSearch, HasElementMatchesLocalNamesOfTags) {
  EXPECT_TRUE(has_element("<p:sld><p:transition spd=\"fast\"/></p:sld>", "transition"));
  EXPECT_TRUE(has_element("<sld><timing></timing></sld>", "timing"));
  EXPECT_FALSE(has_element("<p:sld><p:transitionX/></p:sld>", "transition"));
  EXPECT_FALSE(has_element("<p:sld><!-- <p:timing/> -->text timing</p:sld>", "timing"));
  EXPECT_FALSE(has_element("<p:sld></p:x><p:timing/></p:sld>", "timing"));  // error before the element
  EXPECT_TRUE(has_element("<p:sld><p:timing/>", "timing"));                   // found before the error
}

// ---- splicing ----

TEST(Splice, InsertBeforeTheLastMarker) {
  EXPECT_EQ(insert_before("<a></p:spTree><b></p:spTree>", "</p:spTree>", "<new/>"),
            "<a></p:spTree><b><new/></p:spTree>");
  EXPECT_EQ(insert_before("\xFF<r></r>", "</r>", "x"), "\uFFFD<r>x</r>");
  EXPECT_EQ(error_of([] { insert_before("<p:spTree/>", "</p:spTree>", "x"); }),
            "xml text decode error: expected closing marker </p:spTree>");
}

TEST(Splice, ReplaceElement) {
  struct Case {
    std::string xml, name, expected;
  };
  const std::vector<Case> cases = {
      {"<r><a:ln w=\"1\"/><x/></r>", "a:ln", "<r>NEW<x/></r>"},
      {"<r><a:ln><a:solidFill/></a:ln><x/></r>", "a:ln", "<r>NEW<x/></r>"},
      {"<r><a:lnSpc/></r>", "a:ln", "<r>NEW</r>"},                           // no boundary check
      {"<r><a:ln><a:ln></a:ln></a:ln></r>", "a:ln", "<r>NEW</a:ln></r>"},  // nesting not considered
      {"<r><x/></r>", "a:ln", "<r><x/></r>"},
      {"<r><a:ln>open</r>", "a:ln", "<r><a:ln>open</r>"},
      {"<r><a:ln", "a:ln", "<r><a:ln"},
  };
  for (const Case& c : cases) EXPECT_EQ(replace_element(c.xml, c.name, "NEW"), c.expected) << c.xml;
}

// ---- event attribute reading ----

TEST(EventAttributes, Lookups) {
  const Event tag = first_event(
      "<a:pic r:id=\"a&amp;b\" p:name='x' name=\"y\xFF\" w=\"+640\" h=\"-1\" a:w=\"9\" id=\"rIdPlain\""
      " r:embed=\"&bad\"/>");
  EXPECT_EQ(raw_attribute(tag, "name"), "y\uFFFD");
  EXPECT_EQ(raw_attribute(tag, "r:id"), "a&amp;b");
  EXPECT_EQ(raw_attribute(tag, "id"), "rIdPlain");
  EXPECT_EQ(raw_attribute(tag, "missing"), nullopt);

  EXPECT_EQ(drawingml_attribute(tag, "name"), "x");  // the first with that local name
  EXPECT_EQ(drawingml_attribute(tag, "embed"), "&bad");
  EXPECT_EQ(drawingml_attribute(tag, "h"), "-1");

  EXPECT_EQ(extract_u64_attr(tag, "w"), 640u);
  EXPECT_EQ(extract_u64_attr(tag, "h"), nullopt);
  EXPECT_EQ(extract_u64_attr(tag, "x"), nullopt);

  EXPECT_EQ(extract_rel_id_from_attributes(tag), "a&b");
  EXPECT_EQ(extract_rel_id_from_attributes(first_event("<a id=\"1\" r:embed=\"2\"/>")), nullopt);
  EXPECT_EQ(extract_rel_id_from_attributes(first_event("<a r:id=\"&x;\"/>")), nullopt);
}

// ---- event attribute rewriting ----

TEST(EventAttributes, RewriteKeepsUntouchedAttributesAsRead) {
  const Event tag = first_event("<p:cNvPr  id='2'   name=\"R&amp;D\" descr=\"old\">");
  const AttributeUpdate updates[] = {{"x", "1"}, {"descr", "a<b & 'c'"}, {"y", "\""}};
  EXPECT_EQ(rewrite_event_attributes(tag, updates),
            "<p:cNvPr id='2' name=\"R&amp;D\" descr=\"a&lt;b &amp; &apos;c&apos;\" x=\"1\" y=\"&quot;\">");
  const AttributeUpdate size[] = {{"sz", "1200"}};
  EXPECT_EQ(rewrite_event_attributes(first_event("<a:rPr lang=\"en-US\" sz=\"1800\"/>"), size),
            "<a:rPr lang=\"en-US\" sz=\"1200\"/>");
}

TEST(EventAttributes, OptionalRewriteRemovesAndSets) {
  const Event tag = first_event("<a:rPr lang=\"en-US\" b=\"1\" i=\"0\"/>");
  const OptionalAttributeUpdate updates[] = {{"b", nullopt}, {"i", "1"}, {"u", nullopt}, {"sz", "900"}};
  EXPECT_EQ(rewrite_event_optional_attributes(tag, updates), "<a:rPr lang=\"en-US\" i=\"1\" sz=\"900\"/>");
}

TEST(EventAttributes, WithRawAttributes) {
  const Event tag = first_event("<a:ext uri=\"u\" cx=\"1\" drop=\"x\" cx=\"2\" cy=\"3\">");
  const std::string_view remove[] = {"drop"};
  const AttributeUpdate set[] = {{"cx", "&amp;10"}, {"new", "<raw>"}};
  EXPECT_EQ(with_raw_attributes(tag, remove, set), "<a:ext uri=\"u\" cx=\"&amp;10\" cy=\"3\" new=\"<raw>\">");
  EXPECT_EQ(with_raw_attributes(first_event("<a/>"), {}, {}), "<a/>");
}

TEST(EventAttributes, RegressionStrayQuoteHidesWhatTheReaderSawAsQuoted) {
  // Fuzz finding: after a stray quote the attribute iterator lost step with
  // the reader's quote tracking, took "</b c" as a key, and the rewritten tag
  // no longer read back as one tag.
  const Event tag = first_event("<a k\" t=\"v\"/></b c=\"1\"\" w='2'>");
  ASSERT_EQ(tag.kind, EventKind::Start);
  std::vector<std::string_view> keys;
  for (const Attribute& attribute : tag.attributes()) keys.push_back(attribute.key);
  EXPECT_EQ(keys, (std::vector<std::string_view>{"w"}));
  const AttributeUpdate updates[] = {{"id", "1"}};
  EXPECT_EQ(rewrite_event_attributes(tag, updates), "<a w='2' id=\"1\">");
}

// ---- skipping ----

TEST(SkipCurrentElement, ConsumesUpToTheMatchingEnd) {
  Reader reader("<r><p:sp><p:sp>x</p:sp><a/></p:sp><next/></r>");
  reader.next();
  ASSERT_EQ(reader.next().raw, "<p:sp>");
  skip_current_element(reader);
  EXPECT_EQ(reader.next().raw, "<next/>");
  EXPECT_EQ(reader.depth(), 1u);
}

TEST(SkipCurrentElement, Failures) {
  EXPECT_EQ(error_of([] {
              Reader reader("<r><p:sp><a>text");
              reader.next();
              reader.next();
              skip_current_element(reader);
            }),
            "xml text decode error: unexpected end of XML while skipping element");
  EXPECT_EQ(error_of([] {
              Reader reader("<r><p:sp></q></r>");
              reader.next();
              reader.next();
              skip_current_element(reader);
            }),
            "xml error: mismatched end tag: expected </p:sp>, found </q> at offset 9");
}

}  // namespace
}  // namespace velmora::xml
