// The entity reports: which entities and QSOs each lists for a choice of
// bands and modes, deleted entities only when asked, and the printed pages.
#include "reports_home.h"

#include "reports/entity_reports.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using reports::BandModeChoice;
using reports::EntityReport;

class EntityReports : public reports::testing::ReportsHome {
protected:
    // "code call band" of every row, codes trimmed
    QStringList rows(EntityReport kind, const BandModeChoice& c, bool deleted = false)
    {
        QString err;
        const auto r = reports::prepareEntityReport(kind, c, deleted, &err);
        EXPECT_TRUE(r) << err.toStdString();
        QStringList out;
        if (!r)
            return out;
        for (size_t i = 0; i < r->rows.rows.size(); ++i) {
            QString line = r->rows.get(i, "CODENT").toString().trimmed();
            if (kind == EntityReport::WorkedNotConfirmed)
                line += u' ' + r->rows.get(i, "CALL").toString().trimmed() + u' ' + r->rows.get(i, "BAND").toString().trimmed();
            else
                line += r->rows.get(i, "LACTIVO").toBool() ? QString() : QStringLiteral(" baja");
            out << line;
        }
        return out;
    }
};

TEST_F(EntityReports, AConfirmationOnAChosenBandHidesTheEntity)
{
    add({.call = "DL1AA", .ent = "225", .band = "20M", .rcvd = "Y"});
    add({.call = "DL2BB", .ent = "225", .band = "40M", .day = 2});
    add({.call = "F5AA", .ent = "222", .band = "40M", .mode = "CW"});
    add({.call = "F6BB", .ent = "222", .band = "20M", .day = 3});

    // every band: Germany is confirmed on 20M, France on nothing (both its QSOs, in log order)
    EXPECT_EQ(rows(EntityReport::WorkedNotConfirmed, {}), (QStringList{"222 F5AA 40M", "222 F6BB 20M"}));
    // only 40M: the 20M card does not count, Germany shows its 40M QSO
    EXPECT_EQ(rows(EntityReport::WorkedNotConfirmed, BandModeChoice::of({"", "40m"}, {})),
              (QStringList{"222 F5AA 40M", "225 DL2BB 40M"}));
    // 40M in CW only: France by its CW QSO
    EXPECT_EQ(rows(EntityReport::WorkedNotConfirmed, BandModeChoice::of({"40M"}, {"CW"})), (QStringList{"222 F5AA 40M"}));
    // nothing qualifies: an empty report, which still prints a page saying so
    QString err;
    const auto none = reports::prepareEntityReport(EntityReport::WorkedNotConfirmed, BandModeChoice::of({"6M"}, {}), false, &err);
    ASSERT_TRUE(none) << err.toStdString();
    EXPECT_TRUE(none->rows.rows.empty());
    EXPECT_EQ(none->pages(), 1);
    // the table is gone afterwards
    EXPECT_FALSE(QFile::exists(program + QStringLiteral("reports/InfWrkNotConf.dbf")));
}

TEST_F(EntityReports, NotWorkedCountsOnlyTheChosenModesAndAsksAboutDeletedOnes)
{
    add({.call = "DL1AA", .ent = "225", .mode = "CW"});
    const QStringList every = rows(EntityReport::NotWorked, {});
    EXPECT_FALSE(every.contains(QStringLiteral("225")));
    EXPECT_TRUE(every.contains(QStringLiteral("222")));
    // worked in CW only: not worked when SSB is chosen
    EXPECT_TRUE(rows(EntityReport::NotWorked, BandModeChoice::of({}, {"SSB"})).contains(QStringLiteral("225")));
    // deleted entities (Abu Ail, code 2) only when asked, marked as such
    EXPECT_FALSE(every.contains(QStringLiteral("2 baja")));
    const QStringList withDeleted = rows(EntityReport::NotWorked, {}, true);
    EXPECT_TRUE(withDeleted.contains(QStringLiteral("2 baja")));
    EXPECT_GT(withDeleted.size(), every.size());
}

TEST_F(EntityReports, NotWorkedComesInOrderOfNameAndPrintsOnNumberedPages)
{
    QString err;
    const auto r = reports::prepareEntityReport(EntityReport::NotWorked, {}, false, &err);
    ASSERT_TRUE(r) << err.toStdString();
    ASSERT_GT(r->rows.rows.size(), 100u);
    for (size_t i = 1; i < r->rows.rows.size(); ++i)
        EXPECT_LE(r->rows.get(i - 1, "ENTIDAD").toString().trimmed(), r->rows.get(i, "ENTIDAD").toString().trimmed()) << i;
    const QString pdf = program + QStringLiteral("nt.pdf");
    ASSERT_TRUE(r->report->toPdf(pdf, r->rows, r->heading, 0, &err)) << err.toStdString();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(int(bytes.count("/Type /Page\n") + bytes.count("/Type /Page ")), r->pages());
    EXPECT_GT(r->pages(), 2);
}

} // namespace
