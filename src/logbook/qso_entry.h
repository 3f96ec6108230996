#pragma once
// The QSO being entered or edited, apart from any widget: a copy of one record
// of the book with the rules that fill it — the preparation of a new QSO from
// the last one and the defaults, the entity derived while the call is typed,
// what is known of a station from an earlier QSO, band from frequency, the
// mode's default report — and the save. The entry form, the command line and
// the tests all drive this one object.

#include "store/record_buffer.h"

#include <QDateTime>
#include <QString>

#include <memory>

namespace store {
class WorkArea;
}

namespace logbook {

// The settings the rules read: section "EdtLog" of the settings file and the
// configuration record, as the caller finds them.
struct EntrySettings {
    bool realTime = true;         // new QSOs take the current UTC date and time
    bool autoAdd = false;         // after saving a new QSO, the next one is prepared
    bool knownNotes = false;      // show the known-stations note of a call
    QString stationLocator;       // the configuration's QRA
    QString defaultOperator;      // the current book's OPRDEF
};

// The settings as the session holds them: the configuration record (alias
// "cfg") and the current book (alias "Libros"); realTime is the caller's.
EntrySettings sessionSettings(bool realTime);

// "HH:MM" of a time.
QString timeText(const QTime& t);

class QsoEntry {
public:
    // area: the work area whose current record is edited, or to which new QSOs
    // are appended (the book's "Log").
    explicit QsoEntry(store::WorkArea* area, EntrySettings settings = {});
    ~QsoEntry();

    store::WorkArea* area() const { return m_area; }
    store::RecordBuffer& buffer() { return *m_buffer; }
    EntrySettings& settings() { return m_settings; }
    bool isNew() const { return m_new; }
    bool fromSpot() const { return m_fromSpot; }

    // A new QSO: key, operator, own locator, date, time, mode, band and
    // frequency from the last QSO of the book (with the defaults for what it
    // lacks), QSL flags "N", the mode's default report. With fromSpot the call,
    // frequency, band and mode of the spot table's current record come in.
    void prepareNew(bool fromSpot = false, const QDateTime& nowUtc = QDateTime::currentDateTimeUtc());
    // An edit of the area's current record.
    void prepareEdit();

    // After each keystroke in the call field: "Log2" is limited to the calls
    // that begin with the text, and the entity is derived from it, unless an
    // edited QSO's call was only added to (a "/P" keeps its entity).
    void callTyped(const QString& text);
    // The call field was left: a new QSO takes the time (in real time) and
    // what is known of the station. Returns the status-bar text ("" for none).
    QString callLeft(const QDateTime& nowUtc = QDateTime::currentDateTimeUtc());
    // What earlier QSOs of the call say of the station (CHKCALL); returns the
    // known-stations note for the status bar, "" when there is none.
    QString knownData();

    void frequencyLeft();                  // BAND from FREQ
    void modeChanged();                    // a new QSO takes the mode's default report
    void entityChosen(const QString& code);
    void subdivisionPicked(const QString& province);   // an empty province is taken from it

    enum class Saved { Written, NothingToWrite, Refused };
    // Writes the QSO when it was changed and has a call: EXPORT set, and for a
    // new QSO TIMEOFF and a key that no other QSO of the book holds (checked
    // again under the append lock); the QSO stays where it was written.
    Saved save(const QDateTime& nowUtc = QDateTime::currentDateTimeUtc());

    QString text(const char* field) const;
    void setText(const char* field, const QString& value);

private:
    void deriveEntity(const QString& call);
    void takeEntityFields(bool fromPrefixToo);
    void applyDefaultRst();

    store::WorkArea* m_area;
    std::unique_ptr<store::RecordBuffer> m_buffer;
    EntrySettings m_settings;
    bool m_new = false;
    bool m_fromSpot = false;
};

// The default report of each mode (trimmed code to RSTDEF) from the mode
// table, read once per run.
const QHash<QString, QString>& defaultReports();

} // namespace logbook
