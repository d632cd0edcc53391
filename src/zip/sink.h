// sink.h - the targets an archive is written to: memory, a file, a file replaced atomically.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::zip {

class Archive;

/// Where an archive is written. Positions count bytes written since the sink was made.
class Sink {
 public:
  virtual ~Sink();
  virtual void write(std::string_view bytes) = 0;
  virtual uint64_t position() const = 0;
  /// Overwrites bytes written earlier at `offset` (offset + size <= position()); the writer
  /// uses it to fill in the sizes and CRC of a streamed entry's local header.
  virtual void patch(uint64_t offset, std::string_view bytes) = 0;
  /// Copies `length` raw bytes at `offset` of `source`. This default reads them in bounded
  /// chunks and writes them; FileSink copies file to file in the kernel where it can.
  virtual void copy_from(const Archive& source, uint64_t offset, uint64_t length);
};

/// Collects the archive in a string.
class MemorySink : public Sink {
 public:
  void write(std::string_view bytes) override;
  uint64_t position() const override { return data_.size(); }
  void patch(uint64_t offset, std::string_view bytes) override;
  /// Hands over the bytes written so far, leaving the sink empty.
  std::string take();

 private:
  std::string data_;
};

/// Writes to a file through a 256 KiB buffer. Creation failure -> throw_os; write failures -> Io.
/// Nothing is flushed on destruction: an archive is complete only after close().
class FileSink : public Sink {
 public:
  /// Creates `path`, truncating an existing file (permission bits 0666 before the umask).
  explicit FileSink(const std::string& path);
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  void write(std::string_view bytes) override;
  uint64_t position() const override { return flushed_ + buffer_.size(); }
  void patch(uint64_t offset, std::string_view bytes) override;
  /// Uses copy_file_range when `source` is a file, falling back to buffered reads and writes
  /// where the kernel cannot copy between the two files.
  void copy_from(const Archive& source, uint64_t offset, uint64_t length) override;
  /// Writes out the buffer and closes the file.
  void close();

 protected:
  /// Takes ownership of an open file descriptor.
  explicit FileSink(int fd);
  void flush();
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
  uint64_t flushed_ = 0;
  std::string buffer_;
};

/// Writes to a temporary file created (O_EXCL, unique name) in the directory of `path`.
/// commit() flushes, sets the permission bits and renames the file onto `path`. Destroyed
/// without commit() (any failure on the way), it removes the temporary file, so `path`
/// keeps whatever it had. A symbolic link at `path` is followed: the file it names is
/// replaced and the link stays. An existing pipe or device is written into directly
/// (no temporary file; an entry too large for the buffer then fails on the unseekable
/// target).
class AtomicFileSink : public FileSink {
 public:
  /// Creation failure -> throw_os.
  explicit AtomicFileSink(const std::string& path);
  ~AtomicFileSink() override;

  /// `mode` defaults to the permission bits of the file being replaced, or 0666 with the
  /// process umask applied when there is none.
  void commit(std::optional<mode_t> mode = std::nullopt);

 private:
  struct Temp {
    std::string target;  // the file to replace, links followed
    std::string path;    // the temporary file; empty when writing into a pipe or device
    int fd;
  };
  static Temp create_temp(const std::string& path);
  explicit AtomicFileSink(Temp temp);

  std::string path_;
  std::string temp_path_;
  bool committed_ = false;
};

}  // namespace velmora::zip
