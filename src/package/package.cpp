// package.cpp - input packages, part reads, and the package rewrite.
#include "package/package.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "error.h"
#include "xml/utf8.h"
#include "zip/file_path.h"

namespace velmora::package {

bool is_vba_name(std::string_view name) { return name.ends_with("vbaProject.bin"); }

void update_package_facts(std::string_view name, PackageFacts& facts) {
  ++facts.part_count;
  if (is_vba_name(name)) facts.has_vba = true;
}

void prepare_output_parent(const std::string& output) {
  zip::check_file_path(output);
  const std::filesystem::path parent = std::filesystem::path(output).parent_path();
  if (parent.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(parent, ec);
  if (ec) throw_os(ec.value());
}

zip::Archive open_package(const std::string& input) { return zip::Archive::open_file(input); }

std::optional<std::string> read_archive_text(const zip::Archive& package, std::string_view name) {
  const std::optional<size_t> index = package.index_of(name);
  if (!index) return std::nullopt;
  try {
    package.check_open(*index);
  } catch (const VelmoraError&) {
    return std::nullopt;  // an entry that cannot be opened reads as absent
  }
  std::string text = package.read_all(*index);
  if (!xml::is_valid_utf8(text)) throw_io("stream did not contain valid UTF-8");
  return text;
}

std::optional<std::string> read_archive_bytes(const zip::Archive& package, std::string_view name) {
  const std::optional<size_t> index = package.index_of(name);
  if (!index) return std::nullopt;
  return package.read_all(*index);
}

std::string read_required_part(const zip::Archive& package, std::string_view name) {
  const std::optional<size_t> index = package.index_of(name);
  if (!index) zip::throw_file_not_found();
  return package.read_all(*index);
}

namespace {

zip::Method method_of(const zip::Entry& entry) {
  return entry.method == static_cast<uint16_t>(zip::Method::Stored) ? zip::Method::Stored
                                                                   : zip::Method::Deflate;
}

// Streams an input entry into a new entry of the writer, never holding it whole.
void reencode_entry(const zip::Archive& package, size_t index, zip::Writer& writer) {
  const zip::Entry& entry = package.entry(index);
  writer.begin_file(entry.name, method_of(entry));
  package.read(index, [&](std::string_view chunk) { writer.write(chunk); });
  writer.end_file();
}

}  // namespace

PackageFacts write_package(const zip::Archive& package, zip::Sink& sink, const RewritePlan& plan) {
  PackageFacts facts;
  zip::Writer writer(sink);
  for (size_t i = 0; i < package.size(); ++i) {
    const zip::Entry& entry = package.entry(i);
    package.check_open(i);
    update_package_facts(entry.name, facts);
    if (auto replaced = plan.replaced.find(entry.name); replaced != plan.replaced.end()) {
      writer.add_file(entry.name, replaced->second, method_of(entry));
    } else if (plan.mode == RewriteMode::RawCopy) {
      if (entry.is_dir() && plan.recreate_directories) {
        writer.add_directory(entry.name);
      } else {
        writer.copy_raw(package, i);
      }
    } else if (entry.is_dir()) {
      if (plan.directories_as_files) {
        writer.add_file(entry.name, {}, method_of(entry));
      } else {
        writer.add_directory(entry.name);
      }
    } else {
      reencode_entry(package, i, writer);
    }
  }
  for (const auto& [name, content] : plan.appended) {
    update_package_facts(name, facts);
    writer.add_file(name, content, zip::Method::Deflate);
  }
  writer.finish();
  return facts;
}

PackageFacts write_package_file(const zip::Archive& package, const std::string& output,
                                const RewritePlan& plan) {
  zip::AtomicFileSink sink(output);
  const PackageFacts facts = write_package(package, sink, plan);
  sink.commit();
  return facts;
}

PackageFacts write_package_with_replaced_part(const zip::Archive& package, const std::string& output,
                                              std::string_view part_name, std::string new_text) {
  RewritePlan plan;
  plan.replaced.emplace(std::string(part_name), std::move(new_text));
  return write_package_file(package, output, plan);
}

}  // namespace velmora::package
