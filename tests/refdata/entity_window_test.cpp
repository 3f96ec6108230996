// The entity window and its forms, offscreen, driven by their control ids
// over the shipped reference tables.
#include "../gui_app.h"
#include "shipped_home.h"

#include "refdata/entity_maintenance.h"
#include "refdata/views/entity_dialog.h"
#include "refdata/views/entity_window.h"
#include "refdata/views/prefix_dialog.h"

#include "../app/when_modal.h"
#include "../store/child_process.h"

#include "store/access.h"
#include "store/aliases.h"
#include "store/work_area.h"
#include "ui/grid_print.h"
#include "ui/q7browse.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

namespace refdata::testing {
namespace {

using store::Value;

using testing_support::guiApp;

// Types text into a field and leaves it, as a user does.
void type(QWidget* dialog, const char* id, const QString& text)
{
    auto* e = dialog->findChild<QLineEdit*>(QString::fromLatin1(id));
    ASSERT_TRUE(e) << id;
    e->setFocus();
    e->setText(text);
    emit e->editingFinished();
}

void press(QWidget* dialog, const char* id)
{
    auto* b = dialog->findChild<QPushButton*>(QString::fromLatin1(id));
    ASSERT_TRUE(b) << id;
    b->click();
}

class EntityWindowTest : public ShippedHome {
protected:
    void SetUp() override
    {
        guiApp();
        ShippedHome::SetUp();
        ASSERT_TRUE(store::NETUSE(QStringLiteral("PFX"), true, 1, store::alias::kPfx));
        ASSERT_TRUE(store::NETUSE(QStringLiteral("iota"), true, 1, store::alias::kIota));
    }
    void TearDown() override
    {
        panel.reset();
        ShippedHome::TearDown();
    }

    store::WorkArea* entMan() { return ws().area(QStringLiteral("EntMan")); }
    store::WorkArea* pfx() { return ws().area(store::alias::kPfx); }

    // Goes to the entity of a code in the window's table.
    void goToCode(const QString& code)
    {
        store::WorkArea* e = entMan();
        e->setOrder(QStringLiteral("CodEnt"));
        ASSERT_TRUE(e->seek(Value::text(code)).isOk());
        ASSERT_TRUE(e->found()) << code.toStdString();
    }

    // A code no prefix points to: a new entity made for the test.
    QString entityWithoutPrefixes()
    {
        const QString code = nextEntityCode(*entMan());
        EXPECT_TRUE(entMan()->append([&](store::WorkArea& a) {
            a.put(QStringLiteral("CODENT"), code);
            return a.put(QStringLiteral("NOMBRE"), QStringLiteral("ISLA DE PRUEBA"));
        }));
        entMan()->unlock();
        return code;
    }

    std::unique_ptr<EntityPanel> panel;
};

TEST_F(EntityWindowTest, ANewEntityGetsTheNextCodeAndItsAdifNumberPadded)
{
    panel.reset(EntityPanel::open());
    ASSERT_TRUE(panel);
    store::WorkArea* e = entMan();
    const quint32 before = e->recCount();
    const QString code = nextEntityCode(*e);

    whenModal<EntityDialog>([](EntityDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Alta de Entidad");
        EXPECT_FALSE(d->prefixList()) << "a new entity has no prefix list yet";
        type(d, "601", QStringLiteral("5"));
        EXPECT_EQ(d->findChild<QLineEdit*>("601")->text(), "005");
        type(d, "602", QStringLiteral("zz9"));
        type(d, "603", QStringLiteral("Isla Nueva"));
        d->findChild<QComboBox*>("604")->setCurrentText(QStringLiteral("14"));
        d->findChild<QComboBox*>("606")->setCurrentText(QStringLiteral("EU"));
        d->findChild<QComboBox*>("609")->setCurrentText(QStringLiteral("Baja"));
        type(d, "611", QStringLiteral("31-12-2020"));
        press(d, "1");
    });
    panel->newEntity();
    ASSERT_EQ(e->recCount(), before + 1);
    e->goTo(before + 1);
    EXPECT_EQ(e->str(QStringLiteral("DXCC")), "005");
    EXPECT_EQ(e->str(QStringLiteral("CODENT")), code);
    EXPECT_EQ(e->str(QStringLiteral("PFX")).trimmed(), "ZZ9");
    EXPECT_EQ(e->str(QStringLiteral("CQZ")), "14");
    EXPECT_EQ(e->str(QStringLiteral("SIT")), "B");
    EXPECT_EQ(e->date(QStringLiteral("FBAJA")), QDate(2020, 12, 31));
    // an entity that no longer counts is grey in the grid
    ui::tQ7Browse* grid = panel->browse();
    ASSERT_TRUE(grid->setCurrentRecord(before + 1));
    EXPECT_EQ(grid->currentIndex().data(Qt::ForegroundRole).value<QColor>(), QColor(128, 128, 128));

    // cancelling a new entity adds nothing
    whenModal<EntityDialog>([](EntityDialog* d) {
        type(d, "603", QStringLiteral("Otra"));
        press(d, "2");
    });
    panel->newEntity();
    EXPECT_EQ(e->recCount(), before + 1);
    // and entities are never deleted
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(msgs.take().last(), "alert: No pueden eliminarse entidades");
}

TEST_F(EntityWindowTest, NewCodesFollowTheHighestOneRightAligned)
{
    store::WorkArea* e = nullptr;
    ASSERT_TRUE(ws().use(QStringLiteral("ENT"), {.alias = QStringLiteral("EntMan"), .shared = false}, &e).isOk());
    ASSERT_TRUE(e->zap().isOk());
    EXPECT_EQ(nextEntityCode(*e), "  1");
    for (const char* code : {" 89", "  7"}) {
        ASSERT_TRUE(e->append([&](store::WorkArea& a) { return a.put(QStringLiteral("CODENT"), code); }).isOk());
        e->unlock();
    }
    EXPECT_EQ(nextEntityCode(*e), " 90");
    ASSERT_TRUE(e->append([](store::WorkArea& a) { return a.put(QStringLiteral("CODENT"), " 99"); }).isOk());
    e->unlock();
    e->goTo(1);
    EXPECT_EQ(nextEntityCode(*e), "100");
    EXPECT_EQ(e->recNo(), 1u) << "the table stays where it was";
}

TEST_F(EntityWindowTest, EditingAnEntityShowsItsPrefixesAndGivesAnEntityWithoutPrefixesAnEmptyOne)
{
    panel.reset(EntityPanel::open());
    const QString code = entityWithoutPrefixes();
    goToCode(code);
    whenModal<EntityDialog>([this, code](EntityDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Editar entidad");
        ui::GridPanel* list = d->prefixList();
        ASSERT_TRUE(list);
        EXPECT_EQ(list->browse()->model()->rowCount(), 1);
        EXPECT_EQ(pfx()->str(QStringLiteral("CODENT")), code);
        EXPECT_TRUE(pfx()->str(QStringLiteral("PFX")).trimmed().isEmpty());
        // the prefix form writes the prefix with its blanks removed
        whenModal<PrefixDialog>([](PrefixDialog* p) {
            type(p, "600", QStringLiteral("zz 9"));
            type(p, "603", QStringLiteral("jn11ab"));
            press(p, "1");
        });
        press(d, "4002");
        EXPECT_EQ(pfx()->str(QStringLiteral("PFX")).trimmed(), "ZZ9");
        EXPECT_EQ(pfx()->str(QStringLiteral("QRA")), "JN11AB");
        // a second prefix, then deleting it after the question
        whenModal<PrefixDialog>([](PrefixDialog* p) {
            type(p, "600", QStringLiteral("ZZ8"));
            press(p, "1");
        });
        press(d, "4001");
        EXPECT_EQ(list->browse()->model()->rowCount(), 2);
        msgs.answer(true);
        press(d, "4003");
        EXPECT_EQ(list->browse()->model()->rowCount(), 1);
        press(d, "2");
    });
    panel->editEntity();
    EXPECT_TRUE(msgs.log().contains(QStringLiteral("noYes: Se va a eliminar el prefijo ZZ8\r\nEsta seguro -> yes")))
        << msgs.log().join(u'\n').toStdString();
    // the prefix table is back as everybody expects it
    EXPECT_EQ(pfx()->orderName(), "PFX");
    pfx()->setOrder(QStringLiteral("CodEnt"));
    pfx()->seek(Value::text(code));
    ASSERT_TRUE(pfx()->found());
    EXPECT_EQ(pfx()->str(QStringLiteral("PFX")).trimmed(), "ZZ9");
    pfx()->skip();
    EXPECT_TRUE(pfx()->eof() || pfx()->str(QStringLiteral("CODENT")) != code) << "one prefix left";
}

TEST_F(EntityWindowTest, ASearchFindsTextInADeletedRecordAndGoesOn)
{
    panel.reset(EntityPanel::open());
    store::WorkArea* e = entMan();
    const QString code = entityWithoutPrefixes();
    goToCode(code);
    const quint32 hidden = e->recNo();
    ASSERT_TRUE(e->lockRecord().isOk());
    e->put(QStringLiteral("NOMBRE"), QStringLiteral("ISLA ESCONDIDA"));
    e->deleteRecord();
    e->unlock();
    panel->showCurrent();
    e->goTop();

    msgs.answer(QStringLiteral("escondida"));
    panel->search();
    EXPECT_EQ(panel->browse()->currentRecord(), hidden);
    EXPECT_EQ(e->recNo(), hidden);
    // nothing further: the next search says so and the grid stays
    panel->searchAgain();
    EXPECT_EQ(msgs.take().last(), "alert: No se ha encontrado la cadena");
    EXPECT_EQ(panel->browse()->currentRecord(), hidden);
}

TEST_F(EntityWindowTest, ARefusedLockWritesNothing)
{
    // another program holds the entity's record while the form is open
    ws().closeAll();
    int toChild[2], fromChild[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(fromChild), 0);
    const pid_t kid = store::testing::spawn([&] {
        store::Workspace w;
        w.setDataDir(data);
        store::WorkArea* a = nullptr;
        if (!w.use(QStringLiteral("ENT"), {.alias = QStringLiteral("Other")}, &a) || !a->goTo(1) || !a->lockRecord())
            return 2;
        store::testing::writeLine(fromChild[1], "locked");
        store::testing::readLine(toChild[0]);
        return 0;
    });
    ASSERT_EQ(store::testing::readLine(fromChild[0]), "locked");
    ASSERT_TRUE(store::NETUSE(QStringLiteral("PFX"), true, 1, store::alias::kPfx));
    panel.reset(EntityPanel::open());
    store::WorkArea* e = entMan();
    e->setOrder(0);
    e->goTo(1);
    const QString name = e->str(QStringLiteral("NOMBRE"));
    whenModal<EntityDialog>([](EntityDialog* d) {
        type(d, "603", QStringLiteral("NOMBRE CAMBIADO"));
        press(d, "1");
    });
    panel->editEntity();
    store::testing::writeLine(toChild[1], "done");
    EXPECT_EQ(store::testing::waitExit(kid), 0);
    EXPECT_TRUE(msgs.log().contains(QStringLiteral("alert: Record in use"))) << msgs.log().join(u'\n').toStdString();
    e->goTo(1);
    EXPECT_EQ(e->str(QStringLiteral("NOMBRE")), name);
}

TEST_F(EntityWindowTest, TheGridPrintsEveryEntityToPdf)
{
    panel.reset(EntityPanel::open());
    const QString file = program + QStringLiteral("entidades.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    const int rows = panel->browse()->model()->rowCount();
    ASSERT_GT(rows, 300);
    const int pages = ui::printGrid(panel->browse(), QStringLiteral("Entidades DXCC"), &printer);
    EXPECT_GT(pages, rows / 80) << "every row is printed, on pages of some tens";
    EXPECT_GT(QFile(file).size(), 10000);
}

} // namespace
} // namespace refdata::testing
