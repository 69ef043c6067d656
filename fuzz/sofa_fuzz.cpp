// Fuzzes the SOFA reader on sets it can open: the input chooses the shape of a set (dimensions in
// any order, sizes, sample type, compression, DataType, rates, positions and their type, delays,
// samples with any bit pattern) and the receiver, emitter and selection; the set is written
// through netCDF-C and loaded. The load either succeeds with finite levels and at most 400 rows
// or fails with a LoadError. (Damaged HDF5 structure is the netCDF/HDF5 libraries' own ground.)

#include <netcdf.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_host.h"

namespace {

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  unsigned Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::size_t Below(std::size_t limit) { return Byte() % limit; }
  double Number() {
    switch (Byte() % 4) {
      case 0: {  // any bit pattern: NaN, infinities, subnormals
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits = bits << 8 | Byte();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
      }
      case 1:
        return static_cast<double>(static_cast<std::int8_t>(Byte())) / 64.0;
      case 2:
        return static_cast<double>(Byte()) * 1.5 - 90.0;
      default:
        return 0.0;
    }
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

int DefineDim(int file, const char* name, std::size_t length) {
  int id = 0;
  nc_def_dim(file, name, length, &id);
  return id;
}

void PutDoubles(int file, const char* name, const std::vector<int>& dims,
                const std::vector<double>& values, const char* type = nullptr) {
  int var = 0;
  nc_redef(file);
  if (nc_def_var(file, name, NC_DOUBLE, static_cast<int>(dims.size()), dims.data(), &var) !=
      NC_NOERR) {
    nc_enddef(file);
    return;
  }
  if (type != nullptr) nc_put_att_text(file, var, "Type", std::strlen(type), type);
  nc_enddef(file);
  nc_put_var_double(file, var, values.data());
}

// Writes the set the input describes; false when netCDF-C would not write it.
bool WriteSet(Bytes& in, const std::string& path) {
  const std::size_t m = 1 + in.Below(6), r = 1 + in.Below(3), e = 1 + in.Below(2);
  const std::size_t n = in.Below(40);
  int file = 0;
  if (nc_create(path.c_str(), NC_NETCDF4 | NC_CLOBBER, &file) != NC_NOERR) return false;
  static const char* const kTypes[] = {"FIR", "FIR-E", "TF", "SOS", ""};
  const std::string dataType = kTypes[in.Below(std::size(kTypes))];
  if (!dataType.empty()) {
    nc_put_att_text(file, NC_GLOBAL, "DataType", dataType.size(), dataType.c_str());
  }
  const int dimI = DefineDim(file, "I", 1), dimC = DefineDim(file, "C", 3);
  const int dimM = DefineDim(file, "M", m), dimR = DefineDim(file, "R", r);
  const int dimN = DefineDim(file, "N", n), dimE = DefineDim(file, "E", e);
  std::vector<int> dims = {dimM, dimR, dimN};
  if (in.Byte() % 2 == 0) dims.push_back(dimE);
  if (in.Byte() % 8 == 0) dims.pop_back();  // a Data.IR of the wrong rank
  for (std::size_t i = dims.size(); i > 1; --i) std::swap(dims[i - 1], dims[in.Below(i)]);
  int ir = 0;
  const nc_type type = in.Byte() % 2 ? NC_FLOAT : NC_DOUBLE;
  nc_def_var(file, "Data.IR", type, static_cast<int>(dims.size()), dims.data(), &ir);
  if (in.Byte() % 2) nc_def_var_deflate(file, ir, 1, 1, 1);
  nc_enddef(file);
  std::size_t total = 1;
  for (const int dim : dims) {
    std::size_t length = 0;
    nc_inq_dimlen(file, dim, &length);
    total *= length;
  }
  std::vector<double> samples(total);
  for (double& sample : samples) sample = in.Number();
  nc_put_var_double(file, ir, samples.data());

  const bool ratePerMeasurement = in.Byte() % 2;
  std::vector<double> rates(ratePerMeasurement ? m : 1, in.Byte() % 2 ? 48000.0 : in.Number());
  if (in.Byte() % 4 == 0) rates.back() = in.Number();
  PutDoubles(file, "Data.SamplingRate", {ratePerMeasurement ? dimM : dimI}, rates);
  const std::size_t positionCount = in.Below(3);  // none, one for all, one per measurement
  if (positionCount > 0) {
    std::vector<double> positions(positionCount == 1 ? 3 : 3 * m);
    for (double& value : positions) value = in.Number();
    PutDoubles(file, "SourcePosition", {positionCount == 1 ? dimI : dimM, dimC}, positions,
               in.Byte() % 2 ? "cartesian" : "spherical");
  }
  PutDoubles(file, "Data.Delay", {dimI, dimR}, std::vector<double>(r, in.Number()));
  return nc_close(file) == NC_NOERR;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in(data, size);
  LoadChoices choices;
  choices.sofa = SofaChoice{static_cast<std::int32_t>(1 + in.Below(3)),
                            static_cast<std::int32_t>(1 + in.Below(2)),
                            static_cast<SofaSelection>(in.Below(3))};
  const std::string path = WriteScratchFile(nullptr, 0, ".sofa");
  if (!WriteSet(in, path)) return 0;
  FuzzLoadFile(path, std::nullopt, 400, choices);
  return 0;
}
