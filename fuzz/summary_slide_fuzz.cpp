// summary_slide_fuzz.cpp - summarises arbitrary bytes as a slide; a shape summarises alike alone and in its slide.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "json/pretty_writer.h"
#include "summary/shape_extract.h"
#include "summary/slide_text.h"
#include "summary/tables.h"
#include "summary/text_index.h"
#include "xml/shape_tree.h"
#include "xml/text_search.h"
#include "xml/utf8.h"

using namespace velmora;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

std::string json_of(const summary::ShapeSummary& shape) {
  json::PrettyWriter out;
  write_json(out, shape);
  return out.take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  summary::extract_text_runs(bytes);
  const std::vector<summary::TableSummary> tables = summary::extract_tables(bytes);
  const std::vector<summary::ShapeSummary> shapes = summary::extract_shapes(bytes);
  // Shapes and tables read together are the same as read apart.
  const summary::SlideContent content = summary::extract_slide_content(bytes);
  check(content.tables == tables);
  check(content.shapes.size() == shapes.size());
  for (size_t i = 0; i < shapes.size(); ++i) check(json_of(content.shapes[i]) == json_of(shapes[i]));

  // The same blocks as the plain search finds in the shape tree's content...
  const std::string text = xml::utf8_lossy(bytes);
  const std::optional<size_t> tree = xml::find_tag_start(text, 0, "p:spTree");
  if (!tree) {
    check(shapes.empty());
    return 0;
  }
  const size_t content_begin = text.find('>', *tree);
  const xml::ElementEnd tree_end = xml::find_element_end(text, *tree, "p:spTree");
  const size_t content_end = tree_end.end - std::string_view("</p:spTree>").size();
  if (content_begin == std::string::npos || !tree_end.closed || content_end <= content_begin) {
    check(shapes.empty());
    return 0;
  }
  const std::string_view tree_content = std::string_view(text).substr(content_begin + 1, content_end - content_begin - 1);
  const std::vector<std::string_view> blocks = xml::extract_shape_blocks(tree_content);
  check(blocks.size() == shapes.size());
  // ...each summarised exactly as the block on its own is.
  for (size_t i = 0; i < blocks.size(); ++i) {
    check(json_of(shapes[i]) == json_of(summary::summarize_shape_block(std::string(blocks[i]))));
  }
  return 0;
}
