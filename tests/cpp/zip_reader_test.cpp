// zip_reader_test.cpp - reading archives: ZIP64, data descriptors, hostile and broken input.
#include <zlib.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "error.h"
#include "zip/reader.h"
#include "zip/sink.h"
#include "zip/writer.h"

namespace velmora::zip {
namespace {

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

// ---------------------------------------------------------------------------------------------
// A hand assembler for archives our writer never produces (ZIP64 records, data descriptors).
// Compression goes through zlib directly, independent of the code under test.

void put16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>(v >> 8);
}
void put32(std::string& out, uint32_t v) {
  put16(out, static_cast<uint16_t>(v & 0xffff));
  put16(out, static_cast<uint16_t>(v >> 16));
}
void put64(std::string& out, uint64_t v) {
  put32(out, static_cast<uint32_t>(v & 0xffffffff));
  put32(out, static_cast<uint32_t>(v >> 32));
}

std::string raw_deflate(const std::string& in) {
  z_stream s{};
  deflateInit2(&s, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&s, in.size()), '\0');
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  s.avail_in = static_cast<uInt>(in.size());
  s.next_out = reinterpret_cast<Bytef*>(out.data());
  s.avail_out = static_cast<uInt>(out.size());
  deflate(&s, Z_FINISH);
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

enum class Descriptor { None, Signed, Unsigned };

struct Spec {
  std::string name;
  std::string content;
  bool deflate = false;
  Descriptor descriptor = Descriptor::None;
  bool zip64 = false;  // sizes (and offset) in ZIP64 extra fields, 64-bit descriptor sizes
  bool zip64_offset = true;  // with zip64: the offset too, not only the sizes
};

/// Builds an archive from `specs`; `zip64_end` adds the ZIP64 end record and locator.
std::string assemble(const std::vector<Spec>& specs, bool zip64_end) {
  std::string out, central;
  for (const Spec& spec : specs) {
    std::string data = spec.deflate ? raw_deflate(spec.content) : spec.content;
    uint32_t crc = static_cast<uint32_t>(
        ::crc32(0, reinterpret_cast<const Bytef*>(spec.content.data()), static_cast<uInt>(spec.content.size())));
    uint64_t offset = out.size();
    uint16_t flags = spec.descriptor == Descriptor::None ? 0 : 0x0008;
    uint16_t method = spec.deflate ? 8 : 0;
    bool later = spec.descriptor != Descriptor::None;  // CRC and sizes come after the data

    std::string local_extra;
    if (spec.zip64) {
      put16(local_extra, 1);
      put16(local_extra, 16);
      put64(local_extra, later ? 0 : spec.content.size());
      put64(local_extra, later ? 0 : data.size());
    }
    put32(out, 0x04034b50);
    put16(out, spec.zip64 ? 45 : 20);
    put16(out, flags);
    put16(out, method);
    put16(out, 0x6000);  // time
    put16(out, 0x5621);  // date
    put32(out, later ? 0 : crc);
    put32(out, spec.zip64 ? 0xffffffff : later ? 0 : static_cast<uint32_t>(data.size()));
    put32(out, spec.zip64 ? 0xffffffff : later ? 0 : static_cast<uint32_t>(spec.content.size()));
    put16(out, static_cast<uint16_t>(spec.name.size()));
    put16(out, static_cast<uint16_t>(local_extra.size()));
    out += spec.name + local_extra + data;
    if (later) {
      if (spec.descriptor == Descriptor::Signed) put32(out, 0x08074b50);
      put32(out, crc);
      if (spec.zip64) {
        put64(out, data.size());
        put64(out, spec.content.size());
      } else {
        put32(out, static_cast<uint32_t>(data.size()));
        put32(out, static_cast<uint32_t>(spec.content.size()));
      }
    }

    std::string central_extra;
    put16(central_extra, 0x5455);  // an unrelated field first: the ZIP64 one need not lead
    put16(central_extra, 5);
    central_extra += std::string("\x01\x00\x00\x00\x00", 5);
    bool offset64 = spec.zip64 && spec.zip64_offset;
    if (spec.zip64) {
      put16(central_extra, 1);
      put16(central_extra, offset64 ? 24 : 16);
      put64(central_extra, spec.content.size());
      put64(central_extra, data.size());
      if (offset64) put64(central_extra, offset);
    }
    put32(central, 0x02014b50);
    put16(central, 0x031e);
    put16(central, spec.zip64 ? 45 : 20);
    put16(central, flags);
    put16(central, method);
    put16(central, 0x6000);
    put16(central, 0x5621);
    put32(central, crc);
    put32(central, spec.zip64 ? 0xffffffff : static_cast<uint32_t>(data.size()));
    put32(central, spec.zip64 ? 0xffffffff : static_cast<uint32_t>(spec.content.size()));
    put16(central, static_cast<uint16_t>(spec.name.size()));
    put16(central, static_cast<uint16_t>(central_extra.size()));
    put16(central, 0);  // comment length
    put16(central, 0);  // start disk
    put16(central, 0);  // internal attributes
    put32(central, 0100644u << 16);
    put32(central, offset64 ? 0xffffffff : static_cast<uint32_t>(offset));
    central += spec.name + central_extra;
  }
  uint64_t directory_offset = out.size();
  out += central;
  if (zip64_end) {
    uint64_t record_offset = out.size();
    put32(out, 0x06064b50);
    put64(out, 44);
    put16(out, 0x032d);
    put16(out, 45);
    put32(out, 0);
    put32(out, 0);
    put64(out, specs.size());
    put64(out, specs.size());
    put64(out, central.size());
    put64(out, directory_offset);
    put32(out, 0x07064b50);
    put32(out, 0);
    put64(out, record_offset);
    put32(out, 1);
  }
  put32(out, 0x06054b50);
  put16(out, 0);
  put16(out, 0);
  put16(out, zip64_end ? 0xffff : static_cast<uint16_t>(specs.size()));
  put16(out, zip64_end ? 0xffff : static_cast<uint16_t>(specs.size()));
  put32(out, zip64_end ? 0xffffffff : static_cast<uint32_t>(central.size()));
  put32(out, zip64_end ? 0xffffffff : static_cast<uint32_t>(directory_offset));
  put16(out, 0);
  return out;
}

std::string local_slice(const std::string& bytes, const Archive& archive, size_t index) {
  LocalRecord r = archive.local_record(index);
  return bytes.substr(r.header_offset, r.record_end - r.header_offset);
}

/// Raw-copies every entry of `source` behind a new first entry and checks the copies: same
/// local record bytes, same central fields apart from the offset, same content.
void expect_raw_copy_faithful(const std::string& source_bytes) {
  Archive source = Archive::open_memory(source_bytes);
  MemorySink sink;
  Writer writer(sink);
  writer.add_file("first", "moves every offset", Method::Stored);
  for (size_t i = 0; i < source.size(); ++i) writer.copy_raw(source, i);
  writer.finish();
  std::string out = sink.take();
  Archive copy = Archive::open_memory(out);
  ASSERT_EQ(copy.size(), source.size() + 1);
  uint64_t shift = copy.entry(1).local_header_offset - source.entry(0).local_header_offset;
  for (size_t i = 0; i < source.size(); ++i) {
    const Entry& a = source.entry(i);
    const Entry& b = copy.entry(i + 1);
    EXPECT_EQ(local_slice(out, copy, i + 1), local_slice(source_bytes, source, i));
    EXPECT_EQ(b.local_header_offset - a.local_header_offset, shift);
    EXPECT_EQ(b.stored_local_header_offset, a.stored_local_header_offset == 0xffffffff ? 0xffffffff
                                                                                         : b.local_header_offset);
    EXPECT_EQ(b.extra.size(), a.extra.size());
    EXPECT_EQ(b.flags, a.flags);
    EXPECT_EQ(b.crc32, a.crc32);
    EXPECT_EQ(copy.read_all(i + 1), source.read_all(i));
  }
}

TEST(Zip64Test, SizesAndOffsetsComeFromTheExtraFieldAndEndRecord) {
  std::string content(5000, 'z');
  std::string bytes = assemble({{"a.xml", content, true, Descriptor::None, true},
                                {"b.bin", "stored bytes", false, Descriptor::None, true},
                                {"c.txt", "plain", false, Descriptor::None, false}},
                               true);
  Archive archive = Archive::open_memory(bytes);
  ASSERT_EQ(archive.size(), 3u);
  const Entry& a = archive.entry(0);
  EXPECT_EQ(a.stored_uncompressed_size, 0xffffffffu);
  EXPECT_EQ(a.uncompressed_size, content.size());
  EXPECT_EQ(a.compressed_size, raw_deflate(content).size());
  EXPECT_EQ(a.local_header_offset, 0u);
  EXPECT_GT(archive.entry(1).local_header_offset, 0u);
  EXPECT_EQ(archive.read_all(0), content);
  EXPECT_EQ(archive.read_all(1), "stored bytes");
  EXPECT_EQ(archive.read_all(2), "plain");
  // Copies keep their offsets in the ZIP64 field where the source had them there.
  expect_raw_copy_faithful(bytes);
}

TEST(Zip64Test, ExtraFieldMissingAValueIsInvalid) {
  std::string bytes = assemble({{"a.xml", "x", false, Descriptor::None, true}}, false);
  size_t central = bytes.find(std::string("PK\x01\x02", 4));
  bytes[central + 46 + 5 + 9 + 2] = 16;  // ZIP64 field length 24 -> 16: the offset is missing
  VelmoraError e = capture([&] { Archive::open_memory(bytes); });
  EXPECT_EQ(e.detail(), "invalid Zip archive: ZIP64 extra field is too short");
}

// A sink that starts 5 GiB into a sparse file, so entries land beyond 32-bit offsets.
class FarSink : public Sink {
 public:
  FarSink(int fd, uint64_t start) : fd_(fd), position_(start) {}
  void write(std::string_view bytes) override {
    ASSERT_EQ(::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(position_)),
              static_cast<ssize_t>(bytes.size()));
    position_ += bytes.size();
  }
  uint64_t position() const override { return position_; }
  void patch(uint64_t offset, std::string_view bytes) override {
    ASSERT_EQ(::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset)), static_cast<ssize_t>(bytes.size()));
  }

 private:
  int fd_;
  uint64_t position_;
};

// Offsets that no longer fit 32 bits move into the ZIP64 extra field: appended as a new field
// (after any other extra fields), inserted after the sizes of an existing ZIP64 field, or
// rewritten where the source already kept its offset there.
TEST(Zip64Test, OffsetsBeyond4GiBGoToZip64Fields) {
  std::string source_bytes = assemble({{"plain.xml", "<a/>", true, Descriptor::None, false},
                                       {"sizes64.xml", "<b/>", true, Descriptor::None, true, false},
                                       {"all64.xml", "<c/>", false, Descriptor::None, true, true}},
                                      false);
  Archive source = Archive::open_memory(source_bytes);
  std::string path = (std::filesystem::temp_directory_path() / ("velmora-far-" + std::to_string(::getpid()))).string();
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  const uint64_t start = uint64_t{5} << 30;
  {
    FarSink sink(fd, start);
    Writer writer(sink);
    writer.add_file("new.xml", "<far/>", Method::Deflate);
    for (size_t i = 0; i < source.size(); ++i) writer.copy_raw(source, i);
    writer.finish();
  }
  ::close(fd);
  Archive far = Archive::open_file(path);
  ::unlink(path.c_str());

  ASSERT_EQ(far.size(), 4u);
  EXPECT_EQ(far.entry(0).local_header_offset, start);
  EXPECT_EQ(far.entry(0).version_needed, 45);
  EXPECT_EQ(far.read_all(0), "<far/>");
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(far.entry(i).stored_local_header_offset, 0xffffffffu);
  std::string offset_bytes;
  put64(offset_bytes, far.entry(1).local_header_offset);
  EXPECT_EQ(far.entry(1).extra, source.entry(0).extra + std::string("\x01\x00\x08\x00", 4) + offset_bytes);
  EXPECT_EQ(far.entry(2).extra.size(), source.entry(1).extra.size() + 8);
  EXPECT_EQ(far.entry(3).extra.size(), source.entry(2).extra.size());
  for (size_t i = 0; i < source.size(); ++i) {
    EXPECT_GT(far.entry(i + 1).local_header_offset, start);
    EXPECT_EQ(far.entry(i + 1).uncompressed_size, source.entry(i).uncompressed_size);
    EXPECT_EQ(far.read_all(i + 1), source.read_all(i));
  }
}

struct DescriptorCase {
  const char* label;
  Descriptor descriptor;
  bool zip64;
  bool deflate;
  uint64_t length;  // bytes of the descriptor
};

class DataDescriptor : public ::testing::TestWithParam<DescriptorCase> {};

std::string descriptor_label(const ::testing::TestParamInfo<DescriptorCase>& param_info) {
  return param_info.param.label;
}

// The reader trusts the central directory and only measures the descriptor, which a raw copy
// must carry along (the next entry starts right after it).
TEST_P(DataDescriptor, IsMeasuredAndCopied) {
  const DescriptorCase& c = GetParam();
  std::string first(3000, 'q');
  std::string bytes = assemble({{"first.xml", first, c.deflate, c.descriptor, c.zip64},
                                {"second.xml", "after the descriptor", false, Descriptor::None, false}},
                               false);
  Archive archive = Archive::open_memory(bytes);
  LocalRecord r = archive.local_record(0);
  EXPECT_EQ(r.record_end - r.data_end, c.length);
  EXPECT_EQ(r.record_end, archive.entry(1).local_header_offset);
  EXPECT_EQ(archive.read_all(0), first);
  expect_raw_copy_faithful(bytes);
}

INSTANTIATE_TEST_SUITE_P(Layouts, DataDescriptor,
                         ::testing::Values(DescriptorCase{"Signed", Descriptor::Signed, false, true, 16},
                                           DescriptorCase{"Unsigned", Descriptor::Unsigned, false, true, 12},
                                           DescriptorCase{"SignedZip64", Descriptor::Signed, true, true, 24},
                                           DescriptorCase{"UnsignedZip64", Descriptor::Unsigned, true, false, 20},
                                           DescriptorCase{"SignedStored", Descriptor::Signed, false, false, 16}),
                         descriptor_label);

// ---------------------------------------------------------------------------------------------
// Hostile variants of one good archive, each made by changing a few bytes.

/// Two entries: "a.txt" deflated, "b.txt" stored.
std::string good_archive() {
  MemorySink sink;
  Writer writer(sink);
  writer.add_file("a.txt", std::string(2000, 'a') + "tail", Method::Deflate);
  writer.add_file("b.txt", "stored content", Method::Stored);
  writer.finish();
  return sink.take();
}

struct Layout {
  size_t end;        // end of central directory record
  size_t central_a;  // central record of a.txt
  size_t central_b;  // central record of b.txt
  size_t local_b;    // local header of b.txt
};

Layout layout_of(const std::string& bytes) {
  Layout l;
  l.end = bytes.size() - 22;
  l.central_a = bytes.find(std::string("PK\x01\x02", 4));
  l.central_b = bytes.find(std::string("PK\x01\x02", 4), l.central_a + 1);
  l.local_b = bytes.find(std::string("PK\x03\x04", 4), 1);
  return l;
}

/// The one-byte corrupter, and its multi-byte little-endian form.
std::string with_byte(std::string bytes, size_t offset, uint8_t value) {
  bytes.at(offset) = static_cast<char>(value);
  return bytes;
}
std::string with_u32(std::string bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<char>((value >> (8 * i)) & 0xff);
  return bytes;
}
std::string with_u16(std::string bytes, size_t offset, uint16_t value) {
  for (int i = 0; i < 2; ++i) bytes.at(offset + i) = static_cast<char>((value >> (8 * i)) & 0xff);
  return bytes;
}

enum class Stage { Open, Read };

struct HostileCase {
  const char* label;
  std::function<std::string(const std::string&, const Layout&)> mutate;
  Stage stage;
  size_t index;  // entry read at Stage::Read
  ErrorKind kind;
  std::string detail;
};

class Hostile : public ::testing::TestWithParam<HostileCase> {};

std::string hostile_label(const ::testing::TestParamInfo<HostileCase>& param_info) { return param_info.param.label; }

TEST_P(Hostile, FailsCleanly) {
  const HostileCase& c = GetParam();
  std::string good = good_archive();
  std::string bytes = c.mutate(good, layout_of(good));
  if (c.stage == Stage::Read) {
    EXPECT_NO_THROW(Archive::open_memory(bytes)) << "the archive opens; only reading the entry fails";
  }
  VelmoraError e = capture([&] {
    Archive archive = Archive::open_memory(bytes);
    if (c.stage == Stage::Read) archive.read_all(c.index);
  });
  EXPECT_EQ(e.kind(), c.kind) << e.what();
  EXPECT_EQ(e.detail().substr(0, c.detail.size()), c.detail);
}

const std::string invalid = "invalid Zip archive: ";

INSTANTIATE_TEST_SUITE_P(
    Archives, Hostile,
    ::testing::Values(
        HostileCase{"Empty", [](const std::string&, const Layout&) { return std::string(); }, Stage::Open, 0,
                    ErrorKind::Zip, invalid + "Could not find central directory end"},
        HostileCase{"TruncatedEnd", [](const std::string& b, const Layout&) { return b.substr(0, b.size() - 5); },
                    Stage::Open, 0, ErrorKind::Zip, invalid + "Could not find central directory end"},
        HostileCase{"TruncatedHalf", [](const std::string& b, const Layout&) { return b.substr(0, b.size() / 2); },
                    Stage::Open, 0, ErrorKind::Zip, invalid + "Could not find central directory end"},
        HostileCase{"NoEndSignature", [](const std::string& b, const Layout& l) { return with_byte(b, l.end, 'X'); },
                    Stage::Open, 0, ErrorKind::Zip, invalid + "Could not find central directory end"},
        HostileCase{"CentralDirectoryOutside",
                    [](const std::string& b, const Layout& l) { return with_u32(b, l.end + 16, 0x7fff0000); },
                    Stage::Open, 0, ErrorKind::Zip, invalid + "central directory lies outside the archive"},
        HostileCase{"CentralDirectoryLongerThanFile",
                    [](const std::string& b, const Layout& l) { return with_u32(b, l.end + 12, 0x10000); },
                    Stage::Open, 0, ErrorKind::Zip, invalid + "central directory lies outside the archive"},
        HostileCase{"Claims65535Entries",
                    [](const std::string& b, const Layout& l) {
                      return with_u16(with_u16(b, l.end + 8, 0xffff), l.end + 10, 0xffff);
                    },
                    Stage::Open, 0, ErrorKind::Zip, invalid + "entry count exceeds the central directory size"},
        HostileCase{"BrokenCentralSignature",
                    [](const std::string& b, const Layout& l) { return with_byte(b, l.central_b, 'Q'); }, Stage::Open,
                    0, ErrorKind::Zip, invalid + "invalid central directory file header"},
        HostileCase{"NameLengthPastDirectory",
                    [](const std::string& b, const Layout& l) { return with_u16(b, l.central_b + 28, 500); },
                    Stage::Open, 0, ErrorKind::Zip, invalid + "invalid central directory file header"},
        HostileCase{"MultiDisk", [](const std::string& b, const Layout& l) { return with_byte(b, l.end + 4, 1); },
                    Stage::Open, 0, ErrorKind::Zip, "unsupported Zip archive: multi-disk archives are not supported"},
        HostileCase{"InvalidUtf8Name",
                    [](const std::string& b, const Layout& l) {
                      return with_byte(with_byte(b, l.central_b + 46, 0xc0), l.local_b + 30, 0xc0);
                    },
                    Stage::Open, 0, ErrorKind::Zip, invalid + "entry name is not valid UTF-8"},
        HostileCase{"DuplicateNames",
                    [](const std::string& b, const Layout& l) { return with_byte(b, l.central_b + 46, 'a'); },
                    Stage::Open, 0, ErrorKind::Zip, invalid + "duplicate entry name a.txt"},
        HostileCase{"Zip64LocatorOutside",
                    [](const std::string& b, const Layout& l) {
                      std::string locator;
                      put32(locator, 0x07064b50);
                      put32(locator, 0);
                      put64(locator, 0xffffffffff);
                      put32(locator, 1);
                      return b.substr(0, l.end) + locator + b.substr(l.end);
                    },
                    Stage::Open, 0, ErrorKind::Zip, invalid + "ZIP64 end of central directory lies outside the archive"},
        HostileCase{"LocalNameMismatch",
                    [](const std::string& b, const Layout& l) { return with_byte(b, l.local_b + 30, 'c'); },
                    Stage::Read, 1, ErrorKind::Zip,
                    invalid + "local file header name does not match the central directory"},
        HostileCase{"LocalSignatureMissing",
                    [](const std::string& b, const Layout& l) { return with_byte(b, l.local_b, 0); }, Stage::Read, 1,
                    ErrorKind::Zip, invalid + "Invalid local file header"},
        HostileCase{"LocalHeaderOutside",
                    [](const std::string& b, const Layout& l) { return with_u32(b, l.central_b + 42, 0x7fffffff); },
                    Stage::Read, 1, ErrorKind::Zip, invalid + "local file header lies outside the archive"},
        HostileCase{"DataOutside",
                    [](const std::string& b, const Layout& l) { return with_u32(b, l.central_b + 20, 0x7fffffff); },
                    Stage::Read, 1, ErrorKind::Zip, invalid + "entry data lies outside the archive"},
        HostileCase{"Encrypted", [](const std::string& b, const Layout& l) { return with_byte(b, l.central_a + 8, 1); },
                    Stage::Read, 0, ErrorKind::Zip, "unsupported Zip archive: encrypted files are not supported"},
        HostileCase{"UnsupportedMethod",
                    [](const std::string& b, const Layout& l) { return with_byte(b, l.central_a + 10, 12); },
                    Stage::Read, 0, ErrorKind::Zip, "unsupported Zip archive: compression method 12 is not supported"},
        HostileCase{"CrcMismatch",
                    [](const std::string& b, const Layout& l) { return with_byte(b, l.central_b + 16, b[l.central_b + 16] ^ 1); },
                    Stage::Read, 1, ErrorKind::Io, "invalid checksum"},
        HostileCase{"CorruptDeflate", [](const std::string& b, const Layout&) { return with_byte(b, 30 + 5, 0xff); },
                    Stage::Read, 0, ErrorKind::Io, "corrupt deflate stream: "},
        HostileCase{"DeflateCutShort",
                    [](const std::string& b, const Layout& l) {
                      return with_u32(b, l.central_a + 20, 3);  // compressed size 3
                    },
                    Stage::Read, 0, ErrorKind::Io, "unexpected end of compressed data"},
        HostileCase{"DeclaredSizeTooSmall",
                    [](const std::string& b, const Layout& l) { return with_u32(b, l.central_a + 24, 100); },
                    Stage::Read, 0, ErrorKind::Io, "entry is larger than its declared size"},
        HostileCase{"DeclaredSizeTooLarge",
                    [](const std::string& b, const Layout& l) { return with_u32(b, l.central_a + 24, 0xfffffff0); },
                    Stage::Read, 0, ErrorKind::Io, "entry is smaller than its declared size"},
        HostileCase{"StoredSizeTooLarge",
                    [](const std::string& b, const Layout& l) { return with_u32(b, l.central_b + 24, 1000); },
                    Stage::Read, 1, ErrorKind::Io, "entry is smaller than its declared size"}),
    hostile_label);

TEST(ReaderTest, EndRecordIsFoundBehindTheLongestComment) {
  std::string bytes = good_archive();
  std::string comment(0xffff, 'c');
  comment.replace(100, 4, "PK\x05\x06");  // a false signature inside the comment
  bytes = with_u16(bytes, bytes.size() - 2, 0xffff) + comment;
  Archive archive = Archive::open_memory(bytes);
  ASSERT_EQ(archive.size(), 2u);
  EXPECT_EQ(archive.read_all(1), "stored content");
}

TEST(ReaderTest, EntriesByPositionAndExactName) {
  std::string bytes = good_archive();
  Archive archive = Archive::open_memory(bytes);
  EXPECT_EQ(archive.index_of("a.txt"), 0u);
  EXPECT_EQ(archive.index_of("b.txt"), 1u);
  EXPECT_EQ(archive.index_of("A.txt"), std::nullopt);
  EXPECT_EQ(archive.index_of("a.txt/"), std::nullopt);
  EXPECT_EQ(archive.fd(), -1);
  Archive moved = std::move(archive);
  EXPECT_EQ(moved.index_of("b.txt"), 1u) << "the name index survives a move";
  EXPECT_EQ(moved.read_all(1), "stored content");
}

TEST(ReaderTest, ReadStreamsBoundedChunks) {
  MemorySink sink;
  Writer writer(sink);
  std::string content(1 << 20, 'r');
  writer.add_file("big", content, Method::Deflate);
  writer.add_file("big-stored", content, Method::Stored);
  writer.finish();
  std::string bytes = sink.take();
  Archive archive = Archive::open_memory(bytes);
  for (size_t i = 0; i < 2; ++i) {
    size_t total = 0, largest = 0;
    archive.read(i, [&](std::string_view piece) {
      total += piece.size();
      largest = std::max(largest, piece.size());
    });
    EXPECT_EQ(total, content.size());
    EXPECT_LE(largest, 64u * 1024);
  }
}

class OpenFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-zip-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(OpenFileTest, SystemFailuresAreIoAndFormatFailuresAreZip) {
  VelmoraError missing = capture([&] { Archive::open_file((dir_ / "missing.pptx").string()); });
  EXPECT_EQ(missing.kind(), ErrorKind::Io);
  EXPECT_EQ(missing.detail(), "No such file or directory (os error 2)");

  VelmoraError directory = capture([&] { Archive::open_file(dir_.string()); });
  EXPECT_EQ(directory.kind(), ErrorKind::Io);
  EXPECT_EQ(directory.detail(), "Is a directory (os error 21)");

  std::string empty = (dir_ / "empty.pptx").string();
  ::close(::open(empty.c_str(), O_CREAT | O_WRONLY, 0644));
  VelmoraError nothing = capture([&] { Archive::open_file(empty); });
  EXPECT_EQ(nothing.kind(), ErrorKind::Zip);
  EXPECT_EQ(nothing.detail(), "invalid Zip archive: Could not find central directory end");
}

}  // namespace
}  // namespace velmora::zip
