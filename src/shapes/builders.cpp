// builders.cpp - XML text of new shapes: text boxes, auto shapes, connectors and freeforms.
#include "shapes/builders.h"

#include <algorithm>
#include <initializer_list>

#include "error.h"
#include "shapes/paragraphs.h"
#include "shapes/presets.h"
#include "xml/escape.h"

namespace velmora::shapes {
namespace {

constexpr std::string_view kTextBoxTemplate =
    "<p:sp><p:nvSpPr><p:cNvPr id=\"{}\" name=\"TextBox {}\"/><p:cNvSpPr txBox=\"1\"/><p:nvPr/></p:nvSpPr>"
    "<p:spPr><a:xfrm><a:off x=\"{}\" y=\"{}\"/><a:ext cx=\"{}\" cy=\"{}\"/></a:xfrm>"
    "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom><a:noFill/></p:spPr>"
    "<p:txBody><a:bodyPr wrap=\"none\"><a:spAutoFit/></a:bodyPr><a:lstStyle/>{}</p:txBody></p:sp>";

constexpr std::string_view kAutoShapeTemplate =
    "<p:sp><p:nvSpPr><p:cNvPr id=\"{}\" name=\"{} {}\"/><p:cNvSpPr/><p:nvPr/></p:nvSpPr>"
    "<p:spPr><a:xfrm><a:off x=\"{}\" y=\"{}\"/><a:ext cx=\"{}\" cy=\"{}\"/></a:xfrm>"
    "<a:prstGeom prst=\"{}\"><a:avLst>{}</a:avLst></a:prstGeom></p:spPr>"
    "<p:style><a:lnRef idx=\"1\"><a:schemeClr val=\"accent1\"/></a:lnRef>"
    "<a:fillRef idx=\"3\"><a:schemeClr val=\"accent1\"/></a:fillRef>"
    "<a:effectRef idx=\"2\"><a:schemeClr val=\"accent1\"/></a:effectRef>"
    "<a:fontRef idx=\"minor\"><a:schemeClr val=\"lt1\"/></a:fontRef></p:style>"
    "<p:txBody><a:bodyPr rtlCol=\"0\" anchor=\"ctr\"/><a:lstStyle/>{}</p:txBody></p:sp>";

constexpr std::string_view kFreeformTemplate =
    "<p:sp><p:nvSpPr><p:cNvPr id=\"{}\" name=\"Freeform {}\"/><p:cNvSpPr/><p:nvPr/></p:nvSpPr>"
    "<p:spPr><a:xfrm><a:off x=\"{}\" y=\"{}\"/><a:ext cx=\"{}\" cy=\"{}\"/></a:xfrm>"
    "<a:custGeom><a:avLst/><a:gdLst/><a:ahLst/><a:cxnLst/><a:rect l=\"l\" t=\"t\" r=\"r\" b=\"b\"/>"
    "<a:pathLst><a:path w=\"{}\" h=\"{}\">{}</a:path></a:pathLst></a:custGeom></p:spPr>"
    "<p:style><a:lnRef idx=\"1\"><a:schemeClr val=\"accent1\"/></a:lnRef>"
    "<a:fillRef idx=\"3\"><a:schemeClr val=\"accent1\"/></a:fillRef>"
    "<a:effectRef idx=\"2\"><a:schemeClr val=\"accent1\"/></a:effectRef>"
    "<a:fontRef idx=\"minor\"><a:schemeClr val=\"lt1\"/></a:fontRef></p:style>"
    "<p:txBody><a:bodyPr rtlCol=\"0\" anchor=\"ctr\"/><a:lstStyle/>{}</p:txBody></p:sp>";

constexpr std::string_view kConnectorTemplate =
    "<p:cxnSp><p:nvCxnSpPr><p:cNvPr id=\"{}\" name=\"Connector {}\"/>{}<p:nvPr/></p:nvCxnSpPr>"
    "<p:spPr><a:xfrm{}><a:off x=\"{}\" y=\"{}\"/><a:ext cx=\"{}\" cy=\"{}\"/></a:xfrm>"
    "<a:prstGeom prst=\"{}\"><a:avLst/></a:prstGeom></p:spPr>"
    "<p:style><a:lnRef idx=\"2\"><a:schemeClr val=\"accent1\"/></a:lnRef>"
    "<a:fillRef idx=\"0\"><a:schemeClr val=\"accent1\"/></a:fillRef>"
    "<a:effectRef idx=\"1\"><a:schemeClr val=\"accent1\"/></a:effectRef>"
    "<a:fontRef idx=\"minor\"><a:schemeClr val=\"tx1\"/></a:fontRef></p:style></p:cxnSp>";

constexpr std::string_view kCentredEmptyParagraph = "<a:p><a:pPr algn=\"ctr\"/></a:p>";

/// `pattern` with each "{}" replaced by the next of `values`, in order.
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::string out;
  auto value = values.begin();
  for (size_t hole; (hole = pattern.find("{}")) != std::string_view::npos;) {
    out += pattern.substr(0, hole);
    out += *value++;
    pattern.remove_prefix(hole + 2);
  }
  out += pattern;
  return out;
}

std::string decimal(uint64_t n) { return std::to_string(n); }
std::string decimal(int64_t n) { return std::to_string(n); }

std::string display_number(uint64_t id) { return decimal(id == 0 ? 0 : id - 1); }

std::string paragraphs_or(std::optional<std::string_view> text, std::string_view empty) {
  return text ? replacement_paragraphs_xml(*text) : std::string(empty);
}

std::string connection_properties_xml(const std::optional<ConnectionEnd>& start,
                                      const std::optional<ConnectionEnd>& end) {
  if (!start && !end) return "<p:cNvCxnSpPr/>";
  std::string out = "<p:cNvCxnSpPr>";
  if (start) out += fill("<a:stCxn id=\"{}\" idx=\"{}\"/>", {decimal(start->shape_id), decimal(start->site_index)});
  if (end) out += fill("<a:endCxn id=\"{}\" idx=\"{}\"/>", {decimal(end->shape_id), decimal(end->site_index)});
  out += "</p:cNvCxnSpPr>";
  return out;
}

std::string path_commands_xml(std::span<const FreeformPathOperation> operations) {
  std::string out;
  for (const FreeformPathOperation& op : operations) {
    switch (op.command) {
      case PathCommand::MoveTo:
        out += fill("<a:moveTo><a:pt x=\"{}\" y=\"{}\"/></a:moveTo>", {decimal(op.x), decimal(op.y)});
        break;
      case PathCommand::LineTo:
        out += fill("<a:lnTo><a:pt x=\"{}\" y=\"{}\"/></a:lnTo>", {decimal(op.x), decimal(op.y)});
        break;
      case PathCommand::Close:
        out += "<a:close/>";
        break;
    }
  }
  return out;
}

}  // namespace

std::string text_box_shape_xml(uint64_t id, uint64_t x, uint64_t y, uint64_t cx, uint64_t cy,
                               std::optional<std::string_view> text) {
  return fill(kTextBoxTemplate, {decimal(id), display_number(id), decimal(x), decimal(y), decimal(cx), decimal(cy),
                                 paragraphs_or(text, "<a:p/>")});
}

std::string auto_shape_xml(uint64_t id, std::string_view preset, uint64_t x, uint64_t y, uint64_t cx, uint64_t cy,
                           std::optional<std::string_view> text, std::span<const AdjustmentGuide> guides) {
  const std::string_view display_name = auto_shape_display_name(preset);
  return fill(kAutoShapeTemplate, {decimal(id), display_name, display_number(id), decimal(x), decimal(y),
                                   decimal(cx), decimal(cy), preset, adjustment_guides_xml(guides),
                                   paragraphs_or(text, kCentredEmptyParagraph)});
}

std::string adjustment_guides_xml(std::span<const AdjustmentGuide> guides) {
  std::string out;
  // The caller's guide names are escaped: markup in a name would otherwise
  // end the attribute and corrupt the shape.
  for (const auto& [name, value] : guides) {
    out += fill("<a:gd name=\"{}\" fmla=\"val {}\"/>", {xml::xml_attr(name), decimal(value)});
  }
  return out;
}

std::string_view connector_preset_geometry(std::string_view preset) {
  if (preset != "line" && preset != "bentConnector3" && preset != "curvedConnector3") {
    throw_invalid_input("unsupported connector preset geometry: " + std::string(preset));
  }
  return "Connector";
}

std::string connector_shape_xml(uint64_t id, std::string_view preset, uint64_t begin_x, uint64_t begin_y,
                                uint64_t end_x, uint64_t end_y, std::optional<ConnectionEnd> start_connection,
                                std::optional<ConnectionEnd> end_connection) {
  connector_preset_geometry(preset);
  // The box spans both points; the flips say which corner the line starts from.
  std::string flips;
  if (end_x < begin_x) flips += " flipH=\"1\"";
  if (end_y < begin_y) flips += " flipV=\"1\"";
  const uint64_t x = std::min(begin_x, end_x);
  const uint64_t y = std::min(begin_y, end_y);
  const uint64_t cx = std::max(begin_x, end_x) - x;
  const uint64_t cy = std::max(begin_y, end_y) - y;
  return fill(kConnectorTemplate, {decimal(id), display_number(id),
                                   connection_properties_xml(start_connection, end_connection), flips, decimal(x),
                                   decimal(y), decimal(cx), decimal(cy), preset});
}

std::string freeform_shape_xml(uint64_t id, int64_t x, int64_t y, int64_t cx, int64_t cy, int64_t path_w,
                               int64_t path_h, std::span<const FreeformPathOperation> operations,
                               std::optional<std::string_view> text) {
  if (operations.empty()) throw_invalid_input("freeform shape requires at least one path operation");
  return fill(kFreeformTemplate, {decimal(id), display_number(id), decimal(x), decimal(y), decimal(cx), decimal(cy),
                                  decimal(path_w), decimal(path_h), path_commands_xml(operations),
                                  paragraphs_or(text, kCentredEmptyParagraph)});
}

}  // namespace velmora::shapes
