// The audio and SOFA readers on large inputs from a warm page cache: a 64-channel, 10-minute
// float32 RF64 recording (7.4 GB, stored sparse: only its first second is written) and a SOFA set
// of 10 000 measurements. Each load is set beside reading just the bytes its grid needs, and its
// peak memory beside the grid's size.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netcdf.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "bench_files.h"
#include "load_measurement.h"

namespace {

constexpr std::uint32_t kChannels = 64;
constexpr std::uint32_t kRate = 48000;
constexpr std::uint64_t kFrames = 600ULL * kRate;  // ten minutes
constexpr std::uint64_t kFrameBytes = 4ULL * kChannels;
constexpr std::uint64_t kHeaderBytes = 12 + 36 + 24 + 8;  // RIFF, ds64, fmt, data headers
constexpr std::uint64_t kRf64Size = kHeaderBytes + kFrames * kFrameBytes;
constexpr std::uint64_t kFramesWritten = kRate;  // the rest of the file is a hole of zeros

void Put(std::vector<unsigned char>& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}
void Put(std::vector<unsigned char>& out, const char* text) {
  out.insert(out.end(), text, text + std::strlen(text));
}

std::string LargeRf64File() {
  return BenchFile("channels64_10min.rf64", kRf64Size, [](const std::string& path) {
    std::vector<unsigned char> header;
    Put(header, "RF64");
    Put(header, 0xFFFFFFFFu, 4);
    Put(header, "WAVEds64");
    Put(header, 28, 4);
    Put(header, kRf64Size - 8, 8);
    Put(header, kFrames * kFrameBytes, 8);
    Put(header, kFrames, 8);
    Put(header, 0, 4);
    Put(header, "fmt ");
    Put(header, 16, 4);
    Put(header, 3, 2);  // IEEE float
    Put(header, kChannels, 2);
    Put(header, kRate, 4);
    Put(header, kRate * kFrameBytes, 4);
    Put(header, kFrameBytes, 2);
    Put(header, 32, 2);
    Put(header, "data");
    Put(header, 0xFFFFFFFFu, 4);
    std::vector<float> frames(kFramesWritten * kChannels);
    for (std::size_t f = 0; f < kFramesWritten; ++f) {
      for (std::size_t c = 0; c < kChannels; ++c) {
        frames[f * kChannels + c] =
            static_cast<float>(std::sin(0.01 * static_cast<double>(f * (c + 1))) *
                               std::exp(-0.001 * static_cast<double>(f)));
      }
    }
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(header.data(), 1, header.size(), out);
    std::fwrite(frames.data(), sizeof(float), frames.size(), out);
    std::fclose(out);
    if (::truncate(path.c_str(), static_cast<off_t>(kRf64Size)) != 0) std::perror(path.c_str());
  });
}

constexpr std::size_t kMeasurements = 10000;
constexpr std::size_t kReceivers = 2;
constexpr std::size_t kSamples = 256;

std::string WriteSofaSet() {
  std::filesystem::create_directories("/tmp/vexal_bench");
  const std::string path = "/tmp/vexal_bench/measurements10000.sofa";
  int file = 0, m = 0, r = 0, n = 0, i = 0, ir = 0, rate = 0;
  nc_create(path.c_str(), NC_NETCDF4 | NC_CLOBBER, &file);
  nc_put_att_text(file, NC_GLOBAL, "DataType", 3, "FIR");
  nc_def_dim(file, "I", 1, &i);
  nc_def_dim(file, "M", kMeasurements, &m);
  nc_def_dim(file, "R", kReceivers, &r);
  nc_def_dim(file, "N", kSamples, &n);
  const int dims[] = {m, r, n};
  nc_def_var(file, "Data.IR", NC_FLOAT, 3, dims, &ir);
  nc_def_var(file, "Data.SamplingRate", NC_DOUBLE, 1, &i, &rate);
  nc_enddef(file);
  std::vector<float> samples(kMeasurements * kReceivers * kSamples);
  for (std::size_t k = 0; k < samples.size(); ++k) {
    samples[k] = static_cast<float>(std::sin(0.02 * static_cast<double>(k % 997)) /
                                    (1.0 + static_cast<double>(k % kSamples)));
  }
  nc_put_var_float(file, ir, samples.data());
  const double hz = 48000.0;
  nc_put_var_double(file, rate, &hz);
  nc_close(file);
  return path;
}

// Written afresh by every run (its size as HDF5 lays it out is not known beforehand).
std::string LargeSofaSet() {
  static const std::string path = WriteSofaSet();
  return path;
}

void BM_Rf64Channels64For10Minutes(benchmark::State& state) {
  QuietHost host;
  MeasureLoads(state, LargeRf64File(), host, static_cast<std::int32_t>(kChannels), 400);
  state.counters["file_MiB"] = static_cast<double>(kRf64Size) / (1 << 20);
  state.counters["grid_MiB"] = 400.0 * kChannels * 4 / (1 << 20);
}
BENCHMARK(BM_Rf64Channels64For10Minutes)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// What the grid of that recording needs: 1600 frames from the start of the data.
void BM_Rf64BytesTheGridNeeds(benchmark::State& state) {
  const std::string path = LargeRf64File();
  std::vector<unsigned char> bytes(1600 * kFrameBytes);
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    benchmark::DoNotOptimize(::pread(fd, bytes.data(), bytes.size(), kHeaderBytes));
    ::close(fd);
  }
}
BENCHMARK(BM_Rf64BytesTheGridNeeds)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_Sofa10000Measurements(benchmark::State& state) {
  QuietHost host;
  MeasureLoads(state, LargeSofaSet(), host, static_cast<std::int32_t>(kMeasurements),
               static_cast<std::int32_t>(kSamples / kBenchDecimation));
  state.counters["grid_MiB"] = static_cast<double>(kMeasurements * kSamples / 4 * 4) / (1 << 20);
}
BENCHMARK(BM_Sofa10000Measurements)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The same responses read through netCDF-C, measurement by measurement, receiver 1 only.
void BM_SofaSamplesTheGridNeeds(benchmark::State& state) {
  const std::string path = LargeSofaSet();
  std::vector<double> samples(kSamples);
  for (auto _ : state) {
    int file = 0, ir = 0;
    nc_open(path.c_str(), NC_NOWRITE, &file);
    nc_inq_varid(file, "Data.IR", &ir);
    for (std::size_t m = 0; m < kMeasurements; ++m) {
      const std::size_t start[] = {m, 0, 0};
      const std::size_t count[] = {1, 1, kSamples};
      nc_get_vara_double(file, ir, start, count, samples.data());
    }
    nc_close(file);
    benchmark::DoNotOptimize(samples.data());
  }
}
BENCHMARK(BM_SofaSamplesTheGridNeeds)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
