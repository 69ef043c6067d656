// The Figures window: computed when first asked for with the load's answers, the same CSV as the
// renderer, the chosen position pinned on the map and back, and what it says without figures.

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "figures_link.h"
#include "figures_window.h"
#include "mls_file.h"
#include "no_pause.h"
#include "picture_box.h"
#include "profiles_link.h"
#include "render_run.h"
#include "sample_files.h"
#include "wav_test_files.h"
#include "widget_support.h"

namespace {

class FiguresWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::int16_t> samples;
    for (int m = 0; m < 3; ++m) {
      for (int n = 0; n < 2000; ++n) {
        samples.push_back(static_cast<std::int16_t>(
            std::lround(30000.0 * std::cos(n * 0.7) * std::exp(-n / (300.0 - 90.0 * m)))));
      }
    }
    wav = folder.Write("three rooms.wav", MonoWav16(16000, samples));
    Start(form);
  }
  void TearDown() override { QSettings().clear(); }  // the recent files of these loads
  void Open(const std::string& file, std::optional<std::string> period = std::nullopt) {
    dialogs.files = {file};
    if (period) dialogs.inputs = {*period};
    form.Command1_Click();
  }
  // Key G, as the user presses it.
  FiguresWindow& PressG() {
    for (QAction* action : form.actions()) {
      if (action->shortcut() == QKeySequence(Qt::Key_G)) action->trigger();
    }
    RunQueuedActions(form);
    return *form.Figures()->Window();
  }
  std::string RendererCsv(const std::string& file) {
    std::ostringstream out, err;
    EXPECT_EQ(RunRenderer({"--period", "2000", "--figures", "-", file}, out, err), 0) << err.str();
    return out.str();
  }

  TempFolder folder;
  std::string wav;
  ScriptedDialogs dialogs;
  Form1 form{"", dialogs, kNoPause};
};

TEST_F(FiguresWindowTest, ComputedWhenAskedWithTheLoadsAnswersAndSavedAsTheRendererWritesThem) {
  Open(wav, "2000");
  ASSERT_EQ(form.State().LevelGrid.MicCount(), 3);
  EXPECT_EQ(form.Figures()->Window(), nullptr);  // nothing computed by the load

  FiguresWindow& window = PressG();
  EXPECT_EQ(window.windowTitle(), "Figures");
  EXPECT_EQ(dialogs.inputBoxes.size(), 1u);  // the period is not asked again
  ASSERT_EQ(window.Figures().size(), 3u);
  EXPECT_EQ(window.Table()->model()->rowCount(), 3);
  EXPECT_EQ(window.Csv(), RendererCsv(wav));

  dialogs.saves = {(folder.Path() / "saved.csv").string()};
  window.SaveData();
  std::ifstream saved(folder.Path() / "saved.csv", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), RendererCsv(wav));

  // The onset is plotted in milliseconds and in metres at 343 m/s.
  window.ChooseFigure(0);
  const QList<QPointF> ms = window.PlottedPoints();
  window.ChooseFigure(1);
  ASSERT_EQ(window.PlottedPoints().size(), ms.size());
  EXPECT_DOUBLE_EQ(window.PlottedPoints()[2].y(), ms[2].y() * 0.343);
}

TEST_F(FiguresWindowTest, TheChosenPositionIsThePinnedColumn) {
  Open(wav, "2000");
  FiguresWindow& window = PressG();
  // Sorted by T30, shortest first: the table's first row is the last position.
  window.Table()->sortByColumn(5, Qt::AscendingOrder);
  window.Table()->selectRow(0);
  ASSERT_TRUE(form.Picture1()->Marker().has_value());
  EXPECT_EQ(form.Picture1()->Marker()->x(), 2);  // position 3 (0-based column 2)

  // Ctrl+C copies the selected rows with the header, tab-separated.
  QGuiApplication::clipboard()->clear();
  QTest::keyClick(window.Table(), Qt::Key_C, Qt::ControlModifier);
  const QStringList copied = QGuiApplication::clipboard()->text().split('\n');
  ASSERT_EQ(copied.size(), 3);  // the header, one row, the final line break
  EXPECT_TRUE(copied[0].startsWith("position\tonset_ms\t"));
  EXPECT_TRUE(copied[1].startsWith("3\t")) << copied[1].toStdString();

  emit form.Picture1()->cellClicked(QPoint(1, 5));  // frees the pin
  EXPECT_FALSE(form.Picture1()->Marker().has_value());
  EXPECT_TRUE(window.Table()->selectionModel()->selectedRows().isEmpty());
  emit form.Picture1()->cellClicked(QPoint(0, 5));
  const QModelIndexList rows = window.Table()->selectionModel()->selectedRows();
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(rows[0].data().toString(), "1");
  EXPECT_EQ(form.Profiles()->Pinned(), QPoint(0, 5));
}

TEST_F(FiguresWindowTest, WithoutFiguresTheWindowSaysWhy) {
  Open(folder.Write("m.mls", MlsBytes({{{1, 0}, {2, 0}}})));
  FiguresWindow& window = PressG();
  EXPECT_TRUE(window.Status().contains("an MLS file holds complex spectra"))
      << window.Status().toStdString();
  EXPECT_TRUE(form.StatusBar()->currentMessage().contains("an MLS file holds complex spectra"));
  window.SaveData();
  EXPECT_EQ(dialogs.errors.size(), 1u);
  EXPECT_TRUE(dialogs.saveDialogs.empty());

  // While the window is open, a new map's figures follow once its load is done.
  Open(wav, "2000");
  QCoreApplication::processEvents();
  EXPECT_EQ(window.Figures().size(), 3u);

  // A recording changed after its load: said, and nothing of the new contents shown.
  window.hide();
  Open(wav, "2000");
  { std::ofstream(wav, std::ios::app | std::ios::binary) << std::string(4000, '\1'); }
  PressG();
  EXPECT_TRUE(window.Figures().empty());
  EXPECT_TRUE(window.Status().contains("has changed since its map was loaded"))
      << window.Status().toStdString();
}

TEST_F(FiguresWindowTest, ASofaSetsFiguresAreThoseOfTheAnswersItsLoadTook) {
  // Receiver 2 of measurements 3, 1, 2 (the horizontal plane by azimuth) of a made-up set whose
  // responses differ in onset by measurement and receiver.
  SofaSpec shape;
  shape.r = 2, shape.n = 200;
  shape.positions = {40, 0, 1, 90, 1, 1, 10, -1, 1};
  shape.sample = [](std::size_t m, std::size_t r, std::size_t, std::size_t n) {
    const std::size_t onset = 10 * m + 40 * r;
    return n < onset ? 0.0
                     : 0.9 * std::exp(-static_cast<double>(n - onset) /
                                      (20.0 + 10.0 * static_cast<double>(m)));
  };
  const std::string sofa = (folder.Path() / "set.sofa").string();
  WriteSofa(sofa, shape);
  dialogs.sofaChoices = {SofaChoice{2, 1, SofaSelection::Horizontal}};
  Open(sofa);
  ASSERT_EQ(form.State().LevelGrid.MicCount(), 3);
  FiguresWindow& window = PressG();
  EXPECT_EQ(dialogs.sofaQuestions.size(), 1u);  // not asked again
  std::ostringstream out, err;
  ASSERT_EQ(
      RunRenderer({"--receiver", "2", "--select", "horizontal", "--figures", "-", sofa}, out, err),
      0)
      << err.str();
  EXPECT_EQ(window.Csv(), out.str());
  ASSERT_EQ(window.Figures().size(), 3u);
  EXPECT_EQ(window.Figures()[0].onsetMs, 1000.0 * 60 / 48000);  // measurement 3, receiver 2
}

}  // namespace
