// SOFA sets: the measured KEMAR set, made-up sets of every layout the reader accepts, the
// plane selections, the question and its answers, and every refusal.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "load_measurement.h"
#include "recording_host.h"
#include "sample_files.h"
#include "sofa_positions.h"
#include "test_files.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr const char* kKemar = "/usr/share/libmysofa/MIT_KEMAR_normal_pinna.sofa";

// A response that tells measurement, receiver and emitter apart in every slice.
double Distinct(std::size_t m, std::size_t r, std::size_t e, std::size_t n) {
  return 0.001 * static_cast<double>((m + 1) * 100 + (r + 1) * 10 + (e + 1)) *
         (1.0 + 0.01 * static_cast<double>(n));
}

class SofaLoad : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const SofaSpec& shape) {
    const std::string path = folder.Write(name, std::string_view{});
    WriteSofa(path, shape);
    return path;
  }
  Measurement Loaded(const std::string& path, std::optional<SofaChoice> choice = std::nullopt,
                     std::int32_t decimation = kTestDecimation) {
    return LoadedMeasurement(path, host, 0.0f, decimation, LoadChoices{false, {}, choice});
  }
  std::string ErrorOf(const std::string& path, std::optional<SofaChoice> choice = std::nullopt) {
    return LoadFailureMessage(path, host, 0.0f, kTestDecimation, LoadChoices{false, {}, choice});
  }

  TempFolder folder;
  RecordingHost host;
};

TEST_F(SofaLoad, KemarHorizontalPlaneShowsEachEarLoudestOnItsOwnSide) {
  if (!std::filesystem::exists(kKemar)) GTEST_SKIP() << kKemar << " is not installed";
  for (const auto& [receiver, column] : {std::pair{1, 18}, {2, 56}}) {
    const Measurement s = Loaded(kKemar, SofaChoice{receiver, 1, SofaSelection::Horizontal});
    ASSERT_EQ(s.grid.MicCount(), 72);
    ASSERT_EQ(s.grid.RowCount(), 128);
    EXPECT_EQ(s.sampleRate, 44100);
    EXPECT_EQ(s.peakLevel, 203.72102f);
    EXPECT_EQ(s.grid.At(10, column), 203.72102f) << "receiver " << receiver;
    EXPECT_THAT(ColumnName(s.columns, column),
                HasSubstr(receiver == 1 ? "azimuth 85\u00b0, elevation 0\u00b0, 1.4 m"
                                        : "azimuth 275\u00b0, elevation 0\u00b0, 1.4 m"));
  }
  const Measurement all = Loaded(kKemar);
  EXPECT_EQ(all.grid.MicCount(), 710);
  ASSERT_EQ(host.sofaQuestions.size(), 1u);  // only the load without given answers asked
  const SofaFacts& facts = host.sofaQuestions.front();
  EXPECT_EQ(facts.convention, "SimpleFreeFieldHRIR");
  EXPECT_EQ(facts.measurements, 710);
  EXPECT_EQ(facts.receivers, 2);
  EXPECT_EQ(facts.emitters, 1);
  EXPECT_EQ(facts.samples, 512);
  EXPECT_EQ(facts.sampleRate, 44100);
}

TEST_F(SofaLoad, EveryLayoutGivesTheLevelsOfTheChosenResponses) {
  struct Case {
    const char* name;
    std::vector<std::string> dimensions;
    bool floatSamples;
    bool compressed;
    SofaChoice choice;
  };
  const Case cases[] = {
      {"plain", {"M", "R", "N"}, false, false, {2, 1, SofaSelection::All}},
      {"float", {"M", "R", "N"}, true, false, {1, 1, SofaSelection::All}},
      {"compressed float", {"M", "R", "N"}, true, true, {3, 1, SofaSelection::All}},
      {"reordered", {"N", "R", "M"}, false, true, {2, 1, SofaSelection::All}},
      {"FIR-E", {"M", "R", "E", "N"}, false, false, {3, 2, SofaSelection::All}},
      {"FIR-E reordered", {"E", "N", "M", "R"}, true, true, {1, 2, SofaSelection::All}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SofaSpec shape;
    shape.dataType = c.dimensions.size() == 4 ? "FIR-E" : "FIR";
    shape.irDimensions = c.dimensions;
    shape.m = 4, shape.r = 3, shape.e = c.dimensions.size() == 4 ? 2 : 1, shape.n = 21;
    shape.floatSamples = c.floatSamples;
    shape.compressed = c.compressed;
    shape.sample = Distinct;
    const Measurement s = Loaded(Write("set.sofa", shape), c.choice);
    ASSERT_EQ(s.grid.MicCount(), 4);
    ASSERT_EQ(s.grid.RowCount(), 5);  // floor(21 / 4)
    for (std::size_t m = 0; m < 4; ++m) {
      for (std::size_t row = 0; row < 5; ++row) {
        std::vector<double> slice;
        for (std::size_t k = 0; k < 4; ++k) {
          const double x = Distinct(m, static_cast<std::size_t>(c.choice.receiver - 1),
                                    static_cast<std::size_t>(c.choice.emitter - 1), row * 4 + k);
          slice.push_back(32768.0 * (c.floatSamples ? static_cast<float>(x) : x));
        }
        EXPECT_FLOAT_EQ(s.grid.At(static_cast<int>(row + 1), static_cast<int>(m + 1)),
                        ExpectedLevel(slice))
            << "measurement " << m + 1 << ", row " << row + 1;
      }
    }
    EXPECT_EQ(s.choices.sofa, c.choice);
    EXPECT_EQ(s.columns.word, "measurement");
  }
}

// Consecutive measurements are read a run at a time, and a long run in parts: the columns on
// either side of a part's end keep their own samples.
TEST_F(SofaLoad, RunsOfMeasurementsReadTogetherKeepEachItsSamples) {
  SofaSpec shape;
  shape.m = 40, shape.n = 8192;  // 400 rows of 16 samples: 6400 a column, 20 columns a part
  shape.sample = Distinct;
  const Measurement s = Loaded(Write("runs.sofa", shape), std::nullopt, 16);
  ASSERT_EQ(s.grid.MicCount(), 40);
  ASSERT_EQ(s.grid.RowCount(), 400);
  for (const std::size_t m : {0u, 19u, 20u, 21u, 39u}) {
    for (const std::size_t row : {0u, 1u, 399u}) {
      std::vector<double> slice;
      for (std::size_t k = 0; k < 16; ++k)
        slice.push_back(32768.0 * Distinct(m, 0, 0, row * 16 + k));
      EXPECT_FLOAT_EQ(s.grid.At(static_cast<int>(row + 1), static_cast<int>(m + 1)),
                      ExpectedLevel(slice))
          << "measurement " << m + 1 << ", row " << row + 1;
    }
  }
}

TEST_F(SofaLoad, SliceLengthSetsTheRowsAndTheRateIsRounded) {
  SofaSpec shape;
  shape.n = 2000;
  shape.rates = {44100.4, 44100.4, 44100.4};
  const std::string path = Write("long.sofa", shape);
  for (const auto& [decimation, rows] : {std::pair{1, 400}, {4, 400}, {8, 250}, {3000, 0}}) {
    const Measurement s = Loaded(path, std::nullopt, decimation);
    EXPECT_EQ(s.grid.RowCount(), rows) << decimation;
    EXPECT_EQ(s.sampleRate, 44100);
  }
}

TEST_F(SofaLoad, PlanesOrderTheirMeasurementsAndTheColumnsNameThem) {
  // azimuth, elevation, distance of six measurements
  SofaSpec shape;
  shape.m = 6;
  shape.positions = {90, 0, 1.4, 0, 30, 1.4, -1, 1.5, 2, 180, 10, 1, 358.5, -2.5, 1, 0, 0, 1};
  const std::string path = Write("planes.sofa", shape);
  const Measurement horizontal = Loaded(path, SofaChoice{1, 1, SofaSelection::Horizontal});
  ASSERT_EQ(horizontal.grid.MicCount(), 3);
  EXPECT_EQ(ColumnName(horizontal.columns, 1),
            "Measurement 6 \u2014 azimuth 0\u00b0, elevation 0\u00b0, 1 m");
  EXPECT_EQ(ColumnName(horizontal.columns, 2),
            "Measurement 1 \u2014 azimuth 90\u00b0, elevation 0\u00b0, 1.4 m");
  EXPECT_EQ(ColumnName(horizontal.columns, 3),
            "Measurement 3 \u2014 azimuth -1\u00b0, elevation 1.5\u00b0, 2 m");
  EXPECT_EQ(horizontal.columns.source, "receiver 1, emitter 1, horizontal plane");
  // Column 1 is measurement 6, whose first sample is 0.6.
  EXPECT_EQ(horizontal.grid.At(1, 1), ExpectedLevel({0.6 * 32768.0, 0, 0, 0}));

  const Measurement median = Loaded(path, SofaChoice{1, 1, SofaSelection::Median});
  std::vector<std::string> names;
  for (int c = 1; c <= median.grid.MicCount(); ++c) names.push_back(ColumnName(median.columns, c));
  // Front by elevation (-2.5, 0, 1.5, 30), then back by 180 - elevation (170).
  EXPECT_THAT(names, ElementsAre(HasSubstr("Measurement 5 "), HasSubstr("Measurement 6 "),
                                 HasSubstr("Measurement 3 "), HasSubstr("Measurement 2 "),
                                 HasSubstr("Measurement 4 ")));
}

TEST(SofaPositions, SelectionsByDirectionWithTiesInFileOrder) {
  const auto spherical = [](double azimuth, double elevation) {
    return SourcePosition{azimuth, elevation, 1.0, false};
  };
  const auto cartesian = [](double x, double y, double z) { return SourcePosition{x, y, z, true}; };
  const std::vector<SourcePosition> positions = {
      spherical(10, 2.0),                                      // 0: in the plane, at its edge
      spherical(10, -2.01),                                    // 1: just out
      cartesian(0, 1, 0),                                      // 2: azimuth 90
      spherical(-350, 0),                                      // 3: azimuth 10, tied with 0
      cartesian(-1, 0, 1),                                     // 4: azimuth 180, elevation 45
      cartesian(1, 0, -1),                                     // 5: azimuth 0, elevation -45
      spherical(181.9, 60),                                    // 6: back, polar 120
      spherical(std::numeric_limits<double>::quiet_NaN(), 0),  // 7: nowhere
  };
  EXPECT_THAT(SelectMeasurements(positions, SofaSelection::Horizontal), ElementsAre(0, 3, 2));
  EXPECT_THAT(SelectMeasurements(positions, SofaSelection::Median), ElementsAre(5, 6, 4));
  EXPECT_THAT(SelectMeasurements(positions, SofaSelection::All),
              ElementsAre(0, 1, 2, 3, 4, 5, 6, 7));
  EXPECT_EQ(MeasurementName(3, cartesian(1.25, -0.5, 0)),
            "Measurement 3 \u2014 x 1.25 m, y -0.5 m, z 0 m");
}

TEST_F(SofaLoad, TheQuestionAsksOnceAndItsAnswersTravelWithTheMeasurement) {
  SofaSpec shape;
  shape.r = 2;
  shape.delays = {3.0};
  shape.positions = {0, 0, 1};  // one position for every measurement
  const std::string path = Write("asked.sofa", shape);
  host.sofaAnswers = {SofaChoice{2, 1, SofaSelection::Horizontal}, std::nullopt};
  const Measurement s = Loaded(path);
  EXPECT_EQ(s.grid.MicCount(), 3);
  EXPECT_EQ(s.choices.sofa, (SofaChoice{2, 1, SofaSelection::Horizontal}));
  EXPECT_THAT(s.notes, ElementsAre(HasSubstr("Data.Delay is not applied")));
  ASSERT_EQ(host.sofaQuestions.size(), 1u);
  EXPECT_EQ(host.sofaQuestions[0].receivers, 2);
  EXPECT_TRUE(host.sofaQuestions[0].hasDirections);

  const LoadResult cancelled = LoadMeasurement(path, 0.0f, kTestDecimation, host);
  EXPECT_TRUE(std::holds_alternative<Cancelled>(cancelled));
  EXPECT_FALSE(host.loading);
  shape.delays = {0.0};
  EXPECT_TRUE(Loaded(Write("undelayed.sofa", shape)).notes.empty());
}

TEST_F(SofaLoad, RefusalsNameTheCause) {
  struct Case {
    const char* name;
    std::function<void(SofaSpec&)> change;
    std::optional<SofaChoice> choice;
    const char* message;
  };
  const Case cases[] = {
      {"transfer functions", [](SofaSpec& s) { s.dataType = "TF"; }, std::nullopt,
       "it holds transfer functions (DataType TF), not impulse responses"},
      {"other data", [](SofaSpec& s) { s.dataType = "SOS"; }, std::nullopt,
       "it holds DataType SOS, not impulse responses"},
      {"no Data.IR", [](SofaSpec& s) { s.writeIr = false; }, std::nullopt,
       "it has no Data.IR variable"},
      {"other dimensions",
       [](SofaSpec& s) {
         s.irDimensions = {"M", "Q", "N"};
       },
       std::nullopt, "its Data.IR has the dimensions (M, Q, N), not M, R and N (and E)"},
      {"rates differ",
       [](SofaSpec& s) {
         s.rates = {48000, 48000, 44100};
       },
       std::nullopt,
       "its sampling rate differs between measurements (48000 Hz at measurement 1, 44100 Hz at "
       "measurement 3)"},
      {"no receiver", [](SofaSpec&) {}, SofaChoice{2, 1, SofaSelection::All},
       "it has 1 receiver; there is no receiver 2"},
      {"no emitter", [](SofaSpec&) {}, SofaChoice{1, 3, SofaSelection::All},
       "it has 1 emitter; there is no emitter 3"},
      {"empty plane",
       [](SofaSpec& s) {
         s.positions = {0, 40, 1};
       },
       SofaChoice{1, 1, SofaSelection::Horizontal},
       "no measurement lies in the horizontal plane (within 2\u00b0)"},
      {"no positions", [](SofaSpec&) {}, SofaChoice{1, 1, SofaSelection::Median},
       "it has no SourcePosition of every measurement, so the median plane cannot be chosen"},
      {"not finite",
       [](SofaSpec& s) {
         s.sample = [](std::size_t m, std::size_t, std::size_t, std::size_t n) {
           return m == 1 && n == 5 ? std::numeric_limits<double>::quiet_NaN() : 0.5;
         };
       },
       std::nullopt, "measurement 2 holds a sample that is not a finite number (in row 2)"},
  };
  for (const Case& c : cases) {
    SofaSpec shape;
    c.change(shape);
    EXPECT_EQ(ErrorOf(Write("refused.sofa", shape), c.choice), c.message) << c.name;
  }
  EXPECT_EQ(ErrorOf(folder.Write("text.sofa", "not a SOFA set\n")),
            "it is not a netCDF-4/HDF5 file, as a SOFA set is");
  EXPECT_EQ(ErrorOf((folder.Path() / "missing.sofa").string()), "the file does not exist");
}

}  // namespace

// A set whose damaged HDF5 structure makes the library free a wild pointer while opening it: the
// load fails with its cause and the program goes on. Only the address checker is sure to catch
// that free; without it the library's behaviour on this file is undefined.
TEST_F(SofaLoad, ASetThatCrashesTheLibraryIsRefusedAndTheProgramGoesOn) {
#ifndef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "needs the address checker to make the library's fault certain";
#endif
  EXPECT_EQ(ErrorOf(VEXAL_TEST_DATA_DIR "/damaged_hdf5.sofa"),
            "its HDF5 structure is damaged: the netCDF library fails on it");
  EXPECT_EQ(Loaded(Write("after.sofa", SofaSpec{})).grid.MicCount(), 3);
}
