// Writing a 256 x 131072 map (33.5 M pixels) as a PNG into a file in the page cache, with the
// project's writer and, once, with Qt's default writer for comparison; and a recording's
// 1024 x 400 map (0.4 M pixels), whose write should run at the large map's pixel rate. The map is
// the example measurement's model (direct sound moving away, a decaying tail, a noise floor) as
// greys over a span of 100 dB (mostly the clipped floor, as the viewer starts) and of 150 dB (much
// of the noise floor visible: large areas of similar but noisy greys).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "lcg.h"
#include "png_writer.h"

namespace {

constexpr int kMics = 256;
constexpr int kRows = 131072;

constexpr int kMediumMics = 1024;
constexpr int kMediumRows = 400;

QImage MapGreys(double rangeDb, int mics = kMics, int rows = kRows) {
  QImage greys(mics, rows, QImage::Format_Grayscale8);
  Lcg random;
  for (int m = 0; m < mics; ++m) {
    const double distance = 1.0 + 0.15 * m * kMics / mics;
    const double direct = 8.0 * distance;
    for (int t = 0; t < rows; ++t) {
      const double x = (t - direct) / 1.2;
      const double after = t - direct;
      const double tail = after > 0 ? 0.6 / distance * std::exp(-after / 60.0) : 0.0;
      const double amplitude =
          std::exp(-x * x) / distance + tail * random.Next() + 0.03 * random.Next();
      const double level = 40.0 * std::log(std::max(amplitude, 1e-30));  // 20 ln(a^2)
      const double grey = std::clamp(255.0 * (0.0 - level) / rangeDb, 0.0, 255.0);
      greys.scanLine(t)[m] = static_cast<uchar>(grey);
    }
  }
  return greys;
}

const QImage& Map(int rangeDb) {
  static const QImage quiet = MapGreys(100.0);
  static const QImage noisy = MapGreys(150.0);
  return rangeDb == 100 ? quiet : noisy;
}

int ScratchFile() {
  char name[] = "/tmp/vexal_png_bench_XXXXXX";
  const int fd = ::mkstemp(name);
  if (fd < 0) throw std::runtime_error("cannot make a scratch file");
  ::unlink(name);
  return fd;
}

const QImage& MediumMap(int rangeDb) {
  static const QImage quiet = MapGreys(100.0, kMediumMics, kMediumRows);
  static const QImage noisy = MapGreys(150.0, kMediumMics, kMediumRows);
  return rangeDb == 100 ? quiet : noisy;
}

void WriteRepeatedly(benchmark::State& state, const QImage& map) {
  const int fd = ScratchFile();
  for (auto _ : state) {
    if (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0) state.SkipWithError("reset");
    WritePng(map, fd);
  }
  state.counters["file_MB"] = static_cast<double>(::lseek(fd, 0, SEEK_END)) / 1e6;
  ::close(fd);
  state.SetItemsProcessed(state.iterations() * std::int64_t{map.width()} * map.height());
}

void BM_WritePngMap(benchmark::State& state) {
  WriteRepeatedly(state, Map(static_cast<int>(state.range(0))));
}
// Wall time: a large map is compressed on two cores.
BENCHMARK(BM_WritePngMap)
    ->ArgName("range_dB")
    ->Arg(100)
    ->Arg(150)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_WritePngMediumMap(benchmark::State& state) {
  WriteRepeatedly(state, MediumMap(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_WritePngMediumMap)
    ->ArgName("range_dB")
    ->Arg(100)
    ->Arg(150)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// What the renderer wrote with before: QImage::save's defaults (slow, so one iteration).
void BM_QtSavePngMap(benchmark::State& state) {
  const QImage& map = Map(static_cast<int>(state.range(0)));
  QByteArray bytes;
  for (auto _ : state) {
    bytes.clear();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    map.save(&buffer, "PNG");
  }
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
  state.SetItemsProcessed(state.iterations() * std::int64_t{kMics} * kRows);
}
BENCHMARK(BM_QtSavePngMap)
    ->ArgName("range_dB")
    ->Arg(100)
    ->Arg(150)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
