// error.h - the one failure type of the core library.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace velmora {

/// The five kinds of failure, in the order of their internal numbering.
enum class ErrorKind { Io, Zip, Xml, XmlTextDecode, InvalidInput };

/// A core failure. Core routines throw it; the module frame is the only
/// place that catches it and turns it into a Python exception.
/// `detail` is the text after the kind's prefix; `what()` is the display form
/// ("io error: {detail}", "zip error: {detail}", ...).
class VelmoraError : public std::exception {
 public:
  VelmoraError(ErrorKind kind, std::string detail);

  ErrorKind kind() const noexcept { return kind_; }
  const std::string& detail() const noexcept { return detail_; }
  const char* what() const noexcept override { return display_.c_str(); }

 private:
  ErrorKind kind_;
  std::string detail_;
  std::string display_;
};

/// The display prefix of a kind, "io error: " and so on.
std::string_view error_prefix(ErrorKind kind) noexcept;

[[noreturn]] void throw_io(std::string detail);
/// An operating-system failure: the detail is strerror(errnum), as the
/// system words it (for example "No such file or directory (os error 2)").
[[noreturn]] void throw_os(int errnum);
[[noreturn]] void throw_zip(std::string detail);
[[noreturn]] void throw_xml(std::string detail);
[[noreturn]] void throw_xml_text_decode(std::string detail);
[[noreturn]] void throw_invalid_input(std::string detail);

}  // namespace velmora
