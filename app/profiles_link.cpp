#include "profiles_link.h"

#include "comparison.h"
#include "map_view.h"
#include "picture_box.h"
#include "profiles_window.h"

bool ProfilesLink::Open() const {
  return window_ != nullptr && window_->isVisible();
}

ProfilesLink::ProfilesLink(MapView& view, Dialogs& dialogs, QWidget& owner, const ViewState& main,
                           const Comparison& comparison)
    : QObject(&owner),
      view_(view),
      main_(main),
      comparison_(comparison),
      dialogs_(dialogs),
      owner_(owner) {
  connect(&view, &MapView::cellHovered, this, &ProfilesLink::Follow);
  connect(view.Picture(), &PictureBox::cellClicked, this, &ProfilesLink::ClickedCell);
}

// The window (and its charts) is made when first asked for, not at start-up.
void ProfilesLink::Show() {
  if (window_ == nullptr) window_ = new ProfilesWindow(dialogs_, &owner_);
  ShowCell(pinned_.value_or(cell_));
  window_->show();
  window_->raise();
}

void ProfilesLink::Unpin() {
  const bool wasPinned = pinned_.has_value();
  pinned_.reset();
  view_.Picture()->SetMarker(std::nullopt);
  if (Open()) ShowCell(cell_);  // the window says at once that the profiles follow the cursor
  if (wasPinned && pinListener_) pinListener_(std::nullopt);
}

void ProfilesLink::PinColumn(std::int32_t column) {
  const LevelGrid& grid = main_.LevelGrid;
  if (column < 1 || column > grid.MicCount()) return;
  const int row = std::clamp(pinned_.value_or(cell_).y(), 0, std::max(grid.RowCount() - 1, 0));
  pinned_ = QPoint(column - 1, row);
  cell_ = *pinned_;
  view_.Picture()->SetMarker(pinned_);
  if (Open()) ShowCell(*pinned_);
}

void ProfilesLink::Refresh() {
  const LevelGrid& grid = main_.LevelGrid;
  if (pinned_ && (pinned_->x() >= grid.MicCount() || pinned_->y() >= grid.RowCount())) Unpin();
  if (Open()) ShowCell(pinned_.value_or(cell_));
}

void ProfilesLink::Follow(std::int32_t column, std::int32_t row) {
  cell_ = QPoint(column - 1, row - 1);
  if (!pinned_ && Open()) ShowCell(cell_);
}

// A click pins the profiles to its cell; a click while they are pinned frees them. Only while the
// window (or the window that follows the pin) is open: otherwise a click only stops a paint, as
// ever.
void ProfilesLink::ClickedCell(QPoint cell) {
  if (!Open() && !(listenerOpen_ && listenerOpen_())) return;
  if (pinned_) {
    Unpin();
    return;
  }
  pinned_ = cell;
  cell_ = cell;
  view_.Picture()->SetMarker(cell);
  if (Open()) ShowCell(cell);
  if (pinListener_) pinListener_(pinned_);
}

void ProfilesLink::ShowCell(QPoint cell) {
  const LevelGrid& grid = main_.LevelGrid;
  const std::int32_t column = std::clamp(cell.x() + 1, 1, std::max(grid.MicCount(), 1));
  const std::int32_t row = std::clamp(cell.y() + 1, 1, std::max(grid.RowCount(), 1));
  window_->ShowCell(main_, comparison_.MainScale(), column, row, comparison_.ReferenceGrid(),
                    pinned_.has_value());
}
