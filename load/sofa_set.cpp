#include "sofa_set.h"

#include <fcntl.h>
#include <netcdf.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "input_file.h"
#include "load_error.h"
#include "netcdf_on_demand.h"
#include "rounding.h"

namespace {

// Rates, positions and delays are small; a variable bigger than this is not one of them.
constexpr std::size_t kMaxSmallValues = std::size_t{1} << 24;

[[noreturn]] void Fail(const std::string& cause, int status) {
  throw LoadError(cause + " (" + nc_strerror(status) + ")");
}

// Some damaged HDF5 structures make the HDF5 library write through wild pointers while the file
// is opened, which would take the whole program (and a window's unsaved state) down with it. The
// file is therefore opened once in a child process first; a child that dies (of a signal, or of a
// memory checker's report) means the library cannot open this file safely. Where no child can be
// started, the file is opened as is.
void RefuseFilesThatCrashTheLibrary(const std::string& fileName) {
  const pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, STDERR_FILENO);
    int id = 0;
    if (nc_open(fileName.c_str(), NC_NOWRITE, &id) == NC_NOERR) nc_close(id);
    _exit(0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return;
  }
  // The child ends with status 0 whether the library opened the file or refused it.
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw LoadError("its HDF5 structure is damaged: the netCDF library fails on it");
  }
}

}  // namespace

class NetCdfFile {
 public:
  explicit NetCdfFile(const std::string& fileName) {
    { const InputFile exists(fileName); }  // the same messages as every reader for a bad name
    RequireNetcdf();  // before the trial opening forks, so that the child need not open it
    RefuseFilesThatCrashTheLibrary(fileName);
    if (nc_open(fileName.c_str(), NC_NOWRITE, &id_) != NC_NOERR) {
      throw LoadError("it is not a netCDF-4/HDF5 file, as a SOFA set is");
    }
  }
  ~NetCdfFile() { nc_close(id_); }
  NetCdfFile(const NetCdfFile&) = delete;
  NetCdfFile& operator=(const NetCdfFile&) = delete;

  int Id() const { return id_; }

  // A global text attribute (char or string), or nullopt when there is none.
  std::optional<std::string> Text(const char* name) const {
    nc_type type = 0;
    std::size_t length = 0;
    if (nc_inq_att(id_, NC_GLOBAL, name, &type, &length) != NC_NOERR) return std::nullopt;
    if (type == NC_CHAR) {
      std::string text(length, '\0');
      if (nc_get_att_text(id_, NC_GLOBAL, name, text.data()) != NC_NOERR) return std::nullopt;
      text.erase(std::find(text.begin(), text.end(), '\0'), text.end());
      return text;
    }
    if (type == NC_STRING && length == 1) {
      char* value = nullptr;
      if (nc_get_att_string(id_, NC_GLOBAL, name, &value) != NC_NOERR) return std::nullopt;
      std::string text = value ? value : "";
      nc_free_string(1, &value);
      return text;
    }
    return std::nullopt;
  }

  // The length of dimension name; nullopt when the file has none of that name.
  std::optional<std::size_t> Dimension(const char* name) const {
    int dim = 0;
    std::size_t length = 0;
    if (nc_inq_dimid(id_, name, &dim) != NC_NOERR) return std::nullopt;
    if (nc_inq_dimlen(id_, dim, &length) != NC_NOERR) return std::nullopt;
    return length;
  }

  std::optional<int> Variable(const char* name) const {
    int var = 0;
    if (nc_inq_varid(id_, name, &var) != NC_NOERR) return std::nullopt;
    return var;
  }

  std::vector<std::string> DimensionNames(int var) const {
    int count = 0;
    if (nc_inq_varndims(id_, var, &count) != NC_NOERR || count < 0 || count > NC_MAX_VAR_DIMS) {
      throw LoadError("its variables cannot be read");
    }
    std::vector<int> dims(static_cast<std::size_t>(count));
    nc_inq_vardimid(id_, var, dims.data());
    std::vector<std::string> names;
    for (const int dim : dims) {
      std::array<char, NC_MAX_NAME + 1> name{};
      nc_inq_dimname(id_, dim, name.data());
      names.emplace_back(name.data());
    }
    return names;
  }

  // Every value of a small numeric variable, as double; nullopt when it is missing or too big.
  std::optional<std::vector<double>> SmallValues(const char* name) const {
    const auto var = Variable(name);
    if (!var || !IsNumeric(*var)) return std::nullopt;
    std::size_t count = 1;
    int ndims = 0;
    nc_inq_varndims(id_, *var, &ndims);
    std::vector<int> dims(static_cast<std::size_t>(std::max(ndims, 0)));
    nc_inq_vardimid(id_, *var, dims.data());
    for (const int dim : dims) {
      std::size_t length = 0;
      nc_inq_dimlen(id_, dim, &length);
      if (length != 0 && count > kMaxSmallValues / length) return std::nullopt;
      count *= length;
    }
    std::vector<double> values(count);
    if (count > 0 && nc_get_var_double(id_, *var, values.data()) != NC_NOERR) return std::nullopt;
    return values;
  }

  bool IsNumeric(int var) const {
    nc_type type = 0;
    if (nc_inq_vartype(id_, var, &type) != NC_NOERR) return false;
    return type != NC_CHAR && type != NC_STRING && type >= NC_BYTE && type <= NC_UINT64;
  }

  std::optional<std::string> VariableText(int var, const char* attribute) const {
    nc_type type = 0;
    std::size_t length = 0;
    if (nc_inq_att(id_, var, attribute, &type, &length) != NC_NOERR || type != NC_CHAR) {
      return std::nullopt;
    }
    std::string text(length, '\0');
    if (nc_get_att_text(id_, var, attribute, text.data()) != NC_NOERR) return std::nullopt;
    return text;
  }

 private:
  int id_ = -1;
};

// Where M, R, E and N lie among the dimensions of Data.IR.
struct IrLayout {
  int var = 0;
  std::size_t rank = 0;
  std::size_t m = 0, r = 0, n = 0;
  std::optional<std::size_t> e;
};

namespace {

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

IrLayout FindImpulseResponses(const NetCdfFile& file) {
  const std::optional<std::string> dataType = file.Text("DataType");
  if (dataType && *dataType != "FIR" && *dataType != "FIR-E") {
    const std::string what = *dataType == "TF" || dataType->starts_with("TF-")
                                 ? "transfer functions (DataType " + *dataType + ")"
                                 : "DataType " + *dataType;
    throw LoadError("it holds " + what + ", not impulse responses");
  }
  const auto var = file.Variable("Data.IR");
  if (!var) throw LoadError("it has no Data.IR variable");
  if (!file.IsNumeric(*var)) throw LoadError("its Data.IR does not hold numbers");
  IrLayout layout;
  layout.var = *var;
  const std::vector<std::string> names = file.DimensionNames(*var);
  layout.rank = names.size();
  std::array<int, 4> seen{};  // M, R, N, E
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    if (name == "M")
      layout.m = i, ++seen[0];
    else if (name == "R")
      layout.r = i, ++seen[1];
    else if (name == "N")
      layout.n = i, ++seen[2];
    else if (name == "E")
      layout.e = i, ++seen[3];
    else
      seen = {};
  }
  const bool fir = seen == std::array<int, 4>{1, 1, 1, 0} && names.size() == 3;
  const bool firE = seen == std::array<int, 4>{1, 1, 1, 1} && names.size() == 4;
  if (!fir && !firE) {
    throw LoadError("its Data.IR has the dimensions (" + Joined(names) +
                    "), not M, R and N (and E)");
  }
  return layout;
}

std::int32_t CountOf(std::size_t length, const std::string& what) {
  return RoundCountToInt32(static_cast<double>(length),
                           "it has " + std::to_string(length) + " " + what);
}

std::int32_t SamplingRate(const NetCdfFile& file, std::size_t measurements) {
  const auto rates = file.SmallValues("Data.SamplingRate");
  if (!rates || rates->empty()) throw LoadError("it has no Data.SamplingRate");
  const double rate = rates->front();
  for (std::size_t i = 1; i < rates->size() && i < measurements; ++i) {
    if ((*rates)[i] != rate) {
      throw LoadError("its sampling rate differs between measurements (" + DecimalText(rate) +
                      " Hz at measurement 1, " + DecimalText((*rates)[i]) + " Hz at measurement " +
                      std::to_string(i + 1) + ")");
    }
  }
  const std::int32_t rounded =
      RoundCountToInt32(rate, "its sampling rate of " + DecimalText(rate) + " Hz");
  if (rounded < 1)
    throw LoadError("its sampling rate of " + DecimalText(rate) + " Hz is not a rate");
  return rounded;
}

// One position per measurement (a single stored one applies to all); empty when the file has
// no usable SourcePosition.
std::vector<SourcePosition> SourcePositions(const NetCdfFile& file, std::size_t measurements) {
  const auto values = file.SmallValues("SourcePosition");
  if (!values || (values->size() != 3 && values->size() != 3 * measurements)) return {};
  const auto var = file.Variable("SourcePosition");
  std::string type = file.VariableText(*var, "Type").value_or("spherical");
  for (char& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::vector<SourcePosition> positions(measurements);
  for (std::size_t i = 0; i < measurements; ++i) {
    const std::size_t at = values->size() == 3 ? 0 : 3 * i;
    positions[i] = {(*values)[at], (*values)[at + 1], (*values)[at + 2],
                    type.starts_with("cartesian")};
  }
  return positions;
}

bool AnyDelay(const NetCdfFile& file) {
  const auto delays = file.SmallValues("Data.Delay");
  return delays && std::any_of(delays->begin(), delays->end(), [](double d) { return d != 0.0; });
}

std::string Counted(std::int32_t count, const std::string& word) {
  return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

void CheckChoice(const SofaChoice& choice, const SofaFacts& facts) {
  if (choice.receiver < 1 || choice.receiver > facts.receivers) {
    throw LoadError("it has " + Counted(facts.receivers, "receiver") + "; there is no receiver " +
                    std::to_string(choice.receiver));
  }
  if (choice.emitter < 1 || choice.emitter > facts.emitters) {
    throw LoadError("it has " + Counted(facts.emitters, "emitter") + "; there is no emitter " +
                    std::to_string(choice.emitter));
  }
  if (choice.selection != SofaSelection::All && !facts.hasDirections) {
    throw LoadError("it has no SourcePosition of every measurement, so the " +
                    SelectionText(choice.selection) + " cannot be chosen");
  }
}

}  // namespace

SofaSet::SofaSet(const std::string& fileName) : file_(std::make_unique<NetCdfFile>(fileName)) {
  layout_ = std::make_unique<IrLayout>(FindImpulseResponses(*file_));
  const std::size_t m = file_->Dimension("M").value_or(0);
  facts_.convention = file_->Text("SOFAConventions").value_or("");
  facts_.measurements = CountOf(m, "measurements");
  facts_.receivers = CountOf(file_->Dimension("R").value_or(0), "receivers");
  facts_.emitters = layout_->e ? CountOf(file_->Dimension("E").value_or(0), "emitters") : 1;
  facts_.samples = CountOf(file_->Dimension("N").value_or(0), "samples per response");
  facts_.sampleRate = SamplingRate(*file_, m);
  positions_ = SourcePositions(*file_, m);
  facts_.hasDirections = !positions_.empty();
}

SofaSet::~SofaSet() = default;

bool SofaSet::HasDelay() const {
  return AnyDelay(*file_);
}

std::vector<std::int32_t> SofaSet::Columns(const SofaChoice& choice) const {
  CheckChoice(choice, facts_);
  const std::vector<std::int32_t> chosen =
      facts_.hasDirections
          ? SelectMeasurements(positions_, choice.selection)
          : SelectMeasurements(
                std::vector<SourcePosition>(static_cast<std::size_t>(facts_.measurements)),
                SofaSelection::All);
  if (chosen.empty()) {
    throw LoadError(facts_.measurements == 0
                        ? "it holds no measurements"
                        : "no measurement lies in the " + SelectionText(choice.selection) +
                              " (within 2\u00b0)");
  }
  return chosen;
}

std::string SofaSet::NameOf(std::int32_t measurement) const {
  if (!facts_.hasDirections) return "Measurement " + std::to_string(measurement + 1);
  return MeasurementName(measurement + 1, positions_[static_cast<std::size_t>(measurement)]);
}

void SofaSet::Read(std::int32_t measurement, const SofaChoice& choice, std::size_t first,
                   std::span<double> out) const {
  ReadRun(measurement, 1, choice, first, out.size(), out);
}

void SofaSet::ReadRun(std::int32_t measurement, std::int32_t count, const SofaChoice& choice,
                      std::size_t first, std::size_t samples, std::span<double> out) const {
  if (count <= 0 || samples == 0) return;
  const auto measurements = static_cast<std::size_t>(count);
  std::vector<std::size_t> start(layout_->rank, 0);
  std::vector<std::size_t> extent(layout_->rank, 1);
  start[layout_->m] = static_cast<std::size_t>(measurement);
  extent[layout_->m] = measurements;
  start[layout_->r] = static_cast<std::size_t>(choice.receiver - 1);
  if (layout_->e) start[*layout_->e] = static_cast<std::size_t>(choice.emitter - 1);
  start[layout_->n] = first;
  extent[layout_->n] = samples;
  // The values come in the variable's order of dimensions: measurement by measurement when M
  // comes before N (or for one measurement), else sample by sample, and then they are put in
  // measurement order.
  const bool byMeasurement = count == 1 || layout_->m < layout_->n;
  std::vector<double> bySample(byMeasurement ? 0 : measurements * samples);
  double* values = byMeasurement ? out.data() : bySample.data();
  const int status =
      nc_get_vara_double(file_->Id(), layout_->var, start.data(), extent.data(), values);
  if (status != NC_NOERR) {
    Fail(count == 1 ? "the impulse response of measurement " + std::to_string(measurement + 1) +
                          " cannot be read"
                    : "the impulse responses of measurements " + std::to_string(measurement + 1) +
                          " to " + std::to_string(measurement + count) + " cannot be read",
         status);
  }
  if (byMeasurement) return;
  for (std::size_t k = 0; k < measurements; ++k) {
    for (std::size_t i = 0; i < samples; ++i) out[k * samples + i] = bySample[i * measurements + k];
  }
}
