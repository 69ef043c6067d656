#include "form1.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <new>

#include "dropped_file.h"
#include "empty_map.h"
#include "figures_link.h"
#include "file_names.h"
#include "picture_box.h"
#include "profiles_link.h"
#include "range_text.h"
#include "recent_files.h"
#include "scope_exit.h"
#include "start_trace.h"
#include "view_steps.h"
#include "window_load.h"
#include "window_messages.h"

Form1::Form1(std::string commandLine, Dialogs& dialogs, DrawOptions drawOptions, QWidget* parent)
    : QWidget(parent),
      commandLine_(std::move(commandLine)),
      dialogs_(dialogs),
      drawOptions_(drawOptions),
      controls_(CreateDesignedControls(*this, state_)),
      menuBar_(new QMenuBar(this)),
      statusBar_(new QStatusBar(this)),
      statusLine_(new QLabel(statusBar_)),
      host_(*this, dialogs, *controls_.text1, *controls_.progressBar1, closed_),
      surface_(*this, *controls_.mapView, *controls_.text1, *controls_.progressBar1,
               [this] { host_.Yield(); }),
      fileName_(*controls_.text1) {
  setObjectName("Form1");
  setWindowTitle(kProgramName);
  MapView* view = controls_.mapView;
  connect(controls_.command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(controls_.command2, &QPushButton::clicked, this, &Form1::Command2_Click);
  connect(controls_.picture1, &PictureBox::clicked, this, &Form1::Picture1_Click);
  connect(controls_.text1, &QLineEdit::returnPressed, this, &Form1::Text1_Enter);
  connect(view, &MapView::zoomedMapResized, this, [this] {
    try {
      surface_.FollowZoom();
    } catch (const std::exception& e) {  // DrawError: a size the window cannot take
      statusBar_->showMessage(QString("Cannot show the map at this zoom: ") + e.what(), 5000);
    }
    UpdateStatus();
  });
  // What paints or opens a dialog starts from the event loop, never inside the handler of the
  // key or menu entry that asked for it.
  connect(
      view, &MapView::rangeStepped, this,
      [this](int direction) {
        RepaintAfter(
            [this, direction] { state_.RangeDb = SteppedRangeDb(state_.RangeDb, direction); });
      },
      Qt::QueuedConnection);
  connect(
      view, &MapView::scaleToMapRequested, this,
      [this] {
        if (const auto loudest = LoudestLevel(state_.LevelGrid)) {
          RepaintAfter([this, loudest] { state_.PeakLevel = *loudest; });
        }
      },
      Qt::QueuedConnection);
  connect(view, &MapView::saveRequested, this, &Form1::SaveShownView, Qt::QueuedConnection);
  connect(view, &MapView::copyRequested, this, &Form1::CopyShownView, Qt::QueuedConnection);
  profiles_ = new ProfilesLink(*view, dialogs, *this, state_, comparison_);
  figures_ = new FiguresLink(*this, dialogs, host_, *profiles_,
                             [this](const std::function<void()>& work) { RunIfIdle(work); });
  new FileDrops(
      *this, [this] { return Running(); }, [this](const std::string& name) { Open(name); });
  AddActions();
  BuildMenus();
  PlaceChrome();
  UpdateStatus();
  UpdateEnabled();

  Form_Load();
}

void Form1::Form_Load() {
  fileName_.Show(commandLine_);
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
    if (!commandLine_.empty()) LoadAndDraw(fileName_.Path());
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
  if (!Text1()->text().isEmpty()) Open(fileName_.Path());
}

void Form1::Open(std::string fileName) {
  RunIfIdle([this, &fileName] { OpenChosen(fileName); });
}

void Form1::OpenChosen(const std::string& fileName) {
  fileName_.Show(fileName);
  LoadAndDraw(fileName_.Path());
}

void Form1::Command2_Click() {
  RunIfIdle([this] {
    const std::string point = QLocale().decimalPoint().toStdString();
    const std::string defaultText = FormatRangeText(state_.RangeDb, point);
    // The designed prompt, and once a map is shown what its span means.
    std::string prompt = "New White-Black dB range = ";
    if (!mapFileName_.empty()) {
      prompt += "\n" + RangeMeaning(View()->CurrentLevelScale(), state_.RangeDb, point);
    }
    const auto answer = dialogs_.InputBox(this, prompt, "Redraw", defaultText);
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
  const ScopeExit done([this] {
    --running_;
    if (closed_) return;
    UpdateStatus();
    UpdateEnabled();
  });
  try {
    work();
  } catch (const WindowClosed&) {
  }
}

void Form1::Picture1_Click() {
  state_.StopDrawing = true;
  comparison_.StopDrawing();
}

// A load that fails, is refused or cancelled leaves the map on screen, and Text1 names its file
// again. A refused file's previous map is painted again, as after any load.
void Form1::LoadAndDraw(const std::string& fileName) {
  LoadAndDraw(fileName, {}, state_.Decimation);
}

void Form1::LoadAndDraw(const std::string& fileName, const LoadChoices& choices,
                        std::int32_t decimation) {
  const std::optional<FileStamp> stamp = StampOf(fileName);
  const LevelScale scale = LevelScaleFor(ReaderFor(FileKindOf(fileName)));
  WindowLoad load = LoadTelling(fileName, PeakForLoad(state_, scale), decimation, host_, dialogs_,
                                this, closed_, choices);
  if (!load.measurement) {
    fileName_.Show(mapFileName_);
    if (load.refused) Draw(drawOptions_);
    return;
  }
  if (load.measurement->sampleRate) rateSource_ = fileName;
  TakeMeasurement(state_, std::move(*load.measurement), load.scale);
  state_.Decimation = decimation;
  comparison_.SetMainScale(load.scale);
  comparison_.SetMainFile(fileName);
  ShowMapOf(fileName);
  figures_->MapLoaded(MapSource{fileName, state_.Choices, state_.Decimation, stamp});
  Draw(drawOptions_);
  if (const auto reason = EmptyMapReason(fileName, state_.LevelGrid)) {
    ShowFault(FileNameText(fileName).toStdString() + *reason);
  }
}

void Form1::ShowMapOf(const std::string& fileName) {
  mapFileName_ = fileName;
  setWindowTitle(WindowTitleFor(fileName));
  AddRecentFile(fileName);
}

void Form1::Draw(const DrawOptions& options) {
  std::string cause;
  try {
    ViewState& shown = comparison_.PrepareView(*View(), state_);
    // The title names what is painted: the measurement, the reference or their difference.
    if (!mapFileName_.empty()) {
      setWindowTitle(comparison_.ShownText() + QString::fromUtf8(" \u2014 ") + kProgramName);
    }
    ShowBorrowedRate();
    DrawMap(shown, surface_, options);
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
  menuBar_->resize(width(), menuBar_->height());
  statusBar_->setGeometry(0, height() - statusBar_->height(), width(), statusBar_->height());
  surface_.FollowWindowSize();
}
