// deflate.h - raw DEFLATE streams and CRC-32; the only unit that talks to zlib.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

namespace velmora::zip {

/// CRC-32 of `bytes`, continuing from `crc` (start with 0).
uint32_t crc32(uint32_t crc, std::string_view bytes);

/// Inflates one raw DEFLATE stream (no zlib or gzip wrapper) into caller-sized pieces,
/// so the output held at any time is bounded by the caller's buffer.
class Inflater {
 public:
  Inflater();
  ~Inflater();
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  /// Hands over the next piece of compressed input; it must stay alive until
  /// `needs_input()` is true again.
  void set_input(std::string_view input);
  /// True when all input given so far has been consumed.
  bool needs_input() const;
  /// Inflates into `out` and returns the number of bytes written there; sets `finished`
  /// once the end of the DEFLATE stream is reached. Corrupt data -> Io error.
  size_t inflate(std::span<char> out, bool& finished);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

/// Deflates raw DEFLATE streams at a fixed level; `reset()` starts a new stream reusing
/// the allocated state, so one Deflater serves all entries of an archive.
class Deflater {
 public:
  using Output = std::function<void(std::string_view)>;

  explicit Deflater(int level = 6);
  ~Deflater();
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  void reset();
  /// Compresses `input`, passing compressed bytes to `out` in bounded pieces.
  void write(std::string_view input, const Output& out);
  /// Ends the stream, passing the remaining compressed bytes to `out`.
  void finish(const Output& out);

 private:
  void run(std::string_view input, int flush, const Output& out);

  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace velmora::zip
