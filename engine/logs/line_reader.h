// Reads the lines of an open log file through one large block buffer and
// splits them into tokens.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/logs/file_access.h"

namespace tf {

class LineReader {
 public:
  // Longest line delivered; the rest of a longer line is skipped.
  static constexpr size_t kMaxLineLength = 9999;
  static constexpr size_t kBlockSize = 128 * 1024;

  LineReader();

  // Starts reading the file from its beginning (after a UTF-8 byte order
  // mark, which is not part of the first line). The name is the file's
  // path, for messages about its lines.
  void Start(ReadOnlyFile* file, std::string_view name = {});
  // Back to the beginning of the file with an empty buffer.
  void Rewind();
  // Goes on from `offset` when a line ends just before it (the byte before
  // is a line feed), so that reading resumes at a line start without the
  // lines before; false, with the position unchanged, when it does not.
  bool ResumeAt(std::int64_t offset);

  // The next line, without its line feed, with every byte below 32 dropped
  // (carriage returns, tabs, NULs) and cut to kMaxLineLength bytes, never
  // inside a UTF-8 character. Bytes of 128 and above are kept: logs carry
  // UTF-8 paths, agents and referrers, and dropping those bytes would turn
  // non-ASCII names into other, wrong names. The view
  // stays valid until the next call. False at the end of the file: a last
  // line without a line feed is not delivered, since the web server may
  // still be writing it.
  bool ReadLogLine(std::string_view& line);
  // Makes the last line read the next one again.
  void StepBack();

  // File offset just past the last line read.
  std::int64_t Offset() const { return buffer_offset_ + static_cast<std::int64_t>(pos_); }
  // Number of the last line read, counted from 1 at the start of the file,
  // or, after ResumeAt, from the resume offset.
  std::int64_t line_number() const { return line_number_; }
  // Where the last line read stands, for a person looking for it: "line N",
  // or "line N after byte B" when reading resumed at byte B.
  std::string Place() const;
  const std::string& name() const { return name_; }

 private:
  bool Fill(std::int64_t offset);
  void AppendFiltered(const char* begin, const char* end);

  ReadOnlyFile* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  size_t pos_ = 0;
  size_t len_ = 0;
  std::int64_t buffer_offset_ = 0;  // file offset of buffer_[0]
  std::int64_t line_start_ = 0;     // file offset where the last line began
  std::int64_t file_pos_ = -1;      // where the next read starts; -1 unknown
  std::string carry_;               // a line that spans blocks or needs filtering
  std::int64_t line_number_ = 0;
  std::int64_t numbered_from_ = 0;  // the offset line 1 follows
  std::string name_;
};

// The next token of a log line from `pos`: blanks are skipped; a token
// that starts with a double quote runs to the next double quote (which is
// skipped) and may hold blanks and commas; any other token runs to the next
// blank, ',' or the end. An unquoted token that is exactly "-" is empty. A
// ',' right after the token is stepped over. Returns the position after it.
size_t NextToken(std::string_view text, size_t pos, std::string_view& token);

// The next run of non-blank characters from pos, split at runs of blanks
// only (quotes and commas are plain characters); pos moves past it.
std::string_view NextWord(std::string_view text, size_t& pos);

// True when the line is empty or holds only characters below '!'.
bool IsBlankLine(std::string_view line);

}  // namespace tf
