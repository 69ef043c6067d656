#pragma once
// The window's controls as designed: their object names, captions, places and tab order.

class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;
class MapView;
class PictureBox;
struct ViewState;

struct DesignedControls {
  MapView* mapView;  // under the other controls; holds Picture1 and its scale
  PictureBox* picture1;
  QPushButton* command1;
  QLineEdit* text1;
  QProgressBar* progressBar1;
  QPushButton* command2;
};

// Creates the controls on form at their designed places; Picture1 takes the focus first.
DesignedControls CreateDesignedControls(QWidget& form, const ViewState& state);
