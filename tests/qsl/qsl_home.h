#pragma once
// A home with a log book open (BookHome) and helpers for QSL work: QSOs with
// an entity, the session's QSL work areas, and a format record of FrmQsl.

#include "../logbook/book_home.h"

#include "qsl/shipped_designs.h"

namespace qsl::testing {

class QslHome : public logbook::testing::BookHome {
protected:
    store::WorkArea* logQsl() { return ws().area(store::alias::kLogQsl); }
    store::WorkArea* spool() { return ws().area(store::alias::kLogSpool); }
    store::WorkArea* frm() { return ws().area(store::alias::kFrmQsl); }

    // A QSO with its entity code; returns its record number in the log.
    quint32 qso(const QString& call, const QString& ent, const QString& band, const QString& mode,
                const QString& rcvd = QStringLiteral("N"), int day = 1)
    {
        Qso q;
        q.call = call;
        q.date = QDate(2024, 4, day);
        q.band = band;
        q.mode = mode;
        q.qslReceived = rcvd;
        addQso(q);
        store::WorkArea* l = log();
        EXPECT_TRUE(l->lockRecord().isOk());
        l->put(QStringLiteral("CODENT"), ent);
        l->unlock();
        return l->recNo();
    }

    // Positions `area` on record `rec`.
    store::WorkArea& at(store::WorkArea* area, quint32 rec)
    {
        area->goTo(rec);
        return *area;
    }

    QString field(quint32 rec, const char* name)
    {
        store::WorkArea* l = log();
        l->goTo(rec);
        return l->str(QString::fromLatin1(name)).trimmed();
    }

    // Appends a format; returns its record number.
    quint32 addFormat(const QString& desc, bool label, const QString& design, bool isDefault = false)
    {
        store::WorkArea* f = frm();
        EXPECT_TRUE(f->append([&](store::WorkArea& a) {
            a.put("DESC", desc);
            a.put("LBL", label);
            a.put("DEFAULT", isDefault);
            a.put("QSOXLBL", 3);
            a.put("ETIXPAG", label ? 24 : 0);
            return a.putMemo("FORMATO", design.toLatin1());
        }).isOk());
        f->unlock();
        return f->recNo();
    }

    int spoolCount()
    {
        int n = 0;
        for (spool()->goTop(); !spool()->eof(); spool()->skip())
            ++n;
        return n;
    }
};

} // namespace qsl::testing
