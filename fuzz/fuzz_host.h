#pragma once
// Shared by the fuzz targets: hands the input to the loader as a file in a folder without "." in
// its path and checks what a successful load leaves behind.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "measurement.h"

// Writes data to a per-process scratch file whose name ends in extension; returns its path.
std::string WriteScratchFile(const std::uint8_t* data, std::size_t size,
                             const std::string& extension);

// Writes data to a per-process scratch file whose name ends in extension (for example ".mls"),
// loads it with Decimation 4, answering a prompt with answer. A LoadError is a fine outcome; a
// loaded grid that has more than maxRowCount rows or that holds a level that is not finite traps.
void FuzzLoad(const std::uint8_t* data, std::size_t size, const std::string& extension,
              const std::optional<std::string>& answer = std::nullopt,
              std::int32_t maxRowCount = INT32_MAX, const LoadChoices& choices = {});

// The same load, starting from peakLevel, handing back what it loaded: nullopt after a LoadError,
// a refusal or a cancellation.
std::optional<Measurement> FuzzLoadMeasurement(const std::uint8_t* data, std::size_t size,
                                               const std::string& extension,
                                               const std::optional<std::string>& answer,
                                               std::int32_t maxRowCount, float peakLevel,
                                               const LoadChoices& choices = {});

// Loads the file at path with the same checks.
std::optional<Measurement> FuzzLoadFile(const std::string& path,
                                        const std::optional<std::string>& answer,
                                        std::int32_t maxRowCount, const LoadChoices& choices = {},
                                        float peakLevel = 0.0f);

// An answer for the period prompt picked by the input's last byte.
std::string PickPeriodAnswer(const std::uint8_t* data, std::size_t size);
