#pragma once
// Large generated inputs for the benchmarks, written once into /tmp/vexal_bench and reused while
// they exist with the expected size.

#include <cstdint>
#include <functional>
#include <string>

#include <benchmark/benchmark.h>

#include "load_host.h"
#include "quiet_host.h"

// The recording reader's samples per row, as the viewer starts with.
inline constexpr std::int32_t kBenchDecimation = 4;

// Returns the path of name inside the bench folder, writing it with write(path) first when it is
// missing or its size differs from expectedSize.
std::string BenchFile(const std::string& name, std::uint64_t expectedSize,
                      const std::function<void(const std::string& path)>& write);

// Peak resident memory of this process so far, in bytes (VmHWM).
std::uint64_t PeakResidentBytes();
// Resets the peak to the current resident size so a following step can be measured alone.
void ResetPeakResident();

// Loads path again and again from a warm page cache, timing only the loads, and reports the
// largest growth of resident memory during one load (load_peak_MiB) and the process's peak
// (process_peak_MiB). The first load, untimed, must give the expected counts.
void MeasureLoads(benchmark::State& state, const std::string& path, LoadHost& host,
                  std::int32_t expectedMics, std::int32_t expectedRows);
