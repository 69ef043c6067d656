#pragma once
// Picture1: a picture box with a 2-pixel sunken border around a backing image of its interior.
// Painted columns go into the backing image, so the map survives the window being covered; each
// painted column asks for a repaint of its own visible rectangle only. When the box is smaller
// than the image, it shows the part that the scroll offset selects.

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <span>

class PictureBox : public QWidget {
  Q_OBJECT
 public:
  explicit PictureBox(QWidget* parent = nullptr);

  // The interior becomes width x height of background with the initial image at its top-left
  // pixel (nothing when either side is 0). Throws DrawError when memory runs out.
  void ClearInterior(std::int32_t width, std::int32_t height);
  // Greys of interior column x from the top.
  void PaintColumn(std::int32_t x, std::span<const std::uint8_t> greys);
  // The interior as painted (Format_RGB32).
  const QImage& Interior() const { return interior_; }
  // The interior pixel shown at the top-left inside the border.
  void SetScroll(QPoint offset);
  QPoint Scroll() const { return scroll_; }

 signals:
  void clicked();
  // After PaintColumn has written interior column x.
  void columnPainted(int x);
  // The mouse, no button held, is over interior pixel `pixel` (scroll offset included).
  void hovered(QPoint pixel, QPoint globalPos);
  // The mouse left the interior, or a button was pressed.
  void hoverEnded();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  // The widget rectangle inside the border.
  QRect Inside() const;

  QImage interior_;
  QPoint scroll_;
  bool pressed_ = false;
};
