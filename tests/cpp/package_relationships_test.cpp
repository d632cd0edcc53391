// package_relationships_test.cpp - relationship part names, parsing, targets, ids and text edits.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "error.h"
#include "json/pretty_writer.h"
#include "package/relationships.h"
#include "package_test_fixture.h"
#include "xml/reader.h"

namespace velmora::package {
namespace {

using testing_support::Damage;
using testing_support::damaged_zip;
using testing_support::error_of;
using testing_support::MemoryPackage;

constexpr std::string_view kSlideType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/slide";
constexpr std::string_view kLayoutType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/slideLayout";
constexpr std::string_view kImageType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";

std::string rels(std::string_view body) {
  return "<?xml version=\"1.0\"?><Relationships xmlns=\"x\">" + std::string(body) + "</Relationships>";
}

std::vector<std::string> ids_of(const std::vector<RelationshipSummary>& relationships) {
  std::vector<std::string> ids;
  for (const RelationshipSummary& relationship : relationships) ids.push_back(relationship.id);
  return ids;
}

// ---- part names ----

struct NameCase {
  const char* part;
  const char* rels_part;
};

class RelationshipPartNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(RelationshipPartNameTest, SitsInTheRelsFolderBesideThePart) {
  EXPECT_EQ(relationship_part_name(GetParam().part), GetParam().rels_part);
}

INSTANTIATE_TEST_SUITE_P(
    Names, RelationshipPartNameTest,
    testing::Values(NameCase{"ppt/slides/slide3.xml", "ppt/slides/_rels/slide3.xml.rels"},
                    NameCase{"ppt/presentation.xml", "ppt/_rels/presentation.xml.rels"},
                    NameCase{"", "_rels/.rels"},
                    NameCase{"[Content_Types].xml", "_rels/[Content_Types].xml.rels"},
                    NameCase{"a/b/", "a/b/_rels/.rels"}));

// ---- parsing ----

TEST(ParseRelationships, SortsIdsAsBytes) {
  const auto parsed = parse_relationships(rels(
      R"(<Relationship Id="rId2" Type="t" Target="b"/><Relationship Id="rId10" Type="t" Target="c"/>)"
      R"(<Relationship Id="rId9" Type="t" Target="a"/>)"));
  EXPECT_EQ(ids_of(parsed), (std::vector<std::string>{"rId10", "rId2", "rId9"}));
}

TEST(ParseRelationships, EqualIdsAreOrderedByTarget) {
  const auto parsed = parse_relationships(
      rels(R"(<Relationship Id="rId1" Target="z.xml"/><Relationship Id="rId1" Target="a.xml"/>)"));
  ASSERT_EQ(parsed.size(), 2u);
  EXPECT_EQ(parsed[0].target, "a.xml");
  EXPECT_EQ(parsed[1].target, "z.xml");
}

TEST(ParseRelationships, ReadsAttributesByLocalName) {
  const auto parsed = parse_relationships(
      R"(<r:Relationships xmlns:r="x"><r:Relationship r:Id="rId1" r:Type="t&amp;u" Target="../media/a&#x26;b.png" )"
      R"(TargetMode="External" Id2="no" id="no"/></r:Relationships>)");
  ASSERT_EQ(parsed.size(), 1u);
  EXPECT_EQ(parsed[0].id, "rId1");
  EXPECT_EQ(parsed[0].relationship_type, "t&u");
  EXPECT_EQ(parsed[0].target, "../media/a&b.png");
  EXPECT_EQ(parsed[0].target_mode, "External");
}

TEST(ParseRelationships, MissingAttributesReadEmptyAndTargetModeAbsent) {
  const auto parsed = parse_relationships(rels(R"(<Relationship Type="t"/>)"));
  ASSERT_EQ(parsed.size(), 1u);
  EXPECT_EQ(parsed[0].id, "");
  EXPECT_EQ(parsed[0].relationship_type, "t");
  EXPECT_EQ(parsed[0].target, "");
  EXPECT_EQ(parsed[0].target_mode, std::nullopt);
}

TEST(ParseRelationships, RepeatedAttributeKeepsTheLaterAndUndecodableValuesReadEmpty) {
  const auto parsed = parse_relationships(
      rels(R"(<Relationship Id="rId1" Id="rId2" Target="a&nbsp;b" TargetMode="&bad;"/>)"));
  ASSERT_EQ(parsed.size(), 1u);
  EXPECT_EQ(parsed[0].id, "rId2");
  EXPECT_EQ(parsed[0].target, "");
  EXPECT_EQ(parsed[0].target_mode, "");
}

TEST(ParseRelationships, FindsRelationshipsAtAnyDepthAsStartOrEmptyElements) {
  const auto parsed = parse_relationships(
      rels(R"(<Group><Relationship Id="rId2" Target="x"></Relationship></Group><Relationship Id="rId1"/>)"));
  EXPECT_EQ(ids_of(parsed), (std::vector<std::string>{"rId1", "rId2"}));
}

TEST(ParseRelationships, KeepsWhatWasReadBeforeMalformedXml) {
  // Truncated in the middle of the third element.
  const std::string truncated =
      R"(<Relationships><Relationship Id="rId1" Target="a"/><Relationship Id="rId2" Target="b"/><Relationship Id="rI)";
  EXPECT_EQ(ids_of(parse_relationships(truncated)), (std::vector<std::string>{"rId1", "rId2"}));
  // A mismatched end tag stops the reading too.
  EXPECT_EQ(ids_of(parse_relationships(R"(<Relationships><Relationship Id="rId3"/></Other><Relationship Id="rId4"/>)")),
            (std::vector<std::string>{"rId3"}));
  EXPECT_TRUE(parse_relationships("").empty());
  EXPECT_TRUE(parse_relationships("not xml at all <<<").empty());
}

TEST(RelationshipSummaryJson, WritesEveryFieldInOrder) {
  json::PrettyWriter writer;
  writer.begin_array();
  write_json(writer, RelationshipSummary{"rId1", "t", "../a.xml", std::nullopt});
  write_json(writer, RelationshipSummary{"rId2", "u", "http://x/", "External"});
  writer.end_array();
  EXPECT_EQ(writer.str(),
            "[\n"
            "  {\n"
            "    \"id\": \"rId1\",\n"
            "    \"relationship_type\": \"t\",\n"
            "    \"target\": \"../a.xml\",\n"
            "    \"target_mode\": null\n"
            "  },\n"
            "  {\n"
            "    \"id\": \"rId2\",\n"
            "    \"relationship_type\": \"u\",\n"
            "    \"target\": \"http://x/\",\n"
            "    \"target_mode\": \"External\"\n"
            "  }\n"
            "]");
}

// ---- reading from a package ----

TEST(ReadRelationships, ReadsTheRelationshipPartOfThePart) {
  const MemoryPackage package({{"ppt/slides/slide1.xml", "<p:sld/>"},
                               {"ppt/slides/_rels/slide1.xml.rels",
                                rels(R"(<Relationship Id="rId1" Type="t" Target="../slideLayouts/slideLayout1.xml"/>)")}});
  const auto relationships = read_relationships(package.archive(), "ppt/slides/slide1.xml");
  ASSERT_EQ(relationships.size(), 1u);
  EXPECT_EQ(relationships[0].target, "../slideLayouts/slideLayout1.xml");
  EXPECT_TRUE(read_relationships(package.archive(), "ppt/slides/slide2.xml").empty());
}

TEST(ReadRelationships, AnUnopenableRelationshipPartCountsAsNone) {
  const testing_support::Parts parts{{"a.xml", "<a/>"}, {"_rels/a.xml.rels", rels(R"(<Relationship Id="rId1"/>)")}};
  const MemoryPackage package(damaged_zip(parts, "_rels/a.xml.rels", Damage::LocalSignature));
  EXPECT_TRUE(read_relationships(package.archive(), "a.xml").empty());
}

TEST(ReadRelationships, AFailingReadIsAnIoError) {
  const testing_support::Parts parts{{"a.xml", "<a/>"}, {"_rels/a.xml.rels", rels(R"(<Relationship Id="rId1"/>)")}};
  const MemoryPackage package(damaged_zip(parts, "_rels/a.xml.rels", Damage::FirstDataByte));
  EXPECT_EQ(error_of([&] { read_relationships(package.archive(), "a.xml"); }).kind(), ErrorKind::Io);
}

TEST(RelationshipsByType, MatchesTheEndingOfTheTypeInListOrder) {
  const auto all = parse_relationships(rels(
      "<Relationship Id=\"rId1\" Type=\"" + std::string(kLayoutType) + "\"/>"
      "<Relationship Id=\"rId2\" Type=\"" + std::string(kSlideType) + "\"/>"
      "<Relationship Id=\"rId3\" Type=\"" + std::string(kImageType) + "\"/>"
      "<Relationship Id=\"rId4\" Type=\"" + std::string(kSlideType) + "\"/>"));
  EXPECT_EQ(ids_of(relationships_by_type(all, {"/slide"})), (std::vector<std::string>{"rId2", "rId4"}));
  EXPECT_EQ(ids_of(relationships_by_type(all, {"/image", "/slideLayout"})), (std::vector<std::string>{"rId1", "rId3"}));
  EXPECT_TRUE(relationships_by_type(all, {"/video"}).empty());
}

// ---- targets ----

struct TargetCase {
  const char* source;
  const char* target;
  const char* part;
};

class ResolveTargetTest : public testing::TestWithParam<TargetCase> {};

TEST_P(ResolveTargetTest, GivesThePartName) {
  EXPECT_EQ(resolve_target(GetParam().source, GetParam().target), GetParam().part);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, ResolveTargetTest,
    testing::Values(TargetCase{"ppt/slides/slide1.xml", "../media/image1.png", "ppt/media/image1.png"},
                    TargetCase{"ppt/slides/slide1.xml", "/ppt/media/image1.png", "ppt/media/image1.png"},
                    TargetCase{"ppt/slides/slide1.xml", "../../../x.xml", "x.xml"},
                    TargetCase{"ppt/presentation.xml", "slides/slide2.xml", "ppt/slides/slide2.xml"},
                    TargetCase{"ppt/slides/slide1.xml", "./slide2.xml", "ppt/slides/slide2.xml"},
                    TargetCase{"ppt/slides/slide1.xml", "..//media/./a.png", "ppt/media/a.png"},
                    TargetCase{"", "ppt/presentation.xml", "ppt/presentation.xml"},
                    TargetCase{"", "/docProps/app.xml", "docProps/app.xml"},
                    // The target mode is not consulted: an external address resolves like a path.
                    TargetCase{"ppt/slides/slide1.xml", "https://example.com/a", "ppt/slides/https:/example.com/a"}));

struct RelativeCase {
  const char* from;
  const char* to;
  const char* target;
};

class MakeRelativeTargetTest : public testing::TestWithParam<RelativeCase> {};

TEST_P(MakeRelativeTargetTest, GivesTheTargetAndResolvesBack) {
  const RelativeCase& c = GetParam();
  const std::string target = make_relative_target(c.from, c.to);
  EXPECT_EQ(target, c.target);
  EXPECT_EQ(resolve_target(c.from, target), c.to);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, MakeRelativeTargetTest,
    testing::Values(
        RelativeCase{"ppt/slides/slide2.xml", "ppt/slideLayouts/slideLayout1.xml", "../slideLayouts/slideLayout1.xml"},
        RelativeCase{"ppt/slides/slide2.xml", "ppt/slides/slide3.xml", "slide3.xml"},
        RelativeCase{"ppt/presentation.xml", "ppt/slides/slide1.xml", "slides/slide1.xml"},
        RelativeCase{"ppt/slides/slide1.xml", "docProps/app.xml", "../../docProps/app.xml"},
        RelativeCase{"ppt/slides/slide1.xml", "ppt/presentation.xml", "../presentation.xml"},
        RelativeCase{"", "ppt/presentation.xml", "ppt/presentation.xml"},
        RelativeCase{"ppt/slides/slide1.xml", "top.xml", "../../top.xml"},
        RelativeCase{"a/b/c/d.xml", "a/b/e/f.xml", "../e/f.xml"}));

// ---- ids ----

struct NextIdCase {
  std::vector<const char*> ids;
  const char* next;
};

class NextRelationshipIdTest : public testing::TestWithParam<NextIdCase> {};

TEST_P(NextRelationshipIdTest, IsOneMoreThanTheLargestRidNumber) {
  std::string body;
  for (const char* id : GetParam().ids) body += "<Relationship Id=\"" + std::string(id) + "\" Target=\"x\"/>";
  EXPECT_EQ(next_relationship_id(rels(body)), GetParam().next);
}

INSTANTIATE_TEST_SUITE_P(
    Ids, NextRelationshipIdTest,
    testing::Values(NextIdCase{{}, "rId1"}, NextIdCase{{"rId2", "rId10", "rId9"}, "rId11"},
                    NextIdCase{{"rId1", "rId7"}, "rId8"}, NextIdCase{{"image5"}, "rId1"},
                    NextIdCase{{"rIdA", "RID3", "rId", "rId-1", "rId 4", "rId0x5"}, "rId1"},
                    NextIdCase{{"rId+5", "rId3"}, "rId6"}, NextIdCase{{"rId007"}, "rId8"},
                    NextIdCase{{"rId18446744073709551615"}, "rId18446744073709551616"},
                    NextIdCase{{"rId18446744073709551616", "rId2"}, "rId3"}));

TEST(NextRelationshipId, MalformedXmlKeepsTheIdsReadBeforeIt) {
  EXPECT_EQ(next_relationship_id(R"(<Relationships><Relationship Id="rId4"/><Relationship Id="rId9")"), "rId5");
}

TEST(RelationshipId, ReadsTheIdAttributeByLocalName) {
  const auto id_of = [](std::string_view tag) { return relationship_id(xml::Reader(tag).next()); };
  EXPECT_EQ(id_of(R"(<Relationship Type="t" Id="rId3"/>)"), "rId3");
  EXPECT_EQ(id_of(R"(<Relationship x:Id="rId&amp;4"/>)"), "rId&4");
  EXPECT_EQ(id_of(R"(<Relationship id="rId5"/>)"), "");
  EXPECT_EQ(id_of(R"(<Relationship Id="&unknown;"/>)"), "");
}

// ---- insertion ----

TEST(EmptyRelationshipsXml, IsTheFixedTemplate) {
  EXPECT_EQ(empty_relationships_xml(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "</Relationships>\n");
  EXPECT_TRUE(parse_relationships(empty_relationships_xml()).empty());
}

TEST(AppendRelationship, InsertsBeforeTheLastClosingMarkerWithoutEscaping) {
  const std::string xml = append_relationship(empty_relationships_xml(), "rId1", kSlideType, "slides/a&b.xml");
  EXPECT_EQ(xml,
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" Type=\"" + std::string(kSlideType) + "\" Target=\"slides/a&b.xml\"/>"
            "</Relationships>\n");
  EXPECT_EQ(append_relationship("<!--</Relationships>--><Relationships></Relationships>", "rId2", "t", "x"),
            "<!--</Relationships>--><Relationships><Relationship Id=\"rId2\" Type=\"t\" Target=\"x\"/></Relationships>");
}

TEST(AddRelationship, EscapesTheValuesForAnAttribute) {
  const std::string xml = add_relationship(rels(""), "rId\"1", "t<u>", "../media/a&b's.png");
  EXPECT_EQ(xml, rels(R"(<Relationship Id="rId&quot;1" Type="t&lt;u&gt;" Target="../media/a&amp;b's.png"/>)"));
  const auto parsed = parse_relationships(xml);
  ASSERT_EQ(parsed.size(), 1u);
  EXPECT_EQ(parsed[0].target, "../media/a&b's.png");
}

TEST(RelationshipInsertion, AMissingClosingMarkerFailsDifferentlyPerRoutine) {
  const std::string broken = "<Relationships>";
  const VelmoraError appended = error_of([&] { append_relationship(broken, "rId1", "t", "x"); });
  EXPECT_EQ(appended.kind(), ErrorKind::XmlTextDecode);
  EXPECT_EQ(appended.detail(), "expected closing marker </Relationships>");
  const VelmoraError added = error_of([&] { add_relationship(broken, "rId1", "t", "x"); });
  EXPECT_EQ(added.kind(), ErrorKind::InvalidInput);
  EXPECT_EQ(added.detail(), "relationships part is missing </Relationships>");
}

// ---- removal and id collection ----

TEST(RemoveRelationshipsById, DropsMatchingElementsAndKeepsEverythingElseByteForByte) {
  const std::string xml = rels(
      "\n  <Relationship Id='rId1' Target=\"a\" />\n"
      "  <x:Relationship x:Id=\"rId2\" Target=\"b\"><Ext><Relationship Id=\"rId9\"/></Ext></x:Relationship>\n"
      "  <Relationship  Id=\"rId3\"   Target=\"c\"/>\n"
      "  <!-- rId1 --><Relationship Id=\"rId&#52;\" Target=\"d\"/>\n");
  const RelationshipRemoval removal = remove_relationships_by_id(xml, {"rId2", "rId4", "rId7"});
  EXPECT_EQ(removal.removed, 2u);
  EXPECT_EQ(removal.xml, rels("\n  <Relationship Id='rId1' Target=\"a\" />\n"
                              "  \n"
                              "  <Relationship  Id=\"rId3\"   Target=\"c\"/>\n"
                              "  <!-- rId1 -->\n"));
  const RelationshipRemoval none = remove_relationships_by_id(xml, {"rId8"});
  EXPECT_EQ(none.removed, 0u);
  EXPECT_EQ(none.xml, xml);
}

TEST(RemoveRelationshipsById, Failures) {
  const VelmoraError inside = error_of(
      [] { remove_relationships_by_id(R"(<Relationships><Relationship Id="rId1"><Ext>)", {"rId1"}); });
  EXPECT_EQ(inside.kind(), ErrorKind::XmlTextDecode);
  EXPECT_EQ(inside.detail(), "unexpected EOF while removing relationship");
  EXPECT_EQ(error_of([] { remove_relationships_by_id(R"(<Relationships></Other>)", {"rId1"}); }).kind(),
            ErrorKind::Xml);
  EXPECT_EQ(error_of([] {
              remove_relationships_by_id(R"(<Relationships><Relationship Id="rId1"></Other>)", {"rId1"});
            }).kind(),
            ErrorKind::Xml);
}

TEST(RelationshipIdsInXml, CollectsPrefixedEmbedLinkAndIdAttributes) {
  const RelationshipIdSet ids = relationship_ids_in_xml(
      R"(<p:pic><a:blip r:embed="rId2" r:link="rId3"/><c:chart xmlns:c="c" r:id="rId&#49;0"/>)"
      R"(<p:cNvPr id="5" embed="rId6" r:embedded="rId7" r:id="&bad;"/><a:hlinkClick r:id=""/></p:pic>)");
  EXPECT_EQ(ids, (RelationshipIdSet{"", "rId10", "rId2", "rId3"}));
}

TEST(RelationshipIdsInXml, StopsAtTheFirstXmlError) {
  EXPECT_EQ(relationship_ids_in_xml(R"(<a><b r:id="rId1"/></c><d r:id="rId2"/></a>)"), (RelationshipIdSet{"rId1"}));
}

TEST(CollectRelationshipIds, AddsToTheGivenSet) {
  RelationshipIdSet ids{"rId1"};
  collect_relationship_ids(xml::Reader(R"(<a:blip r:embed="rId5" x:link="rId1"/>)").next(), ids);
  EXPECT_EQ(ids, (RelationshipIdSet{"rId1", "rId5"}));
}

}  // namespace
}  // namespace velmora::package
