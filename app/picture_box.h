#pragma once
// Picture1: a picture box with a 2-pixel sunken border around a backing image of its interior.
// Painted columns go into the backing image, so the map survives the window being covered; each
// painted column asks for a repaint of its own rectangle only.

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

 signals:
  void clicked();
  // After PaintColumn has written interior column x.
  void columnPainted(int x);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage interior_;
  bool pressed_ = false;
};
