#pragma once
// Which drops the window takes: exactly one local file, loaded from the event loop.

#include <QObject>
#include <functional>
#include <optional>
#include <string>

class QMimeData;

// The path of the one local file that data carries; nullopt for anything else (several URLs,
// a URL that is not a local file, a folder, a missing file, text).
std::optional<std::string> DroppedFile(const QMimeData& data);

// Takes the drops on the widget it filters: one local file, unless busy() says a load or paint
// runs. open is called from the event loop, so that the drag's source is released first.
class FileDrops : public QObject {
 public:
  FileDrops(QWidget& window, std::function<bool()> busy,
            std::function<void(const std::string&)> open);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<bool()> busy_;
  std::function<void(const std::string&)> open_;
};
