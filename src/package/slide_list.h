// slide_list.h - the ordered slide list, slide and layout part names, and slide id edits of the presentation part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "zip/reader.h"

namespace velmora::package {

/// True for "ppt/slides/slide{digits}.xml" (one or more ASCII digits).
bool is_slide_part(std::string_view name);

/// True for "ppt/slideLayouts/slideLayout{digits}.xml".
bool is_slide_layout_part(std::string_view name);

/// The number of a name "ppt/slides/slide{n}.xml": `n` read as an unsigned
/// 64-bit decimal (a leading "+" accepted). Absent for other names and for a
/// middle that is not such a number.
std::optional<uint64_t> slide_number(std::string_view name);

/// The slide part names in presentation order. The order of `p:sldIdLst`
/// (through the presentation's "/slide" relationships) is used when it names
/// exactly the slide parts present, each once; otherwise, including when
/// "ppt/presentation.xml" is missing, all slide parts in natural order.
/// Throws Zip for an entry that cannot be opened, Io for an unreadable
/// presentation or relationship part, Xml for a malformed presentation part.
std::vector<std::string> slide_parts(const zip::Archive& package);

/// Entry `index` of `slide_parts`; absent past its end.
std::optional<std::string> slide_part_at_index(const zip::Archive& package, size_t index);

/// The relationship ids of the slide id list in document order: for every
/// element with local name "sldId", the unescaped value of each attribute
/// whose name ends with ":id" (empty text when it does not unescape).
/// Malformed XML throws Xml.
std::vector<std::string> slide_relationship_ids_in_presentation(std::string_view presentation_xml);

/// One more than the largest numeric `id` of the "sldId" elements, and at
/// least 256. Malformed XML ends the scan quietly with what was found. When
/// the largest id is the largest 64-bit value, no id is left: InvalidInput
/// "no slide id is left after {id}".
uint64_t next_slide_id(std::string_view presentation_xml);

/// The presentation text with `<p:sldId id="{slide_id}" r:id="{relationship_id}"/>`
/// (both values written as passed) appended to the slide id list. Without a
/// list, one is made after "</p:sldMasterIdLst>", or else before "<p:sldSz",
/// "<p:notesSz", "<p:defaultTextStyle" or "</p:presentation>", the first that
/// occurs; a self-closing "<p:sldIdLst/>" is replaced by the new list. No
/// place at all: XmlTextDecode "expected closing marker </p:presentation>".
std::string append_slide_id(std::string_view presentation_xml, uint64_t slide_id, std::string_view relationship_id);

/// "../slideLayouts/{file}" for the layout at `layout_index` among the
/// slide layout parts in natural order: the target as written from a slide.
/// Throws Zip for an entry that cannot be opened and XmlTextDecode "slide
/// layout index {} was not found" past the last layout.
std::string slide_layout_target_at_index(const zip::Archive& package, size_t layout_index);

}  // namespace velmora::package
