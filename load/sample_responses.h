#pragma once
// The response sources of the kinds that libsndfile and netCDF-C read.

#include <cstdint>
#include <memory>
#include <string>

#include "load_choices.h"
#include "load_host.h"
#include "response_source.h"

// An audio file's channels (when choices ask for them, or it has several) or the periods of a
// mono one (the period from choices, else asked through host; nullptr when cancelled).
std::unique_ptr<ResponseSource> OpenAudioResponses(const std::string& fileName,
                                                   std::int32_t decimation,
                                                   const LoadChoices& choices, LoadHost& host);

// The chosen measurements of a SOFA set (the choice from choices, else asked through host;
// nullptr when cancelled).
std::unique_ptr<ResponseSource> OpenSofaResponses(const std::string& fileName,
                                                  const LoadChoices& choices, LoadHost& host);
