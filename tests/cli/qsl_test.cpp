// QSL cards from the command line: marking, the spool, formats and printing
// labels to PDF, with wrong input said plainly.
#include "cli_run.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

int pdfPages(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = f.readAll();
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "));
}

TEST(Qsl, QueuedCardsPrintAsLabelsAndTheSheetPositionMovesOn)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    ASSERT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    for (const char* call : {"dl1abc", "dl1abc", "ea1aa", "f5xyz"}) {
        const CliRun r = cli(home, {"add-qso", call, "--date", "20240501", "--time", "12:00", "--freq", "14.2", "--mode", "SSB"});
        ASSERT_EQ(r.code, 0) << r.out.toStdString();
    }
    // nothing to print without a format
    CliRun r = cli(home, {"print-qsl", "--pdf", home + "/x.pdf"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.lastLine(), "No hay ningún formato de QSL con diseño");
    ASSERT_EQ(cli(home, {"qsl-format", "add", "labels", "Etiquetas 3x8"}).code, 0);

    r = cli(home, {"qsl-rx", "DL1ABC", "--queue", "--date", "20240601"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_EQ(r.lastLine(), "2 QSO marcados");
    ASSERT_EQ(cli(home, {"qsl-rx", "ea1aa", "--queue"}).code, 0);
    r = cli(home, {"qsl-spool", "list"});
    EXPECT_EQ(r.out.trimmed().split('\n').size(), 3) << r.out.toStdString();
    r = cli(home, {"qsl-spool", "dedup"});
    EXPECT_EQ(r.lastLine(), "Se han eliminado 1 registros");

    r = cli(home, {"print-qsl", "--pdf", home + "/e.pdf", "--pending", "--start", "24"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.lastLine(), "2 QSO, 2 etiquetas, 2 páginas en " + home + "/e.pdf");
    EXPECT_EQ(pdfPages(home + "/e.pdf"), 2);
    // label 24, then label 1 of the next sheet: the next run starts at 2
    r = cli(home, {"print-qsl", "--pdf", home + "/f.pdf"});
    EXPECT_EQ(r.lastLine(), "4 QSO, 3 etiquetas, 1 páginas en " + home + "/f.pdf");

    r = cli(home, {"qsl-tx", "f5xyz", "--via", "D"});
    EXPECT_EQ(r.lastLine(), "1 QSO marcados");
    r = cli(home, {"print-qsl", "--pdf", home + "/g.pdf", "--from", "20240502", "--to", "20240530"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.lastLine(), "No hay QSO que imprimir");
}

TEST(Qsl, FormatsTravelAndWrongInputIsRefused)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    ASSERT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    ASSERT_EQ(cli(home, {"qsl-format", "add", "card", "Tarjeta"}).code, 0);
    CliRun r = cli(home, {"qsl-format", "export", "tarjeta", home + "/t.q7q"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_EQ(r.lastLine(), "exportado correctamente");
    EXPECT_EQ(cli(home, {"qsl-format", "import", home + "/t.q7q"}).code, 0);
    ASSERT_EQ(cli(home, {"qsl-format", "add", "labels", "Etiquetas"}).code, 0);
    r = cli(home, {"qsl-format", "default", "etiquetas"});
    EXPECT_EQ(r.lastLine(), "Formato Etiquetas para imprimir");
    r = cli(home, {"qsl-format", "list"});
    EXPECT_EQ(r.out.trimmed().split('\n'),
              (QStringList{"Tarjeta\ttarjeta\t", "Tarjeta\ttarjeta\t", "Etiquetas\tetiquetas\t*"}));
    r = cli(home, {"qsl-format", "import", home + "/nada.q7q"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.lastLine(), "No se ha encontrado el fichero " + home + "/nada.q7q");

    r = cli(home, {"print-qsl", "--format", "otra", "--pdf", home + "/x.pdf"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.lastLine(), "No existe el formato de QSL \"otra\" o no tiene diseño");
    r = cli(home, {"print-qsl", "--pdf", home + "/x.pdf", "--from", "2024-01-01"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.lastLine(), "Fecha errónea: \"2024-01-01\" (AAAAMMDD)");
    EXPECT_EQ(cli(home, {"qsl-tx", "ea1aa", "--via", "X"}).code, 2);
    EXPECT_EQ(cli(home, {"qsl-spool", "todo"}).code, 2);
    EXPECT_FALSE(QFile::exists(home + "/x.pdf"));
}

} // namespace
