// shape_extract.cpp - shape summaries from the XML text of a slide: identity, text, formatting, transforms, members.
#include "summary/shape_extract.h"

#include <algorithm>
#include <string>
#include <utility>

#include "summary/tables.h"
#include "summary/text_bodies.h"
#include "summary/text_index.h"
#include "xml/utf8.h"

namespace velmora::summary {
namespace {

// The bytes as text: themselves when they are UTF-8, else decoded into
// `storage` with each invalid sequence replaced by U+FFFD.
std::string_view decoded(std::string_view bytes, std::string& storage) {
  if (xml::is_valid_utf8(bytes)) return bytes;
  storage = xml::utf8_lossy(bytes);
  return storage;
}

std::string_view kind_of(std::string_view block, const TextIndex& index) {
  if (block.starts_with("<p:sp")) return "shape";
  if (block.starts_with("<p:pic")) return index.contains(block, "<a:videoFile") ? "movie" : "picture";
  if (block.starts_with("<p:graphicFrame")) return index.contains(block, "<p:oleObj") ? "ole_object" : "graphic_frame";
  if (block.starts_with("<p:grpSp")) return "group";
  if (block.starts_with("<p:cxnSp")) return "connector";
  return "unknown";
}

std::optional<std::string> attribute_text(const std::optional<std::string_view>& tag, std::string_view name) {
  if (!tag) return std::nullopt;
  const std::optional<std::string_view> value = xml::attribute_value(*tag, name);
  return value ? std::optional<std::string>(*value) : std::nullopt;
}

// The values of `name="..."` anywhere in the block, sorted by bytes, without duplicates.
std::vector<std::string> relationship_ids(const TextIndex& index, std::string_view block) {
  std::vector<std::string> ids;
  for (const std::string_view name : {"r:embed=\"", "r:link=\"", "r:id=\""}) {
    size_t from = 0;
    while (const std::optional<size_t> at = index.find(block, name, from)) {
      const size_t value = *at + name.size();
      const size_t quote = block.find('"', value);
      if (quote == std::string_view::npos) break;
      ids.emplace_back(block.substr(value, quote - value));
      from = quote + 1;
    }
  }
  std::ranges::sort(ids);
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

// A group's members are the shapes after its own properties, up to its closing tag.
std::vector<std::string_view> group_members(const TextIndex& index, std::string_view block) {
  constexpr std::string_view kPropertiesEnd = "</p:grpSpPr>";
  const std::optional<size_t> properties_end = index.find(block, kPropertiesEnd);
  if (!properties_end) return {};
  const size_t begin = *properties_end + kPropertiesEnd.size();
  const size_t end = index.rfind(block, "</p:grpSp>").value_or(block.size());
  if (end <= begin) return {};
  return shape_blocks(index, block.substr(begin, end - begin));
}

/// Summarises the shape blocks of one text, which every block is a slice of.
class ShapeExtractor {
 public:
  explicit ShapeExtractor(std::string_view text) : index_(text), bodies_(text) {}

  const TextIndex& index() const { return index_; }

  /// The top-level shapes of the first shape tree in `text`.
  std::vector<ShapeSummary> tree_shapes(std::string_view text) const {
    constexpr std::string_view kTree = "p:spTree";
    constexpr std::string_view kTreeEnd = "</p:spTree>";
    const std::optional<size_t> start = index_.find_tag_start(text, 0, kTree);
    if (!start) return {};
    const size_t content_begin = text.find('>', *start);
    const xml::ElementEnd end = index_.find_element_end(text, *start, kTree);
    if (content_begin == std::string_view::npos || !end.closed || end.end - kTreeEnd.size() <= content_begin) return {};
    const std::string_view content = text.substr(content_begin + 1, end.end - kTreeEnd.size() - content_begin - 1);
    std::vector<ShapeSummary> shapes;
    for (const std::string_view block : shape_blocks(index_, content)) shapes.push_back(summarize(block, std::nullopt));
    return shapes;
  }

  /// The shape and all its members, built depth first with an explicit stack.
  ShapeSummary summarize(std::string_view block, const std::optional<GroupMapping>& mapping) const {
    struct OpenGroup {
      ShapeSummary* group;
      std::vector<std::string_view> members;
      std::optional<GroupMapping> mapping;
      size_t next = 0;
    };
    std::vector<OpenGroup> open;
    const auto visit = [&](ShapeSummary& shape, std::string_view text, const std::optional<GroupMapping>& placed_by) {
      std::optional<GroupMapping> members_mapping;
      std::vector<std::string_view> members = summarize_one(shape, text, placed_by, members_mapping);
      if (members.empty()) return;
      shape.children.reserve(members.size());  // no reallocation while members are filled in
      open.push_back({&shape, std::move(members), std::move(members_mapping)});
    };
    ShapeSummary root;
    visit(root, block, mapping);
    while (!open.empty()) {
      OpenGroup& top = open.back();
      if (top.next == top.members.size()) {
        open.pop_back();
        continue;
      }
      const std::string_view member = top.members[top.next++];
      const std::optional<GroupMapping> member_mapping = top.mapping;
      visit(top.group->children.emplace_back(), member, member_mapping);
    }
    return root;
  }

 private:
  /// Fills every member of `shape` but its children; returns the member
  /// blocks of a group and sets the mapping they are placed through.
  std::vector<std::string_view> summarize_one(ShapeSummary& shape, std::string_view block,
                                              const std::optional<GroupMapping>& mapping,
                                              std::optional<GroupMapping>& members_mapping) const {
    shape.kind = kind_of(block, index_);
    const std::optional<std::string_view> properties = index_.start_tag(block, "p:cNvPr");
    shape.id = attribute_text(properties, "id");
    shape.name = attribute_text(properties, "name");
    const std::optional<std::string_view> placeholder = index_.start_tag(block, "p:ph");
    shape.is_placeholder = index_.find_tag_start(block, 0, "p:ph").has_value();
    shape.placeholder_type = attribute_text(placeholder, "type");
    shape.placeholder_idx = attribute_text(placeholder, "idx");
    bodies_.fill(shape, block);
    shape.transform = extract_transform(index_, block);
    if (shape.transform) shape.effective_transform = mapping ? map_transform(*shape.transform, *mapping) : *shape.transform;
    shape.tables = extract_tables(index_, block);
    shape.relationship_ids = relationship_ids(index_, block);
    shape.has_chart = index_.contains(block, ":chart");
    shape.has_picture = shape.kind == "picture";
    shape.has_group = block.starts_with("<p:grpSp");
    if (!shape.has_group) return {};
    if (shape.effective_transform) members_mapping = group_mapping(index_, block, *shape.effective_transform);
    return group_members(index_, block);
  }

  TextIndex index_;
  SlideTextBodies bodies_;
};

}  // namespace

std::vector<ShapeSummary> extract_shapes(std::string_view slide_bytes) {
  std::string storage;
  const std::string_view text = decoded(slide_bytes, storage);
  return ShapeExtractor(text).tree_shapes(text);
}

SlideContent extract_slide_content(std::string_view slide_bytes) {
  std::string storage;
  const std::string_view text = decoded(slide_bytes, storage);
  const ShapeExtractor extractor(text);
  return {extractor.tree_shapes(text), extract_tables(extractor.index(), text)};
}

ShapeSummary summarize_shape_block(std::string_view block, const std::optional<GroupMapping>& mapping) {
  return ShapeExtractor(block).summarize(block, mapping);
}

}  // namespace velmora::summary
