#include "render_batch.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "empty_map.h"
#include "output_files.h"
#include "render_compare.h"
#include "render_figures.h"
#include "render_picture.h"
#include "render_steps.h"
#include "shown_name.h"

namespace fs = std::filesystem;

namespace {

enum class Outcome { Written, Empty, Failed };

// One FILE of the batch and what became of it.
struct BatchFile {
  std::string input;
  std::vector<std::string> outputs;    // the picture, the grid file and the figures if asked for
  std::optional<std::string> refusal;  // why its outputs may not be written, found before loading
  Outcome outcome = Outcome::Failed;
  std::string message;                 // for a file not written: what stderr says, without prefix
  std::optional<std::string> summary;  // JSON members of the loaded state
};

std::string OwnName(const std::string& path) {
  return path.substr(path.find_last_of('/') + 1);
}

std::vector<BatchFile> PlanOutputs(const RenderOptions& options) {
  std::vector<std::string> inputs = options.files;
  if (options.referencePath) inputs.push_back(*options.referencePath);
  const std::string& dir = *options.outputDir;
  const std::string prefix = dir.ends_with('/') ? dir : dir + "/";
  std::vector<BatchFile> batch;
  std::map<std::string, std::string> ownerOfName;
  for (const std::string& input : options.files) {
    BatchFile file;
    file.input = input;
    file.outputs.push_back(prefix + OwnName(input) + ".png");
    if (options.gridFormat) {
      file.outputs.push_back(prefix + OwnName(input) + GridSuffix(*options.gridFormat));
    }
    if (options.figuresPath) file.outputs.push_back(prefix + OwnName(input) + kFiguresSuffix);
    const auto [owner, fresh] = ownerOfName.emplace(OwnName(input), input);
    if (!fresh) {
      file.refusal = "skipped " + ShownName(input) + ": its outputs would replace those of " +
                     ShownName(owner->second);
    } else {
      try {
        CheckOutputTargets(file.outputs, inputs);
      } catch (const std::exception& e) {
        file.refusal = e.what();
      }
    }
    batch.push_back(std::move(file));
  }
  return batch;
}

void Render(BatchFile& file, const RenderOptions& options, const Reference* reference) {
  if (file.refusal) {
    file.message = *file.refusal;
    return;
  }
  ViewState state = StartState(options);
  RenderHost host(options.period, PictureSize{options.zoom, options.legend, options.palette});
  const std::optional<FileStamp> loadedStamp = StampOf(file.input);
  if (const auto cause = LoadInto(state, file.input, host, options.choices)) {
    file.message = "cannot load " + ShownName(file.input) + ": " + *cause;
    return;
  }
  file.summary = JsonSummary(state, file.input) + ReferenceJson(reference);
  std::optional<ViewState> difference = DifferenceOf(state, reference);
  auto reason = EmptyMapReason(file.input, state.LevelGrid);
  if (!reason && difference) reason = NoCommonCells(*difference, *reference);
  if (reason) {
    file.outcome = Outcome::Empty;
    file.message = ShownName(file.input) + *reason;
    return;
  }
  ViewState& view = difference ? *difference : state;
  std::unique_ptr<Picture> image;
  try {
    image = PaintPicture(view, file.input, options);
  } catch (const std::exception& e) {
    file.message = "cannot paint the map of " + ShownName(file.input) + ": " + e.what();
    return;
  }
  std::string figures;
  try {
    if (options.figuresPath) {
      figures = FiguresCsvOf(file.input, options, state.Decimation, loadedStamp);
    }
  } catch (const std::exception& e) {
    file.message = e.what();
    return;
  }
  try {
    OutputFiles outputs;
    outputs.Write(file.outputs[0],
                  [&](int fd, std::ostream&) { image->Write(options.pictureFormat, fd); });
    if (options.gridFormat) {
      outputs.Write(file.outputs[1], [&](int, std::ostream& stream) {
        WriteGrid(view.LevelGrid, *options.gridFormat, stream);
      });
    }
    if (options.figuresPath) {
      outputs.Write(file.outputs.back(), [&](int, std::ostream& stream) { stream << figures; });
    }
    outputs.Commit();
  } catch (const std::exception& e) {
    file.message = e.what();
    return;
  }
  file.outcome = Outcome::Written;
}

std::string JsonLine(const BatchFile& file) {
  std::string line = "{\"file\": " + JsonString(file.input);
  if (file.summary) line += ", " + *file.summary;
  if (file.outcome == Outcome::Written) {
    line += ", \"outputs\": [";
    for (std::size_t i = 0; i < file.outputs.size(); ++i) {
      line += (i > 0 ? ", " : "") + JsonString(file.outputs[i]);
    }
    line += "]";
  } else {
    line += ", \"error\": " + JsonString(file.message);
  }
  return line + "}\n";
}

}  // namespace

int RunBatch(const RenderOptions& options, std::ostream& out, std::ostream& err) {
  if (const auto refusal = FiguresRefusal(options)) {
    err << "mlsvexal-render: " << *refusal << "\n";
    return 2;
  }
  // The picture part and the reference first: when either cannot be had, nothing is written, not
  // even DIR.
  std::optional<Reference> reference;
  try {
    if (!PlainPicture(options)) Pictures();
    reference = LoadReference(options);
  } catch (const std::exception& e) {
    err << "mlsvexal-render: " << e.what() << "\n";
    return 1;
  }
  const std::string& dir = *options.outputDir;
  std::error_code error;
  fs::create_directories(dir, error);
  if (!fs::is_directory(dir)) {
    err << "mlsvexal-render: cannot write to the folder " << ShownName(dir) << ": "
        << (error ? error.message() : "it is not a folder") << "\n";
    return 1;
  }

  std::vector<BatchFile> batch = PlanOutputs(options);
  const std::shared_ptr<void> gui = options.legend ? Pictures().legendGui() : nullptr;
  bool failed = false;
  bool empty = false;
  for (BatchFile& file : batch) {
    Render(file, options, reference ? &*reference : nullptr);
    if (file.outcome != Outcome::Written) err << "mlsvexal-render: " << file.message << "\n";
    failed = failed || file.outcome == Outcome::Failed;
    empty = empty || file.outcome == Outcome::Empty;
    if (options.json) out << JsonLine(file) << std::flush;
  }
  return failed ? 1 : empty ? 3 : 0;
}
