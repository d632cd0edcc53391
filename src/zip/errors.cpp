// errors.cpp - texts of the ZIP layer's failures.
#include "zip/errors.h"

#include <string>

#include "error.h"

namespace velmora::zip {

void throw_invalid_archive(std::string_view reason) {
  throw_zip("invalid Zip archive: " + std::string(reason));
}

void throw_unsupported_archive(std::string_view reason) {
  throw_zip("unsupported Zip archive: " + std::string(reason));
}

void throw_file_not_found() { throw_zip("specified file not found in archive"); }

}  // namespace velmora::zip
