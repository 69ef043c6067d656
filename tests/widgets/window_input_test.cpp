// The read-out over painted cells, files dropped on the window, and the keyboard shortcuts.

#include <gtest/gtest.h>

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <memory>

#include "cell_readout.h"
#include "no_pause.h"
#include "picture_box.h"
#include "widget_support.h"

namespace {

class WindowInput : public ::testing::Test {
 protected:
  void SetUp() override {
    Start(form);
    QObject::connect(form.Picture1(), &PictureBox::columnPainted, [this](int x) {
      if (onColumn) onColumn(x);
    });
  }

  // The mouse, no button held, at pixel (x, y) of the picture (border included).
  void MoveTo(int x, int y) {
    const QPointF at(x, y);
    QMouseEvent move(QEvent::MouseMove, at, form.Picture1()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.Picture1(), &move);
  }
  // What the read-out shows; empty while it is hidden.
  std::string Readout() const {
    return form.View()->Readout()->isVisible() ? form.View()->Readout()->text().toStdString() : "";
  }
  std::string Expected(std::int32_t column, std::int32_t row) {
    return CellReadout(form.State(), column, row, form.View()->CurrentLevelScale(), ".");
  }

  // Sends a drag that enters the window and is dropped; true when both were accepted.
  bool SendDrop(const QMimeData& data) {
    const QPoint at = form.Picture1()->geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
    return enter.isAccepted() && drop.isAccepted();
  }
  // The load that an accepted drop starts runs from the event loop: processed until it is over.
  void Settle() {
    QCoreApplication::processEvents();
    while (form.Running()) QCoreApplication::processEvents();
  }
  bool Drop(const QMimeData& data) {
    const bool accepted = SendDrop(data);
    Settle();
    return accepted;
  }

  void Activate() {
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }

  TempFolder folder;
  ScriptedDialogs dialogs;
  Form1 form{"", dialogs, kNoPause};
  std::function<void(int)> onColumn;
};

std::unique_ptr<QMimeData> Urls(const QList<QUrl>& urls) {
  auto data = std::make_unique<QMimeData>();
  data->setUrls(urls);
  return data;
}

}  // namespace

TEST_F(WindowInput, ReadoutNamesThePaintedCellUnderTheMouse) {
  MoveTo(100, 100);  // nothing painted yet
  EXPECT_EQ(Readout(), "");
  // A complex-spectrum file loaded first leaves the rate at 0: no time.
  dialogs.files = {WriteRamp(folder, "ramp.mls", 10, 8)};
  form.Command1_Click();
  MoveTo(2 + 2, 2 + 7);
  EXPECT_EQ(Readout(), Expected(3, 8));
  EXPECT_EQ(Readout().find("Time"), std::string::npos) << Readout();
  MoveTo(2 + 10, 2 + 7);  // the border right of the last column
  EXPECT_EQ(Readout(), "");

  PaintGrid(form, dialogs, 40, 30, 48000);
  MoveTo(2 + 4, 2 + 9);  // interior pixel (4, 9): cell (5, 10)
  EXPECT_EQ(Readout(), Expected(5, 10));
  // Row 10 starts 9 rows of 1/12 ms in.
  EXPECT_NE(Readout().find("Microphone 5\nTime 0.750 ms\n"), std::string::npos) << Readout();
  MoveTo(2 + 39, 2 + 29);  // the last cell
  EXPECT_EQ(Readout(), Expected(40, 30));
  // Off the cells: on the border, out of the picture, a button pressed.
  MoveTo(1, 1);
  EXPECT_EQ(Readout(), "");
  MoveTo(2, 2);
  EXPECT_EQ(Readout(), Expected(1, 1));
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(form.Picture1(), &leave);
  EXPECT_EQ(Readout(), "");
  MoveTo(2, 2);
  QTest::mousePress(form.Picture1(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
  EXPECT_EQ(Readout(), "");
  QTest::mouseRelease(form.Picture1(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
}

TEST_F(WindowInput, ReadoutCountsTheScrolledRows) {
  PaintGrid(form, dialogs, 64, 32768, 60606);
  QTest::keyClick(form.Picture1(), Qt::Key_End);
  const int first = form.View()->VerticalScroll()->value() + 1;
  MoveTo(2 + 3, 2);
  EXPECT_EQ(Readout(), Expected(4, first));
  QTest::keyClick(form.Picture1(), Qt::Key_Up);  // the cell under the mouse changed
  EXPECT_EQ(Readout(), "");
}

TEST_F(WindowInput, ReadoutSaysNothingOfCellsAStoppedPaintLeftBlank) {
  PaintGrid(form, dialogs, 40, 30);
  onColumn = [&](int x) {
    if (x == 2) form.Picture1_Click();
  };
  dialogs.inputs = {"50"};
  form.Command2_Click();
  onColumn = nullptr;
  MoveTo(2 + 2, 2 + 5);  // column 3, painted
  EXPECT_EQ(Readout(), Expected(3, 6));
  MoveTo(2 + 3, 2 + 5);  // column 4, background
  EXPECT_EQ(Readout(), "");
}

TEST_F(WindowInput, OneDroppedFileLoadsAsABrowseChoiceOfIt) {
  const std::string ramp = WriteRamp(folder, "ramp.mls", 40, 30);
  dialogs.inputs = {"50"};
  form.Command2_Click();  // a range that the drop keeps
  ASSERT_TRUE(SendDrop(*Urls({QUrl::fromLocalFile(QString::fromStdString(ramp))})));
  // Runs at the load's first yield: the file is named before it is read.
  std::string nameWhileLoading;
  bool hiddenWhileLoading = false;
  QMetaObject::invokeMethod(
      &form,
      [&] {
        nameWhileLoading = form.Text1()->text().toStdString();
        hiddenWhileLoading = form.Text1()->isHidden();
      },
      Qt::QueuedConnection);
  Settle();
  EXPECT_EQ(nameWhileLoading, ramp);
  EXPECT_TRUE(hiddenWhileLoading);
  EXPECT_EQ(form.Text1()->text().toStdString(), ramp);
  EXPECT_TRUE(dialogs.fileDialogs.empty());
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 40);
  EXPECT_EQ(form.State().RangeDb, 50.0f);
  EXPECT_EQ(PaintedColumns(form), 40);
  EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(WindowInput, OtherDropsAreRefused) {
  const QUrl one = QUrl::fromLocalFile(QString::fromStdString(WriteRamp(folder, "a.mls", 4, 4)));
  const QUrl two = QUrl::fromLocalFile(QString::fromStdString(WriteRamp(folder, "b.mls", 4, 4)));
  EXPECT_FALSE(Drop(*Urls({one, two})));
  EXPECT_FALSE(Drop(*Urls({QUrl("https://example.org/a.mls")})));
  EXPECT_FALSE(Drop(*Urls({QUrl::fromLocalFile(QString::fromStdString(folder.Path().string()))})));
  EXPECT_FALSE(Drop(
      *Urls({QUrl::fromLocalFile(QString::fromStdString((folder.Path() / "none.mls").string()))})));
  QMimeData text;
  text.setText(one.toLocalFile());
  EXPECT_FALSE(Drop(text));
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 0);
  EXPECT_EQ(form.Text1()->text(), "");
  EXPECT_TRUE(dialogs.errors.empty());

  // Nor is a file taken while a paint runs.
  PaintGrid(form, dialogs, 40, 30);
  bool tried = false;
  onColumn = [&](int x) {
    if (x == 5 && !tried) {
      tried = true;
      const QPoint at = form.Picture1()->geometry().center();
      const auto data = Urls({one});
      QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(&form, &enter);
      EXPECT_FALSE(enter.isAccepted());
    }
  };
  dialogs.inputs = {"100"};
  form.Command2_Click();
  EXPECT_TRUE(tried);
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 40);
}

TEST_F(WindowInput, ShortcutsStandForTheButtonsAndTheClick) {
  Activate();
  const std::string ramp = WriteRamp(folder, "ramp.mls", 40, 30);
  dialogs.files = {ramp};
  QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
  QTest::qWait(0);  // the action starts from the event loop
  ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
  EXPECT_EQ(dialogs.fileDialogs[0].title, "Load a MLS Vexal File");
  EXPECT_EQ(form.Text1()->text().toStdString(), ramp);
  EXPECT_EQ(PaintedColumns(form), 40);

  dialogs.inputs = {"20"};
  QTest::keyClick(&form, Qt::Key_R, Qt::ControlModifier);
  QTest::qWait(0);
  ASSERT_EQ(dialogs.inputBoxes.size(), 1u);
  EXPECT_EQ(dialogs.inputBoxes[0].title, "Redraw");
  EXPECT_EQ(form.State().RangeDb, 20.0f);

  // Escape during a paint stops it after the current column, as a click does.
  onColumn = [&](int x) {
    if (x == 2) QTest::keyClick(&form, Qt::Key_Escape);
  };
  dialogs.inputs = {"30"};
  QTest::keyClick(&form, Qt::Key_R, Qt::ControlModifier);
  QTest::qWait(0);
  EXPECT_TRUE(form.State().StopDrawing);
  EXPECT_EQ(PaintedColumns(form), 3);
  EXPECT_EQ(form.Command1()->text(), "Browse");
  EXPECT_EQ(form.Command2()->text(), "Redraw");
}
