// text_bodies.h - the paragraph passes of a shape summary, run once per slide and shared by its shape blocks.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "summary/paragraph_passes.h"
#include "summary/records.h"

namespace velmora::summary {

/// Every paragraph pass of a shape summary, fed the same events. All passes
/// open and close paragraphs on the same events, so their lists always have
/// the same length.
struct TextBodyScan {
  ParagraphTextPass texts;
  RunTextPass runs;
  LineBreakPass line_breaks;
  FieldPass fields;
  RunPropertyPass bold{"rPr", "b"};
  RunPropertyPass italic{"rPr", "i"};
  RunPropertyPass underline{"rPr", "u"};
  RunPropertyPass font_size{"rPr", "sz"};
  RunPropertyPass font_name{"latin", "typeface"};

  void on(const xml::Event& event, TextElement element);
  bool idle() const;
  size_t paragraph_count() const { return texts.paragraphs.size(); }

  /// Sets the paragraph members of `shape` (paragraphs, text, runs, breaks,
  /// fields and the five run attributes) from paragraphs [first, last).
  void fill(ShapeSummary& shape, size_t first, size_t last) const;
};

/// The passes run once over a whole slide text, with the paragraph range of
/// every shape element. A shape block read on its own gives exactly the
/// paragraphs that the slide-wide run gave between its start and end tags
/// when the block is one element of that run, closed inside it, and every
/// pass was idle at its start tag; otherwise the block has to be read alone.
class SlideTextBodies {
 public:
  explicit SlideTextBodies(std::string_view slide_text);

  /// Sets the paragraph members of `shape` for `block`, a slice of the
  /// slide text: from the slide-wide run where it applies, by reading the
  /// block alone otherwise.
  void fill(ShapeSummary& shape, std::string_view block) const;

 private:
  struct ShapeElement {
    size_t begin = 0;           ///< offset of the start tag
    size_t end = 0;             ///< offset after the matching end tag; 0 while open
    size_t first_paragraph = 0;
    size_t last_paragraph = 0;  ///< one past the last
    bool idle_at_start = false;
  };

  std::string_view text_;
  TextBodyScan scan_;
  std::vector<ShapeElement> shapes_;  ///< in order of their start tags
};

}  // namespace velmora::summary
