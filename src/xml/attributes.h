// attributes.h - attribute look-ups and rewriting on start and empty-element events, and element skipping.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "xml/event.h"
#include "xml/reader.h"

namespace velmora::xml {

/// An attribute to set: (qualified name, value).
using AttributeUpdate = std::pair<std::string_view, std::string_view>;
/// An attribute to set or, with an absent value, to remove.
using OptionalAttributeUpdate = std::pair<std::string_view, std::optional<std::string_view>>;

/// The raw (not unescaped) value of the first attribute whose key equals
/// `qualified_name`, decoded as UTF-8 with replacement characters.
std::optional<std::string> raw_attribute(const Event& element, std::string_view qualified_name);

/// The raw value (decoded as UTF-8 with replacement characters, not
/// unescaped) of the first attribute whose local name is `local_name`.
std::optional<std::string> drawingml_attribute(const Event& element, std::string_view local_name);

/// The first attribute whose key is exactly `key` (a single letter such as
/// "w"), unescaped and read as an unsigned decimal number (optional "+");
/// absent when missing or not a number.
std::optional<uint64_t> extract_u64_attr(const Event& element, std::string_view key);

/// The unescaped value of the first attribute whose key ends with ":id"
/// (such as "r:id"); absent when there is none or it cannot be unescaped.
std::optional<std::string> extract_rel_id_from_attributes(const Event& element);

/// A new tag with the element's name: its attributes in order, each as read
/// except that an attribute named in `updates` takes the update's value,
/// escaped (`xml_escape`); then the updates that matched nothing, in order.
/// The result is a start tag for a Start event and ends "/>" for an Empty
/// event. Attributes are written ` key="value"`; a value kept as read keeps
/// its quote character.
std::string rewrite_event_attributes(const Event& element, std::span<const AttributeUpdate> updates);

/// As `rewrite_event_attributes`, but an update without a value removes the
/// attribute it names, and is not appended when the attribute is missing.
std::string rewrite_event_optional_attributes(const Event& element,
                                              std::span<const OptionalAttributeUpdate> updates);

/// A new tag with the element's name: each attribute in order is dropped
/// when its key is in `remove`; otherwise, when its key is set in `set`, it
/// takes that value at its first place (later duplicates of the key are
/// dropped); otherwise it is kept as read. Then the pairs of `set` that
/// matched nothing, in order. Values in `set` are written as given (already
/// valid attribute text). Start or empty-element form as the event.
std::string with_raw_attributes(const Event& element, std::span<const std::string_view> remove,
                                std::span<const AttributeUpdate> set);

/// Consumes the events after a Start event up to and including its matching
/// End event. Throws VelmoraError(XmlTextDecode) "unexpected end of XML while
/// skipping element" when the input ends first, and the reader's
/// VelmoraError(Xml) on malformed XML.
void skip_current_element(Reader& reader);

}  // namespace velmora::xml
