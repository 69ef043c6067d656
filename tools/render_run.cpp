#include "render_run.h"

#include <memory>
#include <optional>
#include <stdexcept>

#include "empty_map.h"
#include "output_files.h"
#include "render_batch.h"
#include "render_compare.h"
#include "render_figures.h"
#include "render_options.h"
#include "render_picture.h"
#include "render_steps.h"
#include "shown_name.h"

namespace {

// The summary and the profiles without --profile-out are printed on standard output: an output
// file that is that stream too would be mixed with them.
void RefuseSharedStandardOutput(const RenderOptions& options,
                                const std::vector<std::string>& outputs) {
  const bool profiles = options.profileColumn || options.profileRow;
  if (!options.json && !(profiles && !options.profileOut)) return;
  for (const std::string& output : outputs) {
    if (IsStandardOutput(output)) {
      throw std::runtime_error("cannot write " + ShownName(output) +
                               ": it is standard output, where " +
                               (options.json ? "--json" : "the profiles") + " go");
    }
  }
}

// Every FILE loaded in order into one state; the outputs show the last one (compared with the
// reference when there is one).
int RunOneState(const RenderOptions& options, std::ostream& out, std::ostream& err) {
  if (const auto refusal = FiguresRefusal(options)) {
    err << "mlsvexal-render: " << *refusal << "\n";
    return 2;
  }
  const bool figuresToFile = options.figuresPath && *options.figuresPath != "-";
  std::vector<std::string> outputs;
  if (options.pngPath) outputs.push_back(*options.pngPath);
  if (options.gridPath) outputs.push_back(*options.gridPath);
  if (options.profileOut) outputs.push_back(*options.profileOut);
  if (figuresToFile) outputs.push_back(*options.figuresPath);
  std::vector<std::string> inputs = options.files;
  if (options.referencePath) inputs.push_back(*options.referencePath);
  std::optional<Reference> reference;
  try {
    CheckOutputTargets(outputs, inputs);
    RefuseSharedStandardOutput(options, outputs);
    // The picture part is opened before anything is loaded or written.
    if (options.pngPath && !PlainPicture(options)) Pictures();
    reference = LoadReference(options);
  } catch (const std::exception& e) {
    err << "mlsvexal-render: " << e.what() << "\n";
    return 1;
  }
  const Reference* ref = reference ? &*reference : nullptr;

  ViewState state = StartState(options);
  std::optional<PictureSize> picture;
  if (options.pngPath) picture = PictureSize{options.zoom, options.legend, options.palette};
  RenderHost host(options.period, picture);
  std::optional<FileStamp> loadedStamp;  // of the last file, before its load
  for (const std::string& file : options.files) {
    loadedStamp = StampOf(file);
    if (const auto cause = LoadInto(state, file, host, options.choices)) {
      err << "mlsvexal-render: cannot load " << ShownName(file) << ": " << *cause << "\n";
      return 1;
    }
  }

  const std::string& shown = options.files.back();
  const std::string summary = "{" + JsonSummary(state, shown) + ReferenceJson(ref) + "}\n";
  std::optional<ViewState> difference = DifferenceOf(state, ref);
  auto reason = EmptyMapReason(shown, state.LevelGrid);
  if (!reason && difference) reason = NoCommonCells(*difference, *ref);
  if (reason) {
    err << "mlsvexal-render: " << ShownName(shown) << *reason << "\n";
    if (options.json) out << summary;
    return 3;
  }
  ViewState& view = difference ? *difference : state;

  // Painted only when a picture is asked for.
  const std::shared_ptr<void> gui =
      options.pngPath && options.legend ? Pictures().legendGui() : nullptr;
  std::unique_ptr<Picture> image;
  std::string profiles;
  std::string figures;
  try {
    profiles = ProfilesCsv(options, state, shown, ref);
    if (options.figuresPath) figures = FiguresCsvOf(shown, options, state.Decimation, loadedStamp);
  } catch (const std::exception& e) {
    err << "mlsvexal-render: " << e.what() << "\n";
    return 1;
  }
  try {
    if (options.pngPath) image = PaintPicture(view, shown, options);
  } catch (const std::exception& e) {
    err << "mlsvexal-render: cannot paint the map of " << ShownName(shown) << ": " << e.what()
        << "\n";
    return 1;
  }
  try {
    OutputFiles files;
    if (options.pngPath) {
      files.Write(*options.pngPath,
                  [&](int fd, std::ostream&) { image->Write(options.pictureFormat, fd); });
    }
    if (options.gridPath) {
      const GridFormat format =
          options.gridPath->ends_with(".npy") ? GridFormat::Npy : GridFormat::Csv;
      files.Write(*options.gridPath,
                  [&](int, std::ostream& stream) { WriteGrid(view.LevelGrid, format, stream); });
    }
    if (options.profileOut) {
      files.Write(*options.profileOut, [&](int, std::ostream& stream) { stream << profiles; });
    }
    if (figuresToFile) {
      files.Write(*options.figuresPath, [&](int, std::ostream& stream) { stream << figures; });
    }
    files.Commit();
  } catch (const std::exception& e) {
    err << "mlsvexal-render: " << e.what() << "\n";
    return 1;
  }
  if (!options.profileOut) out << profiles;
  if (options.figuresPath && !figuresToFile) out << figures;
  if (options.json) out << summary;
  return 0;
}

}  // namespace

int RunRenderer(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  RenderOptions options;
  try {
    options = ParseRenderOptions(arguments);
  } catch (const std::invalid_argument& e) {
    err << "mlsvexal-render: " << e.what() << "\n"
        << "Usage: mlsvexal-render [options] FILE... (--help lists the options)\n";
    return 2;
  }
  if (options.help) {
    out << RenderHelpText();
    return 0;
  }
  if (options.version) {
    out << RenderVersionText();
    return 0;
  }
  return options.outputDir ? RunBatch(options, out, err) : RunOneState(options, out, err);
}
