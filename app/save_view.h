#pragma once
// Saving the view as shown to a picture file.

#include <QImage>
#include <optional>
#include <string>
#include <vector>

// The save dialog's file types.
std::vector<std::string> SaveViewFilters();

// Writes view to path in the format its extension asks for (PNG without one), through a
// temporary beside it that is renamed when complete: a failure leaves no half-written file and an
// old one intact. Returns the fault to show, nullopt when written.
std::optional<std::string> SaveView(const QImage& view, const std::string& path);
