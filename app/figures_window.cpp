#include "figures_window.h"

#include <QAction>
#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QSaveFile>
#include <QScatterSeries>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QValueAxis>
#include <cmath>
#include <limits>

#include "dialogs.h"
#include "figures_csv.h"
#include "file_names.h"

namespace {

// A column of the table after the position, and a choice of the plot.
struct FigureColumn {
  const char* title;
  int decimals;  // on screen
  std::optional<double> (*value)(const RoomFigures&);
};

std::optional<double> OnsetMetres(const RoomFigures& f) {
  if (!f.onsetMs) return std::nullopt;
  return *f.onsetMs * kMetresPerMs;
}

const FigureColumn kColumns[] = {
    {"Onset (ms)", 3, [](const RoomFigures& f) { return f.onsetMs; }},
    {"Onset (m)", 3, OnsetMetres},
    {"EDT (s)", 3, [](const RoomFigures& f) { return f.edtS; }},
    {"T20 (s)", 3, [](const RoomFigures& f) { return f.t20S; }},
    {"T30 (s)", 3, [](const RoomFigures& f) { return f.t30S; }},
    {"C50 (dB)", 2, [](const RoomFigures& f) { return f.c50Db; }},
    {"C80 (dB)", 2, [](const RoomFigures& f) { return f.c80Db; }},
    {"D50 (%)", 1, [](const RoomFigures& f) { return f.d50Percent; }},
    {"Ts (ms)", 1, [](const RoomFigures& f) { return f.tsMs; }},
};
constexpr int kFigureCount = static_cast<int>(std::size(kColumns));
constexpr int kSortRole = Qt::UserRole;
const QString kNotGiven = QString::fromUtf8("\u2014");

// A cell shown in the user's locale and sorted by its value; a figure not given shows a dash and
// sorts after every value.
QStandardItem* FigureItem(const std::optional<double>& value, int decimals) {
  auto* item = new QStandardItem(value ? QLocale().toString(*value, 'f', decimals) : kNotGiven);
  item->setData(value.value_or(std::numeric_limits<double>::infinity()), kSortRole);
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  item->setEditable(false);
  return item;
}

}  // namespace

FiguresWindow::FiguresWindow(Dialogs& dialogs, QWidget* owner)
    : QWidget(owner, Qt::Window), dialogs_(dialogs) {
  setObjectName("Figures");
  setWindowTitle("Figures");

  model_ = new QStandardItemModel(this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(model_);
  sorted_->setSortRole(kSortRole);
  table_ = new QTableView(this);
  table_->setObjectName("FiguresTable");
  table_->setModel(sorted_);
  table_->setSortingEnabled(true);
  table_->sortByColumn(0, Qt::AscendingOrder);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &FiguresWindow::RowChosen);

  choice_ = new QComboBox(this);
  choice_->setObjectName("FigureChoice");
  choice_->addItems(FigureChoices());
  choice_->setCurrentIndex(4);  // T30
  connect(choice_, &QComboBox::currentIndexChanged, this, &FiguresWindow::Plot);

  chart_ = new QChart;
  chart_->legend()->hide();
  line_ = new QLineSeries(chart_);
  points_ = new QScatterSeries(chart_);
  points_->setMarkerSize(7);
  selected_ = new QScatterSeries(chart_);
  selected_->setMarkerSize(12);
  selected_->setColor(Qt::red);
  x_ = new QValueAxis(chart_);
  x_->setTitleText("Position");
  x_->setLabelFormat("%d");
  y_ = new QValueAxis(chart_);
  chart_->addAxis(x_, Qt::AlignBottom);
  chart_->addAxis(y_, Qt::AlignLeft);
  for (QXYSeries* series : std::initializer_list<QXYSeries*>{line_, points_, selected_}) {
    chart_->addSeries(series);
    series->attachAxis(x_);
    series->attachAxis(y_);
  }
  connect(points_, &QScatterSeries::clicked, this, &FiguresWindow::PointClicked);
  connect(line_, &QLineSeries::clicked, this, &FiguresWindow::PointClicked);
  chartView_ = new QChartView(chart_, this);
  chartView_->setRenderHint(QPainter::Antialiasing);

  status_ = new QLabel(this);
  status_->setObjectName("FiguresStatus");
  status_->setWordWrap(true);
  auto* saveData = new QPushButton("Save data…", this);
  saveData->setObjectName("SaveFiguresData");
  connect(saveData, &QPushButton::clicked, this, &FiguresWindow::SaveData);
  auto* saveKey = new QAction(this);
  saveKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  connect(saveKey, &QAction::triggered, this, &FiguresWindow::SaveData);
  addAction(saveKey);
  auto* copyKey = new QAction(this);
  copyKey->setShortcut(QKeySequence::Copy);
  copyKey->setShortcutContext(Qt::WindowShortcut);
  connect(copyKey, &QAction::triggered, this,
          [this] { QGuiApplication::clipboard()->setText(SelectedText()); });
  addAction(copyKey);

  auto* plotChoice = new QHBoxLayout;
  plotChoice->addWidget(new QLabel("Plot:", this));
  plotChoice->addWidget(choice_, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(status_, 1);
  bottom->addWidget(saveData);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_, 1);
  layout->addLayout(plotChoice);
  layout->addWidget(chartView_, 1);
  layout->addLayout(bottom);
  resize(900, 720);
}

QStringList FiguresWindow::FigureChoices() {
  QStringList choices;
  for (const FigureColumn& column : kColumns) choices.append(column.title);
  return choices;
}

void FiguresWindow::ShowFigures(const std::string& fileName, std::vector<RoomFigures> figures) {
  figures_ = std::move(figures);
  haveFigures_ = true;
  FillTable();
  status_->setText(QString("Figures of %1: %2 positions, no noise compensation")
                       .arg(FileNameText(fileName))
                       .arg(figures_.size()));
}

void FiguresWindow::ShowMessage(const std::string& text) {
  figures_.clear();
  haveFigures_ = false;
  FillTable();
  status_->setText(QString::fromStdString(text));
}

QString FiguresWindow::Status() const {
  return status_->text();
}

std::string FiguresWindow::Csv() const {
  return FiguresCsv(figures_);
}

void FiguresWindow::FillTable() {
  const bool wasSelecting = selecting_;
  selecting_ = true;  // refilling moves the current row; that is no choice of the user
  model_->clear();
  QStringList headers{"Position"};
  headers.append(FigureChoices());
  model_->setHorizontalHeaderLabels(headers);
  for (std::size_t i = 0; i < figures_.size(); ++i) {
    QList<QStandardItem*> row;
    auto* position = new QStandardItem(QString::number(i + 1));
    position->setData(static_cast<double>(i + 1), kSortRole);
    position->setEditable(false);
    row.append(position);
    for (const FigureColumn& column : kColumns) {
      row.append(FigureItem(column.value(figures_[i]), column.decimals));
    }
    model_->appendRow(row);
  }
  table_->resizeColumnsToContents();
  selecting_ = wasSelecting;
  Plot();
  SelectColumn(selectedColumn_);
}

QList<QPointF> FiguresWindow::PlottedPoints() const {
  QList<QPointF> plotted;
  const FigureColumn& column = kColumns[std::clamp(choice_->currentIndex(), 0, kFigureCount - 1)];
  for (std::size_t i = 0; i < figures_.size(); ++i) {
    if (const auto value = column.value(figures_[i])) {
      plotted.append(QPointF(static_cast<double>(i + 1), *value));
    }
  }
  return plotted;
}

void FiguresWindow::ChooseFigure(int index) {
  choice_->setCurrentIndex(index);
}

void FiguresWindow::Plot() {
  const QList<QPointF> plotted = PlottedPoints();
  line_->replace(plotted);
  points_->replace(plotted);
  const double count = std::max<double>(static_cast<double>(figures_.size()), 1.0);
  x_->setRange(count > 1 ? 1.0 : 0.0, count > 1 ? count : 2.0);
  double low = 0.0;
  double high = 1.0;
  if (!plotted.isEmpty()) {
    low = high = plotted.front().y();
    for (const QPointF& p : plotted) {
      low = std::min(low, p.y());
      high = std::max(high, p.y());
    }
    const double margin = std::max((high - low) * 0.05, 1e-9);
    low -= margin;
    high += margin;
  }
  y_->setRange(low, high);
  y_->setTitleText(choice_->currentText());
  SelectColumn(selectedColumn_);
}

void FiguresWindow::SelectColumn(std::optional<std::int32_t> column) {
  if (column && (*column < 1 || static_cast<std::size_t>(*column) > figures_.size())) {
    column.reset();
  }
  selectedColumn_ = column;
  selected_->clear();
  const bool wasSelecting = selecting_;
  selecting_ = true;
  if (!column) {
    table_->clearSelection();
  } else {
    const QModelIndex row = sorted_->mapFromSource(model_->index(*column - 1, 0));
    table_->selectRow(row.row());
    table_->scrollTo(row);
    for (const QPointF& p : PlottedPoints()) {
      if (p.x() == *column) selected_->append(p);
    }
  }
  selecting_ = wasSelecting;
}

void FiguresWindow::RowChosen() {
  if (selecting_) return;
  const QModelIndex current = sorted_->mapToSource(table_->currentIndex());
  if (!current.isValid()) return;
  const std::int32_t column = current.row() + 1;
  SelectColumn(column);
  emit columnChosen(column);
}

void FiguresWindow::PointClicked(const QPointF& point) {
  const double nearest = std::round(point.x());
  if (nearest < 1 || nearest > static_cast<double>(figures_.size())) return;
  const auto column = static_cast<std::int32_t>(nearest);
  SelectColumn(column);
  emit columnChosen(column);
}

QString FiguresWindow::SelectedText() const {
  QList<int> rows;
  for (const QModelIndex& index : table_->selectionModel()->selectedRows())
    rows.append(index.row());
  std::sort(rows.begin(), rows.end());
  if (rows.isEmpty()) {
    for (int r = 0; r < sorted_->rowCount(); ++r) rows.append(r);
  }
  QString text = QString(kFiguresCsvHeader).replace(',', '\t') + "\n";
  for (const int r : rows) {
    const int column = sorted_->mapToSource(sorted_->index(r, 0)).row() + 1;
    const RoomFigures& f = figures_[static_cast<std::size_t>(column - 1)];
    text += QString::number(column);
    for (const auto* value :
         {&f.onsetMs, &f.edtS, &f.t20S, &f.t30S, &f.c50Db, &f.c80Db, &f.d50Percent, &f.tsMs}) {
      text += "\t" + QString::fromStdString(FigureText(*value));
    }
    text += "\n";
  }
  return text;
}

void FiguresWindow::SaveData() {
  if (!haveFigures_) {
    dialogs_.Error(this, "There are no figures to save: " + status_->text().toStdString());
    return;
  }
  const auto path =
      dialogs_.SaveFile(this, "Save the figures' data", {"CSV file (*.csv)", "All files (*)"});
  if (!path) return;
  QSaveFile file(FileNameText(*path));
  const std::string csv = Csv();
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size()) ||
      !file.commit()) {
    dialogs_.Error(this, "Cannot save " + *path + ": " + file.errorString().toStdString() + ".");
  }
}
