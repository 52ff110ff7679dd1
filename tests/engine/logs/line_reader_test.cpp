#include "engine/logs/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace tf {
namespace {

std::vector<std::string> ReadAll(const std::string& path, std::int64_t* end_offset = nullptr) {
  ReadOnlyFile file;
  EXPECT_EQ(file.Open(path), 0);
  LineReader reader;
  reader.Start(&file);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.ReadLogLine(line)) lines.emplace_back(line);
  if (end_offset) *end_offset = reader.Offset();
  return lines;
}

TEST(LineReaderTest, DropsControlBytesCutsLongLinesAndKeepsUtf8) {
  test::TempDir dir;
  const std::string long_line(12000, 'x');
  const std::string accented = std::string(9998, 'y') + "\xC3\xA9";  // 10,000 bytes
  std::string text = std::string("\xEF\xBB\xBF") + "#Software: first\r\n" +
                     std::string("a\tb\x01" "c", 5) + std::string(1, '\0') + "d\n" +
                     long_line + "\n" + "next\n" + accented + "\n" + "caf\xC3\xA9 \xC3\xBC\n";
  const std::int64_t complete = static_cast<std::int64_t>(text.size());
  text += "partial line without a feed";
  test::WriteFile(dir.File("log"), text);

  std::int64_t end = 0;
  std::vector<std::string> lines = ReadAll(dir.File("log"), &end);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "#Software: first");
  EXPECT_EQ(lines[1], "abcd");
  EXPECT_EQ(lines[2], std::string(9999, 'x'));
  EXPECT_EQ(lines[3], "next");
  EXPECT_EQ(lines[4], std::string(9998, 'y'));  // the cut does not split the é
  EXPECT_EQ(lines[5], "caf\xC3\xA9 \xC3\xBC");
  EXPECT_EQ(end, complete);
}

TEST(LineReaderTest, AControlByteIsFoundWhereverItStandsInALine) {
  test::TempDir dir;
  // Lines of every length around the scan's steps, each with one control
  // byte at every place, and high bytes that are no control bytes.
  std::string text;
  std::vector<std::string> expected;
  for (std::size_t length = 1; length <= 40; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      std::string line(length, 'a');
      for (std::size_t i = 2; i < length; i += 5) line[i] = '\xE9';
      line[at] = '\x1F';
      text += line + "\n";
      line.erase(at, 1);
      expected.push_back(line);
    }
  }
  test::WriteFile(dir.File("log"), text);
  EXPECT_EQ(ReadAll(dir.File("log")), expected);
}

TEST(LineReaderTest, LinesAcrossBlocksAndStepBack) {
  test::TempDir dir;
  std::string text;
  std::vector<std::string> expected;
  for (int i = 0; text.size() < 3 * LineReader::kBlockSize; ++i) {
    expected.push_back("line " + std::to_string(i) + " " + std::string(i % 97, 'z'));
    text += expected.back() + (i % 3 ? "\n" : "\r\n");
  }
  test::WriteFile(dir.File("log"), text);
  EXPECT_EQ(ReadAll(dir.File("log")), expected);

  // Step back to a line that began in the block before the one held now.
  ReadOnlyFile file;
  ASSERT_EQ(file.Open(dir.File("log")), 0);
  LineReader reader;
  reader.Start(&file);
  std::string_view line;
  size_t index = 0;
  std::int64_t start = 0;
  while (reader.ReadLogLine(line)) {
    if (reader.Offset() > static_cast<std::int64_t>(LineReader::kBlockSize)) break;
    start = reader.Offset();
    ++index;
  }
  ASSERT_LT(start, static_cast<std::int64_t>(LineReader::kBlockSize));
  ASSERT_EQ(std::string(line), expected[index]);  // this line spans the boundary
  reader.StepBack();
  ASSERT_TRUE(reader.ReadLogLine(line));
  EXPECT_EQ(std::string(line), expected[index]);
  ASSERT_TRUE(reader.ReadLogLine(line));
  EXPECT_EQ(std::string(line), expected[index + 1]);
}

}  // namespace
}  // namespace tf
