// The settings dialog, offscreen, over a real home: "Cancelar" keeps the
// settings record while the lists of bands, modes and rules keep what was
// changed in them at once; "OK" writes the record, and a band taken out of
// the cluster's list stops its spots; the call is required; the colour rule
// editor and the deletion of a rule; the voice test; the stored font text.
#include "../cluster/cluster_home.h"

#include "../gui_app.h"

#include "cluster/spot_rules.h"
#include "settings/flag_list.h"
#include "settings/font_text.h"
#include "settings/settings_dialog.h"
#include "settings/spot_rules_page.h"
#include "store/record_buffer.h"
#include "ui/q7browse.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

namespace {

using cluster::testing::spotLine;
using settings::FlagList;
using settings::SettingsDialog;

TEST(FontText, StoredTextHeightsAndPoints)
{
    const settings::StoredFont f = settings::parseFontText(QStringLiteral("Arial |   10"));
    EXPECT_EQ(f.face, QStringLiteral("Arial"));
    EXPECT_EQ(f.points, 10);
    EXPECT_EQ(settings::fontHeight(f), -13);
    EXPECT_EQ(settings::pointsOfHeight(-16), 12);
    EXPECT_EQ(settings::fontText(QStringLiteral("Arial"), 12), QStringLiteral("Arial |   12"));
    // nothing usable stored: the chooser starts from height -11
    EXPECT_EQ(settings::fontHeight(settings::parseFontText(QStringLiteral("Arial"))), -11);
    EXPECT_EQ(settings::fontHeight(settings::parseFontText(QString())), -11);
}

class SettingsTest : public cluster::testing::ClusterHome {
protected:
    void SetUp() override
    {
        testing_support::guiApp();
        ClusterHome::SetUp();
        settings::setSettingsHooks({.refreshWindow = [this](const QString& w) { refreshed << w; },
                                    .speak = [this](const QString& t, int rate, int pitch) {
                                        spoken << QStringLiteral("%1|%2|%3").arg(t).arg(rate).arg(pitch);
                                    }});
    }
    void TearDown() override
    {
        settings::setSettingsHooks({});
        ClusterHome::TearDown();
    }
    store::WorkArea* cfg()
    {
        store::WorkArea* c = area(store::alias::kCfg);
        if (!c)
            ws().use(QStringLiteral("cfg"), {.alias = store::alias::kCfg}, &c);
        c->goTop();
        return c;
    }
    QString cfgText(const char* f)
    {
        cfg()->goTop();
        return cfg()->str(QLatin1String(f)).trimmed();
    }
    FlagList* bandList(SettingsDialog& d)
    {
        for (FlagList* l : d.findChildren<FlagList*>())
            if (l->objectName() == QLatin1String("CFGCLSBAND"))
                return l;
        return nullptr;
    }
    // Moves a flag list to the row of `code`.
    static bool goToCode(FlagList* l, const char* field, const QString& code)
    {
        store::WorkArea* a = l->area();
        for (a->goTop(); !a->eof(); a->skip())
            if (a->str(QLatin1String(field)).trimmed() == code)
                return l->grid()->setCurrentRecord(a->recNo());
        return false;
    }
    cluster::ChunkResult put(const QByteArray& chunk) { return feed.CRTSPOT(chunk, QStringLiteral("EA4ZZ")); }
    cluster::SpotFeed feed;
    QStringList refreshed, spoken;
};

TEST_F(SettingsTest, CancelKeepsTheRecordButTheListsKeepTheirChanges)
{
    {
        SettingsDialog d(cfg(), QStringLiteral("Orlan Win Log"));
        d.findChild<QLineEdit*>(QStringLiteral("401"))->setText(QStringLiteral("Pepe"));
        emit d.findChild<QLineEdit*>(QStringLiteral("401"))->editingFinished();
        for (QCheckBox* b : d.findChildren<QCheckBox*>(QStringLiteral("500")))
            b->setChecked(!b->isChecked());
        FlagList* bands = bandList(d);
        ASSERT_TRUE(bands);
        ASSERT_TRUE(goToCode(bands, "CODBAN", QStringLiteral("20M")));
        EXPECT_TRUE(bands->toggle());
        d.reject();
    }
    EXPECT_TRUE(cfgText("NOMBRE").isEmpty());
    cfg()->goTop();
    EXPECT_TRUE(cfg()->logical(QStringLiteral("LOGPAUTADO")));
    // the band list wrote at once, and its work area is gone with the dialog
    store::WorkArea* band = area(store::alias::kBand);
    bool seen = false;
    for (band->goTop(); !band->eof(); band->skip())
        if (band->str(QStringLiteral("CODBAN")).trimmed() == QLatin1String("20M")) {
            EXPECT_FALSE(band->logical(QStringLiteral("CLUSIN")));
            seen = true;
        }
    EXPECT_TRUE(seen);
    EXPECT_EQ(area(QStringLiteral("BandCls")), nullptr);
    EXPECT_TRUE(refreshed.isEmpty());
}

TEST_F(SettingsTest, OkWritesTheRecordAndABandTakenOutStopsItsSpots)
{
    EXPECT_EQ(put(spotLine("EA1XX", "14200.0", "JA1ABC", "", "0101")).spots.size(), 1);
    {
        SettingsDialog d(cfg(), QStringLiteral("Orlan Win Log"));
        auto* loc = d.findChild<QLineEdit*>(QStringLiteral("402"));
        loc->setText(QStringLiteral("IN80DO"));
        auto* qrzUser = d.findChild<QLineEdit*>(QStringLiteral("507"));
        qrzUser->setText(QStringLiteral("ea4zz"));
        d.findChild<QSpinBox*>(QStringLiteral("504"))->setValue(5);
        FlagList* bands = bandList(d);
        ASSERT_TRUE(goToCode(bands, "CODBAN", QStringLiteral("20M")));
        bands->toggle();
        d.accept();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    EXPECT_EQ(cfgText("QRA"), QStringLiteral("IN80DO"));
    EXPECT_EQ(cfgText("QRZUSR"), QStringLiteral("ea4zz"));
    cfg()->goTop();
    EXPECT_EQ(cfg()->num(QStringLiteral("VOICERATE")), 5);
    EXPECT_EQ(refreshed, (QStringList{"ManLog", "LogQsl", "QsoAnt"}));
    // what the shell does after OK: the cluster follows the new band list
    cluster::INIFILCLUS();
    EXPECT_TRUE(put(spotLine("EA1XX", "14210.0", "JA1ABD", "", "0102")).spots.isEmpty());
    EXPECT_EQ(put(spotLine("EA1XX", "7010.0", "JA1ABE", "", "0103")).spots.size(), 1);
}

TEST_F(SettingsTest, TheCallIsRequiredAndTheVoiceTestSpellsIt)
{
    SettingsDialog d(cfg(), QStringLiteral("Orlan Win Log"));
    d.show();
    auto* call = d.findChild<QLineEdit*>(QStringLiteral("400"));
    call->setText(QString());
    d.accept();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(msgs.take(), QStringList{"stop: Debe introducir un indicativo"});
    call->setText(QStringLiteral("EA4ZZ"));
    d.findChild<QSpinBox*>(QStringLiteral("505"))->setValue(3);
    d.findChild<QCheckBox*>(QStringLiteral("503"))->toggle();
    ASSERT_EQ(spoken.size(), 1);
    EXPECT_TRUE(spoken[0].startsWith(QStringLiteral("hello ") + cluster::ALPHA(QStringLiteral("EA4ZZ"))));
    EXPECT_TRUE(spoken[0].endsWith(QStringLiteral("|2|3")));
    d.reject();
}

TEST_F(SettingsTest, ARuleForTheModeHoldsAModeStatusOnlyAndCanBeDeleted)
{
    settings::SpotRulesList rules;
    store::WorkArea* a = rules.area();
    ASSERT_TRUE(a);
    const quint32 before = a->recCount();
    // a new rule: "Resaltar" Modo leaves only the mode's status
    QTimer::singleShot(0, [] {
        for (int i = 0; i < 100; ++i) {
            if (auto* d = qobject_cast<settings::SpotRuleDialog*>(QApplication::activeModalWidget())) {
                d->status(0)->setCurrentIndex(3);   // entity "Nuevo" first
                d->highlight()->setCurrentIndex(d->highlight()->findData(QStringLiteral("M")));
                EXPECT_FALSE(d->status(0)->isEnabled());
                EXPECT_TRUE(d->status(1)->isEnabled());
                d->status(1)->setCurrentIndex(d->status(1)->findData(QStringLiteral("N")));
                d->findChild<QLineEdit*>(QStringLiteral("604"))->setText(QStringLiteral("Modo nuevo"));
                d->accept();
                return;
            }
            QApplication::processEvents();
        }
    });
    rules.editRule(true);
    ASSERT_EQ(a->recCount(), before + 1);
    a->goBottom();
    EXPECT_EQ(a->str(QStringLiteral("FLD")).trimmed(), QStringLiteral("M"));
    EXPECT_EQ(a->str(QStringLiteral("STSENT")).trimmed(), QString());
    EXPECT_EQ(a->str(QStringLiteral("STSMODE")).trimmed(), QStringLiteral("N"));
    store::Value key;
    ASSERT_TRUE(a->eval(QStringLiteral("IF(Fld=\"*\",\"*\",\" \")+StsEnt+StsMode"), &key).isOk());
    EXPECT_EQ(key.toString(), QStringLiteral("  N"));

    // deleting asks first; "no" keeps it
    rules.grid()->refresh();
    ASSERT_TRUE(rules.grid()->setCurrentRecord(a->recNo()));
    const quint32 rec = a->recNo();
    msgs.answer(false);
    rules.deleteRule();
    a->goTo(rec);
    EXPECT_FALSE(a->deleted());
    msgs.answer(true);
    ASSERT_TRUE(rules.grid()->setCurrentRecord(rec));
    rules.deleteRule();
    EXPECT_EQ(msgs.take(), (QStringList{"yesNo: Confirma eliminacion del registro -> no",
                                        "yesNo: Confirma eliminacion del registro -> yes"}));
    store::Workspace::setDeletedHidden(false);
    a->goTo(rec);
    EXPECT_TRUE(a->deleted());
    store::Workspace::setDeletedHidden(true);
}

} // namespace
