#pragma once
// The figures of every column of a measurement, re-read from its file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "file_stamp.h"
#include "load_host.h"
#include "response_source.h"
#include "room_figures.h"

// The figures of every column of source in map order, one response at a time per worker (at
// most two), reporting progress and yielding through host after each column. A column that
// cannot be read or holds a sample that is not finite is a LoadError naming it.
std::vector<RoomFigures> FiguresOfColumns(const ResponseSource& source, LoadHost& host);

// Opens fileName's responses with the choices its map's load took (host answers what they leave
// open) and computes their figures; nullopt when the user cancels. When loaded is given and the
// file's stamp differs from it before or after the reading, the file changed since its map was
// loaded: a LoadError says so instead of mixing two files. Kinds without samples: NoSamplesError.
std::optional<std::vector<RoomFigures>> FiguresOfFile(const std::string& fileName,
                                                      std::int32_t decimation,
                                                      const LoadChoices& choices, LoadHost& host,
                                                      const std::optional<FileStamp>& loaded);
