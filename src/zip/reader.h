// reader.h - read-only access to a ZIP archive held in a file or in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "zip/errors.h"

namespace velmora::zip {

enum class Method : uint16_t { Stored = 0, Deflate = 8 };

/// One central-directory record, as stored, with ZIP64 values resolved.
struct Entry {
  std::string name;  // exact stored name
  uint16_t version_made_by = 0;
  uint16_t version_needed = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t mod_time = 0;
  uint16_t mod_date = 0;
  uint16_t internal_attrs = 0;
  uint32_t crc32 = 0;
  uint32_t external_attrs = 0;
  uint64_t compressed_size = 0;
  uint64_t uncompressed_size = 0;
  uint64_t local_header_offset = 0;
  std::string extra;    // central extra field bytes as stored
  std::string comment;  // entry comment as stored
  // The record's own 32-bit size and offset fields and its start disk, exactly as stored
  // (0xFFFFFFFF or 0xFFFF where the value lives in the ZIP64 extra field).
  uint32_t stored_compressed_size = 0;
  uint32_t stored_uncompressed_size = 0;
  uint32_t stored_local_header_offset = 0;
  uint16_t disk_number_start = 0;

  /// True when the name ends with '/'.
  bool is_dir() const;
};

/// Where an entry's local record lies in the archive: the header (fixed part, name, extra)
/// from `header_offset` to `data_offset`, the stored data up to `data_end`, then any data
/// descriptor up to `record_end`.
struct LocalRecord {
  uint64_t header_offset = 0;
  uint64_t data_offset = 0;
  uint64_t data_end = 0;
  uint64_t record_end = 0;
};

/// A ZIP archive opened read-only. The central directory is read once at open and trusted;
/// local headers are read only to locate the data and check it against the directory.
/// Entry data is read with pread in bounded chunks, never mapped or loaded whole.
/// Movable, not copyable.
class Archive {
 public:
  /// Opens the file read-only. Open or read failures -> Io (the system's text);
  /// a directory -> Io (EISDIR); format problems -> Zip.
  static Archive open_file(const std::string& path);
  /// Reads an archive held in memory; `bytes` must outlive the Archive. Format problems -> Zip.
  static Archive open_memory(std::string_view bytes);

  Archive(Archive&& other) noexcept;
  Archive& operator=(Archive&& other) noexcept;
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;
  ~Archive();

  size_t size() const { return entries_.size(); }
  const Entry& entry(size_t index) const { return entries_.at(index); }
  /// The position of the entry with exactly this name (case-sensitive), if any.
  std::optional<size_t> index_of(std::string_view name) const;

  /// Checks that the entry can be read: stored or DEFLATE, not encrypted, local header
  /// signature present, local name equal to the central name, data (and any data
  /// descriptor) inside the archive. Zip error otherwise.
  void check_open(size_t index) const;
  /// check_open, returning where the entry's local record lies.
  LocalRecord local_record(size_t index) const;

  /// Streams the decompressed content to `sink` in chunks of at most 64 KiB; check_open first.
  /// Corrupt DEFLATE data, more or fewer bytes than declared, or a CRC mismatch -> Io error
  /// (the CRC text is "invalid checksum").
  void read(size_t index, const std::function<void(std::string_view)>& sink) const;
  /// read() into a string. The up-front reservation is bounded by what the stored data
  /// could inflate to, never by the declared size alone.
  std::string read_all(size_t index) const;
  /// Streams `length` raw archive bytes from `offset` to `sink` in bounded chunks.
  /// The range must lie inside the archive (Zip error otherwise).
  void read_raw(uint64_t offset, uint64_t length, const std::function<void(std::string_view)>& sink) const;

  /// The archive's file descriptor, or -1 for an archive in memory.
  int fd() const { return fd_; }
  /// Total size of the archive in bytes.
  uint64_t byte_size() const { return byte_size_; }

 private:
  Archive(int fd, std::string_view memory, uint64_t byte_size);
  void read_directory();
  /// Decompresses an entry whose local record has been checked, verifying size and CRC.
  void stream(const Entry& e, const LocalRecord& r, const std::function<void(std::string_view)>& sink) const;
  /// Reads exactly `out.size()` bytes at `offset`; the caller has checked the range.
  void read_at(uint64_t offset, std::span<char> out) const;
  std::string read_string(uint64_t offset, size_t length) const;

  int fd_ = -1;
  std::string_view memory_;
  uint64_t byte_size_ = 0;
  std::vector<Entry> entries_;
  std::unordered_map<std::string_view, size_t> by_name_;  // keys view entries_[i].name
};

}  // namespace velmora::zip
