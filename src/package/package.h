// package.h - opening input packages, reading parts, and the package rewrite.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "zip/reader.h"
#include "zip/writer.h"

namespace velmora::package {

/// Facts tallied while an output package is written.
struct PackageFacts {
  uint64_t part_count = 0;  ///< entries written, directories and appended parts included
  bool has_vba = false;     ///< some written name ends with "vbaProject.bin"
};

/// True when `name` ends with the 14 characters vbaProject.bin.
bool is_vba_name(std::string_view name);

/// Counts one written entry into `facts`; called before the entry is written.
void update_package_facts(std::string_view name, PackageFacts& facts);

/// Creates the parent directory of `output` and its missing ancestors
/// (0777 before the umask); an existing directory is fine. Throws Io.
void prepare_output_parent(const std::string& output);

/// Opens the input package read-only. Throws Io (open) or Zip (not a ZIP).
zip::Archive open_package(const std::string& input);

/// The part's text, exactly its bytes; absent when the name is not in the
/// archive or the entry cannot be opened. Throws Io for read failures and for
/// bytes that are not UTF-8 ("stream did not contain valid UTF-8").
std::optional<std::string> read_archive_text(const zip::Archive& package, std::string_view name);

/// The part's bytes; absent only when the name is not in the archive. Any
/// other failure to open the entry throws Zip; read failures throw Io.
std::optional<std::string> read_archive_bytes(const zip::Archive& package, std::string_view name);

/// A part the operation cannot do without: a missing name throws the Zip
/// error "specified file not found in archive". The bytes are not checked.
std::string read_required_part(const zip::Archive& package, std::string_view name);

enum class RewriteMode {
  RawCopy,    ///< untouched entries are copied with their compressed bytes and headers
  ReEncode,   ///< every entry is decompressed and written anew (date 1980-01-01)
};

/// What a rewrite changes. Replaced parts keep the position and compression
/// method of the entry they replace; a replaced name absent from the input is
/// not written. Appended parts follow every input entry, DEFLATE-compressed.
struct RewritePlan {
  RewriteMode mode = RewriteMode::RawCopy;
  std::map<std::string, std::string, std::less<>> replaced;
  std::vector<std::pair<std::string, std::string>> appended;
  /// Raw-copy mode: write directory entries anew instead of copying them.
  bool recreate_directories = false;
  /// Re-encoding mode: write directory entries as empty files.
  bool directories_as_files = false;
};

/// Writes the whole output package into `sink` following `plan`.
PackageFacts write_package(const zip::Archive& package, zip::Sink& sink, const RewritePlan& plan);

/// write_package to the file `output`. The package goes to a temporary file
/// beside `output` that is renamed into place only once it is complete, so a
/// failure leaves `output` as it was; `output` may name the input itself.
PackageFacts write_package_file(const zip::Archive& package, const std::string& output,
                                const RewritePlan& plan);

/// The raw-copy rewrite with one replaced part and nothing appended.
PackageFacts write_package_with_replaced_part(const zip::Archive& package, const std::string& output,
                                              std::string_view part_name, std::string new_text);

}  // namespace velmora::package
