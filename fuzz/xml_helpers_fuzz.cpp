// xml_helpers_fuzz.cpp - runs the text-level search, shape-tree and attribute helpers on arbitrary input.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "error.h"
#include "xml/attributes.h"
#include "xml/escape.h"
#include "xml/reader.h"
#include "xml/shape_tree.h"
#include "xml/text_search.h"
#include "xml/utf8.h"

using namespace velmora;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

/// `find_element_end` by the plain rule: both searches redone every step.
xml::ElementEnd plain_element_end(std::string_view xml, size_t start, std::string_view name) {
  std::string closing = "</";
  closing += name;
  closing += '>';
  size_t pos = std::min(start + 1 + name.size(), xml.size());
  for (size_t depth = 1;;) {
    const std::optional<size_t> open = xml::find_tag_start(xml, pos, name);
    const size_t close = xml.find(closing, pos);
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

void check_element_ends(std::string_view input) {
  for (std::string_view name : {"p:sp", "p:grpSp"}) {
    for (auto at = xml::find_tag_start(input, 0, name); at; at = xml::find_tag_start(input, *at + 1, name)) {
      const xml::ElementEnd fast = xml::find_element_end(input, *at, name);
      const xml::ElementEnd plain = plain_element_end(input, *at, name);
      check(fast.closed == plain.closed && fast.end == plain.end);
    }
  }
}

/// The shape blocks by the plain rule, one backward search and five forward
/// searches per shape, to check the incremental scan against.
std::vector<std::string_view> plain_shape_blocks(std::string_view xml) {
  std::vector<std::string_view> blocks;
  size_t cursor = 0;
  while (const auto shape = xml::find_next_shape_start(xml, cursor)) {
    const std::string_view before = xml.substr(0, shape->position);
    const size_t wrapper = before.rfind("<mc:AlternateContent");
    if (wrapper != std::string_view::npos && before.find("</mc:AlternateContent>", wrapper) == std::string_view::npos) {
      const xml::ElementEnd end = xml::find_element_end(xml, wrapper, "mc:AlternateContent");
      if (end.closed) {
        cursor = end.end;
        continue;
      }
    }
    const xml::ElementEnd end = xml::find_element_end(xml, shape->position, shape->name);
    if (!end.closed) break;
    blocks.push_back(xml.substr(shape->position, end.end - shape->position));
    cursor = end.end;
  }
  return blocks;
}

/// Blocks are ordered slices of the input that start with a shape tag, the
/// same slices the plain rule gives.
void check_blocks(std::string_view input) {
  const std::vector<std::string_view> blocks = xml::extract_shape_blocks(input);
  size_t previous_end = 0;
  for (std::string_view block : blocks) {
    const size_t at = static_cast<size_t>(block.data() - input.data());
    check(at >= previous_end && at + block.size() <= input.size() && block.starts_with("<p:"));
    previous_end = at + block.size();
  }
  const std::vector<std::string_view> plain = plain_shape_blocks(input);
  check(blocks.size() == plain.size());
  for (size_t i = 0; i < blocks.size(); ++i) {
    check(blocks[i].data() == plain[i].data() && blocks[i].size() == plain[i].size());
  }
}

/// A rewritten tag reads back as one tag of the same name and kind.
void check_rewrite(const xml::Event& event) {
  const xml::AttributeUpdate updates[] = {{"id", "<&'\">"}, {"new", "1"}};
  const std::string rewritten = xml::rewrite_event_attributes(event, updates);
  xml::Reader reader(rewritten);
  try {
    const xml::Event again = reader.next();
    check(again.kind == event.kind && again.name() == event.name() && again.raw.size() == rewritten.size());
  } catch (const VelmoraError&) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  check(xml::is_valid_utf8(xml::utf8_lossy(input)));
  check_blocks(input);
  check_element_ends(input);
  xml::max_cnvpr_id(input);
  xml::has_element(input, "sp");
  if (const auto unescaped = xml::unescape(input)) check(xml::is_valid_utf8(*unescaped));
  xml::Reader reader(input);
  try {
    for (xml::Event event = reader.next(); event.kind != xml::EventKind::Eof; event = reader.next()) {
      if (event.is_tag()) check_rewrite(event);
      if (event.kind == xml::EventKind::Reference) xml::xml_reference_content(event);
      if (event.kind == xml::EventKind::Text) xml::xml_text_content(event);
    }
  } catch (const VelmoraError&) {
  }
  return 0;
}
