// inspect.cpp - package inspection and the verbatim round trip.
#include "package/inspect.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "error.h"
#include "package/package.h"
#include "package/sha256.h"
#include "zip/writer.h"

namespace velmora::package {

bool PackageManifest::has_vba() const {
  return std::any_of(parts.begin(), parts.end(),
                     [](const PartRecord& part) { return part.kind == PartKind::Vba; });
}

PartKind part_kind(std::string_view name) {
  if (name.ends_with(".rels")) return PartKind::Relationships;
  if (is_vba_name(name)) return PartKind::Vba;
  if (name.ends_with(".xml")) return PartKind::Xml;
  if (name.starts_with("ppt/media/")) return PartKind::Media;
  if (name.starts_with("ppt/embeddings/")) return PartKind::Embedding;
  return PartKind::Binary;
}

std::string_view part_kind_name(PartKind kind) {
  switch (kind) {
    case PartKind::Xml: return "xml";
    case PartKind::Relationships: return "relationships";
    case PartKind::Media: return "media";
    case PartKind::Embedding: return "embedding";
    case PartKind::Vba: return "vba";
    case PartKind::Binary: return "binary";
  }
  return "binary";
}

PackageManifest inspect_archive(std::string path, const zip::Archive& package) {
  PackageManifest manifest{std::move(path), {}};
  manifest.parts.reserve(package.size());
  for (size_t i = 0; i < package.size(); ++i) {
    const zip::Entry& entry = package.entry(i);
    // Hash while streaming: only one bounded chunk of an entry is held at a time.
    Sha256 hash;
    uint64_t size = 0;
    package.read(i, [&](std::string_view chunk) {
      hash.update(chunk);
      size += chunk.size();
    });
    manifest.parts.push_back({entry.name, size, hash.hex_digest(), part_kind(entry.name)});
  }
  std::stable_sort(manifest.parts.begin(), manifest.parts.end(),
                   [](const PartRecord& a, const PartRecord& b) { return a.name < b.name; });
  return manifest;
}

PackageManifest inspect_package(const std::string& path) {
  return inspect_archive(path, open_package(path));
}

PackageManifest roundtrip_package(const std::string& input, const std::string& output) {
  prepare_output_parent(output);
  const zip::Archive package = open_package(input);
  struct stat info {};
  if (::fstat(package.fd(), &info) != 0) throw_os(errno);
  zip::AtomicFileSink sink(output);
  sink.copy_from(package, 0, static_cast<uint64_t>(info.st_size));
  PackageManifest manifest = inspect_archive(output, package);
  sink.commit(info.st_mode & 07777);
  return manifest;
}

void write_json(json::PrettyWriter& out, const PartRecord& part) {
  out.begin_object();
  out.field("name", part.name);
  out.field("size", part.size);
  out.field("sha256", part.sha256);
  out.field("kind", part_kind_name(part.kind));
  out.end_object();
}

void write_json(json::PrettyWriter& out, const PackageManifest& manifest) {
  out.begin_object();
  out.field("path", manifest.path);
  out.field("parts", manifest.parts);
  out.end_object();
}

}  // namespace velmora::package
