// The log books from the command line: list, create, choose, transfer and
// delete, each with the program's own message and an exit status that says
// whether it was done.
#include "cli_run.h"
#include "store/workspace.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// QSOs written straight into a book's table, as another program would.
void addQsos(const QString& home, const QString& book, const QList<QStringList>& qsos)
{
    store::Workspace w;
    w.setDataDir(home + "/datos");
    store::WorkArea* log = nullptr;
    ASSERT_TRUE(w.use("Log" + book, {.alias = "Log"}, &log).isOk());
    int key = 1;
    for (const QStringList& q : qsos)   // call, date, QSL received
        ASSERT_TRUE(log->append([&](store::WorkArea& a) {
            a.put("CALL", q[0]);
            a.put("QSODATE", QDate::fromString(q[1], "yyyyMMdd"));
            a.put("QSLRCVD", q[2]);
            return a.put("KEY", QStringLiteral("%1").arg(key++, 7, 10, QLatin1Char('0')));
        }).isOk());
}

TEST(CliBooks, CreateChooseTransferAndDeleteBooks)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    ASSERT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    addQsos(home, "EA4ZZ", {{"K1A", "20240301", "N"}, {"K2B", "20240302", "Y"}, {"K3C", "20240302", "N"}});

    CliRun r = cli(home, {"create-book", "concurso", "--descr", "CQ WW DX", "--operator", "ea4zz/p"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Creado el libro de guardia CONCURSO"));
    EXPECT_EQ(r.lastLine(), "Libro de guardia activo: CONCURSO");
    r = cli(home, {"books"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains(QRegularExpression("\n  EA4ZZ +4 EA4ZZ +Libro guardia EA4ZZ\n"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QRegularExpression("\n\\* CONCURSO +1 EA4ZZ/P +CQ WW DX\n"))) << r.out.toStdString();

    // names that cannot be, with the program's reasons
    r = cli(home, {"create-book", "ea4zz.2024"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("EA4ZZ.2024\r\nContiene carácteres no válidos")) << r.err.toStdString();
    r = cli(home, {"create-book", "Concurso"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("CONCURSO ya esta en uso")) << r.err.toStdString();
    EXPECT_EQ(cli(home, {"create-book"}).code, 2);

    r = cli(home, {"use-book", "ea4zz"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_EQ(r.lastLine(), "Libro de guardia activo: EA4ZZ");
    r = cli(home, {"use-book", "nada"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.lastLine(), "No existe el libro de guardia nada");

    // the transfer copies from the current book
    r = cli(home, {"transfer", "--to", "concurso", "--from", "20240302", "--until", "20240302", "--qsl-rcvd", "no"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.lastLine(), "Se han traspasado 1 registros");
    r = cli(home, {"transfer", "--to", "CONCURSO", "--until", "20240301"});
    EXPECT_EQ(r.lastLine(), "Se han traspasado 1 registros");
    r = cli(home, {"books"});
    EXPECT_TRUE(r.out.contains(QRegularExpression("\n  CONCURSO +3 "))) << r.out.toStdString();
    // and refuses what it cannot do, copying nothing
    r = cli(home, {"transfer", "--to", "ea4zz"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("No se pueden traspasar datos sobre si mismo\r\nLibro actual en uso EA4ZZ")) << r.err.toStdString();
    EXPECT_EQ(cli(home, {"transfer", "--to", "concurso", "--from", "2024-03-02"}).code, 2);
    EXPECT_EQ(cli(home, {"transfer", "--to", "concurso", "--qsl-sent", "quizas"}).code, 2);
    EXPECT_EQ(cli(home, {"transfer", "--to", "concurso", "--band", "21M"}).lastLine(), "Banda desconocida: 21M");
    EXPECT_EQ(cli(home, {"transfer", "--from", "20240302"}).code, 2);
    r = cli(home, {"books"});
    EXPECT_TRUE(r.out.contains(QRegularExpression("\n  CONCURSO +3 "))) << r.out.toStdString();

    // deleting the current book makes another one current; the last one stays
    ASSERT_EQ(cli(home, {"use-book", "concurso"}).code, 0);
    r = cli(home, {"delete-book", "concurso"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Eliminado el libro de guardia CONCURSO"));
    EXPECT_EQ(r.lastLine(), "Libro de guardia activo: EA4ZZ");
    EXPECT_FALSE(QFile::exists(home + "/datos/LogCONCURSO.dbf"));
    EXPECT_FALSE(QFile::exists(home + "/datos/AttachCONCURSO.dbf"));
    EXPECT_FALSE(QFile::exists(home + "/datos/DplCONCURSO.dbf"));
    r = cli(home, {"delete-book", "ea4zz"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(QFile::exists(home + "/datos/LogEA4ZZ.dbf"));
    r = cli(home, {"books"});
    EXPECT_TRUE(r.out.contains(QRegularExpression("\n\\* EA4ZZ +4 "))) << r.out.toStdString();
}

} // namespace
