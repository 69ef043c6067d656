// The map view beyond the designed start: zoom, palettes, the span keys, the peak of the map on
// screen, the legend, saving, and the context menu.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QtTest/qtestspontaneevent.h>
#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QWheelEvent>
#include <sstream>

#include "grey.h"
#include "no_pause.h"
#include "picture_box.h"
#include "render_run.h"
#include "view_image.h"
#include "widget_support.h"

using ::testing::Contains;
using ::testing::HasSubstr;

namespace {

class MapViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings().clear();
    Start(form);
    PaintGrid(form, dialogs, 40, 30);
    ASSERT_TRUE(dialogs.errors.empty());
  }
  void TearDown() override { QSettings().clear(); }

  MapView* View() { return form.View(); }
  std::uint8_t CellGrey(int column, int row) {
    const ViewState& s = form.State();
    return GreyOf(s.LevelGrid.At(row, column), s.PeakLevel, s.RangeDb);
  }
  // True when every cell shows as k x k pixels of its grey from the picture's top-left.
  bool ShowsCellsAt(int k) {
    const QImage shown = ShownInterior(form);
    for (int y = 0; y < 30 * k; ++y) {
      for (int x = 0; x < 40 * k; ++x) {
        if (GreyAt(shown, x, y) != CellGrey(x / k + 1, y / k + 1)) return false;
      }
    }
    return true;
  }
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(form.Picture1(), static_cast<Qt::Key>(key), modifiers);
    QTest::qWait(0);  // actions that paint or open a dialog start from the event loop
  }

  ScriptedDialogs dialogs;
  Form1 form{"", dialogs, kNoPause};
};

TEST_F(MapViewTest, ZoomKeysMakeEachCellKByKPixelsAndCtrlZeroReturns) {
  Key(Qt::Key_Equal, Qt::ControlModifier);
  EXPECT_EQ(View()->CurrentZoom(), (Zoom{2, 1}));
  EXPECT_EQ(form.Picture1()->size(), QSize(2 * 40 + 4, 2 * 30 + 4));  // the window follows
  EXPECT_TRUE(ShowsCellsAt(2));
  Key(Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_EQ(View()->CurrentZoom(), (Zoom{3, 1}));
  EXPECT_TRUE(ShowsCellsAt(3));
  Key(Qt::Key_0, Qt::ControlModifier);
  EXPECT_EQ(form.Picture1()->size(), QSize(44, 34));
  EXPECT_TRUE(ShowsCellsAt(1));
  // A paint keeps the zoom.
  dialogs.inputs = {"100"};
  Key(Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_EQ(View()->CurrentZoom(), (Zoom{1, 2}));
}

TEST_F(MapViewTest, BelowOnePixelEachPixelShowsTheLoudestCellOfItsBlock) {
  Key(Qt::Key_Minus, Qt::ControlModifier);
  Key(Qt::Key_Minus, Qt::ControlModifier);
  ASSERT_EQ(View()->CurrentZoom(), (Zoom{1, 3}));
  const QImage shown = ShownInterior(form);
  for (int by = 0; by < 10; ++by) {
    for (int bx = 0; bx < 14; ++bx) {
      int loudest = 255;
      for (int r = by * 3 + 1; r <= std::min(30, by * 3 + 3); ++r) {
        for (int c = bx * 3 + 1; c <= std::min(40, bx * 3 + 3); ++c) {
          loudest = std::min<int>(loudest, CellGrey(c, r));
        }
      }
      ASSERT_EQ(GreyAt(shown, bx, by), loudest) << bx << ", " << by;
    }
  }
}

TEST_F(MapViewTest, PalettesStepWithCAndAreRemembered) {
  Key(Qt::Key_C);
  EXPECT_EQ(View()->CurrentPalette(), Palette::Viridis);
  const QImage shown = ShownInterior(form);
  EXPECT_EQ(shown.pixel(5, 7), PaletteColour(Palette::Viridis, CellGrey(6, 8)));
  EXPECT_EQ(QSettings().value("view/palette").toString(), "viridis");
  {
    ScriptedDialogs other;
    Form1 next("", other, kNoPause);  // a later run starts with the palette chosen
    EXPECT_EQ(next.View()->CurrentPalette(), Palette::Viridis);
  }
  Key(Qt::Key_C, Qt::ShiftModifier);
  EXPECT_EQ(View()->CurrentPalette(), Palette::Grey);
  for (int i = 0; i < 5; ++i) Key(Qt::Key_C);
  EXPECT_EQ(View()->CurrentPalette(), Palette::Grey);
  EXPECT_TRUE(ShowsCellsAt(1));
}

TEST_F(MapViewTest, SpanKeysRepaintAtOnceAndScaleToThisMapTakesItsPeak) {
  Key(Qt::Key_BracketLeft);
  EXPECT_EQ(form.State().RangeDb, 95.0f);
  EXPECT_TRUE(ShowsCellsAt(1));
  Key(Qt::Key_BracketRight);
  Key(Qt::Key_BracketRight);
  EXPECT_EQ(form.State().RangeDb, 105.0f);
  EXPECT_TRUE(ShowsCellsAt(1));
  // The grid's levels are 0 to -99: its loudest is 0, which is also the peak; lower it first.
  form.State().PeakLevel = 20.0f;
  Key(Qt::Key_M);
  EXPECT_EQ(form.State().PeakLevel, 0.0f);
  EXPECT_TRUE(ShowsCellsAt(1));  // repainted against the new peak
}

TEST_F(MapViewTest, TheLegendTakesRoomBesideTheScaleAndIsRemembered) {
  const int narrow = form.width();
  Key(Qt::Key_L);
  EXPECT_TRUE(View()->LegendShown());
  EXPECT_GT(form.width(), narrow);
  EXPECT_TRUE(QSettings().value("view/legend").toBool());
  Key(Qt::Key_L);
  EXPECT_EQ(form.width(), narrow);
}

TEST_F(MapViewTest, SaveWritesTheViewAsShownAndNamesFormatsItCannotWrite) {
  TempFolder folder;
  Key(Qt::Key_Equal, Qt::ControlModifier);
  Key(Qt::Key_C);
  const std::string path = (folder.Path() / "view.png").string();
  dialogs.saves = {path};
  Key(Qt::Key_S, Qt::ControlModifier);
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
  ASSERT_EQ(dialogs.saveDialogs.size(), 1u);
  EXPECT_THAT(dialogs.saveDialogs[0], HasSubstr("Save"));
  const QImage saved(QString::fromStdString(path));
  ASSERT_EQ(saved.size(), QSize(80, 60));
  EXPECT_EQ(saved.pixel(11, 15), PaletteColour(Palette::Viridis, CellGrey(6, 8)));
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
            View()->ShownView().convertToFormat(QImage::Format_RGB32));

  dialogs.saves = {(folder.Path() / "view.xyz").string()};
  Key(Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_THAT(dialogs.errors[0], HasSubstr("cannot be written in the format"));
}

// Texts of a menu's actions (submenus by their title), each with its shortcut where it has one.
std::vector<std::string> MenuTexts(const QMenu& menu) {
  std::vector<std::string> texts;
  for (QAction* action : menu.actions()) {
    if (!action->isSeparator()) texts.push_back(action->text().toStdString());
  }
  return texts;
}

TEST_F(MapViewTest, TheMenusListEveryActionWithItsShortcut) {
  const QList<QMenu*> bar = form.Menus()->BarMenus();
  ASSERT_EQ(bar.size(), 3);
  const struct {
    const QMenu* menu;
    std::vector<const char*> expected;
  } menus[] = {
      {form.Menus()->ContextMenu(),
       {"Browse…", "Redraw…", "Stop painting, free the profiles", "Profiles…", "Load reference…",
        "Measurement, reference, difference", "Drop the reference", "Recent files", "Zoom in",
        "Zoom out", "One pixel per cell", "Fit to the window", "Fit with square cells",
        "Wider columns", "Narrower columns", "Palette", "Next palette", "Legend and axes",
        "Distance axis", "Scale to this map", "Save view…", "Copy view", "Acoustic figures…",
        "Open channels as positions…", "Longer slices", "Shorter slices", "Slice length…"}},
      {bar[0],
       {"Browse…", "Load reference…", "Open channels as positions…", "Recent files", "Save view…",
        "Copy view", "Export grid…", "Export profiles…", "Close", "Quit"}},
      {bar[1],
       {"Redraw…", "Stop painting, free the profiles", "Profiles…",
        "Measurement, reference, difference", "Drop the reference", "Zoom in", "Zoom out",
        "One pixel per cell", "Fit to the window", "Fit with square cells", "Wider columns",
        "Narrower columns", "Palette", "Next palette", "Previous palette", "Legend and axes",
        "Distance axis", "Wider span", "Narrower span", "Scale to this map", "Slice length…",
        "Longer slices", "Shorter slices", "Acoustic figures…"}},
      {bar[2], {"Keys", "About MLS Vexal"}},
  };
  for (const auto& [menu, expected] : menus) {
    const std::vector<std::string> texts = MenuTexts(*menu);
    for (const char* text : expected) EXPECT_THAT(texts, Contains(std::string(text))) << text;
    for (QAction* action : menu->actions()) {
      const bool needsKey = !action->isSeparator() && action->menu() == nullptr &&
                            !action->text().startsWith("Export") &&
                            !action->text().startsWith("About");
      if (needsKey) {
        EXPECT_FALSE(action->shortcut().isEmpty()) << action->text().toStdString();
      }
    }
  }
}

TEST_F(MapViewTest, CtrlWheelZoomsAboutTheCursor) {
  PaintGrid(form, dialogs, 64, 32768);  // scrolls
  QTest::keyClick(form.Picture1(), Qt::Key_PageDown);
  const QPoint at(30, 100);  // in the picture
  const int rowBefore = form.View()->VerticalScroll()->value() + at.y() - kPictureBorder;
  QWheelEvent up(at, form.Picture1()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                 Qt::ControlModifier, Qt::NoScrollPhase, false);
  QSpontaneKeyEvent::setSpontaneous(&up);
  QCoreApplication::instance()->notify(form.Picture1(), &up);
  ASSERT_EQ(View()->CurrentZoom(), (Zoom{2, 1}));
  // The row under the cursor is the same cell, now two pixels high.
  const int rowAfter = (form.View()->VerticalScroll()->value() + at.y() - kPictureBorder) / 2;
  EXPECT_EQ(rowAfter, rowBefore);
}

TEST_F(MapViewTest, OnceAMapIsShownTheWindowMayBeResized) {
  const QSize fitted = form.size();
  form.resize(fitted + QSize(60, 40));  // larger: background around the map
  EXPECT_EQ(form.Picture1()->size(), QSize(44, 34));
  EXPECT_FALSE(form.View()->VerticalScroll()->isVisible());
  form.resize(fitted.width(), 110);  // smaller than the map: it scrolls
  EXPECT_TRUE(form.View()->VerticalScroll()->isVisible());
  EXPECT_LT(form.Picture1()->height(), 34);
  QTest::keyClick(form.Picture1(), Qt::Key_End);
  EXPECT_EQ(form.Picture1()->Scroll().y(), form.View()->VerticalScroll()->maximum());
  EXPECT_GT(form.View()->VerticalScroll()->maximum(), 0);
}

TEST(MapViewSaved, TheSavedViewAndTheRenderersAgreePixelForPixel) {
  QSettings().clear();
  TempFolder folder;
  const std::string file = WriteRamp(folder, "ramp.mls", 24, 18);
  ScriptedDialogs dialogs;
  Form1 form(file, dialogs, kNoPause);
  Start(form);
  for (const auto& [key, modifiers] : std::initializer_list<std::pair<int, Qt::KeyboardModifiers>>{
           {Qt::Key_Equal, Qt::ControlModifier},
           {Qt::Key_C, {}},
           {Qt::Key_C, {}},
           {Qt::Key_L, {}}}) {
    QTest::keyClick(form.Picture1(), static_cast<Qt::Key>(key), modifiers);
  }
  const std::string png = (folder.Path() / "rendered.png").string();
  std::ostringstream out, err;
  ASSERT_EQ(
      RunRenderer({"--zoom", "2", "--palette", "magma", "--legend", "--png", png, file}, out, err),
      0)
      << err.str();
  const QImage rendered = QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
  const QImage saved = form.View()->ShownView().convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), rendered.size());
  EXPECT_TRUE(saved == rendered);
  QSettings().clear();
}

TEST(MapViewStart, TheWindowKeepsItsDesignedSizeUntilAMapIsShown) {
  ScriptedDialogs dialogs;
  Form1 form("", dialogs, kNoPause);
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
}

}  // namespace
