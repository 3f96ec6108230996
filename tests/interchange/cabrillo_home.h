#pragma once
// A home with the shipped reference tables and the session's work areas open
// (book EA1XX), for the Cabrillo and LoTW tests.

#include "../refdata/shipped_home.h"
#include "store/access.h"
#include "store/table_file.h"
#include "core/messages.h"

#include <QFile>

#include <vector>

namespace interchange::testing {

class TestMeter : public ui::Meter {
public:
    void setTotal(qint64 t) override { total = t; }
    void setPosition(qint64 p) override { last = p; }
    void setText(const QString& t) override { texts << t; }
    void setTitle(const QString&) override {}
    bool cancelled() override { return cancelAfter >= 0 && checks++ >= cancelAfter; }
    qint64 total = 0, last = 0;
    int cancelAfter = -1, checks = 0;
    QStringList texts;
};

class SessionHome : public refdata::testing::ShippedHome {
protected:
    void SetUp() override
    {
        ShippedHome::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(store::ABREDBF());
        log = ws().area(QStringLiteral("Log"));
        ASSERT_NE(log, nullptr);
        // A new book holds one blank record until the next reorganisation.
        for (log->goTop(); !log->eof(); log->skip()) {
            log->lockRecord();
            log->deleteRecord();
            log->unlock();
        }
    }

    struct Qso {
        QString call;
        QDate date;
        QString time;
        double freq = 0;
        QString band, mode, rstSent = QStringLiteral("59"), rstRcvd = QStringLiteral("59"), cqz;
        QString srx, codprv;
    };
    void add(const Qso& q)
    {
        ASSERT_TRUE(log->append().isOk());
        log->put("CALL", q.call);
        log->put("QSODATE", q.date);
        log->put("TIMEON", q.time);
        if (q.freq > 0)
            log->put("FREQ", q.freq);
        log->put("BAND", q.band);
        log->put("MODE", q.mode);
        log->put("RSTSENT", q.rstSent);
        log->put("RSTRCVD", q.rstRcvd);
        log->put("CQZ", q.cqz);
        log->put("SRX", q.srx);
        log->put("CODPRV", q.codprv);
        log->put("KEY", store::KEYGEN());
        ASSERT_TRUE(log->unlock().isOk());
    }

    // Every record of the log book as stored (deleted ones included).
    std::vector<QByteArray> snapshot()
    {
        store::TableFile& t = log->table();
        t.refreshCount();
        std::vector<QByteArray> out;
        for (quint32 r = 1; r <= t.recCount(); ++r) {
            QByteArray rec(int(t.header().recordLen), ' ');
            t.readRecord(r, rec.data());
            out.push_back(rec);
        }
        return out;
    }

    QString write(const char* name, const QByteArray& bytes)
    {
        const QString path = program + QLatin1String(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }

    static QByteArray readAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    store::WorkArea* log = nullptr;
};

} // namespace interchange::testing
