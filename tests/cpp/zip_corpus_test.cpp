// zip_corpus_test.cpp - every real-world package of the shared corpus reads and copies raw.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "error.h"
#include "zip/reader.h"
#include "zip/sink.h"
#include "zip/writer.h"

namespace velmora::zip {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> corpus_files() {
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(VELMORA_CORPUS)) {
    std::string name = item.path().filename().string();
    if (name.ends_with(".md")) continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The three broken files that are not readable archives; the other BROKEN ones are
// well-formed ZIPs with bad content (an empty archive, a corrupt relationship part).
const std::vector<std::string> unreadable = {
    "poi-BROKEN-Divino_Revelado-truncated.pptx",
    "poi-BROKEN-fuzz-6254434927378432.pptx",
    "tika-BROKEN-encrypted-passtika.pptx",
};

TEST(CorpusTest, ReadableFilesReadAndCopyRawExactly) {
  std::vector<std::string> names = corpus_files();
  ASSERT_GT(names.size(), 50u);
  for (const std::string& name : names) {
    if (std::find(unreadable.begin(), unreadable.end(), name) != unreadable.end()) continue;
    SCOPED_TRACE(name);
    fs::path path = fs::path(VELMORA_CORPUS) / name;
    try {
      Archive archive = Archive::open_file(path.string());
      std::vector<std::string> contents;
      for (size_t i = 0; i < archive.size(); ++i) {
        contents.push_back(archive.read_all(i));
        EXPECT_EQ(contents.back().size(), archive.entry(i).uncompressed_size);
      }
      // Real writers pack local records back to back, so each record (descriptor included)
      // ends where the next begins: this checks that descriptors are measured right.
      std::vector<LocalRecord> records;
      for (size_t i = 0; i < archive.size(); ++i) records.push_back(archive.local_record(i));
      std::sort(records.begin(), records.end(),
                [](const LocalRecord& a, const LocalRecord& b) { return a.header_offset < b.header_offset; });
      for (size_t i = 1; i < records.size(); ++i) EXPECT_EQ(records[i - 1].record_end, records[i].header_offset);
      // The whole archive copied raw: same entries, same local records, same contents.
      std::string source_bytes = slurp(path);
      MemorySink sink;
      Writer writer(sink);
      for (size_t i = 0; i < archive.size(); ++i) writer.copy_raw(archive, i);
      writer.finish();
      std::string copy_bytes = sink.take();
      Archive copy = Archive::open_memory(copy_bytes);
      ASSERT_EQ(copy.size(), archive.size());
      for (size_t i = 0; i < copy.size(); ++i) {
        LocalRecord a = archive.local_record(i);
        LocalRecord b = copy.local_record(i);
        EXPECT_EQ(copy_bytes.substr(b.header_offset, b.record_end - b.header_offset),
                  source_bytes.substr(a.header_offset, a.record_end - a.header_offset));
        EXPECT_EQ(copy.read_all(i), contents[i]);
      }
    } catch (const VelmoraError& e) {
      ADD_FAILURE() << e.what();
    }
  }
}

TEST(CorpusTest, UnreadableFilesFailWithZipErrors) {
  for (const std::string& name : unreadable) {
    SCOPED_TRACE(name);
    try {
      Archive::open_file((fs::path(VELMORA_CORPUS) / name).string());
      ADD_FAILURE() << "opened";
    } catch (const VelmoraError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Zip) << e.what();
      EXPECT_TRUE(e.detail().starts_with("invalid Zip archive: ")) << e.what();
    }
  }
}

TEST(CorpusTest, EmptyArchiveOpensWithNoEntries) {
  Archive archive = Archive::open_file((fs::path(VELMORA_CORPUS) / "poi-BROKEN-empty-zip.xlsx").string());
  EXPECT_EQ(archive.size(), 0u);
}

}  // namespace
}  // namespace velmora::zip
