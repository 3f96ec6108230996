#pragma once
// Recording from the computer's default audio input, in the form the program
// keeps its recordings (11025 Hz, 8 bits, mono), whatever the device offers.

#include "logbook/recordings.h"

#include <memory>

namespace logbook {

std::unique_ptr<AudioRecorder> makeMicrophoneRecorder();

} // namespace logbook
