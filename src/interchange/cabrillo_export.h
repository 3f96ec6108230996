#pragma once
// Cabrillo export: a contest log (version 2.0 header tags, one "QSO:" line per
// contact) of the QSOs of the current log book (alias "Log") in a date range,
// for a small fixed set of contests. Text is Windows-1252, lines end in CR LF,
// and no line break follows the last line.

#include <QByteArray>
#include <QDate>
#include <QIODevice>
#include <QString>
#include <QStringList>

namespace store {
class WorkArea;
}

namespace interchange {

// The fixed choice lists of the export dialog; the first item is the default.
QStringList cabrilloContests();      // "CQ-WW-SSB", "CQ-WW-CW", "CQ-WW-RTTY", "EA-MAJESTAD-SSB"
QStringList cabrilloCategories();    // operator category
QStringList cabrilloBands();         // band category
QStringList cabrilloPowers();        // power category (the last one is empty)

struct CabrilloHeader {
    QString createdBy;               // application name + " " + version
    QString contest;
    QString category, band, power;
    QString call;                    // own call as entered
    QString name;
    QString address1, address2;
    QString soapbox1, soapbox2;
};

struct CabrilloExport {
    CabrilloHeader header;
    QDate from, to;                  // invalid: no limit on that side
    QString path;                    // file to write
    QString province;                // own province code ("EA-MAJESTAD-SSB" only)
};

// Lines 1 to 10 of the file, each followed by CR LF.
QByteArray cabrilloHeaderText(const CabrilloHeader& h);

// The frequency column of the current QSO of area: the kHz value right-aligned
// in five characters, or the band's lower edge when the QSO has no frequency.
QString FREQ(store::WorkArea& log);
// The mode column: "PH" for SSB, "CW" for CW, "RY" always for "CQ-WW-RTTY", else "".
QString MODO(store::WorkArea& log, const QString& contest);
// The "QSO:" line of the current QSO of log (without line end).
QByteArray cabrilloQsoLine(store::WorkArea& log, const QString& ownCall, const QString& ownCqz,
                           const QString& contest, const QString& province);

// Writes a "QSO:" line (CR LF before each) for every QSO with a call in the
// current order, scope and filter of "Log"; returns how many it wrote, -1 when
// the log book is not open or writing failed.
int GRABACABRILLO(QIODevice& out, const QString& ownCall, const QString& ownCqz, const QString& contest,
                  const QString& province);

// The own CQ zone: the book's CQZ when the catalogue has one set, else the zone of the call.
QString cabrilloOwnZone(const QString& ownCall);

// The whole run: header, QSO lines of the date range, "END-OF-LOG:". "Log"
// keeps its order and record. The file is written beside its target and moved
// over it only when complete. Returns the number of QSO lines, -1 on failure
// (the user has been told why).
int writeCabrillo(const CabrilloExport& e);

// The question that ends the export; true when the user wants to edit the file.
bool askEditCabrillo(int count, const QString& appName);

} // namespace interchange
