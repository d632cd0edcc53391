// package_rewrite_test.cpp - the package rewrite: raw copies stay byte-identical,
// replaced and appended parts land where they should, facts are tallied, and a
// failed write leaves the output path as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "package/inspect.h"
#include "package/package.h"
#include "package_test_fixture.h"
#include "zip/reader.h"
#include "zip/sink.h"

namespace velmora::package {
namespace {

namespace fs = std::filesystem;
using testing_support::error_of;
using testing_support::MemoryPackage;
using testing_support::Parts;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string raw_record(const zip::Archive& archive, size_t index) {
  const zip::LocalRecord record = archive.local_record(index);
  std::string bytes;
  archive.read_raw(record.header_offset, record.record_end - record.header_offset,
                   [&](std::string_view chunk) { bytes += chunk; });
  return bytes;
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("velmora-rewrite-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

// Every readable corpus package, rewritten with one replaced part: every other
// entry keeps its local record byte for byte (header, data, descriptor) and
// its central fields, in the same order; the replaced part holds the new text.
TEST(PackageRewriteCorpus, RawCopyKeepsUntouchedEntriesByteIdentical) {
  size_t checked = 0;
  for (const auto& file : fs::directory_iterator(VELMORA_CORPUS)) {
    const std::string name = file.path().filename().string();
    if (name.find("BROKEN") != std::string::npos || file.path().extension() == ".md") continue;
    SCOPED_TRACE(name);
    const zip::Archive input = zip::Archive::open_file(file.path().string());
    std::optional<size_t> target;
    for (size_t i = 0; i < input.size() && !target; ++i) {
      if (input.entry(i).name.ends_with(".xml")) target = i;
    }
    ASSERT_TRUE(target);
    const std::string replaced_name = input.entry(*target).name;
    RewritePlan plan;
    plan.replaced.emplace(replaced_name, "<replaced/>");
    zip::MemorySink sink;
    const PackageFacts facts = write_package(input, sink, plan);
    const std::string bytes = sink.take();
    const zip::Archive output = zip::Archive::open_memory(bytes);

    ASSERT_EQ(output.size(), input.size());
    EXPECT_EQ(facts.part_count, output.size());
    for (size_t i = 0; i < input.size(); ++i) {
      const zip::Entry& before = input.entry(i);
      const zip::Entry& after = output.entry(i);
      ASSERT_EQ(after.name, before.name);
      if (i == *target) {
        EXPECT_EQ(output.read_all(i), "<replaced/>");
        EXPECT_EQ(after.method, before.method);
        EXPECT_EQ(after.mod_date, 0x0021);
        EXPECT_EQ(after.mod_time, 0);
        continue;
      }
      EXPECT_EQ(raw_record(output, i), raw_record(input, i)) << before.name;
      EXPECT_EQ(after.mod_date, before.mod_date);
      EXPECT_EQ(after.mod_time, before.mod_time);
      EXPECT_EQ(after.crc32, before.crc32);
      EXPECT_EQ(after.external_attrs, before.external_attrs);
      EXPECT_EQ(after.compressed_size, before.compressed_size);
    }
    ++checked;
  }
  EXPECT_GT(checked, 50u);
}

const Parts kParts = {
    {"[Content_Types].xml", "<Types/>"},
    {"ppt/", ""},
    {"ppt/presentation.xml", "<p:presentation/>"},
    {"ppt/vbaProject.bin", "macro"},
    {"ppt/media/image1.png", "png bytes"},
};

TEST(PackageRewrite, ReplacedKeepsPositionAppendedComeLast) {
  MemoryPackage input(kParts);
  RewritePlan plan;
  plan.replaced.emplace("ppt/presentation.xml", "<new/>");
  plan.replaced.emplace("ppt/absent.xml", "<never/>");
  plan.appended = {{"ppt/slides/slide1.xml", "<p:sld/>"}, {"ppt/a.bin", "x"}};
  zip::MemorySink sink;
  const PackageFacts facts = write_package(input.archive(), sink, plan);
  const std::string bytes = sink.take();
  const zip::Archive output = zip::Archive::open_memory(bytes);
  std::vector<std::string> names;
  for (size_t i = 0; i < output.size(); ++i) names.push_back(output.entry(i).name);
  EXPECT_EQ(names, (std::vector<std::string>{"[Content_Types].xml", "ppt/", "ppt/presentation.xml",
                                             "ppt/vbaProject.bin", "ppt/media/image1.png",
                                             "ppt/slides/slide1.xml", "ppt/a.bin"}));
  EXPECT_EQ(output.read_all(2), "<new/>");
  EXPECT_EQ(output.entry(5).method, static_cast<uint16_t>(zip::Method::Deflate));
  EXPECT_EQ(output.read_all(5), "<p:sld/>");
  EXPECT_EQ(facts.part_count, 7u);
  EXPECT_TRUE(facts.has_vba);
}

TEST(PackageRewrite, ReEncodingDatesEveryEntry1980AndKeepsContent) {
  MemoryPackage input(kParts);
  RewritePlan plan;
  plan.mode = RewriteMode::ReEncode;
  zip::MemorySink sink;
  write_package(input.archive(), sink, plan);
  const std::string bytes = sink.take();
  const zip::Archive output = zip::Archive::open_memory(bytes);
  ASSERT_EQ(output.size(), kParts.size());
  for (size_t i = 0; i < output.size(); ++i) {
    EXPECT_EQ(output.entry(i).mod_date, 0x0021);
    EXPECT_EQ(output.entry(i).mod_time, 0);
    EXPECT_EQ(output.read_all(i), kParts[i].second);
  }
  EXPECT_TRUE(output.entry(1).is_dir());
}

TEST(PackageFactsTest, VbaNameMustEndTheName) {
  PackageFacts facts;
  update_package_facts("ppt/vbaProject.bin.rels", facts);
  EXPECT_FALSE(facts.has_vba);
  update_package_facts("word/vbaProject.bin", facts);
  EXPECT_TRUE(facts.has_vba);
  EXPECT_EQ(facts.part_count, 2u);
}

TEST_F(TempDir, FailedWriteLeavesPreviousOutputAndNoTemporaryFile) {
  // The last entry cannot be opened, so the rewrite stops midway.
  MemoryPackage input(testing_support::damaged_zip(kParts, "ppt/media/image1.png",
                                                   testing_support::Damage::LocalSignature));
  const fs::path output = dir_ / "out.pptx";
  { std::ofstream(output, std::ios::binary) << "previous"; }
  const VelmoraError error = error_of([&] { write_package_file(input.archive(), output.string(), RewritePlan{}); });
  EXPECT_EQ(error.kind(), ErrorKind::Zip);
  EXPECT_EQ(slurp(output), "previous");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(TempDir, OutputMayNameTheInput) {
  const fs::path path = dir_ / "deck.pptx";
  { std::ofstream(path, std::ios::binary) << testing_support::build_zip(kParts); }
  {
    const zip::Archive input = open_package(path.string());
    write_package_with_replaced_part(input, path.string(), "ppt/presentation.xml", "<changed/>");
  }
  const zip::Archive reread = open_package(path.string());
  EXPECT_EQ(*read_archive_text(reread, "ppt/presentation.xml"), "<changed/>");
  EXPECT_EQ(*read_archive_text(reread, "ppt/media/image1.png"), "png bytes");
}

TEST_F(TempDir, OutputGetsCreationModeUnderTheUmask) {
  MemoryPackage input(kParts);
  const fs::path output = dir_ / "out.pptx";
  const mode_t previous = ::umask(022);
  write_package_file(input.archive(), output.string(), RewritePlan{});
  ::umask(previous);
  struct stat info {};
  ASSERT_EQ(::stat(output.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(TempDir, ExistingOutputIsRewrittenInPlaceOfItsContentOnly) {
  // Writing over an existing output changes its content, as truncating it would: its
  // permission bits stay, and a symbolic link keeps pointing at the file that gets it.
  MemoryPackage input(kParts);
  const fs::path target = dir_ / "private.pptx";
  const fs::path link = dir_ / "link.pptx";
  { std::ofstream(target, std::ios::binary) << "previous"; }
  ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
  fs::create_symlink(target.filename(), link);
  for (const fs::path& output : {target, link}) {
    write_package_file(input.archive(), output.string(), RewritePlan{});
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << output;
    EXPECT_TRUE(fs::is_symlink(link)) << output;
    EXPECT_EQ(*read_archive_text(open_package(target.string()), "ppt/presentation.xml"),
              *read_archive_text(input.archive(), "ppt/presentation.xml"));
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(TempDir, OutputThatIsNoRegularFileIsWrittenIntoNotReplaced) {
  // A pipe (like a device) has no content to keep: the package goes into it, and the
  // pipe stays where it is instead of being renamed over.
  MemoryPackage input(kParts);
  const fs::path pipe = dir_ / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = slurp(pipe); });
  const PackageFacts facts = write_package_file(input.archive(), pipe.string(), RewritePlan{});
  reader.join();
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_EQ(facts.part_count, kParts.size());
  EXPECT_EQ(zip::Archive::open_memory(received).size(), kParts.size());
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(TempDir, PrepareOutputParentCreatesAncestors) {
  const fs::path output = dir_ / "a" / "b" / "out.pptx";
  prepare_output_parent(output.string());
  EXPECT_TRUE(fs::is_directory(dir_ / "a" / "b"));
  prepare_output_parent(output.string());  // existing directories are fine
  prepare_output_parent("bare-name.pptx");  // no parent part: nothing to do
}

TEST(PartReads, AbsentUnreadableAndNonUtf8) {
  MemoryPackage input(Parts{{"a.xml", "ok"}, {"bad.xml", "\xff\xfe"}});
  EXPECT_FALSE(read_archive_text(input.archive(), "missing.xml"));
  EXPECT_FALSE(read_archive_bytes(input.archive(), "missing.xml"));
  EXPECT_EQ(*read_archive_bytes(input.archive(), "bad.xml"), "\xff\xfe");
  const VelmoraError error = error_of([&] { read_archive_text(input.archive(), "bad.xml"); });
  EXPECT_STREQ(error.what(), "io error: stream did not contain valid UTF-8");
  EXPECT_STREQ(error_of([&] { read_required_part(input.archive(), "missing.xml"); }).what(),
               "zip error: specified file not found in archive");

  MemoryPackage damaged(testing_support::damaged_zip(Parts{{"a.xml", "ok"}}, "a.xml",
                                                     testing_support::Damage::LocalSignature));
  EXPECT_FALSE(read_archive_text(damaged.archive(), "a.xml"));  // cannot be opened: absent
  EXPECT_EQ(error_of([&] { read_archive_bytes(damaged.archive(), "a.xml"); }).kind(), ErrorKind::Zip);
}

TEST(PartKindTest, FirstMatchingRuleDecides) {
  const std::pair<const char*, PartKind> cases[] = {
      {"[Content_Types].xml", PartKind::Xml},
      {"ppt/_rels/presentation.xml.rels", PartKind::Relationships},
      {"ppt/media/chart.xml", PartKind::Xml},
      {"ppt/media/image1.png", PartKind::Media},
      {"ppt/media/", PartKind::Media},
      {"ppt/embeddings/oleObject1.bin", PartKind::Embedding},
      {"ppt/embeddings/data.xml", PartKind::Xml},
      {"anywhere/vbaProject.bin", PartKind::Vba},
      {"ppt/vbaProject.bin.rels", PartKind::Relationships},
      {"docProps/thumbnail.jpeg", PartKind::Binary},
  };
  for (const auto& [name, kind] : cases) EXPECT_EQ(part_kind(name), kind) << name;
}

}  // namespace
}  // namespace velmora::package
