// text_search.cpp - text-level search for elements and attributes in raw XML.
#include "xml/text_search.h"

#include <algorithm>

#include "error.h"
#include "xml/concat.h"
#include "xml/number.h"
#include "xml/reader.h"
#include "xml/utf8.h"

namespace velmora::xml {

std::optional<size_t> find_tag_start(std::string_view xml, size_t from, std::string_view name) {
  const std::string needle = concat({"<", name});
  for (size_t at = from <= xml.size() ? xml.find(needle, from) : std::string_view::npos; at != std::string_view::npos;
       at = xml.find(needle, at + 1)) {
    const std::string_view after = xml.substr(at + needle.size());
    if (after.empty()) return std::nullopt;
    if (after.front() == '>' || after.front() == '/' || unicode_space_length(after) > 0) return at;
  }
  return std::nullopt;
}

ElementEnd find_element_end(std::string_view xml, size_t start, std::string_view name) {
  const std::string closing = concat({"</", name, ">"});
  size_t pos = std::min(start + 1 + name.size(), xml.size());
  size_t depth = 1;
  // Each search result stays valid until the scan passes it.
  std::optional<size_t> open = find_tag_start(xml, pos, name);
  size_t close = xml.find(closing, pos);
  for (;;) {
    if (open && *open < pos) open = find_tag_start(xml, pos, name);
    if (close != std::string_view::npos && close < pos) close = xml.find(closing, pos);
    if (close != std::string_view::npos && (!open || close < *open)) {
      pos = close + closing.size();
      if (--depth == 0) return {true, pos};
    } else if (open) {
      pos = *open + 1 + name.size();
      ++depth;
    } else {
      return {false, pos};
    }
  }
}

std::optional<std::string_view> element_start_tag(std::string_view xml, std::string_view name) {
  const std::optional<size_t> start = find_tag_start(xml, 0, name);
  if (!start) return std::nullopt;
  const size_t close = xml.find('>', *start);
  if (close == std::string_view::npos) return std::nullopt;
  return xml.substr(*start, close + 1 - *start);
}

std::string element_prefix(std::string_view name) {
  const size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? std::string() : utf8_lossy(name.substr(0, colon + 1));
}

std::optional<std::string_view> attribute_value(std::string_view text, std::string_view name) {
  const std::string needle = concat({name, "=\""});
  const size_t at = text.find(needle);
  if (at == std::string_view::npos) return std::nullopt;
  const size_t begin = at + needle.size();
  const size_t close = text.find('"', begin);
  if (close == std::string_view::npos) return std::nullopt;
  return text.substr(begin, close - begin);
}

int64_t attribute_i64(std::string_view text, std::string_view name) {
  const std::optional<std::string_view> value = attribute_value(text, name);
  return value ? parse_i64(*value).value_or(0) : 0;
}

bool has_element(std::string_view xml, std::string_view local_name) {
  Reader reader(xml);
  try {
    for (Event event = reader.next(); event.kind != EventKind::Eof; event = reader.next()) {
      if (event.is_tag() && event.local_name() == local_name) return true;
    }
  } catch (const VelmoraError&) {
    // Malformed XML answers "no".
  }
  return false;
}

}  // namespace velmora::xml
