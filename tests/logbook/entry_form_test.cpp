// The entry form, offscreen: typed into by its control ids over a real book.
#include "../interchange/cabrillo_home.h"

#include "logbook/qso_entry.h"
#include "logbook/views/entry_form.h"
#include "store/aliases.h"
#include "store/work_area.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace logbook::testing {
namespace {

using interchange::testing::SessionHome;

QApplication& app()
{
    static int argc = 1;
    static char name[] = "logbook_gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = qApp ? nullptr : new QApplication(argc, argv);
    (void)a;
    return *static_cast<QApplication*>(QCoreApplication::instance());
}

class EntryFormTest : public SessionHome {
protected:
    void SetUp() override
    {
        app();
        SessionHome::SetUp();
        if (HasFatalFailure())
            return;
        for (const char* c : {"EA1ABC", "EA1ABD", "EA2XX"})
            add({.call = c, .date = QDate(2024, 1, 1), .time = "10:00", .freq = 14.2, .band = "20M", .mode = "SSB"});
        EntryFormHost host;
        host.showStatus = [this](const QString& t) { status = t; };
        host.qsoSaved = [this] { ++saved; };
        host.writeSetting = [this](const QString& k, const QVariant& v) { settings[k] = v; };
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

} // namespace
} // namespace logbook::testing
