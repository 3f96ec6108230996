#pragma once
// The attachments of a QSO (table "Attach" + book, session alias Attach):
// images ("G"), always kept as JPEG, and sounds ("S"), WAV files, each a
// record with the QSO's key, a description and the whole file in the memo
// FILE, so that a book travels complete in its own tables.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace store {
class WorkArea;
}

namespace logbook {

inline const QString kImageAttachment = QStringLiteral("G");
inline const QString kSoundAttachment = QStringLiteral("S");
constexpr int kAttachmentDescriptionWidth = 30;

// NATTACH: how many attachments of the type the current QSO of the session's
// Log has. Clears the limits of Attach (the pages limit it again when shown).
int NATTACH(const QString& type);
// The same for a QSO key.
int countAttachments(const QString& key, const QString& type);

// Limits Attach to the attachments of that type of the QSO of key, in the
// "Key" order, and goes to the first of them (eof when there is none).
void limitAttachments(store::WorkArea& attach, const QString& key, const QString& type);

// Appends an attachment to the session's Attach; the description is cut to
// its 30 characters. False with a Spanish reason when it could not be written.
bool addAttachment(const QString& key, const QString& type, const QString& description, const QByteArray& data,
                   QString* why = nullptr);
// An image attachment: the picture stored as JPEG.
bool addImageAttachment(const QString& key, const QString& description, const QImage& image, QString* why = nullptr);
// A sound attachment from a WAV file's bytes; anything but a WAV file is refused.
bool addSoundAttachment(const QString& key, const QString& description, const QByteArray& wav, QString* why = nullptr);

// The file kept in the current record of attach (empty when none).
QByteArray attachmentData(store::WorkArea& attach);
// Replaces the picture of the current image attachment (its lock waited for).
bool replaceAttachmentImage(store::WorkArea& attach, const QImage& image, QString* why = nullptr);
// Writes the description under the record's lock, taken once: "No pudo
// bloquearse" when another user holds it. Cut to 30 characters.
bool setAttachmentDescription(store::WorkArea& attach, const QString& description);
// Deletes the current attachment under its lock; a refused lock leaves it as it is.
bool deleteAttachment(store::WorkArea& attach);

// The picture as JPEG bytes (empty for a null picture).
QByteArray jpegData(const QImage& image);
// Reads a picture file of any of the offered kinds (JPG, BMP, GIF, ICO, PCX,
// PNG). A null image and a Spanish reason when the file is none of them or is damaged.
QImage readImageFile(const QString& path, QString* why = nullptr);
// A ZSoft PCX picture (1, 4 or 8 bits with palette, 24 bits in three planes),
// which Qt does not read; null when damaged.
QImage readPcx(const QByteArray& data);
// Whether the bytes are a RIFF WAVE file with a format and a data chunk.
bool isWavFile(const QByteArray& data);

} // namespace logbook
