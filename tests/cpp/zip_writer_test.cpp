// zip_writer_test.cpp - writing archives: new and streamed entries, raw copies, sinks.
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "error.h"
#include "zip/deflate.h"
#include "zip/reader.h"
#include "zip/sink.h"
#include "zip/writer.h"

namespace velmora::zip {
namespace {

namespace fs = std::filesystem;

std::string corpus(const std::string& name) { return std::string(VELMORA_CORPUS) + "/" + name; }

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// Half text-like, half random: compressible but not trivially so.
std::string sample_content(size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  std::string out;
  out.reserve(size);
  while (out.size() < size) {
    if (rng() % 2) {
      out += "<a:t>slide text " + std::to_string(rng() % 1000) + "</a:t>";
    } else {
      for (int i = 0; i < 16; ++i) out += static_cast<char>(rng());
    }
  }
  out.resize(size);
  return out;
}

/// A fresh empty directory, removed at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "velmora-zip-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempDir() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& item : fs::directory_iterator(path_)) out.push_back(item.path().filename().string());
    return out;
  }

 private:
  fs::path path_;
};

template <typename F>
VelmoraError capture(F&& f) {
  try {
    f();
  } catch (const VelmoraError& e) {
    return e;
  }
  ADD_FAILURE() << "no VelmoraError was thrown";
  return VelmoraError(ErrorKind::InvalidInput, "nothing thrown");
}

struct RoundTripCase {
  const char* label;
  std::string name;
  size_t size;
  Method method;
};

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

std::string round_trip_label(const ::testing::TestParamInfo<RoundTripCase>& param_info) {
  return param_info.param.label;
}

TEST_P(RoundTrip, NewEntryReadsBackWithFixedHeaderFields) {
  const RoundTripCase& c = GetParam();
  std::string content = sample_content(c.size, 7);
  MemorySink sink;
  Writer writer(sink);
  writer.add_file("first.xml", "<x/>", Method::Deflate);
  writer.add_file(c.name, content, c.method);
  writer.finish();
  std::string bytes = sink.take();

  Archive archive = Archive::open_memory(bytes);
  ASSERT_EQ(archive.size(), 2u);
  const Entry& e = archive.entry(1);
  EXPECT_EQ(e.name, c.name);
  EXPECT_EQ(e.method, static_cast<uint16_t>(c.method));
  EXPECT_EQ(e.mod_date, 0x0021);
  EXPECT_EQ(e.mod_time, 0);
  EXPECT_EQ(e.external_attrs, 0100644u << 16);
  EXPECT_EQ(e.version_made_by >> 8, 3);
  EXPECT_EQ(e.version_needed, 20);
  EXPECT_EQ(e.flags & 0x0008, 0) << "sizes belong in the local header, not a descriptor";
  bool non_ascii = std::any_of(c.name.begin(), c.name.end(), [](char ch) { return static_cast<unsigned char>(ch) >= 0x80; });
  EXPECT_EQ((e.flags & 0x0800) != 0, non_ascii) << "UTF-8 flag exactly for non-ASCII names";
  EXPECT_EQ(e.uncompressed_size, content.size());
  if (c.method == Method::Stored) {
    EXPECT_EQ(e.compressed_size, content.size());
  }
  EXPECT_EQ(archive.read_all(1), content);
  EXPECT_EQ(archive.read_all(0), "<x/>");
  EXPECT_EQ(archive.index_of(c.name), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, RoundTrip,
    ::testing::Values(RoundTripCase{"EmptyStored", "empty.bin", 0, Method::Stored},
                      RoundTripCase{"EmptyDeflate", "empty.xml", 0, Method::Deflate},
                      RoundTripCase{"SmallStored", "ppt/media/image1.png", 1000, Method::Stored},
                      RoundTripCase{"SmallDeflate", "ppt/slides/slide1.xml", 1000, Method::Deflate},
                      RoundTripCase{"LargeDeflate", "ppt/big.bin", 3 << 20, Method::Deflate},
                      RoundTripCase{"NonAsciiName", "ppt/m\xc3\xa9\x64ia/\xe6\x97\xa5.xml", 500, Method::Deflate}),
    round_trip_label);

TEST(WriterTest, DirectoryEntriesAreStoredEmptyWithDirectoryMode) {
  MemorySink sink;
  Writer writer(sink);
  writer.add_directory("ppt/media");
  writer.add_directory("docProps/");
  writer.finish();
  std::string bytes = sink.take();
  Archive archive = Archive::open_memory(bytes);
  ASSERT_EQ(archive.size(), 2u);
  EXPECT_EQ(archive.entry(0).name, "ppt/media/");
  EXPECT_EQ(archive.entry(1).name, "docProps/") << "an existing trailing slash is not doubled";
  for (size_t i = 0; i < 2; ++i) {
    const Entry& e = archive.entry(i);
    EXPECT_TRUE(e.is_dir());
    EXPECT_EQ(e.method, 0);
    EXPECT_EQ(e.compressed_size, 0u);
    EXPECT_EQ(e.uncompressed_size, 0u);
    EXPECT_EQ(e.external_attrs >> 16, 040755u);
    EXPECT_EQ(e.mod_date, 0x0021);
    EXPECT_EQ(archive.read_all(i), "");
  }
}

// Streamed entries patch their local header afterwards; past 256 KiB the header has left the
// file sink's buffer, so the patch goes to the file itself.
TEST(WriterTest, StreamedEntriesPatchTheirHeaderInMemoryAndInFiles) {
  std::string content = sample_content(1 << 20, 3);
  TempDir dir;
  std::string path = (dir.path() / "streamed.zip").string();
  {
    AtomicFileSink sink(path);
    Writer writer(sink);
    for (Method method : {Method::Stored, Method::Deflate}) {
      writer.begin_file(method == Method::Stored ? "stored.bin" : "deflated.bin", method);
      for (size_t at = 0; at < content.size(); at += 100000) writer.write(std::string_view(content).substr(at, 100000));
      writer.end_file();
    }
    writer.add_file("small.xml", "<p/>", Method::Deflate);
    writer.finish();
    sink.commit();
  }
  Archive archive = Archive::open_file(path);
  ASSERT_EQ(archive.size(), 3u);
  EXPECT_EQ(archive.read_all(0), content);
  EXPECT_EQ(archive.read_all(1), content);
  EXPECT_EQ(archive.read_all(2), "<p/>");
  EXPECT_LT(archive.entry(1).compressed_size, content.size());
}

TEST(WriterTest, ContentOver4GiBIsRefusedBeforeAnythingIsWritten) {
  // Address space only: the writer must refuse on the size alone, without touching the bytes.
  const size_t size = (size_t{1} << 32) + 1;
  void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(map, MAP_FAILED);
  std::string_view huge(static_cast<const char*>(map), size);
  MemorySink sink;
  Writer writer(sink);
  VelmoraError whole = capture([&] { writer.add_file("big.bin", huge, Method::Stored); });
  EXPECT_EQ(whole.kind(), ErrorKind::Io);
  EXPECT_EQ(whole.detail(), "Large file option has not been set");
  EXPECT_EQ(sink.position(), 0u);

  Writer streaming(sink);
  streaming.begin_file("big.bin", Method::Deflate);
  VelmoraError chunked = capture([&] { streaming.write(huge); });
  EXPECT_EQ(chunked.detail(), "Large file option has not been set");
  ::munmap(map, size);
}

TEST(WriterTest, RefusesNamesThatCouldNotBeReadBack) {
  MemorySink sink;
  Writer writer(sink);
  writer.add_file("a.xml", "1", Method::Deflate);
  struct Case {
    std::string name;
    std::string detail;
  };
  for (const Case& c : {Case{"a.xml", "duplicate entry name a.xml"}, Case{"bad\xff.xml", "entry name is not valid UTF-8"},
                        Case{std::string(70000, 'n'), "entry name is too long"}}) {
    VelmoraError e = capture([&] { writer.add_file(c.name, "2", Method::Stored); });
    EXPECT_EQ(e.kind(), ErrorKind::Zip);
    EXPECT_EQ(e.detail(), c.detail);
  }
}

TEST(WriterTest, ManyEntriesGetZip64EndRecords) {
  const size_t count = 70000;  // beyond the 16-bit count of the classic end record
  MemorySink sink;
  Writer writer(sink);
  for (size_t i = 0; i < count; ++i) writer.add_file("e" + std::to_string(i), "", Method::Stored);
  writer.finish();
  std::string bytes = sink.take();
  EXPECT_EQ(bytes.substr(bytes.size() - 22 - 20, 4), std::string("PK\x06\x07", 4)) << "ZIP64 locator present";
  Archive archive = Archive::open_memory(bytes);
  ASSERT_EQ(archive.size(), count);
  EXPECT_EQ(archive.entry(count - 1).name, "e69999");
  EXPECT_EQ(archive.index_of("e12345"), 12345u);
}

TEST(WriterTest, SmallArchivesHaveNoZip64Records) {
  MemorySink sink;
  Writer writer(sink);
  writer.add_file("a", "x", Method::Stored);
  writer.finish();
  std::string bytes = sink.take();
  EXPECT_EQ(bytes.find(std::string("PK\x06\x06", 4)), std::string::npos);
  EXPECT_EQ(bytes.find(std::string("PK\x06\x07", 4)), std::string::npos);
}

/// The local record of an entry (header, data, descriptor) as raw bytes.
std::string local_slice(const std::string& archive_bytes, const Archive& archive, size_t index) {
  LocalRecord r = archive.local_record(index);
  return archive_bytes.substr(r.header_offset, r.record_end - r.header_offset);
}

void expect_same_central_fields(const Entry& a, const Entry& b) {
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.version_made_by, b.version_made_by);
  EXPECT_EQ(a.version_needed, b.version_needed);
  EXPECT_EQ(a.flags, b.flags);
  EXPECT_EQ(a.method, b.method);
  EXPECT_EQ(a.mod_time, b.mod_time);
  EXPECT_EQ(a.mod_date, b.mod_date);
  EXPECT_EQ(a.internal_attrs, b.internal_attrs);
  EXPECT_EQ(a.crc32, b.crc32);
  EXPECT_EQ(a.external_attrs, b.external_attrs);
  EXPECT_EQ(a.compressed_size, b.compressed_size);
  EXPECT_EQ(a.uncompressed_size, b.uncompressed_size);
  EXPECT_EQ(a.extra, b.extra);
  EXPECT_EQ(a.comment, b.comment);
}

enum class Target { Memory, File };

class RawCopy : public ::testing::TestWithParam<std::tuple<std::string, Target>> {};

std::string raw_copy_label(const ::testing::TestParamInfo<RawCopy::ParamType>& param_info) {
  const auto& [file, target] = param_info.param;
  std::string label = file.substr(0, file.find('.'));
  std::erase_if(label, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
  return label + (target == Target::File ? "File" : "Memory");
}

// Every entry copied raw after a new one (so all offsets move) keeps its local record byte for
// byte, including data descriptors, and its central record apart from the offset. The file
// target copies file to file in the kernel.
TEST_P(RawCopy, KeepsLocalRecordsByteForByte) {
  const auto& [name, target] = GetParam();
  std::string source_path = corpus(name);
  std::string source_bytes = slurp(source_path);
  ASSERT_FALSE(source_bytes.empty()) << source_path;
  Archive source = Archive::open_file(source_path);

  TempDir dir;
  std::string out_path = (dir.path() / "copy.pptx").string();
  MemorySink memory;
  std::unique_ptr<AtomicFileSink> file;
  Sink* sink = &memory;
  if (target == Target::File) {
    file = std::make_unique<AtomicFileSink>(out_path);
    sink = file.get();
  }
  Writer writer(*sink);
  writer.add_file("zz-new-first.xml", "<new/>", Method::Deflate);
  for (size_t i = 0; i < source.size(); ++i) writer.copy_raw(source, i);
  writer.finish();
  std::string out_bytes;
  if (file) {
    file->commit();
    out_bytes = slurp(out_path);
  } else {
    out_bytes = memory.take();
  }

  Archive copy = Archive::open_memory(out_bytes);
  ASSERT_EQ(copy.size(), source.size() + 1);
  for (size_t i = 0; i < source.size(); ++i) {
    SCOPED_TRACE(source.entry(i).name);
    EXPECT_EQ(local_slice(out_bytes, copy, i + 1), local_slice(source_bytes, source, i));
    expect_same_central_fields(copy.entry(i + 1), source.entry(i));
    EXPECT_NE(copy.entry(i + 1).local_header_offset, source.entry(i).local_header_offset);
    EXPECT_EQ(copy.read_all(i + 1), source.read_all(i));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, RawCopy,
    ::testing::Combine(::testing::Values("poi-bug60993-libreoffice-table.pptx",  // data descriptors
                                         "oo-new-en-US.pptx",                     // extra fields, stored entries
                                         "poi-InlineStrings.xlsx"),               // directory entries
                       ::testing::Values(Target::Memory, Target::File)),
    raw_copy_label);

TEST(WriterTest, RawCopyStopsAtEntriesThatCannotBeOpened) {
  MemorySink source_sink;
  Writer source_writer(source_sink);
  source_writer.add_file("a.xml", "content", Method::Stored);
  source_writer.finish();
  std::string bytes = source_sink.take();
  bytes[6] = 1;  // local flags: encrypted (the local header is not consulted for this)
  size_t central = bytes.find(std::string("PK\x01\x02", 4));
  bytes[central + 8] = 1;  // central flags: encrypted
  Archive source = Archive::open_memory(bytes);
  MemorySink sink;
  Writer writer(sink);
  VelmoraError e = capture([&] { writer.copy_raw(source, 0); });
  EXPECT_EQ(e.detail(), "unsupported Zip archive: encrypted files are not supported");
  EXPECT_EQ(sink.position(), 0u);
}

TEST(AtomicFileSinkTest, CommitPublishesTheFileWithItsMode) {
  TempDir dir;
  std::string path = (dir.path() / "out.pptx").string();
  {
    std::ofstream(path) << "previous";
  }
  for (mode_t mode : {mode_t{0640}, mode_t{0604}}) {
    AtomicFileSink sink(path);
    Writer writer(sink);
    writer.add_file("a.xml", "<a/>", Method::Deflate);
    writer.finish();
    sink.commit(mode);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode);
    EXPECT_EQ(Archive::open_file(path).read_all(0), "<a/>");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"out.pptx"});
  }
}

TEST(AtomicFileSinkTest, DefaultModeFollowsTheUmask) {
  TempDir dir;
  std::string path = (dir.path() / "out.pptx").string();
  mode_t previous = ::umask(027);
  {
    AtomicFileSink sink(path);
    sink.write("bytes");
    sink.commit();
  }
  ::umask(previous);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(slurp(path), "bytes");
}

TEST(AtomicFileSinkTest, AbandonedSinkLeavesThePreviousFileAndNoTemporary) {
  TempDir dir;
  std::string path = (dir.path() / "out.pptx").string();
  {
    std::ofstream(path) << "previous";
  }
  {
    AtomicFileSink sink(path);
    Writer writer(sink);
    writer.add_file("a.xml", sample_content(600000, 1), Method::Stored);  // some of it flushed
    EXPECT_EQ(dir.names().size(), 2u) << "the temporary file sits beside the target";
  }
  EXPECT_EQ(slurp(path), "previous");
  EXPECT_EQ(dir.names(), std::vector<std::string>{"out.pptx"});
}

TEST(AtomicFileSinkTest, OutputNamesUpToTheSystemLimitAreWritten) {
  // The temporary name beside the target must not outgrow a name the system accepts.
  for (size_t length : {1u, 200u, 255u}) {
    TempDir dir;
    std::string name(length, 'n');
    {
      AtomicFileSink sink((dir.path() / name).string());
      sink.write("bytes");
      sink.commit();
    }
    EXPECT_EQ(dir.names(), std::vector<std::string>{name}) << length;
  }
}

TEST(AtomicFileSinkTest, CreationFailureIsTheSystemError) {
  TempDir dir;
  VelmoraError e = capture([&] { AtomicFileSink sink((dir.path() / "missing" / "out.pptx").string()); });
  EXPECT_EQ(e.kind(), ErrorKind::Io);
  EXPECT_EQ(e.detail(), "No such file or directory (os error 2)");
}

// An independent reader as control: Python's zipfile must accept what we write, with the
// contents we wrote.
TEST(WriterTest, PythonZipfileReadsOurArchives) {
  if (std::system("python3 -c 'import zipfile' >/dev/null 2>&1") != 0) GTEST_SKIP() << "python3 not available";
  TempDir dir;
  std::string path = (dir.path() / "control.zip").string();
  std::string source_bytes = slurp(corpus("poi-bug60993-libreoffice-table.pptx"));
  Archive source = Archive::open_memory(source_bytes);
  std::string big = sample_content(400000, 9);
  {
    AtomicFileSink sink(path);
    Writer writer(sink);
    writer.add_file("stored.bin", big, Method::Stored);
    writer.add_file("deflated.xml", big, Method::Deflate);
    writer.add_directory("folder");
    writer.begin_file("streamed/\xc3\xa9t\xc3\xa9.xml", Method::Deflate);
    writer.write(big);
    writer.end_file();
    writer.copy_raw(source, 0);
    writer.finish();
    sink.commit();
  }
  std::string script =
      "import sys, zipfile, zlib\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "assert z.testzip() is None\n"
      "names = z.namelist()\n"
      "assert names[:4] == ['stored.bin', 'deflated.xml', 'folder/', 'streamed/\\u00e9t\\u00e9.xml'], names\n"
      "assert z.read('stored.bin') == z.read('deflated.xml') == z.read(names[3])\n"
      "assert zlib.crc32(z.read('stored.bin')) == " +
      std::to_string(crc32(0, big)) + "\n";
  std::string script_path = (dir.path() / "check.py").string();
  std::ofstream(script_path) << script;
  EXPECT_EQ(std::system(("python3 " + script_path + " " + path).c_str()), 0);
}

}  // namespace
}  // namespace velmora::zip
