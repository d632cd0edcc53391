// xml_tokenizer_fuzz.cpp - tokenizes the input, writes every event back and checks the bytes match.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "error.h"
#include "xml/event.h"
#include "xml/reader.h"
#include "xml/writer.h"

using namespace velmora;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

/// Every view an event hands out lies inside its raw bytes.
void check_views(const xml::Event& event) {
  const auto inside = [&](std::string_view part) {
    const char* raw_end = event.raw.data() + event.raw.size();
    return part.empty() || (part.data() >= event.raw.data() && part.data() + part.size() <= raw_end);
  };
  check(inside(event.name()));
  check(inside(event.content()));
  for (const xml::Attribute& attribute : event.attributes()) {
    check(!attribute.key.empty() && inside(attribute.key) && inside(attribute.value));
    check(attribute.value.find(attribute.quote) == std::string_view::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  xml::Reader reader(input);
  xml::Writer writer;
  bool failed = false;
  try {
    for (xml::Event event = reader.next(); event.kind != xml::EventKind::Eof; event = reader.next()) {
      check(event.offset == writer.str().size() && !event.raw.empty());
      check_views(event);
      writer.write(event);
    }
  } catch (const VelmoraError& error) {
    check(error.kind() == ErrorKind::Xml);
    check(reader.next().kind == xml::EventKind::Eof);
    failed = true;
  }
  // Up to the error (or to the end) the events reproduce the input exactly.
  check(writer.str() == input.substr(0, reader.position()));
  check(failed || reader.position() == input.size());
  return 0;
}
