// text_bodies.cpp - the paragraph passes of a shape summary, run once per slide and shared by its shape blocks.
#include "summary/text_bodies.h"

#include <algorithm>

#include "xml/number.h"

namespace velmora::summary {
namespace {

using RawValues = std::vector<std::vector<std::optional<std::string>>>;

std::optional<bool> flag_value(const std::optional<std::string>& raw) {
  if (!raw) return std::nullopt;
  if (*raw == "1" || *raw == "on" || *raw == "true") return true;
  if (*raw == "0" || *raw == "off" || *raw == "false") return false;
  return std::nullopt;
}

std::optional<bool> underline_value(const std::optional<std::string>& raw) {
  if (!raw) return std::nullopt;
  return *raw != "none";
}

std::optional<int64_t> font_size_value(const std::optional<std::string>& raw) {
  return raw ? xml::parse_i64(*raw) : std::nullopt;
}

template <class T>
std::vector<T> slice(const std::vector<T>& list, size_t first, size_t last) {
  return std::vector<T>(list.begin() + static_cast<std::ptrdiff_t>(first),
                        list.begin() + static_cast<std::ptrdiff_t>(last));
}

template <class Map>
auto mapped(const RawValues& values, size_t first, size_t last, Map map) {
  std::vector<std::vector<decltype(map(values.front().front()))>> out;
  out.reserve(last - first);
  for (size_t i = first; i < last; ++i) {
    auto& paragraph = out.emplace_back();
    paragraph.reserve(values[i].size());
    for (const std::optional<std::string>& raw : values[i]) paragraph.push_back(map(raw));
  }
  return out;
}

}  // namespace

void TextBodyScan::on(const xml::Event& event, TextElement element) {
  texts.on(event, element);
  runs.on(event, element);
  line_breaks.on(event, element);
  fields.on(event, element);
  bold.on(event, element);
  italic.on(event, element);
  underline.on(event, element);
  font_size.on(event, element);
  font_name.on(event, element);
}

bool TextBodyScan::idle() const {
  return texts.idle() && runs.idle() && line_breaks.idle() && fields.idle() && bold.idle() && italic.idle() &&
         underline.idle() && font_size.idle() && font_name.idle();
}

void TextBodyScan::fill(ShapeSummary& shape, size_t first, size_t last) const {
  shape.paragraphs = slice(texts.paragraphs, first, last);
  shape.text.clear();
  for (const std::string& paragraph : shape.paragraphs) {
    if (&paragraph != &shape.paragraphs.front()) shape.text += '\n';
    shape.text += paragraph;
  }
  shape.paragraph_runs = slice(runs.paragraphs, first, last);
  shape.paragraph_line_breaks = slice(line_breaks.paragraphs, first, last);
  shape.paragraph_fields = slice(fields.paragraphs, first, last);
  shape.paragraph_run_bold = mapped(bold.paragraphs, first, last, flag_value);
  shape.paragraph_run_italic = mapped(italic.paragraphs, first, last, flag_value);
  shape.paragraph_run_underline = mapped(underline.paragraphs, first, last, underline_value);
  shape.paragraph_run_font_size = mapped(font_size.paragraphs, first, last, font_size_value);
  shape.paragraph_run_font_name = slice(font_name.paragraphs, first, last);
}

SlideTextBodies::SlideTextBodies(std::string_view slide_text) : text_(slide_text) {
  constexpr size_t kNotShape = static_cast<size_t>(-1);
  std::vector<size_t> open;  // per open element: its index in shapes_, or kNotShape
  xml::Reader reader(slide_text);
  try {
    for (xml::Event event = reader.next(); event.kind != xml::EventKind::Eof; event = reader.next()) {
      if (event.is_start()) {
        // Every shape element name has the prefix "p:".
        if (event.raw.starts_with("<p:")) {
          open.push_back(shapes_.size());
          shapes_.push_back({event.offset, 0, scan_.paragraph_count(), 0, scan_.idle()});
        } else {
          open.push_back(kNotShape);
        }
      }
      scan_.on(event, text_element(event));
      if (event.is_end() && !open.empty()) {
        if (open.back() != kNotShape) {
          ShapeElement& shape = shapes_[open.back()];
          shape.end = event.offset + event.raw.size();
          shape.last_paragraph = scan_.paragraph_count();
        }
        open.pop_back();
      }
    }
  } catch (const VelmoraError&) {
    // Elements left open keep end 0: their blocks are read alone.
  }
}

void SlideTextBodies::fill(ShapeSummary& shape, std::string_view block) const {
  const size_t begin = static_cast<size_t>(block.data() - text_.data());
  const auto found = std::lower_bound(shapes_.begin(), shapes_.end(), begin,
                                      [](const ShapeElement& element, size_t offset) { return element.begin < offset; });
  if (found != shapes_.end() && found->begin == begin && found->end == begin + block.size() && found->idle_at_start) {
    scan_.fill(shape, found->first_paragraph, found->last_paragraph);
    return;
  }
  TextBodyScan alone;
  run_passes(block, alone);
  alone.fill(shape, 0, alone.paragraph_count());
}

}  // namespace velmora::summary
