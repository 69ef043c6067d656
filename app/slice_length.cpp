#include "slice_length.h"

#include <algorithm>

#include "file_kind.h"
#include "file_names.h"

std::int32_t SteppedSliceLength(std::int32_t decimation, int direction) {
  const std::int32_t stepped = direction > 0 ? decimation * 2 : decimation / 2;
  return std::clamp(stepped, std::int32_t{1}, kMaxWindowSlice);
}

std::variant<std::int32_t, std::string> ReadSliceAnswer(const std::string& answer) {
  const auto first = answer.find_first_not_of(" \t");
  const auto last = answer.find_last_not_of(" \t");
  const std::string digits =
      first == std::string::npos ? "" : answer.substr(first, last - first + 1);
  const std::string wrong = "The slice length is a whole number of samples from 1 to " +
                            std::to_string(kMaxWindowSlice) + ", not \"" + answer + "\".";
  if (digits.empty() || digits.size() > 4) return wrong;
  std::int32_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return wrong;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > kMaxWindowSlice) return wrong;
  return value;
}

std::optional<std::string> SliceLengthRefusal(const std::string& fileName) {
  const ReaderKind kind = ReaderFor(FileKindOf(fileName));
  if (kind != ReaderKind::Mls && kind != ReaderKind::TextMap) return std::nullopt;
  return "The slice length applies to recordings, audio files and SOFA sets; the rows of " +
         FileNameText(fileName).toStdString() + " are not slices of samples.";
}
