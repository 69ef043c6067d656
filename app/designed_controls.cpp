#include "designed_controls.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "map_view.h"
#include "picture_box.h"
#include "window_layout.h"

namespace {

void Place(QWidget* widget, const design::Rect& at) {
  widget->setGeometry(at.left, at.top, at.width, at.height);
}

}  // namespace

DesignedControls CreateDesignedControls(QWidget& form, const ViewState& state) {
  DesignedControls c{};
  // Created in tab order: the picture first, so that it takes the focus first.
  c.mapView = new MapView(state, &form);
  c.picture1 = c.mapView->Picture();
  c.command1 = new QPushButton("Browse", &form);
  c.command1->setObjectName("Command1");
  c.text1 = new QLineEdit(&form);
  c.text1->setObjectName("Text1");
  c.text1->setAcceptDrops(false);  // a file dropped on the name loads, as anywhere on the window
  c.progressBar1 = new QProgressBar(&form);
  c.progressBar1->setObjectName("ProgressBar1");
  c.progressBar1->setRange(0, 100);
  c.progressBar1->setValue(0);
  c.progressBar1->setTextVisible(false);
  c.command2 = new QPushButton("Redraw", &form);
  c.command2->setObjectName("Command2");

  c.mapView->setGeometry(0, 0, design::kClientWidth, design::kClientHeight);
  Place(c.text1, design::kText1);
  Place(c.command1, design::kCommand1);
  Place(c.command2, design::kCommand2);
  Place(c.picture1, design::kPicture1);
  Place(c.progressBar1, design::kProgressBar1);
  c.text1->raise();  // the progress bar shows only while a load hides the file name

  QWidget::setTabOrder(c.picture1, c.command1);
  QWidget::setTabOrder(c.command1, c.text1);
  QWidget::setTabOrder(c.text1, c.progressBar1);
  QWidget::setTabOrder(c.progressBar1, c.command2);
  c.picture1->setFocus();
  form.setFixedSize(design::kClientWidth, design::kClientHeight);
  return c;
}
