// What a user sees of Qt's own dialogs and of the generic widgets: Spanish
// buttons, codes in upper case as they are typed, titles that fit, paths that
// show.
#include "app/spanish.h"
#include "ui/dialog_helpers.h"
#include "ui/gui_messages.h"
#include "when_modal.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace app;

namespace {

TEST(SpanishUi, QtsOwnButtonsSpeakSpanish)
{
    ASSERT_TRUE(installSpanishTranslations(qApp)) << "qt6-translations-l10n is not installed";
    QMessageBox box(QMessageBox::Question, "t", "¿Seguro?", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove('&'), "Sí");
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove('&'), "No");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove('&'), "Cancelar");
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Open);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Open)->text().remove('&'), "Abrir");
    EXPECT_EQ(QLocale().language(), QLocale::Spanish);
    // what the catalogue leaves in English, the file chooser's column of kinds
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"), "Carpeta");
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "%1 File").arg("adi"), "Fichero adi");

    EXPECT_EQ(spanishCompilerDate("Dec  8 2026"), "8 de diciembre de 2026");
    EXPECT_EQ(spanishCompilerDate("Jan 31 2025"), "31 de enero de 2025");
    EXPECT_EQ(spanishCompilerDate("??? ?? ????"), "??? ?? ????");
}

TEST(SpanishUi, CodePromptsShowUpperCaseAsTyped)
{
    ui::GuiMessages gui(nullptr, "Orlan Win Log 1.92");
    ui::Messages& messages = gui;
    QString seen;
    whenModal<QInputDialog>([&](QInputDialog* d) {
        auto* edit = d->findChild<QLineEdit*>();
        QTest::keyClicks(edit, "m");
        seen = edit->text();
        QTest::keyClicks(edit, "u");
        d->accept();
    });
    QString value;
    ASSERT_TRUE(messages.input("Introduce tu matricula de provincia", "Matricula de provincia", &value, ui::InputFormat::UpperCase));
    EXPECT_EQ(seen, "M");
    EXPECT_EQ(value, "MU");

    // a free text keeps what was typed
    whenModal<QInputDialog>([](QInputDialog* d) {
        QTest::keyClicks(d->findChild<QLineEdit*>(), "Ir a");
        d->accept();
    });
    value.clear();
    ASSERT_TRUE(messages.input("Texto", "Buscar", &value));
    EXPECT_EQ(value, "Ir a");
}

TEST(SpanishUi, DialogsAreWideEnoughForTheirTitleAndPaths)
{
    ui::keepDialogTitlesVisible(qApp);
    QDialog d;
    d.setWindowTitle("Configuración Orlan Win Log");
    auto* lay = new QVBoxLayout(&d);
    QLineEdit* path = ui::addPathChooser(lay, "Fichero a importar", "602", [](const QString&) { return QString(); });
    d.resize(60, 40);
    d.show();
    QApplication::processEvents();
    EXPECT_GT(d.width(), d.fontMetrics().horizontalAdvance(d.windowTitle()));
    // forty characters of a path fit in the field
    EXPECT_GE(path->width(), path->fontMetrics().horizontalAdvance(QString(40, 'a')));
    d.hide();

    // a message box sizes itself as it shows; the title still fits
    QMessageBox box(QMessageBox::Question, "Orlan Win Log", "Cerrar aplicación", QMessageBox::Yes | QMessageBox::No);
    box.show();
    QApplication::processEvents();
    QApplication::processEvents();
    QFont bold = box.font();
    bold.setBold(true);
    EXPECT_GT(box.width(), QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + 100);
    box.hide();
}

} // namespace
