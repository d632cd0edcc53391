// transform.h - a shape's transform as written, and its placement on the slide through enclosing groups.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "summary/records.h"
#include "summary/text_index.h"

namespace velmora::summary {

/// What a group hands to its members: its own placement on the slide (off
/// and ext) and the child coordinate space its members are written in
/// (chOff and chExt).
struct GroupMapping {
  TransformSummary frame;  ///< the group's effective offset and extent
  int64_t child_x = 0;
  int64_t child_y = 0;
  int64_t child_cx = 0;
  int64_t child_cy = 0;
};

/// The first "a:xfrm" of the block (else the first "p:xfrm", the transform
/// of a graphic frame): the x and y of its first "a:off" and the cx and cy
/// of its first "a:ext", each 0 when missing or not an integer. Absent when
/// there is no such element, it is not closed, or "a:off" or "a:ext" is
/// missing. The first one is taken wherever it is in the block.
std::optional<TransformSummary> extract_transform(std::string_view block);
/// The same, for a block that is a slice of the indexed text.
std::optional<TransformSummary> extract_transform(const TextIndex& index, std::string_view block);

/// The mapping a group block hands to its members, given the group's
/// effective transform: absent when the block has no closed "a:xfrm". chOff
/// defaults to (0, 0) and chExt to the group's own extent when missing.
std::optional<GroupMapping> group_mapping(const TextIndex& index, std::string_view group_block,
                                          const TransformSummary& effective);

/// `transform` placed through `mapping`: scaled by ext / chExt on each axis
/// whose chExt is not 0 (rounded half away from zero, saturated to 64
/// bits), only shifted on an axis whose chExt is 0.
TransformSummary map_transform(const TransformSummary& transform, const GroupMapping& mapping);

}  // namespace velmora::summary
