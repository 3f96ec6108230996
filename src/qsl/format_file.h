#pragma once
// The QSL format exchange file (".q7q"): a ZIP archive, deflated at level 9,
// with "FrmQsl1.txt", the format record as one line of delimited text (fields
// in table order, the memo left out), and "FrmQsl2.txt", the design as stored
// in FORMATO.

#include <QByteArray>
#include <QString>

namespace store {
class WorkArea;
}

namespace qsl {

// The delimited line of the current record: text in double quotes without
// trailing blanks, dates YYYYMMDD, logicals T or F, numbers as written.
QByteArray delimitedRecord(store::WorkArea& area);
// Puts the fields of a delimited line into the current record, in the area's
// field order, the memo fields skipped. False when the line is not one.
bool putDelimitedRecord(store::WorkArea& area, const QByteArray& line);

// Writes a ZIP archive of the two entries at `path` (replacing it only when
// written whole). On failure false and a Spanish reason.
bool writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& entries, QString* error = nullptr);

// QSLFRMEXP without its dialog: the current format record of `frm` to `path`.
bool exportFormat(store::WorkArea& frm, const QString& path, QString* error = nullptr);
// QSLFRMIMP without its dialog: appends the format of `path` to `frm`, with
// DEFAULT false. On failure false and the program's message
// ("No se ha encontrado el fichero" / path + " formato desconocido"), nothing appended.
bool importFormat(store::WorkArea& frm, const QString& path, QString* error = nullptr);

// The proposed export file: folder + lower-case trimmed description + ".q7q".
QString exportFileName(const QString& folder, const QString& description);

} // namespace qsl
