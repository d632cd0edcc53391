// inspect.h - package inspection (every part with size, digest and kind) and the round trip.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "json/pretty_writer.h"
#include "zip/reader.h"

namespace velmora::package {

/// The coarse kind of a part, decided from its name alone.
enum class PartKind { Xml, Relationships, Media, Embedding, Vba, Binary };

struct PartRecord {
  std::string name;
  uint64_t size = 0;   ///< uncompressed bytes
  std::string sha256;  ///< lower-case hex of the uncompressed content
  PartKind kind = PartKind::Binary;
};

struct PackageManifest {
  std::string path;
  std::vector<PartRecord> parts;  ///< sorted by name as byte strings

  bool has_vba() const;
};

PartKind part_kind(std::string_view name);
std::string_view part_kind_name(PartKind kind);

/// Lists every entry of the package at `path`. Throws Io or Zip.
PackageManifest inspect_package(const std::string& path);
/// inspect_package on an open package; `path` is only stored in the result.
PackageManifest inspect_archive(std::string path, const zip::Archive& package);
/// Copies `input` to `output` byte for byte (with the input's permission
/// bits) and returns the inspection of the input under the output's path.
/// The copy is renamed into place only after the inspection succeeded, so a
/// failure leaves `output` as it was.
PackageManifest roundtrip_package(const std::string& input, const std::string& output);

void write_json(json::PrettyWriter& out, const PartRecord& part);
void write_json(json::PrettyWriter& out, const PackageManifest& manifest);

}  // namespace velmora::package
