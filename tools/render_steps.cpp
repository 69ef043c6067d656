#include "render_steps.h"

#include <cstdio>
#include <stdexcept>

#include "file_kind.h"
#include "grid_export.h"
#include "load_error.h"
#include "load_measurement.h"

namespace {

// What the map does not show of the file, when there is anything to say.
std::string NotesJson(const ViewState& state) {
  if (state.Notes.empty()) return {};
  std::string list;
  for (const std::string& note : state.Notes) list += (list.empty() ? "" : ", ") + JsonString(note);
  return ", \"notes\": [" + list + "]";
}

std::string RefusalText(const Refusal& refusal) {
  switch (refusal.reason) {
    case RefusalReason::NotMono:
      return "refused: Sorry, this is not a Mono .WAV file!";
  }
  return "refused";
}

// The length of the well-formed UTF-8 sequence of two to four bytes at text[at], 0 when there is
// none (a stray continuation byte, a truncated or overlong sequence, a surrogate, or beyond
// U+10FFFF).
std::size_t Utf8SequenceLength(const std::string& text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80;  // the second byte's range, narrowed to refuse the forbidden forms
  unsigned char high = 0xbf;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    if (lead == 0xe0) low = 0xa0;
    if (lead == 0xed) high = 0x9f;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;
  } else {
    return 0;
  }
  if (at + length > text.size() || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xbf) return 0;
  }
  return length;
}

}  // namespace

std::optional<std::string> RenderHost::AskPeriod(const std::string& initialText,
                                                 const RecordingFacts& recording) {
  if (!period_) throw LoadError("it is a recording: give its repetition period with --period");
  return QuietHost::AskPeriod(initialText, recording);
}

std::optional<std::string> RenderHost::RefuseGridSize(std::int32_t micCount,
                                                      std::int32_t rowCount) {
  if (!picture_) return std::nullopt;
  return PictureGridFault(*picture_, micCount, rowCount);
}

ViewState StartState(const RenderOptions& options) {
  ViewState state;
  state.RangeDb = options.rangeDb;
  state.Decimation = options.slice.value_or(kStartDecimation);
  return state;
}

std::optional<std::string> LoadInto(ViewState& state, const std::string& file, LoadHost& host,
                                    const LoadChoices& choices) {
  LoadResult result;
  const LevelScale scale = LevelScaleFor(ReaderFor(FileKindOf(file)));
  try {
    result = LoadMeasurement(file, PeakForLoad(state, scale), state.Decimation, host, choices);
  } catch (const LoadError& e) {
    return e.what();
  }
  if (auto* measurement = std::get_if<Measurement>(&result)) {
    TakeMeasurement(state, std::move(*measurement), scale);
    return std::nullopt;
  }
  if (const auto* refusal = std::get_if<Refusal>(&result)) return RefusalText(*refusal);
  return "the period prompt was cancelled";
}

void WriteGrid(const LevelGrid& grid, GridFormat format, std::ostream& out) {
  format == GridFormat::Npy ? WriteNpy(grid, out) : WriteCsv(grid, out);
}

std::string JsonString(const std::string& text) {
  std::string quoted = "\"";
  char escape[8];
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x80) {
      const std::size_t length = Utf8SequenceLength(text, i);
      if (length == 0) {
        // Not UTF-8: the byte as a lone low surrogate, as Python's "surrogateescape" reads it.
        std::snprintf(escape, sizeof escape, "\\udc%02x", byte);
        quoted += escape;
        ++i;
      } else {
        quoted.append(text, i, length);
        i += length;
      }
      continue;
    }
    if (byte == '"' || byte == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(byte);
    } else if (byte < 0x20) {
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      quoted += escape;
    } else {
      quoted += static_cast<char>(byte);
    }
    ++i;
  }
  return quoted + "\"";
}

std::string JsonSummary(const ViewState& state, const std::string& file) {
  return "\"kind\": " + JsonString(FileKindOf(file)) +
         ", \"mic_count\": " + std::to_string(state.LevelGrid.MicCount()) +
         ", \"row_count\": " + std::to_string(state.LevelGrid.RowCount()) +
         ", \"sample_rate\": " + std::to_string(state.SampleRate) +
         ", \"peak_level\": " + FloatText(state.PeakLevel) +
         ", \"range_db\": " + FloatText(state.RangeDb) + NotesJson(state);
}
