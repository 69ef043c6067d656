#pragma once
// File names cross between the file system (bytes) and the toolkit's text (Unicode). A name that
// is not valid in the file system's encoding cannot survive a round trip through text, so the
// window keeps the bytes wherever a name did not come from the user's typing.

#include <QString>
#include <optional>
#include <string>

class QUrl;

// The name as text to show (invalid bytes become replacement characters).
QString FileNameText(const std::string& path);
// The bytes of a name the user typed or a dialog returned.
std::string FileNamePath(const QString& text);
// The bytes of a local file URL's path, taken from its percent-encoding so that every byte
// survives; nullopt for a URL that is not a local file.
std::optional<std::string> LocalFilePath(const QUrl& url);

class QLineEdit;

// A line edit that shows a file name and gives back its bytes while the user has not edited it
// (what the user typed otherwise).
class FileNameField {
 public:
  explicit FileNameField(QLineEdit& edit) : edit_(edit) {}
  void Show(const std::string& path);
  std::string Path() const;

 private:
  QLineEdit& edit_;
  std::string shownPath_;  // the bytes of the name the field was given
  QString shownText_;      // and the text it shows for them
};
