#pragma once
// The selection of the log window (LOGFIL, SELREC, LOGRMVFIL), without its
// dialog. A QSO is selected when its key is in the custom tag "Custom" of the
// book's QSO table; that tag lives in the index file, so every cursor of the
// book (Log, LogQsl) and every other program sharing the book sees one
// selection.
//
// The dialog runs a filter in three steps:
//
//     logbook::FilterStart start = logbook::beginFilter(*log);   // asks whether to add to the last selection
//     if (dialog.exec() == QDialog::Accepted)
//         filtered = logbook::runFilter(*log, criteria, &meter).selected;
//     else
//         logbook::cancelFilter(*log, start);
//
// LOGFIL does the three at once for callers without a dialog.

#include <QDate>
#include <QHash>
#include <QString>

namespace store {
class WorkArea;
}

namespace ui {
class Meter;
}

namespace logbook {

// The criteria of the filter dialog; empty ones are ignored.
struct LogFilter {
    QString call;            // occurs anywhere in CALL
    QDate from, until;       // QSO dates, both days included; no end: the start day alone
    QString mode, band;      // codes of the mode and band tables
    QString continent;       // "EU", "AF", ...
    QString entity;          // CODENT, with or without its leading blanks
    QString iota;
    QString locator;         // prefix of GRIDSQUARE
    QString cqZone, ituZone; // "5" stands for " 5"
    QString qslReceived;     // "SI" or "NO"
    QString qslSent;         // a QSL state code ("Y", "N", "Q", "R", "I")
    QString qslVia;
    QString operatorCall;
    QString province;        // CODPRV
    int exchange = 1;        // 1 every QSO, 2 those that want a QSL, 3 those that exchange none
    QString qslMode;         // "B", "D", "E", "M", "O"
};

// What a filter leaves for the next one and for LOGRMVFIL, kept for the whole
// run of the program and shared by the log page and the QSL page.
// The order to return to is kept for each cursor (Log and LogQsl browse in
// different orders).
struct FilterMemory {
    LogFilter criteria;
    QHash<QString, QString> returnOrder;   // by alias in lower case; none: the cursor's usual order
};
FilterMemory& filterMemory();
// The order log returns to when its filter is removed.
QString returnOrder(const store::WorkArea& log);

inline const QString kSelectionTag = QStringLiteral("Custom");

// SELREC: true when the current record of log meets every criterion given
// (band and mode included).
bool SELREC(store::WorkArea& log, const LogFilter& f);

// Whether the keys of a new selection are added to the one in the tag.
enum class AddToPrevious { Ask, No, Yes };

struct FilterStart {
    quint32 record = 0;      // the record that was current (0: none)
};

// Steps 2 to 4 of LOGFIL: notes the current record, makes "Custom" the
// controlling order (the order it replaces becomes the order to return to,
// unless it was "Custom" itself) and, when the selection is not empty, asks
// "Desea que los registros de esta nueva selección se añadan a la consulta
// anterior?" (No preselected); on "No" the selection is emptied.
FilterStart beginFilter(store::WorkArea& log, AddToPrevious add = AddToPrevious::Ask);

// The dialog was cancelled: back to the order to return to and the noted
// record, or, when that order is "Custom" itself, to "Call" for LogQsl or
// "QsoDateTimeOn" otherwise, at the last record.
void cancelFilter(store::WorkArea& log, const FilterStart& start);

struct FilterResult {
    bool selected = false;   // a selection is active (the window is filtered)
    int count = 0;           // QSOs in the selection
    bool cancelled = false;  // the pass was stopped from the meter; what it had found stays selected
};

// Steps 6 to 10 of LOGFIL: the pass chosen by the first criterion given
// (entity, start date, band, mode, else every QSO), SELREC on each QSO, the
// keys of those that pass added to the selection, "Custom" made controlling
// at its first QSO. An empty selection says "Ningún registro cumple la
// condicion de filtrado" and leaves log in its first order at the top; else
// the count is told (selectionMessage). meter may be null. The criteria are
// remembered in filterMemory().
FilterResult runFilter(store::WorkArea& log, const LogFilter& f, ui::Meter* meter = nullptr);

// beginFilter and runFilter in one.
FilterResult LOGFIL(store::WorkArea& log, const LogFilter& f, ui::Meter* meter = nullptr,
                    AddToPrevious add = AddToPrevious::Ask);

// The advanced filter: expression, an xBase expression over the QSO fields,
// becomes the record filter of log under the order to return to, at the top.
// One that does not compile says "Exprsión de filtro no válida" and sets
// nothing. An empty expression is a cancel. True when the filter was set.
bool applyAdvancedFilter(store::WorkArea& log, const QString& expression, const FilterStart& start);

// LOGRMVFIL: empties the selection, makes the order to return to controlling,
// clears any record filter and goes to the top.
void LOGRMVFIL(store::WorkArea& log);

// QSOs in the selection.
int selectionCount(store::WorkArea& log);

// The count as told: right-aligned in 6 + " registros seleccionados".
QString selectionMessage(int count);

} // namespace logbook
