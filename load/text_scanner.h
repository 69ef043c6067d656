#pragma once
// Reads a text file through one fixed buffer: whole lines (LF or CRLF, the last one may lack its
// line end) and table items (numbers separated by commas, blanks, tabs or line ends). Nothing is
// allocated after construction and numbers are read independently of the locale.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "input_file.h"

class TextScanner {
 public:
  static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 20;

  // capacity is the buffer size: a table item must be shorter, and a longer line is cut to it.
  explicit TextScanner(const InputFile& file, std::size_t capacity = kDefaultCapacity);

  struct Line {
    std::string_view text;  // without its line end; valid until the next read
    std::int64_t number;    // 1-based
  };
  // The next line, nullopt at the end of the file. A line longer than the buffer is cut to its
  // first capacity bytes; the rest is skipped.
  std::optional<Line> ReadLine();
  // Consumes the next line; false at the end of the file.
  bool SkipLine();
  // Looks ahead past blank lines: when the first line with other text starts with prefix,
  // consumes everything up to and including that line and returns true; otherwise consumes
  // nothing.
  bool SkipBlankLinesAndLineStartingWith(std::string_view prefix);

  enum class Item {
    Number,      // a number was read
    End,         // the file ended before the item
    Empty,       // a comma where an item should start
    NotNumber,   // text that is not a decimal number
    TooLong,     // an item longer than the buffer
    OutOfRange,  // a decimal number beyond double precision
  };
  // Reads the next item as a number; the separator that ends it is consumed, and with it the
  // line end that follows (so a table's last item leaves the scanner at the next line).
  Item ReadNumber(double& value);
  // The same, checking only that the item is a decimal number.
  Item SkipNumber();
  // Reads a row of `count` numbers, number `used` (1-based) into value, as ReadNumber and
  // SkipNumber would, when the row lies whole in the buffer and each of its items is a number
  // followed by a separator; otherwise consumes nothing and returns false, and the row is left for
  // ReadNumber and SkipNumber, which word what is wrong with it.
  bool ReadPlainRow(int count, int used, double& value);
  // The text of the item last read or rejected (cut to 40 bytes); valid until the next read.
  std::string_view LastItem() const;
  // The line on which the item last read or rejected starts.
  std::int64_t LastItemLine() const { return itemLine_; }

  // The line that the next byte read lies on.
  std::int64_t CurrentLine() const { return line_; }
  // Lines in the file; meaningful once the end of the file was reached.
  std::int64_t LinesInFile() const;

  // The file offset of the next byte to read, when the scanner would go on from there as a fresh
  // scanner restarted at that offset would (nothing of a cut line is left to skip).
  std::optional<std::uint64_t> ResumableOffset() const;
  // Continues at file offset `offset`, which lies on line `line`, as if everything before had
  // been read (for a reader that splits the file at a point it found by other means).
  void Restart(std::uint64_t offset, std::int64_t line);

 private:
  // Moves the unread bytes to the front and reads more after them; false when nothing more
  // could be read (end of file or buffer full).
  bool Refill();
  bool AtEnd();    // refills when the buffer is used up
  void MarkEnd();  // puts the 0 after the buffered bytes that ReadPlainRow relies on
  Item NextItem(double* value);
  void SkipRestOfLine();
  void ConsumeSeparatorAfterItem();

  const InputFile& file_;
  std::size_t capacity_;
  // capacity_ bytes and the 0 after the last one read; left uninitialised, as clearing a megabyte
  // on every load is wasted work.
  std::unique_ptr<char[]> buffer_;
  const char* pos_ = nullptr;
  const char* end_ = nullptr;
  std::uint64_t fileOffset_ = 0;  // file offset of end_
  bool eof_ = false;
  bool skipRest_ = false;  // the last line returned was cut; its rest is still to be skipped
  char lastByte_ = 0;      // last byte read from the file
  std::int64_t line_ = 1;  // line holding pos_
  std::int64_t itemLine_ = 0;
  const char* itemBegin_ = nullptr;
  const char* itemEnd_ = nullptr;
};

// The longest decimal number at the start of text after blanks and tabs, as a header value:
// 0 when there is none, nullopt when it is beyond double precision.
std::optional<double> LeadingDecimal(std::string_view text);
