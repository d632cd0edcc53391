// summary_notes_test - the notes of a slide: which relationship is followed and which notes parts are left out.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "error.h"
#include "package/relationships.h"
#include "summary/presentation.h"
#include "zip/reader.h"
#include "zip/sink.h"
#include "zip/writer.h"

namespace velmora::summary {
namespace {

constexpr std::string_view kNotesType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/notesSlide";

std::string notes_part(std::string_view text) {
  return "<p:notes><p:cSld><p:spTree><p:sp><a:p><a:r><a:t>" + std::string(text) +
         "</a:t></a:r></a:p></p:sp></p:spTree></p:cSld></p:notes>";
}

// An archive of stored entries; the entry named `unsupported` gets an unknown
// compression method in both of its headers, so it is listed but cannot be opened.
std::string archive_of(const std::vector<std::pair<std::string, std::string>>& entries,
                       std::string_view unsupported = {}) {
  zip::MemorySink sink;
  zip::Writer writer(sink);
  for (const auto& [name, content] : entries) writer.add_file(name, content, zip::Method::Stored);
  writer.finish();
  std::string bytes = sink.take();
  if (unsupported.empty()) return bytes;
  for (const auto& [signature, method_at, name_at] :
       {std::tuple{std::string_view("PK\x03\x04"), 8, 30}, std::tuple{std::string_view("PK\x01\x02"), 10, 46}}) {
    for (size_t at = bytes.find(signature); at != std::string::npos; at = bytes.find(signature, at + 1)) {
      if (bytes.compare(at + name_at, unsupported.size(), unsupported) == 0) bytes[at + method_at] = 99;
    }
  }
  return bytes;
}

std::vector<package::RelationshipSummary> notes_relationships(std::vector<std::string> targets) {
  std::vector<package::RelationshipSummary> relationships;
  for (size_t i = 0; i < targets.size(); ++i) {
    relationships.push_back({"rId" + std::to_string(i + 1), std::string(kNotesType), targets[i], std::nullopt});
  }
  return relationships;
}

TEST(ReadNotes, FollowsTheFirstNotesRelationshipOnly) {
  const std::string bytes = archive_of({{"ppt/notesSlides/notesSlide1.xml", notes_part("first")},
                                        {"ppt/notesSlides/notesSlide2.xml", notes_part(" second ")}});
  const zip::Archive archive = zip::Archive::open_memory(bytes);
  const auto read = [&](std::vector<std::string> targets) {
    return read_notes(archive, "ppt/slides/slide1.xml", notes_relationships(std::move(targets)));
  };
  EXPECT_EQ(read({"../notesSlides/notesSlide2.xml", "../notesSlides/notesSlide1.xml"}),
            std::vector<std::string>{"second"});
  EXPECT_EQ(read({"/ppt/notesSlides/notesSlide1.xml"}), std::vector<std::string>{"first"});
  EXPECT_TRUE(read({"../notesSlides/missing.xml", "../notesSlides/notesSlide1.xml"}).empty());
  EXPECT_TRUE(read({}).empty());
  // Relationships of other types are not notes.
  std::vector<package::RelationshipSummary> other = notes_relationships({"../notesSlides/notesSlide1.xml"});
  other[0].relationship_type = std::string(kNotesType) + "Master";
  EXPECT_TRUE(read_notes(archive, "ppt/slides/slide1.xml", other).empty());
}

TEST(ReadNotes, NotesThatCannotBeOpenedAreLeftOut) {
  const std::string bytes = archive_of({{"ppt/notesSlides/notesSlide1.xml", notes_part("hidden")}},
                                       "ppt/notesSlides/notesSlide1.xml");
  const zip::Archive archive = zip::Archive::open_memory(bytes);
  EXPECT_THROW(archive.check_open(0), VelmoraError);
  EXPECT_TRUE(
      read_notes(archive, "ppt/slides/slide1.xml", notes_relationships({"../notesSlides/notesSlide1.xml"})).empty());
}

TEST(SummarizeSlide, MissingSlidePartIsAZipError) {
  const std::string bytes = archive_of({{"ppt/presentation.xml", "<p:presentation/>"}});
  const zip::Archive archive = zip::Archive::open_memory(bytes);
  try {
    summarize_slide(archive, "ppt/slides/slide1.xml");
    FAIL() << "no error";
  } catch (const VelmoraError& error) {
    EXPECT_STREQ(error.what(), "zip error: specified file not found in archive");
  }
}

}  // namespace
}  // namespace velmora::summary
