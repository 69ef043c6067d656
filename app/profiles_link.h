#pragma once
// Keeps the Profiles window on the cell under the cursor, or on the cell a click pinned, and the
// pinned cell's marker on the map.

#include <QObject>
#include <QPoint>
#include <cstdint>
#include <functional>
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
  // Pins column (from 1) at the row the profiles show, with its marker on the map.
  void PinColumn(std::int32_t column);
  std::optional<QPoint> Pinned() const { return pinned_; }  // 0-based
  // Another window that follows the pinned cell: listener is called with the pinned cell
  // (0-based) whenever a click pins it, nullopt once freed; while isOpen, a click on the map pins
  // a cell as it does while the Profiles window is open.
  void SetPinListener(std::function<void(std::optional<QPoint>)> listener,
                      std::function<bool()> isOpen) {
    pinListener_ = std::move(listener);
    listenerOpen_ = std::move(isOpen);
  }

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
  std::function<void(std::optional<QPoint>)> pinListener_;
  std::function<bool()> listenerOpen_;
};
