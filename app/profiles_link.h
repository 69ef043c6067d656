#pragma once
// Keeps the Profiles window on the cell under the cursor, or on the cell a click pinned, and the
// pinned cell's marker on the map.

#include <QObject>
#include <QPoint>
#include <optional>

class Comparison;
class Dialogs;
class MapView;
class ProfilesWindow;
class QWidget;
struct ViewState;

class ProfilesLink : public QObject {
 public:
  ProfilesLink(MapView& view, Dialogs& dialogs, QWidget& owner, const ViewState& main,
               const Comparison& comparison);

  ProfilesWindow* Window() const { return window_; }  // null until first shown
  // Opens the window (or raises it) on the pinned cell, the last one hovered, or the first.
  void Show();
  // Frees the pinned cell: the profiles follow the cursor again.
  void Unpin();
  // The map or the reference changed: the profiles of the same cell again.
  void Refresh();

 private:
  bool Open() const;
  void Follow(std::int32_t column, std::int32_t row);
  void ClickedCell(QPoint cell);
  void ShowCell(QPoint cell);  // 0-based

  MapView& view_;
  const ViewState& main_;
  const Comparison& comparison_;
  Dialogs& dialogs_;
  QWidget& owner_;
  ProfilesWindow* window_ = nullptr;
  QPoint cell_;                   // 0-based: the cell the profiles go through
  std::optional<QPoint> pinned_;  // 0-based
};
