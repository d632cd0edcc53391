// xml_tokenizer_test.cpp - pull tokenizer and event writer: round trips, event shapes, errors.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "error.h"
#include "xml/event.h"
#include "xml/reader.h"
#include "xml/writer.h"

namespace velmora::xml {
namespace {

/// Reads every event and writes it back; checks on the way that the events
/// are contiguous spans of the input. Stops at Eof or at the first error,
/// whose message is returned in `error`.
std::string round_trip(std::string_view xml, std::string* error = nullptr) {
  Reader reader(xml);
  Writer writer;
  try {
    for (Event event = reader.next(); event.kind != EventKind::Eof; event = reader.next()) {
      EXPECT_EQ(event.offset, writer.str().size());
      EXPECT_EQ(event.raw.data(), xml.data() + event.offset);
      writer.write(event);
    }
  } catch (const VelmoraError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Xml);
    if (error) *error = e.what();
    EXPECT_EQ(reader.position(), writer.str().size());
    EXPECT_EQ(reader.next().kind, EventKind::Eof) << "no events after an error";
  }
  return writer.take();
}

std::vector<Event> events_of(std::string_view xml) {
  Reader reader(xml);
  std::vector<Event> events;
  for (Event event = reader.next(); event.kind != EventKind::Eof; event = reader.next()) events.push_back(event);
  return events;
}

class RoundTrip : public testing::TestWithParam<std::pair<const char*, std::string>> {};

TEST_P(RoundTrip, WritesBackTheInputByteForByte) {
  const std::string& xml = GetParam().second;
  std::string error;
  EXPECT_EQ(round_trip(xml, &error), xml);
  EXPECT_EQ(error, "");
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RoundTrip,
    testing::Values(
        std::pair{"odd_spacing", std::string("<a:t   x = \"1\"\ty='2'\n\r>  text\t</a:t  >")},
        std::pair{"both_quotes", std::string("<p:cNvPr id=\"2\" name='Title \"1\"' descr=\"it's\"/>")},
        std::pair{"crlf", std::string("<?xml version=\"1.0\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n")},
        std::pair{"bom", std::string("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><r/>")},
        std::pair{"comments", std::string("<!-- head --><r><!----><!-- a - b --></r><!--tail-->")},
        std::pair{"pi", std::string("<?xml-stylesheet href=\"s.css\"?><r><?target data ? > more?></r>")},
        std::pair{"cdata", std::string("<r><![CDATA[ <not> &a tag; ]] ]]></r>")},
        std::pair{"doctype_subset",
                  std::string("<!DOCTYPE r [\n<!ENTITY e \"v>]\">\n<!-- ] > -->\n"
                              "<!ATTLIST r a CDATA '>'>\n]><r>&e;</r>")},
        std::pair{"references", std::string("<r>a &amp; b&#x41;&#65;&lt;&foo;c</r>")},
        std::pair{"gt_in_values", std::string("<r a=\"x>y\" b='<'/>")},
        std::pair{"text_outside_root", std::string("lead <r/> trail")},
        std::pair{"invalid_utf8_text", std::string("<r>\xFF\xFE caf\xC3</r>")},
        std::pair{"empty", std::string()}),
    [](const auto& param_info) { return std::string(param_info.param.first); });

TEST(Reader, SplitsTextAndReferencesAndKeepsEmptyElements) {
  const std::string xml = "<p:txBody><a:t>R&amp;D &foo;</a:t><a:br/></p:txBody>";
  const std::vector<std::pair<EventKind, std::string_view>> expected = {
      {EventKind::Start, "<p:txBody>"}, {EventKind::Start, "<a:t>"}, {EventKind::Text, "R"},
      {EventKind::Reference, "&amp;"},  {EventKind::Text, "D "},     {EventKind::Reference, "&foo;"},
      {EventKind::End, "</a:t>"},       {EventKind::Empty, "<a:br/>"}, {EventKind::End, "</p:txBody>"}};
  const std::vector<Event> events = events_of(xml);
  ASSERT_EQ(events.size(), expected.size());
  for (size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(events[i].kind, expected[i].first) << i;
    EXPECT_EQ(events[i].raw, expected[i].second) << i;
  }
  EXPECT_EQ(events[0].name(), "p:txBody");
  EXPECT_EQ(events[0].local_name(), "txBody");
  EXPECT_EQ(events[3].name(), "amp");
  EXPECT_EQ(events[5].name(), "foo");
  EXPECT_EQ(events[6].name(), "a:t");
  EXPECT_EQ(events[7].local_name(), "br");
}

TEST(Reader, ContentOfEachConstruct) {
  const std::string xml =
      "<?xml version=\"1.0\"?><!DOCTYPE  r [<!ENTITY x 'y'>]><?pi data?><r><!--note--><![CDATA[a<b]]></r>";
  const std::vector<Event> events = events_of(xml);
  ASSERT_EQ(events.size(), 7u);
  EXPECT_EQ(events[0].kind, EventKind::Decl);
  EXPECT_EQ(events[0].content(), "xml version=\"1.0\"");
  EXPECT_EQ(events[1].kind, EventKind::DocType);
  EXPECT_EQ(events[1].content(), "r [<!ENTITY x 'y'>]");
  EXPECT_EQ(events[2].kind, EventKind::PI);
  EXPECT_EQ(events[2].content(), "pi data");
  EXPECT_EQ(events[4].kind, EventKind::Comment);
  EXPECT_EQ(events[4].content(), "note");
  EXPECT_EQ(events[5].kind, EventKind::CData);
  EXPECT_EQ(events[5].content(), "a<b");
}

TEST(Reader, AttributesAreRawAndMalformedOnesAreSkipped) {
  const std::vector<Event> events =
      events_of("<a:off x=\"1&amp;2\" y = '3' junk z=unquoted \"stray\" r:id=\"rId1\" =\"v\" w=\"\"/>");
  ASSERT_EQ(events.size(), 1u);
  std::vector<std::string> seen;
  for (const Attribute& attribute : events[0].attributes()) {
    seen.push_back(std::string(attribute.key) + "|" + std::string(attribute.value) + "|" + attribute.quote);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"x|1&amp;2|\"", "y|3|'", "r:id|rId1|\"", "w||\""}));
  EXPECT_TRUE(events_of("<a/>")[0].attributes().empty());
}

TEST(Reader, DepthCountsOpenElements) {
  Reader reader("<a><b/><c>t</c></a>");
  std::vector<size_t> depths;
  for (Event event = reader.next(); event.kind != EventKind::Eof; event = reader.next()) {
    depths.push_back(reader.depth());
  }
  EXPECT_EQ(depths, (std::vector<size_t>{1, 1, 2, 2, 1, 0}));
}

TEST(Reader, DeepNestingNeedsNoStack) {
  constexpr size_t kLevels = 100000;
  std::string xml;
  for (size_t i = 0; i < kLevels; ++i) xml += "<g>";
  xml += "x";
  for (size_t i = 0; i < kLevels; ++i) xml += "</g>";
  Reader reader(xml);
  size_t deepest = 0;
  Writer writer;
  for (Event event = reader.next(); event.kind != EventKind::Eof; event = reader.next()) {
    deepest = std::max(deepest, reader.depth());
    writer.write(event);
  }
  EXPECT_EQ(deepest, kLevels);
  EXPECT_EQ(writer.str(), xml);
}

TEST(Reader, DoctypeEntitiesAreNeverExpanded) {
  // Billion laughs: expanded, &lol9; would be 10^9 "lol"s.
  std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n <!ENTITY lol \"lol\">\n";
  for (int level = 1; level <= 9; ++level) {
    xml += " <!ENTITY lol" + std::to_string(level) + " \"";
    for (int i = 0; i < 10; ++i) xml += "&lol" + (level == 1 ? std::string() : std::to_string(level - 1)) + ";";
    xml += "\">\n";
  }
  xml += "]>\n<lolz>&lol9;</lolz>";
  const std::vector<Event> events = events_of(xml);
  ASSERT_EQ(events.size(), 7u);
  EXPECT_EQ(events[2].kind, EventKind::DocType);
  EXPECT_EQ(events[5].kind, EventKind::Reference);
  EXPECT_EQ(events[5].raw, "&lol9;");
  EXPECT_EQ(round_trip(xml), xml);
}

TEST(Reader, EndOfInputWithOpenElementsIsReportedAfterTheLastEvent) {
  const std::string xml = "<p:sld><p:cSld>text";
  Reader reader(xml);
  EXPECT_EQ(reader.next().raw, "<p:sld>");
  EXPECT_EQ(reader.next().raw, "<p:cSld>");
  EXPECT_FALSE(reader.at_end());
  EXPECT_EQ(reader.next().raw, "text");
  EXPECT_TRUE(reader.at_end());
  try {
    reader.next();
    FAIL() << "expected an error";
  } catch (const VelmoraError& e) {
    EXPECT_STREQ(e.what(), "xml error: unexpected end of input: <p:cSld> not closed (opened at offset 7)");
  }
  EXPECT_EQ(reader.next().kind, EventKind::Eof);
}

struct ErrorCase {
  const char* name;
  std::string xml;
  std::string message;  // after "xml error: "
  size_t kept;          // bytes delivered as events before the error
};

class ReaderError : public testing::TestWithParam<ErrorCase> {};

TEST_P(ReaderError, StopsWithMessageAfterTheGoodPrefix) {
  const ErrorCase& c = GetParam();
  std::string error;
  const std::string written = round_trip(c.xml, &error);
  EXPECT_EQ(error, "xml error: " + c.message);
  EXPECT_EQ(written, c.xml.substr(0, c.kept));
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, ReaderError,
    testing::Values(
        ErrorCase{"mismatched_end", "<p:grpSp><p:sp></p:grpSp>",
                  "mismatched end tag: expected </p:sp>, found </p:grpSp> at offset 15", 15},
        ErrorCase{"end_without_start", "<a/></b>", "unexpected end tag </b> at offset 4: no element is open", 4},
        ErrorCase{"truncated_in_element", "<a><b>x</b>",
                  "unexpected end of input: <a> not closed (opened at offset 0)", 11},
        ErrorCase{"truncated_start_tag", "<a><b x=\"1\"",
                  "start tag <b> not closed: `>` not found before end of input (opened at offset 3)", 3},
        ErrorCase{"truncated_value", "<a><b x=\"1>",
                  "attribute value not closed: `\"` not found before end of input (in <b> opened at offset 3)", 3},
        ErrorCase{"truncated_end_tag", "<a>t</a",
                  "end tag </a> not closed: `>` not found before end of input (opened at offset 4)", 4},
        ErrorCase{"unclosed_comment", "<a><!-- x -->y<!-- z",
                  "comment not closed: `-->` not found before end of input (opened at offset 14)", 14},
        ErrorCase{"unclosed_cdata", "<a><![CDATA[x]]",
                  "CDATA not closed: `]]>` not found before end of input (opened at offset 3)", 3},
        ErrorCase{"unclosed_pi", "<a><?pi x",
                  "processing instruction not closed: `?>` not found before end of input (opened at offset 3)", 3},
        ErrorCase{"unclosed_decl", "<?xml version=\"1.0\"",
                  "XML declaration not closed: `?>` not found before end of input (opened at offset 0)", 0},
        ErrorCase{"unclosed_doctype", "<!DOCTYPE r [<!ENTITY e \"]>\">",
                  "DOCTYPE not closed: `>` not found before end of input (opened at offset 0)", 0},
        ErrorCase{"stray_lt", "<a>1 < 2</a>", "stray `<` at offset 5: expected a tag name", 5},
        ErrorCase{"lt_at_end", "<a/><", "unexpected end of input after `<` at offset 4", 4},
        ErrorCase{"lt_inside_tag", "<a x=\"1\" <b>",
                  "unexpected `<` inside start tag <a> at offset 9 (tag opened at offset 0)", 0},
        ErrorCase{"end_tag_junk", "<a></a b>", "malformed end tag </a at offset 3: expected `>`", 3},
        ErrorCase{"unknown_bang", "<a><!ELEMENT a ANY></a>",
                  "unknown markup `<!` at offset 3: expected a comment, CDATA section or DOCTYPE", 3},
        ErrorCase{"truncated_bang", "<a/><!-", "unexpected end of input in `<!-` at offset 4", 4},
        ErrorCase{"unclosed_reference", "<a>R & D</a>", "reference not closed: `;` not found after `&` at offset 5", 5},
        ErrorCase{"utf16", std::string("\xFF\xFE<\0a\0/\0>\0", 10),
                  "UTF-16 input is not supported: byte order mark at offset 0", 0},
        ErrorCase{"empty_reference", "<a>&;</a>", "empty reference `&;` at offset 3", 3}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(Writer, BuildsTagsAndEscapesText) {
  Writer writer;
  const std::vector<RawAttribute> attributes = {{"id", "7"}, {"name", "A &amp; B"}};
  writer.start("p:cNvPr", attributes);
  writer.text("<x> & \"y\" 'z'");
  writer.end("p:cNvPr");
  writer.start("a:br", {}, true);
  writer.start("a:rPr", {{"lang", "en-US"}}, true);
  writer.raw("<!--r-->");
  EXPECT_EQ(writer.take(),
            "<p:cNvPr id=\"7\" name=\"A &amp; B\">&lt;x&gt; &amp; &quot;y&quot; &apos;z&apos;</p:cNvPr>"
            "<a:br/><a:rPr lang=\"en-US\"/><!--r-->");
  EXPECT_EQ(writer.str(), "");
}

TEST(Writer, RewritingOneTagPassesEverythingElseThrough) {
  const std::string xml = "<r>\n  <a:t  x='1'>keep &amp; this</a:t>\n  <a:t>and this</a:t>\n</r>";
  Reader reader(xml);
  Writer writer;
  bool first = true;
  for (Event event = reader.next(); event.kind != EventKind::Eof; event = reader.next()) {
    if (event.is_start() && event.local_name() == "t" && first) {
      writer.start(event.name(), {{"x", "2"}});
      first = false;
    } else {
      writer.write(event);
    }
  }
  EXPECT_EQ(writer.str(), "<r>\n  <a:t x=\"2\">keep &amp; this</a:t>\n  <a:t>and this</a:t>\n</r>");
}

}  // namespace
}  // namespace velmora::xml
