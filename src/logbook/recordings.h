#pragma once
// Sound recorded while a QSO is entered or edited: 11025 Hz, 8 bits, mono WAV,
// kept as attachments of type "S" of the QSO. A new QSO has no key in the
// book yet, so its recordings wait in the program folder as "TmpSnd<n>.wav"
// and are attached once it is saved.

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace logbook {

// Where the sound comes from. The program records from the computer's audio
// input; tests give their own bytes.
class AudioRecorder {
public:
    virtual ~AudioRecorder() = default;
    // Whether recording can start; otherwise why not (Spanish, for the user).
    virtual bool available(QString* why) = 0;
    virtual bool start() = 0;
    // The samples recorded since start: 8-bit unsigned, mono, 11025 per second.
    virtual QByteArray stop() = 0;
};

constexpr int kRecordingRate = 11025;

// A complete WAV file of 8-bit mono samples.
QByteArray wavFile(const QByteArray& samples, int rate = kRecordingRate);

// The pending recordings of the new QSO in the program folder.
int pendingRecordings(const QString& programDir);
// Saves one more ("TmpSnd<n>.wav", n one more than those there); its path.
QString savePendingRecording(const QString& programDir, const QByteArray& wav);
// Attaches every pending recording to the QSO of key (description: the file's
// date and time) and erases the files; how many were attached.
int attachPendingRecordings(const QString& programDir, const QString& key);
// Erases every pending recording (a new QSO is being prepared).
void erasePendingRecordings(const QString& programDir);
// Attaches a recording to an existing QSO at once (description: now).
bool attachRecording(const QString& key, const QByteArray& wav, const QDateTime& now = QDateTime::currentDateTime());

} // namespace logbook
