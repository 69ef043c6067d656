// Text level-map reader: not supported yet.

#include "load_error.h"
#include "readers.h"

ReadOutcome ReadTextMap(const ReaderInput&) {
  throw LoadError("this program cannot read text level-map exports yet");
}
