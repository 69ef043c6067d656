#include "dropped_file.h"

#include <sys/stat.h>

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "file_names.h"

std::optional<std::string> DroppedFile(const QMimeData& data) {
  if (!data.hasUrls()) return std::nullopt;
  const QList<QUrl> urls = data.urls();
  if (urls.size() != 1) return std::nullopt;
  const std::optional<std::string> path = LocalFilePath(urls.front());
  struct stat info {};
  if (!path || ::stat(path->c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return path;
}

FileDrops::FileDrops(QWidget& window, std::function<bool()> busy,
                     std::function<void(const std::string&)> open)
    : QObject(&window), busy_(std::move(busy)), open_(std::move(open)) {
  window.setAcceptDrops(true);
  window.installEventFilter(this);
}

bool FileDrops::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
    return QObject::eventFilter(watched, event);
  }
  auto* drop = static_cast<QDropEvent*>(event);  // enter and move events are drop events
  const std::optional<std::string> file = busy_() ? std::nullopt : DroppedFile(*drop->mimeData());
  if (!file) {
    drop->ignore();
    return true;
  }
  drop->acceptProposedAction();
  if (type == QEvent::Drop) {
    QMetaObject::invokeMethod(
        this, [this, name = *file] { open_(name); }, Qt::QueuedConnection);
  }
  return true;
}
