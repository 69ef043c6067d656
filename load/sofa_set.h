#pragma once
// An open SOFA set of impulse responses (netCDF-4/HDF5, DataType FIR or FIR-E): what it holds,
// which of its measurements a choice takes, and the samples of one response. Data.IR is found by
// its dimensions' names, in whatever order the file stores them. netCDF-C is not thread-safe: one
// thread at a time uses a set.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "load_host.h"
#include "sofa_positions.h"

class NetCdfFile;
struct IrLayout;

class SofaSet {
 public:
  // Opens fileName and reads its facts; a file that is not a SOFA set of impulse responses is a
  // LoadError saying why.
  explicit SofaSet(const std::string& fileName);
  ~SofaSet();
  SofaSet(const SofaSet&) = delete;
  SofaSet& operator=(const SofaSet&) = delete;

  const SofaFacts& Facts() const { return facts_; }
  // One source position per measurement; empty when the file has no usable SourcePosition.
  const std::vector<SourcePosition>& Positions() const { return positions_; }
  // Some Data.Delay is not zero (it is never applied).
  bool HasDelay() const;

  // The measurements (from 0) that choice takes, in column order. A receiver or emitter that does
  // not exist, a plane without directions or a selection that leaves nothing is a LoadError.
  std::vector<std::int32_t> Columns(const SofaChoice& choice) const;
  // "Measurement 261 — azimuth 90°, ..." for measurement (from 0).
  std::string NameOf(std::int32_t measurement) const;

  // Samples first .. first + out.size() - 1 of measurement's response (from 0) for choice's
  // receiver and emitter, as stored (a sample of 1.0 is full scale). LoadError on a read error.
  void Read(std::int32_t measurement, const SofaChoice& choice, std::size_t first,
            std::span<double> out) const;
  // Samples first .. first + samples - 1 of `count` consecutive measurements from measurement,
  // with one call of the library: out (count x samples long) holds each measurement's in turn.
  void ReadRun(std::int32_t measurement, std::int32_t count, const SofaChoice& choice,
               std::size_t first, std::size_t samples, std::span<double> out) const;

 private:
  std::unique_ptr<NetCdfFile> file_;
  std::unique_ptr<IrLayout> layout_;
  SofaFacts facts_{};
  std::vector<SourcePosition> positions_;
};
