#pragma once
// Import of a LoTW confirmation report (an ADIF file): marks the matching QSOs
// of the current log book as confirmed electronically and copies the zones,
// locator and state the service reports. Adds no QSOs.

#include <QByteArray>
#include <QDate>
#include <QString>

namespace ui {
class Meter;
}

namespace interchange {

// One record of the report; every value starts empty.
class AdiRec {
public:
    QString Call;           // upper case
    QString Band;           // read, not used
    QString Mode;           // read, not used
    QDate QSo_Date;
    QString Time_on;        // "HH:MM"
    QString Qsl_Rcvd;       // upper case
    QDate QslRDate;
    QString Cqz;            // a one-character zone gets a leading blank
    QString ItuZ;
    QString Iota;           // never filled: the QSO's IOTA is left alone
    QString GridSquare;
    QString State;
    bool lBadDateTime = false;  // QSO_DATE or TIME_ON is no real date or time: the record is refused
};

// Fills rec from one record text (the text between two end-of-record markers).
void ADIREAD(const QByteArray& text, AdiRec* rec);
// Zone padding: "5" gives " 5"; other texts are returned as they are.
QString JUSZ(const QString& zone);
// True when the log book (area "LogQsl", order call) holds a QSO of the
// record's call with the same date and start time to the minute; "LogQsl" is
// left on it.
bool FINDREC(const AdiRec& rec);

struct LotwResult {
    bool ran = false;       // false: missing file, unopenable, no header (the user was told)
    int found = 0;
    int notFound = 0;
    int badDateTime = 0;    // refused for a QSO date or time that is no real date or time
    bool interrupted = false;   // a lock or write failed: the rest of the report was not applied
    bool complete = false;      // the whole report was read and applied
};

// The command: reads the report at path with the progress box's meter, updates
// the matching QSOs and ends with the counts message. "Log" ends on its last record.
LotwResult LOTWIMP(const QString& path, ui::Meter& meter);

// The message that ends the import (the refused line only when there are some;
// last, when an error stopped it, what was updated and that the rest was not).
QString lotwCountsMessage(int found, int notFound, int badDateTime = 0, bool interrupted = false);

} // namespace interchange
