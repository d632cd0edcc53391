// package_slide_list_test.cpp - slide part names, the slide list and its fallback, slide ids and layout targets.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "error.h"
#include "package/package.h"
#include "package/relationships.h"
#include "package/slide_list.h"
#include "package_test_fixture.h"

namespace velmora::package {
namespace {

using testing_support::Damage;
using testing_support::damaged_zip;
using testing_support::error_of;
using testing_support::MemoryPackage;
using testing_support::Parts;
using Names = std::vector<std::string>;

constexpr std::string_view kRelationshipTypes = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

// ---- part names ----

struct PartNameCase {
  const char* name;
  bool slide;
  bool layout;
  std::optional<uint64_t> number;
};

class PartNameTest : public testing::TestWithParam<PartNameCase> {};

TEST_P(PartNameTest, RecognisesTheNumberedForms) {
  EXPECT_EQ(is_slide_part(GetParam().name), GetParam().slide);
  EXPECT_EQ(is_slide_layout_part(GetParam().name), GetParam().layout);
  EXPECT_EQ(slide_number(GetParam().name), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PartNameTest,
    testing::Values(PartNameCase{"ppt/slides/slide1.xml", true, false, 1},
                    PartNameCase{"ppt/slides/slide0042.xml", true, false, 42},
                    PartNameCase{"ppt/slides/slide.xml", false, false, std::nullopt},
                    PartNameCase{"ppt/slides/slideA.xml", false, false, std::nullopt},
                    PartNameCase{"ppt/slides/slide+3.xml", false, false, 3},  // a number, but no slide part
                    PartNameCase{"ppt/slides/slide-3.xml", false, false, std::nullopt},
                    PartNameCase{"ppt/slides/slide 3.xml", false, false, std::nullopt},
                    PartNameCase{"ppt/slides/slide18446744073709551615.xml", true, false, 18446744073709551615u},
                    PartNameCase{"ppt/slides/slide18446744073709551616.xml", true, false, std::nullopt},
                    PartNameCase{"ppt/slides/slide1.xml.rels", false, false, std::nullopt},
                    PartNameCase{"ppt/slides/_rels/slide1.xml.rels", false, false, std::nullopt},
                    PartNameCase{"PPT/slides/slide1.xml", false, false, std::nullopt},
                    PartNameCase{"x/ppt/slides/slide1.xml", false, false, std::nullopt},
                    PartNameCase{"ppt/slides/slide1.XML", false, false, std::nullopt},
                    PartNameCase{"ppt/slides/slides/slide1.xml", false, false, std::nullopt},
                    PartNameCase{"ppt/slideLayouts/slideLayout11.xml", false, true, std::nullopt},
                    PartNameCase{"ppt/slideLayouts/slideLayout.xml", false, false, std::nullopt},
                    PartNameCase{"ppt/slideLayouts/slideLayoutX.xml", false, false, std::nullopt},
                    PartNameCase{"ppt/slideMasters/slideMaster1.xml", false, false, std::nullopt}));

// ---- the slide list ----

std::string relationship(std::string_view id, std::string_view type, std::string_view target) {
  return "<Relationship Id=\"" + std::string(id) + "\" Type=\"" + std::string(kRelationshipTypes) + std::string(type) +
         "\" Target=\"" + std::string(target) + "\"/>";
}

std::string slide_relationship(std::string_view id, std::string_view target) {
  return relationship(id, "slide", target);
}

std::string presentation_with_ids(const Names& relationship_ids) {
  std::string list;
  uint64_t slide_id = 256;
  for (const std::string& id : relationship_ids) {
    list += "<p:sldId id=\"" + std::to_string(slide_id++) + "\" r:id=\"" + id + "\"/>";
  }
  return "<p:presentation xmlns:p=\"p\" xmlns:r=\"r\"><p:sldMasterIdLst><p:sldMasterId id=\"2147483648\" "
         "r:id=\"rId1\"/></p:sldMasterIdLst><p:sldIdLst>" + list + "</p:sldIdLst><p:sldSz cx=\"1\" cy=\"2\"/>"
         "</p:presentation>";
}

/// A deck: slide parts in the given archive order, then (when `ids` is set) a
/// presentation part listing those relationship ids, then its relationships.
struct Deck {
  Names slides;
  std::optional<Names> ids;
  Names relationships;
};

Parts deck_parts(const Deck& deck) {
  Parts parts{{"[Content_Types].xml", "<Types></Types>"}};
  for (const std::string& slide : deck.slides) parts.emplace_back("ppt/slides/" + slide, "<p:sld/>");
  if (deck.ids) parts.emplace_back("ppt/presentation.xml", presentation_with_ids(*deck.ids));
  std::string body = relationship("rId1", "slideMaster", "slideMasters/slideMaster1.xml");
  for (const std::string& rel : deck.relationships) body += rel;
  parts.emplace_back("ppt/_rels/presentation.xml.rels", "<Relationships>" + body + "</Relationships>");
  return parts;
}

Names slide_names(const Names& files) {
  Names names;
  for (const std::string& file : files) names.push_back("ppt/slides/" + file);
  return names;
}

struct SlideListCase {
  const char* what;
  Deck deck;
  Names expected;  ///< file names in ppt/slides/
};

class SlideListTest : public testing::TestWithParam<SlideListCase> {};

TEST_P(SlideListTest, FollowsThePresentationOnlyWhenItAgreesWithTheParts) {
  const MemoryPackage package(deck_parts(GetParam().deck));
  EXPECT_EQ(slide_parts(package.archive()), slide_names(GetParam().expected)) << GetParam().what;
}

const Names kThreeSlides{"slide2.xml", "slide3.xml", "slide1.xml"};
const Names kThreeRelationships{slide_relationship("rId2", "slides/slide1.xml"),
                                slide_relationship("rId3", "slides/slide2.xml"),
                                slide_relationship("rId4", "slides/slide3.xml")};

Names with(Names names, const std::string& more) {
  names.push_back(more);
  return names;
}

INSTANTIATE_TEST_SUITE_P(
    Decks, SlideListTest,
    testing::Values(
        SlideListCase{"no presentation part: natural order",
                      {{"slide1.xml", "slide10.xml", "slide2.xml"}, std::nullopt, {}},
                      {"slide1.xml", "slide2.xml", "slide10.xml"}},
        SlideListCase{"a consistent list decides",
                      {kThreeSlides, Names{"rId4", "rId2", "rId3"}, kThreeRelationships},
                      {"slide3.xml", "slide1.xml", "slide2.xml"}},
        SlideListCase{"a slide part the list does not mention",
                      {with(kThreeSlides, "slide4.xml"), Names{"rId4", "rId2", "rId3"}, kThreeRelationships},
                      {"slide1.xml", "slide2.xml", "slide3.xml", "slide4.xml"}},
        SlideListCase{"one relationship id listed twice",
                      {kThreeSlides, Names{"rId4", "rId4", "rId2"}, kThreeRelationships},
                      {"slide1.xml", "slide2.xml", "slide3.xml"}},
        SlideListCase{"a listed slide whose part is missing",
                      {kThreeSlides, Names{"rId4", "rId2", "rId3", "rId5"},
                       with(kThreeRelationships, slide_relationship("rId5", "slides/slide9.xml"))},
                      {"slide1.xml", "slide2.xml", "slide3.xml"}},
        SlideListCase{"ids without a slide relationship are dropped",
                      {kThreeSlides, Names{"rId4", "rId99", "rId2", "rId3", "rId1"}, kThreeRelationships},
                      {"slide3.xml", "slide1.xml", "slide2.xml"}},
        SlideListCase{"a relationship of another type does not map",
                      {{"slide1.xml", "slide2.xml"}, Names{"rId3", "rId2"},
                       {slide_relationship("rId2", "slides/slide1.xml"),
                        relationship("rId3", "slideLayout", "slides/slide2.xml")}},
                      {"slide1.xml", "slide2.xml"}},
        SlideListCase{"absolute and climbing targets resolve",
                      {{"slide1.xml", "slide2.xml"}, Names{"rId2", "rId3"},
                       {slide_relationship("rId2", "/ppt/slides/slide2.xml"),
                        slide_relationship("rId3", "../ppt/./slides/slide1.xml")}},
                      {"slide2.xml", "slide1.xml"}},
        SlideListCase{"a repeated relationship id keeps its later entry by target",
                      {{"slide1.xml", "slide2.xml"}, Names{"rId2", "rId3"},
                       {slide_relationship("rId2", "slides/slide2.xml"), slide_relationship("rId3", "slides/slide1.xml"),
                        slide_relationship("rId2", "slides/slide1.xml")}},
                      {"slide2.xml", "slide1.xml"}},
        SlideListCase{"a presentation without a slide id list",
                      {{"slide2.xml", "slide1.xml"}, Names{}, kThreeRelationships},
                      {"slide1.xml", "slide2.xml"}},
        SlideListCase{"a listed part that is no slide part",
                      {{"slide1.xml", "slideA.xml"}, Names{"rId2", "rId3"},
                       {slide_relationship("rId2", "slides/slideA.xml"), slide_relationship("rId3", "slides/slide1.xml")}},
                      {"slide1.xml"}},
        SlideListCase{"no slides at all", {{}, Names{}, {}}, {}}));

TEST(SlideParts, AMissingRelationshipPartMapsNothing) {
  Parts parts = deck_parts({{"slide2.xml", "slide1.xml"}, Names{"rId3", "rId2"}, {}});
  parts.pop_back();
  const MemoryPackage package(parts);
  EXPECT_EQ(slide_parts(package.archive()), slide_names({"slide1.xml", "slide2.xml"}));
}

TEST(SlideParts, SlidePartAtIndexReadsTheSameList) {
  const MemoryPackage package(deck_parts({kThreeSlides, Names{"rId4", "rId2", "rId3"}, kThreeRelationships}));
  EXPECT_EQ(slide_part_at_index(package.archive(), 0), "ppt/slides/slide3.xml");
  EXPECT_EQ(slide_part_at_index(package.archive(), 2), "ppt/slides/slide2.xml");
  EXPECT_EQ(slide_part_at_index(package.archive(), 3), std::nullopt);
}

TEST(SlideParts, Failures) {
  const Parts good = deck_parts({kThreeSlides, Names{"rId4", "rId2", "rId3"}, kThreeRelationships});

  Parts malformed = good;
  malformed[4].second = "<p:presentation><p:sldIdLst></p:presentation>";
  EXPECT_EQ(error_of([&] { slide_parts(MemoryPackage(malformed).archive()); }).kind(), ErrorKind::Xml);

  Parts not_utf8 = good;
  not_utf8[4].second = "<p:presentation>\xff</p:presentation>";
  EXPECT_EQ(error_of([&] { slide_parts(MemoryPackage(not_utf8).archive()); }).kind(), ErrorKind::Io);

  const MemoryPackage unopenable(damaged_zip(good, "[Content_Types].xml", Damage::LocalSignature));
  EXPECT_EQ(error_of([&] { slide_parts(unopenable.archive()); }).kind(), ErrorKind::Zip);

  const MemoryPackage bad_relationships(damaged_zip(good, "ppt/_rels/presentation.xml.rels", Damage::FirstDataByte));
  EXPECT_EQ(error_of([&] { slide_parts(bad_relationships.archive()); }).kind(), ErrorKind::Io);
}

TEST(SlideParts, AnUnopenablePresentationPartFailsTheWalkOverEntries) {
  const Parts parts = deck_parts({kThreeSlides, Names{"rId4", "rId2", "rId3"}, kThreeRelationships});
  // Only the presentation part is damaged, so the walk over the entries is
  // what fails first: every entry is opened while the slide parts are collected.
  const MemoryPackage package(damaged_zip(parts, "ppt/presentation.xml", Damage::LocalSignature));
  EXPECT_EQ(error_of([&] { slide_parts(package.archive()); }).kind(), ErrorKind::Zip);
}

TEST(SlideRelationshipIdsInPresentation, ReadsEveryPrefixedIdOfEachSlideIdInOrder) {
  const std::string xml =
      R"(<p:presentation><p:sldIdLst><p:sldId id="300" r:id="rId7"/>)"
      R"(<p:sldId id="256" r:id="rId&amp;2" x:id="rId9"></p:sldId><sldId id="257" ids="rId5" rel:id="&bad;"/>)"
      R"(</p:sldIdLst><p:sldMasterIdLst><p:sldMasterId r:id="rId1"/></p:sldMasterIdLst></p:presentation>)";
  EXPECT_EQ(slide_relationship_ids_in_presentation(xml), (Names{"rId7", "rId&2", "rId9", ""}));
  EXPECT_EQ(error_of([] { slide_relationship_ids_in_presentation("<p:sldIdLst><p:sldId r:id=\"rId1\"/></x>"); }).kind(),
            ErrorKind::Xml);
}

// ---- slide ids ----

struct NextSlideIdCase {
  const char* list;  ///< the content of p:sldIdLst
  uint64_t next;
};

class NextSlideIdTest : public testing::TestWithParam<NextSlideIdCase> {};

TEST_P(NextSlideIdTest, IsOneMoreThanTheLargestAndAtLeast256) {
  EXPECT_EQ(next_slide_id("<p:presentation><p:sldIdLst>" + std::string(GetParam().list) +
                          "</p:sldIdLst></p:presentation>"),
            GetParam().next);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, NextSlideIdTest,
    testing::Values(NextSlideIdCase{"", 256}, NextSlideIdCase{R"(<p:sldId id="256"/><p:sldId id="300"/>)", 301},
                    NextSlideIdCase{R"(<p:sldId id="300"/><p:sldId id="257"/>)", 301},
                    NextSlideIdCase{R"(<p:sldId id="5"/>)", 256},
                    NextSlideIdCase{R"(<p:sldId id="2147483647"/>)", 2147483648u},
                    NextSlideIdCase{R"(<p:sldId id="+400"/>)", 401},
                    NextSlideIdCase{R"(<p:sldId id="1e3" r:id="900"/>)", 901},  // r:id is local name id too
                    NextSlideIdCase{R"(<p:sldId id="-7"/><p:sldId id=""/>)", 256},
                    NextSlideIdCase{R"(<p:sldMasterId id="5000"/><p:sldId ID="600"/>)", 256}));

TEST(NextSlideId, MalformedXmlKeepsWhatWasFound) {
  EXPECT_EQ(next_slide_id(R"(<p:sldIdLst><p:sldId id="700"/></p:wrong><p:sldId id="900"/>)"), 701u);
}

TEST(NextSlideId, TheLargest64BitIdLeavesNoneToAllocate) {
  const VelmoraError error =
      error_of([] { next_slide_id(R"(<p:sldIdLst><p:sldId id="18446744073709551615"/></p:sldIdLst>)"); });
  EXPECT_EQ(error.kind(), ErrorKind::InvalidInput);
  EXPECT_EQ(error.detail(), "no slide id is left after 18446744073709551615");
  EXPECT_EQ(next_slide_id(R"(<p:sldIdLst><p:sldId id="18446744073709551614"/></p:sldIdLst>)"),
            std::numeric_limits<uint64_t>::max());
}

// ---- appending a slide id ----

struct AppendCase {
  const char* what;
  std::string presentation;
  std::string expected;
};

class AppendSlideIdTest : public testing::TestWithParam<AppendCase> {};

TEST_P(AppendSlideIdTest, PlacesTheEntryByTheSchemaOrder) {
  EXPECT_EQ(append_slide_id(GetParam().presentation, 301, "rId9"), GetParam().expected) << GetParam().what;
}

const std::string kEntry = R"(<p:sldId id="301" r:id="rId9"/>)";
const std::string kNewList = "<p:sldIdLst>" + kEntry + "</p:sldIdLst>";

INSTANTIATE_TEST_SUITE_P(
    Placements, AppendSlideIdTest,
    testing::Values(
        AppendCase{"existing list",
                   R"(<p:presentation><p:sldIdLst><p:sldId id="256" r:id="rId2"/></p:sldIdLst></p:presentation>)",
                   R"(<p:presentation><p:sldIdLst><p:sldId id="256" r:id="rId2"/>)" + kEntry +
                       "</p:sldIdLst></p:presentation>"},
        AppendCase{"after the master id list",
                   "<p:presentation><p:sldMasterIdLst/><p:sldMasterIdLst></p:sldMasterIdLst><p:notesMasterIdLst/>"
                   "<p:sldSz/></p:presentation>",
                   "<p:presentation><p:sldMasterIdLst/><p:sldMasterIdLst></p:sldMasterIdLst>" + kNewList +
                       "<p:notesMasterIdLst/><p:sldSz/></p:presentation>"},
        AppendCase{"before the slide size", R"(<p:presentation><p:sldSz cx="1"/><p:notesSz/></p:presentation>)",
                   "<p:presentation>" + kNewList + R"(<p:sldSz cx="1"/><p:notesSz/></p:presentation>)"},
        AppendCase{"before the notes size", "<p:presentation><p:notesSz/><p:defaultTextStyle/></p:presentation>",
                   "<p:presentation>" + kNewList + "<p:notesSz/><p:defaultTextStyle/></p:presentation>"},
        AppendCase{"before the default text style", "<p:presentation><p:defaultTextStyle/></p:presentation>",
                   "<p:presentation>" + kNewList + "<p:defaultTextStyle/></p:presentation>"},
        AppendCase{"before the closing tag", "<p:presentation>\n</p:presentation>\n",
                   "<p:presentation>\n" + kNewList + "</p:presentation>\n"},
        AppendCase{"a self-closing empty list is replaced",
                   "<p:presentation><p:sldMasterIdLst></p:sldMasterIdLst><p:sldIdLst /><p:sldSz/></p:presentation>",
                   "<p:presentation><p:sldMasterIdLst></p:sldMasterIdLst>" + kNewList + "<p:sldSz/></p:presentation>"}));

TEST(AppendSlideId, WritesTheRelationshipIdAsPassedAndFailsWithoutAPlace) {
  EXPECT_EQ(append_slide_id("<p:sldIdLst></p:sldIdLst>", 256, "a&b"),
            R"(<p:sldIdLst><p:sldId id="256" r:id="a&b"/></p:sldIdLst>)");
  const VelmoraError error = error_of([] { append_slide_id("<p:presentation>", 256, "rId2"); });
  EXPECT_EQ(error.kind(), ErrorKind::XmlTextDecode);
  EXPECT_EQ(error.detail(), "expected closing marker </p:presentation>");
}

// ---- layout targets ----

TEST(SlideLayoutTargetAtIndex, CountsLayoutsInNaturalOrder) {
  Parts parts{{"ppt/slideLayouts/_rels/slideLayout1.xml.rels", "<Relationships></Relationships>"},
              {"ppt/slideLayouts/slideLayoutA.xml", "<p:sldLayout/>"}};
  for (int n = 11; n >= 1; --n) {
    parts.emplace_back("ppt/slideLayouts/slideLayout" + std::to_string(n) + ".xml", "<p:sldLayout/>");
  }
  const MemoryPackage package(parts);
  EXPECT_EQ(slide_layout_target_at_index(package.archive(), 0), "../slideLayouts/slideLayout1.xml");
  EXPECT_EQ(slide_layout_target_at_index(package.archive(), 1), "../slideLayouts/slideLayout2.xml");
  EXPECT_EQ(slide_layout_target_at_index(package.archive(), 10), "../slideLayouts/slideLayout11.xml");
  const VelmoraError error = error_of([&] { slide_layout_target_at_index(package.archive(), 11); });
  EXPECT_EQ(error.kind(), ErrorKind::XmlTextDecode);
  EXPECT_EQ(error.detail(), "slide layout index 11 was not found");
}

TEST(SlideLayoutTargetAtIndex, AnUnopenableEntryIsAZipError) {
  const Parts parts{{"ppt/slideLayouts/slideLayout1.xml", "<p:sldLayout/>"}, {"docProps/app.xml", "<Properties/>"}};
  const MemoryPackage package(damaged_zip(parts, "docProps/app.xml", Damage::LocalSignature));
  EXPECT_EQ(error_of([&] { slide_layout_target_at_index(package.archive(), 0); }).kind(), ErrorKind::Zip);
}

// ---- real decks ----

std::vector<std::filesystem::path> corpus_decks() {
  std::vector<std::filesystem::path> decks;
  for (const auto& entry : std::filesystem::directory_iterator(VELMORA_CORPUS)) {
    const std::string name = entry.path().filename().string();
    const std::string extension = entry.path().extension().string();
    const bool presentation = extension == ".pptx" || extension == ".potx" || extension == ".pptm" ||
                              extension == ".potm" || extension == ".ppsx";
    if (presentation && name.find("BROKEN") == std::string::npos && name.find("HOSTILE") == std::string::npos) {
      decks.push_back(entry.path());
    }
  }
  return decks;
}

TEST(SlidePartsOnCorpus, ListsEverySlidePartOfEachDeckOnce) {
  const std::vector<std::filesystem::path> decks = corpus_decks();
  ASSERT_GE(decks.size(), 60u);
  for (const std::filesystem::path& path : decks) {
    SCOPED_TRACE(path.filename().string());
    const zip::Archive package = open_package(path.string());
    const Names slides = slide_parts(package);
    size_t slide_entries = 0;
    for (size_t i = 0; i < package.size(); ++i) slide_entries += is_slide_part(package.entry(i).name) ? 1 : 0;
    EXPECT_EQ(slides.size(), slide_entries);
    EXPECT_EQ(std::set<std::string>(slides.begin(), slides.end()).size(), slides.size());
    for (const std::string& slide : slides) EXPECT_TRUE(package.index_of(slide).has_value()) << slide;
    // The first layout's target, written from a slide, names an existing part.
    if (!slides.empty()) {
      const std::string layout = resolve_target(slides.front(), slide_layout_target_at_index(package, 0));
      EXPECT_TRUE(package.index_of(layout).has_value()) << layout;
    }
  }
}

TEST(SlidePartsOnCorpus, AnOrphanSlidePartFallsBackToNaturalOrder) {
  const zip::Archive package = open_package(std::string(VELMORA_CORPUS) + "/sc-075-orphan-slide-part.pptx");
  EXPECT_EQ(slide_parts(package), slide_names({"slide1.xml", "slide2.xml"}));
}

}  // namespace
}  // namespace velmora::package
