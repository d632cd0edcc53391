// file_path.h - the check every path passes before it reaches the file system.
#pragma once

#include <string_view>

namespace velmora::zip {

/// Throws Io "file name contained an unexpected NUL byte" when `path` holds a
/// NUL byte: the system calls would stop reading the name there and act on a
/// different file than the one named.
void check_file_path(std::string_view path);

}  // namespace velmora::zip
