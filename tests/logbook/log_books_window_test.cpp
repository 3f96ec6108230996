// The log-book window, the book form and the transfer dialog, offscreen,
// driven by their keys and control ids over a home with two books.
#include "book_home.h"

#include "logbook/book_selection.h"
#include "logbook/views/book_dialog.h"
#include "logbook/views/log_books_window.h"
#include "logbook/views/transfer_dialog.h"

#include "../app/when_modal.h"

#include "ui/q7browse.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <memory>

namespace logbook::testing {
namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "logbook_gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = qApp ? nullptr : new QApplication(argc, argv);
    (void)a;
    return *static_cast<QApplication*>(QCoreApplication::instance());
}

// Types text into a field and leaves it, as a user does.
void type(QWidget* dialog, const char* id, const QString& text)
{
    auto* e = dialog->findChild<QLineEdit*>(QString::fromLatin1(id));
    ASSERT_TRUE(e) << id;
    e->setFocus();
    e->setText(text);
    emit e->editingFinished();
}

QPushButton* button(QWidget* dialog, const char* id) { return dialog->findChild<QPushButton*>(QString::fromLatin1(id)); }

class LogBooksWindow : public BookHome {
protected:
    void SetUp() override
    {
        app();
        BookHome::SetUp();
    }
    void TearDown() override
    {
        panel.reset();
        BookHome::TearDown();
    }

    void openPanel()
    {
        panel.reset(LogBooksPanel::open());
        ASSERT_TRUE(panel);
        panel->resize(700, 300);
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    }
    ui::tQ7Browse* grid() { return panel->browse(); }
    QString cell(int row, int column) { return grid()->model()->index(row, column).data().toString(); }
    QStringList names()
    {
        QStringList out;
        for (int r = 0; r < grid()->model()->rowCount(); ++r)
            out << cell(r, 1);
        return out;
    }
    void goToRow(int row) { grid()->setCurrentIndex(grid()->model()->index(row, 1)); }

    std::unique_ptr<LogBooksPanel> panel;
};

TEST_F(LogBooksWindow, ShowsEveryBookWithTheCurrentOneTickedAndItsOwnRecordCount)
{
    addQso({.call = QStringLiteral("K1ABC"), .date = QDate(2024, 5, 1)});
    // a book that is not current shows the count stored for it
    ASSERT_TRUE(findBook(QStringLiteral("EA2YY")));
    ASSERT_TRUE(books()->lockRecord().isOk());
    books()->put("REG", 57);
    books()->unlock();
    openPanel();
    EXPECT_EQ(panel->objectName(), "ManLib");

    QStringList headers;
    for (int c = 0; c < grid()->model()->columnCount(); ++c)
        headers << grid()->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers, (QStringList{"Log\nSelec.", "Nombe", "Descripción", "Registros", "Operador\npor Defecto"}));
    EXPECT_EQ(names(), (QStringList{"EA1XX", "EA2YY"}));
    EXPECT_EQ(cell(0, 0), "Si");
    EXPECT_EQ(cell(1, 0), "No");
    const QIcon ticked = grid()->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>();
    const QIcon unticked = grid()->model()->index(1, 0).data(Qt::DecorationRole).value<QIcon>();
    ASSERT_FALSE(ticked.isNull());
    ASSERT_FALSE(unticked.isNull());
    EXPECT_NE(ticked.pixmap(16).toImage(), unticked.pixmap(16).toImage()) << "the check image tells the current book apart";
    EXPECT_EQ(cell(0, 3), "2") << "the current book's QSO table, its blank first record included";
    EXPECT_EQ(cell(1, 3), "57");
    EXPECT_EQ(cell(1, 4), "EA2YY");

    // the bar: captions beside the images, a separator before the choice of book
    QStringList bar;
    for (QAction* a : panel->bar()->actions())
        bar << (a->isSeparator() ? QStringLiteral("---") : a->text() + " | " + a->toolTip());
    EXPECT_EQ(bar, (QStringList{"Nuevo | Alta nuevo libro", "Editar | Editar libro seleccionado", "Eliminar | Eliminar libro seleccionado",
                                "---", "Seleccionar libro | Seleccionar libro"}));
    EXPECT_NE(panel->bar()->findChild<QToolButton*>("select")->toolButtonStyle(), Qt::ToolButtonIconOnly);
}

TEST_F(LogBooksWindow, DoubleClickChoosesTheBookAndEnterEditsIt)
{
    openPanel();
    const QRect second = grid()->visualRect(grid()->model()->index(1, 1));
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    EXPECT_EQ(marked(), "EA2YY");
    EXPECT_EQ(currentBook(), "EA2YY");
    EXPECT_EQ(cell(0, 0), "No");
    EXPECT_EQ(cell(1, 0), "Si");
    EXPECT_TRUE(msgs.take().isEmpty()) << "choosing a book asks nothing";

    // Enter edits the book under the cursor: its name stays, the rest is written
    goToRow(0);
    whenModal<BookDialog>([](BookDialog* d) {
        EXPECT_EQ(d->objectName(), "CRTLIB");
        EXPECT_EQ(d->windowTitle(), "Editar libro de guardia");
        EXPECT_TRUE(d->findChild<QLineEdit*>("601")->isReadOnly());
        EXPECT_FALSE(d->findChild<QLineEdit*>("601")->isEnabled());
        EXPECT_EQ(d->findChild<QLineEdit*>("601")->text(), "EA1XX");
        EXPECT_TRUE(button(d, "1")->isEnabled());
        type(d, "602", QStringLiteral("Estación fija"));
        auto* oper = d->findChild<QLineEdit*>("603");
        oper->clear();
        QTest::keyClicks(oper, QStringLiteral("ea1xx/m"));
        EXPECT_EQ(d->findChild<QLineEdit*>("603")->text(), "EA1XX/M");
        button(d, "1")->click();
    });
    QTest::keyClick(grid(), Qt::Key_Return);
    EXPECT_EQ(cell(0, 2), "Estación fija");
    EXPECT_EQ(cell(0, 4), "EA1XX/M");
    EXPECT_EQ(marked(), "EA2YY") << "editing a book does not choose it";
}

TEST_F(LogBooksWindow, InsertCreatesABookOnlyOnceItsNameIsAccepted)
{
    openPanel();
    whenModal<BookDialog>([this](BookDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Alta libro de guardia");
        EXPECT_TRUE(d->findChild<QLineEdit*>("601")->text().isEmpty());
        QPushButton* ok = button(d, "1");
        EXPECT_FALSE(ok->isEnabled());
        type(d, "601", QStringLiteral("ea1.2024"));
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_EQ(msgs.take(), QStringList{"stop: EA1.2024\r\nContiene carácteres no válidos"});
        type(d, "601", QStringLiteral("ea2yy"));
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_EQ(msgs.take().size(), 1);
        type(d, "601", QStringLiteral("portable"));
        EXPECT_TRUE(ok->isEnabled());
        // changing the name takes the acceptance back until it is left again
        d->findChild<QLineEdit*>("601")->setText(QStringLiteral("PORTABLE2"));
        emit d->findChild<QLineEdit*>("601")->textEdited(QStringLiteral("PORTABLE2"));
        EXPECT_FALSE(ok->isEnabled());
        type(d, "601", QStringLiteral("portable"));
        type(d, "602", QStringLiteral("Expediciones"));
        ok->click();
    });
    QTest::keyClick(grid(), Qt::Key_Insert);
    EXPECT_EQ(names(), (QStringList{"EA1XX", "EA2YY", "PORTABLE"}));
    EXPECT_EQ(marked(), "PORTABLE");
    EXPECT_EQ(currentBook(), "PORTABLE");
    EXPECT_EQ(grid()->currentIndex().row(), 2);
    EXPECT_EQ(cell(2, 0), "Si");
    EXPECT_TRUE(exists("LogPORTABLE.dbf"));

    // cancelling a new book adds none and puts the cursor on the first book
    whenModal<BookDialog>([](BookDialog* d) {
        type(d, "601", QStringLiteral("OTRO"));
        button(d, "2")->click();
    });
    panel->newBook();
    EXPECT_EQ(names().size(), 3);
    EXPECT_EQ(books()->str("NOMBRE").trimmed(), "EA1XX");
    EXPECT_FALSE(exists("LogOTRO.dbf"));
}

TEST_F(LogBooksWindow, DeleteRemovesTheBookAfterTheQuestionAndMovesUpARow)
{
    ASSERT_TRUE(saveBook({QStringLiteral("EA3ZZ"), QString(), QString()}, true));
    ASSERT_TRUE(findBook(QStringLiteral("EA1XX")));
    ASSERT_TRUE(LIBSELLOG());
    openPanel();
    goToRow(1);
    msgs.answer(true);
    QTest::keyClick(grid(), Qt::Key_Delete);
    QTRY_VERIFY(!exists("LogEA2YY.dbf"));
    EXPECT_EQ(msgs.take(), QStringList{"noYes: Se va a eliminar el libro de guardia EA2YY\r\nLibro guardia EA2YY\r\nEsta seguro -> yes"});
    QTRY_COMPARE(names(), (QStringList{"EA1XX", "EA3ZZ"}));
    EXPECT_EQ(grid()->currentIndex().row(), 0);
    EXPECT_EQ(currentBook(), "EA1XX");

    // the current book: every window closes (this one too), the session opens
    // again on another book, and the windows come back
    bool reopened = false;
    store::hooks().closeWindowsForReopening = [this] { panel.reset(); };
    store::hooks().reopenSession = [this, &reopened] {
        reopened = store::ABREDBF();
        panel.reset(LogBooksPanel::open());
    };
    goToRow(0);
    msgs.answer(true);
    panel->deleteBook();
    QTRY_VERIFY(reopened);
    EXPECT_FALSE(exists("LogEA1XX.dbf"));
    EXPECT_EQ(marked(), "EA3ZZ");
    EXPECT_EQ(currentBook(), "EA3ZZ");
    ASSERT_TRUE(panel);
    EXPECT_EQ(names(), QStringList{"EA3ZZ"});
    EXPECT_EQ(cell(0, 0), "Si");
}

TEST_F(LogBooksWindow, TheTransferDialogOffersTheTablesAndCopiesWhatIsChosen)
{
    addQso({.call = QStringLiteral("K1A"), .date = QDate(2024, 3, 1)});
    addQso({.call = QStringLiteral("K2B"), .date = QDate(2024, 3, 2), .qslReceived = QStringLiteral("Y")});
    addQso({.call = QStringLiteral("K3C"), .date = QDate(2024, 3, 2), .band = QStringLiteral("40M")});
    whenModal<TransferDialog>([this](TransferDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Traspaso entre Libros de guardia");
        auto* band = d->findChild<QComboBox*>("603");
        auto* mode = d->findChild<QComboBox*>("604");
        auto* books = d->findChild<QComboBox*>("615");
        ASSERT_TRUE(band && mode && books);
        EXPECT_EQ(band->itemText(0), "");
        const int twenty = band->findData(QStringLiteral("20M"));
        ASSERT_GT(twenty, 0);
        EXPECT_EQ(band->itemText(twenty), "20 m");
        EXPECT_GT(mode->findData(QStringLiteral("SSB")), 0);
        EXPECT_EQ(d->findChild<QComboBox*>("610")->count(), 3);
        EXPECT_EQ(d->findChild<QComboBox*>("611")->itemText(2), "NO");
        EXPECT_EQ(books->itemText(0), "");
        EXPECT_GE(books->findText(QStringLiteral("EA2YY")), 1);

        // a date that is none keeps the dialog open
        type(d, "600", QStringLiteral("31-02-2024"));
        button(d, "1")->click();
        EXPECT_TRUE(d->isVisible());
        EXPECT_TRUE(msgs.take().value(0).startsWith("stop: Fecha no válida"));

        type(d, "600", QStringLiteral("02-03-2024"));
        type(d, "601", QStringLiteral("2/3/2024"));
        band->setCurrentIndex(twenty);
        d->findChild<QComboBox*>("610")->setCurrentText(QStringLiteral("NO"));
        type(d, "614", QStringLiteral("ea1xx"));
        books->setCurrentText(QStringLiteral("EA2YY"));
        const TransferCriteria c = d->criteria();
        EXPECT_EQ(c.from, QDate(2024, 3, 2));
        EXPECT_EQ(c.until, QDate(2024, 3, 2));
        EXPECT_EQ(c.band, "20M");
        EXPECT_EQ(c.qslReceived, "NO");
        EXPECT_EQ(c.operatorCall, "EA1XX");
        EXPECT_EQ(c.destination, "EA2YY");
        // K2B has its card: without the condition on it, K2B goes and K3C, on 40 m, stays
        d->findChild<QComboBox*>("610")->setCurrentIndex(0);
        button(d, "1")->click();
    });
    LIBTRAS();
    EXPECT_EQ(msgs.take().filter("info: "), QStringList{"info: Se han traspasado 1 registros"});
    EXPECT_EQ(msgs.meterTitles.value(0), "Traspasando datos...");

    // no destination: the program's message, and no copy
    whenModal<TransferDialog>([](TransferDialog* d) { button(d, "1")->click(); });
    LIBTRAS();
    EXPECT_EQ(msgs.take(), QStringList{"stop: Ningún libro seleccionado\r\nno se traspasan registros"});
}

} // namespace
} // namespace logbook::testing
