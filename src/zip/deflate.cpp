// deflate.cpp - zlib-backed raw DEFLATE streams and CRC-32.
#include "zip/deflate.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <string>

#include "error.h"

namespace velmora::zip {
namespace {

// zlib counts in uInt; longer inputs are fed in pieces of at most this size.
constexpr size_t max_piece = size_t{1} << 30;
constexpr size_t deflate_out_chunk = 64 * 1024;

std::string zlib_reason(const z_stream& stream, int code) {
  if (stream.msg != nullptr) return stream.msg;
  return "zlib error " + std::to_string(code);
}

}  // namespace

uint32_t crc32(uint32_t crc, std::string_view bytes) {
  uLong value = crc;
  while (!bytes.empty()) {
    size_t n = std::min(bytes.size(), max_piece);
    value = ::crc32(value, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(n));
    bytes.remove_prefix(n);
  }
  return static_cast<uint32_t>(value);
}

struct Inflater::State {
  z_stream stream{};
};

Inflater::Inflater() : state_(std::make_unique<State>()) {
  int code = inflateInit2(&state_->stream, -MAX_WBITS);
  if (code != Z_OK) throw_io("cannot start inflating: " + zlib_reason(state_->stream, code));
}

Inflater::~Inflater() { inflateEnd(&state_->stream); }

void Inflater::set_input(std::string_view input) {
  state_->stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  state_->stream.avail_in = static_cast<uInt>(std::min(input.size(), max_piece));
}

bool Inflater::needs_input() const { return state_->stream.avail_in == 0; }

size_t Inflater::inflate(std::span<char> out, bool& finished) {
  z_stream& s = state_->stream;
  s.next_out = reinterpret_cast<Bytef*>(out.data());
  s.avail_out = static_cast<uInt>(std::min(out.size(), max_piece));
  uInt offered = s.avail_out;
  int code = ::inflate(&s, Z_NO_FLUSH);
  finished = code == Z_STREAM_END;
  if (code != Z_OK && code != Z_STREAM_END && code != Z_BUF_ERROR) {
    // Z_NEED_DICT cannot occur in a raw stream from a sane writer; treat it as corruption too.
    throw_io("corrupt deflate stream: " + zlib_reason(s, code));
  }
  return offered - s.avail_out;
}

struct Deflater::State {
  z_stream stream{};
  std::array<char, deflate_out_chunk> out{};
};

Deflater::Deflater(int level) : state_(std::make_unique<State>()) {
  int code = deflateInit2(&state_->stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  if (code != Z_OK) throw_io("cannot start deflating: " + zlib_reason(state_->stream, code));
}

Deflater::~Deflater() { deflateEnd(&state_->stream); }

void Deflater::reset() { deflateReset(&state_->stream); }

void Deflater::write(std::string_view input, const Output& out) {
  while (!input.empty()) {
    size_t n = std::min(input.size(), max_piece);
    run(input.substr(0, n), Z_NO_FLUSH, out);
    input.remove_prefix(n);
  }
}

void Deflater::finish(const Output& out) { run({}, Z_FINISH, out); }

void Deflater::run(std::string_view input, int flush, const Output& out) {
  z_stream& s = state_->stream;
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  s.avail_in = static_cast<uInt>(input.size());
  for (;;) {
    s.next_out = reinterpret_cast<Bytef*>(state_->out.data());
    s.avail_out = static_cast<uInt>(state_->out.size());
    int code = ::deflate(&s, flush);
    if (code == Z_STREAM_ERROR) throw_io("deflate failed: " + zlib_reason(s, code));
    size_t produced = state_->out.size() - s.avail_out;
    if (produced > 0) out(std::string_view(state_->out.data(), produced));
    // Done when zlib left output space unused (it has nothing more for now) or the stream ended.
    if (code == Z_STREAM_END || (flush != Z_FINISH && s.avail_out != 0)) break;
  }
}

}  // namespace velmora::zip
