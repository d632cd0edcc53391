// paragraph_passes.h - event passes over text bodies: paragraph texts, runs, line breaks, fields and run attributes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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

/// The text of each paragraph: its text elements' content in order, with
/// "\v" (U+000B) for each line break.
class ParagraphTextPass {
 public:
  void on(const xml::Event& event, TextElement element);
  bool idle() const { return !in_paragraph_ && !in_text_; }

  std::vector<std::string> paragraphs;

 private:
  std::string current_;
  bool in_paragraph_ = false;
  bool in_text_ = false;
};

/// The text of each run of each paragraph (fields are not runs).
class RunTextPass {
 public:
  void on(const xml::Event& event, TextElement element);
  bool idle() const { return !in_paragraph_ && !in_run_ && !in_text_; }

  std::vector<std::vector<std::string>> paragraphs;

 private:
  std::vector<std::string> runs_;
  std::string run_;
  bool in_paragraph_ = false;
  bool in_run_ = false;
  bool in_text_ = false;
};

/// For each line break of each paragraph, the number of runs before it.
class LineBreakPass {
 public:
  void on(const xml::Event& event, TextElement element);
  bool idle() const { return !in_paragraph_; }

  std::vector<std::vector<uint64_t>> paragraphs;

 private:
  std::vector<uint64_t> breaks_;
  uint64_t runs_ = 0;
  bool in_paragraph_ = false;
};

/// The fields of each paragraph, with the runs and line breaks before them.
class FieldPass {
 public:
  void on(const xml::Event& event, TextElement element);
  bool idle() const { return !in_paragraph_ && !in_field_ && !in_text_; }

  std::vector<std::vector<ParagraphFieldSummary>> paragraphs;

 private:
  std::vector<ParagraphFieldSummary> fields_;
  std::string text_;
  uint64_t runs_ = 0;
  uint64_t breaks_ = 0;
  bool in_paragraph_ = false;
  bool in_field_ = false;
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
  bool idle() const { return !in_paragraph_ && !in_run_; }

  std::vector<std::vector<std::optional<std::string>>> paragraphs;

 private:
  std::string_view element_;
  std::string_view attribute_;
  std::vector<std::optional<std::string>> values_;
  std::optional<std::string> value_;
  bool in_paragraph_ = false;
  bool in_run_ = false;
};

/// The paragraph texts of `xml` (ParagraphTextPass over the whole text).
std::vector<std::string> extract_paragraph_texts(std::string_view xml);

/// Per paragraph, per run, the raw `attribute` of the run's `element`
/// (RunPropertyPass over the whole text).
std::vector<std::vector<std::optional<std::string>>> extract_paragraph_run_property(std::string_view xml,
                                                                                     std::string_view element,
                                                                                     std::string_view attribute);

}  // namespace velmora::summary
