// The ".q7q" exchange file and printing from the log with a stored format.
#include "qsl_home.h"

#include "qsl/format_choice.h"
#include "qsl/format_file.h"
#include "qsl/print_job.h"
#include "qsl/spool.h"

#include <QFile>

using namespace qsl;
using qsl::testing::QslHome;

using FormatFile = QslHome;

TEST_F(FormatFile, ExportThenImportGivesTheSameRecordAndDesign)
{
    ASSERT_TRUE(frm());
    const QString design = shippedLabelDesign();
    const quint32 rec = addFormat(QStringLiteral("Etiquetas \"buro\" ñ"), true, design, true);
    frm()->goTo(rec);
    const QString path = exportFileName(program, frm()->str(QStringLiteral("DESC")));
    EXPECT_TRUE(path.endsWith(QStringLiteral("etiquetas \"buro\" ñ.q7q")));
    QString err;
    ASSERT_TRUE(exportFormat(*frm(), path, &err)) << err.toStdString();
    const quint32 before = frm()->recCount();
    ASSERT_TRUE(importFormat(*frm(), path, &err)) << err.toStdString();
    EXPECT_EQ(frm()->recCount(), before + 1);
    const quint32 copy = frm()->recNo();
    EXPECT_NE(copy, rec);
    EXPECT_EQ(frm()->memoText(QStringLiteral("FORMATO")), design);
    EXPECT_FALSE(frm()->logical(QStringLiteral("DEFAULT")));
    EXPECT_TRUE(frm()->logical(QStringLiteral("LBL")));
    EXPECT_EQ(frm()->num(QStringLiteral("QSOXLBL")), 3);
    EXPECT_EQ(frm()->num(QStringLiteral("ETIXPAG")), 24);
    EXPECT_EQ(frm()->str(QStringLiteral("DESC")).trimmed(), QStringLiteral("Etiquetas 'buro' ñ"));
    // the same line comes out of both records but for DEFAULT
    frm()->goTo(rec);
    QByteArray a = delimitedRecord(*frm());
    frm()->goTo(copy);
    QByteArray b = delimitedRecord(*frm());
    EXPECT_TRUE(a.contains("\",T,T,24,3,0")) << a.constData();
    EXPECT_EQ(a.replace("\",T,T,", "\",T,F,"), b);
}

TEST_F(FormatFile, MissingOrForeignFilesImportNothing)
{
    ASSERT_TRUE(frm());
    const quint32 before = frm()->recCount();
    QString err;
    EXPECT_FALSE(importFormat(*frm(), program + QStringLiteral("nada.q7q"), &err));
    EXPECT_TRUE(err.startsWith(QStringLiteral("No se ha encontrado el fichero\r\n")));
    QFile junk(program + QStringLiteral("junk.q7q"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("esto no es un zip");
    junk.close();
    EXPECT_FALSE(importFormat(*frm(), junk.fileName(), &err));
    EXPECT_EQ(err, junk.fileName() + QStringLiteral(" formato desconocido"));
    // a ZIP with one entry only
    ASSERT_TRUE(writeZip(program + QStringLiteral("half.q7q"), {{QStringLiteral("FrmQsl1.txt"), "\"x\",F,F,0,0,0\r\n"}}));
    EXPECT_FALSE(importFormat(*frm(), program + QStringLiteral("half.q7q"), &err));
    EXPECT_TRUE(err.endsWith(QStringLiteral(" formato desconocido")));
    // a broken record line
    ASSERT_TRUE(writeZip(program + QStringLiteral("bad.q7q"), {{QStringLiteral("FrmQsl1.txt"), "\"sin cerrar,F\r\n"},
                                                               {QStringLiteral("FrmQsl2.txt"), "ORLANQSL 1\n"}}));
    EXPECT_FALSE(importFormat(*frm(), program + QStringLiteral("bad.q7q"), &err));
    EXPECT_EQ(frm()->recCount(), before);
}

TEST_F(FormatFile, LabelsFromTheSpoolKeepTheSheetPosition)
{
    ASSERT_TRUE(frm());
    addFormat(QStringLiteral("Tarjeta"), false, shippedCardDesign());
    const quint32 f = addFormat(QStringLiteral("Etiquetas"), true, shippedLabelDesign(), true);
    std::vector<quint32> recs;
    for (int i = 0; i < 10; ++i)
        recs.push_back(qso(QStringLiteral("EA%1ZZ").arg(i), QStringLiteral(" 89"), QStringLiteral("20M"), QStringLiteral("SSB")));
    spoolAdd(*log(), recs);
    QString err;
    auto fmt = defaultFormat(*frm(), &err);
    ASSERT_TRUE(fmt) << err.toStdString();
    EXPECT_EQ(fmt->description, QStringLiteral("Etiquetas"));
    const RowSet qsos = collectQsos(*spool());
    ASSERT_EQ(qsos.rows.size(), 10u);
    // the book's blank first record gets no card
    EXPECT_EQ(collectQsos(*log()).rows.size(), 10u);
    PrintResult res;
    ASSERT_TRUE(printQsos(*fmt, qsos, 5, program + QStringLiteral("e.pdf"), &res, &err)) << err.toStdString();
    EXPECT_EQ(res.records, 10);
    EXPECT_EQ(res.usedAfter, 14);
    ASSERT_TRUE(storeLabelsUsed(*frm(), f, res.usedAfter));
    frm()->goTo(f);
    EXPECT_EQ(frm()->num(QStringLiteral("ULTETI")), 14);
    ASSERT_TRUE(printQsos(*fmt, qsos, 20, program + QStringLiteral("e.pdf"), &res, &err));
    EXPECT_EQ(res.usedAfter, 5);
    EXPECT_EQ(res.pages, 2);
    // the card format by name; a damaged design is refused with its line
    auto card = formatNamed(*frm(), QStringLiteral("tarjeta"));
    ASSERT_TRUE(card);
    EXPECT_FALSE(card->label);
    card->design = QStringLiteral("ORLANQSL 1\nPAGE 140 90\nTEXT x=1 text=\"[Trim(NoHay)]\"\n");
    EXPECT_FALSE(printQsos(*card, qsos, 1, program + QStringLiteral("c.pdf"), &res, &err));
    EXPECT_TRUE(err.contains(QStringLiteral("Elemento 1"))) << err.toStdString();
    EXPECT_FALSE(QFile::exists(program + QStringLiteral("c.pdf")));
}

TEST_F(FormatFile, ChoosingAFormatMovesTheDefaultMark)
{
    ASSERT_TRUE(frm());
    const quint32 before = frm()->recCount();
    // no format with a design: said, nothing asked, nothing changed
    EXPECT_FALSE(selectFormat(*frm()));
    EXPECT_TRUE(msgs.take().last().startsWith(QStringLiteral("alert: No hay ningún formato")));
    const quint32 card = addFormat(QStringLiteral("Tarjeta"), false, shippedCardDesign(), true);
    addFormat(QStringLiteral("Sin diseño"), false, QString());
    const quint32 labels = addFormat(QStringLiteral("Etiquetas"), true, shippedLabelDesign());
    const FormatList list = formatsWithDesign(*frm());
    EXPECT_EQ(list.descriptions.mid(int(list.descriptions.size()) - 2),
              (QStringList{QStringLiteral("Tarjeta"), QStringLiteral("Etiquetas")}));
    EXPECT_EQ(list.records[size_t(list.current)], card);
    msgs.answer(int(list.records.size()) - 1);
    EXPECT_TRUE(selectFormat(*frm()));
    EXPECT_FALSE(at(frm(), card).logical(QStringLiteral("DEFAULT")));
    EXPECT_TRUE(at(frm(), labels).logical(QStringLiteral("DEFAULT")));
    EXPECT_EQ(defaultFormat(*frm())->description, QStringLiteral("Etiquetas"));
    // the same one again, or nothing chosen: no change
    msgs.answer(-1);
    EXPECT_FALSE(selectFormat(*frm()));
    EXPECT_TRUE(at(frm(), labels).logical(QStringLiteral("DEFAULT")));
    EXPECT_EQ(frm()->recCount(), before + 3);
    EXPECT_FALSE(msgs.unexpected());
}
