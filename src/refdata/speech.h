#pragma once
// Spoken announcements (voice alerts of the cluster, the voice test of the
// settings). The program speaks through a Speech object: the desktop's speech
// engine by default, a recording one in tests.

#include <QString>

namespace refdata {

class Speech {
public:
    virtual ~Speech() = default;
    // rate: 0 normal to 9 fastest (settings field VOICERATE); pitch: -25 low
    // to 25 high, 0 normal (VOICEPITCH). Returns at once; the text is spoken
    // while the program goes on.
    virtual void speak(const QString& text, int rate, int pitch) = 0;
};

// The program's speech: the one installed with setSpeech, else the desktop's
// engine (silent where there is none).
Speech& speech();
void setSpeech(Speech* s);       // null: back to the desktop's engine

// Speaks the text with the station's rate and pitch (settings table cfg).
void PROVASAPI(const QString& text);

} // namespace refdata
