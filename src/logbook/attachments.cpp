#include "attachments.h"

#include "core/messages.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "store/workspace.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace logbook {

namespace {

store::Workspace& ws() { return store::Workspace::instance(); }

const QString kKey = QStringLiteral("KEY");
const QString kType = QStringLiteral("TYPE");
const QString kDesc = QStringLiteral("DESC");
const QString kFile = QStringLiteral("FILE");

void setWhy(QString* why, const QString& text)
{
    if (why)
        *why = text;
}

// The key as the field holds it: seven characters. The "Key" tag is the key
// alone in a new book and key + type once reorganised; a key of seven
// characters finds the QSO's attachments in both.
store::Value keyValue(const QString& key)
{
    return store::Value::text(key.leftJustified(7, QLatin1Char(' '), true));
}

} // namespace

int countAttachments(const QString& key, const QString& type)
{
    store::WorkArea* attach = ws().area(store::alias::kAttach);
    if (!attach || key.trimmed().isEmpty())
        return 0;
    attach->clearScope();
    attach->clearFilter();
    attach->setOrder(QStringLiteral("Key"));
    const store::Value k = keyValue(key);
    int n = 0;
    attach->seek(k);
    if (!attach->found())
        return 0;
    for (; !attach->eof() && attach->str(kKey) == k.toString(); attach->skip())
        n += attach->str(kType) == type;
    return n;
}

int NATTACH(const QString& type)
{
    store::WorkArea* log = ws().area(store::alias::kLog);
    if (!log || log->eof())
        return 0;
    return countAttachments(log->str(kKey), type);
}

void limitAttachments(store::WorkArea& attach, const QString& key, const QString& type)
{
    attach.setOrder(QStringLiteral("Key"));
    const store::Value k = keyValue(key);
    attach.setScope(k, k);
    attach.setFilter([type](store::WorkArea& a) { return a.str(kType) == type; });
    attach.goTop();
}

bool addAttachment(const QString& key, const QString& type, const QString& description, const QByteArray& data, QString* why)
{
    store::WorkArea* attach = ws().area(store::alias::kAttach);
    if (!attach || key.trimmed().isEmpty()) {
        setWhy(why, QStringLiteral("No hay ningún QSO al que adjuntarlo"));
        return false;
    }
    store::WorkArea* selected = ws().current();
    ws().select(store::alias::kAttach);
    const bool added = store::ADDREC(0);
    if (selected)
        ws().select(selected->alias());
    if (!added) {
        setWhy(why, QStringLiteral("No pudo añadirse el registro"));
        return false;
    }
    attach->put(kKey, key);
    attach->put(kType, type);
    attach->put(kDesc, description.left(kAttachmentDescriptionWidth));
    const store::Status s = attach->putMemo(kFile, data, true);
    const store::Status written = attach->unlock();
    if (!s || !written) {
        setWhy(why, !s ? s.text() : written.text());
        // a record without its file is of no use: take it out again
        if (attach->lockRecord()) {
            attach->deleteRecord();
            attach->unlock();
        }
        return false;
    }
    return true;
}

bool addImageAttachment(const QString& key, const QString& description, const QImage& image, QString* why)
{
    const QByteArray jpeg = jpegData(image);
    if (jpeg.isEmpty()) {
        setWhy(why, QStringLiteral("No hay ninguna imagen que guardar"));
        return false;
    }
    return addAttachment(key, kImageAttachment, description, jpeg, why);
}

bool addSoundAttachment(const QString& key, const QString& description, const QByteArray& wav, QString* why)
{
    if (!isWavFile(wav)) {
        setWhy(why, QStringLiteral("El fichero no es un sonido WAV"));
        return false;
    }
    return addAttachment(key, kSoundAttachment, description, wav, why);
}

QByteArray attachmentData(store::WorkArea& attach)
{
    return attach.eof() ? QByteArray() : attach.memo(kFile);
}

bool replaceAttachmentImage(store::WorkArea& attach, const QImage& image, QString* why)
{
    const QByteArray jpeg = jpegData(image);
    if (attach.eof() || jpeg.isEmpty()) {
        setWhy(why, QStringLiteral("No hay ninguna imagen que guardar"));
        return false;
    }
    store::WorkArea* selected = ws().current();
    ws().select(attach.alias());
    const bool locked = store::RECLOCK(0);
    if (selected)
        ws().select(selected->alias());
    if (!locked) {
        setWhy(why, QStringLiteral("No pudo bloquearse"));
        return false;
    }
    const store::Status s = attach.putMemo(kFile, jpeg, true);
    const store::Status written = attach.unlock();
    if (!s || !written) {
        setWhy(why, !s ? s.text() : written.text());
        return false;
    }
    return true;
}

bool setAttachmentDescription(store::WorkArea& attach, const QString& description)
{
    if (attach.eof())
        return false;
    if (!attach.lockRecord()) {
        ui::messages().stop(QStringLiteral("No pudo bloquearse"));
        return false;
    }
    attach.put(kDesc, description.left(kAttachmentDescriptionWidth));
    if (const store::Status s = attach.unlock(); !s) {
        ui::messages().stop(s.text());
        return false;
    }
    return true;
}

bool deleteAttachment(store::WorkArea& attach)
{
    if (attach.eof() || !attach.lockRecord())
        return false;
    const store::Status s = attach.deleteRecord();
    attach.unlock();
    if (!s) {
        ui::messages().stop(s.text());
        return false;
    }
    return true;
}

QByteArray jpegData(const QImage& image)
{
    if (image.isNull())
        return {};
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    // JPEG has no transparency: what was transparent becomes white, not black
    QImage opaque = image;
    if (image.hasAlphaChannel()) {
        opaque = QImage(image.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QImage src = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < src.height(); ++y) {
            const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
            QRgb* d = reinterpret_cast<QRgb*>(opaque.scanLine(y));
            for (int x = 0; x < src.width(); ++x) {
                const int a = qAlpha(s[x]);
                d[x] = qRgb(qRed(s[x]) + (255 - a), qGreen(s[x]) + (255 - a), qBlue(s[x]) + (255 - a));
            }
        }
    }
    if (!opaque.save(&buffer, "JPG", 90))
        return {};
    return out;
}

QImage readImageFile(const QString& path, QString* why)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        setWhy(why, path + QStringLiteral("\r\nFichero no existe o no puede leerse"));
        return {};
    }
    const QByteArray data = f.readAll();
    QImage image;
    if (path.endsWith(QLatin1String(".pcx"), Qt::CaseInsensitive) || (data.size() > 128 && quint8(data[0]) == 0x0A))
        image = readPcx(data);
    if (image.isNull()) {
        QBuffer buffer;
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setDecideFormatFromContent(true);
        image = reader.read();
    }
    if (image.isNull())
        setWhy(why, path + QStringLiteral("\r\nNo es una imagen o está dañada"));
    return image;
}

QImage readPcx(const QByteArray& data)
{
    if (data.size() < 128 || quint8(data[0]) != 0x0A || quint8(data[2]) != 1)
        return {};
    const auto u8 = [&](int at) { return quint8(data[at]); };
    const auto u16 = [&](int at) { return int(qFromLittleEndian<quint16>(data.constData() + at)); };
    const int bits = u8(3);
    const int width = u16(8) - u16(4) + 1;
    const int height = u16(10) - u16(6) + 1;
    const int planes = u8(65);
    const int bytesPerLine = u16(66);
    const bool palette8 = bits == 8 && planes == 1;
    const bool rgb = bits == 8 && planes == 3;
    const bool planar = bits == 1 && planes >= 1 && planes <= 4;
    if (width <= 0 || height <= 0 || width > 20000 || height > 20000 || (!palette8 && !rgb && !planar)
        || bytesPerLine * 8 < width * bits || bytesPerLine > 65535)
        return {};

    // the lines, run-length decoded: every plane of a line after the other
    const qsizetype lineBytes = qsizetype(bytesPerLine) * planes;
    QByteArray pixels(lineBytes * height, '\0');
    qsizetype in = 128, out = 0;
    const qsizetype end = palette8 ? data.size() - 769 : data.size();
    while (out < pixels.size() && in < end) {
        int b = u8(int(in++));
        int count = 1;
        if ((b & 0xC0) == 0xC0) {
            count = b & 0x3F;
            if (in >= end)
                break;
            b = u8(int(in++));
        }
        while (count-- > 0 && out < pixels.size())
            pixels[out++] = char(b);
    }
    if (out < pixels.size())
        return {};

    QImage image(width, height, QImage::Format_RGB32);
    QList<QRgb> colours;
    if (palette8) {
        if (data.size() < 128 + 769 || u8(int(data.size() - 769)) != 0x0C)
            return {};
        for (int i = 0; i < 256; ++i) {
            const int at = int(data.size() - 768 + i * 3);
            colours << qRgb(u8(at), u8(at + 1), u8(at + 2));
        }
    } else if (planar) {
        for (int i = 0; i < 16; ++i)
            colours << qRgb(u8(16 + i * 3), u8(17 + i * 3), u8(18 + i * 3));
        if (planes == 1) {
            colours[0] = qRgb(0, 0, 0);
            colours[1] = qRgb(255, 255, 255);
        }
    }
    for (int y = 0; y < height; ++y) {
        const uchar* line = reinterpret_cast<const uchar*>(pixels.constData()) + y * lineBytes;
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (palette8) {
                row[x] = colours[line[x]];
            } else if (rgb) {
                row[x] = qRgb(line[x], line[bytesPerLine + x], line[2 * bytesPerLine + x]);
            } else {
                int index = 0;
                for (int p = 0; p < planes; ++p)
                    index |= ((line[p * bytesPerLine + x / 8] >> (7 - x % 8)) & 1) << p;
                row[x] = colours[index];
            }
        }
    }
    return image;
}

bool isWavFile(const QByteArray& data)
{
    if (data.size() < 44 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE")
        return false;
    bool format = false;
    qsizetype at = 12;
    while (at + 8 <= data.size()) {
        const QByteArray id = data.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(data.constData() + at + 4);
        if (id == "fmt ")
            format = size >= 16 && at + 8 + 16 <= data.size();
        else if (id == "data")
            return format;
        if (size > quint32(data.size()))
            return false;
        at += 8 + qsizetype(size) + (size & 1);
    }
    return false;
}

} // namespace logbook
