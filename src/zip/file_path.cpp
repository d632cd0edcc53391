// file_path.cpp - refusing paths the system calls would read short.
#include "zip/file_path.h"

#include "error.h"

namespace velmora::zip {

void check_file_path(std::string_view path) {
  if (path.find('\0') != std::string_view::npos) throw_io("file name contained an unexpected NUL byte");
}

}  // namespace velmora::zip
