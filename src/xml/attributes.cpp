// attributes.cpp - attribute look-ups and rewriting on events, and element skipping.
#include "xml/attributes.h"

#include <algorithm>
#include <vector>

#include "error.h"
#include "xml/escape.h"
#include "xml/number.h"
#include "xml/utf8.h"

namespace velmora::xml {
namespace {

/// Builds a tag of the same name and form (start or empty) as an event.
class TagBuilder {
 public:
  explicit TagBuilder(const Event& element) : empty_(element.kind == EventKind::Empty) {
    out_ += '<';
    out_ += element.name();
  }
  /// ` key="value"` with the value written as given.
  void add(std::string_view key, std::string_view value, char quote = '"') {
    out_ += ' ';
    out_ += key;
    out_ += '=';
    out_ += quote;
    out_ += value;
    out_ += quote;
  }
  /// ` key="value"` with the value escaped.
  void add_escaped(std::string_view key, std::string_view value) {
    out_ += ' ';
    out_ += key;
    out_ += "=\"";
    append_escaped(out_, value);
    out_ += '"';
  }
  void add_as_read(const Attribute& attribute) { add(attribute.key, attribute.value, attribute.quote); }
  std::string finish() {
    out_ += empty_ ? "/>" : ">";
    return std::move(out_);
  }

 private:
  std::string out_;
  bool empty_;
};

template <typename Update>
const Update* find_update(std::span<const Update> updates, std::string_view key) {
  const auto it = std::ranges::find_if(updates, [&](const Update& update) { return update.first == key; });
  return it == updates.end() ? nullptr : &*it;
}

/// True when some attribute of the element has the key.
bool has_key(const Event& element, std::string_view key) {
  return std::ranges::any_of(element.attributes(), [&](const Attribute& attribute) { return attribute.key == key; });
}

}  // namespace

std::optional<std::string> raw_attribute(const Event& element, std::string_view qualified_name) {
  for (const Attribute& attribute : element.attributes()) {
    if (attribute.key == qualified_name) return utf8_lossy(attribute.value);
  }
  return std::nullopt;
}

std::optional<std::string> drawingml_attribute(const Event& element, std::string_view local) {
  for (const Attribute& attribute : element.attributes()) {
    if (local_name(attribute.key) == local) return utf8_lossy(attribute.value);
  }
  return std::nullopt;
}

std::optional<uint64_t> extract_u64_attr(const Event& element, std::string_view key) {
  for (const Attribute& attribute : element.attributes()) {
    if (attribute.key != key) continue;
    const std::optional<std::string> value = unescape(attribute.value);
    return value ? parse_u64(*value) : std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> extract_rel_id_from_attributes(const Event& element) {
  for (const Attribute& attribute : element.attributes()) {
    if (attribute.key.ends_with(":id")) return unescape(attribute.value);
  }
  return std::nullopt;
}

std::string rewrite_event_attributes(const Event& element, std::span<const AttributeUpdate> updates) {
  TagBuilder tag(element);
  for (const Attribute& attribute : element.attributes()) {
    if (const AttributeUpdate* update = find_update(updates, attribute.key)) {
      tag.add_escaped(attribute.key, update->second);
    } else {
      tag.add_as_read(attribute);
    }
  }
  for (const auto& [key, value] : updates) {
    if (!has_key(element, key)) tag.add_escaped(key, value);
  }
  return tag.finish();
}

std::string rewrite_event_optional_attributes(const Event& element,
                                              std::span<const OptionalAttributeUpdate> updates) {
  TagBuilder tag(element);
  for (const Attribute& attribute : element.attributes()) {
    const OptionalAttributeUpdate* update = find_update(updates, attribute.key);
    if (!update) {
      tag.add_as_read(attribute);
    } else if (update->second) {
      tag.add_escaped(attribute.key, *update->second);
    }
  }
  for (const auto& [key, value] : updates) {
    if (value && !has_key(element, key)) tag.add_escaped(key, *value);
  }
  return tag.finish();
}

std::string with_raw_attributes(const Event& element, std::span<const std::string_view> remove,
                                std::span<const AttributeUpdate> set) {
  TagBuilder tag(element);
  std::vector<bool> used(set.size(), false);
  for (const Attribute& attribute : element.attributes()) {
    if (std::ranges::find(remove, attribute.key) != remove.end()) continue;
    const AttributeUpdate* update = find_update(set, attribute.key);
    if (!update) {
      tag.add_as_read(attribute);
      continue;
    }
    const size_t index = static_cast<size_t>(update - set.data());
    if (!used[index]) tag.add(attribute.key, update->second);
    used[index] = true;
  }
  for (size_t i = 0; i < set.size(); ++i) {
    if (!used[i] && !find_update(set.first(i), set[i].first)) tag.add(set[i].first, set[i].second);
  }
  return tag.finish();
}

void skip_current_element(Reader& reader) {
  size_t depth = 1;
  for (;;) {
    if (reader.at_end()) throw_xml_text_decode("unexpected end of XML while skipping element");
    const Event event = reader.next();
    if (event.kind == EventKind::Start) {
      ++depth;
    } else if (event.kind == EventKind::End && --depth == 0) {
      return;
    }
  }
}

}  // namespace velmora::xml
