// paragraphs.h - plain paragraphs of DrawingML text built from a text.
#pragma once

#include <string>
#include <string_view>

namespace velmora::shapes {

/// `text` cut at every line feed, each piece written as
/// "<a:p><a:r><a:t>{piece}</a:t></a:r></a:p>" with the piece escaped (the
/// five characters & < > " ' as entities; carriage returns and tabs stay as
/// they are). A trailing line feed gives a final empty paragraph, and the
/// empty text one paragraph with an empty run. No paragraph or run
/// properties are written.
std::string replacement_paragraphs_xml(std::string_view text);

}  // namespace velmora::shapes
