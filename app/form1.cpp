#include "form1.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <new>

#include "empty_map.h"
#include "file_names.h"
#include "load_measurement.h"
#include "picture_box.h"
#include "range_text.h"
#include "scope_exit.h"

namespace {

// Counts a running load or paint for as long as it lives.
auto RunningScope(int& running) {
  ++running;
  return ScopeExit([&running] { --running; });
}

void Place(QWidget* widget, const design::Rect& at) {
  widget->setGeometry(at.left, at.top, at.width, at.height);
}

// "cause" as the end of a sentence.
std::string Sentence(std::string text) {
  if (text.empty() || text.back() != '.') text += '.';
  return text;
}

}  // namespace

Form1::Form1(std::string commandLine, Dialogs& dialogs, DrawOptions drawOptions, QWidget* parent)
    : QWidget(parent),
      commandLine_(std::move(commandLine)),
      dialogs_(dialogs),
      drawOptions_(drawOptions) {
  setObjectName("Form1");
  setWindowTitle("MLS Vexal");

  // Created in tab order: the picture first, so that it takes the focus first. The map view lies
  // under the designed controls and paints only its picture and scale.
  mapView_ = new MapView(state_, this);
  picture1_ = mapView_->Picture();
  command1_ = new QPushButton("Browse", this);
  command1_->setObjectName("Command1");
  text1_ = new QLineEdit(this);
  text1_->setObjectName("Text1");
  text1_->setAcceptDrops(false);  // a file dropped on the name loads, as anywhere on the window
  progressBar1_ = new QProgressBar(this);
  progressBar1_->setObjectName("ProgressBar1");
  progressBar1_->setRange(0, 100);
  progressBar1_->setValue(0);
  progressBar1_->setTextVisible(false);
  command2_ = new QPushButton("Redraw", this);
  command2_->setObjectName("Command2");
  mapView_->setGeometry(0, 0, design::kClientWidth, design::kClientHeight);
  Place(text1_, design::kText1);
  Place(command1_, design::kCommand1);
  Place(command2_, design::kCommand2);
  Place(picture1_, design::kPicture1);
  Place(progressBar1_, design::kProgressBar1);
  text1_->raise();  // the progress bar shows only while a load hides the file name

  setTabOrder(picture1_, command1_);
  setTabOrder(command1_, text1_);
  setTabOrder(text1_, progressBar1_);
  setTabOrder(progressBar1_, command2_);
  picture1_->setFocus();

  setFixedSize(design::kClientWidth, design::kClientHeight);

  connect(command1_, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(command2_, &QPushButton::clicked, this, &Form1::Command2_Click);
  connect(picture1_, &PictureBox::clicked, this, &Form1::Picture1_Click);
  connect(mapView_, &MapView::zoomedMapResized, this, &Form1::FollowZoom);
  connect(mapView_, &MapView::rangeStepped, this, &Form1::StepRange);
  connect(mapView_, &MapView::scaleToMapRequested, this, &Form1::ScaleToMap);
  connect(mapView_, &MapView::saveRequested, this, &Form1::SaveView);
  setAcceptDrops(true);
  AddActions();

  Form_Load();
}

Form1::~Form1() {
  while (cursorSets_ > 0) SetLoading(false);
}

void Form1::Form_Load() {
  ShowFileName(commandLine_);
  try {
    Yield();
  } catch (const WindowClosed&) {
  }
}

void Form1::Form_Activate() {
  activated_ = true;
  const auto running = RunningScope(running_);
  try {
    Yield();  // the window is drawn before any load starts
    state_.RangeDb = kStartRangeDb;
    state_.Decimation = kStartDecimation;
    if (!commandLine_.empty()) LoadAndDraw(FileNameInText1());
  } catch (const WindowClosed&) {
  }
}

void Form1::Command1_Click() {
  if (Running()) return;
  const auto running = RunningScope(running_);
  const std::optional<std::string> chosen = dialogs_.OpenFile(this, BrowseSettings());
  if (!chosen) return;
  OpenChosen(*chosen);
}

void Form1::Form_FileDropped(const std::string& fileName) {
  if (Running()) return;
  const auto running = RunningScope(running_);
  OpenChosen(fileName);
}

void Form1::OpenChosen(const std::string& fileName) {
  ShowFileName(fileName);
  try {
    LoadAndDraw(FileNameInText1());
  } catch (const WindowClosed&) {
  }
}

void Form1::Command2_Click() {
  if (Running()) return;
  const auto running = RunningScope(running_);
  const std::string defaultText =
      FormatRangeText(state_.RangeDb, QLocale().decimalPoint().toStdString());
  const std::optional<std::string> answer =
      dialogs_.InputBox(this, "New White-Black dB range = ", "Redraw", defaultText);
  if (!answer) return;  // Cancel: nothing changes
  const auto range =
      ReadRangeAnswer(*answer, [this](const std::string& text) { return ToNumber(text); });
  if (const auto* refusal = std::get_if<RangeRefusal>(&range)) {
    ShowFault(refusal->message);
    return;
  }
  state_.RangeDb = std::get<float>(range);
  try {
    Draw(drawOptions_);
  } catch (const WindowClosed&) {
  }
}

void Form1::Picture1_Click() {
  state_.StopDrawing = true;
}

void Form1::LoadAndDraw(const std::string& fileName) {
  LoadResult result;
  try {
    result = LoadMeasurement(fileName, state_.PeakLevel, state_.Decimation, *this);
  } catch (const std::exception& e) {  // LoadError, or anything a reader let through
    ShowFault("Cannot load " + FileNameText(fileName).toStdString() + ": " + Sentence(e.what()));
    return;
  }
  if (std::holds_alternative<Cancelled>(result)) return;
  if (auto* measurement = std::get_if<Measurement>(&result)) {
    TakeMeasurement(state_, std::move(*measurement));
    mapView_->SetLevelScale(LevelScaleFor(ReaderFor(FileKindOf(fileName))));
  } else {
    ShowRefusal(std::get<Refusal>(result));
  }
  // A refused file leaves the previous map, which is painted again as after any load.
  Draw(drawOptions_);
  if (std::holds_alternative<Measurement>(result)) SayIfEmpty(fileName);
}

void Form1::ShowFileName(const std::string& fileName) {
  shownFileName_ = fileName;
  text1_->setText(FileNameText(fileName));
  shownFileNameText_ = text1_->text();
}

std::string Form1::FileNameInText1() const {
  // The name as shown keeps its bytes; an edited one is what the user typed.
  return text1_->text() == shownFileNameText_ ? shownFileName_ : FileNamePath(text1_->text());
}

void Form1::SayIfEmpty(const std::string& fileName) {
  if (const auto reason = EmptyMapReason(fileName, state_.LevelGrid)) {
    ShowFault(FileNameText(fileName).toStdString() + *reason);
  }
}

void Form1::ShowRefusal(const Refusal& refusal) {
  if (closed_) return;
  switch (refusal.reason) {
    case RefusalReason::NotMono:
      dialogs_.Warning(this, "Sorry, this is not a Mono .WAV file!", "Warning!");
      break;
    case RefusalReason::NotSixteenBitPcm:
      dialogs_.Warning(this, "Sorry, this is not a 16-bit PCM .WAV file!", "Warning!");
      break;
  }
}

void Form1::Draw(const DrawOptions& options) {
  std::string cause;
  try {
    DrawMap(state_, *this, options);
    return;
  } catch (const std::bad_alloc&) {
    cause = "there is not enough memory for the picture";
  } catch (const std::exception& e) {  // DrawError, RoundingOverflow
    cause = e.what();
  }
  ShowFault("Cannot paint the map: " + Sentence(cause));
}

void Form1::ShowFault(const std::string& text) {
  if (!closed_) dialogs_.Error(this, text);
}

void Form1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (activationQueued_) return;
  activationQueued_ = true;
  // Runs from the event loop once the window is up, not inside show().
  QMetaObject::invokeMethod(this, &Form1::Form_Activate, Qt::QueuedConnection);
}

void Form1::closeEvent(QCloseEvent* event) {
  closed_ = true;  // a running load or paint ends at its next yield
  mapView_->HideReadout();
  event->accept();
}
