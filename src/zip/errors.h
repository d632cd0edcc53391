// errors.h - the failures of the ZIP layer, all raised as Zip errors.
#pragma once

#include <string_view>

namespace velmora::zip {

/// Zip error "invalid Zip archive: {reason}": the bytes are not a well-formed archive.
[[noreturn]] void throw_invalid_archive(std::string_view reason);
/// Zip error "unsupported Zip archive: {reason}": well-formed, but uses a feature we do not read.
[[noreturn]] void throw_unsupported_archive(std::string_view reason);
/// Zip error "specified file not found in archive": a required entry name is absent.
[[noreturn]] void throw_file_not_found();

}  // namespace velmora::zip
