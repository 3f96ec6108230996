// Pages 6 and 7 of the log window, the context menu's QSL items, the list
// box, printing through its seams and the format dialog, offscreen over a real book.
#include "qsl_home.h"

#include "../app/when_modal.h"
#include "../gui_app.h"

#include "logbook/views/entry_form.h"
#include "logbook/views/log_window.h"
#include "logbook/views/qso_menu.h"
#include "qsl/spool.h"
#include "qsl/views/format_window.h"
#include "qsl/views/qsl_pages.h"
#include "qsl/views/qsl_print.h"
#include "ui/grid_panel.h"
#include "ui/gui_messages.h"
#include "ui/q7browse.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

using namespace qsl;

namespace {

class QslPages : public qsl::testing::QslHome {
protected:
    void SetUp() override
    {
        testing_support::guiApp();
        QslHome::SetUp();
        if (HasFatalFailure())
            return;
        registerQslPages({.exportSpoolAdif = [this](QWidget*) { ++adifExports; }});
        a = qso(QStringLiteral("EA1XX"), QStringLiteral(" 89"), QStringLiteral("20M"), QStringLiteral("SSB"), "N", 1);
        b = qso(QStringLiteral("EA1XX"), QStringLiteral(" 89"), QStringLiteral("20M"), QStringLiteral("SSB"), "N", 2);
        c = qso(QStringLiteral("DL1AB"), QStringLiteral("230"), QStringLiteral("40M"), QStringLiteral("CW"), "N", 3);
        d = qso(QStringLiteral("K1ABC"), QStringLiteral("291"), QStringLiteral("15M"), QStringLiteral("SSB"), "N", 4);
        setPrintSeams({.direct = [this](const Format&, const RowSet& r, int) { printed += int(r.rows.size()); return true; },
                       .preview = [this](const Format&, const RowSet& r, int) { previewed += int(r.rows.size()); return true; }});
        addFormat(QStringLiteral("Tarjeta"), false, shippedCardDesign(), true);
    }
    void TearDown() override
    {
        window.reset();
        logbook::CLSEDTLOG();
        setPrintSeams({});
        QslHome::TearDown();
    }
    void open()
    {
        window.reset(logbook::LogWindow::open({}));
        ASSERT_TRUE(window);
        desk = qobject_cast<QslDeskPage*>(window->pages()->widget(5));
        spoolPage = qobject_cast<SpoolPage*>(window->pages()->widget(6));
        ASSERT_TRUE(desk && spoolPage);
    }
    QStringList spoolCalls()
    {
        QStringList l;
        spool()->setOrder(QStringLiteral("PrnQsl"));
        for (spool()->goTop(); !spool()->eof(); spool()->skip())
            l << spool()->str(QStringLiteral("CALL")).trimmed() + QLatin1Char(':') + spool()->date(QStringLiteral("QSODATE")).toString("d");
        return l;
    }
    // The QSL item of the context menu of a grid.
    void runMenu(ui::tQ7Browse* grid, const QString& alias, const QString& text)
    {
        QMenu* m = logbook::MNUPOP(grid, alias);
        for (QAction* act : m->actions())
            if (act->text() == text) {
                ASSERT_TRUE(act->isEnabled()) << text.toStdString();
                act->trigger();
            }
        delete m;
    }

    quint32 a = 0, b = 0, c = 0, d = 0;
    int printed = 0, previewed = 0, adifExports = 0;
    std::unique_ptr<logbook::LogWindow> window;
    QslDeskPage* desk = nullptr;
    SpoolPage* spoolPage = nullptr;
};

TEST_F(QslPages, TheDeskHasItsBarOrdersAndKeys)
{
    open();
    EXPECT_EQ(window->pages()->tabText(5), "   &6 Gestión QSL   ");
    ui::tQ7Browse* grid = desk->panel()->browse();
    EXPECT_EQ(grid->model()->columnCount(), 30);
    EXPECT_EQ(grid->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(desk->action("rx")->text(), "QSL recibida");
    EXPECT_EQ(desk->action("rx")->toolTip(), "F5-Marcar QSL como recibida");
    EXPECT_EQ(desk->action("rxqueue")->toolTip(), "F7-Marcar QSL RX+enviar a cola");
    EXPECT_FALSE(desk->action("unfilter")->isEnabled());
    EXPECT_FALSE(desk->action("printFiltered")->isEnabled());
    EXPECT_FALSE(desk->action("spoolFiltered")->isEnabled());
    // order by call, on the last row
    EXPECT_EQ(desk->orderList()->currentText(), "Indicativo");
    EXPECT_EQ(desk->orderTabs()->count(), 6);
    EXPECT_EQ(QString::fromLatin1(logQsl()->orderName()).toLower(), "call");
    EXPECT_EQ(logQsl()->str("CALL").trimmed(), "K1ABC");
    desk->orderTabs()->tabBarClicked(0);
    desk->setOrder(0);
    EXPECT_EQ(desk->orderList()->currentText(), "Fecha y Hora");
    EXPECT_TRUE(QString::fromLatin1(logQsl()->orderName()).toLower().startsWith("qsodatetim"));

    // F5 marks the card under the cursor received; F7 queues the answer
    grid->setCurrentRecord(c);
    QTest::keyClick(grid, Qt::Key_F5);
    EXPECT_EQ(field(c, "QSLRCVD"), "Y");
    grid->setCurrentRecord(d);
    QTest::keyClick(grid, Qt::Key_F7);
    EXPECT_EQ(field(d, "QSLSENT"), "Q");
    EXPECT_EQ(spoolCalls(), QStringList{"K1ABC:4"});
    // F6 prints it at once through the printer
    grid->setCurrentRecord(a);
    QTest::keyClick(grid, Qt::Key_F6);
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(field(a, "QSLSENT"), "Y");
    // without a printer it says so, and the card is not marked sent
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        setPrintSeams({});
        msgs.take();
        grid->setCurrentRecord(b);
        QTest::keyClick(grid, Qt::Key_F6);
        EXPECT_EQ(field(b, "QSLRCVD"), "Y");
        EXPECT_EQ(field(b, "QSLSENT"), "N");
        EXPECT_TRUE(msgs.log().join('|').contains("stop: No hay ninguna impresora instalada")) << msgs.log().join('|').toStdString();
    }
    // the cursor drags the earlier-QSO list
    store::WorkArea* log2 = ws().area(store::alias::kLog2);
    int n = 0;
    for (log2->goTop(); !log2->eof(); log2->skip())
        ++n;
    EXPECT_EQ(n, 2) << "the two QSOs of EA1XX";
}

TEST_F(QslPages, FilteredViewGoesToTheSpoolWithItsCount)
{
    open();
    spoolAdd(at(log(), a));
    whenModal<QDialog>([](QDialog* dlg) {
        dlg->findChild<QLineEdit*>("601")->setText("EA");
        dlg->findChild<QPushButton*>("1")->click();
    }, "LOGFIL");
    desk->filter();
    ASSERT_TRUE(desk->filtered());
    EXPECT_FALSE(desk->orderList()->isEnabled());
    EXPECT_TRUE(desk->action("spoolFiltered")->isEnabled());
    msgs.take();
    desk->action("spoolFiltered")->trigger();
    EXPECT_EQ(msgs.take().join('|'), "info: 2 enviado a cola de impresión") << "QSOs already spooled count too";
    EXPECT_EQ(spoolCalls(), (QStringList{"EA1XX:1", "EA1XX:2"}));
    // printing the filtered view previews and marks them sent on yes
    msgs.answer(true);
    desk->action("printFiltered")->trigger();
    EXPECT_EQ(previewed, 2);
    EXPECT_EQ(field(b, "QSLSENT"), "Y");
    EXPECT_TRUE(spoolCalls().isEmpty());
    desk->removeFilter();
    EXPECT_FALSE(desk->filtered());
    EXPECT_TRUE(desk->orderList()->isEnabled());
}

TEST_F(QslPages, TheSpoolTakesOutEmptiesAndRemovesDuplicates)
{
    open();
    EXPECT_EQ(spoolPage->action("takeOut")->text(), "Sacar de cola");
    EXPECT_EQ(spoolPage->action("duplicates")->toolTip(), "Elimina de la cola contactos duplicados");
    spoolAdd(*log(), {a, b, c, d});
    ui::tQ7Browse* grid = spoolPage->panel()->browse();
    grid->refresh();
    // taking the last row out puts the cursor on the new last row
    spool()->setOrder(QStringLiteral("PrnQsl"));
    spool()->goBottom();
    const QString last = spool()->str("CALL").trimmed();
    spoolPage->takeOut();
    EXPECT_EQ(spoolCalls().size(), 3) << msgs.log().join('|').toStdString();
    spool()->goBottom();
    const quint32 newLast = spool()->recNo();
    EXPECT_EQ(grid->currentRecord(), newLast) << last.toStdString();
    // duplicates under the wait message
    msgs.take();
    spoolPage->action("duplicates")->trigger();
    const QStringList said = msgs.take();
    EXPECT_EQ(said.value(0), "wait: Eliminado registros duplicados de la cola de QSL");
    EXPECT_TRUE(said.join('|').contains("Se han eliminado")) << said.join('|').toStdString();
    // the ADIF export is the shell's, and the drop-down empties the spool
    spoolPage->action("adif")->trigger();
    EXPECT_EQ(adifExports, 1);
    spoolPage->action("empty")->trigger();
    EXPECT_TRUE(spoolCalls().isEmpty());
    EXPECT_EQ(grid->model()->rowCount(), 0);
}

TEST_F(QslPages, TheLogPageSendsItsRowsToTheSpool)
{
    open();
    QAction* button = window->action("spool");
    ASSERT_TRUE(button->isEnabled());
    ui::tQ7Browse* grid = window->panel()->browse();
    grid->setCurrentRecord(c);
    button->trigger();
    EXPECT_EQ(spoolCalls(), QStringList{"DL1AB:3"});
    QAction* all = button->menu()->findChild<QAction*>("spoolFiltered");
    ASSERT_TRUE(all);
    emit button->menu()->aboutToShow();
    EXPECT_FALSE(all->isEnabled()) << "only while filtered";
}

TEST_F(QslPages, ContextMenuMarksTheSelectedRows)
{
    open();
    ui::tQ7Browse* grid = desk->panel()->browse();
    grid->setCurrentRecord(a);
    grid->clearSelection();
    grid->selectRow(grid->rowOf(a));
    grid->selectionModel()->select(grid->model()->index(grid->rowOf(c), 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    runMenu(grid, store::alias::kLogQsl, "Marcar QSL enviada via buro");
    EXPECT_EQ(field(a, "QSLSENT"), "Y");
    EXPECT_EQ(field(a, "QSLMODE"), "B");
    EXPECT_EQ(field(c, "QSLMODE"), "B");
    EXPECT_EQ(field(b, "QSLSENT"), "N");
    EXPECT_LE(grid->selectedRecords().size(), 1u) << "the selection is cleared (the current row may stay marked)";

    grid->setCurrentRecord(d);
    runMenu(grid, store::alias::kLogQsl, "Enviar a cola de impresión");
    EXPECT_EQ(spoolCalls(), QStringList{"K1ABC:4"});
    // on a spooled QSO the item is off
    QMenu* m = logbook::MNUPOP(grid, store::alias::kLogQsl);
    for (QAction* act : m->actions()) {
        if (act->text() == "Enviar a cola de impresión") {
            EXPECT_FALSE(act->isEnabled());
        }
    }
    delete m;
    runMenu(grid, store::alias::kLogQsl, "Imprimir QSL");
    EXPECT_EQ(printed, 1);
    grid->setCurrentRecord(b);
    runMenu(grid, store::alias::kLogQsl, "Marcar QSl recibida y enviar a cola");
    EXPECT_EQ(field(b, "QSLRCVD"), "Y");
    EXPECT_EQ(field(b, "QSLSENT"), "Q");
}

TEST_F(QslPages, ListBoxAnswersTheChosenRow)
{
    ui::GuiMessages gui(nullptr, QStringLiteral("Orlan Win Log"));
    whenModal<QDialog>([](QDialog* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Selecciona formato de QSL");
        auto* list = dlg->findChild<QListWidget*>();
        EXPECT_EQ(list->currentRow(), 1) << "the preselection";
        list->setCurrentRow(2);
        dlg->findChild<QPushButton*>()->click();
    }, "MSGLIST");
    EXPECT_EQ(gui.list({"A", "B", "C"}, "Selecciona formato de QSL", 1), 2);
    whenModal<QDialog>([](QDialog* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Array list");
        EXPECT_EQ(dlg->findChild<QPushButton*>()->text(), "&OK");
        dlg->accept();
    }, "MSGLIST");
    EXPECT_EQ(gui.list({"A", "B"}), 0);
    whenModal<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->text(), "Incorrect parameter passed to function MsgList");
        box->accept();
    });
    EXPECT_EQ(gui.list({}), -1);
}

TEST_F(QslPages, TheFormatDialogWritesOnlyWhatChanged)
{
    frm()->goTop();
    const quint32 rec = frm()->recNo();
    {
        FormatDialog dlg(frm(), false, false);
        EXPECT_EQ(dlg.windowTitle(), "Formatos QSL");
        EXPECT_EQ(dlg.edit(600)->text(), "Tarjeta");
        EXPECT_FALSE(dlg.spin(602)->isEnabled()) << "label fields only for label formats";
        EXPECT_FALSE(dlg.edit(603)->isEnabled());
        dlg.accept();
        EXPECT_FALSE(dlg.written());
    }
    {
        FormatDialog dlg(frm(), false, false);
        dlg.labelBox()->setChecked(true);
        EXPECT_TRUE(dlg.spin(608)->isEnabled());
        dlg.spin(608)->setValue(24);
        dlg.edit(600)->setText("Etiquetas 3x8");
        dlg.accept();
        EXPECT_TRUE(dlg.written());
    }
    frm()->goTo(rec);
    EXPECT_EQ(frm()->str("DESC").trimmed(), "Etiquetas 3x8");
    EXPECT_TRUE(frm()->logical("LBL"));
    EXPECT_EQ(int(frm()->num("ETIXPAG")), 24);
    // the format window shows it on the label page
    std::unique_ptr<FormatWindow> w(FormatWindow::open());
    ASSERT_TRUE(w);
    EXPECT_EQ(w->pages()->tabText(0), "Etiquetas");
    EXPECT_EQ(w->panel(0)->browse()->model()->rowCount(), 1);
    EXPECT_EQ(w->panel(1)->browse()->model()->rowCount(), 0);
}

} // namespace
