// format.h - ZIP record signatures, fixed lengths and little-endian cursors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::zip {

// Record signatures and the fixed part of each record; the comment says what follows it.
inline constexpr uint32_t local_header_signature = 0x04034b50;
inline constexpr uint32_t local_header_length = 30;  // + name + extra
inline constexpr uint32_t central_header_signature = 0x02014b50;
inline constexpr uint32_t central_header_length = 46;  // + name + extra + comment
inline constexpr uint32_t end_signature = 0x06054b50;
inline constexpr uint32_t end_length = 22;  // + comment
inline constexpr uint32_t zip64_end_signature = 0x06064b50;
inline constexpr uint32_t zip64_end_length = 56;  // + extensible data
inline constexpr uint32_t zip64_locator_signature = 0x07064b50;
inline constexpr uint32_t zip64_locator_length = 20;
inline constexpr uint32_t descriptor_signature = 0x08074b50;  // optional at the start of a descriptor
inline constexpr uint32_t descriptor_length = 12;             // crc32, 32-bit sizes; + 4 with signature
inline constexpr uint32_t descriptor64_length = 20;           // crc32, 64-bit sizes; + 4 with signature

inline constexpr uint16_t zip64_extra_id = 0x0001;
inline constexpr uint32_t max_comment_length = 0xffff;

// Field values meaning "the real value is in the ZIP64 record or extra field".
inline constexpr uint16_t zip64_marker16 = 0xffff;
inline constexpr uint32_t zip64_marker32 = 0xffffffff;

// General purpose flag bits.
inline constexpr uint16_t flag_encrypted = 0x0001;
inline constexpr uint16_t flag_descriptor = 0x0008;
inline constexpr uint16_t flag_utf8 = 0x0800;

// Versions ("needed to extract" and the low byte of "made by") and the host system of our entries.
inline constexpr uint16_t version_default = 20;
inline constexpr uint16_t version_zip64 = 45;
inline constexpr uint16_t host_unix = 3;

/// Reads little-endian fields from a byte span. Reading past the end is the caller's bug:
/// callers check `remaining()` (or a fixed record length) first.
class ReadBuf {
 public:
  explicit ReadBuf(std::string_view bytes) : bytes_(bytes) {}

  uint16_t u16() { return static_cast<uint16_t>(take(2)); }
  uint32_t u32() { return static_cast<uint32_t>(take(4)); }
  uint64_t u64() { return take(8); }
  std::string_view bytes(size_t n) {
    std::string_view out = bytes_.substr(0, n);
    bytes_.remove_prefix(n);
    return out;
  }
  void skip(size_t n) { bytes_.remove_prefix(n); }
  size_t remaining() const { return bytes_.size(); }

 private:
  uint64_t take(size_t n) {
    uint64_t value = 0;
    for (size_t i = 0; i < n; ++i) value |= uint64_t{static_cast<unsigned char>(bytes_[i])} << (8 * i);
    bytes_.remove_prefix(n);
    return value;
  }

  std::string_view bytes_;
};

/// Appends little-endian fields to a string.
class WriteBuf {
 public:
  explicit WriteBuf(std::string& out) : out_(out) {}

  WriteBuf& u16(uint16_t v) { return put(v, 2); }
  WriteBuf& u32(uint32_t v) { return put(v, 4); }
  WriteBuf& u64(uint64_t v) { return put(v, 8); }
  WriteBuf& bytes(std::string_view b) {
    out_.append(b);
    return *this;
  }

 private:
  WriteBuf& put(uint64_t v, size_t n) {
    for (size_t i = 0; i < n; ++i) out_.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
    return *this;
  }

  std::string& out_;
};

/// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or values above
/// U+10FFFF). Entry names must be: writers do not reliably set the UTF-8 flag, so the
/// bytes themselves are checked.
bool is_valid_utf8(std::string_view text);

/// One field of an extra-field block: [begin, end) spans its 4-byte header and its data.
struct ExtraField {
  size_t begin = 0;
  size_t end = 0;
  std::string_view data;
};

/// The first field with header id `id` in an extra-field block. A field whose declared
/// length runs past the block ends the search (the rest is unreadable).
inline std::optional<ExtraField> find_extra_field(std::string_view extra, uint16_t id) {
  ReadBuf buf(extra);
  while (buf.remaining() >= 4) {
    size_t begin = extra.size() - buf.remaining();
    uint16_t field_id = buf.u16();
    uint16_t length = buf.u16();
    if (length > buf.remaining()) break;
    std::string_view data = buf.bytes(length);
    if (field_id == id) return ExtraField{begin, begin + 4 + length, data};
  }
  return std::nullopt;
}

}  // namespace velmora::zip
