// xml_corpus_test.cpp - every XML part of every real-world deck tokenizes and writes back byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "error.h"
#include "xml/reader.h"
#include "xml/writer.h"
#include "zip/reader.h"

namespace velmora::xml {
namespace {

/// The corpus packages, intentionally broken ones left out.
std::vector<std::string> corpus_files() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(VELMORA_CORPUS, ec)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && name.find("BROKEN") == std::string::npos && !name.ends_with(".md")) {
      names.push_back(name);
    }
  }
  std::ranges::sort(names);
  return names;
}

class CorpusRoundTrip : public testing::TestWithParam<std::string> {};

TEST_P(CorpusRoundTrip, EveryXmlPartWritesBackUnchanged) {
  const zip::Archive archive = zip::Archive::open_file(std::string(VELMORA_CORPUS) + "/" + GetParam());
  size_t parts = 0;
  for (size_t i = 0; i < archive.size(); ++i) {
    const std::string& name = archive.entry(i).name;
    if (!name.ends_with(".xml") && !name.ends_with(".rels")) continue;
    const std::string xml = archive.read_all(i);
    if (xml.starts_with("\xFF\xFE") || xml.starts_with("\xFE\xFF")) {
      // A few Open XML SDK parts are UTF-16, which the reader refuses up front.
      EXPECT_THROW(Reader(xml).next(), VelmoraError) << name;
      continue;
    }
    Reader reader(xml);
    Writer writer(xml.size());
    try {
      for (Event event = reader.next(); event.kind != EventKind::Eof; event = reader.next()) writer.write(event);
    } catch (const VelmoraError& e) {
      ADD_FAILURE() << name << ": " << e.what();
      continue;
    }
    EXPECT_TRUE(writer.str() == xml) << name << " did not write back unchanged";
    ++parts;
  }
  EXPECT_GT(parts, 0u);
}

INSTANTIATE_TEST_SUITE_P(Decks, CorpusRoundTrip, testing::ValuesIn(corpus_files()), [](const auto& param_info) {
  std::string name = param_info.param;
  std::ranges::replace_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
});
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CorpusRoundTrip);

}  // namespace
}  // namespace velmora::xml
