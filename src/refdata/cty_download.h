#pragma once
// The contest country file fetched from its publisher: downloaded whole,
// checked, written to "cty.dat" in the program directory (through a temporary
// file, so a failed download keeps the old one), then imported.

#include <QByteArray>
#include <QString>

namespace ui {
class Meter;
}

namespace refdata {

struct CtyImportResult;

// The publisher's file: endpoint + "/cty/cty.dat".
QString ctyDownloadUrl();

// Why text is not a whole CTY.DAT (empty when it is): no record, the last
// record not closed by ";", or fewer than half as many records as the
// entity table holds active entities (a file cut short).
QString ctyTextProblem(const QByteArray& text, int activeEntities);

// Active entities of the entity table of the program's workspace.
int activeEntityCount();

// Downloads url (the publisher's file when empty) into "cty.dat" of the
// program directory. Empty on success, otherwise what the user is told.
QString CTYINETIMP(const QString& url = QString());

// Downloads and imports with meter. False, with problem set, when the file
// could not be fetched or was refused (the prefixes stay as they were), or
// when the import failed or was cancelled.
bool downloadAndImportCty(ui::Meter& meter, const QString& url, CtyImportResult* result, QString* problem);

} // namespace refdata
