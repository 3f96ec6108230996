// The log window, offscreen, over a real book.
#include "../gui_app.h"
#include "../interchange/cabrillo_home.h"

#include "logbook/qso_entry.h"
#include "logbook/views/entry_form.h"
#include "logbook/views/log_window.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include "../app/when_modal.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QHeaderView>
#include <QTabWidget>
#include <QTest>

namespace logbook::testing {
namespace {

using interchange::testing::SessionHome;
using testing_support::guiApp;

class LogWindowTest : public SessionHome {
protected:
    void SetUp() override
    {
        guiApp();
        SessionHome::SetUp();
        if (HasFatalFailure())
            return;
        add({.call = "EA1ABC", .date = QDate(2024, 1, 1), .time = "10:00", .freq = 14.2, .band = "20M", .mode = "SSB"});
        add({.call = "DL1ABC", .date = QDate(2024, 1, 2), .time = "11:00", .freq = 7.05, .band = "40M", .mode = "CW"});
        add({.call = "EA1ABC", .date = QDate(2024, 1, 3), .time = "12:00", .freq = 14.2, .band = "20M", .mode = "SSB"});
        add({.call = "K1ABC", .date = QDate(2024, 1, 4), .time = "13:00", .freq = 21.2, .band = "15M", .mode = "SSB"});
        log->setOrder(0);
        log->goBottom();
        log->lockRecord();
        log->put("CODENT", codeOf("291"));
        log->unlock();
        host.setTitle = [this](const QString& t) { title = t; };
        host.refreshWindow = [this](const QString& n) { refreshed << n; };
        host.ruledRows = true;
        host.background1 = 0xEAFFFF;   // red in the low byte
        host.background2 = 0xAAFFFF;
    }
    void TearDown() override
    {
        window.reset();
        CLSEDTLOG();
        SessionHome::TearDown();
    }
    int log2Count()
    {
        int n = 0;
        store::WorkArea* l2 = ws().area(store::alias::kLog2);
        for (l2->goTop(); !l2->eof(); l2->skip())
            ++n;
        return n;
    }

    LogWindowHost host;
    QString title;
    QStringList refreshed;
    std::unique_ptr<LogWindow> window;
};

TEST_F(LogWindowTest, TheGridShowsTheBookAndTheCursorDragsWhatFollowsIt)
{
    window.reset(LogWindow::open(host));
    ASSERT_TRUE(window);
    ui::tQ7Browse* grid = window->panel()->browse();
    QAbstractItemModel* m = grid->model();
    ASSERT_EQ(m->columnCount(), 30);
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "Hora\nInicio");
    EXPECT_EQ(m->headerData(13, Qt::Horizontal).toString(), "Dist.");
    EXPECT_EQ(m->headerData(29, Qt::Horizontal).toString(), "Key");
    EXPECT_EQ(grid->frozenColumns(), 3);
    EXPECT_EQ(grid->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(window->pages()->count(), 7);
    EXPECT_EQ(window->pages()->tabText(0), "   &1 Log   ");

    // it opens on the last QSO of the order, with the call in the title
    EXPECT_EQ(log->str("CALL").trimmed(), "K1ABC");
    EXPECT_TRUE(title.endsWith("[K1ABC]")) << title.toStdString();
    EXPECT_TRUE(refreshed.contains("QsoAnt"));
    EXPECT_EQ(window->pages()->tabText(4), "   Sonidos adjuntos (0)   ");
    // ruled rows: the third of the order in the second colour
    const int rows = m->rowCount();
    ASSERT_GE(rows, 3);
    EXPECT_EQ(m->index(2, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(0xFF, 0xFF, 0xAA));
    EXPECT_EQ(m->index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(0xFF, 0xFF, 0xEA));
    EXPECT_EQ(m->index(rows - 1, 6).data().toString(), "21.200");
    EXPECT_EQ(m->index(rows - 1, 10).data().toString().trimmed(), "ESTADOS UNIDOS") << "the entity's name";

    // moving to an earlier QSO limits the earlier-QSO list to its call
    QTest::keyClick(grid, Qt::Key_Up);
    EXPECT_EQ(log->str("CALL").trimmed(), "EA1ABC");
    EXPECT_EQ(log2Count(), 2);
    EXPECT_TRUE(title.endsWith("[EA1ABC]"));

    // Enter edits it in the entry form, which then follows the cursor
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_TRUE(EDTLOGVIS());
    EXPECT_EQ(entryForm()->entry()->text("CALL"), "EA1ABC");
    QTest::keyClick(grid, Qt::Key_Up);
    EXPECT_EQ(entryForm()->entry()->text("CALL"), "DL1ABC");
    // a new QSO being typed is not left without asking
    QTest::keyClick(grid, Qt::Key_Insert);
    msgs.answer(false);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_TRUE(msgs.log().contains("noYes: Desea abandonar el registro que esta dando de alta, sin guardarlo -> no"));
    EXPECT_TRUE(entryForm()->entry()->isNew());
}

TEST_F(LogWindowTest, TheLayoutStringRestoresOrderWidthsAndHiddenColumns)
{
    window.reset(LogWindow::open(host));
    ui::tQ7Browse* grid = window->panel()->browse();
    grid->horizontalHeader()->moveSection(4, 0);
    grid->setColumnWidth(7, 77);
    grid->setColumnHidden(20, true);
    const QString state = grid->SaveState();
    window.reset(LogWindow::open(host));
    grid = window->panel()->browse();
    grid->RestoreState(state);
    EXPECT_EQ(grid->horizontalHeader()->logicalIndex(0), 4);
    EXPECT_EQ(grid->columnWidth(7), 77);
    EXPECT_TRUE(grid->isColumnHidden(20));
    EXPECT_EQ(grid->SaveState(), state);
}

TEST_F(LogWindowTest, FilterBlockChangeAndDeletionFromTheBar)
{
    window.reset(LogWindow::open(host));
    ui::tQ7Browse* grid = window->panel()->browse();
    EXPECT_FALSE(window->action("unfilter")->isEnabled());
    EXPECT_FALSE(window->action("block")->isEnabled());

    // a start date alone selects that day
    whenModal<QDialog>([](QDialog* d) {
        auto* from = d->findChild<QLineEdit*>("602");
        from->setText("03-01-2024");
        d->findChild<QPushButton*>("1")->click();
    }, "LOGFIL");
    window->filter();
    EXPECT_TRUE(window->filtered());
    EXPECT_EQ(grid->model()->rowCount(), 1);
    EXPECT_TRUE(window->action("unfilter")->isEnabled());
    EXPECT_TRUE(msgs.log().join('\n').contains("registros seleccionados"));

    // the block change writes the band typed into the selection only
    whenModal<QDialog>([](QDialog* d) {
        auto* band = d->findChild<QComboBox*>("BAND");
        for (int i = 0; i < band->count(); ++i)
            if (band->itemData(i).toString().trimmed() == "40M")
                band->setCurrentIndex(i);
        d->findChild<QPushButton*>("1")->click();
    }, "CHGBLQ");
    window->blockChange();
    QStringList bands;
    log->setOrder(0);
    for (log->goTop(); !log->eof(); log->skip())
        bands << log->str("CALL").trimmed() + ":" + log->str("BAND").trimmed();
    EXPECT_EQ(bands.join(' '), "EA1ABC:20M DL1ABC:40M EA1ABC:40M K1ABC:15M");

    // removing the filter shows the whole book again
    window->removeFilter();
    EXPECT_FALSE(window->filtered());
    EXPECT_EQ(grid->model()->rowCount(), 4);

    // Delete asks with the call as title and takes the QSO away
    msgs.answer(true);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(grid->model()->rowCount(), 3);
    EXPECT_TRUE(msgs.log().join('\n').contains("Registro va a ser eliminado"));
}

TEST_F(LogWindowTest, TheAdvancedFilterTakesTheModulesExpression)
{
    QString expression = "Band = \"40M\"";
    host.advancedFilter = [&expression] { return expression; };
    window.reset(LogWindow::open(host));
    auto advanced = [] {
        whenModal<QDialog>([](QDialog* d) {
            auto* button = d->findChild<QPushButton*>("4004");
            ASSERT_TRUE(button && button->isEnabled());
            button->click();
        }, "LOGFIL");
    };
    advanced();
    window->filter();
    EXPECT_TRUE(window->filtered());
    EXPECT_EQ(window->panel()->browse()->model()->rowCount(), 1);
    window->removeFilter();
    // an expression that does not compile is said and filters nothing
    expression = "Band ==== ";
    advanced();
    window->filter();
    EXPECT_FALSE(window->filtered());
    EXPECT_EQ(window->panel()->browse()->model()->rowCount(), 4);
    EXPECT_TRUE(msgs.log().join('\n').contains("filtro no válida")) << msgs.log().join('\n').toStdString();
}

} // namespace
} // namespace logbook::testing
