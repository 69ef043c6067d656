#pragma once
// The largest picture the program makes for saving or copying: pictures are checked by their
// bytes before any is allocated, so that a deep zoom of a large map is refused with a message
// instead of exhausting the machine's memory.

#include <cstdint>
#include <optional>
#include <string>

inline constexpr std::int64_t kMaxPictureBytes = std::int64_t{1} << 30;  // 1 GiB of pixels

// nullopt when a width x height picture of bytesPerPixel bytes each fits kMaxPictureBytes; else
// the reason in words: "the picture would be 8192 × 4194304 pixels (96.0 GiB), more than the
// 1 GiB a picture may take".
std::optional<std::string> PictureLimitFault(std::int64_t width, std::int64_t height,
                                             int bytesPerPixel);
