#include "bench_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "load_measurement.h"

namespace fs = std::filesystem;

std::string BenchFile(const std::string& name, std::uint64_t expectedSize,
                      const std::function<void(const std::string& path)>& write) {
  const fs::path folder = "/tmp/vexal_bench";
  fs::create_directories(folder);
  const fs::path file = folder / name;
  std::error_code error;
  if (fs::file_size(file, error) != expectedSize || error) write(file.string());
  return file.string();
}

std::uint64_t PeakResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoull(line.substr(6)) * 1024;
  }
  return 0;
}

void ResetPeakResident() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

void MeasureLoads(benchmark::State& state, const std::string& path, LoadHost& host,
                  std::int32_t expectedMics, std::int32_t expectedRows) {
  {
    const LoadResult first = LoadMeasurement(path, 0.0f, kBenchDecimation, host);
    const auto* loaded = std::get_if<Measurement>(&first);
    if (loaded == nullptr || loaded->grid.MicCount() != expectedMics ||
        loaded->grid.RowCount() != expectedRows) {
      state.SkipWithError("the file did not load as expected");
      return;
    }
  }
  std::uint64_t peakGrowth = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ResetPeakResident();
    const std::uint64_t before = PeakResidentBytes();
    state.ResumeTiming();
    LoadResult result = LoadMeasurement(path, 0.0f, kBenchDecimation, host);
    state.PauseTiming();
    peakGrowth = std::max(peakGrowth, PeakResidentBytes() - before);
    benchmark::DoNotOptimize(result);
    result = Cancelled{};
    state.ResumeTiming();
  }
  state.counters["load_peak_MiB"] = static_cast<double>(peakGrowth) / (1 << 20);
  state.counters["process_peak_MiB"] = static_cast<double>(PeakResidentBytes()) / (1 << 20);
}
