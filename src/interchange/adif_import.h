#pragma once
// ADIF import: appends one QSO to the log book open as "Log" for every record
// of an ADIF file, with the tag vocabulary of the program (GRBFLD) and the
// derived fields completed from the call and the entity table (ADIADDREC).
//
// A record is built in memory first and appended only when it is kept: a record
// without a call, one whose QSO date or time is no real date or time, or a
// duplicate when the test is on, never reaches the table.

#include "store/value.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>

#include <map>
#include <optional>
#include <vector>


namespace ui {
class Meter;
}
namespace store {
class WorkArea;
}

namespace interchange {

// What the import dialog (or the command line) gives the import.
// What every import of QSOs into the current book is told (ADIF, Radioges).
struct QsoImportOptions {
    QString path;
    QString operatorCall;        // stored when the record and the book give no operator
    QString locator;             // own locator stored when the record gives none
    bool dupCheck = false;       // drop QSOs already in the log (call, date, start time)
    QString defaultOperator;     // the book's OPRDEF (preset of every record)
};

struct AdifImportOptions : QsoImportOptions {
    QString appl = QStringLiteral("ORLANLOG");   // short name: the APP_<appl>_ tags
};

struct AdifImportResult {
    bool ok = false;             // false: refused before reading any record (message shown)
    bool cancelled = false;
    bool complete = false;       // every record of the file was read and its QSO, if kept, stored
    int imported = 0;
    int dropped = 0;             // no call, or duplicate
    int badDateTime = 0;         // refused: a QSO date or time that is no real date or time
    int longModes = 0;           // stored with an unknown mode longer than the field, cut
    QString message;             // the final message shown to the user
};

// One QSO being built: the values of the log's fields by upper-case name,
// Windows-1252 text as in the file.
class QsoDraft {
public:
    explicit QsoDraft(store::WorkArea* log);
    void clear();
    // Stores a value into a field, text cut to the field width.
    void set(const char* field, const store::Value& v);
    store::Value get(const char* field) const;
    QByteArray text(const char* field) const;          // as stored, without trailing blanks
    bool empty(const char* field) const;
    // The log's field width (0 when the log has no such field).
    int width(const char* field) const;
    // Appends the draft to "Log" under key (ADDQSO), writes it and unlocks.
    bool appendTo(store::WorkArea* log, QString* key) const;

private:
    struct Slot {
        int pos = -1;
        char type = 'C';
        int len = 0;
        store::Value value;
    };
    const Slot* slot(const char* field) const;
    Slot* slot(const char* field);
    std::vector<Slot> m_slots;                    // in the order of the log's fields
    std::map<QByteArray, int, std::less<>> m_byName;
    int m_keyPos = -1;

public:
    // What the entity table said during this run, so that a file of thousands of
    // QSOs does not read the same few hundred entity records over and over.
    struct Entity {
        bool found = false;
        QByteArray code;                          // CODENT
        store::Value cont, ituz, cqz, dxcc;
    };
    std::map<QByteArray, Entity> entityByDxcc;    // by the ADIF DXCC number
    std::map<QByteArray, Entity> entityByCode;    // by CODENT
    // The mode table's codes (refdata::modeCodes), read at the first record that needs them.
    std::optional<QHash<QByteArray, QByteArray>> modeCodes;

    // What the record said beyond the fields, set by GRBFLD and cleared by clear().
    bool badDateTime = false;                     // QSO_DATE, TIME_ON or TIME_OFF is no real date or time
    QByteArray mode, subMode;                     // MODE and SUBMODE as written
    // Set by ADIADDREC: the mode is one the table does not know, cut to the field.
    bool modeCut = false;
};

// The import run: file checks, header, records, final message. Reports to the
// user through ui::messages(); progress and cancel through the meter.
AdifImportResult ADIFIMP(ui::Meter& meter, const AdifImportOptions& opt);

// Fills a draft from one record text (the text between two end-of-record markers).
// A SUBMODE that the mode table knows as a code (FT4, PSK31, DMR ...) is stored
// as the mode; otherwise MODE is.
void ADIADDREC(QsoDraft& qso, const QByteArray& record, const AdifImportOptions& opt);

// Stores one value according to the tag vocabulary; unknown tags and blank values are ignored.
void GRBFLD(QsoDraft& qso, const QByteArray& value, const QByteArray& tag, int length, const QString& appl);

// True when the log already holds a QSO with the draft's call, date and start time.
bool CHKDUP(const QsoDraft& qso);

// A decimal number up to its first other character.
double adifNumber(const QByteArray& text);

// Forward search from *pos for a marker in the text of a file; true with *pos on
// the first character of the first match, false with *pos unchanged. caseless
// compares ASCII letters without case.
bool adifFind(QByteArrayView data, qint64* pos, const QByteArray& what, bool caseless = false);

} // namespace interchange
