// Recording readers: not supported yet.

#include "load_error.h"
#include "readers.h"

ReadOutcome ReadWavRecording(const ReaderInput&) {
  throw LoadError("this program cannot read WAV recordings yet");
}

ReadOutcome ReadPcmRecording(const ReaderInput&) {
  throw LoadError("this program cannot read raw float (.pcm) recordings yet");
}
