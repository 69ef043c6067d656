#pragma once
// The renderer's --figures: the files it refuses, and the CSV of one file.

#include <cstdint>
#include <optional>
#include <string>

#include "file_stamp.h"
#include "render_options.h"

// Why --figures cannot be written for the files it would cover (the last FILE, or with
// --output-dir every FILE), naming the first such file and its kind; nullopt when it can or when
// no figures are asked for.
std::optional<std::string> FiguresRefusal(const RenderOptions& options);

// The figures' CSV of file, read again with the answers the options give and the slice length
// its map was loaded with. loaded: the file's stamp before its map was loaded. Throws
// std::runtime_error with the message for the user.
std::string FiguresCsvOf(const std::string& file, const RenderOptions& options,
                         std::int32_t decimation, const std::optional<FileStamp>& loaded);
