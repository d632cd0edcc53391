// shape_extract.h - shape summaries from the XML text of a slide: identity, text, formatting, transforms, members.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "summary/records.h"
#include "summary/transform.h"

namespace velmora::summary {

/// The top-level shapes of the slide's first "p:spTree", in document order;
/// shapes wrapped in "mc:AlternateContent" are left out. The bytes are
/// decoded as UTF-8 with invalid sequences replaced by U+FFFD. Empty when
/// the shape tree is missing or not closed. Never fails: malformed XML only
/// shortens what is extracted.
std::vector<ShapeSummary> extract_shapes(std::string_view slide_bytes);

/// The shapes of a slide (extract_shapes) and every table in it
/// (extract_tables), from one decoding and indexing of its bytes.
struct SlideContent {
  std::vector<ShapeSummary> shapes;
  std::vector<TableSummary> tables;
};
SlideContent extract_slide_content(std::string_view slide_bytes);

/// The summary of one shape block, the text of one complete shape element,
/// placed through `mapping` when it is a member of a group. A group's
/// members are summarised as its children, each through the group's own
/// mapping. Nesting depth is bounded only by memory.
ShapeSummary summarize_shape_block(std::string_view block, const std::optional<GroupMapping>& mapping = std::nullopt);

}  // namespace velmora::summary
