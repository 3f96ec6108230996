// The award windows offscreen: the entity panel following the entry form,
// the previous-QSO window's search and panel, and an award shown from its
// definition through the view-mode dialog.
#include "../gui_app.h"
#include "award_home.h"

#include "../app/when_modal.h"

#include "awards/views/award_config_window.h"
#include "awards/views/award_dialog.h"
#include "awards/views/award_view.h"
#include "awards/views/awards_host.h"
#include "awards/views/entity_grid.h"
#include "awards/views/entity_panel.h"
#include "awards/views/previous_qsos_window.h"
#include "logbook/views/entry_form.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QCheckBox>
#include <QFile>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace awards::testing {
namespace {

using testing_support::guiApp;

class AwardWindows : public AwardHome {
protected:
    void SetUp() override
    {
        guiApp();
        AwardHome::SetUp();
        if (HasFatalFailure())
            return;
        qputenv("ORLANLOG_OFFLINE", "1");
        AwardsHost host;
        host.showWindow = [this](const QString& name, const QString& title, QWidget* content, ui::GridPanel*) {
            shown.push_back({name, title});
            windows.emplace_back(content);
        };
        setAwardsHost(host);
    }
    void TearDown() override
    {
        windows.clear();
        closeEntityPanel();
        logbook::CLSEDTLOG();
        setAwardsHost({});
        AwardHome::TearDown();
    }
    std::vector<std::pair<QString, QString>> shown;
    std::vector<std::unique_ptr<QWidget>> windows;
};

TEST_F(AwardWindows, TheEntityPanelFollowsTheEntryForm)
{
    spain("20M", "SSB", "Y", "N", "EA4ZZ");
    spain("40M", "CW", "N", "Y", "EA5YY");
    qso({{"CALL", "DL1AA"}, {"BAND", "20M"}, {"MODE", "CW"}, {"CODENT", "225"}, {"DXCC", "230"}});
    logbook::EntryFormHost host;
    host.qsoShown = [] {
        if (logbook::EntryForm* f = logbook::entryForm())
            DXCCINFO(f, logbook::EDTLOGDBF());
    };
    logbook::setEntryFormHost(host, nullptr);
    logbook::EDTLOG(true, false, store::alias::kLog);
    logbook::EntryForm* form = logbook::entryForm();
    ASSERT_NE(form, nullptr);
    auto* call = form->findChild<QLineEdit*>(QStringLiteral("605"));
    ASSERT_NE(call, nullptr);
    call->setFocus();
    QTest::keyClicks(call, QStringLiteral("EA4ZZ"));
    EntityPanel* panel = entityPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->text("entity"), QStringLiteral("ESPAÑA"));
    EXPECT_EQ(panel->text("qsos"), QStringLiteral("2"));
    // beside the form, or kept on a screen too narrow for that
    const QRect room = form->screen()->availableGeometry();
    if (form->frameGeometry().right() + 1 + panel->frameGeometry().width() <= room.right())
        EXPECT_EQ(panel->pos().x(), form->frameGeometry().right() + 1);
    else
        EXPECT_LE(panel->frameGeometry().right(), room.right());
    // the entity's status, the cells of this call in green
    const EntityGrid* grid = panel->grid();
    const int c20 = int(panel->state().status().def.bands.indexOf("20M")) + 1;
    const int c40 = int(panel->state().status().def.bands.indexOf("40M")) + 1;
    int ssb = -1, cw = -1;
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (grid->item(r, 0)->text() == "SSB")
            ssb = r;
        if (grid->item(r, 0)->text() == "CW")
            cw = r;
    }
    ASSERT_GE(ssb, 0);
    ASSERT_GE(cw, 0);
    EXPECT_EQ(grid->item(ssb, c20)->text(), "C");
    EXPECT_EQ(grid->item(cw, c40)->text(), "L");
    EXPECT_NE(grid->item(ssb, c20)->background().color(), QColor(Qt::white));   // EA4ZZ worked there
    EXPECT_EQ(grid->item(cw, c40)->background().color(), QColor(Qt::white));    // another call

    // another call, another entity
    call->selectAll();
    QTest::keyClicks(call, QStringLiteral("DL1AA"));
    EXPECT_EQ(panel->text("entity"), QStringLiteral("ALEMANIA"));
    EXPECT_EQ(panel->text("qsos"), QStringLiteral("1"));

    // the panel goes with the form
    form->hide();
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(AwardWindows, ThePreviousQsoWindowSearchesAndDescribesTheStation)
{
    for (const char* c : {"DD1AA", "EA4DD", "DL5DDX", "DA0XX"})
        qso({{"CALL", c}, {"BAND", "20M"}, {"MODE", "SSB"}, {"CODENT", "225"}, {"DXCC", "230"}, {"GRIDSQUARE", "JO62QM"}});
    std::unique_ptr<PreviousQsosWindow> w(PreviousQsosWindow::open());
    ASSERT_NE(w, nullptr);
    ui::tQ7Browse* grid = w->panel()->browse();
    QTest::keyClicks(w->searchField(), QStringLiteral("dd"));
    EXPECT_EQ(grid->model()->rowCount(), 3);
    w->partialBox()->setChecked(false);
    EXPECT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(w->shown("entity"), QStringLiteral("ALEMANIA"));
    EXPECT_EQ(w->shown("cqz"), QStringLiteral("14"));
    EXPECT_EQ(w->shown("localTime"), QStringLiteral("  :  "));
    EXPECT_NE(w->shown("sunrise"), QStringLiteral("  :  "));

    // a call no QSO matches: the entity of the typed text
    w->searchField()->clear();
    QTest::keyClicks(w->searchField(), QStringLiteral("VE3"));
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_EQ(w->shown("entity"), QStringLiteral("CANADA"));

    // no service (offline): the local time from the entity's difference, and it says so
    w->askLocalTime();
    EXPECT_EQ(w->shown("localTime").size(), 7);
    EXPECT_EQ(w->shown("localSource"), QStringLiteral("(entidad)"));
}

TEST_F(AwardWindows, AnAwardIsShownFromItsWorkingCopy)
{
    spain("20M", "SSB", "Y");
    qso({{"CALL", "A1AA"}, {"BAND", "20M"}, {"MODE", "SSB"}, {"CODENT", "  2"}, {"DXCC", "002"}});
    msgs.answer(1);   // "Activas"
    whenModal<QDialog>([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Ver diploma"));
        EXPECT_FALSE(d->findChild<QLineEdit*>(QStringLiteral("602"))->isEnabled());
        EXPECT_TRUE(d->findChild<QComboBox*>(QStringLiteral("604"))->isEnabled());
        d->findChild<QCheckBox*>(QStringLiteral("626"))->setChecked(false);   // modes apart
        d->findChild<QPushButton*>(QStringLiteral("1"))->click();
    }, QStringLiteral("DPLCFG"));
    DPLVIS(QStringLiteral("DXCC"));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, QStringLiteral("EstDpl"));
    EXPECT_EQ(shown[0].second, QStringLiteral("Estadísticas diploma DXCC"));
    EXPECT_TRUE(msgs.log().join('\n').contains(QStringLiteral("¿ INCLUIR ENTIDADES ?")));
    store::WorkArea* dpl = ws().area(QStringLiteral("Dpl"));
    ASSERT_NE(dpl, nullptr);
    QStringList rows;
    for (dpl->goTop(); !dpl->eof(); dpl->skip())
        rows << dpl->str("DESC").trimmed() + u'/' + dpl->str("MODO").trimmed();
    EXPECT_EQ(rows, (QStringList{"ESPAÑA/SSB", "·Trabajados/SSB", "··Confirmados/SSB"}));
    EXPECT_FALSE(ws().exists(QStringLiteral("DplTmp")));

    // a second view while one is open is refused
    DPLVIS(QStringLiteral("WAZ"));
    EXPECT_TRUE(msgs.log().last().contains(QStringLiteral("Ya hay una ventana de diplomas activa")));
    // closing the view erases the status table
    windows.clear();
    EXPECT_EQ(ws().area(QStringLiteral("Dpl")), nullptr);
    EXPECT_FALSE(ws().exists(QStringLiteral("Dpl")));
}

TEST_F(AwardWindows, ADuplicateCodeIsRefusedAndTheDialogCleared)
{
    store::WorkArea* cfg = nullptr;
    ASSERT_TRUE(ws().use(QStringLiteral("DplCfg"), {.alias = "DplCfgEdit"}, &cfg).isOk());
    const quint32 before = cfg->recCount();
    AwardDialog d(AwardDef{}, true, false, cfg);
    auto* code = d.findChild<QLineEdit*>(QStringLiteral("601"));
    auto* description = d.findChild<QLineEdit*>(QStringLiteral("602"));
    description->setText(QStringLiteral("algo"));
    code->setText(QStringLiteral("WAZ"));
    emit code->editingFinished();
    EXPECT_TRUE(code->text().isEmpty());
    EXPECT_TRUE(description->text().isEmpty());
    EXPECT_TRUE(msgs.log().last().contains(QStringLiteral("WAZ ya esta dado de alta")));
    EXPECT_EQ(cfg->recCount(), before);
}

TEST_F(AwardWindows, OkWithoutAChangeWritesNothingAndAChangeIsWritten)
{
    store::WorkArea* cfg = nullptr;
    ASSERT_TRUE(ws().use(QStringLiteral("DplCfg"), {.alias = "DplCfgEdit"}, &cfg).isOk());
    for (cfg->goTop(); !cfg->eof() && cfg->str("CODDPL").trimmed() != "WAZ"; cfg->skip())
        ;
    ASSERT_FALSE(cfg->eof());
    const QString path = cfg->table().path();
    const QByteArray before = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    whenModal<QDialog>([](QDialog* d) { d->findChild<QPushButton*>(QStringLiteral("1"))->click(); }, QStringLiteral("DPLCFG"));
    EXPECT_TRUE(EDTDPLCFG(cfg, false, false));
    const QByteArray after = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    EXPECT_EQ(after, before);

    whenModal<QDialog>([](QDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("602"))->setText(QStringLiteral("Zonas CQ"));
        d->findChild<QPushButton*>(QStringLiteral("1"))->click();
    }, QStringLiteral("DPLCFG"));
    EXPECT_TRUE(EDTDPLCFG(cfg, false, false));
    AwardDef waz;
    ASSERT_TRUE(findDefinition(QStringLiteral("WAZ"), &waz));
    EXPECT_EQ(waz.description, QStringLiteral("Zonas CQ"));
    EXPECT_EQ(waz.field, QStringLiteral("CQZ"));
}

TEST_F(AwardWindows, DeletingAnAwardAsksWithItsDescription)
{
    std::unique_ptr<ui::GridPanel> panel(openAwardConfigPanel());
    ASSERT_NE(panel, nullptr);
    store::WorkArea* cfg = panel->area();
    for (cfg->goTop(); !cfg->eof() && cfg->str("CODDPL").trimmed() != "IOTA"; cfg->skip())
        ;
    panel->showCurrent();
    msgs.answer(false);
    QTest::keyClick(panel->browse(), Qt::Key_Delete);
    EXPECT_EQ(msgs.log().last(), QStringLiteral("noYes: Se va a eliminar el diploma Islands On The Air\r\nEsta seguro -> no"));
    AwardDef d;
    EXPECT_TRUE(findDefinition(QStringLiteral("IOTA"), &d));
    msgs.answer(true);
    QTest::keyClick(panel->browse(), Qt::Key_Delete);
    EXPECT_FALSE(findDefinition(QStringLiteral("IOTA"), &d));
}

} // namespace
} // namespace awards::testing
