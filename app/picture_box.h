#pragma once
// Picture1: a picture box with a 2-pixel sunken border around the map's cells. The cells are kept
// as one grey byte each, so the map survives the window being covered and a palette costs
// nothing; the box shows them at the view's zoom and palette, from the scroll offset on. Each
// painted column asks for a repaint of its own visible rectangle only.

#include <QImage>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>

#include "palette.h"
#include "zoom.h"

class PictureBox : public QWidget {
  Q_OBJECT
 public:
  explicit PictureBox(QWidget* parent = nullptr);

  // The interior becomes width x height cells of background with the initial image at its
  // top-left cell (nothing when either side is 0). Throws DrawError when memory runs out.
  void ClearInterior(std::int32_t width, std::int32_t height);
  // Greys of interior column x from the top.
  void PaintColumn(std::int32_t x, std::span<const std::uint8_t> greys);
  // The cells' greys (Format_Grayscale8); columns from PaintedColumns() on are background.
  const QImage& Cells() const { return greys_; }
  std::int32_t PaintedColumns() const { return paintedColumns_; }

  void SetZoom(MapZoom zoom);
  MapZoom CurrentZoom() const { return zoom_; }
  void SetPalette(Palette palette);
  // The size of the zoomed map in view pixels.
  QSize MapPixels() const;
  // The view pixel shown at the top-left inside the border.
  void SetScroll(QPoint offset);
  QPoint Scroll() const { return scroll_; }
  // The widget rectangle inside the border.
  QRect Inside() const;
  // Thin lines through the column and the row of cell (0-based), or none.
  void SetMarker(std::optional<QPoint> cell);
  std::optional<QPoint> Marker() const { return marker_; }

 signals:
  void clicked();
  // A click on cell `cell` (0-based column, row), after clicked().
  void cellClicked(QPoint cell);
  // After PaintColumn has written interior column x.
  void columnPainted(int x);
  // The mouse, no button held, is over cell `cell` (0-based column, row).
  void hovered(QPoint cell, QPoint globalPos);
  // The mouse left the map, or a button was pressed.
  void hoverEnded();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  // A direction is reduced to its blocks' loudest cells at 1:out.
  bool Reduced() const { return zoom_.columns.out > 1 || zoom_.rows.out > 1; }
  int OutX() const { return std::max(zoom_.columns.out, 1); }
  int OutY() const { return std::max(zoom_.rows.out, 1); }
  // The greys as the zoom shows them: the cells, or their loudest-cell reduction.
  const QImage& ShownGreys() const { return Reduced() ? reduced_ : greys_; }
  void ReduceColumn(std::int32_t x, std::span<const std::uint8_t> greys);
  void PaintMarker(QPainter& painter, QPoint origin) const;
  // The cell under widget point `at`, if it is one of the map's.
  std::optional<QPoint> CellAt(QPoint at) const;

  QImage greys_;
  QImage reduced_;  // at 1:out in either direction, one byte per block
  std::int32_t paintedColumns_ = 0;
  MapZoom zoom_;
  Palette palette_ = kDefaultPalette;
  QPoint scroll_;
  bool pressed_ = false;
  std::optional<QPoint> marker_;
};
