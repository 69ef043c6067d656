#include "render_options.h"

#include <QCommandLineParser>
#include <QImageWriter>
#include <QString>
#include <limits>
#include <stdexcept>

#include "file_kind.h"
#include "number_text.h"
#include "option_values.h"
#include "range_rule.h"
#include "shown_name.h"

namespace {

constexpr const char* kProgram = "mlsvexal-render";

constexpr const char* kDescription =
    "Loads each FILE as the viewer MLS Vexal would and writes its map.\n"
    "Without --output-dir the files are loaded in order into one state, like\n"
    "successive Browse choices (the peak level carries over), and the outputs show\n"
    "the last one. With --output-dir DIR each FILE is loaded on its own, with a fresh\n"
    "peak, and written to DIR/NAME.png, NAME being the file's own name; a FILE that\n"
    "fails writes nothing and is reported, and the others are still written.\n"
    "With --reference REF, REF is loaded first into a state of its own, as if a\n"
    "viewer had just started with it, and every output shows FILE minus REF over the\n"
    "rows and microphones both have: the last FILE, or each FILE with --output-dir.\n"
    "--profile-column and --profile-row write CSV with a header line; with both, the\n"
    "time profile comes first, then a blank line, then the profile across the\n"
    "microphones. --figures computes the acoustic figures of every position from the\n"
    "samples of the last FILE (or each FILE) read again with the same answers; the\n"
    "kinds without samples (.mls, text exports) are refused with status 2.\n"
    "An output that is a character device, a FIFO or a socket, or a link to one\n"
    "(such as /dev/stdout), is written in place; \"-\" is standard output. An output\n"
    "that is a link to a file replaces that file, and the link stays.";

constexpr const char* kExitStatus =
    "\nExit status:\n"
    "  0  every output written\n"
    "  1  a file could not be loaded, painted or written, or its figures not computed\n"
    "     (with --output-dir: any), or a profile's column or row lies outside the map\n"
    "  2  wrong arguments, or --figures for a kind without samples (nothing is written)\n"
    "  3  the map holds no cells (or none in common with REF), so nothing is written\n"
    "     for it (with --output-dir: when no file failed)\n";

// The parser sees each argument's bytes as Latin-1, one character per byte, so that names that
// are not valid UTF-8 come back unchanged; option names are ASCII either way.
QString Text(const std::string& bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string Bytes(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

struct RenderParser {
  RenderParser() {
    parser.setApplicationDescription(kDescription);
    for (const QCommandLineOption* option :
         {&help,      &version,       &period,     &range,      &png,        &zoom,
          &palette,   &legend,        &grid,       &outputDir,  &gridFormat, &json,
          &reference, &profileColumn, &profileRow, &profileOut, &figures,    &receiver,
          &emitter,   &select,        &channels,   &slice}) {
      parser.addOption(*option);
    }
    parser.addPositionalArgument(
        "FILE",
        "Measurement files: .mls, .wav, .pcm, .sofa, .flac, .aif, .aiff, .w64, .rf64, .caf or "
        "text exports.",
        "FILE...");
  }

  QCommandLineParser parser;
  QCommandLineOption help{{"h", "help"}, "Show this help and exit."};
  QCommandLineOption version{"version", "Show the version and the license, and exit."};
  QCommandLineOption period{
      "period", "Repetition period of WAV and PCM recordings: seconds below 10, else samples.",
      "P"};
  QCommandLineOption range{"range", "Level span from black to white (default 100).", "DB"};
  QCommandLineOption png{
      "png",
      "The map as a picture in the format its extension names: .png (8-bit, greyscale for the "
      "grey palette, else RGB; also a name without extension), .jpg, .bmp, .tif, .webp or another "
      "that Qt's image writers know here. \"-\" writes a PNG to standard output.",
      "OUT"};
  QCommandLineOption zoom{
      "zoom",
      "K x K pixels per cell in the picture (a whole number from 1). A picture holds at most "
      "1 GiB of pixels (1 byte a pixel in grey without the legend, else 3) and 1000000 pixels "
      "a side.",
      "K"};
  QCommandLineOption palette{
      "palette", "Colours of the picture: grey (default), viridis, magma, inferno or cividis.",
      "NAME"};
  QCommandLineOption legend{
      "legend", "The picture (RGB) shows the colour bar, the peak and the axes around the cells."};
  QCommandLineOption grid{
      "grid",
      "The levels as float32: .npy (rows x microphones) or .csv (one line per row); \"-\" writes "
      "CSV to standard output.",
      "OUT"};
  QCommandLineOption outputDir{
      "output-dir",
      "Render each FILE on its own to DIR/NAME.png (made if missing), instead of --png and --grid.",
      "DIR"};
  QCommandLineOption gridFormat{
      "grid-format", "With --output-dir, also write the levels to DIR/NAME.npy or DIR/NAME.csv.",
      "npy|csv"};
  QCommandLineOption json{
      "json",
      "A summary of the loaded state on standard output; with --output-dir one line per FILE."};
  QCommandLineOption reference{
      "reference",
      "Compare with the measurement REF: --grid, --png and --output-dir write FILE minus REF "
      "(float32; the picture white at 0, red where FILE is louder, blue where REF is, full at "
      "plus or minus the range); --json adds REF's summary as \"reference\".",
      "REF"};
  QCommandLineOption profileColumn{
      "profile-column",
      "The level against time at microphone M (from 1) as CSV: time_ms (row without a sampling "
      "rate), level, and with --reference reference_level.",
      "M"};
  QCommandLineOption profileRow{
      "profile-row",
      "The level across the microphones at row R (from 1) as CSV: microphone, level, and with "
      "--reference reference_level.",
      "R"};
  QCommandLineOption profileOut{"profile-out",
                                "Write the profiles to FILE instead of standard output.", "FILE"};
  QCommandLineOption figures{
      "figures",
      "The acoustic figures of every position as CSV (onset, EDT, T20, T30, C50, C80, D50, "
      "centre time) to OUT, - for standard output; with --output-dir give csv for "
      "DIR/NAME.figures.csv.",
      "OUT"};
  QCommandLineOption receiver{"receiver", "SOFA sets: the receiver drawn (from 1, default 1).",
                              "N"};
  QCommandLineOption emitter{"emitter", "SOFA sets: the emitter drawn (from 1, default 1).", "N"};
  QCommandLineOption select{
      "select",
      "SOFA sets: the measurements drawn as columns: all (default, in file order), horizontal "
      "(|elevation| <= 2 degrees, by azimuth) or median (azimuth within 2 degrees of 0 or 180, "
      "by polar angle).",
      "all|horizontal|median"};
  QCommandLineOption channels{
      "channels",
      "Audio files (WAV, FLAC, AIFF, W64, RF64, CAF): one column per channel, rows from the "
      "first frame, no period (a mono file gives one column). Files with several channels other "
      "than WAV open so anyway."};
  QCommandLineOption slice{
      "slice",
      "Samples summed into one row (1 to 65536, default 4) for recordings, audio files and SOFA "
      "sets.",
      "D"};
};

// Qt words its errors as sentences ("Unknown option 'x'."); the renderer's own messages follow
// its name in lower case without a full stop.
std::string ParserError(const QString& text) {
  std::string message = Bytes(text);
  if (!message.empty() && message.back() == '.') message.pop_back();
  if (!message.empty() && message[0] >= 'A' && message[0] <= 'Z') message[0] += 'a' - 'A';
  return message;
}

void RefuseRepeats(const RenderParser& p) {
  const QStringList given = p.parser.optionNames();
  for (const QCommandLineOption* option :
       {&p.period,    &p.range,         &p.png,        &p.zoom,       &p.palette,
        &p.legend,    &p.grid,          &p.outputDir,  &p.gridFormat, &p.json,
        &p.reference, &p.profileColumn, &p.profileRow, &p.profileOut, &p.figures,
        &p.receiver,  &p.emitter,       &p.select,     &p.channels,   &p.slice}) {
    const QString name = option->names().constFirst();
    if (given.count(name) > 1) {
      throw std::invalid_argument("--" + Bytes(name) + " is given more than once");
    }
  }
}

// --reference and the profiles, once the other options are in.
void TakeComparisonOptions(const RenderParser& p, RenderOptions& options) {
  const auto value = [&](const QCommandLineOption& option) -> std::optional<std::string> {
    if (!p.parser.isSet(option)) return std::nullopt;
    return Bytes(p.parser.value(option));
  };
  options.referencePath = value(p.reference);
  if (options.referencePath) {
    if (options.referencePath->empty()) throw std::invalid_argument("--reference needs a file");
    if (p.parser.isSet(p.palette)) {
      throw std::invalid_argument(
          "--palette does not go with --reference: the difference has colours of its own");
    }
    options.palette = Palette::Difference;
  }
  if (const auto m = value(p.profileColumn))
    options.profileColumn = ParseCount("--profile-column", *m);
  if (const auto r = value(p.profileRow)) options.profileRow = ParseCount("--profile-row", *r);
  options.profileOut = value(p.profileOut);
  if (options.profileOut && options.profileOut->empty()) {
    throw std::invalid_argument("--profile-out needs a file");
  }
  const bool profiles = options.profileColumn || options.profileRow;
  if (options.profileOut && !profiles) {
    throw std::invalid_argument("--profile-out goes with --profile-column or --profile-row");
  }
  if (profiles && options.outputDir) {
    throw std::invalid_argument("--profile-column and --profile-row do not go with --output-dir");
  }
  if (profiles && !options.profileOut && options.json) {
    throw std::invalid_argument(
        "--json and the profiles would share standard output: write the profiles with "
        "--profile-out FILE");
  }
}

// --figures, once the outputs and the profiles are in.
void TakeFiguresOption(const RenderParser& p, RenderOptions& options) {
  if (!p.parser.isSet(p.figures)) return;
  options.figuresPath = Bytes(p.parser.value(p.figures));
  const std::string& path = *options.figuresPath;
  if (path.empty()) throw std::invalid_argument("--figures needs a file, or - for standard output");
  if (options.outputDir) {
    if (path != "csv") {
      throw std::invalid_argument("with --output-dir the figures go to DIR/NAME" +
                                  std::string(kFiguresSuffix) + ": give --figures csv");
    }
    return;
  }
  if (path != "-") return;
  if (options.json) {
    throw std::invalid_argument(
        "--json and the figures would share standard output: write the figures with --figures "
        "FILE");
  }
  if ((options.profileColumn || options.profileRow) && !options.profileOut) {
    throw std::invalid_argument(
        "the profiles and the figures would share standard output: write one of them to a file");
  }
}

constexpr int kMaxSlice = 65536;

// The options that only some kinds of file take: given for a file of another kind, an error.
void TakeKindOptions(const RenderParser& p, RenderOptions& options) {
  const auto value = [&](const QCommandLineOption& option) -> std::optional<std::string> {
    if (!p.parser.isSet(option)) return std::nullopt;
    return Bytes(p.parser.value(option));
  };
  SofaChoice sofa;
  if (const auto r = value(p.receiver)) sofa.receiver = ParseCount("--receiver", *r);
  if (const auto e = value(p.emitter)) sofa.emitter = ParseCount("--emitter", *e);
  if (const auto s = value(p.select)) {
    const auto selection = SofaSelectionFromKey(*s);
    if (!selection) {
      throw std::invalid_argument("--select is all, horizontal or median, not \"" + *s + "\"");
    }
    sofa.selection = *selection;
  }
  options.choices.sofa = sofa;
  options.choices.channelsAsPositions = p.parser.isSet(p.channels);
  if (const auto d = value(p.slice)) {
    const int slice = ParseCount("--slice", *d);
    if (slice > kMaxSlice) {
      throw std::invalid_argument("--slice is at most " + std::to_string(kMaxSlice) + ", not " +
                                  *d);
    }
    options.slice = slice;
  }

  std::vector<std::string> files = options.files;
  if (options.referencePath) files.push_back(*options.referencePath);
  for (const std::string& file : files) {
    const ReaderKind kind = ReaderFor(FileKindOf(file));
    const bool sofaSet = kind == ReaderKind::Sofa;
    const bool audio = kind == ReaderKind::Wav || kind == ReaderKind::Audio;
    const bool samples = sofaSet || audio || kind == ReaderKind::Pcm;
    const auto refuse = [&](const std::string& option, const std::string& takers) {
      return std::invalid_argument(option + " applies to " + takers + ", not to " +
                                   ShownName(file));
    };
    for (const QCommandLineOption* option : {&p.receiver, &p.emitter, &p.select}) {
      if (!sofaSet && p.parser.isSet(*option)) {
        throw refuse("--" + Bytes(option->names().constFirst()), "SOFA sets");
      }
    }
    if (!audio && options.choices.channelsAsPositions) throw refuse("--channels", "audio files");
    if (!samples && options.slice) {
      throw refuse("--slice", "recordings, audio files and SOFA sets (rows of samples)");
    }
  }
}

}  // namespace

RenderOptions ParseRenderOptions(const std::vector<std::string>& arguments) {
  RenderParser p;
  QStringList texts{kProgram};
  for (const std::string& argument : arguments) texts.append(Text(argument));
  if (!p.parser.parse(texts)) throw std::invalid_argument(ParserError(p.parser.errorText()));

  RenderOptions options;
  options.help = p.parser.isSet(p.help);
  options.version = p.parser.isSet(p.version);
  if (options.help || options.version) return options;
  RefuseRepeats(p);

  const auto value = [&](const QCommandLineOption& option) -> std::optional<std::string> {
    if (!p.parser.isSet(option)) return std::nullopt;
    return Bytes(p.parser.value(option));
  };
  options.period = value(p.period);
  if (const auto range = value(p.range)) options.rangeDb = ParseRange(*range);
  if (const auto zoom = value(p.zoom)) options.zoom = ParseCount("--zoom", *zoom);
  if (const auto palette = value(p.palette)) options.palette = ParsePalette(*palette);
  options.legend = p.parser.isSet(p.legend);
  options.json = p.parser.isSet(p.json);
  options.pngPath = value(p.png);
  if (options.pngPath) options.pictureFormat = PictureFormat(*options.pngPath);
  options.gridPath = value(p.grid);
  if (options.gridPath && *options.gridPath != "-" && !options.gridPath->ends_with(".npy") &&
      !options.gridPath->ends_with(".csv")) {
    throw std::invalid_argument("--grid writes .npy or .csv files, not \"" + *options.gridPath +
                                "\"");
  }
  options.outputDir = value(p.outputDir);
  if (const auto format = value(p.gridFormat)) options.gridFormat = ParseGridFormat(*format);
  if (options.outputDir) {
    if (options.outputDir->empty()) throw std::invalid_argument("--output-dir needs a folder");
    if (options.pngPath || options.gridPath) {
      throw std::invalid_argument(
          "--output-dir names the outputs after each FILE: use --grid-format, not --png or "
          "--grid");
    }
  } else if (options.gridFormat) {
    throw std::invalid_argument("--grid-format goes with --output-dir (else use --grid OUT)");
  }

  TakeComparisonOptions(p, options);
  TakeFiguresOption(p, options);

  for (const QString& file : p.parser.positionalArguments()) options.files.push_back(Bytes(file));
  if (options.files.empty()) throw std::invalid_argument("no measurement file given");
  TakeKindOptions(p, options);
  return options;
}

std::string RenderHelpText() {
  const RenderParser p;
  const QString text = p.parser.helpText();
  // Qt's first line names the executable as started (or a placeholder without an application).
  return std::string("Usage: ") + kProgram + " [options] FILE..." +
         text.mid(text.indexOf('\n')).toStdString() + kExitStatus;
}

std::string RenderVersionText() {
  return std::string(kProgram) + " " + MLSVEXAL_VERSION +
         "\n"
         "License GPL-3.0-or-later: the GNU General Public License, version 3 or (at your option)\n"
         "any later version; its text is in the file LICENSE that comes with the program.\n"
         "This is free software: you are free to change and redistribute it.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}

std::string GridSuffix(GridFormat format) {
  return format == GridFormat::Npy ? ".npy" : ".csv";
}
