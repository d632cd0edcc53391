// package_test_fixture.h - small in-memory packages for the package/ tests.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <stdexcept>
#include <utility>
#include <vector>

#include "error.h"
#include "zip/reader.h"
#include "zip/sink.h"
#include "zip/writer.h"

namespace velmora::package::testing_support {

using Parts = std::vector<std::pair<std::string, std::string>>;

/// A ZIP archive holding `parts` in order, every entry stored (so part bytes
/// appear verbatim in the archive and can be damaged in place).
inline std::string build_zip(const Parts& parts) {
  zip::MemorySink sink;
  zip::Writer writer(sink);
  for (const auto& [name, content] : parts) writer.add_file(name, content, zip::Method::Stored);
  writer.finish();
  return sink.take();
}

/// An archive opened over bytes it owns. Not movable: the archive views the bytes.
class MemoryPackage {
 public:
  explicit MemoryPackage(std::string bytes) : bytes_(std::move(bytes)), archive_(zip::Archive::open_memory(bytes_)) {}
  explicit MemoryPackage(const Parts& parts) : MemoryPackage(build_zip(parts)) {}
  MemoryPackage(const MemoryPackage&) = delete;
  MemoryPackage& operator=(const MemoryPackage&) = delete;

  const zip::Archive& archive() const { return archive_; }

 private:
  std::string bytes_;
  zip::Archive archive_;
};

/// Which bytes of an entry to damage.
enum class Damage {
  LocalSignature,  ///< the entry can no longer be opened
  FirstDataByte,   ///< the entry opens, but reading it fails its checksum
};

/// The archive of `parts` with one byte of the entry `name` flipped.
inline std::string damaged_zip(const Parts& parts, std::string_view name, Damage damage) {
  std::string bytes = build_zip(parts);
  size_t offset = 0;
  {
    const zip::Archive archive = zip::Archive::open_memory(bytes);
    const zip::LocalRecord record = archive.local_record(*archive.index_of(name));
    offset = damage == Damage::LocalSignature ? record.header_offset : record.data_offset;
  }
  bytes[offset] = static_cast<char>(bytes[offset] ^ 0x20);
  return bytes;
}

/// Runs `action`; the error it throws, or a failure when it throws nothing.
template <typename F>
VelmoraError error_of(F&& action) {
  try {
    action();
  } catch (const VelmoraError& error) {
    return error;
  }
  throw std::logic_error("expected a VelmoraError");
}

}  // namespace velmora::package::testing_support
