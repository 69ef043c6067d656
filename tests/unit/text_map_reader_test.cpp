#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "recording_host.h"
#include "test_files.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::string Header(const std::string& microphones, const std::string& time,
                   const std::string& precision) {
  return "Level map export\n"
         "Microphones = " +
         microphones +
         "\n"
         "Time           = " +
         time +
         "\n"
         "Precision      = " +
         precision +
         "\n"
         "[Microphones]\n";
}

// One row of ten numbers whose sixth is v; the others vary so that a wrong pick shows.
std::string Row(const std::string& v) {
  return "7,0.25,3e2,-4,1.5E-3," + v + ",9,8,-1,2\n";
}

std::string Block(const std::vector<std::string>& sixth, int mic) {
  std::string text;
  for (int i = 1; i <= 6; ++i) {
    text += "block " + std::to_string(mic) + " line " + std::to_string(i) + "\n";
  }
  for (const auto& v : sixth) text += Row(v);
  return text;
}

// rows rows of sixth numbers 1, 2, 3, ... times the microphone number
std::vector<std::string> Counting(int rows, int mic) {
  std::vector<std::string> values;
  for (int t = 1; t <= rows; ++t) values.push_back(std::to_string(t * mic));
  return values;
}

std::string WithCrlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

float Level(double v) {
  return static_cast<float>(std::log(v) * 10.0 / std::log(10.0));
}

struct TextMapReaderTest : ::testing::Test {
  Measurement Load(const std::string& text, float peakLevel = 0.0f) {
    return LoadedMeasurement(folder.Write("hall.__lev", text), host, peakLevel);
  }
  std::string LoadFailure(const std::string& text, float peakLevel = 0.0f) {
    return LoadFailureMessage(folder.Write("hall.__lev", text), host, peakLevel);
  }
  TempFolder folder;
  RecordingHost host;
};

TEST_F(TextMapReaderTest, HeaderGivesCountsAndSampleRate) {
  const Measurement s =
      Load(Header("2", "0.5", "0.001") + Block(Counting(500, 1), 1) + Block(Counting(500, 2), 2));
  EXPECT_EQ(s.grid.MicCount(), 2);
  EXPECT_EQ(s.grid.RowCount(), 500);
  EXPECT_EQ(s.sampleRate, 4000);
  EXPECT_EQ(s.grid.At(1, 1), 0.0f);
  EXPECT_EQ(s.grid.At(500, 1), Level(500));
  EXPECT_EQ(s.grid.At(500, 2), Level(1000));
  EXPECT_EQ(s.peakLevel, Level(1000));

  EXPECT_EQ(Load(Header("1", "0.003", "0.003") + Block({"1"}, 1)).sampleRate, 1333);
}

TEST_F(TextMapReaderTest, RowCountRoundingUpLeavesTheLastRowZero) {
  // 0.7 / 0.001 is just below 700: 699 rows are read and row 700 stays 0.0.
  const Measurement s =
      Load(Header("2", "0.7", "0.001") + Block(Counting(699, 1), 1) + Block(Counting(699, 2), 2));
  EXPECT_EQ(s.grid.RowCount(), 700);
  EXPECT_EQ(s.grid.At(699, 2), Level(1398));
  EXPECT_EQ(s.grid.At(700, 1), 0.0f);
  EXPECT_EQ(s.grid.At(700, 2), 0.0f);
}

TEST_F(TextMapReaderTest, FractionalMicrophoneCountStaysInsideTheGrid) {
  // 2.6 rounds to 3 columns, but only blocks m <= 2.6 exist; column 3 stays 0.0.
  const Measurement s =
      Load(Header("2.6", "0.002", "0.001") + Block({"10", "10"}, 1) + Block({"100", "100"}, 2));
  EXPECT_EQ(s.grid.MicCount(), 3);
  EXPECT_EQ(s.grid.At(2, 2), 20.0f);
  EXPECT_EQ(s.grid.At(2, 3), 0.0f);
  EXPECT_EQ(Load(Header("2.4", "0.002", "0.001") + Block({"1", "1"}, 1) + Block({"1", "1"}, 2))
                .grid.MicCount(),
            2);
}

TEST_F(TextMapReaderTest, KeysMatchOnlyExactlyAndOnlyInTheHeader) {
  // The value of "Microphones =" starts one character after the "=".
  EXPECT_EQ(
      Load("Microphones =3\nTime           = 1\nPrecision      = 1\n[Microph\n").grid.MicCount(),
      0);
  EXPECT_TRUE(host.progress.empty());
  std::string twelve = Header("12", "0.001", "0.001");
  for (int m = 1; m <= 12; ++m) twelve += Block({"1"}, m);
  EXPECT_EQ(Load(twelve).grid.MicCount(), 12);

  const std::string otherCase =
      "microphones = 2\nTime          = 0.5\nTIME           = 0.5\n"
      "Precision      = 0.001\n[Microph\n";
  const Measurement s = Load(otherCase);
  EXPECT_EQ(s.grid.MicCount(), 0);
  EXPECT_EQ(s.grid.RowCount(), 0);

  EXPECT_THAT(LoadFailure("Time           = 1\n[Microph\nPrecision      = 0.5\n"),
              HasSubstr("its header (lines 1 to 2) has no time step"));
}

TEST_F(TextMapReaderTest, HeaderValuesAreLeadingDecimalNumbers) {
  const Measurement s = Load(
      "Microphones = \t1 microphone\nTime           =5E-1 s\nPrecision      =  0.25s\n"
      "Time           = 0.75\n[Microphone 1]\n" +
      Block({"1", "1", "1"}, 1));
  EXPECT_EQ(s.grid.MicCount(), 1);
  EXPECT_EQ(s.grid.RowCount(), 3);  // the last occurrence of a key counts
  EXPECT_EQ(s.sampleRate, 16);
  EXPECT_EQ(Load("Microphones = many\nPrecision      = 1\n[Microph\n").grid.MicCount(), 0);
}

TEST_F(TextMapReaderTest, LevelsAreTenCommonLogsOfTheSixthNumber) {
  const Measurement s =
      Load(Header("1", "7", "1") + Block({"1000", "100", "1", "0.5", "0", "-3", "2.5e-1"}, 1));
  EXPECT_EQ(s.grid.At(1, 1), 30.0f);
  EXPECT_EQ(s.grid.At(2, 1), 20.0f);
  EXPECT_EQ(s.grid.At(3, 1), 0.0f);
  EXPECT_FLOAT_EQ(s.grid.At(4, 1), -3.0103f);
  EXPECT_EQ(s.grid.At(5, 1), -100.0f);
  EXPECT_EQ(s.grid.At(6, 1), -100.0f);
  EXPECT_EQ(s.grid.At(7, 1), Level(0.25));
  EXPECT_EQ(s.peakLevel, 30.0f);
}

// Levels come from a vectorised logarithm: each within one single-precision step of the level
// taken one number at a time, over subnormal, power-of-two, near-one, huge and random numbers.
TEST_F(TextMapReaderTest, LevelsStayWithinOneFloatStepOfTheOneAtATimeLevel) {
  std::vector<double> values = {4.9e-324, 1e-310, 2.2250738585072014e-308, 1.0,
                                1.7976931348623157e308};
  for (int e = -1070; e <= 1023; e += 7) values.push_back(std::ldexp(1.0, e));
  for (int k = -200; k <= 200; ++k) values.push_back(1.0 + k * 1e-15);
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> exponent(-300.0, 300.0);
  for (int i = 0; i < 2000; ++i) values.push_back(std::pow(10.0, exponent(random)));
  std::vector<std::string> sixth;
  for (const double v : values) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    sixth.emplace_back(text);
  }
  const std::string rows = std::to_string(values.size());
  const Measurement s = Load(Header("1", rows, "1") + Block(sixth, 1));
  for (std::size_t t = 0; t < values.size(); ++t) {
    const float expected = Level(std::strtod(sixth[t].c_str(), nullptr));
    const float level = s.grid.At(static_cast<std::int32_t>(t + 1), 1);
    const std::int64_t steps =
        std::int64_t{std::bit_cast<std::int32_t>(level)} - std::bit_cast<std::int32_t>(expected);
    EXPECT_LE(std::abs(steps), 1) << sixth[t] << ": " << level << " against " << expected;
  }
}

TEST_F(TextMapReaderTest, NumbersMaySpreadOverLinesAndSeparatorsVary) {
  const std::string head = Header("1", "3", "1") + Block({}, 1);
  const Measurement s = Load(head +
                             "0,0,0,0,0,100,0,0,0,0\n"
                             "0, 0 ,0\t0 0\n100\n0,\n0,0,0\n"
                             "0 , 0 , 0 , 0 , 0 ,1000 ,0 , 0 , 0 , 0");  // no line end at the end
  EXPECT_EQ(s.grid.At(1, 1), 20.0f);
  EXPECT_EQ(s.grid.At(2, 1), 20.0f);
  EXPECT_EQ(s.grid.At(3, 1), 30.0f);
}

TEST_F(TextMapReaderTest, ProgressBeforeEachBlockAndOneYieldPerBlock) {
  std::string text = Header("4", "0.002", "0.001");
  for (int m = 1; m <= 4; ++m) text += Block({"1", "1"}, m);
  Load(text);
  EXPECT_THAT(host.progress, ElementsAre(25.0f, 50.0f, 75.0f, 100.0f));
  EXPECT_EQ(host.yields, 1 + 4 + 1);  // after the reallocation, per block, and the frame's own
}

TEST_F(TextMapReaderTest, PeakOnlyRises) {
  const Measurement quiet = Load(Header("1", "2", "1") + Block({"0", "-1"}, 1));
  EXPECT_EQ(quiet.grid.At(1, 1), -100.0f);
  EXPECT_EQ(quiet.peakLevel, 0.0f);
  const Measurement loud = Load(Header("1", "1", "1") + Block({"1000"}, 1), 50.0f);
  EXPECT_EQ(loud.grid.At(1, 1), 30.0f);
  EXPECT_EQ(loud.peakLevel, 50.0f);
}

TEST_F(TextMapReaderTest, BothBlockLayoutsAndLineEndsGiveTheSameGrid) {
  const std::string header = "Microphones = 3\nTime           = 0.004\nPrecision      = 0.001\n";
  std::string onlyHeaderMarker = header + "[Microphones]\n";
  std::string markerPerBlock = header;
  std::string blankBeforeMarker = header;
  for (int m = 1; m <= 3; ++m) {
    onlyHeaderMarker += Block(Counting(4, m), m);
    markerPerBlock += "[Microphone " + std::to_string(m) + "]\n" + Block(Counting(4, m), m);
    blankBeforeMarker += (m > 1 ? "\n  \n" : "") + std::string("[Microphone ") + std::to_string(m) +
                         "]\n" + Block(Counting(4, m), m);
  }
  const Measurement expected = Load(onlyHeaderMarker);
  EXPECT_EQ(expected.grid.At(4, 3), Level(12));
  const std::vector<std::string> variants = {
      markerPerBlock, blankBeforeMarker, WithCrlf(onlyHeaderMarker), WithCrlf(markerPerBlock),
      onlyHeaderMarker.substr(0, onlyHeaderMarker.size() - 1)};
  for (const auto& text : variants) {
    const Measurement s = Load(text);
    ASSERT_EQ(s.grid.MicCount(), 3);
    ASSERT_EQ(s.grid.RowCount(), 4);
    for (int m = 1; m <= 3; ++m) {
      for (int t = 1; t <= 4; ++t) EXPECT_EQ(s.grid.At(t, m), expected.grid.At(t, m));
    }
  }
}

TEST_F(TextMapReaderTest, MarkerLinesInsideBlocksAreCountedAmongTheSixLines) {
  // Each block's six lines begin with its own marker: no extra line is skipped between tables.
  std::string text = "Microphones = 2\nTime           = 1\nPrecision      = 1\n[Microphones]\n";
  for (int m = 1; m <= 2; ++m) {
    text += "[Microphone " + std::to_string(m) + "]\na\nb\nc\nd\ne\n" + Row(m == 1 ? "10" : "100");
  }
  const Measurement s = Load(text);
  EXPECT_EQ(s.grid.At(1, 1), 10.0f);
  EXPECT_EQ(s.grid.At(1, 2), 20.0f);
}

TEST_F(TextMapReaderTest, FailuresNameTheLineAndWhatWasExpected) {
  const std::string head = Header("1", "2", "1");  // five lines, then six before the table
  EXPECT_EQ(LoadFailure(""),
            "it is empty, before the line starting with \"[Microph\" that "
            "ends its header");
  EXPECT_THAT(LoadFailure("Microphones = 1\nTime           = 2\r\n"),
              HasSubstr("it ends after line 2, before the line starting with \"[Microph\""));
  EXPECT_THAT(LoadFailure(head + "a\nb\nc\n" + std::string(100, ' ')),
              HasSubstr("it ends after line 9, in the six lines before the table of microphone 1"));
  EXPECT_THAT(LoadFailure(head + Block({"1"}, 1) + "1,2,3\n"),
              HasSubstr("it ends after line 13, where number 4 of row 2 of microphone 1 was"));
  EXPECT_EQ(LoadFailure(head + Block({"1"}, 1) + "1,2,3,\n4,5,abc,7,8,9,10\n"),
            "line 14 holds \"abc\" where number 6 of row 2 of microphone 1 was expected");
  EXPECT_EQ(LoadFailure(head + Block({"1"}, 1) + "1,2,,4,5,6,7,8,9,10\n"),
            "line 13 has an empty item between two commas where number 3 of row 2 of "
            "microphone 1 was expected");
  EXPECT_THAT(LoadFailure(head + Block({"1", "1e999"}, 1)), HasSubstr("line 13 holds \"1e999\""));
  EXPECT_THAT(LoadFailure(head + Block({"1", "nan"}, 1)), HasSubstr("line 13 holds \"nan\""));
  EXPECT_EQ(LoadFailure(Header("1", "1", "0") + Block({"1"}, 1)),
            "line 4 gives the time step \"Precision      =\" as 0; it must be above 0");
  EXPECT_THAT(LoadFailure(Header("1", "-1", "-0.5") + Block({"1", "1"}, 1)),
              HasSubstr("line 4 gives the time step \"Precision      =\" as -0.5"));
  EXPECT_THAT(LoadFailure(Header("-2", "1", "1")), HasSubstr("a negative number of microphones"));
  EXPECT_THAT(LoadFailure(Header("1", "-2", "1")), HasSubstr("a negative number of rows"));
  EXPECT_THAT(LoadFailure(Header("1", "1", "1e-300")), HasSubstr("its header gives 1e+300 rows"));
  EXPECT_THAT(LoadFailure("Time           = 1e999\n[Microph\n"),
              HasSubstr("line 1 gives \"Time           =\" a value beyond the range of numbers"));
  EXPECT_THAT(LoadFailure("Microphones = 1\n" + std::string(1000, '\n')), HasSubstr("line 1001"));
  EXPECT_THAT(LoadFailureMessage((folder.Path() / "none.__lev").string(), host),
              HasSubstr("does not exist"));
}

TEST_F(TextMapReaderTest, HeaderMustNotAnnounceMoreThanTheFileHolds) {
  // A million rows for each of 1000 microphones would need 4 GB of grid: refused before.
  EXPECT_THAT(LoadFailure(Header("1000", "500000", "0.5") + Block({"1"}, 1)),
              HasSubstr("it is too short for its header: 1000 microphones of 1000000 rows of ten "
                        "numbers need at least 20000006000 bytes, and the file has"));
  // Many microphones of no rows still need six lines each.
  EXPECT_THAT(LoadFailure(Header("100000000", "0.6", "1")), HasSubstr("too short for its header"));
  // Below one microphone no block is read, but the grid column would still be allocated.
  EXPECT_THAT(LoadFailure(Header("0.6", "1e9", "1")), HasSubstr("too short for its header"));
}

TEST_F(TextMapReaderTest, FailureHandsBackNoMeasurement) {
  const Measurement before = Load(Header("1", "2", "1") + Block({"100", "10"}, 1));
  host = RecordingHost();
  // The first block is read; the second ends in its six lines.
  const std::string bad = Header("2", "2", "0.5") + Block({"1", "1", "1", "1"}, 1) + "6 lines\n";
  EXPECT_EQ(LoadFailure(bad, before.peakLevel),
            "it ends after line 16, in the six lines before the table of microphone 2");
  EXPECT_THAT(host.loadingChanges, ElementsAre(true, false));
}

}  // namespace
