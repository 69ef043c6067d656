#pragma once
// Computes the acoustic figures of the map on screen when the Figures window first asks for them
// (never during a load), and keeps the window's chosen position and the map's pinned column
// together.

#include <QObject>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "file_stamp.h"
#include "load_choices.h"

class Dialogs;
class FiguresWindow;
class LoadHost;
class ProfilesLink;
class QWidget;

// The file of the map on screen and the answers its load was given, to read it again with.
struct MapSource {
  std::string fileName;
  LoadChoices choices;  // the answers its load took (period, part of a SOFA set, channels)
  std::int32_t decimation = 0;
  std::optional<FileStamp> stamp;  // taken before the load
};

class FiguresLink : public QObject {
 public:
  // Runs work unless a load or paint runs (the window's own guard).
  using RunIfIdle = std::function<void(const std::function<void()>&)>;

  FiguresLink(QWidget& owner, Dialogs& dialogs, LoadHost& windowHost, ProfilesLink& profiles,
              RunIfIdle runIfIdle);

  FiguresWindow* Window() const { return window_; }  // null until first shown
  // A new map is on screen: its figures are computed when next asked for (at once when the
  // window is open).
  void MapLoaded(MapSource source);
  // Opens the window (or raises it), computing the figures first when they are not yet known.
  void Show();

 private:
  bool Open() const;
  void Compute();

  QWidget& owner_;
  Dialogs& dialogs_;
  LoadHost& windowHost_;
  ProfilesLink& profiles_;
  RunIfIdle runIfIdle_;
  FiguresWindow* window_ = nullptr;
  std::optional<MapSource> source_;
  bool computed_ = false;
};
