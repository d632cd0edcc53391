// content_types.cpp - "[Content_Types].xml" look-ups and additions, and the media extension tables.
#include "package/content_types.h"

#include <utility>

#include "error.h"
#include "xml/concat.h"
#include "xml/escape.h"
#include "xml/reader.h"
#include "xml/splice.h"
#include "xml/utf8.h"

namespace velmora::package {
namespace {

constexpr std::string_view kTypesClose = "</Types>";

/// The ensuring routines' shared tail: the text unchanged when `declared`
/// occurs in it, otherwise `element` inserted before the last "</Types>".
std::string ensure_declaration(std::string_view content_types_xml, std::string_view declared,
                               std::string_view element) {
  if (content_types_xml.find(declared) != std::string_view::npos) return std::string(content_types_xml);
  if (content_types_xml.find(kTypesClose) == std::string_view::npos) {
    throw_invalid_input("[Content_Types].xml is missing </Types>");
  }
  return xml::insert_before(content_types_xml, kTypesClose, element);
}

/// The extension of the last path component, as a path library sees it:
/// the text after the component's last "."; none when the component has no
/// ".", when its only "." is its first character, or when it is "..".
std::optional<std::string_view> file_extension(std::string_view path) {
  std::string_view file_name;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t slash = path.find('/', pos);
    if (slash == std::string_view::npos) slash = path.size();
    const std::string_view component = path.substr(pos, slash - pos);
    if (!component.empty() && component != ".") file_name = component;
    pos = slash + 1;
  }
  if (file_name == "..") return std::nullopt;
  const size_t dot = file_name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return std::nullopt;
  return file_name.substr(dot + 1);
}

std::string lower_ascii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string lowered_extension(std::string_view path, std::string_view kind) {
  const std::optional<std::string_view> extension = file_extension(path);
  if (!extension || !xml::is_valid_utf8(*extension)) {
    throw_invalid_input(xml::concat({kind, " path has no extension: ", path}));
  }
  return lower_ascii(*extension);
}

}  // namespace

std::optional<std::string> find_content_type_override(std::string_view content_types_xml, std::string_view part_name) {
  const std::string absolute = part_name.starts_with('/') ? std::string(part_name) : xml::concat({"/", part_name});
  xml::Reader reader(content_types_xml);
  try {
    for (xml::Event event = reader.next(); event.kind != xml::EventKind::Eof; event = reader.next()) {
      if (!event.is_tag() || event.local_name() != "Override") continue;
      std::optional<std::string> name;
      std::optional<std::string> content_type;
      for (const xml::Attribute& attribute : event.attributes()) {
        const std::string_view key = xml::local_name(attribute.key);
        if (key == "PartName") name = xml::unescape(attribute.value);
        if (key == "ContentType") content_type = xml::unescape(attribute.value);
      }
      if (name == absolute) return content_type.value_or(std::string());
    }
  } catch (const VelmoraError&) {
    // Malformed XML ends the search with nothing found.
  }
  return std::nullopt;
}

std::string ensure_default_content_type(std::string_view content_types_xml, std::string_view extension,
                                        std::string_view content_type) {
  return ensure_declaration(
      content_types_xml, xml::concat({"Extension=\"", extension, "\""}),
      xml::concat({"<Default Extension=\"", xml::xml_attr(extension), "\" ContentType=\"", xml::xml_attr(content_type),
                   "\"/>"}));
}

std::string ensure_content_type_override(std::string_view content_types_xml, std::string_view part_name,
                                         std::string_view content_type) {
  return ensure_declaration(
      content_types_xml, xml::concat({"PartName=\"", part_name, "\""}),
      xml::concat({"<Override PartName=\"", xml::xml_attr(part_name), "\" ContentType=\"", xml::xml_attr(content_type),
                   "\"/>"}));
}

std::string append_content_type_override(std::string_view content_types_xml, std::string_view part_name,
                                         std::string_view content_type) {
  const std::string element =
      xml::concat({"<Override PartName=\"", part_name, "\" ContentType=\"", content_type, "\"/>"});
  return xml::insert_before(content_types_xml, kTypesClose, element);
}

std::string image_extension(std::string_view path) {
  std::string extension = lowered_extension(path, "image");
  if (extension == "jpe" || extension == "jpeg" || extension == "jfif") return "jpg";
  if (extension == "tif") return "tiff";
  return extension;
}

std::string media_extension(std::string_view path, std::string_view kind) { return lowered_extension(path, kind); }

std::string image_content_type(std::string_view extension) {
  static constexpr std::pair<std::string_view, std::string_view> kTypes[] = {
      {"png", "image/png"},
      {"jpg", "image/jpeg"},
      {"jpeg", "image/jpeg"},
      {"gif", "image/gif"},
      {"bmp", "image/bmp"},
      {"tif", "image/tiff"},
      {"tiff", "image/tiff"},
  };
  for (const auto& [known, content_type] : kTypes) {
    if (known == extension) return std::string(content_type);
  }
  throw_invalid_input(xml::concat({"unsupported image extension: ", extension}));
}

}  // namespace velmora::package
