#include "text_scanner.h"

#include <algorithm>
#include <cstring>

#include "decimal_number.h"
#include "scope_exit.h"

namespace {

constexpr std::size_t kShownItemBytes = 40;

inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
inline bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}
inline bool IsSeparator(char c) {
  return c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// End of the longest decimal number starting at begin: [+-] digits [. digits] [e [+-] digits],
// with at least one digit before the exponent; begin when there is none. Unbounded, it stops at
// the first byte that cannot continue the number, which the caller guarantees before `end`.
template <bool kBounded>
const char* DecimalEndIn(const char* begin, const char* end) {
  const auto more = [end](const char* p) { return !kBounded || p < end; };
  const char* p = begin;
  if (more(p) && (*p == '+' || *p == '-')) ++p;
  const char* digits = p;
  while (more(p) && IsDigit(*p)) ++p;
  bool any = p != digits;
  if (more(p) && *p == '.') {
    const char* fraction = ++p;
    while (more(p) && IsDigit(*p)) ++p;
    any = any || p != fraction;
  }
  if (!any) return begin;
  if (more(p) && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    if (more(q) && (*q == '+' || *q == '-')) ++q;
    const char* exponent = q;
    while (more(q) && IsDigit(*q)) ++q;
    if (q != exponent) p = q;
  }
  return p;
}

const char* DecimalEnd(const char* begin, const char* end) {
  return DecimalEndIn<true>(begin, end);
}

}  // namespace

TextScanner::TextScanner(const InputFile& file, std::size_t capacity)
    : file_(file),
      capacity_(std::max<std::size_t>(capacity, 16)),
      buffer_(std::make_unique_for_overwrite<char[]>(capacity_ + 1)) {
  pos_ = end_ = buffer_.get();
  MarkEnd();
}

void TextScanner::MarkEnd() {
  buffer_[static_cast<std::size_t>(end_ - buffer_.get())] = '\0';
}

bool TextScanner::Refill() {
  char* data = buffer_.get();
  const std::size_t keep = static_cast<std::size_t>(end_ - pos_);
  if (pos_ != data) std::memmove(data, pos_, keep);
  pos_ = data;
  end_ = data + keep;
  const ScopeExit marked([this] { MarkEnd(); });
  if (eof_ || keep == capacity_) return false;
  const std::size_t wanted = capacity_ - keep;
  const std::size_t got = file_.ReadAt(fileOffset_, data + keep, wanted);
  fileOffset_ += got;
  end_ += got;
  if (got < wanted) eof_ = true;
  if (got == 0) return false;
  lastByte_ = end_[-1];
  return true;
}

bool TextScanner::AtEnd() {
  return pos_ == end_ && !Refill();
}

void TextScanner::SkipRestOfLine() {
  for (;;) {
    const auto* lineEnd = static_cast<const char*>(std::memchr(pos_, '\n', end_ - pos_));
    if (lineEnd != nullptr) {
      pos_ = lineEnd + 1;
      ++line_;
      return;
    }
    pos_ = end_;
    if (!Refill()) return;
  }
}

std::optional<TextScanner::Line> TextScanner::ReadLine() {
  if (skipRest_) SkipRestOfLine();
  skipRest_ = false;
  if (AtEnd()) return std::nullopt;
  Line line{{}, line_};
  for (;;) {
    const auto* lineEnd = static_cast<const char*>(std::memchr(pos_, '\n', end_ - pos_));
    if (lineEnd != nullptr) {
      line.text = std::string_view(pos_, static_cast<std::size_t>(lineEnd - pos_));
      pos_ = lineEnd + 1;
      ++line_;
      break;
    }
    if (!Refill()) {  // the last line without a line end, or a line longer than the buffer
      line.text = std::string_view(pos_, static_cast<std::size_t>(end_ - pos_));
      skipRest_ = !eof_;
      pos_ = end_;
      break;
    }
  }
  if (!line.text.empty() && line.text.back() == '\r') line.text.remove_suffix(1);
  return line;
}

bool TextScanner::SkipLine() {
  if (skipRest_) SkipRestOfLine();
  skipRest_ = false;
  if (AtEnd()) return false;
  SkipRestOfLine();
  return true;
}

bool TextScanner::SkipBlankLinesAndLineStartingWith(std::string_view prefix) {
  if (skipRest_) SkipRestOfLine();
  skipRest_ = false;
  for (;;) {
    const char* p = pos_;
    std::int64_t blankLines = 0;
    bool needMore = false;
    for (;;) {
      const char* q = p;
      while (q < end_ && IsBlank(*q)) ++q;
      if (q == end_) {
        needMore = true;
        break;
      }
      if (*q == '\n') {
        p = q + 1;
        ++blankLines;
        continue;
      }
      const auto available = static_cast<std::size_t>(end_ - p);
      if (available < prefix.size() && std::memchr(p, '\n', available) == nullptr) {
        needMore = true;
        break;
      }
      if (available < prefix.size() || std::string_view(p, prefix.size()) != prefix) return false;
      pos_ = p;
      line_ += blankLines;
      SkipRestOfLine();
      return true;
    }
    // Look further only while the look-ahead still fits the buffer; nothing was consumed.
    if (needMore && !Refill()) return false;
  }
}

TextScanner::Item TextScanner::ReadNumber(double& value) {
  return NextItem(&value);
}

TextScanner::Item TextScanner::SkipNumber() {
  return NextItem(nullptr);
}

TextScanner::Item TextScanner::NextItem(double* value) {
  // Separators before the item: blanks, tabs and line ends.
  for (;;) {
    const char* p = pos_;
    const char* const end = end_;
    std::int64_t lines = 0;
    while (p < end) {
      const char c = *p;
      if (c == '\n') {
        ++lines;
      } else if (!IsBlank(c)) {
        break;
      }
      ++p;
    }
    pos_ = p;
    line_ += lines;
    if (p < end) break;
    if (!Refill()) {
      itemBegin_ = itemEnd_ = pos_;
      itemLine_ = line_;
      return Item::End;
    }
  }
  itemLine_ = line_;
  itemBegin_ = pos_;
  itemEnd_ = pos_ + 1;
  if (*pos_ == ',') return Item::Empty;

  // Usually the whole item is a number followed by a separator inside the buffer.
  const char* numberEnd = DecimalEnd(pos_, end_);
  if (numberEnd != pos_ && numberEnd < end_ && IsSeparator(*numberEnd)) {
    itemEnd_ = numberEnd;
    if (value != nullptr && !DecimalToDouble(itemBegin_, itemEnd_, *value)) return Item::OutOfRange;
    pos_ = itemEnd_;
    ConsumeSeparatorAfterItem();
    return Item::Number;
  }

  // Otherwise the item runs to the next separator or the end of the file.
  std::size_t length = 0;
  for (;;) {
    const char* p = pos_ + length;
    const char* const end = end_;
    while (p < end && !IsSeparator(*p)) ++p;
    length = static_cast<std::size_t>(p - pos_);
    if (p < end || eof_) break;
    if (!Refill()) {
      if (!eof_) {
        itemBegin_ = pos_;
        itemEnd_ = pos_ + std::min(length, kShownItemBytes);
        return Item::TooLong;
      }
      break;
    }
  }
  itemBegin_ = pos_;
  itemEnd_ = pos_ + length;
  if (DecimalEnd(itemBegin_, itemEnd_) != itemEnd_ || length == 0) return Item::NotNumber;
  if (value != nullptr && !DecimalToDouble(itemBegin_, itemEnd_, *value)) return Item::OutOfRange;
  pos_ = itemEnd_;
  ConsumeSeparatorAfterItem();
  return Item::Number;
}

bool TextScanner::ReadPlainRow(int count, int used, double& value) {
  // The 0 at end_ stops every run of blanks, digits or signs below without a bounds check; a row
  // that reaches end_ goes on past the buffer.
  const char* p = pos_;
  const char* const end = end_;
  std::int64_t lines = 0;
  const char* item = p;
  const char* itemEnd = p;
  std::int64_t itemLines = 0;
  for (int k = 1; k <= count; ++k) {
    for (;; ++p) {
      if (*p == '\n') {
        ++lines;
      } else if (!IsBlank(*p)) {
        break;
      }
    }
    item = p;
    itemLines = lines;
    itemEnd = DecimalEndIn<false>(p, end);
    if (itemEnd == p || itemEnd == end || !IsSeparator(*itemEnd)) return false;
    if (k == used && !DecimalToDouble(item, itemEnd, value)) return false;
    p = itemEnd;
    while (IsBlank(*p)) ++p;
    if (*p == ',') {
      ++p;
      while (IsBlank(*p)) ++p;
    }
    if (p == end) return false;
    if (*p == '\n') {
      ++p;
      ++lines;
    }
  }
  itemLine_ = line_ + itemLines;
  itemBegin_ = item;
  itemEnd_ = itemEnd;
  pos_ = p;
  line_ += lines;
  return true;
}

// Blanks, then at most one comma and the blanks after it, then at most one line end.
void TextScanner::ConsumeSeparatorAfterItem() {
  const auto next = [this]() -> int {
    if (pos_ == end_ && !Refill()) return -1;
    return static_cast<unsigned char>(*pos_);
  };
  int c = next();
  while (c == ' ' || c == '\t' || c == '\r') {
    ++pos_;
    c = next();
  }
  if (c == ',') {
    ++pos_;
    c = next();
    while (c == ' ' || c == '\t' || c == '\r') {
      ++pos_;
      c = next();
    }
  }
  if (c == '\n') {
    ++pos_;
    ++line_;
  }
}

std::string_view TextScanner::LastItem() const {
  const auto length = static_cast<std::size_t>(itemEnd_ - itemBegin_);
  return {itemBegin_, std::min(length, kShownItemBytes)};
}

std::int64_t TextScanner::LinesInFile() const {
  if (fileOffset_ == 0) return 0;
  return lastByte_ == '\n' ? line_ - 1 : line_;
}

std::optional<std::uint64_t> TextScanner::ResumableOffset() const {
  if (skipRest_) return std::nullopt;
  return fileOffset_ - static_cast<std::uint64_t>(end_ - pos_);
}

void TextScanner::Restart(std::uint64_t offset, std::int64_t line) {
  pos_ = end_ = buffer_.get();
  MarkEnd();
  fileOffset_ = offset;
  eof_ = false;
  skipRest_ = false;
  line_ = line;
  itemBegin_ = itemEnd_ = pos_;
  // The byte before, for LinesInFile when nothing more is read.
  char before = 0;
  if (offset > 0 && file_.ReadAt(offset - 1, &before, 1) == 1) lastByte_ = before;
}

std::optional<double> LeadingDecimal(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  const char* begin = text.data() + start;
  const char* end = DecimalEnd(begin, text.data() + text.size());
  if (end == begin) return 0.0;
  double value = 0.0;
  if (!DecimalToDouble(begin, end, value)) return std::nullopt;
  return value;
}
