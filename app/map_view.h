#pragma once
// The window's map: Picture1 with the map's cells, the time scale beside it, the scroll bars of a
// map larger than the screen, the read-out over the cells, and the view's own choices: zoom,
// palette, legend. It covers the window's client area under the designed controls and paints
// only the scale itself, so the window looks as designed around it.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "level_units.h"
#include "map_fit.h"
#include "palette.h"
#include "row_scale.h"
#include "view_image.h"
#include "view_legend.h"
#include "view_state.h"
#include "zoom.h"

class QLabel;
class QMenu;
class QScrollBar;
class PictureBox;

class MapView : public QWidget {
  Q_OBJECT
 public:
  // state: the window's view state, read for the read-out, the legend and saving.
  MapView(const ViewState& state, QWidget* parent);

  PictureBox* Picture() const { return picture_; }
  QScrollBar* HorizontalScroll() const { return hScroll_; }
  QScrollBar* VerticalScroll() const { return vScroll_; }
  QLabel* Readout() const { return readout_; }

  // What a paint leaves on the map.
  void Clear(std::int32_t micCount, std::int32_t rowCount);
  void DrawTick(float offsetRows, int label);
  void PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys);
  // Lowers a zoom at which a micCount x rowCount map would be too large to show.
  void PrepareZoomFor(std::int32_t micCount, std::int32_t rowCount);

  // The state whose map is painted next (the window's own, a reference's or a difference's): read
  // for the scale, the read-out, the legend and saving. It must outlive its use.
  void SetShownState(const ViewState& shown) { state_ = &shown; }
  // A palette shown instead of the user's (the difference map's), or none.
  void SetPaletteOverride(std::optional<Palette> palette);
  // The read-out's text for a cell (column, row from 1) instead of the shown state's levels.
  void SetReadoutText(std::function<std::string(std::int32_t, std::int32_t)> text) {
    readoutText_ = std::move(text);
  }
  // Lines under the legend's levels (what is compared with what), or none.
  void SetLegendNote(QString note);
  const QString& LegendNote() const { return legendNote_; }
  // The scale of the levels on the map, for the read-out and the legend.
  void SetLevelScale(LevelScale scale) { levelScale_ = scale; }
  LevelScale CurrentLevelScale() const { return levelScale_; }

  // The map's size in view pixels at the current zoom (one per cell at 1:1).
  QSize ZoomedMap() const;
  // Places the picture and the bars for a window laid out for the zoomed map.
  // client: the window's client size (larger than the fit when the user made the window larger).
  void Place(const WindowLayout& layout, const MapFit& fit, int barExtent, QSize client);

  MapZoom CurrentZoom() const;
  // anchor: a point of the picture kept in place. Ends a fit.
  void SetZoom(MapZoom zoom, QPoint anchor);
  void ZoomIn();
  void ZoomOut();
  void ResetZoom();
  // The columns alone one zoom step wider or narrower.
  void WidenColumns();
  void NarrowColumns();
  // The largest square zoom at which the whole map fits the client area the screen leaves.
  void FitToScreen(QSize available);

  // A fitted map follows the room it is given (the window's size): stretched fills it in both
  // directions, square keeps square cells.
  enum class FitMode { None, Stretched, Square };
  FitMode Fitting() const { return fitMode_; }
  void Fit(FitMode mode);
  // The zoom of the fit for a map area of `area` view pixels.
  MapZoom FitZoomFor(QSize area) const;
  // Takes the fit's zoom from the window, scrolled to the top-left, without a signal.
  void ApplyFitZoom(MapZoom zoom);
  Palette CurrentPalette() const { return palette_; }
  Palette ShownPalette() const { return paletteOverride_.value_or(palette_); }
  void SetPalette(Palette palette);
  bool LegendShown() const { return legend_; }
  // The distance sound travels (343 m/s) beside each millisecond label.
  bool DistanceShown() const { return distance_; }
  void SetDistanceShown(bool shown);
  void SetLegendShown(bool shown);

  void HideReadout();
  // The map as shown (zoom, palette, and legend and axes when they are shown), as saved and
  // copied.
  QImage ShownView() const;
  // Extra client width that the legend beside the scale takes (0 while it is hidden).
  int LegendWidth() const;
  // Pixels right of the picture that the scale's ticks and labels take: at least the designed
  // room.
  int TimeLabelsRoom() const;
  // The client height that the legend needs beside and under a picture of pictureOuterHeight
  // pixels with a horizontal scroll bar of barHeight (0 without) under it (0 while hidden).
  int LegendClientHeight(int pictureOuterHeight, int barHeight) const;
  // The view's actions in the order the menus list them.
  const std::vector<QAction*>& Actions() const { return actions_; }
  // The menu a right click opens (owned by the window, never destroyed while the view lives).
  void SetContextMenu(QMenu* menu) { contextMenu_ = menu; }
  // Heights the window has besides its client area (menu bar, status bar), for fitting.
  void SetChromeHeight(int height) { chromeHeight_ = height; }

 signals:
  // The zoomed map changed size: the window should follow it.
  void zoomedMapResized();
  // The user stepped the black-to-white span (+1 wider, -1 narrower).
  void rangeStepped(int direction);
  // The user asked for the peak to be the loudest level of the map on screen.
  void scaleToMapRequested();
  // The user asked to save the view to a file, or to copy it.
  void saveRequested();
  void copyRequested();
  // The mouse is over cell (column, row), both from 1, of the painted map.
  void cellHovered(std::int32_t column, std::int32_t row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  struct Tick {
    float offsetRows;
    int label;
  };
  void AddActions();
  void FollowScroll();
  void ShowReadout(QPoint cell, QPoint globalPos);
  void KeepOnScreen();
  // What the legend and the axes say of the map shown, and where its picture lies.
  LegendFacts ShownFacts() const;
  AxesPlace ShownPlace() const;

  const ViewState* state_;
  PictureBox* picture_;
  QScrollBar* hScroll_;
  QScrollBar* vScroll_;
  QLabel* readout_;
  std::vector<Tick> ticks_;
  std::vector<QAction*> actions_;
  QMenu* contextMenu_ = nullptr;
  int chromeHeight_ = 0;
  LevelScale levelScale_ = LevelScale::Decibel;
  Palette palette_ = kDefaultPalette;
  std::optional<Palette> paletteOverride_;
  std::function<std::string(std::int32_t, std::int32_t)> readoutText_;
  QString legendNote_;
  bool legend_ = false;
  bool distance_ = false;
  FitMode fitMode_ = FitMode::None;
  bool mapShown_ = false;  // a paint has sized the picture to a map
};
