// The frequency panel and the rig settings dialog, offscreen, against the dummy rig.
#include "cat_fixture.h"

#include "station/views/freq_panel.h"
#include "station/views/rig_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

using namespace station;
using station::testing::CatTest;

namespace {

QToolButton* button(QWidget* panel, const char* name)
{
    auto* b = panel->findChild<QToolButton*>(QString::fromLatin1(name));
    EXPECT_NE(b, nullptr) << name;
    return b;
}

} // namespace

TEST_F(CatTest, ThePanelShowsTheRigAndItsButtonsDriveIt)
{
    tuneDirectly(14025300, kSsbUpper);
    QToolBar bar;
    FreqPanel* panel = CATCTRL(&bar);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(CATCTRL(&bar), panel) << "one panel per bar";
    EXPECT_FALSE(button(panel, "USB")->isEnabled()) << "no rig yet";

    ASSERT_TRUE(CATON());
    ASSERT_TRUE(waitAt(14025300));
    panel->refresh();
    EXPECT_EQ(panel->cFreq(), "014.025.30");
    EXPECT_TRUE(button(panel, "USB")->isChecked());
    EXPECT_FALSE(button(panel, "LSB")->isChecked());

    button(panel, "+1K")->click();
    ASSERT_TRUE(waitAt(14026300));
    button(panel, "-100K")->click();
    ASSERT_TRUE(waitAt(13926300));
    button(panel, "CWL")->click();
    ASSERT_TRUE(waitAt(13926300, kCwLower));
    panel->refresh();
    EXPECT_TRUE(button(panel, "CWL")->isChecked());
    EXPECT_FALSE(button(panel, "USB")->isChecked());

    // "Set Frq." offers the rig's MHz and sets what is typed
    panel->showSetFrequency();
    auto* value = panel->findChild<QLineEdit*>("SetFrqValue");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->text(), "13.926");
    value->setText("7,074");
    panel->findChild<QPushButton*>("Set")->click();
    ASSERT_TRUE(waitAt(7074000));
    panel->refresh();
    EXPECT_EQ(panel->cFreq(), "007.074.00");

    // bad text is refused in Spanish and the rig stays where it is
    panel->showSetFrequency();
    value->setText("siete");
    panel->findChild<QPushButton*>("Set")->click();
    ASSERT_EQ(msgs.log().size(), 1);
    EXPECT_TRUE(msgs.log().back().contains("Frecuencia errónea"));
    QTest::qWait(700);
    EXPECT_EQ(rigNow().hz, 7074000);

    // step buttons follow CATBTN; with rig control off the buttons rest
    setFlag("CATBTN", false);
    CATCTRL(&bar);
    EXPECT_TRUE(button(panel, "+1K")->isHidden());
    CATOFF();
    panel->refresh();
    EXPECT_FALSE(button(panel, "USB")->isEnabled());
    EXPECT_EQ(panel->cFreq(), "007.074.00");
}

TEST_F(CatTest, TheRigDialogFindsModelsProbesOffTheWindowsThreadAndSaves)
{
    tuneDirectly(14025300, kSsbUpper);
    RigDialog d(1);
    EXPECT_TRUE(d.findChild<QWidget*>("Rigctld")->property("checked").toBool());
    EXPECT_EQ(d.config(), rigctld.config());

    auto* models = d.findChild<QListWidget*>("Modelos");
    ASSERT_GT(models->count(), 100) << "every model Hamlib knows";
    d.findChild<QLineEdit*>("Buscar")->setText("dummy");
    int shown = 0;
    for (int i = 0; i < models->count(); ++i)
        shown += models->item(i)->isHidden() ? 0 : 1;
    EXPECT_GE(shown, 1);
    EXPECT_LT(shown, 10);

    d.findChild<QPushButton*>("Probar")->click();
    EXPECT_TRUE(d.probing());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d.probing(); }, 10000));
    EXPECT_TRUE(d.result()->text().contains("014.025.30")) << d.result()->text().toStdString();

    // a direct connection needs a model before it is kept
    d.findChild<QWidget*>("Directo")->setProperty("checked", true);
    models->clearSelection();
    models->setCurrentItem(nullptr);
    d.accept();
    ASSERT_EQ(msgs.log().size(), 1);
    EXPECT_TRUE(msgs.log().back().contains("Elija el modelo"));
    EXPECT_EQ(loadRigConfig(1), rigctld.config()) << "nothing saved";
    for (int i = 0; i < models->count(); ++i)
        if (models->item(i)->data(Qt::UserRole).toInt() == 1)
            models->setCurrentRow(i);
    d.accept();
    EXPECT_EQ(loadRigConfig(1).model, 1);
    EXPECT_FALSE(loadRigConfig(1).network);
}
