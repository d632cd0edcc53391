// summary_text_index_test - the indexed searches and the slide-wide text passes agree with reading each slice alone.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "json/pretty_writer.h"
#include "summary/text_bodies.h"
#include "summary/text_index.h"
#include "xml/shape_tree.h"
#include "xml/text_search.h"

namespace velmora::summary {
namespace {

// Random texts glued from pieces chosen to meet every rule of the searches:
// names that only start like a searched name, white space of one and three
// bytes after a name (and cut in half), self-closing and unclosed elements,
// wrappers, and plain "<".
const std::vector<std::string> kSearchPieces = {
    "<p:sp>", "</p:sp>", "<p:sp/>", "<p:spPr>", "</p:spPr>", "<p:sp ", "<p:sp\t", "<p:sp\xE3\x80\x80", "\xE3\x80",
    "<p:sp", "<p:grpSp>", "</p:grpSp>", "<p:grpSpPr>", "</p:grpSpPr>", "<p:pic>", "</p:pic>", "<p:cxnSp>",
    "</p:cxnSp>", "<p:graphicFrame>", "</p:graphicFrame>", "<mc:AlternateContent>", "</mc:AlternateContent>",
    "<mc:AlternateContentX>", "x", " ", "<", ">", "/",
};

std::string random_text(std::mt19937& random, const std::vector<std::string>& pieces, size_t max_pieces) {
  std::string text;
  const size_t count = std::uniform_int_distribution<size_t>(0, max_pieces)(random);
  for (size_t i = 0; i < count; ++i) text += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(random)];
  return text;
}

std::string_view random_view(std::mt19937& random, std::string_view text) {
  const size_t begin = std::uniform_int_distribution<size_t>(0, text.size())(random);
  const size_t end = std::uniform_int_distribution<size_t>(begin, text.size())(random);
  return text.substr(begin, end - begin);
}

std::optional<size_t> plain(size_t position) {
  return position == std::string_view::npos ? std::nullopt : std::optional<size_t>(position);
}

std::vector<size_t> offsets(const std::vector<std::string_view>& blocks, std::string_view view) {
  std::vector<size_t> out;
  for (const std::string_view block : blocks) {
    out.push_back(static_cast<size_t>(block.data() - view.data()));
    out.push_back(block.size());
  }
  return out;
}

TEST(TextIndex, AgreesWithPlainSearchesOnEverySlice) {
  std::mt19937 random(20240611);
  const std::vector<std::string_view> needles = {"</p:sp>", "<mc:AlternateContent", "</p:grpSpPr>", "p", "<p:sp"};
  const std::vector<std::string_view> names = {"p:sp", "p:grpSp", "mc:AlternateContent", "p:pic"};
  for (int round = 0; round < 3000; ++round) {
    const std::string text = random_text(random, kSearchPieces, 40);
    const TextIndex index(text);
    for (int slice = 0; slice < 8; ++slice) {
      const std::string_view view = random_view(random, text);
      SCOPED_TRACE(testing::Message() << "text: " << text << "\nview at " << view.data() - text.data() << " size "
                                      << view.size());
      const size_t from = std::uniform_int_distribution<size_t>(0, view.size() + 1)(random);
      for (const std::string_view needle : needles) {
        ASSERT_EQ(index.find(view, needle, from), plain(from <= view.size() ? view.find(needle, from) : std::string_view::npos));
        ASSERT_EQ(index.rfind(view, needle), plain(view.rfind(needle)));
      }
      for (const std::string_view name : names) {
        ASSERT_EQ(index.find_tag_start(view, from, name), xml::find_tag_start(view, from, name)) << name;
        ASSERT_EQ(index.start_tag(view, name), xml::element_start_tag(view, name)) << name;
        for (size_t start = 0; start <= view.size(); ++start) {
          const xml::ElementEnd expected = xml::find_element_end(view, start, name);
          const xml::ElementEnd found = index.find_element_end(view, start, name);
          ASSERT_EQ(found.closed, expected.closed) << name << " from " << start;
          ASSERT_EQ(found.end, expected.end) << name << " from " << start;
        }
      }
      ASSERT_EQ(offsets(shape_blocks(index, view), view), offsets(xml::extract_shape_blocks(view), view));
    }
  }
}

// Nested paragraphs, runs, fields and breaks inside shapes, in any order
// (shapes inside paragraphs and text elements too), now and then with a
// wrong end tag or left unclosed: to compare the slide-wide passes with each
// block read alone.
std::string random_body(std::mt19937& random) {
  static const std::vector<std::string> kElements = {"p:sp", "p:grpSp", "a:p", "a:r", "a:t", "a:fld", "p:txBody"};
  static const std::vector<std::string> kLeaves = {"x", " ", "&amp;", "<a:br/>", "<a:p/>", "<a:r/>", "<a:fld/>",
                                                   "<a:rPr b=\"1\" sz=\"12\"/>", "<a:latin typeface=\"F\"/>",
                                                   "<!--c-->"};
  std::string text;
  std::vector<std::string> open;
  const int steps = std::uniform_int_distribution<int>(0, 40)(random);
  for (int step = 0; step < steps; ++step) {
    const int choice = std::uniform_int_distribution<int>(0, 99)(random);
    if (choice < 40) {
      const std::string& name = kElements[std::uniform_int_distribution<size_t>(0, kElements.size() - 1)(random)];
      text += "<" + name + ">";
      open.push_back(name);
    } else if (choice < 70 && !open.empty()) {
      text += "</" + open.back() + ">";
      open.pop_back();
    } else if (choice < 98) {
      text += kLeaves[std::uniform_int_distribution<size_t>(0, kLeaves.size() - 1)(random)];
    } else {
      text += "</a:wrong>";
    }
  }
  const bool close_all = std::uniform_int_distribution<int>(0, 9)(random) > 0;
  for (; close_all && !open.empty(); open.pop_back()) text += "</" + open.back() + ">";
  return text;
}

std::string paragraph_members(const ShapeSummary& shape) {
  json::PrettyWriter out;
  write_json(out, shape);
  return out.take();
}

TEST(SlideTextBodies, EveryBlockGetsWhatReadingItAloneGives) {
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    const std::string text = random_body(random);
    const SlideTextBodies bodies(text);
    for (size_t begin = text.find("<p:"); begin != std::string::npos; begin = text.find("<p:", begin + 1)) {
      for (size_t end = text.find('>', begin); end != std::string::npos; end = text.find('>', end + 1)) {
        const std::string_view block = std::string_view(text).substr(begin, end + 1 - begin);
        ShapeSummary shared;
        bodies.fill(shared, block);
        TextBodyScan alone;
        run_passes(block, alone);
        ShapeSummary expected;
        alone.fill(expected, 0, alone.paragraph_count());
        ASSERT_EQ(paragraph_members(shared), paragraph_members(expected)) << "text: " << text << "\nblock: " << block;
      }
    }
  }
}

}  // namespace
}  // namespace velmora::summary
