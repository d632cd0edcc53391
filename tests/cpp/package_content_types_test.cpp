// package_content_types_test.cpp - content-type look-ups and additions, and the media extension tables.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "error.h"
#include "package/content_types.h"
#include "package_test_fixture.h"

namespace velmora::package {
namespace {

using testing_support::error_of;

const std::string kTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"png\" ContentType=\"image/png\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/ppt/presentation.xml\" ContentType=\"application/pres\"/>"
    "<Override PartName=\"/ppt/slides/slide1.xml\" ContentType=\"application/slide\"/>"
    "\n</Types>\n";

// ---- overrides ----

TEST(FindContentTypeOverride, MatchesThePartNameWithOrWithoutItsSlash) {
  EXPECT_EQ(find_content_type_override(kTypes, "/ppt/slides/slide1.xml"), "application/slide");
  EXPECT_EQ(find_content_type_override(kTypes, "ppt/slides/slide1.xml"), "application/slide");
  EXPECT_EQ(find_content_type_override(kTypes, "ppt/slides/slide2.xml"), std::nullopt);
  EXPECT_EQ(find_content_type_override(kTypes, "PPT/presentation.xml"), std::nullopt);
  // Defaults are not overrides, whatever their attributes say.
  EXPECT_EQ(find_content_type_override(R"(<Types><Default PartName="/a.png" ContentType="x"/></Types>)", "a.png"),
            std::nullopt);
}

TEST(FindContentTypeOverride, ReadsUnescapedValuesAndTheFirstMatch) {
  const std::string xml =
      R"(<ct:Types><ct:Override ct:PartName="/ppt/a&amp;b.xml" ContentType="x&lt;y"/>)"
      R"(<Override PartName="/ppt/a&amp;b.xml" ContentType="second"/><Override PartName="/bare.xml"/></ct:Types>)";
  EXPECT_EQ(find_content_type_override(xml, "ppt/a&b.xml"), "x<y");
  EXPECT_EQ(find_content_type_override(xml, "/bare.xml"), "");
}

TEST(FindContentTypeOverride, MalformedXmlEndsTheSearch) {
  const std::string xml =
      R"(<Types><Override PartName="/a.xml" ContentType="a"/></Bad><Override PartName="/b.xml" ContentType="b"/>)";
  EXPECT_EQ(find_content_type_override(xml, "a.xml"), "a");
  EXPECT_EQ(find_content_type_override(xml, "b.xml"), std::nullopt);
}

// ---- ensuring and appending ----

TEST(EnsureDefaultContentType, KeepsAnyExistingDeclarationOfTheExtension) {
  EXPECT_EQ(ensure_default_content_type(kTypes, "png", "image/other"), kTypes);
  // The test is a plain substring test: a declaration without </Types> is still found.
  EXPECT_EQ(ensure_default_content_type("<Types><Default Extension=\"gif\"", "gif", "image/gif"),
            "<Types><Default Extension=\"gif\"");
}

TEST(EnsureDefaultContentType, AddsBeforeTheClosingTagKeepingTheLayout) {
  const std::string once = ensure_default_content_type(kTypes, "jpg", "image/jpeg");
  const std::string twice = ensure_default_content_type(once, "gif", "image/gif");
  // The line feed before </Types> stays where it was, ahead of the additions.
  EXPECT_EQ(twice, kTypes.substr(0, kTypes.rfind("</Types>")) +
                       "<Default Extension=\"jpg\" ContentType=\"image/jpeg\"/>"
                       "<Default Extension=\"gif\" ContentType=\"image/gif\"/>"
                       "</Types>\n");
}

TEST(EnsureDefaultContentType, ComparesTheExtensionCaseSensitivelyAndEscapesWhatItWrites) {
  const std::string upper = "<Types><Default Extension=\"PNG\" ContentType=\"image/png\"/></Types>";
  EXPECT_EQ(ensure_default_content_type(upper, "png", "image/png"),
            "<Types><Default Extension=\"PNG\" ContentType=\"image/png\"/>"
            "<Default Extension=\"png\" ContentType=\"image/png\"/></Types>");
  EXPECT_EQ(ensure_default_content_type("<Types></Types>", "a&b", "x/\"y\""),
            "<Types><Default Extension=\"a&amp;b\" ContentType=\"x/&quot;y&quot;\"/></Types>");
}

TEST(EnsureContentTypeOverride, AddsOnlyWhenThePartNameIsNotDeclared) {
  EXPECT_EQ(ensure_content_type_override(kTypes, "/ppt/slides/slide1.xml", "other"), kTypes);
  EXPECT_EQ(ensure_content_type_override("<Types></Types>", "/ppt/media/a&b.bin", "application/vnd.x"),
            "<Types><Override PartName=\"/ppt/media/a&amp;b.bin\" ContentType=\"application/vnd.x\"/></Types>");
}

TEST(AppendContentTypeOverride, AppendsAsPassedWithoutLookingForDuplicates) {
  EXPECT_EQ(append_content_type_override("<Types><Override PartName=\"/a&b\" ContentType=\"t\"/></Types>", "/a&b", "t"),
            "<Types><Override PartName=\"/a&b\" ContentType=\"t\"/>"
            "<Override PartName=\"/a&b\" ContentType=\"t\"/></Types>");
}

TEST(ContentTypeInsertion, AMissingClosingTagFailsDifferentlyPerRoutine) {
  const std::string broken = "<Types><Default Extension=\"xml\" ContentType=\"application/xml\"/>";
  for (const VelmoraError& error : {error_of([&] { ensure_default_content_type(broken, "png", "image/png"); }),
                                    error_of([&] { ensure_content_type_override(broken, "/a.xml", "t"); })}) {
    EXPECT_EQ(error.kind(), ErrorKind::InvalidInput);
    EXPECT_EQ(error.detail(), "[Content_Types].xml is missing </Types>");
  }
  const VelmoraError appended = error_of([&] { append_content_type_override(broken, "/a.xml", "t"); });
  EXPECT_EQ(appended.kind(), ErrorKind::XmlTextDecode);
  EXPECT_EQ(appended.detail(), "expected closing marker </Types>");
}

// ---- extensions ----

struct ExtensionCase {
  const char* path;
  const char* image;  ///< image_extension
  const char* media;  ///< media_extension
};

class ExtensionTest : public testing::TestWithParam<ExtensionCase> {};

TEST_P(ExtensionTest, LowerCasesTheLastExtensionAndAliasesOnlyImages) {
  EXPECT_EQ(image_extension(GetParam().path), GetParam().image);
  EXPECT_EQ(media_extension(GetParam().path, "movie"), GetParam().media);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExtensionTest,
    testing::Values(ExtensionCase{"/tmp/photo.JPEG", "jpg", "jpeg"}, ExtensionCase{"scan.Tif", "tiff", "tif"},
                    ExtensionCase{"a.jpe", "jpg", "jpe"}, ExtensionCase{"a.JFIF", "jpg", "jfif"},
                    ExtensionCase{"a.jpg", "jpg", "jpg"}, ExtensionCase{"a.tiff", "tiff", "tiff"},
                    ExtensionCase{"pic.webp", "webp", "webp"}, ExtensionCase{"clip.MP4", "mp4", "mp4"},
                    ExtensionCase{"archive.tar.GZ", "gz", "gz"}, ExtensionCase{"dir.d/pic.Png", "png", "png"},
                    ExtensionCase{"trailing.", "", ""}, ExtensionCase{"dir/pic.png/", "png", "png"},
                    ExtensionCase{"..double", "double", "double"}));

class NoExtensionTest : public testing::TestWithParam<std::string> {};

TEST_P(NoExtensionTest, FailsWithTheKindAndThePathAsPassed) {
  const VelmoraError image = error_of([&] { image_extension(GetParam()); });
  EXPECT_EQ(image.kind(), ErrorKind::InvalidInput);
  EXPECT_EQ(image.detail(), "image path has no extension: " + GetParam());
  EXPECT_EQ(error_of([&] { media_extension(GetParam(), "movie"); }).detail(),
            "movie path has no extension: " + GetParam());
}

INSTANTIATE_TEST_SUITE_P(Paths, NoExtensionTest,
                         testing::Values("noext", ".hidden", "dir.d/noext", "dir/.png", "", "a.b/..",
                                         std::string("bad.\xff\xfe")));

TEST(ImageContentType, KnowsTheTableAndRefusesTheRest) {
  for (const auto& [extension, type] : {std::pair{"png", "image/png"}, {"jpg", "image/jpeg"}, {"jpeg", "image/jpeg"},
                                        {"gif", "image/gif"}, {"bmp", "image/bmp"}, {"tif", "image/tiff"},
                                        {"tiff", "image/tiff"}}) {
    EXPECT_EQ(image_content_type(extension), type) << extension;
  }
  for (const char* refused : {"webp", "", "PNG", "svg", "emf"}) {
    const VelmoraError error = error_of([&] { image_content_type(refused); });
    EXPECT_EQ(error.kind(), ErrorKind::InvalidInput);
    EXPECT_EQ(error.detail(), std::string("unsupported image extension: ") + refused);
  }
}

}  // namespace
}  // namespace velmora::package
