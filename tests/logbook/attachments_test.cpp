// The attachments of a QSO: pictures always stored as JPEG (PCX through our
// own reader), damaged pictures refused, WAV files recognised as such, and
// descriptions cut to their field. (The pages, the counts of the tab texts,
// transfer and deletion: attachment_pages_test.cpp.)
#include "book_home.h"

#include "logbook/attachments.h"
#include "logbook/recordings.h"


#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

namespace logbook::testing {
namespace {

bool isJpeg(const QByteArray& b) { return b.startsWith("\xff\xd8\xff"); }

// A PCX file as a paint program writes it: header, run-length coded lines, and
// for 8 bits the 256-colour palette after the marker 12.
QByteArray pcx(int width, int height, int planes, const std::function<QByteArray(int y)>& line,
               const QByteArray& palette = {})
{
    QByteArray h(128, '\0');
    h[0] = 0x0A;
    h[1] = 5;
    h[2] = 1;
    h[3] = 8;
    qToLittleEndian<quint16>(quint16(width - 1), h.data() + 8);
    qToLittleEndian<quint16>(quint16(height - 1), h.data() + 10);
    h[65] = char(planes);
    qToLittleEndian<quint16>(quint16(width), h.data() + 66);
    QByteArray out = h;
    for (int y = 0; y < height; ++y) {
        const QByteArray raw = line(y);
        for (int i = 0; i < raw.size();) {
            int run = 1;
            while (i + run < raw.size() && raw[i + run] == raw[i] && run < 63)
                ++run;
            if (run > 1 || (quint8(raw[i]) & 0xC0) == 0xC0)
                out += char(0xC0 | run);
            out += raw[i];
            i += run;
        }
    }
    if (!palette.isEmpty())
        out += char(0x0C) + palette;
    return out;
}

class Attachments : public BookHome {
protected:
    void SetUp() override
    {
        BookHome::SetUp();
        if (HasFatalFailure())
            return;
        key = addQso({.call = "K1A", .date = QDate(2024, 3, 1), .time = "10:00"});
        other = addQso({.call = "K2B", .date = QDate(2024, 3, 2), .time = "11:00"});
        ASSERT_TRUE(dir.isValid());
    }

    QString file(const char* name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }

    QString key, other;
    QTemporaryDir dir;
};

TEST_F(Attachments, PicturesOfEveryOfferedKindAreStoredAsJpeg)
{
    QImage picture(40, 30, QImage::Format_ARGB32);
    picture.fill(QColor(200, 30, 30));
    for (const char* format : {"BMP", "PNG", "ICO"}) {
        const QString path = dir.filePath(QStringLiteral("qsl.") + QString::fromLatin1(format).toLower());
        ASSERT_TRUE(picture.save(path, format)) << format;
        QString why;
        const QImage read = readImageFile(path, &why);
        ASSERT_FALSE(read.isNull()) << format << why.toStdString();
        ASSERT_TRUE(addImageAttachment(key, QStringLiteral("QSL en ") + QString::fromLatin1(format), read)) << format;
        store::WorkArea* a = ws().area(store::alias::kAttach);
        EXPECT_TRUE(isJpeg(attachmentData(*a))) << format;
        const QImage back = QImage::fromData(attachmentData(*a));
        EXPECT_EQ(back.size(), QSize(40, 30)) << format;
        EXPECT_NEAR(QColor(back.pixel(20, 15)).red(), 200, 12) << format;
    }
    // Qt writes no GIF: the smallest one, a single red dot
    const QByteArray gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00"
                         "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b", 35);
    const QImage dot = readImageFile(file("punto.gif", gif));
    ASSERT_EQ(dot.size(), QSize(1, 1));
    ASSERT_TRUE(addImageAttachment(key, "GIF", dot));
    EXPECT_GT(QColor(QImage::fromData(attachmentData(*ws().area(store::alias::kAttach))).pixel(0, 0)).red(), 200);

    EXPECT_EQ(countAttachments(key, kImageAttachment), 4);
    EXPECT_EQ(countAttachments(other, kImageAttachment), 0);

    // transparent parts become white, not black
    QImage clear(8, 8, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    EXPECT_GT(QColor(QImage::fromData(jpegData(clear)).pixel(4, 4)).lightness(), 240);
}

TEST_F(Attachments, PcxPicturesAreReadByOurOwnReader)
{
    // 8 bits with palette: a red left half and a blue right half
    QByteArray palette(768, '\0');
    palette[3] = char(255);              // colour 1: red
    palette[6 + 2] = char(255);          // colour 2: blue
    const QByteArray eight = pcx(10, 4, 1, [](int) { return QByteArray(5, 1) + QByteArray(5, 2); }, palette);
    QString why;
    QImage image = readImageFile(file("paleta.pcx", eight), &why);
    ASSERT_FALSE(image.isNull()) << why.toStdString();
    EXPECT_EQ(image.size(), QSize(10, 4));
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(image.pixel(9, 3)), QColor(0, 0, 255));

    // 24 bits in three planes a line: green everywhere, a line of 200 grey in runs longer than 63
    const QByteArray rgb = pcx(70, 2, 3, [](int y) {
        return y == 0 ? QByteArray(70, 0) + QByteArray(70, char(255)) + QByteArray(70, 0) : QByteArray(210, char(200));
    });
    image = readImageFile(file("verde.PCX", rgb), &why);
    ASSERT_FALSE(image.isNull()) << why.toStdString();
    EXPECT_EQ(QColor(image.pixel(69, 0)), QColor(0, 255, 0));
    EXPECT_EQ(QColor(image.pixel(0, 1)), QColor(200, 200, 200));
    EXPECT_TRUE(isJpeg(jpegData(image)));

    // damaged: lines that end too soon, a palette without its marker
    EXPECT_TRUE(readPcx(eight.left(140)).isNull());
    QByteArray noMarker = eight;
    noMarker[noMarker.size() - 769] = 0;
    EXPECT_TRUE(readPcx(noMarker).isNull());
}

TEST_F(Attachments, ABrokenPictureIsRefusedInSpanishAndNothingIsStored)
{
    QImage picture(20, 20, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QByteArray png;
    QBuffer b(&png);
    b.open(QIODevice::WriteOnly);
    picture.save(&b, "PNG");
    for (const QByteArray& bad : {png.left(60), QByteArray("esto no es una imagen"), QByteArray()}) {
        QString why;
        EXPECT_TRUE(readImageFile(file("rota.png", bad), &why).isNull());
        EXPECT_TRUE(why.contains("No es una imagen o está dañada")) << why.toStdString();
    }
    QString why;
    EXPECT_TRUE(readImageFile(dir.filePath("no-esta.jpg"), &why).isNull());
    EXPECT_TRUE(why.contains("Fichero no existe")) << why.toStdString();
    EXPECT_FALSE(addImageAttachment(key, "nada", QImage(), &why));
    EXPECT_EQ(countAttachments(key, kImageAttachment), 0);
}

TEST_F(Attachments, SoundsMustBeWavFilesAndDescriptionsAreCutToThirty)
{
    const QByteArray wav = wavFile(QByteArray(1000, char(128)));
    EXPECT_TRUE(isWavFile(wav));
    EXPECT_FALSE(isWavFile(wav.left(40)));
    QByteArray avi = wav;
    avi.replace(8, 4, "AVI ");
    EXPECT_FALSE(isWavFile(avi));
    EXPECT_FALSE(isWavFile(QByteArray("ID3\x03mp3 data")));
    QByteArray noData = wav.left(36);
    qToLittleEndian<quint32>(28, noData.data() + 4);
    EXPECT_FALSE(isWavFile(noData));

    QString why;
    EXPECT_FALSE(addSoundAttachment(key, "mp3", QByteArray("ID3\x03mp3 data"), &why));
    EXPECT_EQ(why, "El fichero no es un sonido WAV");
    ASSERT_TRUE(addSoundAttachment(key, QStringLiteral("Grabación de la llamada en 20 m, CW"), wav));
    store::WorkArea* a = ws().area(store::alias::kAttach);
    EXPECT_EQ(a->str("DESC"), QStringLiteral("Grabación de la llamada en 20 "));
    EXPECT_EQ(attachmentData(*a), wav);
    EXPECT_EQ(countAttachments(key, kSoundAttachment), 1);
    EXPECT_EQ(countAttachments(key, kImageAttachment), 0);

    // the description written later, under the record's lock, cut the same way
    limitAttachments(*a, key, kSoundAttachment);
    ASSERT_TRUE(setAttachmentDescription(*a, QStringLiteral("Una descripción bastante más larga de treinta")));
    EXPECT_EQ(a->str("DESC").trimmed(), QStringLiteral("Una descripción bastante más l"));
}

} // namespace
} // namespace logbook::testing
