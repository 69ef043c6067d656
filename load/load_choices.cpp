#include "load_choices.h"

const char* SofaSelectionKey(SofaSelection selection) {
  switch (selection) {
    case SofaSelection::Horizontal:
      return "horizontal";
    case SofaSelection::Median:
      return "median";
    case SofaSelection::All:
      break;
  }
  return "all";
}

std::optional<SofaSelection> SofaSelectionFromKey(const std::string& key) {
  for (const SofaSelection selection :
       {SofaSelection::All, SofaSelection::Horizontal, SofaSelection::Median}) {
    if (key == SofaSelectionKey(selection)) return selection;
  }
  return std::nullopt;
}
