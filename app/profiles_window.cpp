#include "profiles_window.h"

#include <QAction>
#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>

#include "dialogs.h"
#include "file_names.h"
#include "save_view.h"

namespace {

QList<QPointF> Points(const std::vector<double>& positions, const std::vector<float>& levels) {
  QList<QPointF> points;
  const std::size_t count = std::min(positions.size(), levels.size());
  points.reserve(static_cast<qsizetype>(count));
  for (std::size_t i = 0; i < count; ++i) points.append(QPointF(positions[i], levels[i]));
  return points;
}

// The axis of a profile; across the columns, what a column is.
QString PositionTitle(const std::string& positionName, const ColumnLabels& columns) {
  if (positionName == "time_ms") return "Time (ms)";
  if (positionName == "row") return "Row";
  QString word = QString::fromStdString(columns.word);
  if (!word.isEmpty()) word[0] = word[0].toUpper();
  return word;
}

}  // namespace

ProfilesWindow::ProfilesWindow(Dialogs& dialogs, QWidget* owner)
    : QWidget(owner, Qt::Window), dialogs_(dialogs) {
  setObjectName("Profiles");
  setWindowTitle("Profiles");
  timePlot_ = MakePlot("Level against time");
  acrossPlot_ = MakePlot("Level across microphones");
  loudestMark_ = new QScatterSeries(timePlot_.chart);
  loudestMark_->setName("Loudest");
  loudestMark_->setMarkerSize(9);
  timePlot_.chart->addSeries(loudestMark_);
  loudestMark_->attachAxis(timePlot_.x);
  loudestMark_->attachAxis(timePlot_.y);

  cellLabel_ = new QLabel(this);
  cellLabel_->setObjectName("ProfilesCell");
  loudestLabel_ = new QLabel(this);
  loudestLabel_->setObjectName("ProfilesLoudest");
  auto* saveData = new QPushButton("Save data…", this);
  saveData->setObjectName("SaveProfilesData");
  auto* savePicture = new QPushButton("Save picture…", this);
  savePicture->setObjectName("SaveProfilesPicture");
  connect(saveData, &QPushButton::clicked, this, &ProfilesWindow::SaveData);
  connect(savePicture, &QPushButton::clicked, this, &ProfilesWindow::SavePicture);
  auto* saveDataKey = new QAction(this);
  saveDataKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  connect(saveDataKey, &QAction::triggered, this, &ProfilesWindow::SaveData);
  addAction(saveDataKey);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cellLabel_, 1);
  buttons->addWidget(saveData);
  buttons->addWidget(savePicture);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(timePlot_.view, 1);
  layout->addWidget(loudestLabel_);
  layout->addWidget(acrossPlot_.view, 1);
  layout->addLayout(buttons);
  resize(640, 640);
}

ProfilesWindow::Plot ProfilesWindow::MakePlot(const QString& title) {
  Plot plot{};
  plot.chart = new QChart;
  plot.chart->setTitle(title);
  plot.chart->legend()->setAlignment(Qt::AlignBottom);
  plot.levels = new QLineSeries(plot.chart);
  plot.levels->setName("Measurement");
  plot.reference = new QLineSeries(plot.chart);
  plot.reference->setName("Reference");
  plot.peak = new QLineSeries(plot.chart);
  plot.peak->setName("Peak");
  plot.peak->setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
  plot.x = new QValueAxis(plot.chart);
  plot.y = new QValueAxis(plot.chart);
  plot.chart->addAxis(plot.x, Qt::AlignBottom);
  plot.chart->addAxis(plot.y, Qt::AlignLeft);
  for (QLineSeries* series : {plot.levels, plot.reference, plot.peak}) {
    plot.chart->addSeries(series);
    series->attachAxis(plot.x);
    series->attachAxis(plot.y);
  }
  plot.view = new QChartView(plot.chart, this);
  plot.view->setRenderHint(QPainter::Antialiasing);
  return plot;
}

void ProfilesWindow::ShowCell(const ViewState& main, LevelScale scale, std::int32_t column,
                              std::int32_t row, const LevelGrid* reference, bool pinned) {
  time_ = TimeProfile(main, column, reference);
  across_ = AcrossProfile(main, row, reference);
  ShowProfile(timePlot_, time_, main, scale);
  ShowProfile(acrossPlot_, across_, main, scale);
  const QString point = QLocale().decimalPoint();
  const QString when = RowsHaveTime(main)
                           ? QLocale().toString(RowMilliseconds(main, row), 'f', 3) + " ms"
                           : "row " + QString::number(row);
  cellLabel_->setText(QString::fromStdString(ColumnName(main.Columns, column)) + ", " + when +
                      (pinned ? " (pinned: a click or Escape frees it)" : ""));
  loudestMark_->clear();
  if (const auto loudest = LoudestPoint(time_)) {
    const double at = time_.positions[*loudest];
    loudestMark_->append(at, time_.levels[*loudest]);
    const QString where =
        RowsHaveTime(main) ? QLocale().toString(at, 'f', 3) + " ms" : "row " + QString::number(at);
    loudestLabel_->setText("Loudest at " + QString::fromStdString(main.Columns.word) + " " +
                           QString::number(column) + ": " +
                           LevelText(scale, time_.levels[*loudest], 2, point) + " at " + where);
  } else {
    loudestLabel_->clear();
  }
}

void ProfilesWindow::ShowProfile(Plot& plot, const Profile& profile, const ViewState& main,
                                 LevelScale scale) {
  plot.levels->replace(Points(profile.positions, profile.levels));
  plot.reference->replace(Points(profile.positions, profile.referenceLevels));
  plot.reference->setVisible(!profile.referenceLevels.empty());
  const double first = profile.positions.empty() ? 0.0 : profile.positions.front();
  const double last = profile.positions.empty() ? 1.0 : profile.positions.back();
  plot.x->setRange(first, std::max(last, first + 1e-9));
  plot.x->setTitleText(PositionTitle(profile.positionName, main.Columns));
  // The map's black-to-white span, the peak at one end.
  const double peak = main.PeakLevel;
  const double end = peak - static_cast<double>(main.RangeDb);
  plot.y->setRange(std::min(peak, end), std::max(peak, end));
  plot.y->setTitleText("Level (" + LevelUnitName(scale) + ")");
  plot.peak->replace({QPointF(first, peak), QPointF(last, peak)});
}

std::string ProfilesWindow::Csv() const {
  return ProfileCsv(time_) + "\n" + ProfileCsv(across_);
}

void ProfilesWindow::SaveData() {
  const auto path =
      dialogs_.SaveFile(this, "Save the profiles' data", {"CSV file (*.csv)", "All files (*)"});
  if (!path) return;
  const std::string csv = Csv();
  const auto fault = SaveOutput(*path, [&csv](int, std::ostream& out) { out << csv; });
  if (fault) dialogs_.Error(this, *fault);
}

void ProfilesWindow::SavePicture() {
  const auto path = dialogs_.SaveFile(this, "Save the profiles' picture", SaveViewFilters());
  if (!path) return;
  if (const auto fault = SaveView(grab().toImage(), *path)) dialogs_.Error(this, *fault);
}
