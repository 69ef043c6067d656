#include "sample_files.h"

#include <gtest/gtest.h>
#include <netcdf.h>
#include <sndfile.h>

#include <cmath>

namespace {

void Check(int status, const char* what) {
  if (status != NC_NOERR) ADD_FAILURE() << what << ": " << nc_strerror(status);
}

int Dimension(int file, const char* name, std::size_t length) {
  int id = 0;
  if (nc_inq_dimid(file, name, &id) == NC_NOERR) return id;
  Check(nc_def_dim(file, name, length, &id), name);
  return id;
}

void PutText(int file, int var, const char* name, const std::string& text) {
  Check(nc_put_att_text(file, var, name, text.size(), text.c_str()), name);
}

// A float64 variable over the named dimensions holding values.
void PutDoubles(int file, const char* name, const std::vector<int>& dims,
                const std::vector<double>& values, const std::string& type = {}) {
  int var = 0;
  Check(nc_redef(file), "redef");
  Check(nc_def_var(file, name, NC_DOUBLE, static_cast<int>(dims.size()), dims.data(), &var), name);
  if (!type.empty()) PutText(file, var, "Type", type);
  Check(nc_enddef(file), "enddef");
  Check(nc_put_var_double(file, var, values.data()), name);
}

template <typename Write>
void WriteSound(const std::string& path, int format, int channels, int rate, std::size_t frames,
                Write write) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* sound = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(sound, nullptr) << path << ": " << sf_strerror(nullptr);
  EXPECT_EQ(write(sound), static_cast<sf_count_t>(frames)) << path;
  sf_close(sound);
}

}  // namespace

void WriteSofa(const std::string& path, const SofaSpec& shape) {
  int file = 0;
  Check(nc_create(path.c_str(), NC_NETCDF4 | NC_CLOBBER, &file), "create");
  PutText(file, NC_GLOBAL, "Conventions", "SOFA");
  PutText(file, NC_GLOBAL, "SOFAConventions", shape.convention);
  PutText(file, NC_GLOBAL, "DataType", shape.dataType);
  const int i = Dimension(file, "I", 1);
  const int c = Dimension(file, "C", 3);
  const int m = Dimension(file, "M", shape.m);
  const int r = Dimension(file, "R", shape.r);
  Dimension(file, "N", shape.n);
  if (shape.e > 1) Dimension(file, "E", shape.e);

  std::vector<int> dims;
  std::vector<std::size_t> lengths;
  for (const std::string& name : shape.irDimensions) {
    const std::size_t length = name == "M"   ? shape.m
                               : name == "R" ? shape.r
                               : name == "E" ? shape.e
                               : name == "N" ? shape.n
                                             : 2;
    dims.push_back(Dimension(file, name.c_str(), length));
    lengths.push_back(length);
  }
  int ir = 0;
  if (shape.writeIr) {
    Check(nc_def_var(file, "Data.IR", shape.floatSamples ? NC_FLOAT : NC_DOUBLE,
                     static_cast<int>(dims.size()), dims.data(), &ir),
          "Data.IR");
    if (shape.compressed) Check(nc_def_var_deflate(file, ir, 1, 1, 5), "deflate");
  }
  Check(nc_enddef(file), "enddef");
  if (shape.writeIr) {
    std::size_t total = 1;
    for (const std::size_t length : lengths) total *= length;
    std::vector<double> values(total);
    std::vector<std::size_t> index(lengths.size(), 0);
    for (std::size_t flat = 0; flat < total; ++flat) {
      std::size_t at[4] = {0, 0, 0, 0};  // m, r, e, n
      for (std::size_t d = 0; d < lengths.size(); ++d) {
        const std::string& name = shape.irDimensions[d];
        at[name == "M" ? 0 : name == "R" ? 1 : name == "E" ? 2 : 3] = index[d];
      }
      values[flat] = shape.sample(at[0], at[1], at[2], at[3]);
      for (std::size_t d = lengths.size(); d-- > 0;) {
        if (++index[d] < lengths[d]) break;
        index[d] = 0;
      }
    }
    Check(nc_put_var_double(file, ir, values.data()), "Data.IR values");
  }
  PutDoubles(file, "Data.SamplingRate", {shape.rates.size() == 1 ? i : m}, shape.rates);
  if (!shape.positions.empty()) {
    PutDoubles(file, "SourcePosition", {shape.positions.size() == 3 ? i : m, c}, shape.positions,
               shape.positionType);
  }
  PutDoubles(file, "Data.Delay", {i, r}, std::vector<double>(shape.r, shape.delays.front()));
  Check(nc_close(file), "close");
}

void WriteAudioInts(const std::string& path, int format, int channels, int rate,
                    const std::vector<std::int32_t>& interleaved) {
  const std::size_t frames = interleaved.size() / static_cast<std::size_t>(channels);
  WriteSound(path, format, channels, rate, frames, [&](SNDFILE* sound) {
    return sf_writef_int(sound, interleaved.data(), static_cast<sf_count_t>(frames));
  });
}

void WriteAudioDoubles(const std::string& path, int format, int channels, int rate,
                       const std::vector<double>& interleaved) {
  const std::size_t frames = interleaved.size() / static_cast<std::size_t>(channels);
  WriteSound(path, format, channels, rate, frames, [&](SNDFILE* sound) {
    return sf_writef_double(sound, interleaved.data(), static_cast<sf_count_t>(frames));
  });
}

float ExpectedLevel(const std::vector<double>& slice) {
  float sum = 0.0f;
  for (const double s : slice) sum = static_cast<float>(static_cast<double>(sum) + s * s);
  return sum > 0.0f ? static_cast<float>(10.0 * std::log(static_cast<double>(sum))) : 0.0f;
}
