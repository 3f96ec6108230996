#pragma once
// A home with the shipped reference tables and two log books, EA1XX (current)
// and EA2YY, with the session open, and hooks that record what the log-book
// operations asked of the windows.

#include "../refdata/shipped_home.h"

#include "logbook/book_hooks.h"
#include "store/access.h"
#include "store/aliases.h"
#include "store/home.h"
#include "store/work_area.h"

#include <QFileInfo>

namespace logbook::testing {

class BookHome : public refdata::testing::ShippedHome {
protected:
    void SetUp() override
    {
        ShippedHome::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(store::createFirstBook(QStringLiteral("EA2YY")));
        ASSERT_TRUE(store::ABREDBF());
        ASSERT_TRUE(ws().area(store::alias::kLog));
        hooks() = BookHooks{};
        hooks().closeBookWindows = [this] { calls << QStringLiteral("close windows"); };
        hooks().reopenWindows = [this] { calls << QStringLiteral("reopen windows"); };
        hooks().bookChanged = [this](const QString& book) { calls << QStringLiteral("book ") + book; };
        hooks().displayName = QStringLiteral("Orlan Win Log");
    }
    void TearDown() override
    {
        hooks() = BookHooks{};
        store::hooks() = store::SessionHooks{};
        ShippedHome::TearDown();
    }

    store::WorkArea* log() { return ws().area(store::alias::kLog); }
    store::WorkArea* books() { return ws().area(store::alias::kLibBrw); }

    // The QSO table a session alias has open, by file name ("LogEA1XX.dbf").
    QString fileOf(const QString& alias)
    {
        store::WorkArea* a = ws().area(alias);
        return a ? QFileInfo(a->table().path()).fileName() : QString();
    }

    bool exists(const QString& file) { return QFileInfo::exists(data + file); }

    // The book marked ACTIVO in the catalogue ("" when none, several joined by ",").
    QString marked()
    {
        store::Workspace w;
        w.setDataDir(data);
        store::WorkArea* b = nullptr;
        if (!w.use(QStringLiteral("libros"), {.alias = QStringLiteral("b"), .readOnly = true}, &b))
            return QStringLiteral("?");
        QStringList out;
        for (b->goTop(); !b->eof(); b->skip())
            if (b->logical(QStringLiteral("ACTIVO")))
                out << b->str(QStringLiteral("NOMBRE")).trimmed();
        return out.join(QLatin1Char(','));
    }

    struct Qso {
        QString call;
        QDate date;
        QString time = QStringLiteral("12:00");
        QString band = QStringLiteral("20M");
        QString mode = QStringLiteral("SSB");
        QString qslReceived = QStringLiteral("N");
        QString qslSent = QStringLiteral("N");
        QString oper = QStringLiteral("EA1XX");
    };
    // Appends a QSO to the current book with the next key; returns the key.
    QString addQso(const Qso& q)
    {
        store::WorkArea* l = log();
        const QString key = store::KEYGEN();
        EXPECT_TRUE(l->append([&](store::WorkArea& a) {
            a.put("CALL", q.call);
            a.put("QSODATE", q.date);
            a.put("TIMEON", q.time);
            a.put("BAND", q.band);
            a.put("MODE", q.mode);
            a.put("QSLRCVD", q.qslReceived);
            a.put("QSLSENT", q.qslSent);
            a.put("OPERATOR", q.oper);
            a.put("FREQ", 14.2);
            a.putMemo("NOTES", QByteArray("nota de ") + q.call.toLatin1());
            return a.put("KEY", key);
        }));
        return key;
    }

    void addAttachment(const QString& key, const QString& desc, const QByteArray& bytes)
    {
        store::WorkArea* a = ws().area(store::alias::kAttach);
        ASSERT_TRUE(a->append([&](store::WorkArea& w) {
            w.put("KEY", key);
            w.put("TYPE", "I");
            w.put("DESC", desc);
            return w.putMemo("FILE", bytes, true);
        }));
    }

    void addAward(const QString& key, const QString& award, const QString& code)
    {
        store::WorkArea* a = ws().area(store::alias::kDplLog);
        ASSERT_TRUE(a->append([&](store::WorkArea& w) {
            w.put("KEY", key);
            w.put("DPL", award);
            return w.put("COD", code);
        }));
    }

    QStringList calls;   // what the operations asked of the windows, in order
};

} // namespace logbook::testing
