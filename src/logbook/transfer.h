#pragma once
// Copying QSOs of the current log book into another book (LIBTRAS): the
// selection (TRASSELREC), the copy of one QSO with its attachments and award
// references under a new key (TRASADDREC), and the run over the book.

#include <QDate>
#include <QString>

namespace store {
class WorkArea;
}

namespace ui {
class Meter;
}

namespace logbook {

struct TransferCriteria {
    QString destination;    // the book the QSOs go to
    QDate from, until;      // QSO dates, both days included; an empty end is open
    QString band, mode;     // codes of the band and mode tables; empty: any
    QString qslReceived;    // "SI", "NO" or empty
    QString qslSent;        // likewise
    QString operatorCall;   // empty: any
};

// TRASSELREC: true when the current record of log meets every criterion given.
bool TRASSELREC(store::WorkArea& log, const TransferCriteria& c);

// The tables of the destination book, open for the copy.
struct TransferTarget {
    store::WorkArea* log = nullptr;
    store::WorkArea* attachments = nullptr;
    store::WorkArea* awards = nullptr;
};
// TRASADDREC: appends a copy of the current record of log to target.log under
// key, and copies the QSO's attachments (from attachments, ordered by key) and
// award references (from awards, likewise) under the same key. Either source
// may be null. Errors have been told; false stops the transfer.
bool TRASADDREC(store::WorkArea& log, store::WorkArea* attachments, store::WorkArea* awards, const TransferTarget& target,
                const QString& key);

// Refuses, with the program's message, a transfer without a destination or
// onto the current book, and one to a book the catalogue does not have.
bool transferAllowed(const TransferCriteria& c);

struct TransferResult {
    bool ran = false;         // the destination was open and the copy ran
    int copied = 0;           // QSOs copied
    bool cancelled = false;   // the user stopped it
    bool complete = true;     // false when an error stopped it
};

// The copy from the book open as "Log": the QSOs that TRASSELREC selects, in
// the order of "Log" (by date and time when a date range is given), each
// under the next new key of the destination. The meter runs over the records
// read and shows each call; cancelling stops after the QSO being copied.
// "Log" gets back its order, scope and position. Nothing is copied when the
// transfer is not allowed or the destination's tables cannot be opened (the
// open routine has told the user why).
TransferResult transferQsos(ui::Meter& meter, const TransferCriteria& c);

// "Se han traspasado N registros"
QString transferMessage(int copied);

} // namespace logbook
