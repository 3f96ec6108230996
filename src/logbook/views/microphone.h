#pragma once
// Recording from the computer's default audio input, in the form the program
// keeps its recordings (11025 Hz, 8 bits, mono), whatever the device offers.

#include "logbook/recordings.h"

#include <functional>
#include <memory>

namespace logbook {

std::unique_ptr<AudioRecorder> makeMicrophoneRecorder();

// Starts *recorder, made first with `make` (the microphone when not given);
// false, with the reason told to the user, when it cannot record.
bool startRecorder(std::unique_ptr<AudioRecorder>* recorder, const std::function<std::unique_ptr<AudioRecorder>()>& make);

} // namespace logbook
