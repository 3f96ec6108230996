#pragma once
// What printing from the log and from the spool does around the report: the
// selection of the spool's print dialog (PRNSPOOL) and the marking of the
// printed QSOs as sent (PRNQSLFIL, PRNQSLPEN).

#include <QDate>
#include <QString>

namespace store {
class WorkArea;
}

namespace qsl {

// PRNSPOOL's choices; an empty one passes every QSO.
struct SpoolSelection {
    QString band, mode;                   // exact
    QString operatorCall, propagation, entity, qslVia;   // without trailing blanks
    bool passes(store::WorkArea& log) const;
};

// PRNQSLFIL: every QSO of the area's view gets PRNQSL false, QSLSENT "Y",
// QSLSDATE `date`. Returns the QSOs marked; the record that was current is kept.
int markViewSent(store::WorkArea& log, const QDate& date);
// PRNQSLPEN: each QSO of the spool (area in order PrnQsl) that passes the
// selection and still has PRNQSL set: PRNQSL false, QSLSENT "Y", QSLSDATE
// `date`, QSLMODE `mode`, NQSLTX + 1. Order and record are restored.
int markSpoolSent(store::WorkArea& spool, const SpoolSelection& selection, const QDate& date, QChar mode);

} // namespace qsl
