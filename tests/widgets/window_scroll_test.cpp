// Maps larger than the screen: the capped window, the scroll bars, the keys and the wheel, and
// the scale moving with the rows. The offscreen screen is 800 x 600 unless configured otherwise;
// the tests read its free area rather than assume it.

#include <gtest/gtest.h>

#include <QtTest/qtestspontaneevent.h>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "grey.h"
#include "map_fit.h"
#include "no_pause.h"
#include "picture_box.h"
#include "widget_support.h"

namespace {

// Client pixels around the picture's interior: the border on both sides plus the room for the
// controls above and the scale beside it.
constexpr int kAroundRows = kRoomAroundPicture + 2 * kPictureBorder;
constexpr int kAroundColumns = kScaleRoom + 2 * kPictureBorder;

// One notch of the wheel turned towards the user over `widget`, as the window system sends it
// (only such events pass on to the parent).
void WheelDown(QWidget* widget) {
  const QPointF at(20, 20);
  QWheelEvent down(at, widget->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QSpontaneKeyEvent::setSpontaneous(&down);
  QCoreApplication::instance()->notify(widget, &down);  // sendEvent would make it not spontaneous
}

class WindowScroll : public ::testing::Test {
 protected:
  void SetUp() override { Start(form); }

  void Paint(std::int32_t micCount, std::int32_t rowCount, std::int32_t sampleRate = 0) {
    PaintGrid(form, dialogs, micCount, rowCount, sampleRate);
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
  }

  // The client area that the screen's free area leaves inside the window's frame.
  QSize Available() const {
    // The client area the map may take: the screen's, less the frame, menu bar and status bar.
    return form.screen()->availableGeometry().size() - (form.frameGeometry().size() - form.size()) -
           QSize(0, form.ChromeHeight());
  }

  // True when the shown interior holds the grid's greys from cell (firstColumn, firstRow) on.
  bool ShowsCellsFrom(std::int32_t firstColumn, std::int32_t firstRow) {
    const ViewState& state = form.State();
    const QImage shown = ShownInterior(form);
    for (int y = 0; y < shown.height(); ++y) {
      for (int x = 0; x < shown.width(); ++x) {
        const float level = state.LevelGrid.At(firstRow + y, firstColumn + x);
        if (GreyAt(shown, x, y) != GreyOf(level, state.PeakLevel, state.RangeDb)) return false;
      }
    }
    return true;
  }

  // Window rows of the black tick lines beside the picture.
  std::vector<int> TickRows() {
    const QImage window = form.grab().toImage();
    const QRect picture(form.Picture1()->mapTo(&form, QPoint()), form.Picture1()->size());
    std::vector<int> rows;
    for (int y = 0; y < window.height(); ++y) {
      if (qGray(window.pixel(picture.x() + picture.width() + 2, y)) == 0) rows.push_back(y);
    }
    return rows;
  }

  ScriptedDialogs dialogs;
  Form1 form{"", dialogs, kNoPause};
};

}  // namespace

TEST_F(WindowScroll, TallMapGetsACappedWindowThatScrollsWithTheKeys) {
  Paint(64, 32768);
  const QSize available = Available();
  ASSERT_LT(available.height(), 32768 + kAroundRows) << "the screen must not hold the map";
  QScrollBar* bar = form.View()->VerticalScroll();
  EXPECT_EQ(form.height(), available.height() + form.ChromeHeight());
  EXPECT_EQ(form.Picture1()->size(), QSize(68, available.height() - kRoomAroundPicture));
  EXPECT_TRUE(bar->isVisible());
  EXPECT_FALSE(form.View()->HorizontalScroll()->isVisible());
  EXPECT_EQ(bar->maximum(), 32768 - (available.height() - kAroundRows));
  EXPECT_EQ(form.Picture1()->Cells().size(), QSize(64, 32768));  // one pixel per cell
  EXPECT_TRUE(ShowsCellsFrom(1, 1));

  // The picture has the focus; the keys reach the window through it.
  QTest::keyClick(form.Picture1(), Qt::Key_End);
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_TRUE(ShowsCellsFrom(1, bar->maximum() + 1));
  QTest::keyClick(form.Picture1(), Qt::Key_Home);
  EXPECT_EQ(bar->value(), 0);
  QTest::keyClick(form.Picture1(), Qt::Key_PageDown);
  EXPECT_EQ(bar->value(), available.height() - kAroundRows);
  QTest::keyClick(form.Picture1(), Qt::Key_Down);
  QTest::keyClick(form.Picture1(), Qt::Key_Up);
  QTest::keyClick(form.Picture1(), Qt::Key_Up);
  EXPECT_EQ(bar->value(), available.height() - kAroundRows - 20);
  EXPECT_TRUE(ShowsCellsFrom(1, bar->value() + 1));
  // Sideways keys have nothing to move.
  QTest::keyClick(form.Picture1(), Qt::Key_Right);
  EXPECT_EQ(form.Picture1()->Scroll().x(), 0);
}

TEST_F(WindowScroll, WheelOverThePictureScrollsTheRows) {
  Paint(64, 32768);
  WheelDown(form.Picture1());
  const int moved = form.View()->VerticalScroll()->value();
  EXPECT_GT(moved, 0);
  EXPECT_EQ(form.Picture1()->Scroll(), QPoint(0, moved));
  EXPECT_TRUE(ShowsCellsFrom(1, moved + 1));
}

TEST_F(WindowScroll, TheScaleMovesWithTheRowsAndShowsOnlyBesideThePicture) {
  // 5 ms are 6500 rows: the 25 ms tick lies at 32500 rows, near the bottom.
  Paint(64, 32768, 5200000);
  const int top = form.Picture1()->mapTo(&form, QPoint()).y();
  EXPECT_EQ(TickRows(), (std::vector<int>{top}));  // only the 0 ms tick on the first screen
  QTest::keyClick(form.Picture1(), Qt::Key_End);
  const int scrolled = form.View()->VerticalScroll()->value();
  EXPECT_EQ(TickRows(), (std::vector<int>{top + 32500 - scrolled}));
}

TEST_F(WindowScroll, WideMapScrollsSidewaysAndKeepsItsHeight) {
  Paint(4000, 400);
  const QSize available = Available();
  ASSERT_LT(available.width(), 4000 + kAroundColumns) << "the screen must not hold the map";
  QScrollBar* bar = form.View()->HorizontalScroll();
  EXPECT_TRUE(bar->isVisible());
  EXPECT_FALSE(form.View()->VerticalScroll()->isVisible());
  EXPECT_EQ(form.size(), QSize(available.width(), 400 + kAroundRows + form.ChromeHeight()));
  EXPECT_EQ(form.Picture1()->size(), QSize(available.width() - kScaleRoom, 404));
  EXPECT_LE(bar->mapTo(&form, bar->rect().bottomLeft()).y(), form.height() - 1);
  EXPECT_LE(form.Text1()->geometry().right(), form.width() - 1);

  // Home and End go to the ends of the only scrolling direction; so does the upright wheel.
  QTest::keyClick(form.Picture1(), Qt::Key_End);
  EXPECT_EQ(bar->value(), 4000 - (available.width() - kAroundColumns));
  EXPECT_TRUE(ShowsCellsFrom(bar->value() + 1, 1));
  QTest::keyClick(form.Picture1(), Qt::Key_Home);
  QTest::keyClick(form.Picture1(), Qt::Key_Right);
  EXPECT_EQ(bar->value(), 20);
  WheelDown(form.Picture1());
  EXPECT_GT(bar->value(), 20);
  EXPECT_TRUE(ShowsCellsFrom(bar->value() + 1, 1));
}

TEST_F(WindowScroll, AMapThatFitsAgainLosesTheBarsAndTheOffset) {
  const QSize available = Available();
  Paint(available.width() + 20, available.height() + 20);
  EXPECT_TRUE(form.View()->HorizontalScroll()->isVisible());
  EXPECT_TRUE(form.View()->VerticalScroll()->isVisible());
  QTest::keyClick(form.Picture1(), Qt::Key_End);
  QTest::keyClick(form.Picture1(), Qt::Key_Right);
  Paint(100, 50);
  EXPECT_FALSE(form.View()->HorizontalScroll()->isVisible());
  EXPECT_FALSE(form.View()->VerticalScroll()->isVisible());
  EXPECT_EQ(form.Picture1()->Scroll(), QPoint(0, 0));
  EXPECT_EQ(form.size(), QSize(design::kMinClientWidth, 144 + form.ChromeHeight()));
  EXPECT_EQ(form.Picture1()->size(), QSize(104, 54));
  EXPECT_EQ(PaintedColumns(form), 100);
  // Without bars the keys do nothing and pass on.
  QTest::keyClick(form.Picture1(), Qt::Key_End);
  EXPECT_EQ(form.Picture1()->Scroll(), QPoint(0, 0));
}
