#include "recordings.h"
#include "attachments.h"

#include "store/access.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>

namespace logbook {

namespace {

QStringList pendingFiles(const QString& programDir)
{
    QStringList out;
    const QDir dir(programDir);
    for (const QFileInfo& f : dir.entryInfoList({QStringLiteral("TmpSnd*.wav")}, QDir::Files, QDir::Name))
        if (f.fileName().compare(QLatin1String("TmpSnd.wav"), Qt::CaseInsensitive) != 0)
            out << f.absoluteFilePath();
    return out;
}

QString descriptionAt(const QDateTime& t)
{
    return t.toString(QStringLiteral("dd-MM-yyyy")) + QLatin1Char(' ') + t.toString(QStringLiteral("HH:mm:ss"));
}

bool appendAttachment(const QString& key, const QString& description, const QByteArray& wav)
{
    return addAttachment(key, kSoundAttachment, description, wav);
}

} // namespace

QByteArray wavFile(const QByteArray& samples, int rate)
{
    QByteArray out(44, '\0');
    char* h = out.data();
    auto put32 = [](char* at, quint32 v) { qToLittleEndian(v, at); };
    auto put16 = [](char* at, quint16 v) { qToLittleEndian(v, at); };
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, quint32(36 + samples.size()));
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);                 // format chunk size
    put16(h + 20, 1);                  // PCM
    put16(h + 22, 1);                  // mono
    put32(h + 24, quint32(rate));
    put32(h + 28, quint32(rate));      // bytes per second: one byte a sample
    put16(h + 32, 1);                  // block align
    put16(h + 34, 8);                  // bits per sample
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, quint32(samples.size()));
    return out + samples;
}

int pendingRecordings(const QString& programDir) { return int(pendingFiles(programDir).size()); }

QString savePendingRecording(const QString& programDir, const QByteArray& wav)
{
    int n = 1;
    while (QFileInfo::exists(QDir(programDir).filePath(QStringLiteral("TmpSnd%1.wav").arg(n))))
        ++n;
    const QString path = QDir(programDir).filePath(QStringLiteral("TmpSnd%1.wav").arg(n));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(wav) != wav.size())
        return {};
    return path;
}

int attachPendingRecordings(const QString& programDir, const QString& key)
{
    int done = 0;
    for (const QString& path : pendingFiles(programDir)) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray wav = f.readAll();
        f.close();
        // a file that could not be attached stays, so nothing recorded is lost
        if (appendAttachment(key, descriptionAt(QFileInfo(path).lastModified()), wav)) {
            QFile::remove(path);
            ++done;
        }
    }
    return done;
}

void erasePendingRecordings(const QString& programDir)
{
    for (const QString& path : pendingFiles(programDir))
        QFile::remove(path);
}

bool attachRecording(const QString& key, const QByteArray& wav, const QDateTime& now)
{
    return appendAttachment(key, descriptionAt(now), wav);
}

} // namespace logbook
