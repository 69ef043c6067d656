#pragma once
// The "Profiles" window: the level against time at one microphone and across the microphones at
// one time row, plotted with Qt Charts; the reference's curves beside them when one is loaded.
// A window of its own, so that the main window keeps its geometry. Saves its data as CSV and its
// picture as PNG.

#include <QWidget>
#include <cstdint>

#include "level_units.h"
#include "profiles.h"
#include "view_state.h"

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QScatterSeries;
class QValueAxis;
class Dialogs;

class ProfilesWindow : public QWidget {
  Q_OBJECT
 public:
  ProfilesWindow(Dialogs& dialogs, QWidget* owner);

  // The profiles through cell (column, row), both from 1, of main's map; reference's curves too
  // when it is given. pinned: the cell was clicked (said in the label).
  void ShowCell(const ViewState& main, LevelScale scale, std::int32_t column, std::int32_t row,
                const LevelGrid* reference, bool pinned);
  const Profile& TimeData() const { return time_; }
  const Profile& AcrossData() const { return across_; }
  // Both profiles as CSV: the time profile, a blank line, the profile across microphones.
  std::string Csv() const;
  // Asks for a file and writes the data or the picture; a failure ends in one error box.
  void SaveData();
  void SavePicture();
  // The two charts, one above the other, as saved.
  QImage Charts() const;

 private:
  struct Plot {
    QChart* chart;
    QChartView* view;
    QLineSeries* levels;
    QLineSeries* reference;
    QLineSeries* peak;
    QLineSeries* floor;  // the span's end
    QLineSeries* shown;  // the row or microphone of the cell shown
    QValueAxis* x;
    QValueAxis* y;
  };
  Plot MakePlot(const QString& title);
  // at: the position of the cell shown along the plot's axis.
  void ShowProfile(Plot& plot, const Profile& profile, const ViewState& main, LevelScale scale,
                   double at);

  Dialogs& dialogs_;
  Plot timePlot_;
  Plot acrossPlot_;
  QScatterSeries* loudestMark_;
  QLabel* cellLabel_;
  QLabel* loudestLabel_;
  Profile time_;
  Profile across_;
};
