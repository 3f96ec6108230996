// The pick-list dialogs offscreen: what they show, how typing and the keys
// choose, and what the functions return.
#include "../app/when_modal.h"
#include "gui_home.h"

#include "refdata/views/pick_list_dialog.h"
#include "ui/q7browse.h"

#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace refdata::testing {
namespace {

using PickListDialogs = GuiHome;

QString cell(ui::tQ7Browse* grid, int row, int column) { return grid->model()->index(row, column).data().toString(); }

// Acts on the pick list named name with its grid, search line and buttons.
void whenList(const QString& name, std::function<void(QDialog*, ui::tQ7Browse*, QLineEdit*)> act)
{
    whenModal<QDialog>(
        [act](QDialog* d) {
            auto* grid = d->findChild<ui::tQ7Browse*>("301");
            auto* typed = d->findChild<QLineEdit*>("101");
            ASSERT_TRUE(grid && typed);
            act(d, grid, typed);
            if (d->isVisible())
                d->reject();
        },
        name);
}

QString buttonText(QDialog* d, const char* id) { return d->findChild<QPushButton*>(id)->text(); }

TEST_F(PickListDialogs, ProvincesAreSoughtByTypedNameAndChosenWithEnter)
{
    whenList("PrvHlp", [](QDialog* d, ui::tQ7Browse* grid, QLineEdit* typed) {
        EXPECT_EQ(d->windowTitle(), "Povicias/estados");
        EXPECT_EQ(buttonText(d, "1"), "&Selecionar");
        EXPECT_EQ(buttonText(d, "2"), "Cancel");
        EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "Cod");
        EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), "Nombre");
        EXPECT_EQ(grid->frozenColumns(), 2);
        EXPECT_EQ(grid->model()->rowCount(), 47);   // Spain's provinces only
        EXPECT_EQ(cell(grid, grid->currentIndex().row(), 1), "Barcelona");   // the one given
        QTest::keyClicks(grid, "vall");
        EXPECT_EQ(typed->text(), "VALL");
        EXPECT_EQ(cell(grid, grid->currentIndex().row(), 1), "Valladolid");
        QTest::keyClick(grid, Qt::Key_Return);
    });
    EXPECT_EQ(HLPPRV(" 89", "B"), "VA  ");
    EXPECT_EQ(ws().area("prv")->orderName(), "ENTPRV");
}

TEST_F(PickListDialogs, CancelReturnsTheCodeGiven)
{
    whenList("PrvHlp", [](QDialog* d, ui::tQ7Browse* grid, QLineEdit*) {
        QTest::keyClicks(grid, "z");
        d->findChild<QPushButton*>("2")->click();
    });
    EXPECT_EQ(HLPPRV("89", "B   "), "B   ");
}

TEST_F(PickListDialogs, SubdivisionsOfTheProvinceChosenWithADoubleClick)
{
    whenList("SubPrvHlp", [](QDialog* d, ui::tQ7Browse* grid, QLineEdit*) {
        EXPECT_EQ(d->windowTitle(), "Subdivisiones provinciales");
        EXPECT_EQ(buttonText(d, "2"), "&Cancelar");
        ASSERT_EQ(grid->model()->rowCount(), 8);
        EXPECT_EQ(cell(grid, 1, 1), "Asti");
        const QRect r = grid->visualRect(grid->model()->index(1, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    });
    EXPECT_EQ(HLPSUBPRV("243", "21"), "AT    ");
}

TEST_F(PickListDialogs, AwardReferencesOfTheAwardOnly)
{
    whenList("SubPrvHlp", [](QDialog* d, ui::tQ7Browse* grid, QLineEdit*) {
        EXPECT_EQ(d->windowTitle(), "Referencias diploma PROVEA");
        EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "Ref");
        EXPECT_EQ(grid->model()->rowCount(), 52);
        EXPECT_EQ(cell(grid, grid->currentIndex().row(), 0), "BA");
        QTest::keyClick(grid, Qt::Key_Down);
        d->findChild<QPushButton*>("1")->click();
    });
    EXPECT_EQ(HLPDPL("PROVEA", "BA"), "BI        ");
}

} // namespace
} // namespace refdata::testing
