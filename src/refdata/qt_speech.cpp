#include "qt_speech.h"

#include <QCoreApplication>
#include <QTextToSpeech>

#include <algorithm>

namespace refdata {

QtSpeech::QtSpeech()
{
    // The engine needs the application object and its event loop.
    if (QCoreApplication::instance())
        m_tts = std::make_unique<QTextToSpeech>();
}

QtSpeech::~QtSpeech() = default;

bool QtSpeech::available() const { return m_tts && m_tts->state() != QTextToSpeech::Error; }

void QtSpeech::speak(const QString& text, int rate, int pitch)
{
    if (!available() || text.trimmed().isEmpty())
        return;
    // Qt takes both from -1 to 1, 0 being the voice's own.
    m_tts->setRate(std::clamp(rate / 10.0, -1.0, 1.0));
    m_tts->setPitch(std::clamp(pitch / 25.0, -1.0, 1.0));
    m_tts->say(text);
}

} // namespace refdata
