#pragma once
// The window as the surface of its paints: it sizes itself to the map at the view's zoom (capped
// to the screen's free area, scrolling beyond) and hands the scale and the columns to the map
// view. It also follows a size the user gives the window once a map is shown.

#include <QSize>
#include <array>
#include <functional>
#include <optional>

#include "map_surface.h"
#include "window_layout.h"

class QProgressBar;
class QWidget;
class MapView;

class WindowSurface : public WindowMapSurface {
 public:
  // window: the top-level widget; fileName and progress: the controls as wide as the map;
  // yield: the window's Yield.
  WindowSurface(QWidget& window, MapView& view, QWidget& fileName, QProgressBar& progress,
                std::function<void()> yield);

  // The window's rows above and below the client area the map lays out (menu bar, status bar):
  // added to every height the window takes, taken from every height it is given.
  void SetChrome(int top, int bottom) { chrome_ = top + bottom; }

  // The zoom changed: the window follows the zoomed map.
  void FollowZoom() { SizeToMap(/*heightsToo=*/true); }
  // The window was resized: a size the user gives it is kept from then on (the map scrolls within
  // it or has background around it); a fitted map is fitted again.
  void FollowWindowSize();

  void SetWidths(const MapGeometry& map) override;
  void SetHeights(const MapGeometry&) override { SizeToMap(/*heightsToo=*/true); }
  void Clear(std::int32_t micCount, std::int32_t rowCount) override;
  void DrawTick(float offsetRows, int label) override;
  void PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) override;
  void Yield() override { yield_(); }

 private:
  void SizeToMap(bool heightsToo);
  // The client size the map may take: the user's size of the window, else the screen's free area.
  QSize AvailableClientSize() const;
  // The map area (view pixels) that a fit fills within a client area of `client`.
  QSize FitArea(QSize client) const;
  void Resize(QSize size);
  int ScrollBarExtent() const;

  QWidget& window_;
  MapView& view_;
  QWidget& fileName_;
  QProgressBar& progress_;
  std::function<void()> yield_;
  MapGeometry shownMap_{};                   // the cells of the map the window is sized for
  std::optional<WindowLayout> shownLayout_;  // its layout at the view's zoom, once shown
  bool sizingToMap_ = false;                 // the window resizes itself to the map
  std::optional<QSize> userSize_;            // a size the user gave the window
  // The sizes the window last asked for itself: the window system may report each late.
  std::array<QSize, 4> requested_{};
  std::size_t nextRequest_ = 0;
  int chrome_ = 0;                           // heights of the menu bar and the status bar
};
