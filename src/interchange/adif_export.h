#pragma once
// ADIF export: the menu export of the log book (ADIFEXP, with a selection) and
// the export of the QSL print queue (ADIEXPSPOOL, with the marking of the cards
// as sent). Both write the same header and record layout (EXPADDREC, FLD):
// single-byte text, CR LF between lines, no line break after the last line.

#include "store/value.h"
#include "core/version.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

class QIODevice;

namespace ui {
class Meter;
}
namespace store {
class WorkArea;
}

namespace interchange {

// The program's identity as the header and the application tags need it.
struct AdifIdentity {
    QString name = QStringLiteral(ORLANLOG_NAME);   // cName
    QString ver = QStringLiteral(ORLANLOG_VERSION); // cVer
    QString appl = QStringLiteral(ORLANLOG_APPL);   // cAppl
};

// The choices of the export dialog; empty values select everything.
struct AdifSelection {
    QDate from, to;                 // QSO dates ("Desde", "Hasta")
    QString band, mode;             // band and mode codes
    QString qslRcvd, qslSent;       // "", "SI" or "NO"
    QString oper;                   // operator call
    QDate confirmed;                // QSL-sent date
};

// One data specifier "<TAG:n>value", or nothing for an empty value. type 'T'
// treats the value as a stored time HH:MM; otherwise the value's own type
// decides (text trimmed, number as stored with dec decimals, date YYYYMMDD,
// logical "1").
QByteArray FLD(const QByteArray& tagPrefix, const store::Value& value, char type = 0, int dec = 0);

// Header lines 1 to 10, each but the first preceded by CR LF.
QByteArray adifHeader(const AdifIdentity& id, const QDateTime& now = QDateTime::currentDateTime());

// The record line of the work area's current record (without its line break).
QByteArray adifRecord(store::WorkArea& a, const QString& appl);

// The selection test on the current record of the work area.
bool EXPSELREC(store::WorkArea& a, const AdifSelection& sel);

// Writes CR LF + one line per QSO of the alias from its top to its end in its
// current order and scope (all: every QSO, else those EXPSELREC accepts); a
// record without call (store::isQso) is never written.
// Puts the area back on the record it started from. Returns the number written,
// or -1 (the user told why) when the controlling tag does not stand for the
// table or the walk fails: what was written then is no export.
int EXPADDREC(QIODevice& out, ui::Meter* meter, const AdifSelection& sel, const QString& alias,
              const AdifIdentity& id, bool all = false);

struct AdifExportResult {
    bool ok = false;
    int exported = 0;
};

// The export after the dialog: creates the file, writes the header and the
// selected QSOs of "Log" (by date range in the order QsoDateTimeOn when "Desde"
// is given) under the progress box "Exportando ADIF ...", then shows
// "Exportacion completa". Order, scope and record of "Log" are restored.
AdifExportResult ADIFEXP(const QString& path, const AdifSelection& sel, const AdifIdentity& id);

// The print-queue export: path empty means no file was chosen. Exports every
// QSO of "LogSpool", then asks whether to mark them as sent and by which way.
AdifExportResult ADIEXPSPOOL(const QString& path, const AdifIdentity& id);

// The proposed export/import file name for a log book: lower-case trimmed name + ".adi".
QString adifFileName(const QString& book);

} // namespace interchange
