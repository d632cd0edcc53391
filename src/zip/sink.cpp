// sink.cpp - memory, file and atomically replaced file targets for archives.
#include "zip/sink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "error.h"
#include "zip/errors.h"
#include "zip/file_path.h"
#include "zip/reader.h"

namespace velmora::zip {
namespace {

constexpr size_t buffer_capacity = 256 * 1024;
constexpr size_t copy_chunk = size_t{1} << 30;
constexpr size_t max_temp_base = 200;
constexpr int max_link_hops = 40;

void write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      throw_os(errno);
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

void pwrite_all(int fd, std::string_view bytes, uint64_t offset) {
  while (!bytes.empty()) {
    ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw_os(errno);
    }
    bytes.remove_prefix(static_cast<size_t>(n));
    offset += static_cast<uint64_t>(n);
  }
}

}  // namespace

Sink::~Sink() = default;

void Sink::copy_from(const Archive& source, uint64_t offset, uint64_t length) {
  source.read_raw(offset, length, [this](std::string_view piece) { write(piece); });
}

void MemorySink::write(std::string_view bytes) { data_.append(bytes); }

void MemorySink::patch(uint64_t offset, std::string_view bytes) {
  data_.replace(static_cast<size_t>(offset), bytes.size(), bytes);
}

std::string MemorySink::take() { return std::exchange(data_, {}); }

namespace {

int create_file(const std::string& path) {
  check_file_path(path);
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

}  // namespace

FileSink::FileSink(const std::string& path) : FileSink(create_file(path)) {}

FileSink::FileSink(int fd) : fd_(fd) {
  if (fd_ < 0) throw_os(errno);
  buffer_.reserve(buffer_capacity);
}

FileSink::~FileSink() {
  if (fd_ >= 0) ::close(fd_);
}

void FileSink::flush() {
  write_all(fd_, buffer_);
  flushed_ += buffer_.size();
  buffer_.clear();
}

void FileSink::write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > buffer_capacity) {
    flush();
    if (bytes.size() >= buffer_capacity) {
      write_all(fd_, bytes);
      flushed_ += bytes.size();
      return;
    }
  }
  buffer_.append(bytes);
}

void FileSink::patch(uint64_t offset, std::string_view bytes) {
  // A header written moments ago is usually still in the buffer.
  if (offset >= flushed_) {
    buffer_.replace(static_cast<size_t>(offset - flushed_), bytes.size(), bytes);
    return;
  }
  flush();
  pwrite_all(fd_, bytes, offset);
}

void FileSink::copy_from(const Archive& source, uint64_t offset, uint64_t length) {
  if (source.fd() < 0) {
    Sink::copy_from(source, offset, length);
    return;
  }
  if (offset > source.byte_size() || length > source.byte_size() - offset) {
    throw_invalid_archive("entry data lies outside the archive");
  }
  flush();
  auto in_offset = static_cast<off_t>(offset);
  while (length > 0) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(length, copy_chunk));
    ssize_t n = ::copy_file_range(source.fd(), &in_offset, fd_, nullptr, want, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
      // Not possible between these two files (file systems, kernel): copy the rest by hand.
      Sink::copy_from(source, static_cast<uint64_t>(in_offset), length);
      return;
    }
    if (n < 0) throw_os(errno);
    if (n == 0) throw_io("unexpected end of file");
    length -= static_cast<uint64_t>(n);
    flushed_ += static_cast<uint64_t>(n);
  }
}

void FileSink::close() {
  flush();
  int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) throw_os(errno);
}

AtomicFileSink::Temp AtomicFileSink::create_temp(const std::string& path) {
  check_file_path(path);
  // A symbolic link at `path` is followed, link after link, to the file it names: that
  // file gets the new content and the link stays as it is.
  std::string target = path;
  for (int hops = 0; hops < max_link_hops; ++hops) {
    std::error_code error;
    const std::filesystem::path link(target);
    if (!std::filesystem::is_symlink(link, error)) break;
    const std::filesystem::path next = std::filesystem::read_symlink(link, error);
    if (error) break;
    target = (next.is_absolute() ? next : link.parent_path() / next).string();
  }
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode)) {
    // A pipe or a device has no content to keep, and renaming over it would remove it:
    // the output is written into it directly.
    int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) throw_os(errno);
    return Temp{std::move(target), std::string(), fd};
  }
  size_t slash = target.rfind('/');
  std::string directory = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  // The temporary name is "." + base + ".tmp-XXXXXX"; base is shortened so that
  // the whole stays within the system's name limit whatever the target's length.
  std::string base = (slash == std::string::npos ? target : target.substr(slash + 1)).substr(0, max_temp_base);
  std::string temp = directory + "." + base + ".tmp-XXXXXX";
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);  // O_EXCL with a fresh unique name
  if (fd < 0) throw_os(errno);
  return Temp{std::move(target), std::move(temp), fd};
}

AtomicFileSink::AtomicFileSink(const std::string& path) : AtomicFileSink(create_temp(path)) {}

AtomicFileSink::AtomicFileSink(Temp temp)
    : FileSink(temp.fd), path_(std::move(temp.target)), temp_path_(std::move(temp.path)) {}

AtomicFileSink::~AtomicFileSink() {
  if (!committed_ && !temp_path_.empty()) ::unlink(temp_path_.c_str());
}

void AtomicFileSink::commit(std::optional<mode_t> mode) {
  if (temp_path_.empty()) {  // written into a pipe or device directly
    close();
    committed_ = true;
    return;
  }
  if (!mode) {
    // Content replaced, not the file: an existing file keeps its permission bits, as
    // it would if it were truncated and written; a new one gets 0666 under the umask.
    struct stat existing {};
    if (::stat(path_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
      mode = existing.st_mode & 07777;
    } else {
      mode_t mask = ::umask(0);
      ::umask(mask);
      mode = 0666 & ~mask;
    }
  }
  flush();
  if (::fchmod(fd(), *mode) != 0) throw_os(errno);
  close();
  if (::rename(temp_path_.c_str(), path_.c_str()) != 0) throw_os(errno);
  committed_ = true;
}

}  // namespace velmora::zip
