// writer.cpp - local headers, streamed entry data, raw copies and the central directory.
#include "zip/writer.h"

#include <algorithm>
#include <utility>

#include "error.h"
#include "zip/deflate.h"
#include "zip/format.h"

namespace velmora::zip {
namespace {

// New entries: 1980-01-01 00:00:00, the earliest DOS date, whatever the clock says.
constexpr uint16_t dos_date_1980 = 0x0021;
constexpr uint16_t dos_time_midnight = 0;
constexpr uint32_t unix_file_attrs = 0100644u << 16;
// Unix directory mode plus the MS-DOS directory bit, which Windows tools look at.
constexpr uint32_t unix_directory_attrs = (040755u << 16) | 0x10;
constexpr uint16_t made_by_unix = (host_unix << 8) | version_default;
constexpr uint32_t crc_field_offset = 14;  // crc32, compressed and uncompressed size follow

[[noreturn]] void throw_too_large() { throw_io("Large file option has not been set"); }

bool is_ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

/// Moves an entry's local header offset to `offset`, keeping the record as it was otherwise.
/// An offset that lived in the ZIP64 extra field is rewritten there; an offset that no longer
/// fits in 32 bits is added to the ZIP64 extra field (created if missing).
void relocate(Entry& e, uint64_t offset) {
  e.local_header_offset = offset;
  std::optional<ExtraField> field = find_extra_field(e.extra, zip64_extra_id);
  // Within the ZIP64 field the offset follows the sizes that are present there.
  size_t at = 8 * ((e.stored_uncompressed_size == zip64_marker32) + (e.stored_compressed_size == zip64_marker32));
  if (e.stored_local_header_offset == zip64_marker32 && field && field->data.size() >= at + 8) {
    std::string value;
    WriteBuf(value).u64(offset);
    e.extra.replace(field->begin + 4 + at, 8, value);
    return;
  }
  if (offset < zip64_marker32) {
    e.stored_local_header_offset = static_cast<uint32_t>(offset);
    return;
  }
  std::string data = field ? std::string(field->data) : std::string();
  std::string value;
  WriteBuf(value).u64(offset);
  data.insert(std::min(at, data.size()), value);
  std::string block;
  WriteBuf(block).u16(zip64_extra_id).u16(static_cast<uint16_t>(data.size())).bytes(data);
  if (field) {
    e.extra.replace(field->begin, field->end - field->begin, block);
  } else {
    e.extra.append(block);
  }
  if (e.extra.size() > 0xffff) throw_zip("extra field is too long for a ZIP64 offset");
  e.stored_local_header_offset = zip64_marker32;
  e.version_needed = std::max(e.version_needed, version_zip64);
}

}  // namespace

struct Writer::Open {
  Entry entry;
  uint32_t crc = 0;
};

Writer::Writer(Sink& sink) : sink_(sink) {}

Writer::~Writer() = default;

void Writer::require_idle() const {
  if (finished_) throw_zip("archive is already finished");
  if (open_) throw_zip("an entry is still being written");
}

void Writer::claim_name(const std::string& name) {
  if (name.size() > 0xffff) throw_zip("entry name is too long");
  if (!is_valid_utf8(name)) throw_zip("entry name is not valid UTF-8");
  if (!names_.insert(name).second) throw_zip("duplicate entry name " + name);
}

void Writer::add_file(std::string_view name, std::string_view content, Method method) {
  if (content.size() > zip64_marker32) throw_too_large();
  begin_file(name, method);
  write(content);
  end_file();
}

void Writer::add_directory(std::string_view name) {
  std::string dir(name);
  if (!dir.ends_with('/')) dir += '/';
  begin_entry(dir, Method::Stored, unix_directory_attrs);
  end_file();
}

void Writer::begin_file(std::string_view name, Method method) { begin_entry(name, method, unix_file_attrs); }

// Policy for entries whose sizes are unknown when their header is written: the local header
// is written with zero CRC and sizes and patched once the data is done, never followed by a
// data descriptor. Every new entry then looks the same whether it was given whole or in
// chunks, and stored entries stay readable by streaming readers (Java's ZipInputStream,
// for one, refuses a stored entry with a descriptor). The price is a seekable target, which
// all our sinks are.
void Writer::begin_entry(std::string_view name, Method method, uint32_t external_attrs) {
  require_idle();
  auto open = std::make_unique<Open>();
  Entry& e = open->entry;
  e.name = name;
  claim_name(e.name);
  e.version_made_by = made_by_unix;
  e.version_needed = version_default;
  e.flags = is_ascii(e.name) ? 0 : flag_utf8;
  e.method = static_cast<uint16_t>(method);
  e.mod_time = dos_time_midnight;
  e.mod_date = dos_date_1980;
  e.external_attrs = external_attrs;
  e.local_header_offset = sink_.position();

  std::string header;
  WriteBuf(header)
      .u32(local_header_signature)
      .u16(e.version_needed)
      .u16(e.flags)
      .u16(e.method)
      .u16(e.mod_time)
      .u16(e.mod_date)
      .u32(0)  // crc32, patched by end_file
      .u32(0)  // compressed size, patched
      .u32(0)  // uncompressed size, patched
      .u16(static_cast<uint16_t>(e.name.size()))
      .u16(0)  // extra length
      .bytes(e.name);
  sink_.write(header);
  if (method == Method::Deflate) {
    if (!deflater_) deflater_ = std::make_unique<Deflater>();
    deflater_->reset();
  }
  open_ = std::move(open);
}

void Writer::write(std::string_view chunk) {
  if (!open_) throw_zip("no entry is being written");
  Entry& e = open_->entry;
  if (chunk.size() > zip64_marker32 - e.uncompressed_size) throw_too_large();
  e.uncompressed_size += chunk.size();
  open_->crc = crc32(open_->crc, chunk);
  auto emit = [&](std::string_view piece) {
    if (piece.size() > zip64_marker32 - e.compressed_size) throw_too_large();
    e.compressed_size += piece.size();
    sink_.write(piece);
  };
  if (e.method == static_cast<uint16_t>(Method::Deflate)) {
    deflater_->write(chunk, emit);
  } else {
    emit(chunk);
  }
}

void Writer::end_file() {
  if (!open_) throw_zip("no entry is being written");
  Entry& e = open_->entry;
  if (e.method == static_cast<uint16_t>(Method::Deflate)) {
    deflater_->finish([&](std::string_view piece) {
      if (piece.size() > zip64_marker32 - e.compressed_size) throw_too_large();
      e.compressed_size += piece.size();
      sink_.write(piece);
    });
  }
  e.crc32 = open_->crc;
  e.stored_compressed_size = static_cast<uint32_t>(e.compressed_size);
  e.stored_uncompressed_size = static_cast<uint32_t>(e.uncompressed_size);
  std::string fields;
  WriteBuf(fields).u32(e.crc32).u32(e.stored_compressed_size).u32(e.stored_uncompressed_size);
  sink_.patch(e.local_header_offset + crc_field_offset, fields);
  relocate(e, e.local_header_offset);
  append_central(e);
  open_.reset();
}

void Writer::copy_raw(const Archive& source, size_t index) {
  require_idle();
  LocalRecord record = source.local_record(index);
  Entry e = source.entry(index);
  claim_name(e.name);
  uint64_t offset = sink_.position();
  sink_.copy_from(source, record.header_offset, record.record_end - record.header_offset);
  relocate(e, offset);
  append_central(e);
}

void Writer::append_central(const Entry& e) {
  WriteBuf(central_)
      .u32(central_header_signature)
      .u16(e.version_made_by)
      .u16(e.version_needed)
      .u16(e.flags)
      .u16(e.method)
      .u16(e.mod_time)
      .u16(e.mod_date)
      .u32(e.crc32)
      .u32(e.stored_compressed_size)
      .u32(e.stored_uncompressed_size)
      .u16(static_cast<uint16_t>(e.name.size()))
      .u16(static_cast<uint16_t>(e.extra.size()))
      .u16(static_cast<uint16_t>(e.comment.size()))
      .u16(e.disk_number_start)
      .u16(e.internal_attrs)
      .u32(e.external_attrs)
      .u32(e.stored_local_header_offset)
      .bytes(e.name)
      .bytes(e.extra)
      .bytes(e.comment);
  ++count_;
}

void Writer::finish() {
  require_idle();
  uint64_t directory_offset = sink_.position();
  uint64_t directory_size = central_.size();
  sink_.write(central_);
  std::string tail;
  WriteBuf out(tail);
  // ZIP64 end records only when a count, size or offset does not fit the classic record.
  if (count_ >= zip64_marker16 || directory_size >= zip64_marker32 || directory_offset >= zip64_marker32) {
    uint64_t record_offset = directory_offset + directory_size;
    out.u32(zip64_end_signature)
        .u64(zip64_end_length - 12)  // size of the rest of this record
        .u16((host_unix << 8) | version_zip64)
        .u16(version_zip64)
        .u32(0)  // this disk
        .u32(0)  // disk with the central directory
        .u64(count_)
        .u64(count_)
        .u64(directory_size)
        .u64(directory_offset);
    out.u32(zip64_locator_signature)
        .u32(0)  // disk with the ZIP64 end record
        .u64(record_offset)
        .u32(1);  // total disks
  }
  out.u32(end_signature)
      .u16(0)  // this disk
      .u16(0)  // disk with the central directory
      .u16(static_cast<uint16_t>(std::min<uint64_t>(count_, zip64_marker16)))
      .u16(static_cast<uint16_t>(std::min<uint64_t>(count_, zip64_marker16)))
      .u32(static_cast<uint32_t>(std::min<uint64_t>(directory_size, zip64_marker32)))
      .u32(static_cast<uint32_t>(std::min<uint64_t>(directory_offset, zip64_marker32)))
      .u16(0);  // comment length
  sink_.write(tail);
  central_.clear();
  finished_ = true;
}

}  // namespace velmora::zip
