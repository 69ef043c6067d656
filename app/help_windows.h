#pragma once
// Help › Keys: a window listing every key and mouse action; Help › About: the version and the
// licence.

#include <QList>
#include <QString>
#include <utility>
#include <vector>

class QAction;
class QDialog;
class QWidget;

// The rows of the Keys window: each action's text and keys, then what the mouse and the other
// keys do. Actions without a key are listed with none.
std::vector<std::pair<QString, QString>> KeyRows(const QList<QAction*>& actions);

// A window (not modal) titled "Keys" over parent, listing KeyRows(actions).
QDialog* MakeKeysWindow(QWidget* parent, const QList<QAction*>& actions);

// The About box's text: program, version, what it does, licence.
QString AboutText();
