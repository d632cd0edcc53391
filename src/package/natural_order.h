// natural_order.h - natural ordering of names, so "slide10" sorts after "slide2".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velmora::package {

/// One piece of a natural sort key: a run of non-digits (text) or a run of
/// ASCII digits (its value). The variant's own ordering is the chunk order:
/// texts compare as byte strings, numbers by value, and a text is less than
/// a number.
using NaturalChunk = std::variant<std::string, uint64_t>;

/// `text` cut into maximal runs of ASCII digits and of other bytes, in order.
/// A digit run too long for 64 bits becomes the number 0. The empty text
/// gives the empty key.
std::vector<NaturalChunk> natural_key(std::string_view text);

/// True when `a` comes before `b` in natural order: keys compared chunk by
/// chunk, a key that is a prefix of the other first.
bool natural_less(std::string_view a, std::string_view b);

/// Sorts `names` stably in natural order.
void natural_sort(std::vector<std::string>& names);

}  // namespace velmora::package
