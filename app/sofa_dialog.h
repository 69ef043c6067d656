#pragma once
// The question a SOFA set asks as it opens: which receiver, emitter and measurements to show.

#include <optional>

#include "load_host.h"

class QWidget;

// A modal dialog showing what the set holds, offering the first receiver and emitter and all
// measurements; nullopt when the user cancels (Escape).
std::optional<SofaChoice> AskSofaChoiceInDialog(QWidget* parent, const SofaFacts& facts);
