// error.cpp - display forms of VelmoraError.
#include "error.h"

#include <cstring>
#include <utility>

namespace velmora {

std::string_view error_prefix(ErrorKind kind) noexcept {
  switch (kind) {
    case ErrorKind::Io: return "io error: ";
    case ErrorKind::Zip: return "zip error: ";
    case ErrorKind::Xml: return "xml error: ";
    case ErrorKind::XmlTextDecode: return "xml text decode error: ";
    case ErrorKind::InvalidInput: return "invalid input: ";
  }
  return "error: ";
}

VelmoraError::VelmoraError(ErrorKind kind, std::string detail)
    : kind_(kind), detail_(std::move(detail)) {
  display_.reserve(error_prefix(kind_).size() + detail_.size());
  display_ += error_prefix(kind_);
  display_ += detail_;
}

void throw_io(std::string detail) { throw VelmoraError(ErrorKind::Io, std::move(detail)); }

void throw_os(int errnum) {
  std::string text = std::strerror(errnum);
  text += " (os error ";
  text += std::to_string(errnum);
  text += ')';
  throw_io(std::move(text));
}

void throw_zip(std::string detail) { throw VelmoraError(ErrorKind::Zip, std::move(detail)); }
void throw_xml(std::string detail) { throw VelmoraError(ErrorKind::Xml, std::move(detail)); }
void throw_xml_text_decode(std::string detail) {
  throw VelmoraError(ErrorKind::XmlTextDecode, std::move(detail));
}
void throw_invalid_input(std::string detail) {
  throw VelmoraError(ErrorKind::InvalidInput, std::move(detail));
}

}  // namespace velmora
