#pragma once
// The "Figures" window: the acoustic figures of every position in a sortable, copyable table, a
// plot of the chosen figure across the positions, and the figures saved as CSV (the same text as
// the renderer's --figures).

#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "room_figures.h"

class QChart;
class QComboBox;
class QChartView;
class QLabel;
class QLineSeries;
class QScatterSeries;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;
class QValueAxis;
class Dialogs;

// Metres travelled by sound in a millisecond, at 343 m/s.
inline constexpr double kMetresPerMs = 0.343;

class FiguresWindow : public QWidget {
  Q_OBJECT
 public:
  FiguresWindow(Dialogs& dialogs, QWidget* owner);

  // Shows the figures of every position (in map order) of fileName.
  void ShowFigures(const std::string& fileName, std::vector<RoomFigures> figures);
  // No figures: the table empties and the status line says why.
  void ShowMessage(const std::string& text);
  const std::vector<RoomFigures>& Figures() const { return figures_; }
  std::string Csv() const;
  QString Status() const;
  QTableView* Table() const { return table_; }

  // Selects position column (from 1) in the table and on the plot without reporting it back;
  // nullopt clears the selection.
  void SelectColumn(std::optional<std::int32_t> column);
  // The figure the plot shows: an index into the choices (FigureChoices()).
  void ChooseFigure(int index);
  static QStringList FigureChoices();
  // The plotted points (position, value) of the chosen figure, without the positions lacking it.
  QList<QPointF> PlottedPoints() const;

  // Asks for a file and writes Csv(); a failure ends in one error box.
  void SaveData();
  // The selected rows (all when none is) as tab-separated text with their header.
  QString SelectedText() const;

 signals:
  // The user chose position column (from 1): a table row or a point of the plot.
  void columnChosen(std::int32_t column);

 private:
  void FillTable();
  void Plot();
  void RowChosen();
  void PointClicked(const QPointF& point);

  Dialogs& dialogs_;
  std::vector<RoomFigures> figures_;
  QStandardItemModel* model_;
  QSortFilterProxyModel* sorted_;
  QTableView* table_;
  QComboBox* choice_;
  QChart* chart_;
  QChartView* chartView_;
  QLineSeries* line_;
  QScatterSeries* points_;
  QScatterSeries* selected_;
  QValueAxis* x_;
  QValueAxis* y_;
  QLabel* status_;
  std::optional<std::int32_t> selectedColumn_;
  bool haveFigures_ = false;  // false while the status line says why there are none
  bool selecting_ = false;    // a selection made by SelectColumn, not by the user
};
