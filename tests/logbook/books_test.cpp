// The rules of the log books: the name check, creating, editing, making a book
// current and deleting one, over a home with real tables.
#include "book_home.h"

#include "logbook/book_name.h"
#include "logbook/book_selection.h"
#include "logbook/books.h"

#include <QFile>

namespace logbook::testing {
namespace {

using Books = BookHome;

TEST_F(Books, NamesThatCannotFormTheBookFilesAreRefusedWithTheirMessage)
{
    EXPECT_FALSE(CHKNOM(QString()));
    EXPECT_FALSE(CHKNOM(QStringLiteral("   ")));
    EXPECT_TRUE(msgs.take().isEmpty()) << "an empty name is refused without a word";

    for (const char* bad : {"EA1.2024", "A?B", "A*B", "A^B", "A\\B", "A/B", "A|B"}) {
        EXPECT_FALSE(CHKNOM(QString::fromLatin1(bad))) << bad;
        EXPECT_EQ(msgs.take(), QStringList{QStringLiteral("stop: %1\r\nContiene carácteres no válidos").arg(QString::fromLatin1(bad))});
    }
    // the QSO table of the name exists, whatever the case of its file name
    for (const char* taken : {"EA2YY", "ea2yy", "EA2YY  "}) {
        EXPECT_FALSE(CHKNOM(QString::fromLatin1(taken))) << taken;
        EXPECT_EQ(msgs.take(), QStringList{"stop: " + QString::fromLatin1(taken).trimmed() +
                                           " ya esta en uso\r\nescriba otro nombre para el fichero"});
    }
    EXPECT_TRUE(CHKNOM(QStringLiteral("CONCURSO CQ WW")));
    EXPECT_TRUE(CHKNOM(QStringLiteral("EA3ZZ   ")));
    EXPECT_TRUE(msgs.take().isEmpty());
}

TEST_F(Books, ANewBookGetsItsTablesAndBecomesCurrent)
{
    ASSERT_TRUE(saveBook({QStringLiteral(" concurso "), QStringLiteral("CQ WW DX"), QStringLiteral("ea4zz")}, true));
    EXPECT_TRUE(msgs.take().isEmpty());
    for (const char* f : {"LogCONCURSO.dbf", "LogCONCURSO.cdx", "AttachCONCURSO.dbf", "DplCONCURSO.dbf"})
        EXPECT_TRUE(exists(QString::fromLatin1(f))) << f;
    EXPECT_EQ(marked(), "CONCURSO");
    // the windows went before the tables changed under them, and came back on the new book
    EXPECT_EQ(calls, (QStringList{"close windows", "book CONCURSO", "reopen windows"}));
    EXPECT_EQ(currentBook(), "CONCURSO");
    for (const QString& alias : {store::alias::kLog, store::alias::kLog2, store::alias::kLogQsl, store::alias::kLogSpool})
        EXPECT_EQ(fileOf(alias), "LogCONCURSO.dbf") << alias.toStdString();
    EXPECT_EQ(fileOf(store::alias::kAttach), "AttachCONCURSO.dbf");
    EXPECT_EQ(fileOf(store::alias::kDplLog), "DplCONCURSO.dbf");
    EXPECT_EQ(ws().area(store::alias::kLog2)->orderName().toUpper(), "CALL");
    EXPECT_EQ(ws().area(store::alias::kLogQsl)->orderName().toUpper(), "CALL");
    EXPECT_EQ(ws().area(store::alias::kLogSpool)->orderName().toUpper(), "PRNQSL");
    // the catalogue record, and the alias whose pointer stands on the current book
    EXPECT_EQ(books()->str("NOMBRE").trimmed(), "CONCURSO");
    EXPECT_EQ(books()->str("DESCRI").trimmed(), "CQ WW DX");
    EXPECT_EQ(books()->str("OPRDEF").trimmed(), "EA4ZZ");
    store::WorkArea* libros = ws().area(store::alias::kLibros);
    ASSERT_TRUE(libros);
    EXPECT_EQ(libros->str("NOMBRE").trimmed(), "CONCURSO");

    // a name in use creates nothing and closes nothing
    calls.clear();
    const quint32 records = books()->recCount();
    EXPECT_FALSE(saveBook({QStringLiteral("EA2YY"), QString(), QString()}, true));
    EXPECT_EQ(books()->recCount(), records);
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(msgs.take().size(), 1);
    // nor does a name longer than the catalogue keeps, which would no longer name its files
    EXPECT_FALSE(saveBook({QStringLiteral("UN NOMBRE DEMASIADO LARGO"), QString(), QString()}, true));
    EXPECT_EQ(msgs.take(), QStringList{"stop: El nombre del libro no puede tener más de 20 caracteres"});
    EXPECT_FALSE(exists("LogUN NOMBRE DEMASIADO LARGO.dbf"));
    EXPECT_EQ(books()->recCount(), records);
}

TEST_F(Books, ABookWhoseRecordCannotBeWrittenLeavesNoTablesAndTheCurrentBookOpen)
{
    // a catalogue this user may only read
    ws().close(store::alias::kLibBrw);
    ASSERT_TRUE(store::NETUSE(QStringLiteral("libros"), true, 1, store::alias::kLibBrw, QStringLiteral("DBFCDX"), true));
    EXPECT_FALSE(saveBook({QStringLiteral("NUEVO"), QString(), QString()}, true));
    EXPECT_EQ(msgs.take(), QStringList{"stop: No pudieron grabarse las modificaciones"});
    for (const char* f : {"LogNUEVO.dbf", "LogNUEVO.cdx", "AttachNUEVO.dbf", "DplNUEVO.dbf"})
        EXPECT_FALSE(exists(QString::fromLatin1(f))) << f;
    EXPECT_EQ(currentBook(), "EA1XX");
    EXPECT_EQ(fileOf(store::alias::kAttach), "AttachEA1XX.dbf");
    EXPECT_EQ(fileOf(store::alias::kDplLog), "DplEA1XX.dbf");
    EXPECT_EQ(calls, (QStringList{"close windows", "reopen windows"}));
    EXPECT_EQ(marked(), "EA1XX");
}

TEST_F(Books, EditingWritesUnderTheRecordLockAndARefusedLockChangesNothing)
{
    ASSERT_TRUE(findBook(QStringLiteral("ea2yy")));
    ASSERT_TRUE(saveBook({QStringLiteral("OTRO"), QStringLiteral("Portable"), QStringLiteral("ea2yy/p")}, false));
    EXPECT_EQ(books()->str("NOMBRE").trimmed(), "EA2YY") << "the name of a book never changes";
    EXPECT_EQ(books()->str("DESCRI").trimmed(), "Portable");
    EXPECT_EQ(books()->str("OPRDEF").trimmed(), "EA2YY/P");
    EXPECT_TRUE(calls.isEmpty());

    // another user holds the record
    store::Workspace other;
    other.setDataDir(data);
    store::WorkArea* b = nullptr;
    ASSERT_TRUE(other.use(QStringLiteral("libros"), {.alias = QStringLiteral("b")}, &b).isOk());
    b->goTo(books()->recNo());
    ASSERT_TRUE(b->lockRecord().isOk());
    EXPECT_FALSE(saveBook({QString(), QStringLiteral("Otra cosa"), QString()}, false));
    EXPECT_EQ(msgs.take(), QStringList{"stop: No pudieron grabarse las modificaciones"});
    b->unlock();
    books()->goTo(books()->recNo());
    EXPECT_EQ(books()->str("DESCRI").trimmed(), "Portable");
    EXPECT_EQ(books()->str("OPRDEF").trimmed(), "EA2YY/P");
}

TEST_F(Books, ChoosingTheCurrentBookClosesAndReopensNothing)
{
    store::WorkArea* before = log();
    ASSERT_TRUE(findBook(QStringLiteral("EA1XX")));
    EXPECT_TRUE(LIBSELLOG());
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(log(), before) << "the QSO table was not reopened";
    EXPECT_EQ(marked(), "EA1XX");
}

TEST_F(Books, ChoosingAnotherBookMovesTheMarkAndEveryAlias)
{
    int refreshed = 0;
    ASSERT_TRUE(findBook(QStringLiteral("EA2YY")));
    EXPECT_TRUE(LIBSELLOG([&] { ++refreshed; }));
    EXPECT_EQ(marked(), "EA2YY");
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(calls, (QStringList{"book EA2YY", "close windows", "reopen windows"}));
    for (const QString& alias : {store::alias::kLog, store::alias::kLog2, store::alias::kLogQsl, store::alias::kLogSpool})
        EXPECT_EQ(fileOf(alias), "LogEA2YY.dbf") << alias.toStdString();
    EXPECT_EQ(fileOf(store::alias::kAttach), "AttachEA2YY.dbf");
    EXPECT_EQ(fileOf(store::alias::kDplLog), "DplEA2YY.dbf");
    EXPECT_EQ(ws().area(store::alias::kLibros)->str("NOMBRE").trimmed(), "EA2YY");
    // and back
    ASSERT_TRUE(findBook(QStringLiteral("EA1XX")));
    EXPECT_TRUE(LIBSELLOG());
    EXPECT_EQ(marked(), "EA1XX");
    EXPECT_EQ(currentBook(), "EA1XX");
}

TEST_F(Books, ABookWhoseQsoTableCannotBeOpenedIsNotMadeCurrent)
{
    ASSERT_TRUE(QFile::remove(data + "LogEA2YY.dbf"));
    ASSERT_TRUE(findBook(QStringLiteral("EA2YY")));
    EXPECT_FALSE(LIBSELLOG());
    const QStringList said = msgs.take();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].startsWith("stop: No pudo abrirse la tabla LogEA2YY")) << said[0].toStdString();
    EXPECT_EQ(marked(), "EA1XX");
    EXPECT_EQ(currentBook(), "EA1XX");
    EXPECT_EQ(fileOf(store::alias::kLogSpool), "LogEA1XX.dbf");
    EXPECT_EQ(calls.last(), "reopen windows");
    EXPECT_EQ(calls.filter("book ").last(), "book EA1XX");
}

TEST_F(Books, DeletingAnotherBookErasesItsTablesAndNothingElse)
{
    store::WorkArea* before = log();
    ASSERT_TRUE(findBook(QStringLiteral("EA2YY")));
    // "No" keeps everything
    msgs.answer(false);
    EXPECT_EQ(deleteBook(true), Deletion::Declined);
    EXPECT_EQ(msgs.take(), QStringList{"noYes: Se va a eliminar el libro de guardia EA2YY\r\nLibro guardia EA2YY\r\nEsta seguro -> no"});
    EXPECT_TRUE(exists("LogEA2YY.dbf"));

    // a record another user holds: nothing happens
    store::Workspace other;
    other.setDataDir(data);
    store::WorkArea* b = nullptr;
    ASSERT_TRUE(other.use(QStringLiteral("libros"), {.alias = QStringLiteral("b")}, &b).isOk());
    b->goTo(books()->recNo());
    ASSERT_TRUE(b->lockRecord().isOk());
    msgs.answer(true);
    EXPECT_EQ(deleteBook(true), Deletion::Locked);
    EXPECT_TRUE(exists("LogEA2YY.dbf"));
    b->unlock();
    other.closeAll();

    msgs.answer(true);
    EXPECT_EQ(deleteBook(true), Deletion::Deleted);
    for (const char* f : {"LogEA2YY.dbf", "LogEA2YY.cdx", "LogEA2YY.fpt", "AttachEA2YY.dbf", "AttachEA2YY.cdx", "DplEA2YY.dbf"})
        EXPECT_FALSE(exists(QString::fromLatin1(f))) << f;
    EXPECT_FALSE(findBook(QStringLiteral("EA2YY")));
    EXPECT_EQ(log(), before) << "the current book stays open";
    EXPECT_EQ(marked(), "EA1XX");
    EXPECT_TRUE(exists("LogEA1XX.dbf"));
}

TEST_F(Books, DeletingTheCurrentBookLeavesAnotherCurrentAndItsWindowsBack)
{
    QStringList session;
    store::hooks().closeWindowsForReopening = [&] { session << "close all windows"; };
    store::hooks().reopenSession = [&] {
        session << "reopen session";
        store::ABREDBF();
    };
    ASSERT_TRUE(findBook(QStringLiteral("EA1XX")));
    msgs.answer(true);
    EXPECT_EQ(deleteBook(true), Deletion::Deleted);
    EXPECT_EQ(session, (QStringList{"close all windows", "reopen session"}));
    EXPECT_FALSE(exists("LogEA1XX.dbf"));
    EXPECT_FALSE(exists("AttachEA1XX.dbf"));
    EXPECT_EQ(marked(), "EA2YY");
    EXPECT_EQ(currentBook(), "EA2YY");
    EXPECT_EQ(fileOf(store::alias::kDplLog), "DplEA2YY.dbf");
}

} // namespace
} // namespace logbook::testing
