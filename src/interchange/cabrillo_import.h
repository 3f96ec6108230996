#pragma once
// Cabrillo import: every "QSO:" line of a contest log becomes a QSO of the
// current log book (alias "Log"), with its prefix, entity, zones and band
// completed from the reference tables.

#include <QByteArray>
#include <QDate>
#include <QString>

namespace ui {
class Meter;
}

namespace interchange {

// What the import dialog gives the run.
struct CabrilloImportOptions {
    QString path;
    QString operatorCall;    // stored when a QSO names no operator
    QString locator;         // stored in QRA (upper case) when the QSO has none
    bool checkDuplicates = false;
};

// One "QSO:" line read into the fields it fills.
struct CabrilloQso {
    int tokens = 0;
    double freq = 0;         // MHz
    bool hasFreq = false;
    QString mode, timeOn, operatorCall, rstSent, stx, call, rstRcvd, srx, codPrv;
    QDate date;
    bool badDateTime = false;    // the date or time column holds no real date or time
};

// Reads the text that follows "QSO:" (up to the end of its line). The call is
// taken from the column after the sent exchange; when tokens trail the received
// exchange, from the first call-like token there.
CabrilloQso parseCabrilloQso(const QByteArray& text);
// Cabrillo mode code to the log's mode: PH -> SSB, RT and RY -> RTTY, others as written.
QString cabrilloMode(const QString& token);
// Frequency column to MHz: kHz ("7050"), or a band designator ("144", "1.2G"); 0 when unreadable.
double cabrilloFreq(const QString& token);

// Fills the current (appended, locked) record of "Log" from one QSO text and
// completes band, prefix, entity, continent, zones and DXCC number. The
// operator defaults to defaultOperator (the book's default operator).
void CBRADDREC(const QByteArray& text, const QString& defaultOperator);

// The command, run inside the progress box. Returns the number of QSOs
// imported, -1 when the file could not be read (the user was told why). A line
// whose call column holds no call, or whose date or time cannot be, is refused.
// Ends with "Se han importado N registros" and a line for each kind of refused
// line (the text also goes to *message), and "Log" on its last record. When an
// error stops the run, the last line says how many QSOs came in before it and
// that the rest did not; *complete tells whether the whole file was imported.
int CBRIMP(const CabrilloImportOptions& options, ui::Meter& meter, QString* message = nullptr, bool* complete = nullptr);

} // namespace interchange
