#pragma once
// The version migration (ACTVER): a fixed sequence of steps, each run once per
// installation. A step runs when its marker ("ver" + step + ".ctl" in the
// program directory) is missing and writes it when done; a new installation
// has every marker (store::createHome), a restored backup brings its own.
//
// Tables are restructured by creating the catalogue's current structure in
// the program directory and carrying the records over by field name
// (store::CHGDBF). Files come from the download service (INI [Servicios]
// Descargas) under "/media/"; without a connection those downloads are
// skipped. Steps 088, 089 and 091 depend on their download: when it fails
// their marker is not written and they are tried again at the next start.

#include <QString>
#include <QStringList>

namespace ui {
class Meter;
}

namespace upgrade {

// What a migration did: the steps it ran and completed, in order.
struct MigrationReport {
    QStringList done;        // markers written
    QStringList postponed;   // steps left for a later start (088, 089, 091)
};

// The steps whose marker is missing in the program directory.
QStringList missingSteps(const QString& programDir);

// Runs every step whose marker is missing, with the program's and data
// directories of the program's workspace; closes every table first when there
// is work and at the end. Questions and messages go through ui::messages().
MigrationReport ACTVER();

// The public DX-cluster host step 088 writes, and the call-book page prefix of
// steps 099 and 110.
QString publicClusterHost();
QString callbookPagePrefix();

// The QSL label format that comes with the program (the shipped 3 x 8 label
// design, three QSOs a label) written as a ".q7q" exchange file at path.
bool writeShippedLabelFormat(const QString& path, QString* error = nullptr);

} // namespace upgrade
