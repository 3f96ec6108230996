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

TEST(Reports, EntityReportsToPdfAndChartCounts)
{
    QTemporaryDir dir;
    const QString home = dir.path();
    ASSERT_EQ(cli(home, {"init", "--call", "ea4zz"}).code, 0);
    for (const char* q : {"dl1abc 20240501 12:00 14.2 SSB", "dl1abc 20240502 23:59 7.01 CW", "f5xyz 20240503 00:10 14.2 SSB",
                          "ja1abc 20240505 11:30 21.2 FT8"}) {
        const QStringList p = QString::fromLatin1(q).split(' ');
        ASSERT_EQ(cli(home, {"add-qso", p[0], "--date", p[1], "--time", p[2], "--freq", p[3], "--mode", p[4]}).code, 0);
    }
    ASSERT_EQ(cli(home, {"qsl-rx", "f5xyz"}).code, 0);
    CliRun r = cli(home, {"report", "worked-not-confirmed", "--pdf", home + "/w.pdf"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_EQ(r.lastLine(), "Informe Entidades trabajadas, no confirmadas: 3 filas, 1 páginas en " + home + "/w.pdf");
    EXPECT_EQ(pdfPages(home + "/w.pdf"), 1);
    r = cli(home, {"report", "worked-not-confirmed", "--pdf", home + "/w.pdf", "--band", "40M", "--mode", "CW"});
    EXPECT_EQ(r.lastLine(), "Informe Entidades trabajadas, no confirmadas: 1 filas, 1 páginas en " + home + "/w.pdf");
    r = cli(home, {"report", "not-worked", "--pdf", home + "/n.pdf"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.lastLine().startsWith("Informe Entidades no trabajadas: "));

    r = cli(home, {"chart", "hours"});
    ASSERT_EQ(r.code, 0) << r.out.toStdString();
    const QStringList lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 25);
    EXPECT_EQ(lines[0], "QSO por Horas (4 QSO)");
    EXPECT_EQ(lines[1], " 0\t1");
    EXPECT_EQ(lines[24], "23\t1");
    r = cli(home, {"chart", "entities", "--top", "1", "--rest", "--from", "20240501", "--to", "20240503"});
    EXPECT_EQ(r.out.trimmed().split('\n'), (QStringList{"Nº QSO por Entidades (3 QSO)", "ALEMANIA\t2", "RESTO\t1"}));

    // wrong input said plainly, nothing written
    r = cli(home, {"chart", "modes", "--from", "20240510", "--to", "20240501"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.lastLine(), "Fecha hasta debes se mayor que desde");
    EXPECT_EQ(cli(home, {"report", "todo", "--pdf", home + "/x.pdf"}).code, 2);
    r = cli(home, {"report", "not-worked", "--pdf", home + "/no/such/dir/x.pdf"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.lastLine(), "No se pudo escribir el fichero " + home + "/no/such/dir/x.pdf");
}
