#pragma once
// The impulse responses of a measurement, one column at a time, for the figures computed from
// the samples. Each kind that holds samples provides a source; the others have none.

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "load_choices.h"
#include "load_host.h"

class ResponseSource {
 public:
  virtual ~ResponseSource() = default;
  // Columns in map order.
  virtual std::int32_t ColumnCount() const = 0;
  // Samples per second of every response.
  virtual double SampleRate() const = 0;
  // Replaces response with the whole response of column (from 1), in the file's sample scale.
  // Called from several threads at once for different columns. Throws LoadError on a read error.
  virtual void Fetch(std::int32_t column, std::vector<double>& response) const = 0;
  // Names column (from 1) in messages: "microphone column 3", "channel 3", "measurement 12".
  virtual std::string ColumnText(std::int32_t column) const {
    return "microphone column " + std::to_string(column);
  }
};

// The file's kind holds no samples (complex spectra, levels): the message names the kind.
class NoSamplesError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Why the kind of fileName (by its name) holds no samples to compute figures from; nullopt for
// the kinds that hold them.
std::optional<std::string> NoSamplesReason(const std::string& fileName);

// Opens the responses of fileName as the map's load reads it with choices, asking host what they
// leave open (the period of a recording, the part of a SOFA set); nullptr when the user cancels.
// A file that cannot be read is a LoadError (a refused WAV file too), a kind without samples a
// NoSamplesError.
std::unique_ptr<ResponseSource> OpenResponses(const std::string& fileName, std::int32_t decimation,
                                              const LoadChoices& choices, LoadHost& host);
