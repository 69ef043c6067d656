// The responses of a SOFA set: a chosen measurement's N samples for the chosen receiver and
// emitter, in the chosen column order.

#include <mutex>
#include <vector>

#include "sample_levels.h"
#include "sample_responses.h"
#include "sofa_set.h"

namespace {

class SofaResponses : public ResponseSource {
 public:
  SofaResponses(std::unique_ptr<SofaSet> set, const SofaChoice& choice)
      : set_(std::move(set)), choice_(choice), chosen_(set_->Columns(choice)) {}

  std::int32_t ColumnCount() const override { return static_cast<std::int32_t>(chosen_.size()); }
  double SampleRate() const override { return set_->Facts().sampleRate; }
  std::string ColumnText(std::int32_t column) const override {
    return "measurement " + std::to_string(MeasurementOf(column) + 1);
  }

  void Fetch(std::int32_t column, std::vector<double>& response) const override {
    response.resize(static_cast<std::size_t>(set_->Facts().samples));
    {
      const std::lock_guard lock(mutex_);
      set_->Read(MeasurementOf(column), choice_, 0, response);
    }
    // In 16-bit units as the map's levels and the other kinds' responses: the figures do not
    // depend on the scale, but their last digits do, and the same responses give the same CSV.
    for (double& sample : response) sample *= kSixteenBitUnits;
  }

 private:
  std::int32_t MeasurementOf(std::int32_t column) const {
    return chosen_[static_cast<std::size_t>(column - 1)];
  }

  mutable std::mutex mutex_;  // netCDF-C serves one thread at a time
  std::unique_ptr<SofaSet> set_;
  SofaChoice choice_;
  std::vector<std::int32_t> chosen_;  // measurements (from 0) in column order
};

}  // namespace

std::unique_ptr<ResponseSource> OpenSofaResponses(const std::string& fileName,
                                                  const LoadChoices& choices, LoadHost& host) {
  auto set = std::make_unique<SofaSet>(fileName);
  const std::optional<SofaChoice> choice =
      choices.sofa ? choices.sofa : host.AskSofaChoice(set->Facts());
  if (!choice) return nullptr;
  return std::make_unique<SofaResponses>(std::move(set), *choice);
}
