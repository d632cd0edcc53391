// splice.cpp - text-level splicing: insert before a closing marker, replace an element.
#include "xml/splice.h"

#include "error.h"
#include "xml/concat.h"
#include "xml/utf8.h"

namespace velmora::xml {

std::string insert_before(std::string_view xml, std::string_view marker, std::string_view insertion) {
  std::string text = utf8_lossy(xml);
  const size_t at = text.rfind(marker);
  if (at == std::string::npos) throw_xml_text_decode(concat({"expected closing marker ", marker}));
  text.insert(at, insertion);
  return text;
}

std::string replace_element(std::string_view xml, std::string_view name, std::string_view replacement) {
  const size_t start = xml.find(concat({"<", name}));
  if (start == std::string_view::npos) return std::string(xml);
  const size_t close = xml.find('>', start);
  if (close == std::string_view::npos) return std::string(xml);
  size_t end = close + 1;
  if (xml[close - 1] != '/') {
    const std::string closing = concat({"</", name, ">"});
    const size_t closing_at = xml.find(closing, close);
    if (closing_at == std::string_view::npos) return std::string(xml);
    end = closing_at + closing.size();
  }
  std::string out;
  out.reserve(xml.size() - (end - start) + replacement.size());
  out.append(xml, 0, start).append(replacement).append(xml, end);
  return out;
}

}  // namespace velmora::xml
