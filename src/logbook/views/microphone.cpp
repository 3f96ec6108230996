#include "microphone.h"

#include "core/messages.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QBuffer>
#include <QMediaDevices>

#include <cmath>
#include <cstring>

namespace logbook {

namespace {

// One sample of the device's format as a value from -1 to 1.
double sampleAt(const char* p, QAudioFormat::SampleFormat f)
{
    switch (f) {
    case QAudioFormat::UInt8: return (quint8(*p) - 128) / 128.0;
    case QAudioFormat::Int16: {
        qint16 v;
        std::memcpy(&v, p, 2);
        return v / 32768.0;
    }
    case QAudioFormat::Int32: {
        qint32 v;
        std::memcpy(&v, p, 4);
        return v / 2147483648.0;
    }
    case QAudioFormat::Float: {
        float v;
        std::memcpy(&v, p, 4);
        return v;
    }
    default: return 0;
    }
}

// The device's frames as 8-bit mono samples at the program's rate: channels
// averaged, the rate changed by taking the nearest frame.
QByteArray toProgramFormat(const QByteArray& data, const QAudioFormat& f)
{
    const int frameBytes = f.bytesPerFrame();
    const int channels = f.channelCount();
    if (frameBytes <= 0 || channels <= 0 || f.sampleRate() <= 0)
        return {};
    const qint64 frames = data.size() / frameBytes;
    const qint64 out = frames * kRecordingRate / f.sampleRate();
    QByteArray samples(out, char(128));
    for (qint64 i = 0; i < out; ++i) {
        const qint64 frame = std::min(frames - 1, i * f.sampleRate() / kRecordingRate);
        const char* p = data.constData() + frame * frameBytes;
        double v = 0;
        for (int c = 0; c < channels; ++c)
            v += sampleAt(p + c * f.bytesPerSample(), f.sampleFormat());
        v = std::clamp(v / channels, -1.0, 1.0);
        samples[i] = char(quint8(std::lround(128 + v * 127)));
    }
    return samples;
}

class Microphone : public AudioRecorder {
public:
    bool available(QString* why) override
    {
        if (QMediaDevices::defaultAudioInput().isNull()) {
            *why = QStringLiteral("Este equipo no tiene ninguna entrada de audio: no se puede grabar");
            return false;
        }
        return true;
    }

    bool start() override
    {
        const QAudioDevice device = QMediaDevices::defaultAudioInput();
        if (device.isNull())
            return false;
        QAudioFormat want;
        want.setSampleRate(kRecordingRate);
        want.setChannelCount(1);
        want.setSampleFormat(QAudioFormat::UInt8);
        m_format = device.isFormatSupported(want) ? want : device.preferredFormat();
        m_buffer = std::make_unique<QBuffer>();
        m_buffer->open(QIODevice::WriteOnly);
        m_source = std::make_unique<QAudioSource>(device, m_format);
        m_source->start(m_buffer.get());
        return m_source->error() == QAudio::NoError;
    }

    QByteArray stop() override
    {
        if (!m_source)
            return {};
        m_source->stop();
        QByteArray samples = toProgramFormat(m_buffer->data(), m_format);
        m_source.reset();
        m_buffer.reset();
        return samples;
    }

private:
    QAudioFormat m_format;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QAudioSource> m_source;
};

} // namespace

std::unique_ptr<AudioRecorder> makeMicrophoneRecorder() { return std::make_unique<Microphone>(); }

bool startRecorder(std::unique_ptr<AudioRecorder>* recorder, const std::function<std::unique_ptr<AudioRecorder>()>& make)
{
    if (!*recorder)
        *recorder = make ? make() : makeMicrophoneRecorder();
    QString why;
    if (!(*recorder)->available(&why)) {
        ui::messages().alert(why);
        return false;
    }
    if (!(*recorder)->start()) {
        ui::messages().alert(QStringLiteral("No se pudo empezar a grabar"));
        return false;
    }
    return true;
}

} // namespace logbook
