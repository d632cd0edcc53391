// presentation.h - read-only summaries of a presentation package and of its slides.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "package/relationships.h"
#include "summary/records.h"
#include "zip/reader.h"

namespace velmora::summary {

/// Every slide of the package at `path`, in presentation order, and whether
/// the package carries a VBA project. Only reads. Throws Io or Zip when the
/// package cannot be opened or an entry cannot be opened or read, and the
/// slide list's errors; malformed slide XML never fails.
PresentationSummary summarize_presentation(const std::string& path);

/// The slide at zero-based `slide_index` in presentation order. An index
/// past the last slide throws InvalidInput "slide index {} was not found".
SlideSummary summarize_slide_at_index(const std::string& path, uint64_t slide_index);

/// The summary of slide part `slide_part` of an open package. A part
/// missing from the archive throws Zip "specified file not found in archive".
SlideSummary summarize_slide(const zip::Archive& package, const std::string& slide_part);

/// The texts of the slide's notes: the first "/notesSlide" relationship in
/// list order, resolved against the slide part. Empty when there is none or
/// its part is missing or cannot be opened; failing to read it throws Io.
std::vector<std::string> read_notes(const zip::Archive& package, std::string_view slide_part,
                                    const std::vector<package::RelationshipSummary>& relationships);

}  // namespace velmora::summary
