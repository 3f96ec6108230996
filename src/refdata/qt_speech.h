#pragma once
// Speech through Qt TextToSpeech (speech-dispatcher, eSpeak NG ...).

#include "speech.h"

#include <memory>

class QTextToSpeech;

namespace refdata {

class QtSpeech : public Speech {
public:
    QtSpeech();
    ~QtSpeech() override;
    void speak(const QString& text, int rate, int pitch) override;

    // True when an engine is there to speak.
    bool available() const;

private:
    std::unique_ptr<QTextToSpeech> m_tts;
};

} // namespace refdata
