// placeholders.cpp - XML text of placeholder shapes, new and copied from layouts.
#include "shapes/placeholders.h"

#include <algorithm>
#include <array>
#include <utility>

#include "package/package.h"
#include "package/relationships.h"
#include "package/slide_edit.h"
#include "xml/concat.h"
#include "xml/escape.h"
#include "xml/splice.h"
#include "xml/text_search.h"

namespace velmora::shapes {
namespace {

constexpr std::string_view kShapeOpen = "<p:sp>";
constexpr std::string_view kShapeClose = "</p:sp>";
constexpr std::string_view kEmptyTextBody = "<p:txBody><a:bodyPr/><a:lstStyle/><a:p/></p:txBody>";

constexpr std::array<std::pair<std::string_view, std::string_view>, 14> kBaseNames{{
    {"title", "Title"},
    {"ctrTitle", "Title"},
    {"subTitle", "Subtitle"},
    {"body", "Text Placeholder"},
    {"dt", "Date Placeholder"},
    {"ftr", "Footer Placeholder"},
    {"sldNum", "Slide Number Placeholder"},
    {"pic", "Picture Placeholder"},
    {"tbl", "Table Placeholder"},
    {"chart", "Chart Placeholder"},
    {"dgm", "SmartArt Placeholder"},
    {"media", "Media Placeholder"},
    {"clipArt", "ClipArt Placeholder"},
    {"sldImg", "Image Placeholder"},
}};

/// Date, footer and slide-number placeholders belong to the master's
/// furniture and are never copied onto a slide.
bool is_furniture_type(std::string_view type) { return type == "dt" || type == "ftr" || type == "sldNum"; }

/// " {name}=\"{value}\"" with the value escaped, or nothing for an absent,
/// empty or default value.
void append_attribute(std::string& out, std::string_view name, const std::optional<std::string>& value,
                      std::string_view schema_default) {
  if (!value || value->empty() || *value == schema_default) return;
  out += xml::concat({" ", name, "=\"", xml::xml_attr(*value), "\""});
}

/// The raw `name` values of the slide's "<p:cNvPr" tags.
std::vector<std::string_view> shape_names(std::string_view slide_xml) {
  std::vector<std::string_view> names;
  for (size_t at = slide_xml.find("<p:cNvPr"); at != std::string_view::npos;
       at = slide_xml.find("<p:cNvPr", at + 1)) {
    const size_t end = slide_xml.find('>', at);
    if (end == std::string_view::npos) break;
    if (std::optional<std::string_view> name = xml::attribute_value(slide_xml.substr(at, end - at), "name")) {
      names.push_back(*name);
    }
  }
  return names;
}

/// Every "<p:sp>" ... first following "</p:sp>" block of `xml`, in order.
std::vector<std::string_view> literal_shape_blocks(std::string_view xml) {
  std::vector<std::string_view> blocks;
  size_t from = 0;
  while (true) {
    const size_t open = xml.find(kShapeOpen, from);
    if (open == std::string_view::npos) break;
    const size_t close = xml.find(kShapeClose, open);
    if (close == std::string_view::npos) break;
    from = close + kShapeClose.size();
    blocks.push_back(xml.substr(open, from - open));
  }
  return blocks;
}

}  // namespace

std::string placeholder_attributes_xml(const PlaceholderShapeSpec& spec) {
  std::string out;
  append_attribute(out, "type", spec.placeholder_type, "obj");
  append_attribute(out, "orient", spec.placeholder_orient, "horz");
  append_attribute(out, "sz", spec.placeholder_size, "full");
  append_attribute(out, "idx", spec.placeholder_idx, "0");
  return out;
}

std::string placeholder_base_name(std::optional<std::string_view> type, std::optional<std::string_view> orient) {
  std::string_view base = "Content Placeholder";
  if (type) {
    const auto* found =
        std::find_if(kBaseNames.begin(), kBaseNames.end(), [&](const auto& entry) { return entry.first == *type; });
    if (found != kBaseNames.end()) base = found->second;
  }
  return orient == "vert" ? xml::concat({"Vertical ", base}) : std::string(base);
}

std::string add_placeholder_shape_to_slide_xml(std::string_view slide_xml, uint64_t shape_id,
                                               const PlaceholderShapeSpec& spec) {
  package::require_shape_tree_end(slide_xml);
  const std::string base = placeholder_base_name(spec.placeholder_type, spec.placeholder_orient);
  const std::vector<std::string_view> taken = shape_names(slide_xml);
  uint64_t number = shape_id == 0 ? 0 : shape_id - 1;
  std::string name = base + " " + std::to_string(number);
  while (std::find(taken.begin(), taken.end(), name) != taken.end()) {
    name = base + " " + std::to_string(++number);
  }
  const std::string shape = xml::concat(
      {"<p:sp><p:nvSpPr><p:cNvPr id=\"", std::to_string(shape_id), "\" name=\"", xml::xml_attr(name),
       "\"/><p:cNvSpPr><a:spLocks noGrp=\"1\"/></p:cNvSpPr><p:nvPr><p:ph", placeholder_attributes_xml(spec),
       "/></p:nvPr></p:nvSpPr><p:spPr/>", kEmptyTextBody, "</p:sp>"});
  return package::insert_into_shape_tree(slide_xml, shape);
}

std::vector<PlaceholderShapeSpec> placeholder_specs_from_layout_xml(std::string_view layout_xml) {
  std::vector<PlaceholderShapeSpec> specs;
  for (std::string_view block : literal_shape_blocks(layout_xml)) {
    const size_t ph = block.find("<p:ph");
    if (ph == std::string_view::npos) continue;
    const size_t end = block.find('>', ph);
    if (end == std::string_view::npos) continue;
    const std::string_view tag = block.substr(ph, end - ph);
    auto read = [&](std::string_view name) -> std::optional<std::string> {
      if (std::optional<std::string_view> value = xml::attribute_value(tag, name)) return std::string(*value);
      return std::nullopt;
    };
    PlaceholderShapeSpec spec{read("type"), read("orient"), read("sz"), read("idx")};
    if (spec.placeholder_type && is_furniture_type(*spec.placeholder_type)) continue;
    specs.push_back(std::move(spec));
  }
  return specs;
}

std::vector<std::string> extract_placeholder_shape_blocks(std::string_view layout_xml) {
  std::vector<std::string> kept;
  for (std::string_view block : literal_shape_blocks(layout_xml)) {
    if (block.find("<p:ph") == std::string_view::npos) continue;
    if (block.find("type=\"dt\"") != std::string_view::npos || block.find("type=\"ftr\"") != std::string_view::npos ||
        block.find("type=\"sldNum\"") != std::string_view::npos) {
      continue;
    }
    const std::string without_geometry = xml::replace_element(block, "p:spPr", "<p:spPr/>");
    kept.push_back(xml::replace_element(without_geometry, "p:txBody", kEmptyTextBody));
  }
  return kept;
}

std::string placeholder_shapes_from_layout(const zip::Archive& package, std::string_view slide_part,
                                           std::string_view layout_target) {
  const std::string layout_part = package::resolve_target(slide_part, layout_target);
  std::optional<std::string> layout_xml = package::read_archive_text(package, layout_part);
  if (!layout_xml) return {};
  std::string shapes;
  for (const std::string& block : extract_placeholder_shape_blocks(*layout_xml)) shapes += block;
  return shapes;
}

}  // namespace velmora::shapes
