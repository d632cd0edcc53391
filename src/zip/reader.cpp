// reader.cpp - central directory parsing, entry checks and streaming reads.
#include "zip/reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>
#include <utility>

#include "error.h"
#include "zip/deflate.h"
#include "zip/file_path.h"
#include "zip/format.h"

namespace velmora::zip {
namespace {

constexpr size_t chunk_size = 64 * 1024;
// DEFLATE cannot expand data by more than about 1032:1; read_all reserves no more than
// that, and never more than this cap, before the data has shown up.
constexpr uint64_t max_deflate_ratio = 1032;
constexpr uint64_t max_reservation = uint64_t{64} << 20;

/// True when [offset, offset + length) lies inside an archive of `size` bytes.
bool inside(uint64_t offset, uint64_t length, uint64_t size) {
  return offset <= size && length <= size - offset;
}

/// Replaces the 32-bit size and offset fields marked 0xFFFFFFFF with the ZIP64 extra field's
/// values, which are present only for marked fields, in the order uncompressed size,
/// compressed size, offset (a start disk may follow; single-disk archives ignore it).
void resolve_zip64(Entry& e) {
  bool wants = e.stored_uncompressed_size == zip64_marker32 || e.stored_compressed_size == zip64_marker32 ||
               e.stored_local_header_offset == zip64_marker32;
  if (!wants) return;
  std::optional<ExtraField> field = find_extra_field(e.extra, zip64_extra_id);
  if (!field) return;  // a marker without ZIP64 data is taken as the plain 32-bit value
  ReadBuf buf(field->data);
  auto take = [&](uint64_t& value) {
    if (buf.remaining() < 8) throw_invalid_archive("ZIP64 extra field is too short");
    value = buf.u64();
  };
  if (e.stored_uncompressed_size == zip64_marker32) take(e.uncompressed_size);
  if (e.stored_compressed_size == zip64_marker32) take(e.compressed_size);
  if (e.stored_local_header_offset == zip64_marker32) take(e.local_header_offset);
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

}  // namespace

bool Entry::is_dir() const { return !name.empty() && name.back() == '/'; }

Archive Archive::open_file(const std::string& path) {
  check_file_path(path);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw_os(errno);
  FileDescriptor owner(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw_os(errno);
  if (S_ISDIR(st.st_mode)) throw_os(EISDIR);
  Archive archive(owner.release(), {}, static_cast<uint64_t>(st.st_size));
  archive.read_directory();
  return archive;
}

Archive Archive::open_memory(std::string_view bytes) {
  Archive archive(-1, bytes, bytes.size());
  archive.read_directory();
  return archive;
}

Archive::Archive(int fd, std::string_view memory, uint64_t byte_size)
    : fd_(fd), memory_(memory), byte_size_(byte_size) {}

Archive::Archive(Archive&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      memory_(other.memory_),
      byte_size_(other.byte_size_),
      entries_(std::move(other.entries_)),
      by_name_(std::move(other.by_name_)) {}

Archive& Archive::operator=(Archive&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    memory_ = other.memory_;
    byte_size_ = other.byte_size_;
    entries_ = std::move(other.entries_);
    by_name_ = std::move(other.by_name_);
  }
  return *this;
}

Archive::~Archive() {
  if (fd_ >= 0) ::close(fd_);
}

void Archive::read_at(uint64_t offset, std::span<char> out) const {
  if (fd_ < 0) {
    std::copy_n(memory_.data() + offset, out.size(), out.data());
    return;
  }
  size_t done = 0;
  while (done < out.size()) {
    ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw_os(errno);
    }
    if (n == 0) throw_io("unexpected end of file");
    done += static_cast<size_t>(n);
  }
}

std::string Archive::read_string(uint64_t offset, size_t length) const {
  std::string out(length, '\0');
  read_at(offset, out);
  return out;
}

void Archive::read_directory() {
  // The end record sits at the very end, followed only by its comment (up to 64 KiB).
  if (byte_size_ < end_length) throw_invalid_archive("Could not find central directory end");
  uint64_t tail_length = std::min<uint64_t>(byte_size_, end_length + max_comment_length);
  uint64_t tail_offset = byte_size_ - tail_length;
  std::string tail = read_string(tail_offset, tail_length);
  // Search from the end. A record whose comment ends exactly at the end of the file wins over
  // a signature that merely appears inside a comment; failing that, the last record whose
  // comment fits is taken (some files carry junk after the comment).
  std::optional<size_t> found, loose;
  for (size_t pos = tail.size() - end_length + 1; pos-- > 0 && !found;) {
    ReadBuf at(std::string_view(tail).substr(pos));
    if (at.u32() != end_signature) continue;
    at.skip(16);
    size_t comment_length = at.u16();
    if (comment_length == at.remaining()) found = pos;
    if (comment_length < at.remaining() && !loose) loose = pos;
  }
  if (!found) found = loose;
  if (!found) throw_invalid_archive("Could not find central directory end");
  uint64_t end_offset = tail_offset + *found;

  ReadBuf end(std::string_view(tail).substr(*found + 4));
  uint64_t disk = end.u16();
  uint64_t directory_disk = end.u16();
  end.skip(2);  // entries on this disk
  uint64_t count = end.u16();
  uint64_t directory_size = end.u32();
  uint64_t directory_offset = end.u32();
  uint64_t directory_limit = end_offset;  // the directory ends before the record after it

  // A ZIP64 locator right before the end record points at the ZIP64 end record, whose
  // 64-bit counts, size and offset replace the 16- and 32-bit ones.
  if (end_offset >= zip64_locator_length) {
    std::string locator = read_string(end_offset - zip64_locator_length, zip64_locator_length);
    ReadBuf loc(locator);
    if (loc.u32() == zip64_locator_signature) {
      loc.skip(4);  // disk holding the ZIP64 end record
      uint64_t record_offset = loc.u64();
      uint64_t record_limit = end_offset - zip64_locator_length;
      if (!inside(record_offset, zip64_end_length, record_limit)) {
        throw_invalid_archive("ZIP64 end of central directory lies outside the archive");
      }
      std::string record = read_string(record_offset, zip64_end_length);
      ReadBuf rec(record);
      if (rec.u32() != zip64_end_signature) throw_invalid_archive("Could not find ZIP64 central directory end");
      rec.skip(12);  // record size, version made by, version needed
      disk = rec.u32();
      directory_disk = rec.u32();
      rec.skip(8);  // entries on this disk
      count = rec.u64();
      directory_size = rec.u64();
      directory_offset = rec.u64();
      directory_limit = record_offset;
    }
  }
  if (disk != 0 || directory_disk != 0) throw_unsupported_archive("multi-disk archives are not supported");
  if (!inside(directory_offset, directory_size, directory_limit)) {
    throw_invalid_archive("central directory lies outside the archive");
  }
  // Every record takes at least 46 bytes, so the directory's size bounds the count
  // before anything is allocated for it.
  if (count > directory_size / central_header_length) {
    throw_invalid_archive("entry count exceeds the central directory size");
  }

  std::string directory = read_string(directory_offset, directory_size);
  ReadBuf buf(directory);
  entries_.reserve(count);
  by_name_.reserve(count);
  for (uint64_t i = 0; i < count; ++i) {
    if (buf.remaining() < central_header_length || buf.u32() != central_header_signature) {
      throw_invalid_archive("invalid central directory file header");
    }
    Entry e;
    e.version_made_by = buf.u16();
    e.version_needed = buf.u16();
    e.flags = buf.u16();
    e.method = buf.u16();
    e.mod_time = buf.u16();
    e.mod_date = buf.u16();
    e.crc32 = buf.u32();
    e.stored_compressed_size = buf.u32();
    e.stored_uncompressed_size = buf.u32();
    size_t name_length = buf.u16();
    size_t extra_length = buf.u16();
    size_t comment_length = buf.u16();
    e.disk_number_start = buf.u16();
    e.internal_attrs = buf.u16();
    e.external_attrs = buf.u32();
    e.stored_local_header_offset = buf.u32();
    if (buf.remaining() < name_length + extra_length + comment_length) {
      throw_invalid_archive("invalid central directory file header");
    }
    e.name = buf.bytes(name_length);
    e.extra = buf.bytes(extra_length);
    e.comment = buf.bytes(comment_length);
    e.compressed_size = e.stored_compressed_size;
    e.uncompressed_size = e.stored_uncompressed_size;
    e.local_header_offset = e.stored_local_header_offset;
    resolve_zip64(e);
    if (!is_valid_utf8(e.name)) throw_invalid_archive("entry name is not valid UTF-8");
    entries_.push_back(std::move(e));
  }
  // Keys view the names inside entries_, which no longer reallocates.
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!by_name_.emplace(entries_[i].name, i).second) {
      throw_invalid_archive("duplicate entry name " + entries_[i].name);
    }
  }
}

std::optional<size_t> Archive::index_of(std::string_view name) const {
  auto it = by_name_.find(name);
  if (it == by_name_.end()) return std::nullopt;
  return it->second;
}

void Archive::check_open(size_t index) const { local_record(index); }

LocalRecord Archive::local_record(size_t index) const {
  const Entry& e = entry(index);
  if (e.flags & flag_encrypted) throw_unsupported_archive("encrypted files are not supported");
  if (e.method != static_cast<uint16_t>(Method::Stored) && e.method != static_cast<uint16_t>(Method::Deflate)) {
    throw_unsupported_archive("compression method " + std::to_string(e.method) + " is not supported");
  }
  LocalRecord r;
  r.header_offset = e.local_header_offset;
  if (!inside(r.header_offset, local_header_length, byte_size_)) {
    throw_invalid_archive("local file header lies outside the archive");
  }
  std::string fixed = read_string(r.header_offset, local_header_length);
  ReadBuf header(fixed);
  if (header.u32() != local_header_signature) throw_invalid_archive("Invalid local file header");
  header.skip(22);  // versions, flags, method, time, date, crc32, sizes: the central record rules
  uint64_t name_length = header.u16();
  uint64_t extra_length = header.u16();
  uint64_t names_offset = r.header_offset + local_header_length;
  if (!inside(names_offset, name_length + extra_length, byte_size_)) {
    throw_invalid_archive("local file header lies outside the archive");
  }
  std::string names = read_string(names_offset, name_length + extra_length);
  if (std::string_view(names).substr(0, name_length) != e.name) {
    throw_invalid_archive("local file header name does not match the central directory");
  }
  r.data_offset = names_offset + name_length + extra_length;
  if (!inside(r.data_offset, e.compressed_size, byte_size_)) {
    throw_invalid_archive("entry data lies outside the archive");
  }
  r.data_end = r.data_offset + e.compressed_size;
  r.record_end = r.data_end;
  if (e.flags & flag_descriptor) {
    // Sizes and CRC come from the central directory; the descriptor only has to be
    // measured so that a raw copy carries it. Its signature is optional, and its sizes are
    // 64-bit when the entry uses ZIP64 (a ZIP64 field in the local extra, or sizes in the
    // central ZIP64 extra).
    bool zip64 = find_extra_field(std::string_view(names).substr(name_length), zip64_extra_id).has_value() ||
                 e.stored_compressed_size == zip64_marker32 || e.stored_uncompressed_size == zip64_marker32;
    uint64_t length = zip64 ? descriptor64_length : descriptor_length;
    if (inside(r.data_end, 4, byte_size_)) {
      std::string first = read_string(r.data_end, 4);
      if (ReadBuf(first).u32() == descriptor_signature) length += 4;
    }
    if (!inside(r.data_end, length, byte_size_)) throw_invalid_archive("data descriptor lies outside the archive");
    r.record_end = r.data_end + length;
  }
  return r;
}

void Archive::read_raw(uint64_t offset, uint64_t length,
                       const std::function<void(std::string_view)>& sink) const {
  if (!inside(offset, length, byte_size_)) throw_invalid_archive("entry data lies outside the archive");
  if (fd_ < 0) {
    sink(memory_.substr(offset, length));
    return;
  }
  std::string buffer(static_cast<size_t>(std::min<uint64_t>(length, chunk_size)), '\0');
  while (length > 0) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(length, buffer.size()));
    read_at(offset, std::span<char>(buffer.data(), n));
    sink(std::string_view(buffer.data(), n));
    offset += n;
    length -= n;
  }
}

void Archive::read(size_t index, const std::function<void(std::string_view)>& sink) const {
  stream(entry(index), local_record(index), sink);
}

void Archive::stream(const Entry& e, const LocalRecord& r, const std::function<void(std::string_view)>& sink) const {
  uint32_t crc = 0;
  uint64_t produced = 0;
  auto emit = [&](std::string_view piece) {
    if (piece.size() > e.uncompressed_size - produced) throw_io("entry is larger than its declared size");
    produced += piece.size();
    crc = crc32(crc, piece);
    sink(piece);
  };

  if (e.method == static_cast<uint16_t>(Method::Stored)) {
    read_raw(r.data_offset, e.compressed_size, [&](std::string_view piece) {
      // Memory archives hand over the data in one piece; keep the chunks bounded for the sink.
      while (!piece.empty()) {
        size_t n = std::min(piece.size(), chunk_size);
        emit(piece.substr(0, n));
        piece.remove_prefix(n);
      }
    });
  } else if (e.compressed_size > 0 || e.uncompressed_size > 0) {
    // (An empty entry may have no DEFLATE data at all; some writers store it that way.)
    Inflater inflater;
    std::array<char, chunk_size> out;
    std::string input_buffer;
    uint64_t next_in = r.data_offset;
    bool finished = false;
    while (!finished) {
      if (inflater.needs_input()) {
        uint64_t left = r.data_end - next_in;
        if (left == 0) throw_io("unexpected end of compressed data");
        size_t n = static_cast<size_t>(std::min<uint64_t>(left, chunk_size));
        if (fd_ < 0) {
          inflater.set_input(memory_.substr(next_in, n));
        } else {
          input_buffer.resize(n);
          read_at(next_in, input_buffer);
          inflater.set_input(input_buffer);
        }
        next_in += n;
      }
      // Ask for at most one byte beyond the declared size: enough to notice an overrun.
      uint64_t left_out = e.uncompressed_size - produced;
      size_t room = left_out < out.size() ? static_cast<size_t>(left_out) + 1 : out.size();
      size_t n = inflater.inflate(std::span<char>(out.data(), room), finished);
      if (n == 0 && !finished && !inflater.needs_input()) throw_io("corrupt deflate stream: no progress");
      if (n > 0) emit(std::string_view(out.data(), n));
    }
  }
  if (produced != e.uncompressed_size) throw_io("entry is smaller than its declared size");
  if (crc != e.crc32) throw_io("invalid checksum");
}

std::string Archive::read_all(size_t index) const {
  const Entry& e = entry(index);
  LocalRecord r = local_record(index);  // proves the stored data is really there
  uint64_t could_produce = e.method == static_cast<uint16_t>(Method::Stored)
                               ? e.compressed_size
                               : e.compressed_size * max_deflate_ratio + 64;
  std::string out;
  out.reserve(static_cast<size_t>(std::min({e.uncompressed_size, could_produce, max_reservation})));
  stream(e, r, [&](std::string_view piece) { out.append(piece); });
  return out;
}

}  // namespace velmora::zip
