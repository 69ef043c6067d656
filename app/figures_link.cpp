#include "figures_link.h"

#include <QPoint>
#include <QStatusBar>
#include <QTimer>

#include "figures_run.h"
#include "figures_window.h"
#include "file_names.h"
#include "load_error.h"
#include "load_host.h"
#include "profiles_link.h"
#include "response_source.h"
#include "scope_exit.h"

namespace {

// The window's host for reading the map's file again: its progress bar and yields. The load's
// choices answer every question; one they leave open is not asked again but left unanswered.
class ReplayHost : public LoadHost {
 public:
  explicit ReplayHost(LoadHost& window) : window_(window) {}
  void SetLoading(bool loading) override { window_.SetLoading(loading); }
  void SetProgress(float percent) override { window_.SetProgress(percent); }
  void Yield() override { window_.Yield(); }
  std::optional<std::string> AskPeriod(const std::string&, const RecordingFacts&) override {
    return std::nullopt;
  }
  std::optional<SofaChoice> AskSofaChoice(const SofaFacts&) override { return std::nullopt; }
  std::optional<double> ToNumber(const std::string& text) override {
    return window_.ToNumber(text);
  }

 private:
  LoadHost& window_;
};

}  // namespace

FiguresLink::FiguresLink(QWidget& owner, Dialogs& dialogs, LoadHost& windowHost,
                         ProfilesLink& profiles, RunIfIdle runIfIdle)
    : QObject(&owner),
      owner_(owner),
      dialogs_(dialogs),
      windowHost_(windowHost),
      profiles_(profiles),
      runIfIdle_(std::move(runIfIdle)) {
  profiles_.SetPinListener(
      [this](std::optional<QPoint> cell) {
        if (window_ == nullptr) return;
        window_->SelectColumn(cell ? std::optional<std::int32_t>(cell->x() + 1) : std::nullopt);
      },
      [this] { return Open(); });
}

bool FiguresLink::Open() const {
  return window_ != nullptr && window_->isVisible();
}

void FiguresLink::MapLoaded(MapSource source) {
  source_ = std::move(source);
  computed_ = false;
  // After the load and its paint have finished, not inside them.
  if (Open()) QTimer::singleShot(0, this, [this] { Compute(); });
}

void FiguresLink::Show() {
  if (window_ == nullptr) {
    window_ = new FiguresWindow(dialogs_, &owner_);
    connect(window_, &FiguresWindow::columnChosen, this,
            [this](std::int32_t column) { profiles_.PinColumn(column); });
  }
  window_->show();
  window_->raise();
  if (!computed_) Compute();
}

void FiguresLink::Compute() {
  if (computed_ || window_ == nullptr) return;
  if (!source_) {
    window_->ShowMessage("No map is loaded: open a recording to see its figures.");
    return;
  }
  bool ran = false;
  runIfIdle_([this, &ran] {
    ran = true;
    const MapSource source = *source_;  // a load started from a yield cannot change it under us
    if (const auto reason = NoSamplesReason(source.fileName)) {
      window_->ShowMessage("No figures: " + *reason + ".");
      // The window's status bar says it too, where the user looks after pressing G.
      if (auto* bar = owner_.findChild<QStatusBar*>()) {
        bar->showMessage(QString::fromStdString("No acoustic figures: " + *reason), 5000);
      }
      computed_ = true;
      return;
    }
    ReplayHost host(windowHost_);
    const QString name = FileNameText(source.fileName);
    try {
      host.SetLoading(true);
      std::optional<std::vector<RoomFigures>> figures;
      {
        const ScopeExit loaded([&host] { host.SetLoading(false); });
        figures =
            FiguresOfFile(source.fileName, source.decimation, source.choices, host, source.stamp);
      }
      if (!figures) {
        window_->ShowMessage("No figures: the answers of the map's load are not known.");
      } else {
        window_->ShowFigures(source.fileName, std::move(*figures));
        const auto pinned = profiles_.Pinned();
        window_->SelectColumn(pinned ? std::optional<std::int32_t>(pinned->x() + 1) : std::nullopt);
      }
    } catch (const LoadError& e) {
      window_->ShowMessage("Cannot compute the figures of " + name.toStdString() + ": " + e.what());
    }
    computed_ = true;
  });
  // A load or paint is running (this was called from one of its yields): once it is done.
  if (!ran && Open()) QTimer::singleShot(0, this, [this] { Compute(); });
}
