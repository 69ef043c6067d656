#include "help_windows.h"

#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QKeySequence>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// What the mouse and the keys that are no actions do.
const std::pair<const char*, const char*> kOtherInput[] = {
    {"Click on the map",
     "Stop a paint; with Profiles open, pin the profiles to the cell or free them"},
    {"Right click on the map", "The map's menu"},
    {"Mouse over the map", "The cell's position, time and level next to the cursor"},
    {"Wheel, Shift+wheel", "Scroll the rows, the columns"},
    {"Ctrl+wheel", "Zoom about the cursor"},
    {"Arrow keys, Page Up, Page Down", "Scroll a map larger than the window"},
    {"Home, End", "To the first or last rows (columns of a map that scrolls only sideways)"},
    {"Enter in the file name", "Open the file named there"},
    {"Drop a file on the window", "Open it"},
};

}  // namespace

std::vector<std::pair<QString, QString>> KeyRows(const QList<QAction*>& actions) {
  std::vector<std::pair<QString, QString>> rows;
  for (const QAction* action : actions) {
    if (action->isSeparator() || action->text().isEmpty()) continue;
    QStringList keys;
    for (const QKeySequence& key : action->shortcuts()) {
      keys << key.toString(QKeySequence::NativeText);
    }
    QString text = action->text();
    text.remove('&');
    rows.emplace_back(keys.join(", "), text);
  }
  for (const auto& [input, meaning] : kOtherInput) rows.emplace_back(input, meaning);
  return rows;
}

QDialog* MakeKeysWindow(QWidget* parent, const QList<QAction*>& actions) {
  auto* window = new QDialog(parent);
  window->setObjectName("KeysWindow");
  window->setWindowTitle("Keys");
  const auto rows = KeyRows(actions);
  auto* table = new QTableWidget(static_cast<int>(rows.size()), 2, window);
  table->setHorizontalHeaderLabels({"Key or mouse", "Action"});
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::NoSelection);
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    table->setItem(row, 0, new QTableWidgetItem(rows[static_cast<std::size_t>(row)].first));
    table->setItem(row, 1, new QTableWidgetItem(rows[static_cast<std::size_t>(row)].second));
  }
  table->resizeColumnsToContents();
  table->horizontalHeader()->setStretchLastSection(true);
  auto* layout = new QVBoxLayout(window);
  layout->addWidget(table);
  window->resize(620, 480);
  return window;
}

QString AboutText() {
  return "MLS Vexal " MLSVEXAL_VERSION
         "\n\nA viewer for acoustic measurements made with maximum-length-sequence excitation "
         "at a row of microphone positions: one column per position, one row per time slice, "
         "the loudest level black.\n\n"
         "Licence: GPL-3.0-or-later, the GNU General Public License, version 3 or (at your "
         "option) any later version. There is NO WARRANTY, to the extent permitted by law.";
}
