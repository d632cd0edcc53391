// content_types.h - "[Content_Types].xml" look-ups and additions, and the media extension tables.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora::package {

/// The `ContentType` of the first `Override` whose `PartName` equals
/// `part_name` (a leading "/" is added when missing); empty text when that
/// override has no content type. Absent when none matches; malformed XML
/// ends the search quietly.
std::optional<std::string> find_content_type_override(std::string_view content_types_xml, std::string_view part_name);

/// The text unchanged when it contains Extension="{extension}" anywhere
/// (a plain, case-sensitive substring test); otherwise a `Default` element
/// with both values escaped (`xml_attr`) is inserted before the last
/// "</Types>". Missing "</Types>": InvalidInput "[Content_Types].xml is
/// missing </Types>".
std::string ensure_default_content_type(std::string_view content_types_xml, std::string_view extension,
                                        std::string_view content_type);

/// As `ensure_default_content_type` for an `Override` element, tested by the
/// substring PartName="{part_name}". Pass the part name with its leading "/".
std::string ensure_content_type_override(std::string_view content_types_xml, std::string_view part_name,
                                         std::string_view content_type);

/// Inserts an `Override` with the values exactly as passed before the last
/// "</Types>", without looking for an existing one. Missing "</Types>":
/// XmlTextDecode "expected closing marker </Types>".
std::string append_content_type_override(std::string_view content_types_xml, std::string_view part_name,
                                         std::string_view content_type);

/// The lower-cased extension of the path's file name, with "jpe", "jpeg" and
/// "jfif" read as "jpg" and "tif" as "tiff". No extension: InvalidInput
/// "image path has no extension: {path}".
std::string image_extension(std::string_view path);

/// The lower-cased extension of the path's file name, without aliases. No
/// extension: InvalidInput "{kind} path has no extension: {path}".
std::string media_extension(std::string_view path, std::string_view kind);

/// The content type of an image extension (png, jpg, jpeg, gif, bmp, tif,
/// tiff). Any other: InvalidInput "unsupported image extension: {extension}".
std::string image_content_type(std::string_view extension);

}  // namespace velmora::package
