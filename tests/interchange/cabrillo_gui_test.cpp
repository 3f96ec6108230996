// The export dialog, the import dialogs and the Cabrillo editor, offscreen.
#include "../gui_app.h"
#include "cabrillo_home.h"
#include "interchange/cabrillo_editor.h"
#include "interchange/cabrillo_export_dialog.h"
#include "interchange/cabrillo_import_dialog.h"
#include "interchange/lotw_import_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextLayout>
#include <QTest>

namespace interchange::testing {
namespace {

using testing_support::guiApp;

// The colour of a character of the editor (line from 1, column from 0); invalid when plain.
QColor colourAt(CabrilloEditor* ed, int line, int column)
{
    const QTextBlock b = ed->editor()->document()->findBlockByNumber(line - 1);
    for (const QTextLayout::FormatRange& r : b.layout()->formats())
        if (column >= r.start && column < r.start + r.length)
            return r.format.foreground().color();
    return QColor();
}

class CabrilloGuiTest : public SessionHome {
protected:
    void SetUp() override
    {
        guiApp();
        SessionHome::SetUp();
    }
};

TEST_F(CabrilloGuiTest, ExportDialogDefaultsAndOk)
{
    CabrilloExportDialog dlg(QStringLiteral("Orlan Win Log 1.92"), program);
    EXPECT_EQ(dlg.objectName(), "EXPCABRILLO");
    EXPECT_EQ(dlg.windowTitle(), "Exportar a Cabrillo");
    auto* call = dlg.findChild<QLineEdit*>("607");
    auto* path = dlg.findChild<QLineEdit*>("602");
    auto* ok = dlg.findChild<QPushButton*>("1");
    ASSERT_TRUE(call && path && ok);
    EXPECT_EQ(call->text(), "EA1XX     ");
    EXPECT_EQ(path->text(), program + "ea1xx.cbr");
    EXPECT_TRUE(ok->isEnabled());
    path->setText("  ");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_EQ(dlg.findChild<QComboBox*>("603")->currentText(), "CQ-WW-SSB");
    EXPECT_EQ(dlg.findChild<QComboBox*>("606")->count(), 4);
    dlg.findChild<QLineEdit*>("600")->setText("26-10-2024");
    dlg.findChild<QLineEdit*>("601")->setText("20241027");
    const CabrilloExport e = dlg.job();
    EXPECT_EQ(e.from, QDate(2024, 10, 26));
    EXPECT_EQ(e.to, QDate(2024, 10, 27));
    EXPECT_EQ(e.header.createdBy, "Orlan Win Log 1.92");
}

TEST_F(CabrilloGuiTest, ImportDialogs)
{
    CabrilloImportDialog c(QStringLiteral("Orlan Win Log 1.92"), program);
    EXPECT_EQ(c.objectName(), "IMPADIF");
    EXPECT_EQ(c.windowTitle(), "Importar Formato Cabrillo");
    EXPECT_EQ(c.findChild<QLineEdit*>("600")->text(), "EA1XX     ");
    EXPECT_FALSE(c.findChild<QPushButton*>("1")->isEnabled());
    c.findChild<QLineEdit*>("602")->setText("x.cbr");
    EXPECT_TRUE(c.findChild<QPushButton*>("1")->isEnabled());
    EXPECT_EQ(c.options().operatorCall, "EA1XX");

    LotwImportDialog l;
    EXPECT_EQ(l.windowTitle(), "Incorporar confirmaciones LOTW");
    auto* ok = l.findChild<QPushButton*>("1");
    l.findChild<QLineEdit*>("600")->setText(program + "missing.adi");
    EXPECT_FALSE(ok->isEnabled());
    l.findChild<QLineEdit*>("600")->setText(write("r.adi", "<EOH>"));
    EXPECT_TRUE(ok->isEnabled());
}

TEST_F(CabrilloGuiTest, EditorStatusColoursAndSaveQuestion)
{
    const QByteArray text = "START-OF-LOG: 2.0\r\nCREATED BY:Orlan Win Log 1.92\r\nQSO: 14195 PH 2024-10-26 0930 EA1XX\r\n"
                            "END-OF-LOG:";
    const QString path = write("e.cbr", text);
    auto* ed = new CabrilloEditor(path);
    EXPECT_EQ(ed->windowTitle(), path);
    EXPECT_EQ(ed->editor()->font().family(), "Courier New");
    ed->goToLine(3);
    auto* fila = ed->findChild<QPushButton*>("FILA");
    auto* col = ed->findChild<QLabel*>("COL");
    EXPECT_EQ(fila->text(), "Fila: 3");
    EXPECT_EQ(col->text(), "Col: 1");
    // "QSO" red, "END-OF-LOG" blue, call signs plain.
    EXPECT_EQ(colourAt(ed, 3, 0), QColor(Qt::red));
    EXPECT_EQ(colourAt(ed, 4, 0), QColor(Qt::blue));
    EXPECT_EQ(colourAt(ed, 2, 0), QColor(Qt::blue));
    EXPECT_FALSE(colourAt(ed, 3, 30).isValid());

    // Unchanged: closes without a question. Changed: asked, and "yes" saves in the file's own form.
    ed->editor()->appendPlainText("X");
    msgs.answer(true);
    EXPECT_TRUE(ed->close());
    EXPECT_EQ(msgs.take(), QStringList({"yesNo: Fichero ha cambio\r\ndesea grabarlo -> yes"}));
    EXPECT_EQ(readAll(path), text + "\r\nX");
    delete ed;
}

// A contest log opens without colouring every line first: lines far below
// the window stay plain until they are scrolled to, and are coloured then.
TEST_F(CabrilloGuiTest, LargeFileIsColouredAsItIsShown)
{
    QByteArray text = "START-OF-LOG: 2.0\r\nCONTEST: CQ-WW-SSB\r\n";
    for (int i = 0; i < 20000; ++i)
        text += "QSO: 14195 PH 2024-10-26 0930 EA1XX         59  14     K1ABC         59  05    \r\n";
    text += "END-OF-LOG:";
    auto* ed = EDITACABRILLO(write("big.cbr", text));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ed));
    QApplication::processEvents();
    EXPECT_EQ(ed->editor()->blockCount(), 20003);
    EXPECT_EQ(colourAt(ed, 2, 0), QColor(Qt::blue));
    EXPECT_EQ(colourAt(ed, 3, 0), QColor(Qt::red));
    EXPECT_TRUE(ed->editor()->document()->findBlockByNumber(19000).layout()->formats().isEmpty());

    ed->goToLine(19001);
    QApplication::processEvents();
    EXPECT_EQ(ed->findChild<QPushButton*>("FILA")->text(), "Fila: 19001");
    EXPECT_EQ(colourAt(ed, 19001, 0), QColor(Qt::red));
    EXPECT_EQ(colourAt(ed, 19010, 0), QColor(Qt::red));
    EXPECT_FALSE(colourAt(ed, 19001, 5).isValid());

    // A line typed on screen is coloured at once; so is one that stops being a keyword.
    QTest::keyClicks(ed->editor(), "SOAPBOX ");
    EXPECT_EQ(colourAt(ed, 19001, 0), QColor(Qt::blue));
    EXPECT_EQ(colourAt(ed, 19001, 8), QColor(Qt::red));
    ed->goToLine(3);
    QApplication::processEvents();
    QTest::keyClick(ed->editor(), Qt::Key_X);
    EXPECT_FALSE(colourAt(ed, 3, 1).isValid());
    EXPECT_TRUE(ed->editor()->document()->findBlockByNumber(10000).layout()->formats().isEmpty());

    ed->editor()->document()->setModified(false);
    EXPECT_TRUE(ed->close());
}

} // namespace
} // namespace interchange::testing
