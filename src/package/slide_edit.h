// slide_edit.h - the common road of an edit that changes one slide: open the
// input, find the slide by index, read it, and write the package back with
// that slide replaced.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "package/package.h"
#include "zip/reader.h"

namespace velmora::package {

/// An open input package with one slide read as text.
struct SlideEdit {
  zip::Archive package;
  uint64_t slide_index = 0;
  std::string slide_part;
  std::string slide_xml;
};

/// Creates the output's parent directory, opens the input and reads the
/// slide at `slide_index` (presentation order). Throws InvalidInput "slide
/// index {} was not found" or "slide part {} was not found", and the Io and
/// Zip failures of opening and reading.
SlideEdit open_slide_edit(const std::string& input, const std::string& output, uint64_t slide_index);

/// Writes the output package with the slide part replaced by `new_xml` and
/// every other entry copied raw; returns the package facts.
PackageFacts write_slide_edit(const SlideEdit& edit, const std::string& output, std::string new_xml);

/// Fails with InvalidInput "slide XML is missing </p:spTree>" when the slide
/// has no shape tree end to insert before.
void require_shape_tree_end(std::string_view slide_xml);

/// `slide_xml` with `shapes` inserted before its last "</p:spTree>", so they
/// become the last (topmost) shapes of the slide. Checks the marker first.
std::string insert_into_shape_tree(std::string_view slide_xml, std::string_view shapes);

}  // namespace velmora::package
