// paragraph_passes.h - event passes over text bodies: paragraph texts, runs, line breaks, fields and run attributes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "error.h"
#include "summary/records.h"
#include "xml/event.h"
#include "xml/reader.h"

namespace velmora::summary {

// Elements are recognised by local name, whatever their prefix: a paragraph
// is "p", a run "r", a text element "t", a line break "br", a field "fld".
//
// Every pass below collects one entry per paragraph: at the end tag of a
// paragraph it was inside, and at each empty-element paragraph. A pass is
// idle when all its flags are clear; fed the same events from idle, a pass
// produces the same entries wherever those events sit in a larger document.

/// What a tag is to the passes. Every pass takes an event with its kind of
/// element, so that several passes fed the same event classify it once.
enum class TextElement { Paragraph, Run, Text, LineBreak, Field, Other };

/// The kind of element of a start, end or empty tag; Other for other events.
TextElement text_element(const xml::Event& event);

/// Appends to `out` the text of a Text event (UTF-8 with line ends
/// normalised; undecodable text is skipped) or of a Reference event (its
/// character, or the reference as written for unknown entities). Other
/// events add nothing.
void append_character_data(std::string& out, const xml::Event& event);

/// Feeds every event of `xml` to each pass in document order, until the end
/// of the input or the first XML error. Entries gathered before an error
/// are kept; a paragraph left unfinished by it is dropped.
template <class... Passes>
void run_passes(std::string_view xml, Passes&... passes) {
  xml::Reader reader(xml);
  try {
    for (xml::Event event = reader.next(); event.kind != xml::EventKind::Eof; event = reader.next()) {
      const TextElement element = text_element(event);
      (passes.on(event, element), ...);
    }
  } catch (const VelmoraError&) {
    // Malformed XML shortens what is extracted; it is not a failure.
  }
}

/// The bookkeeping the passes share for an element whose content they
/// collect: a paragraph, or a run or field inside one. `content` is the
/// element's content while `inside`; on() hands it back whole at the end
/// tag, and hands back an empty content at an empty-element tag.
template <class Content>
struct ElementCollector {
  Content content;
  bool inside = false;

  /// Handles a start, end or empty tag of the element. `may_open` says
  /// whether the element counts where it opens (runs and fields only inside
  /// a paragraph); an open element is closed by its end tag wherever it is.
  std::optional<Content> on(const xml::Event& event, bool may_open = true) {
    if (event.is_empty()) {
      // std::in_place keeps the result engaged when Content is an optional.
      if (may_open) return std::optional<Content>(std::in_place);
    } else if (event.is_start()) {
      if (may_open) {
        content = Content();
        inside = true;
      }
    } else if (inside) {
      inside = false;
      return std::optional<Content>(std::in_place, std::exchange(content, Content()));
    }
    return std::nullopt;
  }
};

/// The text of each paragraph: its text elements' content in order, with
/// "\v" (U+000B) for each line break.
class ParagraphTextPass {
 public:
  void on(const xml::Event& event, TextElement element);
  bool idle() const { return !paragraph_.inside && !in_text_; }

  std::vector<std::string> paragraphs;

 private:
  ElementCollector<std::string> paragraph_;
  bool in_text_ = false;
};

/// The text of each run of each paragraph (fields are not runs).
class RunTextPass {
 public:
  void on(const xml::Event& event, TextElement element);
  bool idle() const { return !paragraph_.inside && !run_.inside && !in_text_; }

  std::vector<std::vector<std::string>> paragraphs;

 private:
  ElementCollector<std::vector<std::string>> paragraph_;
  ElementCollector<std::string> run_;
  bool in_text_ = false;
};

/// For each line break of each paragraph, the number of runs before it.
class LineBreakPass {
 public:
  void on(const xml::Event& event, TextElement element);
  bool idle() const { return !paragraph_.inside; }

  std::vector<std::vector<uint64_t>> paragraphs;

 private:
  ElementCollector<std::vector<uint64_t>> paragraph_;
  uint64_t runs_ = 0;
};

/// The fields of each paragraph, with the runs and line breaks before them.
class FieldPass {
 public:
  void on(const xml::Event& event, TextElement element);
  bool idle() const { return !paragraph_.inside && !field_.inside && !in_text_; }

  std::vector<std::vector<ParagraphFieldSummary>> paragraphs;

 private:
  ElementCollector<std::vector<ParagraphFieldSummary>> paragraph_;
  ElementCollector<std::string> field_;  ///< the field's text
  uint64_t runs_ = 0;
  uint64_t breaks_ = 0;
  bool in_text_ = false;
};

/// For each run of each paragraph, the raw value of the first attribute
/// with local name `attribute` on the last element with local name
/// `element` inside the run; absent when there is none. A value that is
/// not UTF-8 reads as empty text.
class RunPropertyPass {
 public:
  RunPropertyPass(std::string_view element, std::string_view attribute) : element_(element), attribute_(attribute) {}
  void on(const xml::Event& event, TextElement element);
  bool idle() const { return !paragraph_.inside && !run_.inside; }

  std::vector<std::vector<std::optional<std::string>>> paragraphs;

 private:
  std::string_view element_;
  std::string_view attribute_;
  ElementCollector<std::vector<std::optional<std::string>>> paragraph_;
  ElementCollector<std::optional<std::string>> run_;  ///< the run's value
};

/// The paragraph texts of `xml` (ParagraphTextPass over the whole text).
std::vector<std::string> extract_paragraph_texts(std::string_view xml);

/// Per paragraph, per run, the raw `attribute` of the run's `element`
/// (RunPropertyPass over the whole text).
std::vector<std::vector<std::optional<std::string>>> extract_paragraph_run_property(std::string_view xml,
                                                                                     std::string_view element,
                                                                                     std::string_view attribute);

}  // namespace velmora::summary
