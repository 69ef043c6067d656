// The peer of the renderer's whole run on a SOFA set in bench/sample_whole_run: a process that
// reads, through netCDF-C, just the samples the grid needs (receiver 1 and emitter 1 of every
// measurement, the first SAMPLES of each) and nothing else, in one hyperslab.
// Usage: sofa_read_peer FILE SAMPLES
#include <netcdf.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: sofa_read_peer FILE SAMPLES\n");
    return 2;
  }
  int file = 0, ir = 0, dims[NC_MAX_VAR_DIMS] = {}, count = 0;
  if (nc_open(argv[1], NC_NOWRITE, &file) != NC_NOERR || nc_inq_varid(file, "Data.IR", &ir) ||
      nc_inq_varndims(file, ir, &count) || count != 3 || nc_inq_vardimid(file, ir, dims)) {
    std::fprintf(stderr, "sofa_read_peer: %s is not a SOFA set with Data.IR (M, R, N)\n", argv[1]);
    return 1;
  }
  std::size_t measurements = 0;
  nc_inq_dimlen(file, dims[0], &measurements);
  const std::size_t samples = std::strtoul(argv[2], nullptr, 10);
  std::vector<double> values(measurements * samples);
  const std::size_t start[] = {0, 0, 0};
  const std::size_t extent[] = {measurements, 1, samples};
  const int status = nc_get_vara_double(file, ir, start, extent, values.data());
  nc_close(file);
  double sum = 0;
  for (const double value : values) sum += value * value;
  std::printf("%zu samples, energy %g\n", values.size(), sum);
  return status == NC_NOERR ? 0 : 1;
}
