// shape_tree.cpp - navigation of a slide's shape tree on its XML text.
#include "xml/shape_tree.h"

#include <algorithm>
#include <iterator>

#include "xml/escape.h"
#include "xml/number.h"
#include "xml/text_search.h"

namespace velmora::xml {

bool is_shape_element_name(std::string_view local_name) noexcept {
  return std::ranges::any_of(kShapeElementNames, [&](std::string_view name) { return name.substr(2) == local_name; });
}

bool is_shape_tree_shape(std::string_view local_name) noexcept { return is_shape_element_name(local_name); }

uint64_t max_cnvpr_id(std::string_view slide_xml) {
  constexpr std::string_view kTag = "<p:cNvPr";
  constexpr std::string_view kId = "id=\"";
  uint64_t max_id = 0;
  for (size_t at = slide_xml.find(kTag); at != std::string_view::npos; at = slide_xml.find(kTag, at + kTag.size())) {
    const size_t close = slide_xml.find('>', at);
    if (close == std::string_view::npos) break;
    const std::string_view tag = slide_xml.substr(at, close - at);
    const size_t id_at = tag.find(kId);
    if (id_at == std::string_view::npos) continue;
    const size_t begin = id_at + kId.size();
    const size_t end = tag.find('"', begin);
    if (end == std::string_view::npos) continue;
    if (const auto id = parse_u64(tag.substr(begin, end - begin))) max_id = std::max(max_id, *id);
  }
  return max_id;
}

std::optional<ShapeStart> find_next_shape_start(std::string_view xml, size_t from) {
  std::optional<ShapeStart> first;
  for (std::string_view name : kShapeElementNames) {
    const std::optional<size_t> at = find_tag_start(xml, from, name);
    if (at && (!first || *at < first->position)) first = ShapeStart{*at, name};
  }
  return first;
}

namespace {

/// Successive calls of `find_next_shape_start` with growing positions,
/// without rescanning: each name's next tag start is kept until the scan
/// passes it, so a name that no longer occurs is searched for only once.
class ShapeStartScanner {
 public:
  explicit ShapeStartScanner(std::string_view xml) : xml_(xml) {}

  std::optional<ShapeStart> next(size_t from) {
    std::optional<ShapeStart> first;
    for (size_t i = 0; i < std::size(kShapeElementNames); ++i) {
      if (!searched_[i] || (next_[i] && *next_[i] < from)) {
        next_[i] = find_tag_start(xml_, from, kShapeElementNames[i]);
        searched_[i] = true;
      }
      if (next_[i] && (!first || *next_[i] < first->position)) first = ShapeStart{*next_[i], kShapeElementNames[i]};
    }
    return first;
  }

 private:
  std::string_view xml_;
  std::optional<size_t> next_[std::size(kShapeElementNames)];
  bool searched_[std::size(kShapeElementNames)] = {};
};

}  // namespace

std::vector<std::string_view> extract_shape_blocks(std::string_view slide_xml) {
  constexpr std::string_view kWrapper = "mc:AlternateContent";
  constexpr std::string_view kWrapperOpen = "<mc:AlternateContent";
  constexpr std::string_view kWrapperClose = "</mc:AlternateContent>";
  std::vector<std::string_view> blocks;
  ShapeStartScanner scanner(slide_xml);
  // The last wrapper opening before the current shape, found by scanning
  // forward once rather than searching backward from every shape.
  std::optional<size_t> last_wrapper;
  size_t next_wrapper = slide_xml.find(kWrapperOpen);
  size_t cursor = 0;
  while (const std::optional<ShapeStart> shape = scanner.next(cursor)) {
    while (next_wrapper < shape->position) {
      last_wrapper = next_wrapper;
      next_wrapper = slide_xml.find(kWrapperOpen, next_wrapper + 1);
    }
    const std::string_view before = slide_xml.substr(0, shape->position);
    if (last_wrapper && before.find(kWrapperClose, *last_wrapper) == std::string_view::npos) {
      // The shape lies inside an open wrapper: skip the wrapper whole.
      const ElementEnd wrapper_end = find_element_end(slide_xml, *last_wrapper, kWrapper);
      if (wrapper_end.closed) {
        cursor = wrapper_end.end;
        continue;
      }
    }
    const ElementEnd end = find_element_end(slide_xml, shape->position, shape->name);
    if (!end.closed) break;
    blocks.push_back(slide_xml.substr(shape->position, end.end - shape->position));
    cursor = end.end;
  }
  return blocks;
}

std::optional<uint64_t> extract_shape_id_from_event(std::string_view local, AttributeRange attributes) {
  if (local != "cNvPr") return std::nullopt;
  for (const Attribute& attribute : attributes) {
    if (local_name(attribute.key) != "id") continue;
    const std::optional<std::string> value = unescape(attribute.value);
    return value ? parse_u64(*value) : std::nullopt;
  }
  return std::nullopt;
}

}  // namespace velmora::xml
