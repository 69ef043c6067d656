// Text exports large enough for the reader's second core (several MiB after the first block):
// the grid, the peak, the progress, every message and line number must be what one core gives
// and the levels what the rule gives, whatever the layout, wherever a failure lies, and a stopped
// load must end its thread.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "float_steps.h"
#include "load_measurement.h"
#include "recording_host.h"
#include "test_files.h"
#include "text_second_half.h"

using ::testing::HasSubstr;

namespace {

constexpr int kMics = 6;
constexpr int kRows = 30000;  // about 1.2 MB a block

double Sixth(int row, int mic) {
  return row * 0.001 + mic;
}

float Level(double v) {
  return static_cast<float>(std::log(v) * 10.0 / std::log(10.0));
}

enum class Layout { MarkerInHeaderOnly, MarkerBetweenBlocks, MarkerInsideBlocks, RowLikeLines };

struct Export {
  std::string text;
  std::vector<std::int64_t> firstRowLine;  // per microphone (1-based index), the line of row 1
};

Export MakeExport(Layout layout, bool crlf = false) {
  Export out;
  const std::string end = crlf ? "\r\n" : "\n";
  out.text = "Export" + end + "Microphones = " + std::to_string(kMics) + end +
             "Time           = " + std::to_string(kRows) + end + "Precision      = 1" + end +
             "[Microphones]" + end;
  std::int64_t line = 6;
  out.firstRowLine.push_back(0);
  for (int m = 1; m <= kMics; ++m) {
    if (layout == Layout::MarkerBetweenBlocks && m > 1) {
      out.text += end + "[Microphone " + std::to_string(m) + "]" + end;
      line += 2;
    }
    for (int i = 1; i <= 6; ++i) {
      if (layout == Layout::MarkerInsideBlocks && i == 1) {
        out.text += "[Microphone " + std::to_string(m) + "]" + end;
      } else if (layout == Layout::RowLikeLines) {
        out.text += std::to_string(i) + ".5 m" + (i == 3 ? " height" : "") + end;  // like rows
      } else {
        out.text += "block " + std::to_string(m) + " line " + std::to_string(i) + end;
      }
    }
    line += 6;
    out.firstRowLine.push_back(line);
    for (int t = 1; t <= kRows; ++t) {
      char row[96];
      std::snprintf(row, sizeof row, "7,0.25,3e2,-4,1.5E-3,%.3f,9,8,-1,2", Sixth(t, m));
      out.text += row + end;
    }
    line += kRows;
  }
  return out;
}

struct TextMapSplitTest : ::testing::Test {
  std::string Write(const std::string& text) { return folder.Write("big.__lev", text); }
  TempFolder folder;
  RecordingHost host;
};

TEST_F(TextMapSplitTest, EveryLayoutGivesTheGridPeakAndProgressOfOneCore) {
  for (const Layout layout : {Layout::MarkerInHeaderOnly, Layout::MarkerBetweenBlocks,
                              Layout::MarkerInsideBlocks, Layout::RowLikeLines}) {
    for (const bool crlf : {false, true}) {
      host = RecordingHost();
      const Measurement s = LoadedMeasurement(Write(MakeExport(layout, crlf).text), host);
      ASSERT_EQ(s.grid.MicCount(), kMics);
      ASSERT_EQ(s.grid.RowCount(), kRows);
      bool same = true;
      for (int m = 1; m <= kMics && same; ++m) {
        for (int t = 1; t <= kRows && same; ++t) same = s.grid.At(t, m) == Level(Sixth(t, m));
      }
      EXPECT_TRUE(same) << static_cast<int>(layout) << " crlf " << crlf;
      EXPECT_EQ(s.peakLevel, Level(Sixth(kRows, kMics)));
      ASSERT_EQ(host.progress.size(), static_cast<std::size_t>(kMics));
      for (int m = 1; m <= kMics; ++m) {
        EXPECT_EQ(host.progress[m - 1],
                  static_cast<float>(100.0 * (static_cast<double>(m) / kMics)));
      }
      EXPECT_EQ(host.yields, 1 + kMics + 1);
    }
  }
}

// The level of a sixth number by the rule: 10 ln(v) / ln 10 in double, rounded to single; -100
// when v is not above 0.
float LevelByRule(const std::string& sixth) {
  const double v = std::strtod(sixth.c_str(), nullptr);
  return v > 0.0 ? static_cast<float>(std::log(v) * 10.0 / std::log(10.0)) : -100.0f;
}

// Restores the size from which the reader starts its second core.
struct SecondHalfMinBytes {
  explicit SecondHalfMinBytes(std::uint64_t bytes) { SetTextSecondHalfMinBytes(bytes); }
  ~SecondHalfMinBytes() { SetTextSecondHalfMinBytes(kTextSecondHalfMinBytes); }
};

TEST_F(TextMapSplitTest, NumbersOfEveryMagnitudeGiveTheRuleLevelsAndWhatOneCoreReads) {
  constexpr int kBlocks = 5;
  constexpr int kTableRows = 45000;
  std::mt19937_64 random(21);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-40, 40);
  std::vector<std::string> sixth;  // by block, then row
  std::string text =
      "Export\r\nMicrophones = 5\r\nTime           = 11250\r\n"
      "Precision      = 0.25\r\n[Microphones]\r\n";
  for (int m = 1; m <= kBlocks; ++m) {
    for (int i = 1; i <= 6; ++i) text += "microphone " + std::to_string(m) + "\r\n";
    for (int t = 1; t <= kTableRows; ++t) {
      // Zeros and negatives, plain decimals, and numbers from 1e-40 to 1e41.
      char v[32];
      const auto kind = random() % 8;
      if (kind == 0) std::snprintf(v, sizeof v, "%d", -static_cast<int>(random() % 3));
      if (kind == 1) std::snprintf(v, sizeof v, "%.3f", mantissa(random));
      if (kind > 1)
        std::snprintf(v, sizeof v, "%.9e", mantissa(random) * std::pow(10.0, exponent(random)));
      sixth.emplace_back(v);
      text += "1,2,3,4,5," + sixth.back() + ",7,8,9,10\r\n";
    }
  }
  // The blocks after the first are well beyond the size from which a second core reads them.
  ASSERT_GT(text.size() * (kBlocks - 1) / kBlocks, kTextSecondHalfMinBytes + (1 << 20));
  const std::string path = Write(text);

  const Measurement s = LoadedMeasurement(path, host);
  ASSERT_EQ(s.grid.MicCount(), kBlocks);
  ASSERT_EQ(s.grid.RowCount(), kTableRows);
  EXPECT_EQ(s.sampleRate, 16);
  // The logarithms are vectorised, within one step in double precision: a level may differ from
  // the rule's by one single-precision step, but hardly ever does.
  float peak = -100.0f;
  std::int64_t offByOne = 0;
  for (int m = 1; m <= kBlocks; ++m) {
    for (int t = 1; t <= kTableRows; ++t) {
      const std::string& v = sixth[static_cast<std::size_t>((m - 1) * kTableRows + t - 1)];
      const float expected = LevelByRule(v);
      peak = std::max(peak, expected);
      const std::int64_t steps = FloatSteps(s.grid.At(t, m), expected);
      ASSERT_LE(steps, 1) << "row " << t << " of microphone " << m << ": " << v << " gives "
                          << s.grid.At(t, m);
      offByOne += steps;
    }
  }
  EXPECT_LE(offByOne, kBlocks * kTableRows / 10000) << offByOne;
  EXPECT_LE(FloatSteps(s.peakLevel, peak), 1);
  EXPECT_EQ(host.progress.size(), static_cast<std::size_t>(kBlocks));

  // The same file on one core: the same levels to the last bit.
  const SecondHalfMinBytes oneCore(std::numeric_limits<std::uint64_t>::max());
  RecordingHost plainHost;
  const Measurement plain = LoadedMeasurement(path, plainHost);
  for (int m = 1; m <= kBlocks; ++m) {
    const auto a = s.grid.DataColumn(m);
    const auto b = plain.grid.DataColumn(m);
    EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end())) << "microphone " << m;
  }
  EXPECT_EQ(plain.peakLevel, s.peakLevel);
  EXPECT_EQ(plainHost.progress, host.progress);
  EXPECT_EQ(plainHost.yields, host.yields);
}

TEST_F(TextMapSplitTest, FailuresLateInTheFileNameTheLinesOfTheWholeFile) {
  const Export good = MakeExport(Layout::MarkerBetweenBlocks);
  const std::int64_t row17 = good.firstRowLine[5] + 16;
  // Number 3 of row 17 of microphone 5 becomes text.
  std::string bad = good.text;
  std::size_t at = 0;
  for (std::int64_t line = 1; line < row17; ++line) at = bad.find('\n', at) + 1;
  bad.replace(at + 7, 3, "abc");
  EXPECT_EQ(LoadFailureMessage(Write(bad), host),
            "line " + std::to_string(row17) +
                " holds \"abc\" where number 3 of row 17 of microphone 5 was expected");
  EXPECT_EQ(host.progress.size(), 5u);  // microphone 5 started, then the failure
  EXPECT_EQ(host.yields, 1 + 4);

  // Cut inside microphone 6's table, after the fourth number of a row.
  host = RecordingHost();
  const std::int64_t lastLine = good.firstRowLine[6] + 99;
  at = 0;
  for (std::int64_t line = 1; line < lastLine; ++line) at = good.text.find('\n', at) + 1;
  const std::string cut = good.text.substr(0, at + 10);  // "7,0.25,3e2"
  EXPECT_EQ(LoadFailureMessage(Write(cut), host),
            "it ends after line " + std::to_string(lastLine) +
                ", where number 4 of row 100 of microphone 6 was expected");
}

TEST_F(TextMapSplitTest, AStoppedLoadEndsItsThreadAndReturnsNothing) {
  struct Stopped {};
  const std::string path = Write(MakeExport(Layout::MarkerInHeaderOnly).text);
  for (const int stopAt : {2, 3, kMics}) {
    host = RecordingHost();
    host.onYield = [stopAt](int yields) {
      if (yields == stopAt) throw Stopped{};
    };
    EXPECT_THROW(LoadMeasurement(path, 0.0f, kTestDecimation, host), Stopped);
    EXPECT_EQ(host.yields, stopAt);
  }
}

}  // namespace
