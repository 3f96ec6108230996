// Card received and sent, the new-confirmation lines, and unmarking.
#include "qsl_home.h"

#include "qsl/marking.h"

using namespace qsl;
using qsl::testing::QslHome;

using Marking = QslHome;

TEST_F(Marking, ReceivedCardGoesToTheQueueAndUnmarksOnRequest)
{
    const quint32 r = qso(QStringLiteral("EA1AAA"), QStringLiteral(" 89"), QStringLiteral("20M"), QStringLiteral("SSB"));
    ReceivedOptions opt;
    opt.date = QDate(2024, 6, 1);
    opt.queue = true;
    EXPECT_EQ(markReceived(at(log(), r), opt), ReceivedResult::Marked);
    EXPECT_EQ(field(r, "QSLRCVD"), "Y");
    EXPECT_EQ(log()->date(QStringLiteral("QSLRDATE")), QDate(2024, 6, 1));
    EXPECT_TRUE(log()->logical(QStringLiteral("PRNQSL")));
    EXPECT_EQ(field(r, "QSLSENT"), "Q");
    EXPECT_TRUE(msgs.take().last().contains(QStringLiteral("recibida.")));

    // already received: "no" leaves it, "yes" clears the date and the queue flag
    msgs.answer(false);
    EXPECT_EQ(markReceived(at(log(), r), opt), ReceivedResult::Unchanged);
    EXPECT_EQ(field(r, "QSLRCVD"), "Y");
    msgs.answer(true);
    EXPECT_EQ(markReceived(at(log(), r), opt), ReceivedResult::Unmarked);
    EXPECT_EQ(field(r, "QSLRCVD"), "N");
    EXPECT_FALSE(log()->date(QStringLiteral("QSLRDATE")).isValid());
    EXPECT_FALSE(log()->logical(QStringLiteral("PRNQSL")));
    const QStringList said = msgs.take();
    EXPECT_TRUE(said.first().startsWith(QStringLiteral("noYes: QSL ya esta marcado como recibida")));
    EXPECT_FALSE(msgs.unexpected());
}

TEST_F(Marking, QueueAfterSendingAsksAndPrintMarksSent)
{
    Qso q;
    q.call = QStringLiteral("DL1ABC");
    q.date = QDate(2024, 1, 2);
    q.qslSent = QStringLiteral("Y");
    addQso(q);
    const quint32 r = log()->recNo();
    ReceivedOptions opt;
    opt.date = QDate(2024, 6, 1);
    opt.queue = true;
    msgs.answer(false);
    markReceived(at(log(), r), opt);
    EXPECT_FALSE(log()->logical(QStringLiteral("PRNQSL")));
    EXPECT_EQ(field(r, "QSLSENT"), "Y");

    const quint32 r2 = qso(QStringLiteral("F5XX"), QStringLiteral("227"), QStringLiteral("40M"), QStringLiteral("CW"));
    int printed = 0;
    ReceivedOptions p;
    p.date = QDate(2024, 6, 2);
    p.print = true;
    p.printCard = [&](store::WorkArea& a) {
        ++printed;
        EXPECT_EQ(a.str(QStringLiteral("QSLRCVD")), QStringLiteral("Y"));   // the card sees the mark
        return true;
    };
    markReceived(at(log(), r2), p);
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(field(r2, "QSLSENT"), "Y");
    EXPECT_EQ(log()->date(QStringLiteral("QSLSDATE")), QDate::currentDate());
}

TEST_F(Marking, NewConfirmationLinesFollowTheConfirmedQsos)
{
    const QString ent = QStringLiteral(" 89");
    const quint32 first = qso(QStringLiteral("EA1AAA"), ent, QStringLiteral("20M"), QStringLiteral("SSB"));
    // nothing confirmed yet: all three lines, in order, under the call
    log()->goTo(first);
    checkNewConfirmation(*log());
    QStringList said = msgs.take();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains(QStringLiteral(" nueva entidad confirmada\r\n20M")));
    EXPECT_TRUE(said[0].contains(QStringLiteral("Banda nueva\r\nSSB")));
    EXPECT_TRUE(said[0].endsWith(QStringLiteral(" Modo nuevo\r\n")));
    EXPECT_EQ(log()->recNo(), first);   // the log's record is given back

    qso(QStringLiteral("EA2BBB"), ent, QStringLiteral("20M"), QStringLiteral("CW"), QStringLiteral("Y"));
    qso(QStringLiteral("EA3CCC"), QStringLiteral("227"), QStringLiteral("40M"), QStringLiteral("FT8"), QStringLiteral("Y"));
    const NewConfirmation n = newConfirmation(*log(), ent, QStringLiteral("20M"), QStringLiteral("SSB"));
    EXPECT_FALSE(n.entity);
    EXPECT_FALSE(n.band);
    EXPECT_TRUE(n.mode);   // FT8 was confirmed, but for another entity
    EXPECT_EQ(newConfirmationText(n, QStringLiteral("España"), QStringLiteral("20M"), QStringLiteral("SSB")),
              QStringLiteral("SSB Modo nuevo\r\n"));
    const NewConfirmation none = newConfirmation(*log(), ent, QStringLiteral("20M"), QStringLiteral("CW"));
    EXPECT_FALSE(none.any());
    log()->goTo(first);
    log()->setOrder(QStringLiteral("Call"));
    const QByteArray order = log()->orderName();
    ReceivedOptions opt;
    opt.date = QDate(2024, 6, 1);
    opt.checkNew = true;
    markReceived(*log(), opt);
    EXPECT_EQ(log()->orderName(), order);
    said = msgs.take();
    ASSERT_FALSE(said.isEmpty());
    EXPECT_TRUE(said.first().startsWith(QStringLiteral("alert: SSB Modo nuevo"))) << said.join('|').toStdString();
}

TEST_F(Marking, SentCardCountsAndKeepsTheMode)
{
    const quint32 r = qso(QStringLiteral("G4XYZ"), QStringLiteral("223"), QStringLiteral("20M"), QStringLiteral("SSB"));
    EXPECT_TRUE(markSent(at(log(), r), QDate(2024, 7, 1), QLatin1Char('B')));
    EXPECT_TRUE(markSent(at(log(), r), QDate(2024, 7, 2), QLatin1Char('D')));
    EXPECT_EQ(field(r, "QSLSENT"), "Y");
    EXPECT_EQ(field(r, "QSLMODE"), "D");
    EXPECT_EQ(log()->num(QStringLiteral("NQSLTX")), 2);
    EXPECT_EQ(log()->date(QStringLiteral("QSLSDATE")), QDate(2024, 7, 2));
    log()->goBottom();
    log()->skip();
    EXPECT_FALSE(markSent(*log(), QDate(2024, 7, 2), QLatin1Char('B')));   // past the end: nothing
}
