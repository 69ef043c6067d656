#include "qt_dialogs.h"

#include "file_names.h"
#include "sofa_dialog.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>

std::optional<std::string> QtDialogs::OpenFile(QWidget* parent, const OpenFileSettings& settings) {
  QFileDialog dialog(parent, QString::fromStdString(settings.title));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(settings.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  // Each type's description already names its pattern, which is what Qt filters by.
  QStringList filters;
  for (const auto& type : settings.types) filters << QString::fromStdString(type.first);
  dialog.setNameFilters(filters);
  if (settings.selectedType >= 1 && settings.selectedType <= filters.size()) {
    dialog.selectNameFilter(filters[settings.selectedType - 1]);
  }
  if (!settings.initialFolder.empty()) dialog.setDirectory(FileNameText(settings.initialFolder));
  dialog.selectFile(QString::fromStdString(settings.initialName));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return FileNamePath(chosen.front());
}

std::optional<std::string> QtDialogs::SaveFile(QWidget* parent, const std::string& title,
                                               const std::vector<std::string>& filters) {
  QFileDialog dialog(parent, QString::fromStdString(title));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  QStringList names;
  for (const std::string& filter : filters) names << QString::fromStdString(filter);
  dialog.setNameFilters(names);
  // A name without an extension gets the first type's (PNG for pictures).
  const QString first = names.isEmpty() ? QString() : names.front();
  const qsizetype star = first.indexOf(QLatin1String("*."));
  if (star >= 0) {
    dialog.setDefaultSuffix(first.mid(star + 2).section(QRegularExpression("[ )]"), 0, 0));
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return FileNamePath(chosen.front());
}

std::optional<std::string> QtDialogs::InputBox(QWidget* parent, const std::string& prompt,
                                               const std::string& title,
                                               const std::string& defaultText) {
  QInputDialog dialog(parent);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(QString::fromStdString(title));
  dialog.setLabelText(QString::fromStdString(prompt));
  dialog.setTextValue(QString::fromStdString(defaultText));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

void QtDialogs::Warning(QWidget* parent, const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::Critical, QString::fromStdString(title),
                  QString::fromStdString(text), QMessageBox::Ok, parent);
  box.exec();
}

void QtDialogs::Information(QWidget* parent, const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::Information, QString::fromStdString(title),
                  QString::fromStdString(text), QMessageBox::Ok, parent);
  box.exec();
}

void QtDialogs::Error(QWidget* parent, const std::string& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("MLS Vexal"), QString::fromStdString(text),
                  QMessageBox::Ok, parent);
  box.exec();
}

std::optional<SofaChoice> QtDialogs::AskSofaChoice(QWidget* parent, const SofaFacts& facts) {
  return AskSofaChoiceInDialog(parent, facts);
}
