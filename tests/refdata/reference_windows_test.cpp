// The known-stations, IOTA, band and mode windows offscreen: their bars, grids
// and keys, and the edit dialogs they open.
#include "../app/when_modal.h"
#include "../store/child_process.h"
#include "gui_home.h"

#include "refdata/reference_edits.h"
#include "refdata/views/reference_tables.h"
#include "store/work_area.h"
#include "ui/grid_panel.h"
#include "ui/q7browse.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

#include <memory>

namespace refdata::testing {
namespace {

using store::Value;
using Panel = std::unique_ptr<ui::GridPanel>;

class ReferenceWindows : public GuiHome {
protected:
    void TearDown() override
    {
        panel.reset();
        GuiHome::TearDown();
    }

    ui::tQ7Browse* grid() const { return panel->browse(); }
    store::WorkArea* area() const { return grid()->area(); }

    // "caption | tooltip" of each bar button.
    QStringList buttons() const
    {
        QStringList out;
        for (QAction* a : panel->bar()->actions())
            out << a->text() + " | " + a->toolTip();
        return out;
    }
    QStringList headers() const
    {
        QStringList out;
        for (int c = 0; c < grid()->columnCount(); ++c)
            out << grid()->model()->headerData(c, Qt::Horizontal).toString();
        return out;
    }
    QString cellOfCurrent(int column) const { return grid()->model()->index(grid()->currentIndex().row(), column).data().toString(); }
    void key(Qt::Key k) { QTest::keyClick(grid(), k); }

    Panel panel;
};

// Acts on the edit dialog named name as it shows; a dialog the act left open
// (a failed expectation) is cancelled.
void whenEditing(const QString& name, std::function<void(QDialog*)> act)
{
    whenModal<QDialog>(
        [act](QDialog* d) {
            act(d);
            if (d->isVisible())
                d->reject();
        },
        name);
}

void type(QDialog* d, const char* id, const QString& text)
{
    auto* e = d->findChild<QLineEdit*>(id);
    ASSERT_TRUE(e) << id;
    e->selectAll();
    QTest::keyClicks(e, text);
}

void press(QDialog* d, const char* id) { d->findChild<QPushButton*>(id)->click(); }

TEST_F(ReferenceWindows, KnownStationsAddEditAndDeleteWithTheirKeys)
{
    panel.reset(knownStationsPanel());
    ASSERT_TRUE(panel);
    EXPECT_EQ(buttons(), QStringList({"&Nuevo | (Insert)Añadir registro", "&Editar | Modificar registro",
                                      "&Eliminar | '(Del)Borrar registro'"}));
    EXPECT_EQ(panel->bar()->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    EXPECT_EQ(headers(), QStringList({"Indicativo", "Anotación"}));
    EXPECT_FALSE(grid()->verticalHeader()->isHidden());   // the record selector
    EXPECT_EQ(cellOfCurrent(0), "ORLAN");

    // Insert, then "Cancelar": nothing is added and the grid stays where it was
    whenEditing("EDTKNOW", [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Editar Registros");
        EXPECT_TRUE(d->findChild<QLineEdit*>("601")->text().isEmpty());
        type(d, "601", "ea1zzz");
        press(d, "2");
    });
    key(Qt::Key_Insert);
    EXPECT_EQ(area()->keyCount(), 1u);
    EXPECT_EQ(cellOfCurrent(0), "ORLAN");

    for (const char* call : {"ea1zzz", "ea1aaa"}) {
        whenEditing("EDTKNOW", [call](QDialog* d) {
            type(d, "601", call);
            type(d, "602", "Vecino");
            press(d, "1");
        });
        key(Qt::Key_Insert);
        EXPECT_EQ(cellOfCurrent(0), QString(call).toUpper());   // the grid shows the record added
    }
    EXPECT_EQ(area()->keyCount(), 3u);

    // Space edits the grid's record
    grid()->setCurrentIndex(grid()->model()->index(1, 0));
    whenEditing("EDTKNOW", [](QDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("601")->text(), "EA1ZZZ");
        type(d, "602", "Vecino del quinto");
        press(d, "1");
    });
    key(Qt::Key_Space);
    EXPECT_EQ(cellOfCurrent(1), "Vecino del quinto");

    // Delete asks; "No" keeps the record, "Si" deletes it and the grid moves up a row
    msgs.answer(false);
    key(Qt::Key_Delete);
    EXPECT_EQ(area()->keyCount(), 3u);
    msgs.answer(true);
    key(Qt::Key_Delete);
    EXPECT_EQ(area()->keyCount(), 2u);
    EXPECT_EQ(cellOfCurrent(0), "EA1AAA");
    EXPECT_EQ(msgs.take().last(), "noYes: Se va a eliminar el registro EA1ZZZ\r\nEsta seguro -> yes");
}

// Another computer holds the record being edited: the user is told, the dialog
// keeps what was typed, and the table keeps what it had.
TEST_F(ReferenceWindows, AnEditRefusedByALockWritesNothing)
{
    int toParent[2], toChild[2];
    ASSERT_EQ(pipe(toParent), 0);
    ASSERT_EQ(pipe(toChild), 0);
    const QString dir = data;
    const pid_t child = store::testing::spawn([&] {
        store::Workspace w;
        w.setDataDir(dir);
        store::WorkArea* k = nullptr;
        if (!w.use("know", {.alias = "know"}, &k) || !k->goTop() || !k->lockRecord())
            return 1;
        store::testing::writeLine(toParent[1], "locked");
        store::testing::readLine(toChild[0]);
        k->unlock();
        return 0;
    });
    ASSERT_EQ(store::testing::readLine(toParent[0]), "locked");

    panel.reset(knownStationsPanel());
    ASSERT_TRUE(panel);
    const QString note = area()->str("NOTA");
    bool stayedOpen = false;
    whenEditing("EDTKNOW", [&](QDialog* d) {
        type(d, "602", "Otra nota");
        press(d, "1");
        stayedOpen = d->isVisible() && d->findChild<QLineEdit*>("602")->text() == "Otra nota";
        press(d, "2");
    });
    key(Qt::Key_Return);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(msgs.take(), QStringList({"alert: Record in use"}));

    store::testing::writeLine(toChild[1], "done");
    EXPECT_EQ(store::testing::waitExit(child), 0);
    area()->goTop();
    EXPECT_EQ(area()->str("NOTA"), note);
}

TEST_F(ReferenceWindows, IotaKeepsTheReferenceOfARecordAndWantsAWholeOneForANewRecord)
{
    panel.reset(iotaPanel());
    ASSERT_TRUE(panel);
    ASSERT_EQ(area(), ws().area("iotaMan"));
    EXPECT_EQ(buttons(), QStringList({"Nuevo | Alta nuevo registro", "Editar | Editar registro",
                                      "Eliminar | Eliminar Registro"}));
    EXPECT_EQ(panel->bar()->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(headers(), QStringList({"Cod.\nIota", "Nombre", "Entidad"}));
    EXPECT_EQ(grid()->frozenColumns(), 2);

    area()->seek(Value::text(QByteArray("EU-004")));
    ASSERT_TRUE(grid()->setCurrentRecord(area()->recNo()));
    EXPECT_EQ(cellOfCurrent(2), "ISLAS BALEARES");
    whenEditing("EDTIOTA", [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Mantenimiento IOTA");
        auto* reference = d->findChild<QLineEdit*>("601");
        EXPECT_TRUE(reference->isReadOnly());
        EXPECT_EQ(reference->text(), "EU-004");
        EXPECT_EQ(d->findChild<QComboBox*>("603")->currentText(), "ISLAS BALEARES");
        type(d, "602", "ISLAS BALEARES");
        press(d, "1");
    });
    key(Qt::Key_Return);
    EXPECT_EQ(area()->str("IOTA"), "EU-004");
    EXPECT_EQ(area()->str("NOMBRE2").trimmed(), "EU004 ISLAS BALEARES");
    EXPECT_EQ(cellOfCurrent(1), "ISLAS BALEARES");

    const quint32 count = area()->keyCount();
    whenEditing("EDTIOTA", [](QDialog* d) {
        auto* ok = d->findChild<QPushButton*>("1");
        EXPECT_FALSE(ok->isEnabled());
        QTest::keyClicks(d->findChild<QLineEdit*>("601"), "eu40");
        EXPECT_FALSE(ok->isEnabled());   // "EU-40": three digits are needed
        QTest::keyClicks(d->findChild<QLineEdit*>("601"), "0");
        EXPECT_EQ(d->findChild<QLineEdit*>("601")->text(), "EU-400");
        EXPECT_TRUE(ok->isEnabled());
        type(d, "602", "Isla Nueva");
        auto* entity = d->findChild<QComboBox*>("603");
        entity->setCurrentIndex(entity->findText("ESPAÑA"));
        press(d, "1");
    });
    key(Qt::Key_Insert);
    EXPECT_EQ(area()->keyCount(), count + 1);
    EXPECT_EQ(area()->str("IOTA"), "EU-400");
    EXPECT_EQ(area()->str("CODENT"), " 89");
    EXPECT_EQ(area()->str("NOMBRE2").trimmed(), "EU400 Isla Nueva");
    EXPECT_EQ(cellOfCurrent(0), "EU-400");

    msgs.answer(true);
    key(Qt::Key_Delete);
    EXPECT_EQ(area()->keyCount(), count);
    EXPECT_EQ(msgs.take().last(), "noYes: Se va a eliminar la referenncia EU-400\r\nEsta seguro -> yes");

    panel.reset();   // the window's own work area closes with it
    EXPECT_EQ(ws().area("iotaMan"), nullptr);
}

TEST_F(ReferenceWindows, BandsAndModesAreAddedAndEditedButNeverDeleted)
{
    panel.reset(bandsPanel());
    ASSERT_TRUE(panel);
    EXPECT_EQ(buttons(), QStringList({"Nuevo | Alta nuevo registro", "Editar | Editar registro"}));
    EXPECT_EQ(headers(), QStringList({"Cod.\nBanda", "Descripción"}));
    EXPECT_EQ(grid()->frozenColumns(), 2);
    const quint32 bands = area()->recCount();
    key(Qt::Key_Delete);
    EXPECT_EQ(msgs.take(), QStringList({"stop: No pueden eliminarse registros"}));
    EXPECT_EQ(area()->recCount(), bands);
    whenEditing("EDTBAN", [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Mantenimiento de bandas");
        EXPECT_FALSE(d->findChild<QPushButton*>("1")->isEnabled());   // a band needs its code
        type(d, "601", "8m");
        type(d, "602", "8 m");
        press(d, "1");
    });
    key(Qt::Key_Insert);
    EXPECT_EQ(area()->recCount(), bands + 1);
    EXPECT_EQ(cellOfCurrent(0), "8M");

    panel.reset(modesPanel());
    ASSERT_TRUE(panel);
    EXPECT_EQ(headers(), QStringList({"Cod.\nModo", "Descripción", "Digital", "RST"}));
    EXPECT_EQ(cellOfCurrent(0), "SSB");
    EXPECT_EQ(cellOfCurrent(2), "No");
    key(Qt::Key_Delete);
    EXPECT_EQ(msgs.take(), QStringList({"stop: No pueden eliminarse registros"}));
    whenEditing("EDTMODO", [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Mantenimiento de modos");
        EXPECT_EQ(d->findChild<QLineEdit*>("601")->text(), "SSB");
        auto* digital = d->findChild<QCheckBox*>("604");
        EXPECT_EQ(digital->text(), "&Es digital");
        digital->setChecked(true);
        type(d, "603", "57");
        press(d, "1");
    });
    grid()->doubleClicked(grid()->currentIndex());
    EXPECT_EQ(cellOfCurrent(2), "Si");
    EXPECT_EQ(cellOfCurrent(3), "57");
    EXPECT_EQ(readMode(*area()).rst, "57");
}

} // namespace
} // namespace refdata::testing
