#pragma once
// A home with a log book open and QSOs with the fields the reports and the
// charts read: entity, continent, band, mode, time and QSL received.

#include "../qsl/qsl_home.h"

namespace reports::testing {

class ReportsHome : public qsl::testing::QslHome {
protected:
    struct Q {
        const char* call;
        const char* ent;
        const char* band = "20M";
        const char* mode = "SSB";
        const char* rcvd = "N";
        const char* cont = "EU";
        const char* time = "12:00";
        int day = 1;
        const char* op = "EA1XX";
    };
    quint32 add(const Q& q)
    {
        const quint32 rec = qso(QString::fromLatin1(q.call), QString::fromLatin1(q.ent), QString::fromLatin1(q.band),
                                QString::fromLatin1(q.mode), QString::fromLatin1(q.rcvd), q.day);
        store::WorkArea* l = log();
        l->goTo(rec);
        EXPECT_TRUE(l->lockRecord().isOk());
        l->put(QStringLiteral("CONT"), QString::fromLatin1(q.cont));
        l->put(QStringLiteral("TIMEON"), QString::fromLatin1(q.time));
        l->put(QStringLiteral("OPERATOR"), QString::fromLatin1(q.op));
        l->unlock();
        return rec;
    }
};

} // namespace reports::testing
