#include "profiles_window.h"

#include <QAction>
#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

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

// The smallest of 1, 2, 5 x 10^n (at least `least`) giving at most `most` steps over `span`.
double RoundStep(double span, int most, double least) {
  for (double decade = least;; decade *= 10) {
    for (const double mantissa : {1.0, 2.0, 5.0}) {
      if (mantissa * decade * most >= span || decade > 1e15) return mantissa * decade;
    }
  }
}

// Ticks at round steps from `anchor`: whole numbers where the positions are.
void RoundTicks(QValueAxis* axis, double first, double last, double anchor, bool whole) {
  const double step = RoundStep(last - first, 8, whole ? 1.0 : 1e-6);
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(anchor);
  axis->setTickInterval(step);
  axis->setLabelFormat(whole || step >= 1.0 ? QStringLiteral("%.0f")
                                            : QStringLiteral("%.") +
                                                  QString::number(static_cast<int>(
                                                      std::ceil(-std::log10(step) - 1e-9))) +
                                                  QStringLiteral("f"));
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
  plot.floor = new QLineSeries(plot.chart);
  plot.floor->setName("Span's end");
  plot.floor->setPen(QPen(Qt::gray, 1, Qt::DotLine));
  plot.shown = new QLineSeries(plot.chart);
  plot.shown->setName("Cell shown");
  plot.shown->setPen(QPen(QColor(0, 160, 220), 1));
  plot.x = new QValueAxis(plot.chart);
  plot.y = new QValueAxis(plot.chart);
  plot.chart->addAxis(plot.x, Qt::AlignBottom);
  plot.chart->addAxis(plot.y, Qt::AlignLeft);
  for (QLineSeries* series : {plot.levels, plot.reference, plot.peak, plot.floor, plot.shown}) {
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
  ShowProfile(timePlot_, time_, main, scale,
              RowsHaveTime(main) ? RowMilliseconds(main, row) : static_cast<double>(row));
  ShowProfile(acrossPlot_, across_, main, scale, column);
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
                                 LevelScale scale, double at) {
  plot.levels->replace(Points(profile.positions, profile.levels));
  plot.reference->replace(Points(profile.positions, profile.referenceLevels));
  plot.reference->setVisible(!profile.referenceLevels.empty());
  // Times from 0 (the first slice's start), rows and microphones from 1, at round whole steps.
  const bool time = profile.positionName == "time_ms";
  const double first = time ? 0.0 : 1.0;
  const double last =
      std::max(profile.positions.empty() ? first + 1.0 : profile.positions.back(), first + 1e-9);
  plot.x->setRange(first, last);
  RoundTicks(plot.x, first, last, first, !time);
  plot.x->setTitleText(PositionTitle(profile.positionName, main.Columns));
  // The map's black-to-white span, the peak at one end, down to the lowest level shown so that
  // no curve is cut at the span's end, which is marked.
  const double peak = main.PeakLevel;
  const double end = peak - static_cast<double>(main.RangeDb);
  double low = std::min(peak, end);
  double high = std::max(peak, end);
  for (const std::vector<float>* levels : {&profile.levels, &profile.referenceLevels}) {
    for (const float level : *levels) {
      if (!std::isfinite(level)) continue;
      low = std::min(low, static_cast<double>(level));
      high = std::max(high, static_cast<double>(level));
    }
  }
  plot.y->setRange(low, std::max(high, low + 1e-9));
  plot.y->setTitleText("Level (" + LevelUnitName(scale) + ")");
  plot.peak->replace({QPointF(first, peak), QPointF(last, peak)});
  plot.floor->replace({QPointF(first, end), QPointF(last, end)});
  plot.shown->replace({QPointF(at, low), QPointF(at, high)});
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
  if (const auto fault = SaveView(Charts(), *path)) dialogs_.Error(this, *fault);
}

QImage ProfilesWindow::Charts() const {
  const QImage top = timePlot_.view->grab().toImage();
  const QImage bottom = acrossPlot_.view->grab().toImage();
  QImage charts(std::max(top.width(), bottom.width()), top.height() + bottom.height(),
                QImage::Format_RGB32);
  charts.fill(Qt::white);
  QPainter painter(&charts);
  painter.drawImage(0, 0, top);
  painter.drawImage(0, top.height(), bottom);
  return charts;
}
