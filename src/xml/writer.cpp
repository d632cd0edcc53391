// writer.cpp - event writer: new tags and escaped text.
#include "xml/writer.h"

#include "xml/escape.h"

namespace velmora::xml {

void Writer::text(std::string_view text) { append_escaped(out_, text); }

void Writer::start(std::string_view name, std::span<const RawAttribute> attributes, bool empty) {
  out_ += '<';
  out_ += name;
  for (const auto& [key, value] : attributes) {
    out_ += ' ';
    out_ += key;
    out_ += "=\"";
    out_ += value;
    out_ += '"';
  }
  out_ += empty ? "/>" : ">";
}

void Writer::end(std::string_view name) {
  out_ += "</";
  out_ += name;
  out_ += '>';
}

}  // namespace velmora::xml
