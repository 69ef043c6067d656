#pragma once
// The largest picture made for saving, copying or rendering, bounded by the bytes of its pixels
// so that a large map at a high zoom is refused before its memory is taken.

#include <QSize>
#include <cstdint>
#include <optional>
#include <string>

#include "palette.h"
#include "view_image.h"
#include "zoom.h"

inline constexpr std::int64_t kMaxPictureBytes = std::int64_t{1} << 30;  // 1 GiB

// Why a picture of width x height pixels of bytesPerPixel bytes may not be made; nullopt when it
// may. The message is the cause in plain words.
std::optional<std::string> PictureSizeFault(std::int64_t width, std::int64_t height,
                                            int bytesPerPixel);

// Throws DrawError when ViewImage(greys, zoom, palette, legend, facts) of greys of greysSize would
// exceed kMaxPictureBytes; call it before making the picture. With legend it needs a
// QGuiApplication for its fonts.
void CheckViewImageSize(QSize greysSize, Zoom zoom, Palette palette, bool legend,
                        const LegendFacts& facts);
