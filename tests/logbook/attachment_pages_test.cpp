// Pages 4 and 5 of the log window, offscreen, over a real book: pictures added
// from a file and from the clipboard, recordings and WAV files, what is refused,
// and the attachments following their QSO into another book and going with it.
#include "../gui_app.h"
#include "book_home.h"

#include "logbook/attachments.h"
#include "logbook/transfer.h"
#include "logbook/views/attachment_pages.h"
#include "logbook/views/log_window.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include "../app/when_modal.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

namespace logbook::testing {
namespace {

using testing_support::guiApp;

// Records what it was asked; its samples are fixed.
class FakeRecorder : public AudioRecorder {
public:
    explicit FakeRecorder(QStringList* log) : m_log(log) {}
    bool available(QString*) override { return true; }
    bool start() override
    {
        *m_log << "start";
        return true;
    }
    QByteArray stop() override
    {
        *m_log << "stop";
        return QByteArray(300, char(140));
    }

private:
    QStringList* m_log;
};

class AttachmentPagesTest : public BookHome {
protected:
    void SetUp() override
    {
        guiApp();
        BookHome::SetUp();
        if (HasFatalFailure())
            return;
        key = addQso({.call = "EA4XYZ", .date = QDate(2024, 5, 1), .time = "09:00"});
        ASSERT_TRUE(files.isValid());
        AttachmentPagesHost host;
        host.appTitle = QStringLiteral("Orlan Win Log 1.0");
        host.makeRecorder = [this] { return std::make_unique<FakeRecorder>(&recorder); };
        host.openFile = [this](const QString& path) { opened << path; };
        host.chooseFile = [this](QWidget*, ui::ChooseMode, const QString& title, const QString& proposed, const QString&) {
            titles << title;
            proposals << proposed;
            return chosen.isEmpty() ? QString() : chosen.takeFirst();
        };
        host.play = [this](const QString& path) { played << path; };
        registerAttachmentPages(host);
        window.reset(LogWindow::open({}));
        ASSERT_TRUE(window);
        images = qobject_cast<ImagePage*>(window->pages()->widget(3));
        sounds = qobject_cast<SoundPage*>(window->pages()->widget(4));
        ASSERT_TRUE(images && sounds);
    }
    void TearDown() override
    {
        window.reset();
        LogWindow::registerPage(4, {});
        LogWindow::registerPage(5, {});
        BookHome::TearDown();
    }

    QString picture(const char* name, const QColor& colour, const char* format = "PNG")
    {
        QImage image(60, 40, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = files.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(image.save(path, format));
        return path;
    }
    QString writeFile(const char* name, const QByteArray& bytes)
    {
        QFile f(files.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QString tab(int i) { return window->pages()->tabText(i); }
    static void click(QWidget* d, const char* name)
    {
        auto* b = d->findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_TRUE(b) << name;
        ASSERT_TRUE(b->isEnabled()) << name;
        b->click();
    }
    static bool enabled(QWidget* d, const char* name) { return d->findChild<QAbstractButton*>(QString::fromLatin1(name))->isEnabled(); }

    QString key;
    QTemporaryDir files;
    QStringList recorder, opened, titles, proposals, chosen, played;
    std::unique_ptr<LogWindow> window;
    ImagePage* images = nullptr;
    SoundPage* sounds = nullptr;
};

TEST_F(AttachmentPagesTest, PicturesComeFromAFileAndFromTheClipboardAndAreKeptAsJpeg)
{
    ASSERT_EQ(log()->str("KEY"), key);
    EXPECT_EQ(tab(3), "   Imágenes adjuntas (0)   ");
    window->pages()->setCurrentIndex(3);
    EXPECT_FALSE(images->view()->hasImage()) << "the picture for no image";

    // from a file: Ok only once the view holds a picture
    chosen << picture("qsl.bmp", QColor(250, 10, 10), "BMP");
    whenModal<ImageAttachDialog>([](ImageAttachDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Vincular Imagen");
        EXPECT_FALSE(enabled(d, "1"));
        d->findChild<QLineEdit*>("600")->setText("Tarjeta QSL de EA4XYZ recibida por el bureau");
        click(d, "4000");
        click(d, "1");
    });
    images->add();
    EXPECT_EQ(titles.value(0), "Orlan Win Log 1.0 Seleccione nombre de archivo");
    EXPECT_EQ(tab(3), "   Imágenes adjuntas (1)   ");
    store::WorkArea* a = ws().area(store::alias::kAttach);
    EXPECT_EQ(a->str("DESC"), "Tarjeta QSL de EA4XYZ recibida") << "cut to 30";
    EXPECT_TRUE(attachmentData(*a).startsWith("\xff\xd8\xff")) << "a BMP is stored as JPEG";
    ASSERT_TRUE(images->view()->hasImage());
    EXPECT_NEAR(QColor(images->view()->image().pixel(30, 20)).red(), 250, 12);

    // from the clipboard
    QImage blue(30, 30, QImage::Format_RGB32);
    blue.fill(QColor(0, 0, 240));
    QGuiApplication::clipboard()->setImage(blue);
    whenModal<ImageAttachDialog>([](ImageAttachDialog* d) {
        d->findChild<QLineEdit*>("600")->setText("reverso");
        click(d, "4001");
        click(d, "1");
    });
    images->add();
    EXPECT_EQ(tab(3), "   Imágenes adjuntas (2)   ");
    EXPECT_EQ(images->panel()->browse()->model()->rowCount(), 2);
    EXPECT_EQ(a->str("DESC").trimmed(), "reverso");
    EXPECT_NEAR(QColor(images->view()->image().pixel(15, 15)).blue(), 240, 12);

    // a broken file is told in Spanish and changes nothing
    chosen << writeFile("rota.jpg", "\xff\xd8\xff\xe0 no sigue");
    whenModal<ImageAttachDialog>([](ImageAttachDialog* d) {
        click(d, "4000");
        EXPECT_FALSE(enabled(d, "1"));
        click(d, "2");
    });
    images->add();
    EXPECT_TRUE(msgs.log().join('\n').contains("No es una imagen o está dañada"));
    EXPECT_EQ(tab(3), "   Imágenes adjuntas (2)   ");

    // the viewer gets a copy in a folder of the page's own, not the program folder
    images->openViewer();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].endsWith("/tmp.jpg"));
    EXPECT_FALSE(opened[0].startsWith(ws().programDir()));
    QFile viewed(opened[0]);
    ASSERT_TRUE(viewed.open(QIODevice::ReadOnly));
    EXPECT_EQ(viewed.readAll(), attachmentData(*a));

    // saving: the call proposed, ".JPG" added, an existing file only overwritten when the user says so
    const QString saved = files.filePath("guardada");
    chosen << saved;
    images->save();
    EXPECT_EQ(proposals.last(), "EA4XYZ.jpg");
    QFile out(saved + ".JPG");
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), attachmentData(*a));
    out.close();
    const QString existing = writeFile("existe.jpg", "mio");
    chosen << existing;
    msgs.answer(false);
    images->save();
    EXPECT_TRUE(msgs.log().join('\n').contains("Fichero ya existe"));
    QFile kept(existing);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "mio");

    // replacing the picture from the clipboard, then deleting: No keeps it, Yes takes it
    QImage green(10, 10, QImage::Format_RGB32);
    green.fill(QColor(0, 230, 0));
    QGuiApplication::clipboard()->setImage(green);
    msgs.answer(true);
    images->replaceFromClipboard();
    EXPECT_NEAR(QColor(QImage::fromData(attachmentData(*a)).pixel(5, 5)).green(), 230, 12);
    msgs.answer(false);
    images->remove();
    EXPECT_EQ(tab(3), "   Imágenes adjuntas (2)   ");
    msgs.answer(true);
    images->remove();
    EXPECT_EQ(tab(3), "   Imágenes adjuntas (1)   ");
    EXPECT_EQ(images->panel()->browse()->model()->rowCount(), 1);
    EXPECT_TRUE(images->view()->hasImage()) << "the one before is shown";

    // the viewer's copy goes with the window
    window.reset();
    EXPECT_FALSE(QFile::exists(opened[0]));
}

TEST_F(AttachmentPagesTest, SoundsAreRecordedOrTakenFromWavFilesAndPlayed)
{
    window->pages()->setCurrentIndex(4);
    EXPECT_EQ(tab(4), "   Sonidos adjuntos (0)   ");

    // a recording, kept when the user says so
    whenModal<SoundAttachDialog>([this](SoundAttachDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Nueva Grabación");
        EXPECT_TRUE(d->findChild<QLineEdit*>("600")->text().startsWith(QDate::currentDate().toString("dd-MM-yyyy") + " "));
        EXPECT_FALSE(enabled(d, "1"));
        EXPECT_FALSE(enabled(d, "701"));
        click(d, "700");
        EXPECT_FALSE(enabled(d, "700"));
        msgs.answer(true);
        click(d, "701");
        click(d, "1");
    });
    sounds->add();
    EXPECT_EQ(recorder, (QStringList{"start", "stop"}));
    EXPECT_EQ(tab(4), "   Sonidos adjuntos (1)   ");
    store::WorkArea* a = ws().area(store::alias::kAttach);
    EXPECT_EQ(attachmentData(*a), wavFile(QByteArray(300, char(140))));

    // a WAV file; anything else is refused and Ok stays off
    chosen << writeFile("musica.mp3", "ID3\x03 no es wav") << writeFile("cq.wav", wavFile(QByteArray(80, char(90))));
    whenModal<SoundAttachDialog>([](SoundAttachDialog* d) {
        click(d, "702");
        EXPECT_FALSE(enabled(d, "1"));
        click(d, "702");
        EXPECT_FALSE(enabled(d, "700")) << "a file chosen: nothing to record";
        click(d, "1");
    });
    sounds->add();
    EXPECT_TRUE(msgs.log().join('\n').contains("El fichero no es un sonido WAV"));
    EXPECT_EQ(tab(4), "   Sonidos adjuntos (2)   ");
    EXPECT_EQ(attachmentData(*a), wavFile(QByteArray(80, char(90))));

    // cancelling while recording stops the recording, stores nothing, leaves no file
    recorder.clear();
    whenModal<SoundAttachDialog>([](SoundAttachDialog* d) {
        click(d, "700");
        click(d, "2");
    });
    sounds->add();
    EXPECT_EQ(recorder, (QStringList{"start", "stop"}));
    EXPECT_EQ(tab(4), "   Sonidos adjuntos (2)   ");
    EXPECT_TRUE(QDir(ws().programDir()).entryList({"TmpSnd*.wav", "tmpsnd*.wav"}).isEmpty());

    // playing hands a copy of the current sound to the player
    sounds->play();
    ASSERT_EQ(played.size(), 1);
    QFile f(played[0]);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), attachmentData(*a));

    msgs.answer(true);
    sounds->remove();
    EXPECT_EQ(tab(4), "   Sonidos adjuntos (1)   ");
    EXPECT_FALSE(msgs.unexpected());
}

TEST_F(AttachmentPagesTest, AttachmentsFollowTheirQsoIntoAnotherBookAndGoWhenItIsDeleted)
{
    window->pages()->setCurrentIndex(3);
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    QGuiApplication::clipboard()->setImage(image);
    whenModal<ImageAttachDialog>([](ImageAttachDialog* d) {
        click(d, "4001");
        click(d, "1");
    });
    images->add();
    window->pages()->setCurrentIndex(4);
    chosen << writeFile("cq.wav", wavFile("sonido"));
    whenModal<SoundAttachDialog>([](SoundAttachDialog* d) {
        click(d, "702");
        click(d, "1");
    });
    sounds->add();
    EXPECT_EQ(tab(3), "   Imágenes adjuntas (1)   ");
    EXPECT_EQ(tab(4), "   Sonidos adjuntos (1)   ");

    ui::SilentMeter meter;
    ASSERT_EQ(transferQsos(meter, {.destination = "EA2YY"}).copied, 1);
    {
        store::Workspace w;
        w.setDataDir(data);
        store::WorkArea* copy = nullptr;
        ASSERT_TRUE(w.use("AttachEA2YY", {.alias = "c", .readOnly = true}, &copy).isOk());
        QStringList types;
        for (copy->goTop(); !copy->eof(); copy->skip()) {
            types << copy->str("TYPE");
            if (copy->str("TYPE") == "S") {
                EXPECT_EQ(copy->memo("FILE"), wavFile("sonido")) << "byte for byte";
            }
        }
        types.sort();
        EXPECT_EQ(types, (QStringList{"G", "S"}));
    }

    // deleted from the log page while the sounds page still has the table limited to sounds
    window->pages()->setCurrentIndex(0);
    msgs.answer(true);
    window->deleteQso();
    EXPECT_EQ(countAttachments(key, kImageAttachment) + countAttachments(key, kSoundAttachment), 0);
    store::WorkArea* a = ws().area(store::alias::kAttach);
    a->clearScope();
    a->goTop();
    EXPECT_TRUE(a->eof()) << "nothing of the deleted QSO is left in its book";
}

} // namespace
} // namespace logbook::testing
