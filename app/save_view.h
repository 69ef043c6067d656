#pragma once
// Saving the view as shown to a picture file.

#include <QImage>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// The save dialog's file types.
std::vector<std::string> SaveViewFilters();

// Writes view to path in the format its extension asks for (PNG without one) through SaveOutput.
// Returns the fault to show, nullopt when written.
std::optional<std::string> SaveView(const QImage& view, const std::string& path);

// Writes path through write (given the descriptor and a stream on it) as the renderer writes its
// outputs: a file through a temporary beside it that is renamed when complete, so that a failure
// (a full disk among them) leaves no half-written file and an old one intact; a device or FIFO in
// place; a link's target replaced with the link kept. Returns "Cannot save NAME: CAUSE." to show,
// nullopt when written.
std::optional<std::string> SaveOutput(const std::string& path,
                                      const std::function<void(int fd, std::ostream&)>& write);
