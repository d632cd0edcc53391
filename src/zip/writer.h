// writer.h - writes a ZIP archive: new entries, streamed entries and raw copies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "zip/reader.h"
#include "zip/sink.h"

namespace velmora::zip {

class Deflater;

/// Writes entries in call order to a Sink, then the central directory (finish()).
/// New entries carry the date 1980-01-01 00:00:00, Unix permissions, version needed 20 and
/// the UTF-8 flag when the name has non-ASCII bytes; they are never ZIP64 (more than
/// 0xFFFFFFFF bytes -> Io "Large file option has not been set"). ZIP64 fields appear only
/// where offsets or counts need them. Entry names must be valid UTF-8 and unique (Zip error).
class Writer {
 public:
  explicit Writer(Sink& sink);
  ~Writer();
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  /// A regular file (mode 0644) with all its content at hand, stored or DEFLATE level 6.
  void add_file(std::string_view name, std::string_view content, Method method);
  /// A directory entry (mode 040755), stored and empty; the name gains a trailing '/'.
  void add_directory(std::string_view name);

  /// A regular file whose content arrives in chunks: begin_file, write..., end_file.
  void begin_file(std::string_view name, Method method);
  void write(std::string_view chunk);
  void end_file();

  /// Copies entry `index` of `source` without decompressing: local header, name, extra,
  /// stored data and any data descriptor byte for byte (source.check_open runs first). Its
  /// central record is the source's, with only the local header offset changed.
  void copy_raw(const Archive& source, size_t index);

  /// Writes the central directory and the end records. Nothing may be added afterwards.
  void finish();

 private:
  struct Open;  // the entry being written, between begin and end

  void begin_entry(std::string_view name, Method method, uint32_t external_attrs);
  void claim_name(const std::string& name);
  void require_idle() const;
  void append_central(const Entry& e);

  Sink& sink_;
  std::string central_;  // central directory records written so far
  uint64_t count_ = 0;
  std::unordered_set<std::string> names_;
  std::unique_ptr<Deflater> deflater_;  // made at the first DEFLATE entry, reset per entry
  std::unique_ptr<Open> open_;
  bool finished_ = false;
};

}  // namespace velmora::zip
