// Room-acoustic figures of made-up responses with known decays, and the limits of each figure.

#include "room_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

constexpr double kRate = 48000.0;

// Amplitude falling 60 dB in t60 seconds, lasting 2 t60 (the curve falls 120 dB); white Gaussian
// noise under that envelope when noisy, the bare envelope otherwise.
std::vector<double> ExponentialDecay(double t60, bool noisy, unsigned seed = 1) {
  const auto count = static_cast<std::size_t>(2.0 * t60 * kRate);
  std::mt19937 generator(seed);
  std::normal_distribution<double> noise;
  std::vector<double> h(count);
  for (std::size_t n = 0; n < count; ++n) {
    const double envelope = std::pow(10.0, -3.0 * static_cast<double>(n) / (t60 * kRate));
    h[n] = noisy ? envelope * noise(generator) : envelope;
  }
  return h;
}

double NominalC(double t60, double seconds) {
  return 10.0 * std::log10(std::exp(13.82 * seconds / t60) - 1.0);
}

TEST(RoomFigures, ExponentialDecaysGiveTheirReverberationTimeAndClarity) {
  for (const double t60 : {0.3, 0.6, 1.2}) {
    SCOPED_TRACE(t60);
    const RoomFigures noisy = ComputeRoomFigures(ExponentialDecay(t60, true), kRate);
    ASSERT_TRUE(noisy.t30S && noisy.t20S && noisy.edtS);
    EXPECT_NEAR(*noisy.t30S, t60, 0.02 * t60);
    EXPECT_NEAR(*noisy.t20S, t60, 0.03 * t60);
    EXPECT_LT(*noisy.onsetMs, 1.0);
    EXPECT_NEAR(*noisy.c50Db, NominalC(t60, 0.050), 0.2);

    const RoomFigures bare = ComputeRoomFigures(ExponentialDecay(t60, false), kRate);
    EXPECT_EQ(bare.onsetMs, 0.0);
    for (const auto& decay : {bare.edtS, bare.t20S, bare.t30S})
      EXPECT_NEAR(*decay, t60, 1e-3 * t60);
    EXPECT_NEAR(*bare.c50Db, NominalC(t60, 0.050), 0.01);
    EXPECT_NEAR(*bare.c80Db, NominalC(t60, 0.080), 0.01);
    EXPECT_NEAR(*bare.d50Percent, 100.0 * (1.0 - std::exp(-13.82 * 0.050 / t60)), 0.05);
    EXPECT_NEAR(*bare.tsMs, 1000.0 * t60 / 13.82, 0.01 * 1000.0 * t60 / 13.82);
  }
}

TEST(RoomFigures, OnsetIsTheFirstSampleWithinTwentyDecibelsOfTheLoudest) {
  // 0.099^2 lies just under 1/100 of the loudest energy, 0.1^2 just over it.
  const std::vector<double> h{0.0, 0.099, -0.1, 1.0, 0.5};
  EXPECT_EQ(ComputeRoomFigures(h, 1000.0).onsetMs, 2.0);
  // The centre time counts from the onset: energy 0.01 at 0 ms, 1 at 1 ms, 0.25 at 2 ms.
  EXPECT_DOUBLE_EQ(*ComputeRoomFigures(h, 1000.0).tsMs, (1.0 + 0.5) / 1.26);
}

TEST(RoomFigures, FiguresNeedTheirPartOfTheResponse) {
  // A flat response of 30 samples: its curve ends at 10 log10(1/30) = -14.8 dB, below the early
  // decay range but above the others; it is far shorter than 50 ms.
  const RoomFigures flat = ComputeRoomFigures(std::vector<double>(30, 0.5), kRate);
  EXPECT_TRUE(flat.edtS);
  EXPECT_FALSE(flat.t20S || flat.t30S || flat.c50Db || flat.c80Db || flat.d50Percent);
  EXPECT_TRUE(flat.tsMs && flat.onsetMs);

  struct Case {
    std::size_t count;  // samples at 1000 per second (50 ms = 50 samples)
    bool lastIsZero;    // so that the energy after 50 ms is 0
    bool d50;           // given
    bool c50;
  };
  for (const Case& c :
       {Case{50, false, false, false}, Case{51, false, true, true}, Case{51, true, true, false}}) {
    SCOPED_TRACE(c.count);
    std::vector<double> h(c.count, 1.0);
    if (c.lastIsZero) h.back() = 0.0;
    const RoomFigures f = ComputeRoomFigures(h, 1000.0);
    EXPECT_EQ(f.d50Percent.has_value(), c.d50);
    EXPECT_EQ(f.c50Db.has_value(), c.c50);
    EXPECT_FALSE(f.c80Db);
  }
  EXPECT_EQ(
      ComputeRoomFigures(std::vector<double>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 200.0).d50Percent,
      100.0);
}

TEST(RoomFigures, FiftyMillisecondsRoundHalfToEven) {
  // 0.050 x 50 = 2.5 samples: 2, not 3. 0.050 x 30 = 1.5: 2.
  EXPECT_DOUBLE_EQ(*ComputeRoomFigures(std::vector<double>(10, 1.0), 50.0).d50Percent, 20.0);
  EXPECT_DOUBLE_EQ(*ComputeRoomFigures(std::vector<double>(10, 1.0), 30.0).d50Percent, 20.0);
}

TEST(RoomFigures, SilenceAndTrailingZeros) {
  EXPECT_EQ(ComputeRoomFigures(std::vector<double>(4800, 0.0), kRate), RoomFigures{});
  EXPECT_EQ(ComputeRoomFigures(std::vector<double>{}, kRate), RoomFigures{});

  // Exact zeros after the response add no energy and no level: the figures stay as they were
  // (but for the rounding of sums taken in another order).
  std::vector<double> h = ExponentialDecay(0.3, true);
  const RoomFigures alone = ComputeRoomFigures(h, kRate);
  h.resize(h.size() * 3, 0.0);
  const RoomFigures padded = ComputeRoomFigures(h, kRate);
  const auto values = [](const RoomFigures& f) {
    return std::vector{f.onsetMs, f.edtS, f.t20S, f.t30S, f.c50Db, f.c80Db, f.d50Percent, f.tsMs};
  };
  for (std::size_t i = 0; i < values(alone).size(); ++i) {
    ASSERT_TRUE(values(alone)[i] && values(padded)[i]) << i;
    EXPECT_NEAR(*values(padded)[i], *values(alone)[i], 1e-9 * std::fabs(*values(alone)[i])) << i;
  }
}

TEST(RoomFigures, RefusesWhatIsNotANumber) {
  EXPECT_THROW(ComputeRoomFigures(std::vector<double>{1.0, NAN}, kRate), std::invalid_argument);
  EXPECT_THROW(ComputeRoomFigures(std::vector<double>{1.0, INFINITY}, kRate),
               std::invalid_argument);
  EXPECT_THROW(ComputeRoomFigures(std::vector<double>{1e200, 1e200}, kRate), std::invalid_argument);
  EXPECT_THROW(ComputeRoomFigures(std::vector<double>{1.0}, 0.0), std::invalid_argument);
}

}  // namespace
