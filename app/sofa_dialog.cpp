#include "sofa_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "window_messages.h"

std::optional<SofaChoice> AskSofaChoiceInDialog(QWidget* parent, const SofaFacts& facts) {
  QDialog dialog(parent);
  dialog.setObjectName("SofaChoice");
  dialog.setWindowTitle("Open SOFA set");
  auto* layout = new QVBoxLayout(&dialog);
  auto* holds = new QLabel(QString::fromStdString(SofaFactsText(facts)), &dialog);
  holds->setObjectName("SofaFacts");
  holds->setWordWrap(true);
  layout->addWidget(holds);

  auto* form = new QFormLayout;
  const auto spin = [&dialog](const char* name, int count) {
    auto* box = new QSpinBox(&dialog);
    box->setObjectName(name);
    box->setRange(1, std::max(count, 1));
    box->setEnabled(count > 1);
    return box;
  };
  QSpinBox* receiver = spin("Receiver", facts.receivers);
  QSpinBox* emitter = spin("Emitter", facts.emitters);
  auto* columns = new QComboBox(&dialog);
  columns->setObjectName("Columns");
  columns->addItem("All measurements, in file order", static_cast<int>(SofaSelection::All));
  columns->addItem(QString::fromUtf8("Horizontal plane (elevation within 2\u00b0), by azimuth"),
                   static_cast<int>(SofaSelection::Horizontal));
  columns->addItem(
      QString::fromUtf8("Median plane (azimuth within 2\u00b0 of 0\u00b0 or 180\u00b0), by polar "
                        "angle"),
      static_cast<int>(SofaSelection::Median));
  if (!facts.hasDirections) columns->setEnabled(false);  // no source positions to select by
  form->addRow("Receiver", receiver);
  form->addRow("Emitter", emitter);
  form->addRow("Columns", columns);
  layout->addLayout(form);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);

  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return SofaChoice{receiver->value(), emitter->value(),
                    static_cast<SofaSelection>(columns->currentData().toInt())};
}
