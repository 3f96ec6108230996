#pragma once
// The CTY.DAT import: keeps the prefix table current from the contest country
// file. It adds the prefixes and full calls the table does not hold yet and
// refreshes zones, UTC offset and locator of those it holds for the same
// entity; it never creates entities (they are found by their main prefix) and
// never takes a prefix from another entity.
//
//   ui::messages().meter([&](ui::Meter& m) { refdata::CTYIMP(m, false, path); },
//                        QStringLiteral("Procesando..."), QStringLiteral("Importando prefijos y coordenadas ..."));

#include <QByteArray>
#include <QString>

#include <vector>

namespace ui {
class Meter;
}

namespace refdata {

// One alias of a record: a prefix or a full call with its overrides.
struct CtyAlias {
    QByteArray prefix;          // upper case, without "=", overrides and continent
    QByteArray cqz;             // "(14)": right-aligned in two; empty when not given
    QByteArray ituz;            // "[37]"
    bool hasPosition = false;   // "<40.0/75.0>": latitude north, longitude west as in the file
    double latitude = 0;
    double longitude = 0;
    bool hasOffset = false;     // "~-1.0~"
    double offset = 0;
};

struct CtyRecord {
    qint64 offset = 0;          // where the record starts in the file
    QByteArray primary;         // "*" removed, trimmed, upper case
    std::vector<CtyAlias> aliases;
};

// Reads the records of a CTY.DAT text. Any bytes are accepted: a record that
// does not have its eight fields is passed over.
class CtyReader {
public:
    explicit CtyReader(QByteArray text);
    // The next well-formed record; false at the end of the text.
    bool next(CtyRecord* record);
    qint64 position() const { return m_pos; }
    qint64 size() const { return m_text.size(); }

private:
    void skipCommentLines();
    void skipLine();
    QByteArray m_text;
    qint64 m_pos = 0;
};

// Splits one alias as written in the file (already without comments).
CtyAlias parseCtyAlias(const QByteArray& alias);

struct CtyImportResult {
    int records = 0;            // well-formed records read
    int skipped = 0;            // records whose primary prefix is no entity's main prefix
    int added = 0;              // prefixes appended
    int updated = 0;            // prefixes of the same entity whose overrides changed them
    int unchanged = 0;          // prefixes of the same entity left as they were
    int foreign = 0;            // prefixes of another entity, left alone
    bool cancelled = false;
};

// Imports file, or with an empty file "cty.dat" of the program directory.
// Automatic (during a version migration): no message at all. Otherwise
// failures and the end ("Importación completa") are told to the user. False
// when nothing could be imported or the user cancelled.
bool CTYIMP(ui::Meter& meter, bool automatic, const QString& file = QString(), CtyImportResult* result = nullptr);

// Version of the last imported file ("VER230502"), "" when there is none.
QString CTYVER();

} // namespace refdata
