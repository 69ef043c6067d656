#include "form1.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <new>

#include "dropped_file.h"
#include "empty_map.h"
#include "file_names.h"
#include "load_measurement.h"
#include "picture_box.h"
#include "profiles_link.h"
#include "range_text.h"
#include "recent_files.h"
#include "scope_exit.h"
#include "start_trace.h"
#include "window_messages.h"

Form1::Form1(std::string commandLine, Dialogs& dialogs, DrawOptions drawOptions, QWidget* parent)
    : QWidget(parent),
      commandLine_(std::move(commandLine)),
      dialogs_(dialogs),
      drawOptions_(drawOptions),
      controls_(CreateDesignedControls(*this, state_)),
      host_(*this, dialogs, *controls_.text1, *controls_.progressBar1, closed_),
      surface_(*this, *controls_.mapView, *controls_.text1, *controls_.progressBar1,
               [this] { host_.Yield(); }) {
  setObjectName("Form1");
  setWindowTitle(kProgramName);
  MapView* view = controls_.mapView;
  connect(controls_.command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(controls_.command2, &QPushButton::clicked, this, &Form1::Command2_Click);
  connect(controls_.picture1, &PictureBox::clicked, this, &Form1::Picture1_Click);
  connect(controls_.text1, &QLineEdit::returnPressed, this, &Form1::Text1_Enter);
  connect(view, &MapView::zoomedMapResized, this, [this] { surface_.FollowZoom(); });
  connect(view, &MapView::rangeStepped, this, &Form1::StepRange);
  connect(view, &MapView::scaleToMapRequested, this, &Form1::ScaleToMap);
  connect(view, &MapView::saveRequested, this, &Form1::SaveShownView);
  profiles_ = new ProfilesLink(*view, dialogs, *this, state_, comparison_);
  view->SetWindowMenuItems([this](QMenu& menu) {
    AddRecentFilesMenu(menu, !Running(), [this](const std::string& file) { Open(file); });
  });
  new FileDrops(
      *this, [this] { return Running(); }, [this](const std::string& name) { Open(name); });
  AddActions();

  Form_Load();
}

void Form1::Form_Load() {
  ShowFileName(commandLine_);
  try {
    host_.Yield();
  } catch (const WindowClosed&) {
  }
}

void Form1::Form_Activate() {
  activated_ = true;
  RunIfIdle([this] {
    host_.Yield();  // the window is drawn before any load starts
    state_.RangeDb = kStartRangeDb;
    state_.Decimation = kStartDecimation;
    if (!commandLine_.empty()) LoadAndDraw(FileNameInText1());
    TraceMapOnScreen(*this);
  });
}

void Form1::Command1_Click() {
  RunIfIdle([this] {
    const auto chosen = dialogs_.OpenFile(this, BrowseSettings(LastOpenedFolder()));
    if (chosen) OpenChosen(*chosen);
  });
}

void Form1::Text1_Enter() {
  if (!Text1()->text().isEmpty()) Open(FileNameInText1());
}

void Form1::Open(const std::string& fileName) {
  RunIfIdle([this, &fileName] { OpenChosen(fileName); });
}

void Form1::OpenChosen(const std::string& fileName) {
  ShowFileName(fileName);
  LoadAndDraw(FileNameInText1());
}

void Form1::Command2_Click() {
  RunIfIdle([this] {
    const std::string defaultText =
        FormatRangeText(state_.RangeDb, QLocale().decimalPoint().toStdString());
    const auto answer =
        dialogs_.InputBox(this, "New White-Black dB range = ", "Redraw", defaultText);
    if (!answer) return;  // Cancel: nothing changes
    const auto range =
        ReadRangeAnswer(*answer, [this](const std::string& text) { return host_.ToNumber(text); });
    if (const auto* refusal = std::get_if<RangeRefusal>(&range)) return ShowFault(refusal->message);
    state_.RangeDb = std::get<float>(range);
    Draw(drawOptions_);
  });
}

void Form1::RunIfIdle(const std::function<void()>& work) {
  if (Running()) return;
  ++running_;
  const ScopeExit done([this] { --running_; });
  try {
    work();
  } catch (const WindowClosed&) {
  }
}

void Form1::Picture1_Click() {
  state_.StopDrawing = true;
  comparison_.ShownState(state_).StopDrawing = true;
}

// A load that fails, is refused or cancelled leaves the map on screen, and Text1 names its file
// again. A refused file's previous map is painted again, as after any load.
void Form1::LoadAndDraw(const std::string& fileName) {
  LoadResult result;
  try {
    result = LoadMeasurement(fileName, state_.PeakLevel, state_.Decimation, host_);
  } catch (const std::exception& e) {  // LoadError, or anything a reader let through
    ShowFault(LoadFaultText(fileName, e.what()));
    ShowFileName(mapFileName_);
    return;
  }
  auto* measurement = std::get_if<Measurement>(&result);
  if (measurement != nullptr) {
    TakeMeasurement(state_, std::move(*measurement));
    comparison_.SetMainScale(LevelScaleFor(ReaderFor(FileKindOf(fileName))));
    ShowMapOf(fileName);
  } else if (const auto* refusal = std::get_if<Refusal>(&result); refusal && !closed_) {
    dialogs_.Warning(this, RefusalText(refusal->reason), "Warning!");
  }
  if (measurement == nullptr) ShowFileName(mapFileName_);
  if (std::holds_alternative<Cancelled>(result)) return;
  Draw(drawOptions_);
  if (measurement == nullptr) return;
  if (const auto reason = EmptyMapReason(fileName, state_.LevelGrid)) {
    ShowFault(FileNameText(fileName).toStdString() + *reason);
  }
}

void Form1::ShowMapOf(const std::string& fileName) {
  mapFileName_ = fileName;
  setWindowTitle(WindowTitleFor(fileName));
  AddRecentFile(fileName);
}

void Form1::ShowFileName(const std::string& fileName) {
  shownFileName_ = fileName;
  Text1()->setText(FileNameText(fileName));
  shownFileNameText_ = Text1()->text();
}

std::string Form1::FileNameInText1() const {
  // The name as shown keeps its bytes; an edited one is what the user typed.
  return Text1()->text() == shownFileNameText_ ? shownFileName_ : FileNamePath(Text1()->text());
}

void Form1::Draw(const DrawOptions& options) {
  std::string cause;
  try {
    DrawMap(comparison_.PrepareView(*View(), state_), surface_, options);
    profiles_->Refresh();
    return;
  } catch (const std::bad_alloc&) {
    cause = "there is not enough memory for the picture";
  } catch (const std::exception& e) {  // DrawError, RoundingOverflow
    cause = e.what();
  }
  ShowFault(PaintFaultText(cause));
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
  View()->HideReadout();
  event->accept();
}

void Form1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  surface_.FollowWindowSize();
}
