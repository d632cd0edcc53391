// zip_reader_fuzz.cpp - opens the input as an archive, reads every entry, raw-copies what can be
// opened into a new archive and checks that the copy reads back identically.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "error.h"
#include "zip/reader.h"
#include "zip/sink.h"
#include "zip/writer.h"

using namespace velmora;

namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "zip_reader_fuzz: %s\n", what);
    std::abort();
  }
}

/// The entry's content, or the text of the error reading it.
struct Outcome {
  std::optional<std::string> content;
  std::string error;
  bool operator==(const Outcome&) const = default;
};

Outcome read_entry(const zip::Archive& archive, size_t index) {
  try {
    return {archive.read_all(index), {}};
  } catch (const VelmoraError& e) {
    return {std::nullopt, e.what()};
  }
}

std::string_view local_bytes(std::string_view bytes, const zip::Archive& archive, size_t index) {
  zip::LocalRecord r = archive.local_record(index);
  return bytes.substr(r.header_offset, r.record_end - r.header_offset);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::optional<zip::Archive> source;
  try {
    source.emplace(zip::Archive::open_memory(bytes));
  } catch (const VelmoraError&) {
    return 0;
  }

  zip::MemorySink sink;
  zip::Writer writer(sink);
  std::vector<size_t> copied;
  std::vector<Outcome> outcomes;
  for (size_t i = 0; i < source->size(); ++i) {
    Outcome outcome = read_entry(*source, i);
    try {
      writer.copy_raw(*source, i);
    } catch (const VelmoraError&) {
      check(!outcome.content, "an entry that reads could not be copied");
      continue;
    }
    copied.push_back(i);
    outcomes.push_back(std::move(outcome));
  }
  writer.finish();
  std::string out = sink.take();

  // The copy must open, list the copied entries with the same records, hold the same local
  // bytes, and read each entry to the same content (or the same error).
  std::optional<zip::Archive> copy;
  try {
    copy.emplace(zip::Archive::open_memory(out));
  } catch (const VelmoraError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    check(false, "the raw copy does not open");
  }
  check(copy->size() == copied.size(), "entry count changed");
  for (size_t j = 0; j < copied.size(); ++j) {
    const zip::Entry& a = source->entry(copied[j]);
    const zip::Entry& b = copy->entry(j);
    check(a.name == b.name && a.flags == b.flags && a.method == b.method && a.crc32 == b.crc32 &&
              a.compressed_size == b.compressed_size && a.uncompressed_size == b.uncompressed_size &&
              a.mod_time == b.mod_time && a.mod_date == b.mod_date && a.external_attrs == b.external_attrs &&
              a.comment == b.comment,
          "central record changed");
    check(local_bytes(out, *copy, j) == local_bytes(bytes, *source, copied[j]), "local record bytes changed");
    check(read_entry(*copy, j) == outcomes[j], "the copy reads differently");
  }
  return 0;
}
