// zip_memory_test.cpp - allocations stay bounded by the data, never by sizes an archive claims.
// This program replaces operator new to record the largest single request made while a
// measurement is running.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <new>
#include <string>

#include "error.h"
#include "zip/reader.h"
#include "zip/sink.h"
#include "zip/writer.h"

namespace {

bool measuring = false;
size_t largest_request = 0;

void* allocate(size_t size) {
  if (measuring && size > largest_request) largest_request = size;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(size_t size) { return allocate(size); }
void* operator new[](size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace velmora::zip {
namespace {

constexpr size_t limit = 1 << 20;

/// The largest single allocation made by `f` (exceptions of the core are expected and kept).
template <typename F>
size_t largest_allocation(F&& f) {
  largest_request = 0;
  measuring = true;
  try {
    f();
  } catch (const VelmoraError&) {
  }
  measuring = false;
  return largest_request;
}

std::string one_entry_archive(std::string_view content, Method method) {
  MemorySink sink;
  Writer writer(sink);
  writer.add_file("entry.bin", content, method);
  writer.finish();
  return sink.take();
}

void put_u32(std::string& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xff);
}

TEST(MemoryTest, HugeDeclaredSizeWithTinyDataFailsWithoutReserving) {
  std::string bytes = one_entry_archive("tiny", Method::Deflate);
  size_t central = bytes.find(std::string("PK\x01\x02", 4));
  put_u32(bytes, central + 24, 0xfffffff0);  // uncompressed size: almost 4 GiB
  Archive archive = Archive::open_memory(bytes);
  EXPECT_LT(largest_allocation([&] { archive.read_all(0); }), limit);
  EXPECT_THROW(archive.read_all(0), VelmoraError);
}

TEST(MemoryTest, HugeClaimedStoredSizesFailWithoutReserving) {
  std::string bytes = one_entry_archive("tiny", Method::Stored);
  size_t central = bytes.find(std::string("PK\x01\x02", 4));
  put_u32(bytes, central + 20, 0xfffffff0);  // compressed size
  put_u32(bytes, central + 24, 0xfffffff0);  // uncompressed size
  Archive archive = Archive::open_memory(bytes);
  EXPECT_LT(largest_allocation([&] { archive.read_all(0); }), limit);
  EXPECT_THROW(archive.read_all(0), VelmoraError);
}

TEST(MemoryTest, EntryCountIsBoundedByTheDirectorySize) {
  std::string bytes = one_entry_archive("x", Method::Stored);
  size_t end = bytes.size() - 22;
  put_u32(bytes, end + 8, 0xffffffff);  // 65535 entries on this disk and in total
  EXPECT_LT(largest_allocation([&] { Archive::open_memory(bytes); }), limit);
  EXPECT_THROW(Archive::open_memory(bytes), VelmoraError);
}

TEST(MemoryTest, FileEntriesAreStreamedAndCopiedInBoundedChunks) {
  std::string content(16 << 20, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>((i * 7919) >> 5);
  std::string pattern = (std::filesystem::temp_directory_path() / "velmora-zip-XXXXXX").string();
  std::filesystem::path dir = ::mkdtemp(pattern.data());
  std::string source_path = (dir / "source.zip").string();
  {
    FileSink sink(source_path);
    Writer writer(sink);
    writer.add_file("stored.bin", content, Method::Stored);
    writer.add_file("deflated.bin", content, Method::Deflate);
    writer.finish();
    sink.close();
  }
  content.clear();
  content.shrink_to_fit();

  Archive archive = Archive::open_file(source_path);
  for (size_t i = 0; i < archive.size(); ++i) {
    uint64_t total = 0;
    EXPECT_LT(largest_allocation([&] { archive.read(i, [&](std::string_view piece) { total += piece.size(); }); }),
              limit);
    EXPECT_EQ(total, 16u << 20);
  }
  EXPECT_LT(largest_allocation([&] {
              AtomicFileSink sink((dir / "copy.zip").string());
              Writer writer(sink);
              for (size_t i = 0; i < archive.size(); ++i) writer.copy_raw(archive, i);
              writer.finish();
              sink.commit();
            }),
            limit);
  EXPECT_EQ(Archive::open_file((dir / "copy.zip").string()).entry(1).uncompressed_size, 16u << 20);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace velmora::zip
