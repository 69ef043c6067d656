// The Profiles window and the reference measurement in the main window: profiles of known cells,
// pinning, a reference that leaves the window's own state alone, and the difference map.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QValueAxis>

#include "compare.h"
#include "image_surface.h"
#include "no_pause.h"
#include "picture_box.h"
#include "profiles_link.h"
#include "profiles_window.h"
#include "wav_test_files.h"
#include "widget_support.h"

namespace {

class WindowCompare : public ::testing::Test {
 protected:
  void SetUp() override {
    // Point (m, r) of the measurement: louder towards the first microphones and rows; the
    // reference is a constant, of another size.
    measurement = WriteMls(folder, "hall.mls", 6, 40,
                           [](int m, int r) { return static_cast<float>(100 - 10 * m - r); });
    reference = WriteMls(folder, "empty hall.mls", 4, 60, [](int, int) { return 20.0f; });
    Start(form);
    dialogs.files = {measurement};
    form.Command1_Click();
    ASSERT_EQ(form.State().LevelGrid.MicCount(), 6);
  }

  void LoadReference(const std::string& file) {
    dialogs.files = {file};
    form.LoadReference();
  }
  // The picture as painted, cell by cell, as RGB.
  QImage Shown() { return ShownInterior(form).convertToFormat(QImage::Format_RGB32); }

  TempFolder folder;
  std::string measurement, reference;
  ScriptedDialogs dialogs;
  Form1 form{"", dialogs, kNoPause};
};

TEST_F(WindowCompare, ProfilesFollowTheCursorAndAClickPinsThem) {
  ProfilesLink& link = *form.Profiles();
  const QRect geometry = form.geometry();
  link.Show();
  EXPECT_EQ(form.geometry(), geometry);  // a window of its own
  ProfilesWindow& window = *link.Window();
  EXPECT_EQ(window.windowTitle(), "Profiles");
  EXPECT_TRUE(window.isWindow());

  emit form.View()->cellHovered(3, 7);
  const LevelGrid& grid = form.State().LevelGrid;
  const auto column = grid.DataColumn(3);
  EXPECT_EQ(window.TimeData().levels, std::vector<float>(column.begin(), column.end()));
  ASSERT_EQ(window.AcrossData().levels.size(), 6u);
  for (int m = 1; m <= 6; ++m) EXPECT_EQ(window.AcrossData().levels[m - 1], grid.At(7, m));
  EXPECT_EQ(window.TimeData().positionName, "row");  // an .mls file has no sampling rate

  // Pinned by a click: the marker shows the cell and the cursor no longer moves the profiles.
  emit form.Picture1()->cellClicked(QPoint(4, 9));
  EXPECT_EQ(form.Picture1()->Marker(), QPoint(4, 9));
  emit form.View()->cellHovered(1, 1);
  EXPECT_EQ(window.TimeData().levels.front(), grid.At(1, 5));
  EXPECT_EQ(window.AcrossData().levels.front(), grid.At(10, 1));
  // Another click frees them; Escape does too.
  emit form.Picture1()->cellClicked(QPoint(0, 0));
  EXPECT_FALSE(form.Picture1()->Marker().has_value());
  emit form.Picture1()->cellClicked(QPoint(2, 2));
  ASSERT_TRUE(form.Picture1()->Marker().has_value());
  const auto* status = window.findChild<QLabel*>("ProfilesCell");
  EXPECT_TRUE(status->text().contains("pinned"));
  for (QAction* action : form.actions()) {
    if (action->shortcut() == QKeySequence(Qt::Key_Escape)) action->trigger();
  }
  EXPECT_FALSE(form.Picture1()->Marker().has_value());
  EXPECT_FALSE(status->text().contains("pinned")) << status->text().toStdString();  // at once
}

TEST_F(WindowCompare, TheCsvHoldsBothProfilesAndTheLevelAxisSpansTheMap) {
  form.Profiles()->Show();
  emit form.View()->cellHovered(2, 5);
  const ProfilesWindow& window = *form.Profiles()->Window();
  const std::string csv = window.Csv();
  EXPECT_EQ(csv.rfind("row,level\n", 0), 0u);
  EXPECT_NE(csv.find("\nmicrophone,level\n"), std::string::npos);
  const auto* view = window.findChildren<QChartView*>().front();
  const auto axes = view->chart()->axes(Qt::Vertical);
  ASSERT_EQ(axes.size(), 1);
  const auto* levels = static_cast<QValueAxis*>(axes.front());
  EXPECT_DOUBLE_EQ(levels->max(), form.State().PeakLevel);
  EXPECT_DOUBLE_EQ(levels->min(), form.State().PeakLevel - form.State().RangeDb);
  EXPECT_TRUE(levels->titleText().startsWith("Level ("));

  // A narrower span: the axis reaches down to the lowest level of the curve (microphone 2's last
  // row), below the span's end, which is marked.
  form.State().RangeDb = 30.0f;
  emit form.View()->cellHovered(2, 5);
  const float lowest = form.State().LevelGrid.At(40, 2);
  ASSERT_LT(lowest, form.State().PeakLevel - 30.0f);
  EXPECT_DOUBLE_EQ(levels->min(), lowest);
  QLineSeries* floor = nullptr;
  QLineSeries* shown = nullptr;
  for (QAbstractSeries* series : view->chart()->series()) {
    if (series->name() == "Span's end") floor = static_cast<QLineSeries*>(series);
    if (series->name() == "Cell shown") shown = static_cast<QLineSeries*>(series);
  }
  ASSERT_NE(floor, nullptr);
  ASSERT_NE(shown, nullptr);
  EXPECT_DOUBLE_EQ(floor->at(0).y(), form.State().PeakLevel - 30.0);
  EXPECT_DOUBLE_EQ(shown->at(0).x(), 5.0);  // row 5
  // Whole rows and microphones at round steps from 1: 40 rows every 5, 6 microphones every 1.
  const auto* rows = static_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).front());
  EXPECT_EQ(rows->tickAnchor(), 1.0);
  EXPECT_EQ(rows->tickInterval(), 5.0);
  const auto* across = window.findChildren<QChartView*>().back();
  const auto* mics = static_cast<QValueAxis*>(across->chart()->axes(Qt::Horizontal).front());
  EXPECT_EQ(mics->tickInterval(), 1.0);
  EXPECT_EQ(mics->labelFormat(), "%.0f");
  // The saved picture holds the two charts only.
  const QImage charts = window.Charts();
  EXPECT_EQ(charts.height(), view->height() + across->height());
  EXPECT_LT(charts.height(), window.height());
}

TEST_F(WindowCompare, AReferenceLeavesTheWindowsStateAndMapAlone) {
  const float peak = form.State().PeakLevel;
  const QImage before = Shown();
  LoadReference(reference);
  ASSERT_TRUE(form.Compared().HasReference());
  EXPECT_EQ(form.State().PeakLevel, peak);
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 6);
  EXPECT_EQ(form.Text1()->text().toStdString(), measurement);
  EXPECT_EQ(Shown(), before);

  // One that fails, or is refused, changes nothing, not even the reference.
  LoadReference(folder.Write("broken.mls", "short"));
  EXPECT_EQ(dialogs.errors.size(), 1u);
  LoadReference(folder.Write("stereo.wav", RiffWave({{"fmt ", FmtBody(1, 2, 8000, 16)},
                                                     {"data", Int16Body({1, 2, 3, 4})}})));
  ASSERT_EQ(dialogs.warnings.size(), 1u);
  EXPECT_THAT(dialogs.warnings[0],
              ::testing::StartsWith("Warning!: Sorry, this is not a Mono .WAV file!\n"));
  EXPECT_EQ(form.Compared().ReferenceGrid()->RowCount(), 60);
  EXPECT_EQ(form.State().PeakLevel, peak);
  EXPECT_EQ(Shown(), before);
}

TEST_F(WindowCompare, DCyclesThroughTheReferenceAndTheDifference) {
  LoadReference(reference);
  form.ShowNextMap();
  EXPECT_EQ(form.Compared().Shown(), ShownMap::Reference);
  EXPECT_EQ(form.Picture1()->Cells().size(), QSize(4, 60));
  // The title names what is shown.
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("empty hall.mls (reference) — MLS Vexal"));

  form.ShowNextMap();
  ASSERT_EQ(form.Compared().Shown(), ShownMap::Difference);
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("hall.mls − empty hall.mls — MLS Vexal"));
  const QString note =
      QString::fromStdString(form.Compared().LegendNote(form.State(), form.Compared().MainScale()));
  EXPECT_TRUE(
      note.startsWith(QString::fromUtf8("difference, ± 100.0 (21.71 dB)\nhall.mls − "
                                        "empty hall.mls\n")))
      << note.toStdString();
  // The pixels of the difference: DrawMap of its view in the diverging palette.
  ViewState difference = DifferenceView(form.State(), *form.Compared().ReferenceGrid());
  ImageSurface surface;
  DrawMap(difference, surface);
  const QImage cells = surface.Image();
  const QImage shown = Shown();
  ASSERT_EQ(shown.size(), QSize(4, 40));
  for (int x = 0; x < 4; ++x) {
    for (int y = 0; y < 40; ++y) {
      const auto grey = static_cast<std::uint8_t>(qGray(cells.pixel(x, y)));
      ASSERT_EQ(shown.pixel(x, y), PaletteColour(Palette::Difference, grey)) << x << "," << y;
    }
  }
  form.ShowNextMap();
  EXPECT_EQ(form.Compared().Shown(), ShownMap::Measurement);
  EXPECT_EQ(PaintedColumns(form), 6);
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("hall.mls — MLS Vexal"));
}

}  // namespace

namespace {

TEST_F(WindowCompare, AClickStopsThePaintOfTheDifference) {
  LoadReference(reference);
  form.ShowNextMap();  // the reference
  int painted = 0;
  QObject::connect(form.Picture1(), &PictureBox::columnPainted, [&](int) {
    if (++painted == 1) form.Picture1_Click();
  });
  form.ShowNextMap();  // the difference, stopped after its first column
  EXPECT_EQ(form.Compared().Shown(), ShownMap::Difference);
  EXPECT_EQ(painted, 1);
  EXPECT_EQ(form.Picture1()->PaintedColumns(), 1);
}

}  // namespace
