// The entry form, offscreen: typed into by its control ids over a real book.
#include "../gui_app.h"
#include "../interchange/cabrillo_home.h"

#include "logbook/qso_entry.h"
#include "logbook/recordings.h"
#include "logbook/views/entry_form.h"
#include "refdata/views/pick_list_dialog.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "ui/q7browse.h"

#include "../app/when_modal.h"

#include <QApplication>
#include <QDir>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QRegularExpression>
#include <QTest>
#include <QtEndian>

namespace logbook::testing {
namespace {

using interchange::testing::SessionHome;

using testing_support::guiApp;

// Sound for the tests: a second of a tone, or no input at all.
class FakeRecorder : public AudioRecorder {
public:
    explicit FakeRecorder(bool present) : m_present(present) {}
    bool available(QString* why) override
    {
        if (!m_present)
            *why = "Este equipo no tiene ninguna entrada de audio: no se puede grabar";
        return m_present;
    }
    bool start() override { return true; }
    QByteArray stop() override
    {
        QByteArray s(kRecordingRate, '\0');
        for (int i = 0; i < s.size(); ++i)
            s[i] = char(i % 40 < 20 ? 200 : 56);
        return s;
    }

private:
    bool m_present;
};

class EntryFormTest : public SessionHome {
protected:
    void SetUp() override
    {
        guiApp();
        SessionHome::SetUp();
        if (HasFatalFailure())
            return;
        for (const char* c : {"EA1ABC", "EA1ABD", "EA2XX"})
            add({.call = c, .date = QDate(2024, 1, 1), .time = "10:00", .freq = 14.2, .band = "20M", .mode = "SSB"});
        EntryFormHost host;
        host.showStatus = [this](const QString& t) { status = t; };
        host.qsoSaved = [this] { ++saved; };
        host.writeSetting = [this](const QString& k, const QVariant& v) { settings[k] = v; };
        host.makeRecorder = [this] { return std::make_unique<FakeRecorder>(microphone); };
        host.pickProvince = [](const QString& e, const QString& p) { return refdata::HLPPRV(e, p); };
        form = std::make_unique<EntryForm>(host);
    }
    void TearDown() override
    {
        form.reset();
        SessionHome::TearDown();
    }

    template <class W>
    W* control(int page, const char* id)
    {
        QWidget* p = page < 0 ? form.get() : form->pages()->widget(page);
        auto* w = p->findChild<W*>(QString::fromLatin1(id));
        EXPECT_TRUE(w) << "page " << page << " id " << id;
        return w;
    }

    int log2Count()
    {
        int n = 0;
        store::WorkArea* l2 = ws().area(store::alias::kLog2);
        for (l2->goTop(); !l2->eof(); l2->skip())
            ++n;
        return n;
    }

    std::unique_ptr<EntryForm> form;
    QString status;
    int saved = 0;
    QMap<QString, QVariant> settings;
    bool microphone = true;

    // The sound attachments of a QSO: their descriptions.
    QStringList soundsOf(const QString& key)
    {
        QStringList out;
        store::WorkArea* attach = ws().area(store::alias::kAttach);
        for (attach->goTop(); !attach->eof(); attach->skip())
            if (attach->str("KEY") == key && attach->str("TYPE") == "S") {
                EXPECT_TRUE(attach->memo("FILE").startsWith("RIFF")) << "a WAV file";
                out << attach->str("DESC").trimmed();
            }
        return out;
    }
};

TEST_F(EntryFormTest, TypingACallNarrowsTheEarlierQsosAtEachKeystroke)
{
    form->open(true, false, "Log");
    auto* call = control<QLineEdit>(0, "605");
    ASSERT_TRUE(call);
    EXPECT_TRUE(call->hasFocus() || !QApplication::focusWidget()) << "the cursor starts in the call field";
    QStringList counts;
    for (const QChar ch : QStringLiteral("ea1ab")) {
        QTest::keyClick(call, ch.toLatin1());
        counts << QString::number(log2Count());
    }
    EXPECT_EQ(counts.join(' '), "3 3 2 2 2");
    EXPECT_EQ(call->text(), "EA1AB");
    EXPECT_EQ(control<QLineEdit>(5, "611")->text(), "281") << "page 6 shows the derived DXCC";
    // the known calls containing the text are beside the field; Down takes the first
    auto* partial = control<QListWidget>(0, "partial");
    ASSERT_TRUE(partial);
    ASSERT_GE(partial->count(), 2);
    EXPECT_EQ(partial->item(0)->text(), "EA1ABC");
    EXPECT_EQ(partial->item(1)->text(), "EA1ABD");
    QTest::keyClick(call, Qt::Key_Down);
    QTest::keyClick(call, Qt::Key_Down);
    EXPECT_EQ(call->text(), "EA1ABD");
    EXPECT_EQ(log2Count(), 1);
    QTest::keyClick(call, Qt::Key_Tab);
    EXPECT_EQ(log2Count(), 1) << "Tab changes nothing";
}

TEST_F(EntryFormTest, AFormClosedWithTheCursorInTheCallFieldClosesQuietly)
{
    // the tables close under an open form (a reorganisation, a download): the
    // call field loses the focus while the form goes away
    form->open(true, false, "Log");
    form->show();
    QApplication::setActiveWindow(form.get());
    auto* call = control<QLineEdit>(0, "605");
    ASSERT_TRUE(call);
    call->setFocus();
    QTest::keyClicks(call, "EA1ABC");
    form.reset();   // crashed here when the look-up ran on the gone QSO
}

TEST_F(EntryFormTest, SavingANewQsoAndWhatNothingToSaveDoes)
{
    const quint32 before = log->recCount();
    form->open(true, false, "Log");
    ASSERT_TRUE(form->isVisible());
    // an empty call writes nothing and the form goes
    control<QPushButton>(-1, "1")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(log->recCount(), before);
    // F10 on the hidden form does nothing
    QTest::keyClick(form.get(), Qt::Key_F10);
    EXPECT_EQ(log->recCount(), before);
    EXPECT_EQ(saved, 0);

    form->open(true, false, "Log");
    auto* call = control<QLineEdit>(0, "605");
    QTest::keyClicks(call, "dl1xyz");
    auto* freq = control<QLineEdit>(0, "620");
    freq->setFocus();
    freq->setText("7.050");
    emit freq->editingFinished();
    EXPECT_EQ(control<QComboBox>(0, "603")->currentData().toString(), "40M") << "the band follows the frequency";
    auto* mode = control<QComboBox>(0, "604");
    mode->setCurrentIndex(mode->findData("CW"));
    EXPECT_EQ(control<QLineEdit>(0, "607")->text(), "599") << "the mode's default report";
    QTest::keyClick(form.get(), Qt::Key_F10);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(log->recCount(), before + 1);
    EXPECT_EQ(saved, 1);
    log->setOrder(0);
    log->goBottom();
    EXPECT_EQ(log->str("CALL").trimmed(), "DL1XYZ");
    EXPECT_EQ(log->str("BAND").trimmed(), "40M");
    EXPECT_EQ(log->str("RSTSENT").trimmed(), "599");
    EXPECT_EQ(log->str("DXCC"), "230");
    EXPECT_TRUE(log->logical("EXPORT"));
    EXPECT_TRUE(settings.contains("Top")) << "closing keeps the form's place";
}

TEST_F(EntryFormTest, AnEditShowsTheQsoAndWritesOnlyWhenChanged)
{
    log->setOrder(0);
    log->goBottom();
    ASSERT_TRUE(log->lockRecord().isOk());
    log->put("EXPORT", false);
    log->put("QSLRCVD", "Y");
    log->unlock();
    form->open(false, false, "Log");
    EXPECT_EQ(control<QLineEdit>(0, "605")->text(), "EA2XX");
    EXPECT_EQ(control<QComboBox>(1, "601")->currentText(), "Si");
    EXPECT_FALSE(control<QPushButton>(0, "500")->isEnabled()) << "\"now\" is for new QSOs";
    control<QPushButton>(-1, "1")->click();
    log->goBottom();
    EXPECT_FALSE(log->logical("EXPORT")) << "nothing changed, nothing written";

    form->open(false, false, "Log");
    auto* name = control<QLineEdit>(0, "609");
    QTest::keyClicks(name, "juan");
    EXPECT_EQ(name->text(), "Juan") << "the first letter in upper case";
    control<QPushButton>(-1, "1")->click();
    log->goBottom();
    EXPECT_EQ(log->str("NAME").trimmed(), "Juan");
    EXPECT_TRUE(log->logical("EXPORT"));
}

TEST_F(EntryFormTest, RecordingsOfANewQsoWaitForItsKeyAndThoseOfAnEditAreAttachedAtOnce)
{
    const QString dir = ws().programDir();
    form->open(true, false, "Log");
    auto* rec = control<QPushButton>(-1, "700");
    auto* stop = control<QPushButton>(-1, "701");
    ASSERT_TRUE(rec && stop);
    EXPECT_TRUE(rec->isEnabled());
    EXPECT_FALSE(stop->isEnabled());
    for (int i = 0; i < 2; ++i) {
        rec->click();
        EXPECT_TRUE(form->recording());
        EXPECT_FALSE(rec->isEnabled());
        msgs.answer(true);
        stop->click();
    }
    msgs.answer(false);   // the third is not kept
    rec->click();
    stop->click();
    EXPECT_EQ(pendingRecordings(dir), 2);
    QTest::keyClicks(control<QLineEdit>(0, "605"), "g4abc");
    control<QPushButton>(-1, "1")->click();
    EXPECT_EQ(pendingRecordings(dir), 0) << "attached, the files go";
    log->setOrder(0);
    log->goBottom();
    EXPECT_EQ(soundsOf(log->str("KEY")).size(), 2);

    // a new QSO begun and left: its recordings do not reach the next one
    form->open(true, false, "Log");
    rec->click();
    msgs.answer(true);
    stop->click();
    EXPECT_EQ(pendingRecordings(dir), 1);
    control<QPushButton>(-1, "2")->click();
    form->open(true, false, "Log");
    EXPECT_EQ(pendingRecordings(dir), 0);
    control<QPushButton>(-1, "2")->click();

    // an edited QSO has its key: the recording is attached when it is stopped
    log->goBottom();
    const QString key = log->str("KEY");
    form->open(false, false, "Log");
    rec->click();
    msgs.answer(true);
    stop->click();
    const QStringList sounds = soundsOf(key);
    ASSERT_EQ(sounds.size(), 3);
    EXPECT_TRUE(QRegularExpression("^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d$").match(sounds.last()).hasMatch())
        << sounds.last().toStdString();
    EXPECT_TRUE(msgs.log().contains("yesNo: Guardar grabación -> yes"));
}

TEST_F(EntryFormTest, WithoutAnAudioInputTheRecordButtonSaysSoAndNothingChanges)
{
    microphone = false;
    form->open(true, false, "Log");
    auto* rec = control<QPushButton>(-1, "700");
    rec->click();
    EXPECT_EQ(msgs.take().last(), "alert: Este equipo no tiene ninguna entrada de audio: no se puede grabar");
    EXPECT_FALSE(form->recording());
    EXPECT_TRUE(rec->isEnabled());
    EXPECT_FALSE(control<QPushButton>(-1, "701")->isEnabled());
}

TEST_F(EntryFormTest, AwardReferencesFollowTheQsoTheyWereTypedFor)
{
    store::WorkArea* refs = ws().area(store::alias::kDplLog);
    ASSERT_TRUE(refs);
    auto refsOf = [&](const QString& key) {
        QStringList out;
        refs->clearScope();
        refs->setOrder(0);
        for (refs->goTop(); !refs->eof(); refs->skip())
            if (refs->str("KEY") == key)
                out << (refs->str("DPL").trimmed() + ":" + refs->str("COD").trimmed());
        return out;
    };
    form->open(true, false, "Log");
    const QString prepared = form->entry()->text("KEY");
    form->pages()->setCurrentIndex(4);
    auto* grid = form->pages()->widget(4)->findChild<ui::tQ7Browse*>();
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->model()->rowCount(), 1) << "a QSO without references gets an empty one to type into";
    whenModal<QDialog>([](QDialog* d) {
        d->findChild<QComboBox*>("601")->setCurrentText("DXCC");
        auto* ref = d->findChild<QLineEdit*>("602");
        ref->setText("281");
        d->findChild<QPushButton*>("1")->click();
    }, "EDTDPLLOG");
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(refsOf(prepared).join(' '), "DXCC:281");

    // another program saved a QSO under the same key meanwhile: ours gets the next, and its references with it
    ASSERT_TRUE(log->append([&](store::WorkArea& w) {
        w.put("KEY", prepared);
        return w.put("CALL", "OTHER");
    }));
    log->unlock();
    form->pages()->setCurrentIndex(0);
    QTest::keyClicks(control<QLineEdit>(0, "605"), "ok1abc");
    control<QPushButton>(-1, "1")->click();
    const QString saved = form->entry()->text("KEY");
    ASSERT_NE(saved, prepared);
    EXPECT_TRUE(refsOf(prepared).isEmpty());
    EXPECT_EQ(refsOf(saved).join(' '), "DXCC:281");

    // a new QSO left unsaved leaves no references behind
    form->open(true, false, "Log");
    const QString abandoned = form->entry()->text("KEY");
    form->pages()->setCurrentIndex(4);
    EXPECT_EQ(refsOf(abandoned).size(), 1);
    control<QPushButton>(-1, "2")->click();
    EXPECT_TRUE(refsOf(abandoned).isEmpty());

    // deleting asks first
    log->setOrder(0);
    log->goBottom();
    form->open(false, false, "Log");
    form->pages()->setCurrentIndex(4);
    msgs.answer(true);
    control<QPushButton>(4, "4002")->click();
    EXPECT_TRUE(msgs.log().contains("noYes: Confirma eliminación registro diploma -> yes"));
    EXPECT_TRUE(refsOf(saved).isEmpty());
}

TEST_F(EntryFormTest, TheProvinceIsPickedFromTheEntitysListAndNamed)
{
    form->open(true, false, "Log");
    QTest::keyClicks(control<QLineEdit>(0, "605"), "ea4xyz");
    whenModal<QDialog>([](QDialog* d) {
        auto* grid = d->findChild<ui::tQ7Browse*>("301");
        ASSERT_TRUE(grid);
        QTest::keyClicks(grid, "toledo");
        QTest::keyClick(grid, Qt::Key_Return);
    }, "PrvHlp");
    control<QPushButton>(0, "615b")->click();
    EXPECT_EQ(form->entry()->text("CODPRV"), "TO");
    EXPECT_EQ(control<QLineEdit>(0, "615")->text(), "TO");
    EXPECT_EQ(control<QLabel>(0, "701")->text(), "Toledo");
}

TEST(Recordings, TheWavHeaderDescribesEightBitMonoAt11025)
{
    const QByteArray wav = wavFile(QByteArray(100, char(128)));
    ASSERT_EQ(wav.size(), 144);
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 4), 136u);
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(qFromLittleEndian<quint16>(wav.constData() + 22), 1) << "mono";
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 24), 11025u);
    EXPECT_EQ(qFromLittleEndian<quint16>(wav.constData() + 34), 8) << "bits";
    EXPECT_EQ(qFromLittleEndian<quint32>(wav.constData() + 40), 100u);
}

TEST_F(EntryFormTest, CallBookAndMapButtonsWaitForTheProgramsServices)
{
    form->open(true, false, "Log");
    for (const char* id : {"4001", "4002", "4006", "4007", "4005"})
        EXPECT_FALSE(control<QPushButton>(0, id)->isEnabled()) << id;
    EXPECT_FALSE(control<QPushButton>(3, "3")->isEnabled());
    form.reset();

    QStringList pressed;
    EntryFormHost host;
    host.service = [&](EntryForm& f, const QString& id) { pressed << id + ":" + f.entry()->buffer().get("CALL").toString().trimmed(); };
    form = std::make_unique<EntryForm>(host);
    form->open(true, false, "Log");
    form->entry()->buffer().set("CALL", store::Value::text(QStringLiteral("EA2XX")));
    for (const char* id : {"4001", "4002", "4006", "4007", "4005"})
        control<QPushButton>(0, id)->click();
    control<QPushButton>(3, "3")->click();
    EXPECT_EQ(pressed, (QStringList{"4001:EA2XX", "4002:EA2XX", "4006:EA2XX", "4007:EA2XX", "4005:EA2XX", "3:EA2XX"}));
}

} // namespace
} // namespace logbook::testing
