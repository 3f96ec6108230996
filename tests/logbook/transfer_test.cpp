// Copying QSOs from the current log book into another one: the selection, the
// new keys, the attachments and award references that go with each QSO, and
// the transfers that must copy nothing.
#include "book_home.h"

#include "logbook/book_selection.h"
#include "logbook/transfer.h"

#include "core/messages.h"
#include "store/qso_record.h"

#include <QFile>

namespace logbook::testing {
namespace {

class CountingMeter : public ui::Meter {
public:
    void setTotal(qint64 t) override { total = t; }
    void setPosition(qint64 p) override { position = p; }
    void setText(const QString& t) override { texts << t; }
    void setTitle(const QString& t) override { title = t; }
    bool cancelled() override { return cancelAfter >= 0 && checks++ >= cancelAfter; }
    qint64 total = 0, position = 0;
    int cancelAfter = -1, checks = 0;
    QStringList texts;
    QString title;
};

// A record of the destination's tables as the test reads them.
struct Copied {
    QString key, call, notes;
    QDate date;
};

class Transfer : public BookHome {
protected:
    void SetUp() override
    {
        BookHome::SetUp();
        if (HasFatalFailure())
            return;
        k1 = addQso({.call = "K1A", .date = QDate(2024, 3, 1), .time = "10:00", .qslReceived = "Y"});
        k2 = addQso({.call = "K2B", .date = QDate(2024, 3, 2), .time = "00:00", .band = "40M", .mode = "CW", .qslSent = "Y"});
        k3 = addQso({.call = "K3C", .date = QDate(2024, 3, 2), .time = "23:59", .qslReceived = " ", .qslSent = " "});
        k4 = addQso({.call = "K4D", .date = QDate(2024, 3, 3), .time = "08:00", .mode = "FT8", .oper = "EA1XX/P"});
        k5 = addQso({.call = "K5E", .date = QDate(2024, 3, 4)});
        addAttachment(k1, "tarjeta K1A", QByteArray("\xff\xd8jpeg\0K1A", 10));
        addAttachment(k2, "anverso", QByteArray("\xff\xd8jpeg\0front", 12));
        addAttachment(k2, "reverso", QByteArray("\xff\xd8jpeg\0back", 11));
        addAttachment(k3, "audio", QByteArray("RIFF\0\0wav", 9));
        addAward(k1, "DME", "28001");
        addAward(k2, "DME", "28079");
        addAward(k3, "IOTA", "EU-001");
    }

    // Gives the destination a last QSO with this key.
    void destinationEndsWithKey(const char* key)
    {
        store::Workspace w;
        w.setDataDir(data);
        store::WorkArea* l = nullptr;
        ASSERT_TRUE(w.use("LogEA2YY", {.alias = "l"}, &l).isOk());
        ASSERT_TRUE(l->append([&](store::WorkArea& a) {
            a.put("CALL", "EA2OLD");
            return a.put("KEY", key);
        }));
    }

    // Every record of a table of the destination from record `from` on, in record order.
    std::vector<Copied> read(const QString& table, quint32 from = 1)
    {
        std::vector<Copied> out;
        store::Workspace w;
        w.setDataDir(data);
        store::WorkArea* a = nullptr;
        if (!w.use(table, {.alias = "t", .readOnly = true}, &a))
            return out;
        a->setOrder(0);
        for (a->goTo(from); !a->eof(); a->skip()) {
            Copied c;
            c.key = a->str("KEY");
            if (a->fieldPos("CALL") >= 0) {
                c.call = a->str("CALL").trimmed();
                c.date = a->date("QSODATE");
                c.notes = a->memoText("NOTES");
            } else if (a->fieldPos("DESC") >= 0) {
                c.call = a->str("DESC").trimmed();
                c.notes = QString::fromLatin1(a->memo("FILE").toHex());
            } else {
                c.call = a->str("DPL").trimmed() + " " + a->str("COD").trimmed();
            }
            out.push_back(c);
        }
        return out;
    }

    static QStringList calls(const std::vector<Copied>& rows)
    {
        QStringList out;
        for (const Copied& c : rows)
            out << c.key + " " + c.call;
        return out;
    }

    TransferResult run(TransferCriteria c)
    {
        c.destination = c.destination.isEmpty() ? QStringLiteral("EA2YY") : c.destination;
        CountingMeter m;
        return transferQsos(m, c);
    }

    QString k1, k2, k3, k4, k5;
};

TEST_F(Transfer, ADateRangeCopiesThoseQsosWithTheirAttachmentsAndAwardReferencesUnderNewKeys)
{
    destinationEndsWithKey("0000041");
    // the log window stands somewhere in another order: it finds itself there afterwards
    log()->setOrder("Call");
    ASSERT_TRUE(log()->seek(store::Value::text(QByteArray("K3C"))).isOk());
    const quint32 at = log()->recNo();

    CountingMeter m;
    const TransferResult r = transferQsos(m, {.destination = "EA2YY", .from = QDate(2024, 3, 2), .until = QDate(2024, 3, 3)});
    EXPECT_TRUE(r.ran);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.copied, 3);
    EXPECT_EQ(transferMessage(r.copied), "Se han traspasado 3 registros");
    EXPECT_EQ(m.title, "Traspasando datos...");
    EXPECT_EQ(m.total, 3);
    EXPECT_EQ(m.position, 3);
    EXPECT_EQ(m.texts, (QStringList{"K2B", "K3C", "K4D"}));

    // in date order, each under the next key after the destination's last one
    const std::vector<Copied> qsos = read("LogEA2YY", 3);
    EXPECT_EQ(calls(qsos), (QStringList{"0000042 K2B", "0000043 K3C", "0000044 K4D"}));
    ASSERT_EQ(qsos.size(), 3u);
    EXPECT_EQ(qsos[0].date, QDate(2024, 3, 2));
    EXPECT_EQ(qsos[1].notes, "nota de K3C") << "memos come along";
    // the attachments, pictures byte for byte, and the award references, under the new keys
    const std::vector<Copied> files = read("AttachEA2YY");
    EXPECT_EQ(calls(files), (QStringList{"0000042 anverso", "0000042 reverso", "0000043 audio"}));
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[1].notes, QString::fromLatin1(QByteArray("\xff\xd8jpeg\0back", 11).toHex()));
    EXPECT_EQ(calls(read("DplEA2YY")), (QStringList{"0000042 DME 28079", "0000043 IOTA EU-001"}));

    // the source is as it was: copied, not moved
    EXPECT_EQ(log()->orderName().toUpper(), "CALL");
    EXPECT_EQ(log()->recNo(), at);
    EXPECT_EQ(log()->keyCount(), 6u);
    EXPECT_EQ(calls(read("AttachEA1XX")).size(), 4);
    EXPECT_EQ(ws().area("LogTras"), nullptr) << "the destination's tables are closed";
    EXPECT_TRUE(msgs.take().isEmpty());
}

TEST_F(Transfer, DateLimitsTakeWholeDays)
{
    // both dates equal: that whole day, from 00:00 to 23:59
    TransferResult r = run({.from = QDate(2024, 3, 2), .until = QDate(2024, 3, 2)});
    EXPECT_EQ(r.copied, 2);
    // "Desde" alone: that day
    r = run({.from = QDate(2024, 3, 3)});
    EXPECT_EQ(r.copied, 1);
    // "Hasta" before "Desde": nothing, and the transfer still says so
    r = run({.from = QDate(2024, 3, 3), .until = QDate(2024, 3, 2)});
    EXPECT_TRUE(r.ran);
    EXPECT_EQ(r.copied, 0);
    // "Hasta" alone: everything up to that day
    r = run({.until = QDate(2024, 3, 2)});
    EXPECT_EQ(r.copied, 3);
    EXPECT_EQ(calls(read("LogEA2YY", 2)),
              (QStringList{"0000001 K2B", "0000002 K3C", "0000003 K4D", "0000004 K1A", "0000005 K2B", "0000006 K3C"}));
}

TEST_F(Transfer, EachCriterionGivenMustMatch)
{
    auto selected = [&](const TransferCriteria& c) {
        QStringList out;
        for (log()->goTop(); !log()->eof(); log()->skip())
            if (store::isQso(*log()) && TRASSELREC(*log(), c))
                out << log()->str("CALL").trimmed();
        return out;
    };
    // "NO" is the flag "N" itself: a QSO whose flag is empty is not taken
    EXPECT_EQ(selected({.qslReceived = "NO"}), (QStringList{"K2B", "K4D", "K5E"}));
    EXPECT_EQ(selected({.qslReceived = "SI"}), (QStringList{"K1A"}));
    EXPECT_EQ(selected({.qslSent = "SI"}), (QStringList{"K2B"}));
    EXPECT_EQ(selected({.qslSent = "NO"}), (QStringList{"K1A", "K4D", "K5E"}));
    EXPECT_EQ(selected({.band = "20M", .mode = "SSB"}), (QStringList{"K1A", "K3C", "K5E"}));
    EXPECT_EQ(selected({.band = "40M"}), (QStringList{"K2B"}));
    EXPECT_EQ(selected({.operatorCall = "EA1XX/P"}), (QStringList{"K4D"}));
    EXPECT_EQ(selected({.band = "20M", .qslReceived = "NO"}), (QStringList{"K4D", "K5E"}));
    EXPECT_EQ(selected({}).size(), 5);

    const TransferResult r = run({.qslReceived = "NO"});
    EXPECT_EQ(r.copied, 3);
    // the blank record a new book starts with is no QSO and stays behind
    EXPECT_EQ(calls(read("LogEA2YY", 2)), (QStringList{"0000001 K2B", "0000002 K4D", "0000003 K5E"}));
}

TEST_F(Transfer, RunningItTwiceCopiesTwiceUnderFurtherKeys)
{
    EXPECT_EQ(run({.from = QDate(2024, 3, 2), .until = QDate(2024, 3, 2)}).copied, 2);
    EXPECT_EQ(run({.from = QDate(2024, 3, 2), .until = QDate(2024, 3, 2)}).copied, 2);
    EXPECT_EQ(calls(read("LogEA2YY", 2)), (QStringList{"0000001 K2B", "0000002 K3C", "0000003 K2B", "0000004 K3C"}));
    EXPECT_EQ(calls(read("AttachEA2YY")),
              (QStringList{"0000001 anverso", "0000001 reverso", "0000002 audio", "0000003 anverso", "0000003 reverso", "0000004 audio"}));
}

TEST_F(Transfer, NoDestinationTheCurrentBookOrAnUnknownOneCopiesNothing)
{
    EXPECT_FALSE(transferAllowed({}));
    EXPECT_EQ(msgs.take(), QStringList{"stop: Ningún libro seleccionado\r\nno se traspasan registros"});
    EXPECT_FALSE(transferAllowed({.destination = "EA1XX"}));
    EXPECT_EQ(msgs.take(), QStringList{"stop: No se pueden traspasar datos sobre si mismo\r\nLibro actual en uso EA1XX\r\n"
                                       "Libro seleccionado como destino EA1XX"});
    EXPECT_FALSE(transferAllowed({.destination = "EA9QQ"}));
    EXPECT_EQ(msgs.take(), QStringList{"stop: No existe el libro de guardia EA9QQ"});
    EXPECT_TRUE(transferAllowed({.destination = "EA2YY"}));

    EXPECT_FALSE(run({.destination = "EA1XX"}).ran);
    EXPECT_EQ(log()->keyCount(), 6u) << "nothing was copied onto the book itself";
}

TEST_F(Transfer, ADestinationThatCannotBeOpenedCopiesNothing)
{
    // the award references of the destination are gone: no QSO goes without them
    ASSERT_TRUE(QFile::remove(data + "DplEA2YY.dbf"));
    log()->setOrder("Call");
    log()->goTop();
    const quint32 at = log()->recNo();
    const TransferResult r = run({});
    EXPECT_FALSE(r.ran);
    EXPECT_EQ(r.copied, 0);
    const QStringList said = msgs.take();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].startsWith("stop: No pudo abrirse la tabla DplEA2YY")) << said[0].toStdString();
    EXPECT_EQ(read("LogEA2YY").size(), 1u);
    EXPECT_TRUE(read("AttachEA2YY").empty());
    for (const char* alias : {"LogTras", "AttachTras", "DplTras", "AttachFrom", "DplFrom"})
        EXPECT_EQ(ws().area(alias), nullptr) << alias;
    EXPECT_EQ(log()->orderName().toUpper(), "CALL");
    EXPECT_EQ(log()->recNo(), at);
}

TEST_F(Transfer, CancellingStopsAfterTheQsoBeingCopied)
{
    CountingMeter m;
    m.cancelAfter = 3;   // the blank record, K1A and K2B are read; then the user cancels
    const TransferResult r = transferQsos(m, {.destination = "EA2YY"});
    EXPECT_TRUE(r.ran);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.copied, 2);
    EXPECT_EQ(m.total, 6);
    EXPECT_EQ(calls(read("LogEA2YY", 2)), (QStringList{"0000001 K1A", "0000002 K2B"}));
    EXPECT_EQ(calls(read("DplEA2YY")), (QStringList{"0000001 DME 28001", "0000002 DME 28079"}));
}

} // namespace
} // namespace logbook::testing
